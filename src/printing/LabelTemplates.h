// Card stock from the label-template library installed on the system (the
// XML product files under libglabels-3.0/templates in the data folders, and
// the user's own under libglabels/templates in the configuration folder).
// The library is read at run time; products that a sheet layout can describe
// (one rectangular or rounded card per product, laid out in one grid) are
// offered as card stock by the layout dialog and the command line.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace labeltemplates {

struct TCardProduct {
    QString Brand;       // "Avery"
    QString Part;        // "8371"
    QString Description; // "Business Cards"
    QString PaperName;   // "US Letter"
    bool BusinessCard = false;
    // The built-in layout this entry stands for; -1 for a product of the library.
    int BuiltIn = -1;
    // The card has rounded corners; the card outline follows them.
    bool Rounded = false;
    // Size, counts, margins, pitches and paper code; the other fields are
    // the default layout's.
    CardSheetLayout Layout;

    // "Avery 8371": how the product is named on the command line and found again.
    QString Name() const { return Brand + QLatin1Char(' ') + Part; }
    // The text the layout dialog lists: the name first, so typing it finds it;
    // a built-in layout keeps its own text.
    QString ItemText() const;
    // The card is the size of a business card (see IsBusinessCardSize).
    bool FitsBusinessCard() const;
};

// Whether a card of this size, lying or standing, is a business card: from
// 3.3 to 3.62 inches long and 1.9 to 2.2 inches wide, which takes the US
// 3.5 x 2 in, the European 85 x 55 mm and 90 x 50 mm, the Japanese 91 x 55 mm
// cards, and leaves out address, shipping and CD labels.
bool IsBusinessCardSize(double widthInches, double heightInches);

// A length of the library ("3.5in", "88.9mm", "1cm", "72pt", "6pc", or a
// bare number of points) in inches; nothing for anything else.
std::optional<double> LengthInInches(const QString &text);

// The folders the library is read from, the user's own first.
QStringList DefaultTemplateFolders();

// Every product of the *.xml and *.template files in the folders that a
// sheet layout can describe, business cards first, then by brand and part.
// A product named twice is taken from the first folder that has it. Files
// that cannot be read or parsed (not a regular file, too large, not
// well-formed, entities beyond the reader's limit) are left out whole; each
// is added to `problems` as "FILE: reason" when it is given.
QList<TCardProduct> ReadCardProducts(const QStringList &folders, QStringList *problems = nullptr);

// The products of the default folders, read once on first use.
const QList<TCardProduct> &CardProducts();
// The files of the library that were left out, "FILE: reason".
const QStringList &CardStockProblems();
// Reads the library from these folders from now on (tests); an empty list
// goes back to the default folders.
void SetTemplateFolders(const QStringList &folders);

// All the card stock the program offers: the built-in layouts in their
// order, then the library's products that are not one of them (a product of
// the same brand and part number as a built-in layout is that layout).
QList<TCardProduct> CardStock(const QList<TCardProduct> &library);
// The built-in layouts and the products of the default folders.
const QList<TCardProduct> &CardStock();

// Whether the card stock answers a search: every size in it ("3.5 x 2",
// "85x55 mm", "2 x 3.5 in"; without a unit inches or millimetres) is the
// card's size either way round, and every other word is part of its brand,
// part number, description or paper, case aside. An empty search answers.
bool MatchesSearch(const TCardProduct &product, const QString &search);

// What a name given on the command line finds: the card stock of that brand
// and part number, else the one card stock with that part number alone
// (case aside); several with that part number are the candidates.
struct TCardStockMatch {
    std::optional<TCardProduct> Found;
    QList<TCardProduct> Candidates;
};
TCardStockMatch FindCardStock(const QList<TCardProduct> &stock, const QString &name);

// The product of that name ("Avery 8371", case and spacing aside).
std::optional<TCardProduct> FindCardProduct(const QList<TCardProduct> &products, const QString &name);
std::optional<TCardProduct> FindCardProduct(const QString &name);

// Applies a product to a layout: its values, brand and part and corners;
// a built-in layout applies as the layout dialog's list does (its index,
// no brand, square corners).
void ApplyCardProduct(const TCardProduct &product, CardSheetLayout &layout);

} // namespace labeltemplates

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
    // The card has rounded corners; the card outline follows them.
    bool Rounded = false;
    // Size, counts, margins, pitches and paper code; the other fields are
    // the default layout's.
    CardSheetLayout Layout;

    // "Avery 8371": how the product is named on the command line and found again.
    QString Name() const { return Brand + QLatin1Char(' ') + Part; }
    // The text the layout dialog lists: the name first, so typing it finds it.
    QString ItemText() const;
};

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

// The product of that name ("Avery 8371", case and spacing aside).
std::optional<TCardProduct> FindCardProduct(const QList<TCardProduct> &products, const QString &name);
std::optional<TCardProduct> FindCardProduct(const QString &name);

// Applies a product to a layout: its values, brand and part and corners.
void ApplyCardProduct(const TCardProduct &product, CardSheetLayout &layout);

} // namespace labeltemplates

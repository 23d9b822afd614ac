// Output for a print shop: a PDF of the card with bleed (the background and
// the shapes that touch the card's edge continued past the cut), crop marks
// at the corners outside the bleed, the trim and bleed boxes a shop's
// software reads, and sRGB named as the page's colour. Either one card on a
// page of its own size plus the bleed and the marks, or a sheet of several
// cards imposed on a paper, each with its own marks.
#pragma once

#include <QList>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <optional>

class TGBasePanel;

namespace printshop {

inline constexpr double kMmPerInch = 25.4;
// A shop asks for 3 mm or 1/8 inch; more than 6 mm is no bleed any shop uses.
inline constexpr double kMostBleedMm = 6.0;
inline constexpr double kDefaultBleedInches = 0.125;
inline constexpr double kDefaultSafeMarginInches = 0.125;
// The safe margin the dialog offers, up to a quarter of an inch.
inline constexpr double kMostSafeMarginInches = 0.5;

enum TLengthUnit { luMillimetres, luInches };

// "3mm", "3 mm", "0.125in", "1/8in": a bleed in inches, or nothing with the
// reason in `error` (unit missing, not a number, outside 0 to 6 mm).
std::optional<double> BleedFromText(const QString &text, QString *error);
// A length in the unit, as the dialog shows it ("3 mm", "0.125 in").
QString LengthText(double inches, TLengthUnit unit);

struct TPrintShopExport {
    TGBasePanel *Panel = nullptr;
    // The card's size in inches, as the sheet layout gives it.
    QSizeF CardSize{3.5, 2.0};
    QString BackgroundPath;
    double Bleed = kDefaultBleedInches;
    bool CropMarks = true;
    // More than 0: a sheet of this many cards on SheetPaper instead of one card.
    int SheetCards = 0;
    QPageSize SheetPaper{QPageSize::Letter};
};

// How many cards of this size, bleed and marks a sheet of the paper holds.
int CardsPerSheet(const TPrintShopExport &what);

// Writes the PDF; the file is replaced only when all of it was written.
// Throws ECardExportError (app/CardExport.h) with a message for the user.
void ExportForPrintShop(const TPrintShopExport &what, const QString &fileName);

} // namespace printshop

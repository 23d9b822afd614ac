// How big one card is and where its copies sit on a printed sheet, and the
// per-printer nudges that correct the positions. Lengths are inches, nudges
// 1/32 inch. Held by the main window, stored in the settings file, read by
// the sheet layout dialog, cell selection, printing and preview.
#pragma once

#include <QList>
#include <QString>

struct CardSheetLayout {
    float Height = 2.0f;
    float Width = 3.5f;
    int Across = 2;
    int Down = 5;
    float TopMargin = 0.5f;
    float LeftMargin = 0.75f;
    float HPitch = 3.5f;
    float VPitch = 2.0f;
    int PredefLayout = 0;
    int Papersize = 1; // Windows paper code: 1 Letter, 9 A4
    bool UseMM = false;
    // The card stock product of the label-template library the layout was
    // taken from ("Avery", "8371"); empty for the built-in layouts.
    QString Brand;
    QString Part;
    // The card has rounded corners, as that product's cards do.
    bool RoundedCorners = false;

    int CellCount() const { return Across * Down; }
    bool operator==(const CardSheetLayout &) const = default;
};

// Printer fine tuning, each -8 to 8 in 1/32 inch; program-wide.
struct PrinterNudges {
    int TopMarginNudge = 0;
    int LeftMarginNudge = 0;
    int VerticalSpacing = 0;
    int HorizontalSpacing = 0;
    bool operator==(const PrinterNudges &) const = default;
};

// Which cells of the sheet are printed; index = row x Across + column. Holds
// Across x Down cells, all selected unless the user chose otherwise.
using SelectedCells = QList<bool>;

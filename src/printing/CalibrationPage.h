// The calibration page: in every cell of the sheet, two fine rulers marked
// in 1/32 inch from -8 to +8 around where the cell's corner should be, and a
// cross at the card's centre. Printed on plain paper and held against a sheet
// of card stock (or against the light), it shows how far the printer is off:
// where the card's edge crosses a ruler is the nudge to add. The page says
// so itself, in the free margin above or below the cards.
#pragma once

#include "printing/SheetPrinting.h"

#include <QPointF>
#include <QRectF>
#include <QStringList>

class TBaseReport;
struct TPageMetrics;

namespace calibration {

// The rulers run from -kRulerSteps to +kRulerSteps nudge steps.
inline constexpr int kRulerSteps = 8;

// Where one cell's marks lie, inches from the paper's corner.
struct TCellMarks {
    // The ruler that reads the card's left edge: a horizontal line at this
    // height, ticks standing across it at Corner.x() + k/32.
    double LeftRulerY = 0.0;
    // The ruler that reads the card's top edge: a vertical line at this x,
    // ticks lying across it at Corner.y() + k/32.
    double TopRulerX = 0.0;
    QPointF Corner;
    QPointF Centre;
};

// The marks of the cell in that row and column; the sheet carries the nudges.
TCellMarks CellMarks(const sheetprint::TSheetGeometry &sheet, int row, int column);

// How to read the page, one printed line each.
QStringList Instructions();

// Where the instructions go: the free band above the first row or below the
// last (the one that takes the larger type), inside the printable area of
// the paper, in inches, and the size of the type that fits it.
struct TInstructionsPlace {
    QRectF Band;
    double FontPoints = 0.0;
};
TInstructionsPlace InstructionsPlace(const sheetprint::TSheetGeometry &sheet, const TPageMetrics &paper);

// Draws the marks of every cell of the sheet onto the report's current
// page, and the instructions.
void DrawCalibrationPage(TBaseReport &report, const sheetprint::TSheetGeometry &sheet);

// The two-sided calibration sheet: the first page outlines every front, the
// second puts rulers where each front's edges show through from behind
// (after the sheet turned over as `duplex` says), measured from where the
// back's own edges print. Held against the light, the back side says what
// to add to the backs' nudges.
void DrawTwoSidedCalibration(TBaseReport &report, const sheetprint::TSheetGeometry &front,
                             const sheetprint::TSheetGeometry &back, sheetprint::TDuplex duplex);
// The marks of the back page's cell that lies behind the front's cell in
// that row and column: Corner is the corner of the back's own card behind
// which the front's top-left corner shows.
TCellMarks BackCellMarks(const sheetprint::TSheetGeometry &back, sheetprint::TDuplex duplex, int row, int column);
// How to read the back page, one printed line each.
QStringList TwoSidedInstructions();

// Makes the report print the calibration page: one portrait page.
void Attach(TBaseReport &report, const sheetprint::TSheetGeometry &sheet);

} // namespace calibration

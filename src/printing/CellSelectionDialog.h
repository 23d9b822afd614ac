// The cell selection dialog "Print Cards": a picture of the sheet at one fifth
// of its size in which the user clicks the cards to print, the current printer
// with its setup, and the number of pages. It handles every cell of the layout
// (Across x Down), however many there are.
// Holds TPrinterAccess, TSelectSpecificLabels.
#pragma once

#include "platform/Geometry.h"
#include "printing/CardSheetLayout.h"
#include "printing/SheetPrinting.h"

#include <QDialog>
#include <QList>
#include <QSizeF>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class TSpinEdit;

namespace cellselection {

// The paper's size in inches for a paper code: Letter, else A4.
QSizeF PaperSizeInches(int papersize);

// The screen rectangles of the layout's cells in the sheet picture, index =
// row x Across + column, drawn at one fifth of the real size, 10 pixels in
// from the picture's corner.
QList<TRect> CellRects(const CardSheetLayout &layout, int pixelsPerInch);
// The sheet of paper in the same picture.
TRect SheetRect(int papersize, int pixelsPerInch);
// The cell whose rectangle holds the point (left and top edges inside, right
// and bottom outside), or -1.
int CellAt(const QList<TRect> &rects, QPoint point);

// The selection fitted to the layout's cell count: cells the list lacks are
// selected, flags past the last cell are dropped.
SelectedCells FitToLayout(SelectedCells cells, const CardSheetLayout &layout);
SelectedCells AllSelected(const CardSheetLayout &layout);
// Whether any of the layout's cells is selected.
bool AnySelected(const SelectedCells &cells, const CardSheetLayout &layout);

} // namespace cellselection

// How the dialog reaches the printer, supplied by the main window's report
// printer. Without PrinterName the system's default printer is named; without
// ShowPrinterSetup the "Print Setup" button is disabled.
struct TPrinterAccess {
    std::function<QString()> PrinterName;
    std::function<void(QWidget *parent)> ShowPrinterSetup;
    // Portrait paper and the number of sheets, set whenever Ok is pressed.
    std::function<void(int copies)> SetPortraitAndCopies;
};

class TSheetPicture;

class TSelectSpecificLabels : public QDialog
{
    Q_OBJECT

public:
    TSelectSpecificLabels(const CardSheetLayout &layout, const SelectedCells &cells, const TPrinterAccess &printer,
                          QWidget *parent = nullptr);

    const SelectedCells &Cells() const { return FCells; }
    const QList<TRect> &CellRectangles() const { return FCellRects; }
    const CardSheetLayout &SheetLayout() const { return FLayout; }
    int Pages() const;
    // "Both sides": offered when the card has a back; how the sheet turns
    // over, or dxNone for the fronts only.
    void OfferBothSides(bool cardHasBack, sheetprint::TDuplex duplex);
    sheetprint::TDuplex Duplex() const;
    QWidget *PaintBox() const;

    // Control event handlers.
    void PaintBoxMouseDown(QPoint point);
    void SelectAllClick();
    void SelectnoneClick();
    void PrinterSetupButtonClick();
    void OkButtonClick();
    void HelpButtonClick();

private:
    void BuildControls();
    void RefreshPrinterName();

    CardSheetLayout FLayout;
    SelectedCells FCells;
    TPrinterAccess FPrinter;
    int FPixelsPerInch;
    QList<TRect> FCellRects;

    TSheetPicture *PaintBox1 = nullptr;
    QLabel *PrinterLabel = nullptr;
    TSpinEdit *pages = nullptr;
    QCheckBox *BothSidesCheck = nullptr;
    QComboBox *DuplexCombo = nullptr;
};

// Shows the cell selection for a print run. On Ok: true, `cells` holds the
// choice (one flag per cell of the layout) and `pages` the number of sheets.
// With duplex given, "Both sides" is offered (when the card has a back) and
// the choice comes back in it.
bool SelectCells(const CardSheetLayout &layout, SelectedCells &cells, int &pages, const TPrinterAccess &printer,
                 QWidget *parent, sheetprint::TDuplex *duplex = nullptr, bool cardHasBack = false);

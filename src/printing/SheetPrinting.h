// Sheet printing: copies of the one card placed into the cells of the sheet
// layout, corrected by the printer nudges, drawn through a report onto the
// printer or into the preview's recording (the first card, or every sheet
// when printing for several people). TCardSheetPrinter is the sheet
// loop itself and needs no window (the command line uses it as it is);
// TLabelPrinter is the status form that runs it with Cancel or Stop.
// Holds TSheetGeometry, TCardSheetPrinter, TLabelPrinter.
#pragma once

#include "platform/Picture.h"

#include "printing/CardSheetLayout.h"
#include "report/ReportRecorder.h"
#include "report/ReportPrinter.h"

#include <QDialog>
#include <QImage>
#include <QPointF>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class TBaseReport;
class TGBasePanel;

namespace sheetprint {

// One printed inch is this many 1/32-inch nudge steps.
inline constexpr double kNudgeStep = 0.03125;

inline const QString kPrintStatusFormat = QStringLiteral("Printing Page %p\r%0\r%1");
inline const QString kPreviewStatusFormat = QStringLiteral("Preparing Preview Page %p\r%0\r%1");
inline const QString kCancellingStatus = QStringLiteral("\rCancelling...!");
inline const QString kConfirmCancel = QStringLiteral("Cancel Business Card Printing?");

// Where the cards sit on the sheet, inches from the paper's top-left corner,
// with the printer nudges already added to margins and pitches.
struct TSheetGeometry {
    double CardHeight = 2.0;
    double CardWidth = 3.5;
    int Across = 2;
    int Down = 5;
    double TopMargin = 0.5;
    double LeftMargin = 0.75;
    double HPitch = 3.5;
    double VPitch = 2.0;
};

TSheetGeometry SheetGeometry(const CardSheetLayout &layout, const PrinterNudges &nudges);
// The top-left corner of the card in that row and column.
QPointF CellOrigin(const TSheetGeometry &sheet, int row, int column);
// Whether a cell is printed; cells the selection does not cover are.
bool CellSelected(const SelectedCells &cells, int index);

// The status text a finished run leaves on the form.
QString FinalStatus(bool toPrinter, bool aborted, bool complexObjects);
// The status a preview of printing for several people ends with.
QString MergePreviewStatus(int sheets);
// The status of a run that wrote a PDF file: where the file is.
QString SavedToFileStatus(const QString &fileName);

// How the sheet turns over between its two sides. A duplex printer turns
// it over its long edge (the back's columns run mirrored) or its short edge
// (the back's rows run mirrored); without duplex the run prints every front
// and then every back, placed as for the long edge, and the user turns the
// printed stack over between the two.
enum TDuplex : int { dxNone, dxLongEdge, dxShortEdge, dxManual };

// The cell of the back page that lies behind the front's cell in that row
// and column.
struct TCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const TCell &) const = default;
};
TCell BackCellBehind(const TSheetGeometry &sheet, TDuplex duplex, TCell front);

// The note that goes with a two-sided run on a printer without duplex.
QString TurnTheStackNote(int frontPages);

// What the background art file is printed as: a name with ".BMP" as a
// bitmap, one with ".WMF" as a metafile (vectors); anything else, or a
// picture that cannot be loaded, is left out.
enum TBackgroundKind { bgNone = 0, bgMetafile = 1, bgBitmap = 2 };

} // namespace sheetprint

// The sheet loop. Fill in the fields, attach it to a report and run the
// report: every sheet is one page holding every selected cell, row by row
// from the top; a preview run records the first cell only, with a silver
// outline around the card (printing for several people, every sheet).
class TCardSheetPrinter
{
public:
    // The panel whose objects are printed (bottom of the z-order first).
    TGBasePanel *Panel = nullptr;
    int SheetsToPrint = 1;
    SelectedCells Cells;
    bool OutlineOnly = false;
    // One page with the calibration rulers in every cell instead of cards.
    bool CalibrationPage = false;
    sheetprint::TSheetGeometry Sheet;
    QString BackgroundPath;
    // Inches the background art reaches past the card on every side, for a
    // print shop's cut: the art keeps its shape on the card and is scaled
    // about the card's centre until it covers the bleed.
    double Bleed = 0.0;
    // False: the run records the preview.
    bool ToPrinter = true;
    // Set while a preview run is being stopped.
    bool Stopped = false;

    // Printing both sides: the back's panel and art, the back's own
    // geometry (the layout with the back's nudges) and how the sheet turns
    // over. With dxNone, or no back panel, the run prints fronts only.
    TGBasePanel *BackPanel = nullptr;
    QString BackBackgroundPath;
    sheetprint::TSheetGeometry BackSheet;
    sheetprint::TDuplex Duplex = sheetprint::dxNone;
    // Without duplex the fronts and the backs can go out as two runs, the
    // user turning the stack between them.
    enum TSidesPass { spBoth, spFrontsOnly, spBacksOnly };
    TSidesPass Pass = spBoth;
    bool TwoSided() const { return BackPanel && Duplex != sheetprint::dxNone && ToPrinter && !OutlineOnly && !CalibrationPage; }

    // Printing for several people: when not negative, the run prints this
    // many cards across the chosen cells and as many sheets as they need,
    // whatever SheetsToPrint says, calling OnMergeCard with each card's
    // running number from 0 before it is drawn.
    int MergeCards = -1;
    std::function<void(int card)> OnMergeCard;
    // The person the card being drawn is for, shown on the status form.
    QString PersonShown;

    // Called as each card is begun, with its cell number from 1 (on the
    // back, the number of the front's cell it lies behind).
    std::function<void(int cellNumber)> OnCard;
    // Called before a back is drawn, with the card's running number.
    std::function<void(int card)> OnMergeBack;
    // Called after each card; the status form handles its buttons here.
    std::function<void()> OnIdle;
    // The printer driver's largest number of copies of one page; the
    // shared printer's by default.
    std::function<int()> DriverMaxCopies;

    // Makes the report run this loop: portrait pages, BeforePrintLabels
    // before the job opens, PrintLabels for its pages, no other events.
    void Attach(TBaseReport &report);

    void LoadBackGround();
    sheetprint::TBackgroundKind BackgroundKind() const { return FBackgroundKind; }
    const QImage &BackgroundBitmap() const { return FBackgroundBitmap; }

    void BeforePrintLabels(TBaseReport &report);
    void PrintLabels(TBaseReport &report);
    void PrintBackGround(TBaseReport &report, double x, double y);

private:
    // One card of a sheet: its front's cell and its running number.
    struct TPlacedCard {
        sheetprint::TCell Cell;
        int Card = 0;
    };
    QList<QList<TPlacedCard>> PlanSheets() const;
    void PrintSheetsOneSided(TBaseReport &report);
    void PrintSheetsTwoSided(TBaseReport &report);
    bool PrintFront(TBaseReport &report, const QList<TPlacedCard> &sheet);
    bool PrintBack(TBaseReport &report, const QList<TPlacedCard> &sheet);
    void PrintCell(TBaseReport &report, int row, int column);

    // The art of one side, loaded once for the run.
    struct TLoadedArt {
        sheetprint::TBackgroundKind Kind = sheetprint::bgNone;
        QImage Bitmap;
        TMetafile Metafile;
        void Load(const QString &path);
    };
    void PrintArt(const TLoadedArt &art, TBaseReport &report, double x, double y, const sheetprint::TSheetGeometry &sheet);

    sheetprint::TBackgroundKind FBackgroundKind = sheetprint::bgNone;
    QImage FBackgroundBitmap;
    TMetafile FBackgroundMetafile;
    TLoadedArt FBackArt;
};

// The print status form "Print Status Screen": shows the report's status
// text and the card being drawn, offers Cancel (printing) or Stop (preview)
// while the run lasts and becomes an OK button when it is over. The run
// starts when the form is first shown.
class TLabelPrinter : public QDialog
{
    Q_OBJECT

public:
    explicit TLabelPrinter(QWidget *parent = nullptr);
    ~TLabelPrinter() override;

    // The sheet loop to run; fill it in before the form is shown.
    TCardSheetPrinter &Job() { return FJob; }
    // Printing goes to LabelReportPrinter, a preview into LabelReportFiler.
    TReportPrinter &LabelReportPrinter() { return FReportPrinter; }
    TReportFiler &LabelReportFiler() { return FReportFiler; }
    TBaseReport &ActiveReport();
    bool IsAborted();
    // The message of an error that ended the run, empty when none did.
    QString RunError() const { return FRunError; }
    bool RunOver() const { return FRunOver; }

    QLabel *StatusLabel() const { return RStatusLabel; }
    QLabel *CardLabel() const { return Extralabel; }
    QPushButton *Button() const { return CancelButton; }

    // Runs the report once (the first show does it); safe to call directly.
    void FormActivate();
    void CancelButtonClick();

signals:
    // A card is about to be drawn (cell number from 1).
    void CardStarted(int cellNumber);

protected:
    void showEvent(QShowEvent *e) override;
    void reject() override;

private:
    void ShowFinalStatus();

    TCardSheetPrinter FJob;
    TReportPrinter FReportPrinter;
    TReportFiler FReportFiler;
    bool FActivated = false;
    bool FRunOver = false;
    QString FRunError;

    QLabel *RStatusLabel = nullptr;
    QLabel *Extralabel = nullptr;
    QPushButton *CancelButton = nullptr;
};

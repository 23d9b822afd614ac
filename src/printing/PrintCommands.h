// The printing commands as the main window offers them: Print (cell
// selection, bottom-margin warning, the run), Preview, the outline test page
// and the printer setup. They work on the main window's card panel and
// settings, handed over in a TPrintContext, so that they know nothing of the
// window itself.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QWidget;
class TGBasePanel;
class TReportPrinter;
struct TMergePlan;
namespace sheetprint {
enum TDuplex : int;
}

struct TPrintContext {
    QWidget *Parent = nullptr;
    TGBasePanel *Panel = nullptr;
    CardSheetLayout *Layout = nullptr;
    PrinterNudges *Nudges = nullptr;
    SelectedCells *Cells = nullptr;
    bool *ShowBottomMarginWarning = nullptr;
    QString BackgroundArtPath;
    // The open card's file, empty while it is untitled; names the PDF file.
    QString CardFileName;
    std::function<void()> SavePreferences;
    // Asks for the file the "PDF file" printer writes, proposing a path;
    // nothing when the user cancels. Unset: a save dialog.
    std::function<std::optional<QString>(const QString &proposal)> ChoosePdfFile;

    // The next run goes to the printer (false: into the preview) and
    // whether it prints only the cell outlines; the commands set them.
    bool PrintToPrinter = true;
    bool OutlineTestPage = false;
    // The next run prints the calibration page.
    bool CalibrationPage = false;
    // Set while printing for several people: who gets which cards.
    const TMergePlan *Merge = nullptr;

    // The card's back, made for the run (none when the card has no back),
    // its art and its own nudges, and how Print turns the sheet over: the
    // cell selection's "Both sides" sets it; none prints the fronts only.
    TGBasePanel *BackPanel = nullptr;
    QString BackArtPath;
    PrinterNudges *BackNudges = nullptr;
    sheetprint::TDuplex Duplex{};
};

namespace printcommands {

// The report printer the main window keeps between commands: the number of
// sheets chosen last and the paper; lives until the program ends.
TReportPrinter &MainReportPrinter();

// "&Print": paper by the layout, cell selection, the bottom-margin warning,
// then the run.
void PrintCommand(TPrintContext &context);
// "Pre&view": the first cell recorded and shown in the preview window.
void PreviewCommand(TPrintContext &context);
// "Print O&utline Test Page": the outlines of the cells selected last, one
// copy on the current printer; on the PDF printer into a file asked for as
// Print asks for it.
void OutlineTestPageCommand(TPrintContext &context);
// "Print &Calibration Page": one page of rulers in every cell of the layout,
// with the printer nudges applied, output as the outline test page is.
void CalibrationPageCommand(TPrintContext &context);
// "Print Calibration Page for &Both Sides": the sheet of outlined fronts and,
// on its back, the rulers that read the backs' nudges; turned over as Print
// last turned the sheet (long edge the first time).
void TwoSidedCalibrationCommand(TPrintContext &context);
// "Printer S&etup": the choice of printer and its page setup.
void PrinterSetupCommand(QWidget *parent);

// The cell selection dialog; on Ok the choice goes into the context's cells.
bool DoPageSetup(TPrintContext &context);
// One run with the status form, to the printer or into the preview. When the
// "PDF file" printer prints, its file is asked for first unless askPdfFile is
// false. Returns false when nothing was output (cancelled or aborted).
bool DoPrint(TPrintContext &context, bool askPdfFile = true);
// One run of DoPrint; pass is the run's TCardSheetPrinter::TSidesPass.
bool DoPrintPass(TPrintContext &context, bool askPdfFile, int pass);

// The PDF file proposed for a card: its name with ".pdf" in the folder used
// last (the card's folder, or the user's documents, the first time); a test
// page adds its own name ("card - calibration page.pdf").
QString ProposedPdfFile(const QString &cardFileName, const QString &page = QString());
// Remembers the folder of a chosen PDF file for the next proposal.
void RememberPdfFolder(const QString &pdfFile);

} // namespace printcommands

// The printer setup: which printer prints, with its page setup.
class TPrinterSetup : public QDialog
{
    Q_OBJECT

public:
    explicit TPrinterSetup(QWidget *parent = nullptr);

    QComboBox *PrinterCombo() const { return FPrinters; }
    // Makes the chosen printer current (Ok).
    void OkButtonClick();
    void PropertiesButtonClick();

private:
    void ShowPaper();

    QComboBox *FPrinters = nullptr;
    QLabel *FPaper = nullptr;
};

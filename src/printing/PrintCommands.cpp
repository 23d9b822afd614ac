#include "printing/PrintCommands.h"

#include "printing/PeopleMerge.h"
#include "printing/PrintPreview.h"
#include "printing/SheetPrinting.h"
#include "printing/CellSelectionDialog.h"
#include "printing/BottomMarginWarning.h"
#include "printing/DialogKit.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "platform/Dialogs.h"
#include "surface/CardPanel.h"
#include "widgets/FormHelpTexts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace printcommands {
namespace {

QString g_lastPdfFolder;

std::optional<QString> AskPdfFile(const TPrintContext &context)
{
    // Each page has a name of its own, so that one does not replace another.
    QString page;
    if (context.OutlineTestPage)
        page = QStringLiteral("outline test page");
    else if (context.CalibrationPage)
        page = QStringLiteral("calibration page");
    const QString proposal = ProposedPdfFile(context.CardFileName, page);
    std::optional<QString> chosen;
    if (context.ChoosePdfFile) {
        chosen = context.ChoosePdfFile(proposal);
    } else {
        const QString file = QFileDialog::getSaveFileName(context.Parent, QStringLiteral("Print to PDF File"),
                                                          proposal, QStringLiteral("PDF files (*.pdf)"));
        if (!file.isEmpty())
            chosen = file;
    }
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    QString file = *chosen;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    RememberPdfFolder(file);
    return file;
}

TPrinterAccess PrinterAccess()
{
    TPrinterAccess access;
    access.PrinterName = [] { return TRPDevice::Instance().DeviceName(); };
    access.ShowPrinterSetup = [](QWidget *parent) { PrinterSetupCommand(parent); };
    access.SetPortraitAndCopies = [](int copies) {
        MainReportPrinter().SetOrientation(poPortrait);
        MainReportPrinter().SetCopies(copies);
    };
    return access;
}

} // namespace

TReportPrinter &MainReportPrinter()
{
    // Made on first use and freed with the application, whose print support
    // its printer engine belongs to.
    static TReportPrinter *printer = [] {
        auto *p = new TReportPrinter;
        qAddPostRoutine([] { delete &MainReportPrinter(); });
        return p;
    }();
    return *printer;
}

QString ProposedPdfFile(const QString &cardFileName, const QString &page)
{
    QString folder = g_lastPdfFolder;
    if (folder.isEmpty() && !cardFileName.isEmpty())
        folder = QFileInfo(cardFileName).absolutePath();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString name = cardFileName.isEmpty() ? QStringLiteral("Quorvel") : QFileInfo(cardFileName).completeBaseName();
    if (!page.isEmpty())
        name += QStringLiteral(" - ") + page;
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void RememberPdfFolder(const QString &pdfFile)
{
    g_lastPdfFolder = QFileInfo(pdfFile).absolutePath();
}

bool DoPageSetup(TPrintContext &context)
{
    SelectedCells cells = cellselection::FitToLayout(*context.Cells, *context.Layout);
    int pages = 1;
    if (!SelectCells(*context.Layout, cells, pages, PrinterAccess(), context.Parent, &context.Duplex,
                     context.BackPanel != nullptr))
        return false;
    *context.Cells = cells;
    return true;
}

namespace {

// The printer turns the sheet itself for a duplex run; one-sided runs keep
// what the user's printer setup says.
class TPrinterDuplex
{
public:
    explicit TPrinterDuplex(sheetprint::TDuplex duplex)
    {
        TRPDevice &device = TRPDevice::Instance();
        if (device.IsPdfPrinter() || (duplex != sheetprint::dxLongEdge && duplex != sheetprint::dxShortEdge))
            return;
        FPrinter = &device.Printer();
        FWas = FPrinter->duplex();
        FPrinter->setDuplex(duplex == sheetprint::dxLongEdge ? QPrinter::DuplexLongSide : QPrinter::DuplexShortSide);
    }
    ~TPrinterDuplex()
    {
        if (FPrinter)
            FPrinter->setDuplex(FWas);
    }
    TPrinterDuplex(const TPrinterDuplex &) = delete;
    TPrinterDuplex &operator=(const TPrinterDuplex &) = delete;

private:
    QPrinter *FPrinter = nullptr;
    QPrinter::DuplexMode FWas = QPrinter::DuplexNone;
};

} // namespace

bool DoPrint(TPrintContext &context, bool askPdfFile)
{
    // Without duplex, a printer gets the fronts and then, once the user has
    // turned the stack, the backs; a PDF file holds both, fronts first.
    const bool twoSided = context.BackPanel && context.Duplex != sheetprint::dxNone && context.PrintToPrinter
                       && !context.OutlineTestPage && !context.CalibrationPage;
    if (twoSided && context.Duplex == sheetprint::dxManual && !TRPDevice::Instance().IsPdfPrinter()) {
        const int sheets = MainReportPrinter().Copies();
        if (!DoPrintPass(context, askPdfFile, TCardSheetPrinter::spFrontsOnly))
            return false;
        const platform::TMsgResult answer = platform::ShowMessageBox(
            {QStringLiteral("The fronts are printed.\rTurn the printed stack over from left to right and put it "
                            "back into the paper tray the way it went in the first time.\rPrint the backs now?"),
             QStringLiteral("Both sides"), platform::miQuestion, platform::mbYesNo},
            context.Parent);
        if (answer != platform::mrYes)
            return false;
        MainReportPrinter().SetCopies(sheets);
        return DoPrintPass(context, false, TCardSheetPrinter::spBacksOnly);
    }
    return DoPrintPass(context, askPdfFile, TCardSheetPrinter::spBoth);
}

bool DoPrintPass(TPrintContext &context, bool askPdfFile, int pass)
{
    const TPanelAtZoomOne zoom(context.Panel);
    const TPanelAtZoomOne backZoom(context.BackPanel);
    QCoreApplication::processEvents();
    TRPDevice &device = TRPDevice::Instance();
    if (context.PrintToPrinter && askPdfFile && device.IsPdfPrinter()) {
        const std::optional<QString> file = AskPdfFile(context);
        if (!file)
            return false;
        device.SetOutputFileName(*file);
    }

    TLabelPrinter form(context.Parent);
    TCardSheetPrinter &job = form.Job();
    job.Panel = context.Panel;
    job.SheetsToPrint = MainReportPrinter().Copies();
    MainReportPrinter().SetCopies(1);
    job.Cells = *context.Cells;
    job.OutlineOnly = context.OutlineTestPage;
    job.CalibrationPage = context.CalibrationPage;
    job.Sheet = sheetprint::SheetGeometry(*context.Layout, *context.Nudges);
    job.BackgroundPath = context.BackgroundArtPath;
    job.ToPrinter = context.PrintToPrinter;
    if (context.BackPanel && context.Duplex != sheetprint::dxNone) {
        job.BackPanel = context.BackPanel;
        job.BackBackgroundPath = context.BackArtPath;
        job.BackSheet = sheetprint::SheetGeometry(*context.Layout,
                                                  context.BackNudges ? *context.BackNudges : *context.Nudges);
        job.Duplex = context.Duplex;
        job.Pass = TCardSheetPrinter::TSidesPass(pass);
    }
    if (context.CalibrationPage && context.Duplex != sheetprint::dxNone) {
        job.BackSheet = sheetprint::SheetGeometry(*context.Layout,
                                                  context.BackNudges ? *context.BackNudges : *context.Nudges);
        job.Duplex = context.Duplex;
    }
    // Gives the design back as it was when the run is over.
    std::optional<TPeopleMerge> merge;
    std::optional<TPeopleMerge> backMerge;
    if (context.Merge) {
        merge.emplace(context.Panel);
        if (job.TwoSided())
            backMerge.emplace(context.BackPanel);
        context.Merge->Attach(job, *merge, backMerge ? &*backMerge : nullptr);
    }
    const TPrinterDuplex printerDuplex(job.TwoSided() ? context.Duplex : sheetprint::dxNone);
    form.exec();
    const bool aborted = form.IsAborted();
    const bool failed = !form.RunError().isEmpty();

    if (!context.PrintToPrinter && !aborted && !failed) {
        TPreviewForm preview(context.Parent);
        preview.setWindowTitle(QStringLiteral("Preview Business Cards"));
        preview.SetRecording(form.LabelReportFiler().Recording());
        preview.exec();
    }
    return !aborted && !failed;
}

void PrintCommand(TPrintContext &context)
{
    context.PrintToPrinter = true;
    TRPDevice &device = TRPDevice::Instance();
    device.SelectPaperSize(context.Layout->Papersize);
    if (context.Panel)
        context.Panel->SetPreviewing(false);
    context.OutlineTestPage = false;
    if (!DoPageSetup(context))
        return;
    // The cell selection's printer setup may have chosen another printer.
    device.SelectPaperSize(context.Layout->Papersize);

    device.RefreshPrinterMetrics();
    QCoreApplication::processEvents();
    const double bottom = device.Metrics().UnprintableBottom;
    bool showWarning = context.ShowBottomMarginWarning ? *context.ShowBottomMarginWarning : true;
    if (bottommargin::WarningApplies(bottom, *context.Layout, *context.Cells, showWarning)) {
        const bool goOn = WarnBottomMargin(bottom, showWarning, context.Parent);
        if (!showWarning && context.ShowBottomMarginWarning) {
            *context.ShowBottomMarginWarning = false;
            if (context.SavePreferences)
                context.SavePreferences();
        }
        if (!goOn)
            return;
    }
    DoPrint(context);
}

void PreviewCommand(TPrintContext &context)
{
    context.PrintToPrinter = false;
    TRPDevice::Instance().SelectPaperSize(context.Layout->Papersize);
    context.OutlineTestPage = false;
    if (context.Panel)
        context.Panel->SetPreviewing(true);
    DoPrint(context);
    // Objects paint for the screen again.
    if (context.Panel)
        context.Panel->SetPreviewing(false);
}

namespace {

// A test page goes where Print goes, one copy: to the current printer, or
// into a PDF file asked for by name (a file of that name is replaced only
// when the user confirms it). The system print dialog is not shown: it
// offered the file of the last run again. The page's status form ends with
// the message Print ends with.
void PrintTestPage(TPrintContext &context)
{
    context.PrintToPrinter = true;
    if (context.Panel)
        context.Panel->SetPreviewing(false);
    MainReportPrinter().SetCopies(1);
    DoPrint(context);
}

} // namespace

void OutlineTestPageCommand(TPrintContext &context)
{
    context.OutlineTestPage = true;
    context.CalibrationPage = false;
    PrintTestPage(context);
    context.OutlineTestPage = false;
}

void CalibrationPageCommand(TPrintContext &context)
{
    const sheetprint::TDuplex remembered = context.Duplex;
    context.Duplex = sheetprint::dxNone;
    context.OutlineTestPage = false;
    context.CalibrationPage = true;
    TRPDevice::Instance().SelectPaperSize(context.Layout->Papersize);
    PrintTestPage(context);
    context.CalibrationPage = false;
    context.Duplex = remembered;
}

void TwoSidedCalibrationCommand(TPrintContext &context)
{
    // Turned over as Print turned it last; over the long edge the first time.
    if (context.Duplex == sheetprint::dxNone)
        context.Duplex = sheetprint::dxLongEdge;
    context.OutlineTestPage = false;
    context.CalibrationPage = true;
    TRPDevice::Instance().SelectPaperSize(context.Layout->Papersize);
    const TPrinterDuplex printerDuplex(context.Duplex);
    PrintTestPage(context);
    context.CalibrationPage = false;
}

void PrinterSetupCommand(QWidget *parent)
{
    TPrinterSetup dialog(parent);
    if (dialog.exec() == QDialog::Accepted)
        dialog.OkButtonClick();
}

} // namespace printcommands

// ======================================================================
// The printer setup dialog

TPrinterSetup::TPrinterSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPrinterSetup"));
    setWindowTitle(QStringLiteral("Printer Setup"));

    TRPDevice &device = TRPDevice::Instance();
    FPrinters = new QComboBox(this);
    FPrinters->setObjectName(QStringLiteral("PrinterCombo"));
    FPrinters->addItems(device.Printers());
    FPrinters->setCurrentIndex(device.PrinterIndex());
    FPaper = new QLabel(this);
    FPaper->setObjectName(QStringLiteral("PaperLabel"));

    auto *properties = new QPushButton(QStringLiteral("&Properties..."), this);
    properties->setObjectName(QStringLiteral("PropertiesButton"));
    properties->setAutoDefault(false);
    connect(properties, &QPushButton::clicked, this, &TPrinterSetup::PropertiesButtonClick);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), FPrinters);
    form->addRow(QStringLiteral("Paper:"), FPaper);
    form->addRow(QString(), properties);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    AttachFormHelp(this);
    ShowPaper();
}

void TPrinterSetup::ShowPaper()
{
    const TPageMetrics m = TRPDevice::Instance().Metrics();
    FPaper->setText(QStringLiteral("%1 x %2 in, unprintable edges %3 in")
                        .arg(m.PaperSize.width(), 0, 'f', 2)
                        .arg(m.PaperSize.height(), 0, 'f', 2)
                        .arg(qMax(qMax(m.UnprintableLeft, m.UnprintableTop), m.UnprintableBottom), 0, 'f', 2));
}

void TPrinterSetup::OkButtonClick()
{
    TRPDevice::Instance().SetPrinterIndex(FPrinters->currentIndex());
}

void TPrinterSetup::PropertiesButtonClick()
{
    // The page setup belongs to the printer chosen in the list.
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(FPrinters->currentIndex());
    device.ShowPrinterSetup(this);
    ShowPaper();
}

// Holds TRPDevice.
#include "report/PrinterList.h"

#include "report/PrintSpooler.h"
#include "report/ReportBase.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>

namespace {

// Printers that make many copies of a page by themselves report no limit.
constexpr int kManyCopies = 9999;

// How long a spooler may take to answer before the program goes on without
// its printers.
constexpr int kSpoolerTimeoutMs = 3000;

QPageLayout PdfLayout(const QPageSize &paper, QPageLayout::Orientation orientation)
{
    // A PDF page has no unprintable strip: drawing starts at the paper's corner.
    return QPageLayout(paper, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QString SystemDefaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

void MakePdfPrinter(QPrinter &printer)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(report::kPdfPrinterResolution);
}

} // namespace

TRPDevice::TRPDevice() : FPdfLayout(PdfLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait)) {}
TRPDevice::~TRPDevice() = default;

TRPDevice &TRPDevice::Instance()
{
    static TRPDevice device;
    static const bool releaseWithApplication = [] {
        // The printer's engine belongs to the application's print support and
        // must go before the application does.
        qAddPostRoutine([] { Instance().FPrinter.reset(); });
        return true;
    }();
    Q_UNUSED(releaseWithApplication);
    return device;
}

// ---- the printer list ----

void TRPDevice::EnsurePrinterList()
{
    if (FPrinterNames)
        return;
    if (FTestPrinterNames) {
        FPrinterNames = *FTestPrinterNames;
        return;
    }
    QStringList names;
    ReadSystemPrinters(names);
    names.removeAll(report::kPdfPrinterName);
    names.append(report::kPdfPrinterName);
    FPrinterNames = names;
}

// A spooler that takes the connection but never answers (a network printer
// server timing out) would hold the program for good inside the system's
// print support: it is asked first with a time limit.
void TRPDevice::ReadSystemPrinters(QStringList &names)
{
    FSpoolerProblem.clear();
    if (!report::SpoolerAnswers(kSpoolerTimeoutMs, &FSpoolerProblem)) {
        const QString message = FSpoolerProblem + QStringLiteral(". Only the printer \"%1\" can be used.")
                                                      .arg(report::kPdfPrinterName);
        if (FProblemReporter)
            FProblemReporter(message);
        else
            std::fprintf(stderr, "quorvel: %s\n", message.toLocal8Bit().constData());
        return;
    }
    names = QPrinterInfo::availablePrinterNames();
}

void TRPDevice::SetProblemReporter(std::function<void(const QString &)> reporter)
{
    FProblemReporter = std::move(reporter);
}

QStringList TRPDevice::Printers()
{
    EnsurePrinterList();
    return *FPrinterNames;
}

void TRPDevice::RefreshPrinterList()
{
    FPrinterNames.reset();
    EnsurePrinterList();
    if (!FPrinterNames->contains(FCurrentName)) {
        FCurrentName.clear();
        FPrinter.reset();
    }
}

void TRPDevice::SetPrinterListForTests(std::optional<QStringList> names)
{
    FTestPrinterNames = std::move(names);
    FCurrentName.clear();
    FPrinter.reset();
    RefreshPrinterList();
}

int TRPDevice::PdfPrinterIndex()
{
    return Printers().indexOf(report::kPdfPrinterName);
}

void TRPDevice::UsePdfPrinter()
{
    if (FTestPrinterNames && !FTestPrinterNames->contains(report::kPdfPrinterName))
        return;
    UsePrinterNamed(report::kPdfPrinterName);
}

bool TRPDevice::HasPrinters()
{
    if (!FPrinterNames && !FTestPrinterNames)
        return true;
    return !Printers().isEmpty();
}

bool TRPDevice::CurrentPrinterListed()
{
    // The built-in printer is in every list the system gives.
    if (FCurrentName == report::kPdfPrinterName && !FTestPrinterNames)
        return true;
    EnsurePrinterList();
    return FPrinterNames->contains(FCurrentName);
}

void TRPDevice::EnsureCurrentPrinter()
{
    if (!FCurrentName.isEmpty() && CurrentPrinterListed())
        return;
    EnsurePrinterList();
    // The system's default printer; without one the first system printer, and
    // without any system printer the built-in PDF printer (last in the list).
    QString name = FSpoolerProblem.isEmpty() ? SystemDefaultPrinterName() : QString();
    if (!FPrinterNames->contains(name) || FTestPrinterNames)
        name = FPrinterNames->isEmpty() ? report::kPdfPrinterName : FPrinterNames->first();
    CreatePrinter(name);
}

int TRPDevice::PrinterIndex()
{
    EnsureCurrentPrinter();
    return FPrinterNames->indexOf(FCurrentName);
}

void TRPDevice::SetPrinterIndex(int index)
{
    EnsurePrinterList();
    if (index < 0 || index >= FPrinterNames->size())
        return;
    UsePrinterNamed(FPrinterNames->at(index));
}

void TRPDevice::UsePrinterNamed(const QString &name)
{
    if (!FCurrentName.isEmpty() && name == FCurrentName)
        return;
    CreatePrinter(name);
}

bool TRPDevice::IsPdfPrinter()
{
    EnsureCurrentPrinter();
    return FCurrentName == report::kPdfPrinterName;
}

void TRPDevice::CreatePrinter(const QString &name)
{
    FCurrentName = name;
    if (name == report::kPdfPrinterName) {
        // Made when a dialog needs it; a QPrinter asks the spooler for its
        // default printer as soon as it is constructed.
        FPrinter.reset();
        FPdfLayout = PdfLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait);
    } else {
        FPrinter = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    }
    RefreshPrinterMetrics();
}

void TRPDevice::MakePrinterForDialogs()
{
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (FPrinter->outputFormat() != QPrinter::PdfFormat)
        MakePdfPrinter(*FPrinter);
    FPrinter->setPageLayout(FPdfLayout);
    // The dialogs offer the file the user chose last.
    if (!FOutputFileName.isEmpty())
        FPrinter->setOutputFileName(FOutputFileName);
}

QPrinter &TRPDevice::Printer()
{
    EnsureCurrentPrinter();
    if (FCurrentName == report::kPdfPrinterName)
        MakePrinterForDialogs();
    return *FPrinter;
}

// ---- names ----

QString TRPDevice::DeviceName()
{
    EnsureCurrentPrinter();
    return FCurrentName;
}

QString TRPDevice::DriverName()
{
    if (IsPdfPrinter())
        return QStringLiteral("PDF");
    const QString model = QPrinterInfo::printerInfo(FCurrentName).makeAndModel();
    return model.isEmpty() ? QStringLiteral("CUPS") : model;
}

QString TRPDevice::PortName()
{
    if (IsPdfPrinter())
        return QStringLiteral("FILE:");
    const QString location = QPrinterInfo::printerInfo(FCurrentName).location();
    return location.isEmpty() ? FCurrentName : location;
}

// ---- settings ----

bool TRPDevice::SelectPaperSize(int code, int width, int height)
{
    QPageSize wanted;
    if (width > 0 && height > 0)
        wanted = QPageSize(QSizeF(width / 10.0, height / 10.0), QPageSize::Millimeter);
    else if (QPageSize::id(code) != QPageSize::Custom)
        wanted = QPageSize(QPageSize::id(code));
    if (!wanted.isValid())
        return false;

    if (IsPdfPrinter()) {
        if (FPdfLayout.pageSize().isEquivalentTo(wanted))
            return false;
        FPdfLayout.setPageSize(wanted);
        RefreshPrinterMetrics();
        return true;
    }
    QPrinter &printer = Printer();
    {
        const QList<QPageSize> supported = QPrinterInfo::printerInfo(FCurrentName).supportedPageSizes();
        const bool known = std::any_of(supported.begin(), supported.end(),
                                       [&](const QPageSize &s) { return s.isEquivalentTo(wanted); });
        if (!supported.isEmpty() && !known)
            return false;
    }
    if (printer.pageLayout().pageSize().isEquivalentTo(wanted))
        return false;
    printer.setPageSize(wanted);
    RefreshPrinterMetrics();
    return true;
}

void TRPDevice::SetOrientation(TOrientation orientation)
{
    if (orientation == poDefault)
        return;
    const auto wanted = orientation == poLandScape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (IsPdfPrinter()) {
        if (FPdfLayout.orientation() == wanted)
            return;
        FPdfLayout.setOrientation(wanted);
        RefreshPrinterMetrics();
        return;
    }
    QPrinter &printer = Printer();
    if (printer.pageLayout().orientation() == wanted)
        return;
    printer.setPageOrientation(wanted);
    RefreshPrinterMetrics();
}

void TRPDevice::RefreshPrinterMetrics()
{
    if (FCurrentName.isEmpty())
        EnsureCurrentPrinter(); // chooses a printer, which measures it
    if (FCurrentName == report::kPdfPrinterName) {
        // Whole device pixels of the paper, as the PDF engine measures it.
        const int dpi = report::kPdfPrinterResolution;
        const QRect paper = FPdfLayout.fullRectPixels(dpi);
        FMetrics.XDPI = dpi;
        FMetrics.YDPI = dpi;
        FMetrics.PaperSize = QSizeF(double(paper.width()) / dpi, double(paper.height()) / dpi);
        FMetrics.UnprintableLeft = FMetrics.UnprintableTop = 0;
        FMetrics.UnprintableRight = FMetrics.UnprintableBottom = 0;
        return;
    }
    QPrinter &printer = *FPrinter;
    {
        printer.setFullPage(false);
        const QPageLayout layout = printer.pageLayout();
        printer.setPageMargins(layout.minimumMargins(), layout.units());
    }
    // The painter's origin sits on a whole device pixel, so the strips are
    // measured in device pixels, not taken from the margins in points.
    const double dpi = printer.resolution();
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    FMetrics.XDPI = printer.resolution();
    FMetrics.YDPI = printer.resolution();
    FMetrics.PaperSize = QSizeF(paper.width() / dpi, paper.height() / dpi);
    FMetrics.UnprintableLeft = (page.left() - paper.left()) / dpi;
    FMetrics.UnprintableTop = (page.top() - paper.top()) / dpi;
    FMetrics.UnprintableRight = (paper.right() - page.right()) / dpi;
    FMetrics.UnprintableBottom = (paper.bottom() - page.bottom()) / dpi;
}

TPageMetrics TRPDevice::Metrics()
{
    EnsureCurrentPrinter();
    return FMetrics;
}

int TRPDevice::DriverMaxCopies()
{
    // A PDF file holds each copy as pages of its own.
    if (IsPdfPrinter())
        return 1;
    return Printer().supportsMultipleCopies() ? kManyCopies : 1;
}

// ---- dialogs ----

bool TRPDevice::ShowPrinterSetup(QWidget *parent)
{
    QPageSetupDialog dialog(&Printer(), parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted) {
        if (IsPdfPrinter())
            FPdfLayout = PdfLayout(FPrinter->pageLayout().pageSize(), FPrinter->pageLayout().orientation());
        RefreshPrinterMetrics();
    }
    return accepted;
}

bool TRPDevice::ShowPrintDialog(TBaseReport &report, QWidget *parent)
{
    QPrinter &printer = Printer();
    printer.setCopyCount(report.Copies());
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(report::kFirstPageDefault, report::kLastPageDefault);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    report.SetCopies(printer.copyCount());
    if (printer.printRange() == QPrinter::PageRange) {
        report.SetFirstPage(printer.fromPage());
        report.SetLastPage(printer.toPage());
    } else {
        report.SetFirstPage(report::kFirstPageDefault);
        report.SetLastPage(report::kLastPageDefault);
    }
    // The dialog may have switched to another printer or to a file.
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        if (!printer.outputFileName().isEmpty())
            FOutputFileName = printer.outputFileName();
        FCurrentName = report::kPdfPrinterName;
        MakePdfPrinter(printer);
        FPdfLayout = PdfLayout(printer.pageLayout().pageSize(), printer.pageLayout().orientation());
    } else if (!printer.printerName().isEmpty()) {
        FCurrentName = printer.printerName();
    }
    RefreshPrinterMetrics();
    return true;
}

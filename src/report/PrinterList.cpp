// Holds TRPDevice.
#include "report/PrinterList.h"

#include "report/ReportBase.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// Printers that make many copies of a page by themselves report no limit.
constexpr int kManyCopies = 9999;

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

TRPDevice::TRPDevice() = default;
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
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(report::kPdfPrinterName);
    names.append(report::kPdfPrinterName);
    FPrinterNames = names;
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
    if (FPrinter && CurrentPrinterListed())
        return;
    EnsurePrinterList();
    // The system's default printer; without one the first system printer, and
    // without any system printer the built-in PDF printer (last in the list).
    QString name = SystemDefaultPrinterName();
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
    if (FPrinter && name == FCurrentName)
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
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        FPrinter->setPageSize(QPageSize(QPageSize::Letter));
        MakePdfPrinter(*FPrinter);
    } else {
        FPrinter = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    }
    RefreshPrinterMetrics();
}

QPrinter &TRPDevice::Printer()
{
    EnsureCurrentPrinter();
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

    QPrinter &printer = Printer();
    if (!IsPdfPrinter()) {
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
    QPrinter &printer = Printer();
    const auto wanted = orientation == poLandScape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (printer.pageLayout().orientation() == wanted)
        return;
    printer.setPageOrientation(wanted);
    RefreshPrinterMetrics();
}

void TRPDevice::RefreshPrinterMetrics()
{
    QPrinter &printer = *FPrinter;
    if (FCurrentName == report::kPdfPrinterName) {
        // A PDF page has no unprintable strip: draw from the paper's corner.
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    } else {
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
    return Printer().supportsMultipleCopies() ? kManyCopies : 1;
}

// ---- dialogs ----

bool TRPDevice::ShowPrinterSetup(QWidget *parent)
{
    QPageSetupDialog dialog(&Printer(), parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        RefreshPrinterMetrics();
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
    } else if (!printer.printerName().isEmpty()) {
        FCurrentName = printer.printerName();
    }
    RefreshPrinterMetrics();
    return true;
}

// Holds TReportPrinter.
#include "report/ReportPrinter.h"

#include "platform/OutputFiles.h"
#include "report/PrinterList.h"
#include "report/PrintSpooler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryFile>

namespace {

// The spooler keeps no more of a job's name than this.
constexpr int kMaxJobNameLength = 31;

} // namespace

TReportPrinter::TReportPrinter() = default;

TReportPrinter::~TReportPrinter()
{
    if (FPainter.isActive())
        FPainter.end();
    DiscardPartialFile();
    DiscardSpoolFile();
}

TPageMetrics TReportPrinter::ReadMetrics()
{
    TRPDevice &device = TRPDevice::Instance();
    device.RefreshPrinterMetrics();
    return device.Metrics();
}

void TReportPrinter::BeginDocument()
{
    TRPDevice &device = TRPDevice::Instance();
    device.SetOrientation(Orientation());
    FOutput.reset();
    FJobId = 0;
    FPdfWriter.reset();
    FPrinter = nullptr;
    if (!device.IsPdfPrinter()) {
        FPrinter = &device.Printer();
        FPrinter->setDocName(Title().left(kMaxJobNameLength));
        FPrinter->setCopyCount(Copies());
        PrepareSpoolFile();
        return;
    }

    if (device.OutputFileName().isEmpty())
        throw EReportError(QStringLiteral("No file name was given for the printer \"%1\".")
                               .arg(report::kPdfPrinterName));
    // A link is printed through to its file; a device or FIFO is refused
    // rather than replaced by a regular file. The PDF goes into a temporary
    // file that replaces the chosen one only when the job ends well.
    try {
        FOutput = std::make_unique<platform::TOutputFile>(device.OutputFileName(), platform::TOutputSync::NoWait);
    } catch (const platform::EOutputFileError &e) {
        throw EReportError(e.Message());
    }
    FPdfWriter = std::make_unique<QPdfWriter>(&FOutput->Device());
    FPdfWriter->setTitle(Title().left(kMaxJobNameLength));
    FPdfWriter->setCreator(QStringLiteral("Quorvel"));
    FPdfWriter->setResolution(report::kPdfPrinterResolution);
    FPdfWriter->setPageLayout(device.PdfPageLayout());
}

QPagedPaintDevice *TReportPrinter::OutputDevice() const
{
    if (FPdfWriter)
        return FPdfWriter.get();
    return FPrinter;
}

QPainter *TReportPrinter::BeginDevicePage()
{
    // The job reaches the device with its first page that is output.
    if (!FPainter.isActive()) {
        if (!FPainter.begin(OutputDevice()))
            throw EReportError(QStringLiteral("Unable to start the print job on %1").arg(DeviceName()));
        // Card pictures are often a few pixels stretched over a card; the PDF
        // engine's JPEG would smear their colours into each other.
        FPainter.setRenderHint(QPainter::LosslessImageRendering);
    } else {
        OutputDevice()->newPage();
        FPainter.resetTransform();
        FPainter.setClipping(false);
    }
    return &FPainter;
}

void TReportPrinter::EndDevicePage()
{
    // QPrinter closes a page when the next one begins or the job ends.
}

void TReportPrinter::EndDocument()
{
    const bool written = FPainter.isActive();
    const bool ended = !written || FPainter.end();
    if (!FSpoolFile.isEmpty()) {
        if (written && ended) {
            SendSpoolFile();
            return;
        }
        DiscardSpoolFile();
        if (!ended)
            throw EReportError(QStringLiteral("Unable to finish the print job on %1").arg(DeviceName()));
        return;
    }
    if (!FOutput)
        return;
    FPdfWriter.reset();
    if (!written) {
        // No page was output: there is no document to keep.
        DiscardPartialFile();
        return;
    }
    try {
        if (!ended)
            throw EReportError(QStringLiteral("Unable to write %1")
                                   .arg(QDir::toNativeSeparators(TRPDevice::Instance().OutputFileName())));
        FOutput->Commit();
        FOutput.reset();
    } catch (const platform::EOutputFileError &e) {
        FOutput.reset();
        throw EReportError(e.Message());
    } catch (...) {
        FOutput.reset();
        throw;
    }
}

void TReportPrinter::AbortDocument()
{
    if (FPainter.isActive()) {
        // Qt's PDF and CUPS engines cannot take back what they have spooled;
        // other engines stop the job here. A job drawn into the spool file
        // is simply not sent.
        if (FPrinter && !FPdfWriter)
            FPrinter->abort();
        FPainter.end();
    }
    DiscardPartialFile();
    DiscardSpoolFile();
}

void TReportPrinter::PrepareSpoolFile()
{
    // Without the spooler's library Qt sends the job itself, as drawn.
    if (!report::SpoolerAvailable())
        return;
    // A name without ".pdf" keeps the printer's own engine, with its page
    // layout and margins, only writing into the file instead of spooling.
    QTemporaryFile spool(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvel-XXXXXX.job")));
    spool.setAutoRemove(false);
    if (!spool.open())
        throw EReportError(QStringLiteral("Unable to start the print job on %1").arg(DeviceName()));
    FSpoolFile = spool.fileName();
    platform::RemoveOnInterrupt(FSpoolFile);
    spool.close();
    FPrinter->setOutputFileName(FSpoolFile);
}

void TReportPrinter::SendSpoolFile()
{
    const QString file = FSpoolFile;
    FSpoolFile.clear();
    FPrinter->setOutputFileName(QString());

    report::TSpoolOptions options;
    auto add = [&options](const char *name, const QByteArray &value) { options.append({QByteArray(name), value}); };
    add("media", FPrinter->pageLayout().pageSize().key().toLocal8Bit());
    if (Copies() > 1) {
        add("copies", QByteArray::number(Copies()));
        add("Collate", "True");
    }
    switch (FPrinter->duplex()) {
    case QPrinter::DuplexAuto:
    case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
    default: add("sides", "one-sided"); break;
    }
    if (FPrinter->pageLayout().orientation() == QPageLayout::Landscape)
        add("landscape", QByteArray());

    QString error;
    FJobId = report::SpoolFile(FPrinter->printerName(), file, Title().left(kMaxJobNameLength), options, &error);
    QFile::remove(file);
    platform::ForgetOnInterrupt(file);
    if (FJobId == 0)
        throw EReportError(QStringLiteral("Unable to send the print job to %1: %2").arg(DeviceName(), error));
}

void TReportPrinter::DiscardSpoolFile()
{
    if (FSpoolFile.isEmpty())
        return;
    QFile::remove(FSpoolFile);
    platform::ForgetOnInterrupt(FSpoolFile);
    FSpoolFile.clear();
    if (FPrinter && !FPainter.isActive())
        FPrinter->setOutputFileName(QString());
}

void TReportPrinter::DiscardPartialFile()
{
    FPdfWriter.reset();
    FOutput.reset();
}

QString TReportPrinter::DeviceName() const
{
    return TRPDevice::Instance().DeviceName();
}

QString TReportPrinter::DriverName() const
{
    return TRPDevice::Instance().DriverName();
}

QString TReportPrinter::PortName() const
{
    return TRPDevice::Instance().PortName();
}

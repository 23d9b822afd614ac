#include "report/RPrinter.h"

#include "report/RPDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <filesystem>

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
    FPrinter = &device.Printer();
    FPrinter->setDocName(Title().left(kMaxJobNameLength));
    FPrinter->setCopyCount(Copies());
    FTargetFile.clear();
    if (!device.IsPdfPrinter())
        return;

    FTargetFile = device.OutputFileName();
    if (FTargetFile.isEmpty())
        throw EReportError(QStringLiteral("No file name was given for the printer \"%1\".")
                               .arg(report::kPdfPrinterName));
    QTemporaryFile partial(FTargetFile + QStringLiteral(".XXXXXX.part"));
    partial.setAutoRemove(false);
    if (!partial.open())
        throw EReportError(QStringLiteral("Unable to write %1").arg(QDir::toNativeSeparators(FTargetFile)));
    FPartialFile = partial.fileName();
    partial.close();
    FPrinter->setOutputFileName(FPartialFile);
}

QPainter *TReportPrinter::BeginDevicePage()
{
    // The job reaches the device with its first page that is output.
    if (!FPainter.isActive()) {
        if (!FPainter.begin(FPrinter))
            throw EReportError(QStringLiteral("Unable to start the print job on %1").arg(DeviceName()));
    } else {
        FPrinter->newPage();
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
    if (FPartialFile.isEmpty())
        return;
    const QString partial = FPartialFile;
    FPartialFile.clear();
    if (!written) {
        // No page was output: there is no document to keep.
        QFile::remove(partial);
        return;
    }
    std::error_code error;
    if (ended)
        std::filesystem::rename(QFile::encodeName(partial).toStdString(),
                                QFile::encodeName(FTargetFile).toStdString(), error);
    if (!ended || error) {
        QFile::remove(partial);
        throw EReportError(QStringLiteral("Unable to write %1").arg(QDir::toNativeSeparators(FTargetFile)));
    }
}

void TReportPrinter::AbortDocument()
{
    if (FPainter.isActive()) {
        // Qt's PDF and CUPS engines cannot take back what they have spooled;
        // other engines stop the job here.
        FPrinter->abort();
        FPainter.end();
    }
    DiscardPartialFile();
}

void TReportPrinter::DiscardPartialFile()
{
    if (FPartialFile.isEmpty())
        return;
    QFile::remove(FPartialFile);
    FPartialFile.clear();
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

// Holds TPageRecording, TReportFiler.
#include "report/ReportRecorder.h"

#include "platform/Rounding.h"
#include "report/PrinterList.h"

TReportFiler::TReportFiler() = default;

TReportFiler::~TReportFiler()
{
    if (FPainter.isActive())
        FPainter.end();
}

TPageMetrics TReportFiler::ReadMetrics()
{
    if (FFixedMetrics)
        return *FFixedMetrics;
    TRPDevice &device = TRPDevice::Instance();
    device.RefreshPrinterMetrics();
    return device.Metrics();
}

void TReportFiler::BeginDocument()
{
    FRecording = TPageRecording();
    if (!FFixedMetrics)
        TRPDevice::Instance().SetOrientation(Orientation());
}

QPainter *TReportFiler::BeginDevicePage()
{
    FRecording.Metrics = Metrics();
    FPage = QPicture();
    FPainter.begin(&FPage);
    return &FPainter;
}

void TReportFiler::EndDevicePage()
{
    if (!FPainter.isActive())
        return;
    FPainter.end();
    FRecording.Pages.append(FPage);
}

void TReportFiler::EndDocument() {}

void TReportFiler::AbortDocument()
{
    if (FPainter.isActive())
        FPainter.end();
    FRecording.Pages.clear();
}

QString TReportFiler::DeviceName() const
{
    return report::kPreviewDeviceName;
}

QString TReportFiler::DriverName() const
{
    return report::kPreviewDeviceName;
}

QString TReportFiler::PortName() const
{
    return report::kPreviewPortName;
}

// ---- replay ----

void PlayRecordedPage(QPainter &painter, const TPageRecording &recording, int index)
{
    if (index < 0 || index >= recording.Pages.size())
        return;
    const TPageMetrics &m = recording.Metrics;
    const QPicture &page = recording.Pages.at(index);
    painter.save();
    StartFromFreshState(painter);
    // Device pixel (0, 0) of the recording is the corner of the printable area.
    painter.translate(m.UnprintableLeft * m.XDPI, m.UnprintableTop * m.YDPI);
    // Playing a picture scales it by the target's resolution over the one it
    // was recorded with; one painter unit must stay one recorded pixel.
    painter.scale(page.logicalDpiX() / double(painter.device()->logicalDpiX()),
                  page.logicalDpiY() / double(painter.device()->logicalDpiY()));
    painter.drawPicture(0, 0, page);
    painter.restore();
}

QImage RenderRecordedPage(const TPageRecording &recording, int index, double zoomPercent, int screenDpi)
{
    if (index < 0 || index >= recording.Pages.size() || zoomPercent <= 0.0 || screenDpi <= 0)
        return QImage();
    const TPageMetrics &m = recording.Metrics;
    const double inchToScreen = zoomPercent / 100.0 * screenDpi;
    const QSize size(qMax(1, platform::Round(m.PaperSize.width() * inchToScreen)),
                     qMax(1, platform::Round(m.PaperSize.height() * inchToScreen)));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(inchToScreen / m.XDPI, inchToScreen / m.YDPI);
    PlayRecordedPage(painter, recording, index);
    return image;
}

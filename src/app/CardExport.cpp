#include "app/CardExport.h"

#include "printing/SheetPrinting.h"
#include "report/ReportRecorder.h"
#include "surface/CardPanel.h"
#include "platform/OutputFiles.h"
#include "platform/Rounding.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

TPageRecording RunCardRecording(TReportFiler &filer)
{
    try {
        filer.Run();
    } catch (const std::exception &e) {
        throw ECardExportError(QString::fromUtf8(e.what()));
    }
    if (filer.PageCount() < 1)
        throw ECardExportError(QStringLiteral("The card could not be drawn"));
    return filer.Recording();
}

namespace {

// Vectors are recorded at a printer's resolution, so that positions rounded
// to device pixels stay finer than any eye or scanner sees.
constexpr int kVectorDpi = 1200;
// SVG user units are CSS pixels.
constexpr int kSvgUnitsPerInch = 96;
// A picture larger than this (256 MB in memory) is refused rather than tried.
constexpr qint64 kMaxPngPixels = 64LL * 1024 * 1024;

// The card as one page of its own size, at dpi device pixels per inch, for
// a device that can do what `device` says (a picture of pixels can do all).
TPageRecording RecordCard(const TCardExport &card, int dpi, const TDeviceAbilities &device = {})
{
    TPageMetrics page;
    page.XDPI = page.YDPI = dpi;
    page.PaperSize = card.CardSize;
    TReportFiler filer;
    filer.SetPageMetrics(page);
    filer.SetPlaybackDevice(device);

    TCardSheetPrinter job;
    job.Panel = card.Panel;
    job.Sheet.CardWidth = job.Sheet.HPitch = card.CardSize.width();
    job.Sheet.CardHeight = job.Sheet.VPitch = card.CardSize.height();
    job.Sheet.Across = job.Sheet.Down = 1;
    job.Sheet.TopMargin = job.Sheet.LeftMargin = 0.0;
    job.Cells = SelectedCells(1, true);
    job.DriverMaxCopies = [] { return 1; };
    job.BackgroundPath = card.BackgroundPath;
    job.LoadBackGround();
    job.Attach(filer);

    const TPanelAtZoomOne atOne(card.Panel);
    return RunCardRecording(filer);
}

QSize PixelSize(const QSizeF &inches, int dpi)
{
    return QSize(qMax(1, platform::Round(inches.width() * dpi)), qMax(1, platform::Round(inches.height() * dpi)));
}

QImage PngImage(const TCardExport &card)
{
    const QSize size = PixelSize(card.CardSize, card.Dpi);
    if (qint64(size.width()) * size.height() > kMaxPngPixels)
        throw ECardExportError(QStringLiteral("A picture of the card at %1 dpi would be too large; choose a lower "
                                              "resolution")
                                   .arg(card.Dpi));
    // An exported picture looks like the printed card: pens with raster
    // operations take the colour they give on white paper, as they do there.
    const TPageRecording recording = RecordCard(card, card.Dpi, TDeviceAbilities{false, true});
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull())
        throw ECardExportError(QStringLiteral("Not enough memory for a picture of the card at %1 dpi").arg(card.Dpi));
    // The picture carries its resolution, so that it prints at the card's size.
    const int dotsPerMeter = platform::Round(card.Dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(card.TransparentBackground ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    PlayRecordedPage(painter, recording, 0);
    return image;
}

void WritePng(const TCardExport &card, QIODevice &file, const QString &name)
{
    if (!PngImage(card).save(&file, "PNG"))
        throw ECardExportError(QStringLiteral("Unable to write ") + name);
}

void WriteSvg(const TCardExport &card, QIODevice &file, const QString &name)
{
    // Qt's SVG writer neither clips nor knows raster operations.
    const TPageRecording recording = RecordCard(card, kVectorDpi, TDeviceAbilities{false, false});
    const QSizeF units = card.CardSize * kSvgUnitsPerInch;
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setResolution(kSvgUnitsPerInch);
    svg.setSize(units.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), units));
    svg.setTitle(QFileInfo(name).completeBaseName());
    svg.setDescription(QStringLiteral("A business card made with Quorvel"));
    QPainter painter;
    if (!painter.begin(&svg))
        throw ECardExportError(QStringLiteral("Unable to write ") + name);
    if (!card.TransparentBackground)
        painter.fillRect(QRectF(QPointF(0, 0), units), Qt::white);
    painter.scale(double(kSvgUnitsPerInch) / kVectorDpi, double(kSvgUnitsPerInch) / kVectorDpi);
    PlayRecordedPage(painter, recording, 0);
    if (!painter.end())
        throw ECardExportError(QStringLiteral("Unable to write ") + name);
}

void WritePdf(const TCardExport &card, QIODevice &file, const QString &name)
{
    const TPageRecording recording = RecordCard(card, kVectorDpi, TDeviceAbilities{false, true});
    QPdfWriter pdf(&file);
    pdf.setCreator(QStringLiteral("Quorvel"));
    pdf.setTitle(QFileInfo(name).completeBaseName());
    pdf.setResolution(kVectorDpi);
    // Exactly the card: a near standard size must not be taken instead.
    const QPageSize size(card.CardSize, QPageSize::Inch, QString(), QPageSize::ExactMatch);
    pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&pdf))
        throw ECardExportError(QStringLiteral("Unable to write ") + name);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    PlayRecordedPage(painter, recording, 0);
    if (!painter.end())
        throw ECardExportError(QStringLiteral("Unable to write ") + name);
}

} // namespace

std::optional<TExportFormat> ExportFormatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return efPng;
    if (suffix == QLatin1String("svg"))
        return efSvg;
    if (suffix == QLatin1String("pdf"))
        return efPdf;
    return std::nullopt;
}

void ExportCard(const TCardExport &card, const QString &fileName)
{
    const std::optional<TExportFormat> format = ExportFormatOf(fileName);
    if (!format)
        throw ECardExportError(QStringLiteral("%1: the card can be exported as .png, .svg or .pdf").arg(fileName));
    if (card.Dpi < kMinExportDpi || card.Dpi > kMaxExportDpi)
        throw ECardExportError(
            QStringLiteral("The resolution must be from %1 to %2 dpi").arg(kMinExportDpi).arg(kMaxExportDpi));
    if (!(card.CardSize.width() > 0.0) || !(card.CardSize.height() > 0.0) || card.CardSize.width() > 20.0
        || card.CardSize.height() > 20.0)
        throw ECardExportError(QStringLiteral("The card's size cannot be exported"));

    try {
        platform::TOutputFile file(fileName, platform::TOutputSync::NoWait);
        try {
            switch (*format) {
            case efPng: WritePng(card, file.Device(), fileName); break;
            case efSvg: WriteSvg(card, file.Device(), fileName); break;
            case efPdf: WritePdf(card, file.Device(), fileName); break;
            }
        } catch (const ECardExportError &) {
            file.CheckWrites(); // a full disk is said as such
            throw;
        }
        file.Commit();
    } catch (const platform::EOutputFileError &e) {
        throw ECardExportError(e.Message());
    }
}

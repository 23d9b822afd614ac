#include "app/PrintShopExport.h"

#include "app/CardExport.h"
#include "objects/PrintShopRules.h"
#include "platform/OutputFiles.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "printing/SheetPrinting.h"
#include "report/PdfPrintShopEntries.h"
#include "report/ReportRecorder.h"
#include "surface/CardPanel.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <cmath>

namespace printshop {

namespace {

// Vectors are recorded at a printer's resolution, as for any exported PDF.
constexpr int kVectorDpi = 1200;
constexpr double kPointsPerInch = 72.0;
// Marks begin this far outside the bleed, so a cut a little off the line
// shows no mark, and are this long; the page keeps a little white beyond.
// Between the cards of a sheet the marks of two neighbours share one such
// room, each staying outside the other's bleed.
constexpr double kMarkGapInches = 1.5 / kMmPerInch;
constexpr double kMarkLengthInches = 4.0 / kMmPerInch;
constexpr double kMarkSpareInches = 0.5 / kMmPerInch;
// The hairline shops ask for: a quarter point.
constexpr double kMarkWidthPoints = 0.25;
// A sheet keeps at least this much paper free on every side for the printer.
constexpr double kSheetMarginInches = 0.25;

double MarkRoom(const TPrintShopExport &what)
{
    return what.CropMarks ? kMarkGapInches + kMarkLengthInches + kMarkSpareInches : 0.0;
}

// Where the cards go: the page in whole points (Qt's PDF writer sizes pages
// in whole points) and each card's trim, in inches from the page's corner.
struct TImposition {
    QSizeF PagePoints;
    QList<QRectF> Trims;
    sheetprint::TSheetGeometry Sheet;
    SelectedCells Cells;
};

TImposition Impose(const TPrintShopExport &what)
{
    TImposition out;
    const double room = MarkRoom(what);
    // A card with its bleed, and the room for marks after it.
    const QSizeF withBleed = what.CardSize + QSizeF(2 * what.Bleed, 2 * what.Bleed);
    sheetprint::TSheetGeometry &g = out.Sheet;
    g.CardWidth = what.CardSize.width();
    g.CardHeight = what.CardSize.height();
    g.HPitch = withBleed.width() + room;
    g.VPitch = withBleed.height() + room;
    if (what.SheetCards <= 0) {
        out.PagePoints = QSizeF(std::ceil((withBleed.width() + 2 * room) * kPointsPerInch - 1e-6),
                                std::ceil((withBleed.height() + 2 * room) * kPointsPerInch - 1e-6));
        g.Across = g.Down = 1;
    } else {
        out.PagePoints = what.SheetPaper.sizePoints();
        const double edge = qMax(room, kSheetMarginInches);
        const QSizeF usable = out.PagePoints / kPointsPerInch - QSizeF(2 * edge, 2 * edge);
        g.Across = qMax(0, int(std::floor((usable.width() + room) / g.HPitch + 1e-9)));
        g.Down = qMax(0, int(std::floor((usable.height() + room) / g.VPitch + 1e-9)));
    }
    const QSizeF page = out.PagePoints / kPointsPerInch;
    // The cards sit in the middle of the page: the same white on each side.
    const QSizeF grid(g.Across * g.HPitch - room, g.Down * g.VPitch - room);
    g.LeftMargin = (page.width() - grid.width()) / 2 + what.Bleed;
    g.TopMargin = (page.height() - grid.height()) / 2 + what.Bleed;
    const int count = what.SheetCards <= 0 ? 1 : what.SheetCards;
    out.Cells = SelectedCells(g.Across * g.Down, false);
    for (int i = 0; i < count && i < out.Cells.size(); ++i) {
        out.Cells[i] = true;
        const QPointF at = sheetprint::CellOrigin(g, i / g.Across, i % g.Across);
        out.Trims.append(QRectF(at, what.CardSize));
    }
    return out;
}

TPageRecording RecordCards(const TPrintShopExport &what, const TImposition &layout)
{
    TPageMetrics page;
    page.XDPI = page.YDPI = kVectorDpi;
    page.PaperSize = layout.PagePoints / kPointsPerInch;
    TReportFiler filer;
    filer.SetPageMetrics(page);
    filer.SetPlaybackDevice(TDeviceAbilities{false, true});

    TCardSheetPrinter job;
    job.Panel = what.Panel;
    job.Sheet = layout.Sheet;
    job.Cells = layout.Cells;
    job.DriverMaxCopies = [] { return 1; };
    job.BackgroundPath = what.BackgroundPath;
    job.Bleed = what.Bleed;
    job.LoadBackGround();
    job.Attach(filer);

    const TPanelAtZoomOne atOne(what.Panel);
    const int bleedPixels = int(std::ceil(what.Bleed * platform::ScreenPixelsPerInch() - 1e-9));
    const TBleedExtension outToTheCut(what.Panel, bleedPixels);
    return RunCardRecording(filer);
}

// Only what lies within a card's bleed is printed: an object reaching far
// past the card would otherwise run into the marks and the next card.
void WhiteOutsideTheBleeds(QPainter &painter, const QSizeF &page, const QList<QRectF> &trims, double bleed)
{
    QPainterPath outside;
    outside.addRect(QRectF(QPointF(0, 0), page));
    QPainterPath bleeds;
    for (const QRectF &trim : trims)
        bleeds.addRect(trim.adjusted(-bleed, -bleed, bleed, bleed));
    painter.fillPath(outside.subtracted(bleeds), Qt::white);
}

// Two short lines at each corner, on the lines of the trim, outside the bleed.
void DrawCropMarks(QPainter &painter, const QList<QRectF> &trims, double bleed)
{
    QPen pen(Qt::black, kMarkWidthPoints / kPointsPerInch);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const double from = bleed + kMarkGapInches, to = from + kMarkLengthInches;
    for (const QRectF &t : trims)
        for (const double x : {t.left(), t.right()})
            for (const double y : {t.top(), t.bottom()}) {
                const double out_x = x == t.left() ? -1.0 : 1.0, out_y = y == t.top() ? -1.0 : 1.0;
                painter.drawLine(QLineF(x + out_x * from, y, x + out_x * to, y));
                painter.drawLine(QLineF(x, y + out_y * from, x, y + out_y * to));
            }
}

// A box of the page in PDF points, whose origin is the bottom-left corner.
QRectF PdfBox(const QRectF &inches, const QSizeF &pagePoints)
{
    const QRectF points(inches.topLeft() * kPointsPerInch, inches.size() * kPointsPerInch);
    return QRectF(QPointF(points.left(), pagePoints.height() - points.bottom()),
                  QPointF(points.right(), pagePoints.height() - points.top()));
}

QByteArray PdfBytes(const TPrintShopExport &what, const QString &name)
{
    const TImposition layout = Impose(what);
    if (layout.Trims.size() < qMax(1, what.SheetCards))
        throw ECardExportError(QStringLiteral("At most %1 cards of this size fit on a sheet of %2")
                                   .arg(layout.Sheet.Across * layout.Sheet.Down)
                                   .arg(what.SheetPaper.name()));
    const TPageRecording recording = RecordCards(what, layout);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Quorvel"));
        pdf.setTitle(QFileInfo(name).completeBaseName());
        pdf.setResolution(kVectorDpi);
        const QPageSize size(layout.PagePoints / kPointsPerInch, QPageSize::Inch, QString(), QPageSize::ExactMatch);
        pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw ECardExportError(QStringLiteral("Unable to write ") + name);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        PlayRecordedPage(painter, recording, 0);
        painter.save();
        painter.scale(kVectorDpi, kVectorDpi); // inches from here on
        WhiteOutsideTheBleeds(painter, layout.PagePoints / kPointsPerInch, layout.Trims, what.Bleed);
        if (what.CropMarks)
            DrawCropMarks(painter, layout.Trims, what.Bleed);
        painter.restore();
        if (!painter.end())
            throw ECardExportError(QStringLiteral("Unable to write ") + name);
    }
    TPrintShopBoxes boxes;
    // The boxes belong to one card; a sheet of cards is cut by its marks.
    if (what.SheetCards <= 0) {
        const QRectF trim = layout.Trims.first();
        boxes.TrimBox = PdfBox(trim, layout.PagePoints);
        boxes.BleedBox = PdfBox(trim.adjusted(-what.Bleed, -what.Bleed, what.Bleed, what.Bleed), layout.PagePoints);
    }
    try {
        return AddPrintShopEntries(bytes, boxes);
    } catch (const EPdfUpdateError &e) {
        throw ECardExportError(e.Message());
    }
}

} // namespace

std::optional<double> BleedFromText(const QString &text, QString *error)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d+(?:\\.\\d*)?|\\.\\d+|\\d+/\\d+)\\s*(mm|in|\")\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString range = QStringLiteral("a bleed is from 0 to 6 mm (0.236 in), such as 3mm or 0.125in");
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        if (error)
            *error = QStringLiteral("\"%1\" is no bleed: give a length with its unit, mm or in; %2").arg(text, range);
        return std::nullopt;
    }
    double value = 0.0;
    const QString number = m.captured(1);
    if (number.contains(QLatin1Char('/'))) {
        const QStringList parts = number.split(QLatin1Char('/'));
        const double below = parts.at(1).toDouble();
        value = below > 0.0 ? parts.at(0).toDouble() / below : -1.0;
    } else {
        value = number.toDouble();
    }
    const bool mm = m.captured(2).compare(QLatin1String("mm"), Qt::CaseInsensitive) == 0;
    const double inches = mm ? value / kMmPerInch : value;
    if (!(inches >= 0.0) || inches * kMmPerInch > kMostBleedMm + 1e-9) {
        if (error)
            *error = QStringLiteral("\"%1\" is no bleed: %2").arg(text, range);
        return std::nullopt;
    }
    return inches;
}

QString LengthText(double inches, TLengthUnit unit)
{
    return unit == luMillimetres ? QString::number(inches * kMmPerInch, 'g', 4) + QStringLiteral(" mm")
                                 : QString::number(inches, 'g', 4) + QStringLiteral(" in");
}

int CardsPerSheet(const TPrintShopExport &what)
{
    TPrintShopExport sheet = what;
    sheet.SheetCards = 1;
    const TImposition layout = Impose(sheet);
    return layout.Sheet.Across * layout.Sheet.Down;
}

void ExportForPrintShop(const TPrintShopExport &what, const QString &fileName)
{
    if (!(what.Bleed >= 0.0) || what.Bleed * kMmPerInch > kMostBleedMm + 1e-9)
        throw ECardExportError(QStringLiteral("The bleed must be from 0 to 6 mm (0.236 in)"));
    if (!(what.CardSize.width() > 0.0) || !(what.CardSize.height() > 0.0) || what.CardSize.width() > 20.0
        || what.CardSize.height() > 20.0)
        throw ECardExportError(QStringLiteral("The card's size cannot be exported"));
    if (what.SheetCards < 0 || what.SheetCards > 100)
        throw ECardExportError(QStringLiteral("A sheet holds from 1 to 100 cards"));
    const QByteArray pdf = PdfBytes(what, fileName);
    try {
        platform::WriteOutputFile(fileName, pdf, platform::TOutputSync::NoWait);
    } catch (const platform::EOutputFileError &e) {
        throw ECardExportError(e.Message());
    }
}

} // namespace printshop

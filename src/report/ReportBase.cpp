// Holds TBaseReport.
#include "report/ReportBase.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "report/PrinterList.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>

namespace {

// Tab stops of printed text, inches apart.
constexpr double kTabWidth = 0.5;

} // namespace

TBaseReport::TBaseReport() = default;
TBaseReport::~TBaseReport() = default;

void TBaseReport::SetUnitsFactor(double v)
{
    if (v > 0.0)
        FUnitsFactor = v;
}

QLabel *TBaseReport::StatusLabel() const
{
    return qobject_cast<QLabel *>(FStatusLabel.data());
}

void TBaseReport::SetStatusLabel(QLabel *label)
{
    FStatusLabel = label;
}

void TBaseReport::SetTextBKMode(TBKMode v)
{
    FTextBKMode = v;
    FCanvas.SetOpaqueText(v == bkOpaque);
}

// ---- page cycle ----

void TBaseReport::Run()
{
    if (FRunning)
        return;
    if (!TRPDevice::Instance().HasPrinters())
        throw EReportError(report::kNoPrintersMessage);
    FRunning = true;
    try {
        StartDocument();
        if (OnPrint)
            OnPrint(*this);
    } catch (...) {
        FinishDocument(true);
        throw;
    }
    FinishDocument();
}

void TBaseReport::StartDocument()
{
    FAborted = false;
    FPageNumber = 0;
    FOutputEnabled = false;
    FRegions.clear();
    if (OnBeforePrint)
        OnBeforePrint(*this);
    BeginDocument();
    FDocumentOpen = true;
    FMetrics = ReadMetrics();
    ApplyFont();
    FPageNumber = 1;
    FOutputEnabled = !FAborted && PageInRange(FPageNumber);
    FOriginX = FOriginY = 0.0;
    BeginPage();
    UpdateStatus();
    if (OnNewPage)
        OnNewPage(*this);
}

void TBaseReport::FinishDocument(bool failed)
{
    FOutputEnabled = false;
    if (FDocumentOpen) {
        FDocumentOpen = false;
        if (FAborted || (failed && !KeepsFailedDocument())) {
            FCanvas.Detach();
            FDevicePageOpen = false;
            AbortDocument();
        } else {
            EndPage();
            EndDocument();
        }
    }
    FRunning = false;
    if (OnAfterPrint)
        OnAfterPrint(*this);
}

void TBaseReport::StartNewPage()
{
    if (!FDocumentOpen)
        return;
    EndPage();
    ++FPageNumber;
    UpdateStatus();
    FOutputEnabled = !FAborted && PageInRange(FPageNumber);
    FOriginX = FOriginY = 0.0;
    BeginPage();
    if (OnNewPage)
        OnNewPage(*this);
}

void TBaseReport::BeginPage()
{
    FCanvas.Detach();
    if (!FOutputEnabled)
        return;
    QPainter *painter = BeginDevicePage();
    FDevicePageOpen = true;
    FCanvas.Attach(painter);
}

void TBaseReport::EndPage()
{
    if (!FDevicePageOpen)
        return;
    FCanvas.Detach();
    FDevicePageOpen = false;
    EndDevicePage();
}

void TBaseReport::AbortRun()
{
    FAborted = true;
    FOutputEnabled = false;
}

bool TBaseReport::PageInRange(int page) const
{
    return page >= FFirstPage && page <= FLastPage;
}

bool TBaseReport::CanDraw() const
{
    return FOutputEnabled && FCanvas.Attached();
}

void TBaseReport::SetOrigin(double x, double y)
{
    FOriginX = x;
    FOriginY = y;
}

// ---- status ----

void TBaseReport::UpdateStatus()
{
    QLabel *label = StatusLabel();
    if (!label)
        return;
    QString text = StatusString();
    // A label breaks lines at line feeds only.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(text);
    // This is when a Cancel press on the status form gets handled.
    QCoreApplication::processEvents();
}

QString TBaseReport::StatusString() const
{
    const QString &format = FStatusFormat;
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const QChar code = format.at(++i);
        const char16_t upper = code.toUpper().unicode();
        if (upper >= u'0' && upper <= u'9') {
            const int line = upper - u'0';
            if (line < FStatusText.size())
                out += FStatusText.at(line);
            continue;
        }
        switch (upper) {
        case u'%': out += QLatin1Char('%'); break;
        case u'P': out += QString::number(FPageNumber); break;
        case u'F': out += QString::number(FFirstPage); break;
        case u'L': out += QString::number(FLastPage); break;
        case u'D': out += DeviceName(); break;
        case u'R': out += DriverName(); break;
        case u'T': out += PortName(); break;
        default: out += QLatin1String("<ERROR-%") + code + QLatin1Char('>'); break;
        }
    }
    return out;
}

// ---- coordinates ----

double TBaseReport::XFactor() const
{
    return FScaleX * FZoom / 10000.0;
}

double TBaseReport::YFactor() const
{
    return FScaleY * FZoom / 10000.0;
}

int TBaseReport::XI2D(double x) const
{
    return platform::Round(((x / FUnitsFactor + FOriginX) * XFactor() - FMetrics.UnprintableLeft) * FMetrics.XDPI);
}

int TBaseReport::YI2D(double y) const
{
    return platform::Round(((y / FUnitsFactor + FOriginY) * YFactor() - FMetrics.UnprintableTop) * FMetrics.YDPI);
}

QRect TBaseReport::DeviceRect(double x1, double y1, double x2, double y2) const
{
    const int left = XI2D(x1), top = YI2D(y1);
    return QRect(left, top, XI2D(x2) - left, YI2D(y2) - top);
}

QRect TBaseReport::PaperDeviceRect() const
{
    const int left = platform::Round(-FMetrics.UnprintableLeft * FMetrics.XDPI);
    const int top = platform::Round(-FMetrics.UnprintableTop * FMetrics.YDPI);
    return QRect(left, top, platform::Round(FMetrics.PaperSize.width() * XFactor() * FMetrics.XDPI),
                 platform::Round(FMetrics.PaperSize.height() * YFactor() * FMetrics.YDPI));
}

// ---- drawing ----

void TBaseReport::SelectPen(TColor color, Vcl::TPenStyle style, Vcl::TPenMode mode, int width)
{
    int pixels = width;
    // The length of a dash's unit on this device: the pen's width as the card
    // was drawn, in screen pixels, so that dashes keep their screen lengths
    // whatever width the device rounds the pen to.
    double dashUnit = width;
    bool thin = width <= 1;
    if (width < 0) {
        const double perScreenPixel = XFactor() * FMetrics.XDPI / platform::ScreenPixelsPerInch();
        const int screenPixels = qMax(1, platform::Round(-width / 100.0 * platform::ScreenPixelsPerInch()));
        pixels = qMax(1, platform::Round(-width / 100.0 * XFactor() * FMetrics.XDPI));
        dashUnit = screenPixels * perScreenPixel;
        thin = screenPixels <= 1;
    }
    const Qt::PenStyle qtStyle = platform::ToQtPenStyle(style);
    FCanvas.SetPen(platform::ToQColor(color), qtStyle, pixels, platform::ToCompositionMode(mode));
    if (qtStyle == Qt::SolidLine || qtStyle == Qt::NoPen)
        return;
    // Qt counts dashes in pen widths; one-pixel lines on pictures of pixels
    // end their dashes flat, which the ends of other lines must then do too.
    QList<qreal> pattern = QPen(qtStyle).dashPattern();
    const double scale = qMax(1.0, dashUnit) / qMax(1, pixels);
    for (qreal &length : pattern)
        length *= scale;
    FCanvas.SetPenDashes(pattern, thin ? Qt::FlatCap : Qt::SquareCap);
}

void TBaseReport::SelectBrush(TColor color, Vcl::TBrushStyle style, const QImage &bitmap)
{
    if (!bitmap.isNull()) {
        FCanvas.SetBrush(QBrush(bitmap));
        return;
    }
    TBrush brush;
    brush.SetColor(color);
    brush.SetStyle(style);
    QBrush qbrush = platform::ToQBrush(brush);
    if (qbrush.style() >= Qt::HorPattern && qbrush.style() <= Qt::DiagCrossPattern) {
        // Hatch lines lie as far apart on paper as on the card on screen,
        // not eight printer dots apart, where they would melt into a tint.
        const double perScreenPixel = XFactor() * FMetrics.XDPI / platform::ScreenPixelsPerInch();
        qbrush.setTransform(QTransform::fromScale(perScreenPixel, perScreenPixel));
    }
    FCanvas.SetBrush(qbrush);
}

void TBaseReport::SelectGradient(const QGradient &gradient) { FCanvas.SetBrush(QBrush(gradient)); }

void TBaseReport::DrawRect(double x1, double y1, double x2, double y2)
{
    if (!CanDraw())
        return;
    FCanvas.Rectangle(XI2D(x1), YI2D(y1), XI2D(x2), YI2D(y2));
}

void TBaseReport::DrawEllipse(double x1, double y1, double x2, double y2)
{
    if (!CanDraw())
        return;
    FCanvas.Ellipse(XI2D(x1), YI2D(y1), XI2D(x2), YI2D(y2));
}

void TBaseReport::DrawRoundRect(double x1, double y1, double x2, double y2, double w, double h)
{
    if (!CanDraw())
        return;
    FCanvas.RoundRect(XI2D(x1), YI2D(y1), XI2D(x2), YI2D(y2), platform::Round(w * XFactor() * FMetrics.XDPI),
                      platform::Round(h * YFactor() * FMetrics.YDPI));
}

void TBaseReport::MoveTo(double x, double y)
{
    if (!CanDraw())
        return;
    FCanvas.MoveTo(XI2D(x), YI2D(y));
}

void TBaseReport::LineTo(double x, double y)
{
    if (!CanDraw())
        return;
    FCanvas.LineTo(XI2D(x), YI2D(y));
}

void TBaseReport::DrawPolygon(const QPolygon &devicePoints)
{
    if (!CanDraw())
        return;
    FCanvas.Polygon(devicePoints);
}

void TBaseReport::FillArea(const QList<QRectF> &rects, TColor color)
{
    if (!CanDraw())
        return;
    QPainterPath path;
    for (const QRectF &r : rects) {
        const int left = XI2D(r.left()), top = YI2D(r.top());
        path.addRect(QRect(left, top, XI2D(r.right()) - left, YI2D(r.bottom()) - top));
    }
    FCanvas.FillDevicePath(path, platform::ToQColor(color));
}

void TBaseReport::FillDevicePath(const QPainterPath &devicePath, TColor color)
{
    if (!CanDraw())
        return;
    FCanvas.FillDevicePath(devicePath, platform::ToQColor(color));
}

void TBaseReport::DrawBitmapInRect(double x1, double y1, double x2, double y2, const QImage &bitmap)
{
    if (!CanDraw())
        return;
    FCanvas.StretchImage(DeviceRect(x1, y1, x2, y2), bitmap);
}

void TBaseReport::DrawGraphicInRect(const QRect &deviceRect, const QImage &image)
{
    if (!CanDraw())
        return;
    FCanvas.StretchImage(deviceRect, image);
}

void TBaseReport::DrawGraphicInRect(const QRect &deviceRect, const QPicture &picture)
{
    if (!CanDraw())
        return;
    FCanvas.StretchPicture(deviceRect, picture);
}

// ---- clipping regions ----
// The stack itself follows every create and delete, so that the pairs stay
// matched on pages that are not output; only the device's clip is skipped.

void TBaseReport::PushRegion(const QPainterPath &region)
{
    if (FRegions.size() >= report::kMaxRegions)
        throw EReportError(QStringLiteral("Too many clipping regions: a report holds at most %1.")
                               .arg(report::kMaxRegions));
    FRegions.append(region);
}

void TBaseReport::CreateRectRegion(double x1, double y1, double x2, double y2)
{
    QPainterPath region;
    region.addRect(QRectF(DeviceRect(x1, y1, x2, y2).normalized()));
    PushRegion(region);
}

void TBaseReport::CreateEllipseRegion(double x1, double y1, double x2, double y2)
{
    QPainterPath region;
    region.addEllipse(QRectF(DeviceRect(x1, y1, x2, y2).normalized()));
    PushRegion(region);
}

void TBaseReport::CreateRoundRectRegion(double x1, double y1, double x2, double y2, double w, double h)
{
    const double cornerW = platform::Round(w * XFactor() * FMetrics.XDPI);
    const double cornerH = platform::Round(h * YFactor() * FMetrics.YDPI);
    QPainterPath region;
    region.addRoundedRect(QRectF(DeviceRect(x1, y1, x2, y2).normalized()), cornerW / 2.0, cornerH / 2.0);
    PushRegion(region);
}

void TBaseReport::CreatePolygonRegion(const QPolygon &devicePoints, int count)
{
    QPainterPath region;
    region.setFillRule(Qt::WindingFill);
    region.addPolygon(QPolygonF(devicePoints.mid(0, qBound(0, count, int(devicePoints.size())))));
    region.closeSubpath();
    PushRegion(region);
}

void TBaseReport::SelectRegion()
{
    if (!CanDraw())
        return;
    if (FRegions.isEmpty())
        FCanvas.ResetClip();
    else
        FCanvas.SetClip(FRegions.last());
}

void TBaseReport::DeleteRegion()
{
    if (!FRegions.isEmpty())
        FRegions.removeLast();
}

void TBaseReport::ResetClip()
{
    if (CanDraw())
        FCanvas.ResetClip();
}

// ---- paths ----

void TBaseReport::BeginPath()
{
    if (CanDraw())
        FCanvas.BeginPath();
}

void TBaseReport::EndPath()
{
    if (CanDraw())
        FCanvas.EndPath();
}

void TBaseReport::StrokePath()
{
    if (CanDraw())
        FCanvas.StrokePath();
}

void TBaseReport::FillPath()
{
    if (CanDraw())
        FCanvas.FillPath();
}

void TBaseReport::ClipToPath()
{
    if (CanDraw())
        FCanvas.ClipToPath();
}

// ---- text ----

void TBaseReport::SetFontName(const QString &v)
{
    FFontName = v;
    ApplyFont();
}

void TBaseReport::SetFontSize(double points)
{
    FFontSize = points;
    ApplyFont();
}

void TBaseReport::SetBold(bool v)
{
    FBold = v;
    ApplyFont();
}

void TBaseReport::SetItalic(bool v)
{
    FItalic = v;
    ApplyFont();
}

void TBaseReport::SetUnderline(bool v)
{
    FUnderline = v;
    ApplyFont();
}

void TBaseReport::SetFontColor(TColor v)
{
    FFontColor = v;
    ApplyFont();
}

int TBaseReport::FontPixelHeight() const
{
    return platform::Round(FMetrics.YDPI * FFontSize / 72.0 * YFactor());
}

void TBaseReport::ApplyFont()
{
    QFont font(FFontName);
    font.setPixelSize(qMax(1, FontPixelHeight()));
    font.setWeight(FBold ? QFont::Bold : QFont::Normal);
    font.setItalic(FItalic);
    font.setUnderline(FUnderline);
    FCanvas.SetFont(font, platform::ToQColor(FFontColor));
}

double TBaseReport::FontAscent() const
{
    return QFontMetricsF(FCanvas.Font()).ascent() / (FMetrics.YDPI * YFactor()) * FUnitsFactor;
}

void TBaseReport::GotoXY(double x, double y)
{
    FCursorX = x;
    FCursorY = y;
}

void TBaseReport::LineTop(double y)
{
    FCursorY = y + FontAscent();
}

void TBaseReport::PrintText(const QString &text)
{
    const QStringList pieces = text.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            const double tab = kTabWidth * FUnitsFactor;
            FCursorX = (std::floor(FCursorX / tab + 1e-9) + 1.0) * tab;
        }
        const QString &piece = pieces.at(i);
        double advance;
        if (CanDraw())
            advance = FCanvas.TextOut(XI2D(FCursorX), YI2D(FCursorY) + 1, piece);
        else
            advance = QFontMetricsF(FCanvas.Font()).horizontalAdvance(piece);
        FCursorX += advance / (FMetrics.XDPI * XFactor()) * FUnitsFactor;
    }
}

// Holds TRPCanvas.
#include "report/ReportCanvas.h"

#include "platform/PixelFigures.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPicture>

namespace {

// The outline of a figure runs through the centres of its outermost pixels.
QRectF OutlineRect(int left, int top, int right, int bottom)
{
    return QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
}

QPointF PixelCentre(QPoint p)
{
    return QPointF(p.x() + 0.5, p.y() + 0.5);
}

} // namespace

void TRPCanvas::Attach(QPainter *painter)
{
    FPainter = painter;
    FPathOpen = false;
    FPath = QPainterPath();
    if (FPainter)
        ApplyState();
}

void TRPCanvas::Detach()
{
    FPainter = nullptr;
    FPathOpen = false;
    FPath = QPainterPath();
}

void TRPCanvas::ApplyState()
{
    if (!FPainter)
        return;
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setPen(FPen);
    FPainter->setBrush(FBrush);
    FPainter->setFont(FFont);
    // Raster operations exist only on raster devices; PDF and printers get
    // plain copying, which is what every card uses anyway.
    if (FMode == QPainter::CompositionMode_SourceOver
        || FPainter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        FPainter->setCompositionMode(FMode);
}

// ---- drawing state ----

void TRPCanvas::SetPen(const QColor &color, Qt::PenStyle style, int width, QPainter::CompositionMode mode)
{
    FPen = QPen(color);
    FPen.setStyle(style);
    FPen.setWidth(qMax(0, width));
    FPen.setJoinStyle(Qt::MiterJoin);
    FPen.setCapStyle(Qt::SquareCap);
    FMode = mode;
    ApplyState();
}

void TRPCanvas::SetBrush(const QBrush &brush)
{
    FBrush = brush;
    ApplyState();
}

void TRPCanvas::SetFont(const QFont &font, const QColor &color)
{
    FFont = font;
    FFontColor = color;
    ApplyState();
}

void TRPCanvas::SetOpaqueText(bool opaque)
{
    FOpaqueText = opaque;
}

// ---- figures ----

void TRPCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (Collecting()) {
        FPath.addRect(OutlineRect(left, top, right, bottom));
        return;
    }
    if (FPainter)
        platform::GdiRectangle(*FPainter, left, top, right, bottom);
}

void TRPCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (Collecting()) {
        FPath.addEllipse(OutlineRect(left, top, right, bottom));
        return;
    }
    if (FPainter)
        platform::GdiEllipse(*FPainter, left, top, right, bottom);
}

void TRPCanvas::RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    if (Collecting()) {
        FPath.addRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0);
        return;
    }
    if (FPainter)
        platform::GdiRoundRect(*FPainter, left, top, right, bottom, cornerW, cornerH);
}

void TRPCanvas::MoveTo(int x, int y)
{
    FPosition = QPoint(x, y);
    if (Collecting())
        FPath.moveTo(PixelCentre(FPosition));
}

void TRPCanvas::LineTo(int x, int y)
{
    const QPoint from = FPosition;
    FPosition = QPoint(x, y);
    if (Collecting()) {
        if (FPath.currentPosition() != PixelCentre(from))
            FPath.moveTo(PixelCentre(from));
        FPath.lineTo(PixelCentre(FPosition));
        return;
    }
    if (FPainter)
        platform::GdiLine(*FPainter, from.x(), from.y(), x, y);
}

void TRPCanvas::Polygon(const QPolygon &points)
{
    if (points.size() < 2)
        return;
    if (Collecting()) {
        QPolygonF shifted;
        for (const QPoint &p : points)
            shifted << PixelCentre(p);
        FPath.addPolygon(shifted);
        FPath.closeSubpath();
        return;
    }
    if (FPainter)
        FPainter->drawPolygon(points, Qt::OddEvenFill);
}

void TRPCanvas::FillDevicePath(const QPainterPath &path, const QColor &color)
{
    if (Collecting()) {
        FPath.addPath(path);
        return;
    }
    if (FPainter)
        FPainter->fillPath(path, color);
}

void TRPCanvas::StretchImage(const QRect &target, const QImage &image)
{
    if (!FPainter || Collecting() || image.isNull() || target.isEmpty())
        return;
    FPainter->drawImage(target, image);
}

void TRPCanvas::StretchPicture(const QRect &target, const QPicture &picture)
{
    if (!FPainter || Collecting())
        return;
    DrawPictureInRect(*FPainter, picture, target);
}

double TRPCanvas::TextOut(double x, double y, const QString &text)
{
    const double advance = QFontMetricsF(FFont).horizontalAdvance(text);
    if (Collecting()) {
        FPath.addText(QPointF(x, y), FFont, text);
        return advance;
    }
    if (!FPainter || text.isEmpty())
        return advance;
    FPainter->save();
    FPainter->setPen(FFontColor);
    if (FOpaqueText) {
        FPainter->setBackgroundMode(Qt::OpaqueMode);
        FPainter->setBackground(FBrush.style() == Qt::NoBrush ? QBrush(Qt::white) : QBrush(FBrush.color()));
    } else {
        FPainter->setBackgroundMode(Qt::TransparentMode);
    }
    FPainter->drawText(QPointF(x, y), text);
    FPainter->restore();
    return advance;
}

// ---- clipping ----

void TRPCanvas::SetClip(const QPainterPath &region)
{
    if (FPainter)
        FPainter->setClipPath(region);
}

void TRPCanvas::ResetClip()
{
    if (FPainter)
        FPainter->setClipping(false);
}

// ---- paths ----

void TRPCanvas::BeginPath()
{
    FPath = QPainterPath();
    FPathOpen = true;
}

void TRPCanvas::EndPath()
{
    FPathOpen = false;
}

void TRPCanvas::StrokePath()
{
    if (FPainter && !FPathOpen)
        FPainter->strokePath(FPath, FPen);
    FPath = QPainterPath();
}

void TRPCanvas::FillPath()
{
    if (FPainter && !FPathOpen)
        FPainter->fillPath(FPath, FBrush);
    FPath = QPainterPath();
}

void TRPCanvas::ClipToPath()
{
    if (FPainter && !FPathOpen)
        FPainter->setClipPath(FPath);
    FPath = QPainterPath();
}

// ---- pictures ----

void DrawPictureInRect(QPainter &painter, const QPicture &picture, const QRectF &target)
{
    const QRectF source = picture.boundingRect();
    if (source.isEmpty() || target.isEmpty())
        return;
    // Playing a picture scales it by the device's resolution over the one it
    // was recorded with; the stretch has to take that factor out again.
    const double playX = painter.device()->logicalDpiX() / double(picture.logicalDpiX());
    const double playY = painter.device()->logicalDpiY() / double(picture.logicalDpiY());
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / (source.width() * playX), target.height() / (source.height() * playY));
    painter.drawPicture(QPointF(-source.left() * playX, -source.top() * playY), picture);
    painter.restore();
}

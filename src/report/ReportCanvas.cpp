// Holds TRPCanvas.
#include "report/ReportCanvas.h"

#include "platform/PixelFigures.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPathStroker>
#include <QPicture>
#include <cmath>

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

// What a raster operation makes of a colour drawn on white paper: the card's
// paper is white, and a device without raster operations would otherwise
// draw the pen's own colour.
QColor OnWhitePaper(const QColor &color, QPainter::CompositionMode mode)
{
    const auto apply = [mode](int s) {
        const int d = 255;
        switch (mode) {
        case QPainter::RasterOp_SourceXorDestination: return s ^ d;
        case QPainter::RasterOp_NotSourceXorDestination: return ~(s ^ d) & 255;
        case QPainter::RasterOp_NotDestination: return ~d & 255;
        case QPainter::RasterOp_NotSource: return ~s & 255;
        case QPainter::RasterOp_SourceAndDestination: return s & d;
        case QPainter::RasterOp_SourceOrDestination: return s | d;
        case QPainter::RasterOp_NotSourceOrNotDestination: return (~s | ~d) & 255;
        case QPainter::RasterOp_NotSourceAndNotDestination: return ~s & ~d & 255;
        case QPainter::RasterOp_SourceAndNotDestination: return s & ~d & 255;
        case QPainter::RasterOp_NotSourceAndDestination: return ~s & d & 255;
        case QPainter::RasterOp_NotSourceOrDestination: return (~s | d) & 255;
        default: return s;
        }
    };
    return QColor(apply(color.red()), apply(color.green()), apply(color.blue()), color.alpha());
}

QBrush OnWhitePaper(QBrush brush, QPainter::CompositionMode mode)
{
    if (brush.style() != Qt::NoBrush && !brush.gradient() && brush.textureImage().isNull())
        brush.setColor(OnWhitePaper(brush.color(), mode));
    return brush;
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
    FPainter->setFont(FFont);
    if (FMode == QPainter::CompositionMode_SourceOver || Abilities().RasterOps) {
        FPainter->setPen(FPen);
        FPainter->setBrush(FBrush);
        FPainter->setCompositionMode(FMode);
        return;
    }
    // Raster operations exist only on raster devices: elsewhere the pen and
    // brush take the colour the operation gives on the white card.
    QPen pen = FPen;
    pen.setColor(OnWhitePaper(FPen.color(), FMode));
    FPainter->setPen(pen);
    FPainter->setBrush(OnWhitePaper(FBrush, FMode));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

TDeviceAbilities TRPCanvas::Abilities() const
{
    if (FPlayback)
        return *FPlayback;
    // Only pictures of pixels do raster operations: the PDF writer claims
    // them and draws plain copies. A recording is played on pixels unless
    // its report was told otherwise.
    TDeviceAbilities own;
    const QPaintEngine::Type type = FPainter ? FPainter->paintEngine()->type() : QPaintEngine::Raster;
    own.RasterOps = type == QPaintEngine::Raster || type == QPaintEngine::Picture;
    return own;
}

void TRPCanvas::DrawClippedFigure(const QPainterPath &figure)
{
    const QPen pen = FPainter->pen();
    // The figure's outline runs through pixel centres: its corner pixel
    // starts half a pixel up and to the left, as on screen.
    platform::FillFigure(*FPainter, figure.intersected(FClip), figure.boundingRect().topLeft() - QPointF(0.5, 0.5));
    if (pen.style() != Qt::NoPen) {
        QPainterPathStroker stroker(pen);
        FPainter->fillPath(stroker.createStroke(figure).intersected(FClip), pen.brush());
    }
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

void TRPCanvas::SetPenDashes(const QList<qreal> &pattern, Qt::PenCapStyle ends)
{
    FPen.setDashPattern(pattern);
    FPen.setCapStyle(ends);
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
    if (ResolvingClip()) {
        QPainterPath figure;
        figure.addRect(OutlineRect(left, top, right, bottom));
        DrawClippedFigure(figure);
    } else if (FPainter) {
        platform::GdiRectangle(*FPainter, left, top, right, bottom);
    }
}

void TRPCanvas::Ellipse(int left, int top, int right, int bottom)
{
    if (Collecting()) {
        FPath.addEllipse(OutlineRect(left, top, right, bottom));
        return;
    }
    if (ResolvingClip()) {
        QPainterPath figure;
        figure.addEllipse(OutlineRect(left, top, right, bottom));
        DrawClippedFigure(figure);
    } else if (FPainter) {
        platform::GdiEllipse(*FPainter, left, top, right, bottom);
    }
}

void TRPCanvas::RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    if (Collecting()) {
        FPath.addRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0);
        return;
    }
    if (ResolvingClip()) {
        QPainterPath figure;
        figure.addRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0);
        DrawClippedFigure(figure);
    } else if (FPainter) {
        platform::GdiRoundRect(*FPainter, left, top, right, bottom, cornerW, cornerH);
    }
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
    if (ResolvingClip()) {
        QPainterPath figure;
        figure.setFillRule(Qt::OddEvenFill);
        figure.addPolygon(QPolygonF(points));
        figure.closeSubpath();
        DrawClippedFigure(figure);
    } else if (FPainter) {
        FPainter->drawPolygon(points, Qt::OddEvenFill);
    }
}

void TRPCanvas::FillDevicePath(const QPainterPath &path, const QColor &color)
{
    if (Collecting()) {
        FPath.addPath(path);
        return;
    }
    if (ResolvingClip())
        FPainter->fillPath(path.intersected(FClip), color);
    else if (FPainter)
        FPainter->fillPath(path, color);
}

void TRPCanvas::StretchImage(const QRect &target, const QImage &image)
{
    if (!FPainter || Collecting() || image.isNull() || target.isEmpty())
        return;
    if (ResolvingClip()) {
        DrawClippedImage(*FPainter, target, image, FClip);
        return;
    }
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
    if (!FPainter)
        return;
    if (Abilities().Clipping) {
        FPainter->setClipPath(region);
        return;
    }
    FClip = region;
    FClipActive = true;
}

void TRPCanvas::ResetClip()
{
    FClipActive = false;
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
    if (FPainter && !FPathOpen) {
        const QPen pen = FPainter->pen();
        if (ResolvingClip())
            FPainter->fillPath(QPainterPathStroker(pen).createStroke(FPath).intersected(FClip), pen.brush());
        else
            FPainter->strokePath(FPath, pen);
    }
    FPath = QPainterPath();
}

void TRPCanvas::FillPath()
{
    if (FPainter && !FPathOpen)
        FPainter->fillPath(ResolvingClip() ? FPath.intersected(FClip) : FPath, FPainter->brush());
    FPath = QPainterPath();
}

void TRPCanvas::ClipToPath()
{
    if (FPainter && !FPathOpen)
        SetClip(FPath);
    FPath = QPainterPath();
}

// ---- pictures ----

void DrawClippedImage(QPainter &painter, const QRect &target, const QImage &image, const QPainterPath &clip)
{
    const QRect reach = clip.boundingRect().toAlignedRect().intersected(target);
    if (reach.isEmpty())
        return;
    // The part of the picture inside the clip, transparent around it, made
    // at the target's size (at most four million pixels).
    const double most = 4'000'000.0;
    const double shrink = qMin(1.0, std::sqrt(most / (double(reach.width()) * reach.height())));
    const QSize size(qMax(1, qRound(reach.width() * shrink)), qMax(1, qRound(reach.height() * shrink)));
    QImage part(size, QImage::Format_ARGB32_Premultiplied);
    part.fill(Qt::transparent);
    {
        QPainter p(&part);
        p.scale(size.width() / double(reach.width()), size.height() / double(reach.height()));
        p.translate(-reach.topLeft());
        p.setClipPath(clip);
        p.drawImage(target, image);
    }
    painter.drawImage(reach, part);
}

void StartFromFreshState(QPainter &painter)
{
    painter.setPen(QPen());
    painter.setBrush(Qt::NoBrush);
    painter.setFont(QFont());
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrushOrigin(0, 0);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

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
    StartFromFreshState(painter);
    painter.translate(target.topLeft());
    painter.scale(target.width() / (source.width() * playX), target.height() / (source.height() * playY));
    painter.drawPicture(QPointF(-source.left() * playX, -source.top() * playY), picture);
    painter.restore();
}

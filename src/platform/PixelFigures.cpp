#include "platform/PixelFigures.h"

#include <algorithm>
#include <cmath>

namespace platform {

void SetGdiPen(QPainter &p, const QColor &color, int width, Qt::PenStyle style)
{
    QPen pen(color);
    pen.setStyle(style);
    pen.setWidth(qMax(0, width));
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
}

// The outline runs through the centres of the outermost pixels, so a pen of
// width 1 covers exactly the columns left and right - 1.
static QRectF OutlineRect(int left, int top, int right, int bottom)
{
    return QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
}

// The part of the device the painter can reach, in the painter's own
// coordinates, grown by `margin`; empty when the device has no fixed size (a
// recording), where Qt itself clips at play-back.
static QRectF VisibleArea(const QPainter &p, qreal margin)
{
    QRectF area;
    const QPaintDevice *device = p.device();
    if (device && device->devType() != QInternal::Picture && device->width() > 0 && device->height() > 0) {
        bool invertible = false;
        const QTransform toLogical = p.combinedTransform().inverted(&invertible);
        if (invertible)
            area = toLogical.mapRect(QRectF(0, 0, device->width(), device->height()));
    }
    if (p.hasClipping()) {
        const QRectF clip = p.clipBoundingRect();
        area = area.isNull() ? clip : area.intersected(clip);
        if (area.isEmpty())
            return QRectF(0, 0, -1, -1); // nothing can be seen
    }
    return area.isNull() ? area : area.adjusted(-margin, -margin, margin, margin);
}

bool IsHatchBrush(const QBrush &brush)
{
    return brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern;
}

// Stripes one unit wide, eight apart, across box: horizontal or vertical
// ones, or diagonal ones rising ("/") or falling ("\") to the right.
static QPainterPath HatchStripes(Qt::BrushStyle style, const QRectF &box, QPointF anchor, qreal unit)
{
    const qreal step = 8 * unit;
    const qreal offset = 3 * unit; // as the pattern brushes place their line
    QPainterPath stripes;
    auto firstAt = [&](qreal from, qreal origin) { return origin + offset + std::floor((from - origin - offset) / step) * step; };
    if (style == Qt::HorPattern || style == Qt::CrossPattern)
        for (qreal y = firstAt(box.top(), anchor.y()); y < box.bottom(); y += step)
            stripes.addRect(QRectF(box.left(), y, box.width(), unit));
    if (style == Qt::VerPattern || style == Qt::CrossPattern)
        for (qreal x = firstAt(box.left(), anchor.x()); x < box.right(); x += step)
            stripes.addRect(QRectF(x, box.top(), unit, box.height()));
    const qreal h = box.height();
    // Diagonal bands half a unit aside: a band then covers one whole pixel of
    // each row, its edges falling between pixel centres, so that a sharp and a
    // smoothed rendering draw the same pixels.
    const qreal nudge = unit / 2;
    // Falling bands one unit further on, so that they cross the rising ones
    // on a pixel instead of between four.
    const qreal crossing = unit;
    if (style == Qt::BDiagPattern || style == Qt::DiagCrossPattern) {
        // Points where (x - ax) + (y - ay) lies in [s, s + unit).
        const qreal sum0 = box.left() - anchor.x() + box.top() - anchor.y();
        for (qreal s = firstAt(sum0, 0); s < sum0 + box.width() + h; s += step) {
            const qreal xTop = anchor.x() + s - (box.top() - anchor.y()) + nudge;
            QPolygonF band{{xTop, box.top()}, {xTop + unit, box.top()}, {xTop + unit - h, box.bottom()}, {xTop - h, box.bottom()}};
            stripes.addPolygon(band);
            stripes.closeSubpath();
        }
    }
    if (style == Qt::FDiagPattern || style == Qt::DiagCrossPattern) {
        // Points where (x - ax) - (y - ay) lies in [s, s + unit).
        const qreal diff0 = box.left() - anchor.x() - (box.bottom() - anchor.y());
        for (qreal s = firstAt(diff0, 0); s < diff0 + box.width() + h; s += step) {
            const qreal xTop = anchor.x() + s + (box.top() - anchor.y()) + nudge + crossing;
            QPolygonF band{{xTop, box.top()}, {xTop + unit, box.top()}, {xTop + unit + h, box.bottom()}, {xTop + h, box.bottom()}};
            stripes.addPolygon(band);
            stripes.closeSubpath();
        }
    }
    return stripes;
}

void FillFigure(QPainter &p, const QPainterPath &area, QPointF anchor)
{
    const QBrush brush = p.brush();
    if (brush.style() == Qt::NoBrush || area.isEmpty())
        return;
    if (!IsHatchBrush(brush)) {
        p.fillPath(area, brush);
        return;
    }
    if (p.backgroundMode() == Qt::OpaqueMode)
        p.fillPath(area, p.background());
    const qreal unit = brush.transform().m11() > 0 ? brush.transform().m11() : 1.0;
    // Cut to what can be seen: a hatch over a huge figure costs no more than
    // one over the page.
    QRectF box = area.boundingRect();
    const QRectF visible = VisibleArea(p, 8 * unit);
    if (!visible.isNull())
        box = box.intersected(visible);
    if (box.isEmpty())
        return;
    QPainterPath stripes = HatchStripes(brush.style(), box, anchor, unit);
    stripes.setFillRule(Qt::WindingFill);
    // Intersected rather than clipped: some devices cannot clip.
    p.fillPath(area.intersected(stripes), brush.color());
}

void GdiRectangle(QPainter &p, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (IsHatchBrush(p.brush())) {
        QPainterPath area;
        area.addRect(QRect(left, top, right - left, bottom - top));
        FillFigure(p, area, QPointF(left, top));
    } else if (p.brush().style() != Qt::NoBrush)
        p.fillRect(QRect(left, top, right - left, bottom - top), p.brush());
    p.setBrush(Qt::NoBrush);
    if (p.pen().style() != Qt::NoPen)
        p.drawRect(OutlineRect(left, top, right, bottom));
    p.restore();
}

void GdiEllipse(QPainter &p, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (IsHatchBrush(p.brush())) {
        QPainterPath area;
        area.addEllipse(OutlineRect(left, top, right, bottom));
        FillFigure(p, area, QPointF(left, top));
        p.setBrush(Qt::NoBrush);
    }
    p.drawEllipse(OutlineRect(left, top, right, bottom));
    p.restore();
}

void GdiRoundRect(QPainter &p, int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    if (right <= left || bottom <= top)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (IsHatchBrush(p.brush())) {
        QPainterPath area;
        area.addRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0, Qt::AbsoluteSize);
        FillFigure(p, area, QPointF(left, top));
        p.setBrush(Qt::NoBrush);
    }
    p.drawRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0,
                      Qt::AbsoluteSize);
    p.restore();
}

// Cuts the segment a-b down to its part inside `area` (Liang-Barsky); the
// fraction of the segment cut from its start goes to `cutFromStart`. False
// when no part lies inside.
static bool ClipSegment(QPointF &a, QPointF &b, const QRectF &area, qreal &cutFromStart)
{
    const qreal dx = b.x() - a.x(), dy = b.y() - a.y();
    qreal t0 = 0, t1 = 1;
    const qreal p[4] = {-dx, dx, -dy, dy};
    const qreal q[4] = {a.x() - area.left(), area.right() - a.x(), a.y() - area.top(), area.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const qreal t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * t0;
    b = start + QPointF(dx, dy) * t1;
    cutFromStart = t0;
    return true;
}

void GdiLine(QPainter &p, int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    QPen pen = p.pen();
    if (pen.style() == Qt::NoPen)
        return;
    // One path for every slope, width and style: the pen's own dashes, and a
    // clear pen draws nothing, on screen and on paper alike.
    const bool thin = pen.width() <= 1;
    // Stop one pixel short along the longer axis: the end point is not drawn.
    const int dx = x2 - x1, dy = y2 - y1;
    const double len = std::max(std::abs(dx), std::abs(dy));
    const double ex = x2 - dx / len, ey = y2 - dy / len;
    // Thin straight lines run through pixel centres; thin sloping ones join
    // the pixels whose corners their ends name, as lines stepped pixel by
    // pixel did.
    const qreal shift = thin && (dx == 0 || dy == 0) ? 0.5 : 0.0;
    QPointF a(x1 + shift, y1 + shift), b(ex + shift, ey + shift);
    // Only what can be seen is drawn, so a line far longer than the page
    // costs no more than one that fits; the dashes keep their phase.
    const QRectF area = VisibleArea(p, pen.widthF() + 2);
    if (!area.isNull()) {
        const qreal fullLength = QLineF(a, b).length();
        qreal cut = 0;
        if (!ClipSegment(a, b, area, cut))
            return;
        if (cut > 0 && pen.style() != Qt::SolidLine)
            pen.setDashOffset(pen.dashOffset() + cut * fullLength / std::max<qreal>(1, pen.widthF()));
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    pen.setCapStyle(thin ? Qt::SquareCap : Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(a, b);
    p.restore();
}

} // namespace platform

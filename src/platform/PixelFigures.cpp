#include "platform/PixelFigures.h"

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

void GdiRectangle(QPainter &p, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (p.brush().style() != Qt::NoBrush)
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
    p.drawEllipse(OutlineRect(left, top, right, bottom));
    p.restore();
}

void GdiRoundRect(QPainter &p, int left, int top, int right, int bottom, int cornerW, int cornerH)
{
    if (right <= left || bottom <= top)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRoundedRect(OutlineRect(left, top, right, bottom), cornerW / 2.0, cornerH / 2.0,
                      Qt::AbsoluteSize);
    p.restore();
}

void GdiLine(QPainter &p, int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen = p.pen();
    if (pen.width() <= 1 && x1 != x2 && y1 != y2) {
        // Thin sloping lines step pixel by pixel, so ties between two pixels
        // fall the same way on every device.
        const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
        const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
        int err = dx + dy;
        int x = x1, y = y1;
        QPolygon pixels;
        while (x != x2 || y != y2) {
            pixels << QPoint(x, y);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
        pen.setWidth(1);
        pen.setStyle(Qt::SolidLine);
        p.setPen(pen);
        p.drawPoints(pixels);
    } else {
        // Stop one pixel short along the longer axis: the end point is not drawn.
        const int dx = x2 - x1, dy = y2 - y1;
        const double len = std::max(std::abs(dx), std::abs(dy));
        const double ex = x2 - dx / len, ey = y2 - dy / len;
        pen.setCapStyle(pen.width() > 1 ? Qt::RoundCap : Qt::SquareCap);
        p.setPen(pen);
        if (pen.width() <= 1)
            p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(ex + 0.5, ey + 0.5));
        else
            p.drawLine(QPointF(x1, y1), QPointF(ex, ey));
    }
    p.restore();
}

} // namespace platform

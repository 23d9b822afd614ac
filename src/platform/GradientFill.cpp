// Holds the gradient bands.
#include "platform/GradientFill.h"

#include "platform/Rounding.h"

#include <QImage>
#include <QPainter>
#include <utility>

namespace platform {

namespace {

// gdUp and gdLeft run from the "to" colour to the "from" colour.
bool Reversed(Fill::TFillDirection direction) { return direction == Fill::gdUp || direction == Fill::gdLeft; }

bool Horizontal(Fill::TFillDirection direction) { return direction == Fill::gdLeft || direction == Fill::gdRight; }

int Channel(int start, int delta, int band) { return (start + MulDiv(band, delta, kGradientBands - 1)) & 0xFF; }

} // namespace

QRgb GradientBandColor(TColor from, TColor to, Fill::TFillDirection direction, int band)
{
    int32_t start = ColorToRGB(from);
    int32_t end = ColorToRGB(to);
    if (Reversed(direction))
        std::swap(start, end);
    // Colour values hold red in the lowest byte.
    const int r0 = start & 0xFF, g0 = (start >> 8) & 0xFF, b0 = (start >> 16) & 0xFF;
    const int r1 = end & 0xFF, g1 = (end >> 8) & 0xFF, b1 = (end >> 16) & 0xFF;
    return qRgb(Channel(r0, r1 - r0, band), Channel(g0, g1 - g0, band), Channel(b0, b1 - b0, band));
}

QRect GradientBandRect(const QRect &area, Fill::TFillDirection direction, int band)
{
    if (Horizontal(direction)) {
        const int x0 = MulDiv(band, area.width(), kGradientBands);
        const int x1 = MulDiv(band + 1, area.width(), kGradientBands);
        return QRect(area.left() + x0, area.top(), x1 - x0, area.height());
    }
    const int y0 = MulDiv(band, area.height(), kGradientBands);
    const int y1 = MulDiv(band + 1, area.height(), kGradientBands);
    return QRect(area.left(), area.top() + y0, area.width(), y1 - y0);
}

void PaintGradient(QPainter &p, const QRect &area, TColor from, TColor to, Fill::TFillDirection direction)
{
    for (int band = 0; band < kGradientBands; ++band) {
        const QRect r = GradientBandRect(area, direction, band);
        if (!r.isEmpty())
            p.fillRect(r, QColor(GradientBandColor(from, to, direction, band)));
    }
}

QImage GradientBitmap(int width, int height, TColor from, TColor to, Fill::TFillDirection direction)
{
    QImage image(qMax(1, width), qMax(1, height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintGradient(p, QRect(0, 0, width, height), from, to, direction);
    return image;
}

QLinearGradient SmoothGradient(const QRect &area, TColor from, TColor to, Fill::TFillDirection direction)
{
    const bool vertical = direction == Fill::gdUp || direction == Fill::gdDown;
    QLinearGradient gradient(area.topLeft(), vertical ? area.bottomLeft() + QPoint(0, 1) : area.topRight() + QPoint(1, 0));
    gradient.setColorAt(0, QColor(GradientBandColor(from, to, direction, 0)));
    gradient.setColorAt(1, QColor(GradientBandColor(from, to, direction, kGradientBands - 1)));
    return gradient;
}

} // namespace platform

// The colour gradient that SuperText and SuperShape fill their surfaces with:
// 256 bands of solid colour from a start colour to an end colour, laid across
// the area in one of four directions. The same bands are drawn on screen, into
// recordings and on the printer, only the area differs.
// Holds TSurfaceType, TFillDirection and the gradient bands.
#pragma once

#include "platform/Colors.h"

#include <QLinearGradient>
#include <QObject>
#include <QRect>
#include <QRgb>

class QPainter;
class QImage;

namespace Fill {
Q_NAMESPACE

// How a decorated object's letters or surface are filled.
enum TSurfaceType { stNormal, stBrushTransparent, stBrushImage, stGradientFill };
Q_ENUM_NS(TSurfaceType)

// gdDown puts the "from" colour at the top, gdUp at the bottom, gdRight at
// the left and gdLeft at the right.
enum TFillDirection { gdUp, gdDown, gdLeft, gdRight };
Q_ENUM_NS(TFillDirection)

} // namespace Fill

namespace platform {

constexpr int kGradientBands = 256;

// The colour of band i (0 to 255): band 0 is exactly the start colour and
// band 255 exactly the end colour; system colours are resolved first.
QRgb GradientBandColor(TColor from, TColor to, Fill::TFillDirection direction, int band);

// Band i's rectangle inside area (right and bottom exclusive); empty when the
// area is shorter than 256 pixels in the gradient's direction and the band
// falls between two pixels.
QRect GradientBandRect(const QRect &area, Fill::TFillDirection direction, int band);

// Fills area with the 256 bands.
void PaintGradient(QPainter &p, const QRect &area, TColor from, TColor to, Fill::TFillDirection direction);

// The gradient as one smooth shading over area, running as the bands do from
// band 0's colour to band 255's: for paper, where bands the size of screen
// pixels would show their steps.
QLinearGradient SmoothGradient(const QRect &area, TColor from, TColor to, Fill::TFillDirection direction);

// The gradient as an image of the given size (the object's gradient bitmap).
QImage GradientBitmap(int width, int height, TColor from, TColor to, Fill::TFillDirection direction);

} // namespace platform

// Figures drawn with the pixel geometry the card files were designed with:
// rectangles given as left, top, right, bottom with right and bottom exclusive, a pen of
// width w centred on the outline, line end points not drawn. Card objects draw
// through these so that screen, recording and print agree to the pixel.
#pragma once

#include <QPainter>

namespace platform {

// Painter pen set to width w (0: the thinnest line the device has).
void SetGdiPen(QPainter &p, const QColor &color, int width, Qt::PenStyle style = Qt::SolidLine);

// True for the six hatch brushes: lines eight screen pixels apart.
bool IsHatchBrush(const QBrush &brush);
// Fills area (in the painter's coordinates) with the painter's brush, without
// outline. A hatch is drawn as lines of its own, counted from anchor (the
// figure's top-left corner) one unit wide and eight units apart, where the unit
// is the brush transform's scale: a screen pixel on the panel and the same
// length on paper. Every device then draws the same lines, where pattern
// brushes would start them at each device's origin and space them by its dots.
void FillFigure(QPainter &p, const QPainterPath &area, QPointF anchor);

void GdiRectangle(QPainter &p, int left, int top, int right, int bottom);
void GdiEllipse(QPainter &p, int left, int top, int right, int bottom);
// Corner ellipse of cornerW x cornerH pixels.
void GdiRoundRect(QPainter &p, int left, int top, int right, int bottom, int cornerW, int cornerH);
// From (x1, y1) towards (x2, y2); the end point itself is not drawn.
void GdiLine(QPainter &p, int x1, int y1, int x2, int y2);

} // namespace platform

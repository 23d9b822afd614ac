// The report engine's canvas: drawing in device pixels on the page a report
// has open, with the pixel geometry the card files were designed with (right and
// bottom edges exclusive, wide pens centred on the outline, line end points not
// drawn), a current position, and an open path that collects figures instead
// of drawing them. Pen, brush and font survive from page to page; without an
// open page the canvas keeps its state and draws nothing.
// Holds TRPCanvas.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

class QPicture;

class TRPCanvas
{
public:
    // Starts drawing on a page through painter (already begun); the canvas's
    // pen, brush and font are applied to it.
    void Attach(QPainter *painter);
    void Detach();
    bool Attached() const { return FPainter != nullptr; }
    QPainter *Painter() const { return FPainter; }

    // ---- drawing state ----
    // A pen of width pixels (0: the device's thinnest line).
    void SetPen(const QColor &color, Qt::PenStyle style, int width, QPainter::CompositionMode mode);
    void SetBrush(const QBrush &brush);
    void SetFont(const QFont &font, const QColor &color);
    const QFont &Font() const { return FFont; }
    void SetOpaqueText(bool opaque);

    // ---- figures, in device pixels ----
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint CurrentPosition() const { return FPosition; }
    void Polygon(const QPolygon &points);
    // Fills the path with a plain colour, without outline; pen and brush stay.
    void FillDevicePath(const QPainterPath &path, const QColor &color);
    void StretchImage(const QRect &target, const QImage &image);
    void StretchPicture(const QRect &target, const QPicture &picture);
    // Text with its baseline at y; returns its advance in device pixels.
    double TextOut(double x, double y, const QString &text);

    // ---- clipping ----
    void SetClip(const QPainterPath &region);
    void ResetClip();

    // ---- paths ----
    void BeginPath();
    void EndPath();
    bool PathOpen() const { return FPathOpen; }
    void StrokePath();
    void FillPath();
    void ClipToPath();

private:
    void ApplyState();
    // Figures go into the open path instead of onto the page.
    bool Collecting() const { return FPathOpen; }

    QPainter *FPainter = nullptr;
    QPen FPen{Qt::black, 1};
    QPainter::CompositionMode FMode = QPainter::CompositionMode_SourceOver;
    QBrush FBrush{Qt::white};
    QFont FFont;
    QColor FFontColor{Qt::black};
    bool FOpaqueText = false;
    QPoint FPosition;
    bool FPathOpen = false;
    QPainterPath FPath;
};

// Draws picture stretched into target on painter, whatever the resolutions of
// the device it was recorded on and of the painter's device.
void DrawPictureInRect(QPainter &painter, const QPicture &picture, const QRectF &target);

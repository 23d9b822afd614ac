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
#include <optional>

class QPicture;

// What the device a page is meant for can do itself. A printer or a PDF
// file has no raster operations; an SVG file (in this Qt) has no clipping
// either: the canvas then draws what they would have made.
struct TDeviceAbilities {
    bool RasterOps = true;
    bool Clipping = true;
};

class TRPCanvas
{
public:
    // Starts drawing on a page through painter (already begun); the canvas's
    // pen, brush and font are applied to it.
    void Attach(QPainter *painter);
    void Detach();
    bool Attached() const { return FPainter != nullptr; }
    QPainter *Painter() const { return FPainter; }
    // The abilities of the device a recording will be played on; unset, those
    // of the painter's own device.
    void SetPlaybackDevice(std::optional<TDeviceAbilities> abilities) { FPlayback = abilities; }

    // ---- drawing state ----
    // A pen of width pixels (0: the device's thinnest line).
    void SetPen(const QColor &color, Qt::PenStyle style, int width, QPainter::CompositionMode mode);
    // Dashes of the given lengths (in pen widths) with the given ends.
    void SetPenDashes(const QList<qreal> &pattern, Qt::PenCapStyle ends);
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
    TDeviceAbilities Abilities() const;
    // A figure (outline through the centres of its outermost pixels) filled
    // and outlined within the clip the device cannot do itself.
    void DrawClippedFigure(const QPainterPath &figure);
    bool ResolvingClip() const { return FClipActive && FPainter && !Abilities().Clipping; }
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
    std::optional<TDeviceAbilities> FPlayback;
    // The clip of a device that cannot clip, applied by the canvas.
    bool FClipActive = false;
    QPainterPath FClip;
};

// A recording keeps only what its drawing changed from a fresh painter (a
// brush set to none where none was set before is not kept): it must be
// played from a fresh painter's pen, brush, font and modes, never from what
// the page was drawn with last.
void StartFromFreshState(QPainter &painter);

// Draws image stretched into target, only where it lies within clip: for
// devices that cannot clip.
void DrawClippedImage(QPainter &painter, const QRect &target, const QImage &image, const QPainterPath &clip);

// Draws picture stretched into target on painter, whatever the resolutions of
// the device it was recorded on and of the painter's device.
void DrawPictureInRect(QPainter &painter, const QPicture &picture, const QRectF &target);

// A card font set up for drawing, the way the text objects measure and draw:
// the font's size scaled by the object's zoom, the text metrics the card
// layouts were designed with, taken from Qt's font metrics, and text output whose
// reference point is the top-left corner of the text cell, optionally turned
// by a quarter turn and clipped to a rectangle. Symbol faces this system lacks
// are drawn through their Unicode correspondences (SymbolFonts.h).
#pragma once

#include "platform/SymbolFonts.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;
class TFont;

namespace platform {

// The metrics the text objects lay out with, in pixels.
struct TTextMetric {
    int Height = 0;          // ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0; // height - the character (em) height
    int ExternalLeading = 0; // Qt's leading, never negative
};

class TCanvasFont
{
public:
    // zoom 1.0 draws the stored height; any other zoom draws the point size
    // times the zoom, truncated, at the screen's pixels per inch.
    explicit TCanvasFont(const TFont &font, double zoom = 1.0);

    // The character (em) height in pixels.
    int EmPixels() const { return FEm; }
    // The font the metrics come from.
    const QFont &MetricsFont() const { return FFont; }
    TSymbolSet SymbolSet() const { return FSymbols; }

    TTextMetric Metrics() const;
    int TextWidth(const QString &text) const;
    // The longest start of text[from...] that fits in width pixels, one
    // character at least: where word wrap breaks a line.
    qsizetype FittingLength(const QString &text, qsizetype from, int width) const;
    // The height of any text: the font's ascent + descent.
    int TextHeight() const { return Metrics().Height; }

    // Draws the text with the top-left corner of its cell at origin, turned
    // counter-clockwise by angle degrees about that point, clipped to clip.
    void TextRect(QPainter &p, const QRect &clip, QPoint origin, const QString &text, const QColor &color,
                  int angle = 0) const;
    // The same without clipping.
    void TextOut(QPainter &p, QPoint origin, const QString &text, const QColor &color, int angle = 0) const;

    // The outlines of the letters, with the top-left corner of the text cell
    // at origin: what outlined and stencilled text fills, clips and strokes.
    QPainterPath TextPath(QPointF origin, const QString &text) const;

    // A rectangle holding every pixel TextRect or TextOut may paint for the
    // text placed at origin and turned by angle.
    QRect InkRect(QPoint origin, const QString &text, int angle = 0) const;

private:
    struct TRun {
        QFont font;
        QString text;
        bool ownFont = true; // the font itself, not a symbol face standing in
    };
    // Pieces of text sharing one installed font (several for symbol faces).
    QList<TRun> Runs(const QString &text) const;
    bool ClipCanCut(const QPainter &p, const QRect &clip, QPoint origin, const QString &text, int angle) const;
    void DrawRuns(QPainter &p, QPoint origin, const QString &text, const QColor &color, int angle) const;
    // Draws the runs of the text from x along the line, with the painter
    // already turned and coloured.
    void DrawRunsAt(QPainter &p, qreal x, const QString &text) const;
    int ShortTextWidth(const QString &text) const;
    void LongTextRect(QPainter &p, const QRect &clip, QPoint origin, const QString &text, const QColor &color,
                      int angle) const;

    // The metrics of a run: the font's own, kept, or the stand-in face's.
    QFontMetrics RunMetrics(const TRun &run) const { return run.ownFont ? FMetrics : QFontMetrics(run.font); }

    QFont FFont;
    // Taken once with the font: measuring and drawing ask it for every text.
    QFontMetrics FMetrics{QFont()};
    int FEm = 1;
    TSymbolSet FSymbols = TSymbolSet::None;
};

// The pixel height a stored font height stands for at a zoom: the stored
// value at 1.0, else -MulDiv(Trunc(Size x zoom), ppi, 72).
int ZoomedFontHeight(const TFont &font, double zoom);

} // namespace platform

#include "platform/CanvasFont.h"

#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace platform {
namespace {

// A positive stored height is the height of the whole cell (ascent + descent);
// the character height is what a Qt pixel size means.
int EmFromHeight(int height, QFont probe)
{
    if (height < 0)
        return -height;
    if (height == 0)
        return MulDiv(10, ScreenPixelsPerInch(), 72);
    probe.setPixelSize(height);
    const QFontMetrics fm(probe);
    const int cell = fm.ascent() + fm.descent();
    return cell > 0 ? qMax(1, Round(double(height) * height / cell)) : height;
}

} // namespace

int ZoomedFontHeight(const TFont &font, double zoom)
{
    if (zoom == 1.0)
        return font.Height();
    const int points = Trunc(font.Size() * zoom);
    return -MulDiv(points, ScreenPixelsPerInch(), 72);
}

TCanvasFont::TCanvasFont(const TFont &font, double zoom)
{
    FSymbols = SymbolSetFor(font.Name(), font.Charset());
    if (FSymbols == TSymbolSet::None) {
        FFont.setFamily(font.Name());
    } else {
        FFont.setFamily(SymbolMetricsFamily(FSymbols));
        FFont.setStyleStrategy(QFont::NoFontMerging);
    }
    const Vcl::TFontStyles style = font.Style();
    FFont.setBold(style.testFlag(Vcl::fsBold));
    FFont.setItalic(style.testFlag(Vcl::fsItalic));
    FFont.setUnderline(style.testFlag(Vcl::fsUnderline));
    FFont.setStrikeOut(style.testFlag(Vcl::fsStrikeOut));
    // The pitch is kept with the font but does not pick the face: the face
    // named wins, as it did where the cards were made.
    FEm = EmFromHeight(ZoomedFontHeight(font, zoom), FFont);
    FFont.setPixelSize(FEm);
}

TTextMetric TCanvasFont::Metrics() const
{
    const QFontMetrics fm(FFont);
    TTextMetric m;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = m.Height - FEm;
    m.ExternalLeading = qMax(0, fm.leading());
    return m;
}

QList<TCanvasFont::TRun> TCanvasFont::Runs(const QString &text) const
{
    if (FSymbols == TSymbolSet::None)
        return {TRun{FFont, text}};
    QList<TRun> runs;
    for (const QChar c : text) {
        QString family = FFont.family();
        QString shown(c);
        if (const int code = SymbolCodeOf(c); code >= 0) {
            const TSymbolGlyph glyph = ResolveSymbolGlyph(FSymbols, code);
            family = glyph.family;
            shown = QString::fromUcs4(&glyph.character, 1);
        }
        if (!runs.isEmpty() && runs.last().font.family() == family) {
            runs.last().text += shown;
            continue;
        }
        QFont font = FFont;
        font.setFamily(family);
        runs.append(TRun{font, shown});
    }
    return runs;
}

int TCanvasFont::TextWidth(const QString &text) const
{
    int width = 0;
    for (const TRun &run : Runs(text))
        width += QFontMetrics(run.font).horizontalAdvance(run.text);
    return width;
}

QPainterPath TCanvasFont::TextPath(QPointF origin, const QString &text) const
{
    QPainterPath path;
    const double baseline = origin.y() + QFontMetrics(FFont).ascent();
    double x = origin.x();
    for (const TRun &run : Runs(text)) {
        path.addText(QPointF(x, baseline), run.font, run.text);
        x += QFontMetrics(run.font).horizontalAdvance(run.text);
    }
    return path;
}

void TCanvasFont::TextRect(QPainter &p, const QRect &clip, QPoint origin, const QString &text, const QColor &color,
                           int angle) const
{
    if (text.isEmpty())
        return;
    p.save();
    // Every clip turns into a clip path in printed output, three per label;
    // one that cuts nothing the painter's own clip leaves is left out.
    if (ClipCanCut(p, clip, origin, text, angle))
        p.setClipRect(clip, Qt::IntersectClip);
    DrawRuns(p, origin, text, color, angle);
    p.restore();
}

void TCanvasFont::TextOut(QPainter &p, QPoint origin, const QString &text, const QColor &color, int angle) const
{
    if (text.isEmpty())
        return;
    p.save();
    DrawRuns(p, origin, text, color, angle);
    p.restore();
}

QRect TCanvasFont::InkRect(QPoint origin, const QString &text, int angle) const
{
    const int baseline = QFontMetrics(FFont).ascent();
    QRect ink;
    int x = 0;
    for (const TRun &run : Runs(text)) {
        const QFontMetrics fm(run.font);
        const int advance = fm.horizontalAdvance(run.text);
        ink |= fm.boundingRect(run.text).translated(x, baseline);
        // Underline and strike-out lines are not part of the glyphs' box.
        const int line = qMax(1, fm.lineWidth());
        if (run.font.underline())
            ink |= QRect(x, baseline + fm.underlinePos() - line, advance, 3 * line);
        if (run.font.strikeOut())
            ink |= QRect(x, baseline - fm.strikeOutPos() - line, advance, 3 * line);
        x += advance;
    }
    // Antialiased edges may reach a pixel past the glyphs' box.
    ink.adjust(-1, -1, 1, 1);
    QTransform turn;
    turn.translate(origin.x(), origin.y());
    if (angle != 0)
        turn.rotate(-angle);
    return turn.mapRect(ink);
}

// The clip matters only where it cuts ink that the painter's clip keeps.
bool TCanvasFont::ClipCanCut(const QPainter &p, const QRect &clip, QPoint origin, const QString &text,
                             int angle) const
{
    // Drawn at a reduced scale, glyphs are hinted for the device's pixels and
    // may spread by a device pixel beyond their box at the logical size.
    const qreal scale = std::sqrt(qAbs(p.combinedTransform().determinant()));
    const qreal spread = scale > 0 ? 1 / scale : 1;
    QRectF kept = QRectF(InkRect(origin, text, angle)).adjusted(-spread, -spread, spread, spread);
    if (p.hasClipping())
        kept &= p.clipBoundingRect();
    return !kept.isEmpty() && !QRectF(clip).contains(kept);
}

void TCanvasFont::DrawRuns(QPainter &p, QPoint origin, const QString &text, const QColor &color, int angle) const
{
    p.translate(origin);
    if (angle != 0)
        p.rotate(-angle);
    p.setPen(color);
    const int baseline = QFontMetrics(FFont).ascent();
    int x = 0;
    for (const TRun &run : Runs(text)) {
        // A recording stores each font change in full; many copies of one
        // text share the font the caller may have set already.
        if (p.font() != run.font)
            p.setFont(run.font);
        p.drawText(QPoint(x, baseline), run.text);
        x += QFontMetrics(run.font).horizontalAdvance(run.text);
    }
}

} // namespace platform

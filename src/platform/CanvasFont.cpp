#include "platform/CanvasFont.h"

#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>

namespace platform {
namespace {

// A positive stored height is the height of the whole cell (ascent + descent);
// the character height is what a Qt pixel size means.
int EmFromHeight(int height, QFont probe)
{
    // INT_MIN, the most negative height a card can hold, has no positive int.
    if (height < 0)
        return height == INT_MIN ? INT_MAX : -height;
    if (height == 0)
        return MulDiv(10, ScreenPixelsPerInch(), 72);
    probe.setPixelSize(height);
    const QFontMetrics fm(probe);
    const int cell = fm.ascent() + fm.descent();
    return cell > 0 ? qMax(1, Round(double(height) * height / cell)) : height;
}

// Texts longer than this are measured and drawn piece by piece, so that
// what a long text costs follows what can be seen of it, not its length.
constexpr qsizetype kPieceLength = 256;

// The pieces of a long text, never split between the halves of a surrogate
// pair.
QList<QStringView> Pieces(QStringView text)
{
    QList<QStringView> pieces;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kPieceLength);
        if (end < text.size() && text[end - 1].isHighSurrogate())
            --end;
        pieces.append(text.mid(start, end - start));
        start = end;
    }
    return pieces;
}

// Longer texts than this are measured from their characters' advances, as
// a typesetter without kerning would: shaping megabytes of text costs
// seconds, while no one can see the difference at that length.
constexpr qsizetype kShapedLength = 32 * 1024;

// The advances of single characters, each looked up once, unrounded so that
// their sum over a long text keeps no rounding drift.
class TAdvanceTable
{
public:
    explicit TAdvanceTable(const QFont &font) : FMetrics(font) { FLatin.fill(-1); }

    qreal Advance(QChar c)
    {
        const char16_t code = c.unicode();
        if (code < FLatin.size()) {
            if (FLatin[code] < 0)
                FLatin[code] = FMetrics.horizontalAdvance(c);
            return FLatin[code];
        }
        auto it = FOther.constFind(code);
        if (it == FOther.constEnd())
            it = FOther.insert(code, FMetrics.horizontalAdvance(c));
        return *it;
    }
    qreal Width(QStringView text)
    {
        qreal width = 0;
        for (const QChar c : text)
            width += Advance(c);
        return width;
    }

private:
    QFontMetricsF FMetrics;
    std::array<qreal, 256> FLatin;
    QHash<char16_t, qreal> FOther;
};

int Clamped(qreal width) { return int(std::clamp<qreal>(std::round(width), 0, std::numeric_limits<int>::max())); }

} // namespace

int ZoomedFontHeight(const TFont &font, double zoom)
{
    if (zoom == 1.0)
        return font.Height();
    const int points = Trunc(font.Size() * zoom);
    return -MulDiv(points, ScreenPixelsPerInch(), 72);
}

namespace {

// A card font as it was set up for drawing, by what it was made from: text
// objects make their font at every paint, and finding the installed face and
// its metrics for a new QFont is the dear part of that.
struct TSetUpFont {
    QFont font;
    int em = 1;
};

struct TFontKey {
    QString name;
    int charset = 0;
    int style = 0;
    int height = 0; // at the zoom drawn
    int ppi = 0;   // what a height of 0 stands for depends on it
    bool operator==(const TFontKey &) const = default;
};

size_t qHash(const TFontKey &key, size_t seed = 0) { return qHashMulti(seed, key.name, key.charset, key.style, key.height, key.ppi); }

QHash<TFontKey, TSetUpFont> &SetUpFonts()
{
    static QHash<TFontKey, TSetUpFont> fonts;
    return fonts;
}

} // namespace

TCanvasFont::TCanvasFont(const TFont &font, double zoom)
{
    FSymbols = SymbolSetFor(font.Name(), font.Charset());
    const int height = ZoomedFontHeight(font, zoom);
    const TFontKey key{font.Name(), int(font.Charset()), int(font.Style().toInt()), height, ScreenPixelsPerInch()};
    QHash<TFontKey, TSetUpFont> &known = SetUpFonts();
    if (const auto found = known.constFind(key); found != known.constEnd()) {
        FFont = found->font;
        FEm = found->em;
        FMetrics = QFontMetrics(FFont);
        return;
    }
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
    FEm = EmFromHeight(height, FFont);
    FFont.setPixelSize(FEm);
    FMetrics = QFontMetrics(FFont);
    // A few fonts serve a card; a bound keeps a long session's zooms and edits in check.
    if (known.size() >= 512)
        known.clear();
    known.insert(key, {FFont, FEm});
}

TTextMetric TCanvasFont::Metrics() const
{
    const QFontMetrics &fm = FMetrics;
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
        runs.append(TRun{font, shown, family == FFont.family()});
    }
    return runs;
}

int TCanvasFont::ShortTextWidth(const QString &text) const
{
    int width = 0;
    for (const TRun &run : Runs(text))
        width += RunMetrics(run).horizontalAdvance(run.text);
    return width;
}

int TCanvasFont::TextWidth(const QString &text) const
{
    if (text.size() <= kPieceLength)
        return ShortTextWidth(text);
    if (text.size() > kShapedLength)
        return Clamped(TAdvanceTable(FFont).Width(text));
    // Shaping a long text at once takes memory in proportion to its length;
    // piece by piece it takes that of one piece.
    qint64 width = 0;
    for (QStringView piece : Pieces(text))
        width += ShortTextWidth(piece.toString());
    return Clamped(width);
}

qsizetype TCanvasFont::FittingLength(const QString &text, qsizetype from, int width) const
{
    const qsizetype left = text.size() - from;
    if (left <= 1)
        return left;
    const auto fits = [&](qsizetype n) { return TextWidth(text.mid(from, n)) <= width; };
    // A guess from the characters' advances, right but for kerning...
    TAdvanceTable table(FFont);
    // (Characters without advance would let the guess run on: it stops at a
    // few per pixel.)
    const qsizetype most = std::min<qsizetype>(left, qsizetype(std::max(width, 1)) * 4 + 16);
    qreal advance = 0;
    qsizetype guess = 0;
    while (guess < most) {
        advance += table.Advance(text[from + guess]);
        if (advance > width)
            break;
        ++guess;
    }
    guess = std::clamp<qsizetype>(guess, 1, left);
    // ...settled by a neighbour in the common case, else by doubling the
    // step away from the guess and halving back, so that each line costs
    // measurements of about its own length, never of the whole rest.
    qsizetype good = 0, bad = left + 1; // good fits (0: nothing is known), bad does not
    if (fits(guess)) {
        good = guess;
        for (qsizetype step = 1; good < left; step *= 2) {
            const qsizetype probe = std::min(left, good + step);
            if (!fits(probe)) {
                bad = probe;
                break;
            }
            good = probe;
        }
    } else {
        bad = guess;
        for (qsizetype step = 1; bad > 1; step *= 2) {
            const qsizetype probe = std::max<qsizetype>(1, bad - step);
            if (fits(probe)) {
                good = probe;
                break;
            }
            bad = probe;
        }
    }
    while (good > 0 && bad - good > 1 && good < left) {
        const qsizetype middle = good + (bad - good) / 2;
        if (fits(middle))
            good = middle;
        else
            bad = middle;
    }
    return std::max<qsizetype>(1, good);
}

// Only the pieces of a long text that reach into the clip are laid out and
// drawn; a caption of millions of characters draws what fits in its bounds.
void TCanvasFont::LongTextRect(QPainter &p, const QRect &clip, QPoint origin, const QString &text,
                               const QColor &color, int angle) const
{
    QRectF visible = clip;
    if (p.hasClipping())
        visible &= p.clipBoundingRect();
    if (visible.isEmpty())
        return;
    // The visible stretch along the line, measured from the origin.
    qreal from = 0, to = 0;
    switch (angle) {
    case 90: from = origin.y() - visible.bottom(); to = origin.y() - visible.top(); break;
    case 180: from = origin.x() - visible.right(); to = origin.x() - visible.left(); break;
    case 270: from = visible.top() - origin.y(); to = visible.bottom() - origin.y(); break;
    default: from = visible.left() - origin.x(); to = visible.right() - origin.x(); break;
    }
    // Glyphs may reach beyond their advance (italics, overhangs).
    const qreal overhang = 2.0 * FEm;
    from -= overhang;
    to += overhang;
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    p.translate(origin);
    if (angle != 0)
        p.rotate(-angle);
    p.setPen(color);
    // Measured as TextWidth measures, so that the text ends where the
    // layout expects it.
    const bool byAdvances = text.size() > kShapedLength;
    TAdvanceTable table(FFont);
    qreal x = 0;
    for (QStringView view : Pieces(text)) {
        if (x > to)
            break;
        const qreal width = byAdvances ? table.Width(view) : ShortTextWidth(view.toString());
        if (x + width < from) {
            x += width;
            continue;
        }
        const QString piece = view.toString();
        DrawRunsAt(p, x, piece);
        x += width;
    }
    p.restore();
}

QPainterPath TCanvasFont::TextPath(QPointF origin, const QString &text) const
{
    QPainterPath path;
    const double baseline = origin.y() + FMetrics.ascent();
    double x = origin.x();
    for (const TRun &run : Runs(text)) {
        path.addText(QPointF(x, baseline), run.font, run.text);
        x += RunMetrics(run).horizontalAdvance(run.text);
    }
    return path;
}

void TCanvasFont::TextRect(QPainter &p, const QRect &clip, QPoint origin, const QString &text, const QColor &color,
                           int angle) const
{
    if (text.isEmpty())
        return;
    if (text.size() > kPieceLength) {
        LongTextRect(p, clip, origin, text, color, angle);
        return;
    }
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
    const int baseline = FMetrics.ascent();
    QRect ink;
    int x = 0;
    for (const TRun &run : Runs(text)) {
        const QFontMetrics fm = RunMetrics(run);
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
    DrawRunsAt(p, 0, text);
}

void TCanvasFont::DrawRunsAt(QPainter &p, qreal x, const QString &text) const
{
    const int baseline = FMetrics.ascent();
    for (const TRun &run : Runs(text)) {
        // A recording stores each font change in full; many copies of one
        // text share the font the caller may have set already.
        if (p.font() != run.font)
            p.setFont(run.font);
        p.drawText(QPointF(x, baseline), run.text);
        x += RunMetrics(run).horizontalAdvance(run.text);
    }
}

} // namespace platform

#include "platform/MetafilePlayer.h"

#include "platform/AnsiText.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStack>
#include <QtEndian>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>
#include <vector>

#include <uemf.h>
#include <uemf_safe.h>

namespace platform {

namespace {

// ======================================================================
// Bounded reading: every field read outside the record reads as zero, so a
// lying count can never reach memory beyond the record.

// Text placed character by character at the metafile's own advances is
// drawn a character at a time; longer strings are set as one run.
constexpr qsizetype kMostPlacedCharacters = 4096;
// The most saved device-context states kept: real pictures nest a few, a
// file of millions of SaveDC records would otherwise take gigabytes.
constexpr qsizetype kMostSavedStates = 1000;
// The longest outline, in device pixels, drawn smoothed.
constexpr double kMostSmoothedLength = 20000;
// The most outline one playing draws, in lengths of the picture's own
// diagonal on the device. Filling costs time with the length of the edges
// it crosses: the most detailed drawings stay far below this, while a file
// of a few polygons zig-zagging across the picture thousands of times would
// take seconds at every repaint. Figures beyond it are left out.
constexpr double kMostOutlineDiagonals = 2000;

class TRecord
{
public:
    TRecord(const char *data, qsizetype size) : FData(data), FSize(size) {}
    qsizetype Size() const { return FSize; }
    bool Holds(qint64 offset, qint64 length) const { return offset >= 0 && length >= 0 && offset + length <= FSize; }
    quint8 U8(qint64 at) const { return Holds(at, 1) ? quint8(FData[at]) : 0; }
    quint16 U16(qint64 at) const { return Holds(at, 2) ? qFromLittleEndian<quint16>(FData + at) : 0; }
    qint16 I16(qint64 at) const { return qint16(U16(at)); }
    quint32 U32(qint64 at) const { return Holds(at, 4) ? qFromLittleEndian<quint32>(FData + at) : 0; }
    qint32 I32(qint64 at) const { return qint32(U32(at)); }
    float F32(qint64 at) const
    {
        const quint32 bits = U32(at);
        float f;
        memcpy(&f, &bits, 4);
        return std::isfinite(f) ? f : 0.0f;
    }
    QByteArray Bytes(qint64 at, qint64 length) const
    {
        return Holds(at, length) ? QByteArray(FData + at, length) : QByteArray();
    }

private:
    const char *FData;
    qsizetype FSize;
};

QColor ColorRef(quint32 c) { return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); }

// A device-independent bitmap (information header, colour table, bits) as
// pixels: the bytes are given a BMP file header and go through the same
// checked reader as bitmap files.
QImage DibToImage(const QByteArray &info, const QByteArray &bits)
{
    if (info.size() < 12)
        return QImage();
    const TRecord h(info.constData(), info.size());
    const quint32 headerSize = h.U32(0);
    if (headerSize < 12 || headerSize > quint32(info.size()))
        return QImage();
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const quint32 total = quint32(14 + info.size() + bits.size());
    qToLittleEndian<quint32>(total, file.data() + 2);
    qToLittleEndian<quint32>(quint32(14 + info.size()), file.data() + 10);
    try {
        return TBitmap::FromFileImage(file + info + bits).Image();
    } catch (const EInvalidGraphic &) {
        return QImage();
    }
}

// The size of a DIB's information header with its colour table, for records
// that hold header and bits in one block.
qint64 DibHeaderLength(const TRecord &r, qint64 at)
{
    const quint32 headerSize = r.U32(at);
    if (headerSize < 12)
        return -1;
    int bits = 0;
    quint32 used = 0, compression = 0;
    int entryBytes = 4;
    if (headerSize == 12) {
        bits = r.U16(at + 10);
        entryBytes = 3;
    } else {
        bits = r.U16(at + 14);
        compression = r.U32(at + 16);
        used = r.U32(at + 32);
    }
    qint64 entries = used ? used : (bits <= 8 ? (1 << bits) : 0);
    if (entries > 256)
        entries = 256;
    qint64 length = headerSize + entries * entryBytes;
    if (compression == 3 && headerSize == 40)
        length += 12;
    return length;
}

enum TStockObject : quint32 {
    kWhiteBrush = 0, kLtGrayBrush = 1, kGrayBrush = 2, kDkGrayBrush = 3, kBlackBrush = 4, kNullBrush = 5,
    kWhitePen = 6, kBlackPen = 7, kNullPen = 8
};

struct TLogFont {
    int height = -12;
    int escapement = 0;
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    QString face = QStringLiteral("Arial");
};

struct TPenObject { QPen pen; };
struct TBrushObject { QBrush brush; };
struct TFontObject { TLogFont font; };
struct TOtherObject {};
using TGdiObject = std::variant<std::monostate, TPenObject, TBrushObject, TFontObject, TOtherObject>;

// The device context's state that SaveDC keeps.
struct TDcState {
    int mapMode = 1; // MM_TEXT
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    bool windowSet = false;
    QTransform world;
    QPen pen{QColor(Qt::black), 0};
    QBrush brush{Qt::white};
    TLogFont font;
    QColor textColor{Qt::black};
    QColor bkColor{Qt::white};
    bool opaqueBackground = true;
    int textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rop2 = 13; // R2_COPYPEN
    QPointF current;
    bool clipping = false;
    QPainterPath clip; // in the dest rectangle's coordinates
};

class TPlayer
{
public:
    TPlayer(QPainter &painter, const QRectF &dest) : FPainter(painter), FDest(dest)
    {
        FBase = painter.transform();
        FHadClip = painter.hasClipping();
        if (FHadClip)
            FOriginalClip = painter.clipPath();
        FRaster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
        const QRectF onDevice = FBase.mapRect(dest);
        FOutlineBudget = kMostOutlineDiagonals * std::max(1.0, std::hypot(onDevice.width(), onDevice.height()));
    }

    void PlayWmf(const QByteArray &image);
    void PlayEmf(const QByteArray &image);
    // Whether a block of pixels met the pixels under it by a raster operation.
    bool UsedRasterOperation() const { return FUsedRasterOperation; }

private:
    // ---- mapping ----
    QTransform LogicalToDest() const;
    void ApplyTransform() { FPainter.setTransform(LogicalToDest() * FBase); }
    void ApplyClip();
    void IntersectClip(const QRectF &logical, bool exclude);

    // ---- drawing ----
    bool Hidden() const { return FState.rop2 == 11; } // R2_NOP
    QPen CurrentPen() const;
    QBrush CurrentBrush() const;
    void PrepareMode();
    void DrawShape(const QPainterPath &path, bool fill, bool stroke);
    void AddOrDraw(const QPainterPath &path, bool closed);
    void Polyline(const QPolygonF &points);
    void Polygon(const QPolygonF &points);
    void PolyPolygon(const QList<QPolygonF> &polygons);
    void Rectangle(const QRectF &r);
    void RoundRect(const QRectF &r, double w, double h);
    void Ellipse(const QRectF &r);
    // kind: 0 arc, 1 chord, 2 pie
    void ArcFigure(const QRectF &r, QPointF start, QPointF end, int kind);
    // advances: the distance from each character to the next in logical
    // units, as the metafile's maker laid the text out; empty: the font's own.
    void TextOut(QPointF at, const QString &text, const QRectF &opaqueRect, bool opaque,
                 const QList<double> &advances = {});
    void DrawImage(const QRectF &logical, const QImage &image, const QRectF &source, quint32 rop);
    void PatBlt(const QRectF &logical, quint32 rop);

    // ---- objects ----
    void SelectObject(const TGdiObject &object);
    void SelectStock(quint32 index);
    void SaveDC();
    void RestoreDC(int which);
    QBrush HatchBrush(quint32 hatch, const QColor &color) const;

    // ---- paths ----
    bool PathOpen() const { return FPathOpen; }

    void WmfRecord(const TRecord &r, quint16 function);
    void EmfRecord(const TRecord &r, quint32 type);
    int WmfNewObject(const TGdiObject &object);

    QPainter &FPainter;
    QRectF FDest;
    QTransform FBase;
    bool FHadClip = false;
    QPainterPath FOriginalClip;
    bool FRaster = false;
    bool FUsedRasterOperation = false;
    // Device pixels of outline the playing may still draw.
    double FOutlineBudget = 0;
    bool FEnhanced = false;
    // WMF: the placeable bounding box is the initial window.
    QRectF FBounds;
    // EMF: reference device pixels to the dest rectangle.
    QTransform FDeviceToDest;
    QSizeF FDevicePixelsPerMm{3.78, 3.78};
    TDcState FState;
    QStack<TDcState> FSaved;
    // Saves beyond kMostSavedStates: counted, not kept; restoring one of
    // them leaves the state as it is.
    qint64 FSavesNotKept = 0;
    std::vector<TGdiObject> FObjects;
    bool FPathOpen = false;
    QPainterPath FPath;
};

// ======================================================================
// Mapping

QTransform TPlayer::LogicalToDest() const
{
    const TDcState &s = FState;
    QTransform window; // logical -> "device" of the metafile
    double sx = 1, sy = 1;
    switch (s.mapMode) {
    case 2: sx = FDevicePixelsPerMm.width() / 10; sy = -FDevicePixelsPerMm.height() / 10; break;   // LOMETRIC
    case 3: sx = FDevicePixelsPerMm.width() / 100; sy = -FDevicePixelsPerMm.height() / 100; break;  // HIMETRIC
    case 4: sx = FDevicePixelsPerMm.width() * 0.254; sy = -FDevicePixelsPerMm.height() * 0.254; break; // LOENGLISH
    case 5: sx = FDevicePixelsPerMm.width() * 0.0254; sy = -FDevicePixelsPerMm.height() * 0.0254; break; // HIENGLISH
    case 6: sx = FDevicePixelsPerMm.width() * 25.4 / 1440; sy = -FDevicePixelsPerMm.height() * 25.4 / 1440; break; // TWIPS
    case 7:  // ISOTROPIC
    case 8: { // ANISOTROPIC
        const double wx = s.windowExt.width() ? s.windowExt.width() : 1;
        const double wy = s.windowExt.height() ? s.windowExt.height() : 1;
        sx = s.viewportExt.width() / wx;
        sy = s.viewportExt.height() / wy;
        if (s.mapMode == 7) {
            const double m = qMin(qAbs(sx), qAbs(sy));
            sx = sx < 0 ? -m : m;
            sy = sy < 0 ? -m : m;
        }
        break;
    }
    default: break;
    }
    if (!FEnhanced) {
        // A Windows metafile has no device of its own: its window is mapped
        // onto the dest rectangle, the bounding box standing in for a window
        // the records never set.
        QRectF window = FBounds;
        if (s.windowSet)
            window = QRectF(s.windowOrg, s.windowExt);
        const double w = window.width() ? window.width() : 1;
        const double h = window.height() ? window.height() : 1;
        QTransform t;
        t.translate(FDest.left(), FDest.top());
        t.scale(FDest.width() / w, FDest.height() / h);
        t.translate(-window.left(), -window.top());
        return t;
    }
    window.translate(s.viewportOrg.x(), s.viewportOrg.y());
    window.scale(sx, sy);
    window.translate(-s.windowOrg.x(), -s.windowOrg.y());
    return s.world * window * FDeviceToDest;
}

void TPlayer::ApplyClip()
{
    FPainter.setTransform(FBase);
    if (FHadClip)
        FPainter.setClipPath(FOriginalClip, Qt::ReplaceClip);
    else
        FPainter.setClipping(false);
    if (FState.clipping)
        FPainter.setClipPath(FState.clip, FHadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    ApplyTransform();
}

void TPlayer::IntersectClip(const QRectF &logical, bool exclude)
{
    QPainterPath area;
    area.addPolygon(LogicalToDest().map(QPolygonF(logical.normalized())));
    area.closeSubpath();
    QPainterPath current = FState.clip;
    if (!FState.clipping) {
        current = QPainterPath();
        current.addRect(FDest.adjusted(-1e5, -1e5, 1e5, 1e5));
    }
    FState.clip = exclude ? current.subtracted(area) : current.intersected(area);
    FState.clipping = true;
    ApplyClip();
}

// ======================================================================
// Drawing

QPen TPlayer::CurrentPen() const
{
    QPen pen = FState.pen;
    if (FState.rop2 == 1)
        pen.setColor(Qt::black);
    else if (FState.rop2 == 16)
        pen.setColor(Qt::white);
    return pen;
}

QBrush TPlayer::CurrentBrush() const
{
    QBrush brush = FState.brush;
    if (brush.style() != Qt::NoBrush && FState.rop2 == 1)
        brush.setColor(Qt::black);
    else if (brush.style() != Qt::NoBrush && FState.rop2 == 16)
        brush.setColor(Qt::white);
    return brush;
}

void TPlayer::PrepareMode()
{
    // Raster modes other than copying exist on raster devices only; on a PDF
    // the figure is drawn as copied.
    // The binary raster operations R2_BLACK (1) to R2_WHITE (16) in the
    // order of their codes, which is not the pen modes' order: R2_COPYPEN
    // (13) is the copy mode, drawn over the pixels beneath, where taking it
    // as the 13th pen mode combined every pixel with them (wrong over any
    // colour but white, and ten times slower).
    static constexpr Vcl::TPenMode kPenModeOfRop2[] = {
        Vcl::pmBlack,      Vcl::pmNotMerge, Vcl::pmMaskNotPen,    Vcl::pmNotCopy, Vcl::pmMaskPenNot, Vcl::pmNot,
        Vcl::pmXor,        Vcl::pmNotMask,  Vcl::pmMask,          Vcl::pmNotXor,  Vcl::pmNop,        Vcl::pmMergeNotPen,
        Vcl::pmCopy,       Vcl::pmMergePenNot, Vcl::pmMerge,      Vcl::pmWhite};
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (FRaster && FState.rop2 >= 1 && FState.rop2 <= 16)
        mode = ToCompositionMode(kPenModeOfRop2[FState.rop2 - 1]);
    FPainter.setCompositionMode(mode);
}

void TPlayer::DrawShape(const QPainterPath &path, bool fill, bool stroke)
{
    if (Hidden())
        return;
    PrepareMode();
    QPainterPath p = path;
    p.setFillRule(FState.fillRule);
    // Smoothing a figure of long edges that cross each other costs time
    // growing with the square of its crossings (seconds for a few hundred);
    // such a figure is drawn without, as the system that made the file
    // draws every figure.
    const bool smooth = FPainter.testRenderHint(QPainter::Antialiasing);
    const double deviceLength = p.length() * std::sqrt(std::abs(FPainter.combinedTransform().determinant()));
    if (deviceLength > FOutlineBudget)
        return;
    FOutlineBudget -= deviceLength;
    const bool plain = smooth && deviceLength > kMostSmoothedLength;
    if (plain)
        FPainter.setRenderHint(QPainter::Antialiasing, false);
    const struct Restore {
        QPainter &painter;
        bool smoothAgain;
        ~Restore()
        {
            if (smoothAgain)
                painter.setRenderHint(QPainter::Antialiasing, true);
        }
    } restore{FPainter, plain};
    if (fill) {
        const QBrush brush = CurrentBrush();
        if (brush.style() != Qt::NoBrush) {
            // A hatched brush paints its gaps in the background colour.
            if (brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern && FState.opaqueBackground)
                FPainter.fillPath(p, FState.bkColor);
            FPainter.fillPath(p, brush);
        }
    }
    if (stroke && FState.pen.style() != Qt::NoPen)
        FPainter.strokePath(p, CurrentPen());
}

void TPlayer::AddOrDraw(const QPainterPath &path, bool closed)
{
    if (FPathOpen) {
        FPath.addPath(path);
        return;
    }
    DrawShape(path, closed, true);
}

void TPlayer::Polyline(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    AddOrDraw(path, false);
}

void TPlayer::Polygon(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    AddOrDraw(path, true);
}

void TPlayer::PolyPolygon(const QList<QPolygonF> &polygons)
{
    QPainterPath path;
    for (const QPolygonF &polygon : polygons) {
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    AddOrDraw(path, true);
}

void TPlayer::Rectangle(const QRectF &r)
{
    QPainterPath path;
    path.addRect(r.normalized());
    AddOrDraw(path, true);
}

void TPlayer::RoundRect(const QRectF &r, double w, double h)
{
    QPainterPath path;
    path.addRoundedRect(r.normalized(), qAbs(w) / 2, qAbs(h) / 2);
    AddOrDraw(path, true);
}

void TPlayer::Ellipse(const QRectF &r)
{
    QPainterPath path;
    path.addEllipse(r.normalized());
    AddOrDraw(path, true);
}

void TPlayer::ArcFigure(const QRectF &box, QPointF start, QPointF end, int kind)
{
    const QRectF r = box.normalized();
    if (r.isEmpty())
        return;
    const QPointF c = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    // Angles of the radial points on the ellipse, counter-clockwise as drawn.
    const double a1 = qRadiansToDegrees(std::atan2((c.y() - start.y()) / ry, (start.x() - c.x()) / rx));
    const double a2 = qRadiansToDegrees(std::atan2((c.y() - end.y()) / ry, (end.x() - c.x()) / rx));
    double sweep = a2 - a1;
    while (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    if (kind == 2) {
        path.moveTo(c);
        path.arcTo(r, a1, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(r, a1);
        path.arcTo(r, a1, sweep);
        if (kind == 1)
            path.closeSubpath();
    }
    AddOrDraw(path, kind != 0);
}

void TPlayer::TextOut(QPointF at, const QString &text, const QRectF &opaqueRect, bool opaque,
                      const QList<double> &advances)
{
    if (Hidden())
        return;
    const TDcState &s = FState;
    const QTransform toDest = LogicalToDest();
    if (opaque && !opaqueRect.isEmpty()) {
        FPainter.fillRect(opaqueRect.normalized(), s.bkColor);
    }
    if (text.isEmpty())
        return;
    if (s.textAlign & 1) // TA_UPDATECP
        at = s.current;
    // Text is set upright at the mapped reference point and scaled by the
    // mapping, so flipped mapping modes do not mirror it.
    const QPointF anchor = toDest.map(at);
    const double scaleY = std::hypot(toDest.m21(), toDest.m22());
    const double scaleX = std::hypot(toDest.m11(), toDest.m12());
    // Bounded: a lying height must not make the font engine draw a glyph the
    // size of a house.
    const double pixels = qBound(1.0, qAbs(double(s.font.height)) * (scaleY > 0 ? scaleY : 1), 2000.0);
    const double stretch = scaleX > 0 && scaleY > 0 ? scaleX / scaleY : 1.0;
    // Glyphs stretched beyond any real drawing fail inside the font engine;
    // such text is left out.
    if (stretch < 0.01 || stretch > 100 || pixels * stretch > 2000)
        return;
    QFont font(s.font.face);
    font.setPixelSize(qMax(1, qRound(pixels)));
    font.setWeight(s.font.weight > 0 ? QFont::Weight(qBound(1, s.font.weight, 1000)) : QFont::Normal);
    font.setItalic(s.font.italic);
    font.setUnderline(s.font.underline);
    font.setStrikeOut(s.font.strikeOut);
    const QFontMetricsF metrics(font);
    // A positive height is the cell height: the character height is smaller.
    if (s.font.height > 0) {
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            font.setPixelSize(qBound(1, qRound(qMin(pixels * pixels / cell, 2000.0)), 2000));
    }
    const QFontMetricsF m(font);
    // The maker's advances keep the text as wide as it was laid out, whatever
    // font stands in for the one it named; they are in the text's own units
    // here, where a logical unit measures scaleY.
    const bool ownAdvances = advances.size() == text.size() && text.size() <= kMostPlacedCharacters && scaleY > 0
        && std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); });
    double width = 0;
    if (ownAdvances) {
        for (double a : advances)
            width += a * scaleY;
    } else {
        width = m.horizontalAdvance(text);
    }
    double x = 0;
    switch (s.textAlign & 6) {
    case 6: x = -width / 2; break; // TA_CENTER
    case 2: x = -width; break;     // TA_RIGHT
    default: break;
    }
    double y = m.ascent(); // TA_TOP
    if ((s.textAlign & 24) == 24)
        y = 0; // TA_BASELINE
    else if (s.textAlign & 8)
        y = -m.descent(); // TA_BOTTOM
    FPainter.save();
    FPainter.setTransform(FBase);
    FPainter.translate(anchor);
    FPainter.rotate(-s.font.escapement / 10.0);
    FPainter.scale(stretch, 1);
    FPainter.setFont(font);
    FPainter.setPen(s.textColor);
    if (s.opaqueBackground) {
        FPainter.fillRect(QRectF(x, y - m.ascent(), width, m.height()), s.bkColor);
    }
    if (ownAdvances) {
        double pen = x;
        for (qsizetype i = 0; i < text.size(); ++i) {
            FPainter.drawText(QPointF(pen, y), QString(text.at(i)));
            pen += advances.at(i) * scaleY;
        }
    } else {
        FPainter.drawText(QPointF(x, y), text);
    }
    FPainter.restore();
    if (s.textAlign & 1)
        FState.current = toDest.inverted().map(anchor + QPointF(x + width, 0));
}

// The way a block of pixels meets the pixels under it: the raster
// operations that involve the source and the destination only (those with a
// pattern, and source copy, draw the pixels as copied).
std::optional<QPainter::CompositionMode> BlitMode(quint32 rop)
{
    switch (rop) {
    case 0x00EE0086: return QPainter::RasterOp_SourceOrDestination;        // SRCPAINT
    case 0x008800C6: return QPainter::RasterOp_SourceAndDestination;       // SRCAND
    case 0x00660046: return QPainter::RasterOp_SourceXorDestination;       // SRCINVERT
    case 0x00440328: return QPainter::RasterOp_SourceAndNotDestination;    // SRCERASE
    case 0x00330008: return QPainter::RasterOp_NotSource;                  // NOTSRCCOPY
    case 0x001100A6: return QPainter::RasterOp_NotSourceAndNotDestination; // NOTSRCERASE
    case 0x00BB0226: return QPainter::RasterOp_NotSourceOrDestination;     // MERGEPAINT
    case 0x00220326: return QPainter::RasterOp_NotSourceAndDestination;    // DSna
    default: return std::nullopt;
    }
}

void TPlayer::DrawImage(const QRectF &logical, const QImage &image, const QRectF &source, quint32 rop)
{
    if (image.isNull() || Hidden())
        return;
    // Masks and their pictures (the way clip art made parts of a bitmap
    // transparent) meet the pixels under them on raster devices; other
    // devices get the metafile as pixels (TMetafile::Draw), so here the
    // operation is only noted.
    const std::optional<QPainter::CompositionMode> mode = BlitMode(rop);
    FUsedRasterOperation |= mode.has_value();
    QRectF target = logical;
    QImage picture = image;
    // A negative extent mirrors the copy.
    const bool mirrorX = target.width() < 0, mirrorY = target.height() < 0;
    if (mirrorX || mirrorY)
        picture = picture.mirrored(mirrorX, mirrorY);
    FPainter.setCompositionMode(FRaster && mode ? *mode : QPainter::CompositionMode_SourceOver);
    // Raster operations work on whole pixels: a smoothed edge would leave a
    // seam between a mask and its picture.
    const bool smooth = FPainter.testRenderHint(QPainter::SmoothPixmapTransform);
    if (mode)
        FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (mode)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    FPainter.drawImage(target.normalized(), picture, source.isEmpty() ? QRectF(picture.rect()) : source);
    FPainter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TPlayer::PatBlt(const QRectF &logical, quint32 rop)
{
    if (Hidden())
        return;
    QBrush brush = CurrentBrush();
    if (rop == 0x00000042)
        brush = QBrush(Qt::black); // BLACKNESS
    else if (rop == 0x00FF0062)
        brush = QBrush(Qt::white); // WHITENESS
    else if (rop == 0x00AA0029)
        return; // destination unchanged
    FPainter.fillRect(logical.normalized(), brush);
}

// ======================================================================
// Objects

QBrush TPlayer::HatchBrush(quint32 hatch, const QColor &color) const
{
    static const Qt::BrushStyle styles[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                            Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(color, hatch < 6 ? styles[hatch] : Qt::SolidPattern);
}

void TPlayer::SelectObject(const TGdiObject &object)
{
    if (const auto *pen = std::get_if<TPenObject>(&object))
        FState.pen = pen->pen;
    else if (const auto *brush = std::get_if<TBrushObject>(&object))
        FState.brush = brush->brush;
    else if (const auto *font = std::get_if<TFontObject>(&object))
        FState.font = font->font;
}

void TPlayer::SelectStock(quint32 index)
{
    switch (index) {
    case kWhiteBrush: FState.brush = QBrush(Qt::white); break;
    case kLtGrayBrush: FState.brush = QBrush(QColor(192, 192, 192)); break;
    case kGrayBrush: FState.brush = QBrush(QColor(128, 128, 128)); break;
    case kDkGrayBrush: FState.brush = QBrush(QColor(64, 64, 64)); break;
    case kBlackBrush: FState.brush = QBrush(Qt::black); break;
    case kNullBrush: FState.brush = QBrush(Qt::NoBrush); break;
    case kWhitePen: FState.pen = QPen(QColor(Qt::white), 0); break;
    case kBlackPen: FState.pen = QPen(QColor(Qt::black), 0); break;
    case kNullPen: FState.pen = QPen(Qt::NoPen); break;
    default:
        if (index >= 10 && index <= 17)
            FState.font = TLogFont();
        break;
    }
}

void TPlayer::SaveDC()
{
    if (FSaved.size() < kMostSavedStates)
        FSaved.push(FState);
    else
        ++FSavesNotKept;
}

void TPlayer::RestoreDC(int which)
{
    // Negative: relative to the current state; positive: an absolute level.
    // In 64 bits: the file may ask for the most negative level there is.
    const qint64 levels = qint64(FSaved.size()) + FSavesNotKept;
    qint64 pops = which < 0 ? -qint64(which) : levels - which + 1;
    if (pops <= 0 || pops > levels)
        return;
    const qint64 notKept = std::min(pops, FSavesNotKept);
    FSavesNotKept -= notKept;
    pops -= notKept;
    if (pops == 0)
        return;
    while (pops-- > 0)
        FState = FSaved.pop();
    ApplyClip();
}

QPen MakePen(quint32 style, double width, const QColor &color)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    const quint32 kind = style & 0x0f;
    QPen pen(color);
    pen.setStyle(kind < 7 ? styles[kind] : Qt::SolidLine);
    pen.setWidthF(qMax(0.0, width)); // 0: one device pixel
    pen.setCapStyle((style & 0x0f00) == 0x0100 ? Qt::SquareCap : (style & 0x0f00) == 0x0200 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle((style & 0xf000) == 0x1000 ? Qt::BevelJoin : (style & 0xf000) == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
    return pen;
}

// ======================================================================
// Windows metafiles

constexpr qsizetype kPlaceableSize = 22;
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;

QPolygonF WmfPoints(const TRecord &r, qint64 at, int count)
{
    QPolygonF points;
    if (count <= 0 || !r.Holds(at, qint64(count) * 4))
        return points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.append(QPointF(r.I16(at + 4 * i), r.I16(at + 4 * i + 2)));
    return points;
}

// Four 16-bit values stored bottom, right, top, left.
QRectF WmfRect(const TRecord &r, qint64 at)
{
    const int bottom = r.I16(at), right = r.I16(at + 2), top = r.I16(at + 4), left = r.I16(at + 6);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

TLogFont WmfFont(const TRecord &r, qint64 at)
{
    TLogFont f;
    f.height = r.I16(at);
    f.escapement = r.I16(at + 4);
    f.weight = r.I16(at + 8);
    f.italic = r.U8(at + 10);
    f.underline = r.U8(at + 11);
    f.strikeOut = r.U8(at + 12);
    QByteArray face = r.Bytes(at + 18, qMin<qint64>(32, r.Size() - at - 18));
    const qsizetype zero = face.indexOf('\0');
    if (zero >= 0)
        face.truncate(zero);
    if (!face.isEmpty())
        f.face = AnsiToString(face);
    return f;
}

int TPlayer::WmfNewObject(const TGdiObject &object)
{
    for (size_t i = 0; i < FObjects.size(); ++i) {
        if (std::holds_alternative<std::monostate>(FObjects[i])) {
            FObjects[i] = object;
            return int(i);
        }
    }
    // The header's table size is a promise the file may break; a bounded table grows.
    if (FObjects.size() < 65535)
        FObjects.push_back(object);
    return int(FObjects.size()) - 1;
}

void TPlayer::PlayWmf(const QByteArray &image)
{
    FEnhanced = false;
    const TRecord placeable(image.constData(), image.size());
    FBounds = QRectF(QPointF(placeable.I16(6), placeable.I16(8)), QPointF(placeable.I16(10), placeable.I16(12)));
    const qint64 header = kPlaceableSize;
    FObjects.assign(qMin<int>(placeable.U16(header + 10), 4096), TGdiObject());
    FState.mapMode = 1;
    FPainter.save();
    ApplyClip();
    qint64 pos = header + qint64(placeable.U16(header + 2)) * 2;
    while (pos + 6 <= image.size()) {
        const qint64 size = qint64(placeable.U32(pos)) * 2;
        if (size < 6 || pos + size > image.size())
            break;
        const TRecord record(image.constData() + pos, size);
        const quint16 function = record.U16(4);
        if (function == 0)
            break;
        WmfRecord(record, function);
        pos += size;
    }
    FPainter.restore();
}

void TPlayer::WmfRecord(const TRecord &r, quint16 function)
{
    constexpr qint64 p = 6; // parameters
    TDcState &s = FState;
    switch (function) {
    case 0x0201: s.bkColor = ColorRef(r.U32(p)); break;                // SETBKCOLOR
    case 0x0102: s.opaqueBackground = r.U16(p) == 2; break;             // SETBKMODE
    case 0x0103: s.mapMode = r.U16(p); ApplyTransform(); break;          // SETMAPMODE
    case 0x0104: s.rop2 = r.U16(p); break;                              // SETROP2
    case 0x0106: s.fillRule = r.U16(p) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case 0x0209: s.textColor = ColorRef(r.U32(p)); break;               // SETTEXTCOLOR
    case 0x012E: s.textAlign = r.U16(p); break;                         // SETTEXTALIGN
    case 0x020B: // SETWINDOWORG
        s.windowOrg = QPointF(r.I16(p + 2), r.I16(p));
        if (!s.windowSet) {
            s.windowExt = FBounds.size();
            s.windowSet = true;
        }
        ApplyTransform();
        break;
    case 0x020C: // SETWINDOWEXT
        s.windowExt = QSizeF(r.I16(p + 2), r.I16(p));
        if (!s.windowSet) {
            s.windowOrg = FBounds.topLeft();
            s.windowSet = true;
        }
        ApplyTransform();
        break;
    case 0x020F: // OFFSETWINDOWORG
        s.windowOrg += QPointF(r.I16(p + 2), r.I16(p));
        ApplyTransform();
        break;
    case 0x0410: { // SCALEWINDOWEXT: yDenom, yNum, xDenom, xNum
        const int yd = r.I16(p), yn = r.I16(p + 2), xd = r.I16(p + 4), xn = r.I16(p + 6);
        if (xd && yd)
            s.windowExt = QSizeF(s.windowExt.width() * xn / xd, s.windowExt.height() * yn / yd);
        ApplyTransform();
        break;
    }
    case 0x0214: s.current = QPointF(r.I16(p + 2), r.I16(p)); break; // MOVETO
    case 0x0213: { // LINETO
        const QPointF to(r.I16(p + 2), r.I16(p));
        Polyline(QPolygonF({s.current, to}));
        s.current = to;
        break;
    }
    case 0x0415: IntersectClip(WmfRect(r, p), true); break;  // EXCLUDECLIPRECT
    case 0x0416: IntersectClip(WmfRect(r, p), false); break; // INTERSECTCLIPRECT
    case 0x0817: // ARC
    case 0x0830: // CHORD
    case 0x081A: // PIE
        ArcFigure(WmfRect(r, p + 8), QPointF(r.I16(p + 6), r.I16(p + 4)), QPointF(r.I16(p + 2), r.I16(p)),
                  function == 0x0817 ? 0 : function == 0x0830 ? 1 : 2);
        break;
    case 0x0418: Ellipse(WmfRect(r, p)); break;
    case 0x041B: Rectangle(WmfRect(r, p)); break;
    case 0x061C: RoundRect(WmfRect(r, p + 4), r.I16(p + 2), r.I16(p)); break;
    case 0x061D: { // PATBLT: rop, height, width, y, x
        const quint32 rop = r.U32(p);
        PatBlt(QRectF(r.I16(p + 10), r.I16(p + 8), r.I16(p + 6), r.I16(p + 4)), rop);
        break;
    }
    case 0x001E: SaveDC(); break;
    case 0x0127: RestoreDC(r.I16(p)); break;
    case 0x041F: // SETPIXEL
        if (!Hidden())
            FPainter.fillRect(QRectF(r.I16(p + 6), r.I16(p + 4), 1, 1), ColorRef(r.U32(p)));
        break;
    case 0x0324: Polygon(WmfPoints(r, p + 2, r.U16(p))); break;
    case 0x0325: Polyline(WmfPoints(r, p + 2, r.U16(p))); break;
    case 0x0538: { // POLYPOLYGON
        const int count = r.U16(p);
        QList<QPolygonF> polygons;
        qint64 at = p + 2 + qint64(count) * 2;
        for (int i = 0; i < count && r.Holds(at, 0); ++i) {
            const int n = r.U16(p + 2 + 2 * i);
            polygons.append(WmfPoints(r, at, n));
            at += qint64(n) * 4;
        }
        PolyPolygon(polygons);
        break;
    }
    case 0x0521: { // TEXTOUT: length, string, y, x
        const int length = r.I16(p);
        if (length <= 0)
            break;
        const qint64 after = p + 2 + ((length + 1) & ~1);
        TextOut(QPointF(r.I16(after + 2), r.I16(after)), AnsiToString(r.Bytes(p + 2, length)), QRectF(), false);
        break;
    }
    case 0x0A32: { // EXTTEXTOUT: y, x, length, options, [rect], string
        const QPointF at(r.I16(p + 2), r.I16(p));
        const int length = r.I16(p + 4);
        const quint16 options = r.U16(p + 6);
        qint64 text = p + 8;
        QRectF box;
        if (options & 0x0006) {
            box = QRectF(QPointF(r.I16(text), r.I16(text + 2)), QPointF(r.I16(text + 4), r.I16(text + 6)));
            text += 8;
        }
        const QString string = length > 0 ? AnsiToString(r.Bytes(text, length)) : QString();
        // The advances follow the string (padded to a whole word) when the
        // record holds them.
        QList<double> advances;
        const qint64 dx = text + ((qint64(qMax(length, 0)) + 1) & ~1);
        if (length > 0 && string.size() == length && r.Holds(dx, qint64(length) * 2)) {
            advances.reserve(length);
            for (int i = 0; i < length; ++i)
                advances.append(r.I16(dx + 2 * i));
        }
        TextOut(at, string, box, options & 0x0002, advances);
        break;
    }
    case 0x012D: { // SELECTOBJECT
        const quint16 index = r.U16(p);
        if (index < FObjects.size())
            SelectObject(FObjects[index]);
        break;
    }
    case 0x01F0: { // DELETEOBJECT
        const quint16 index = r.U16(p);
        if (index < FObjects.size())
            FObjects[index] = std::monostate();
        break;
    }
    case 0x02FA: { // CREATEPENINDIRECT: style, width (x, y), colour
        WmfNewObject(TPenObject{MakePen(r.U16(p), r.I16(p + 2), ColorRef(r.U32(p + 6)))});
        break;
    }
    case 0x02FC: { // CREATEBRUSHINDIRECT: style, colour, hatch
        const quint16 style = r.U16(p);
        const QColor color = ColorRef(r.U32(p + 2));
        QBrush brush(color);
        if (style == 1)
            brush = QBrush(Qt::NoBrush);
        else if (style == 2)
            brush = HatchBrush(r.U16(p + 6), color);
        WmfNewObject(TBrushObject{brush});
        break;
    }
    case 0x02FB: WmfNewObject(TFontObject{WmfFont(r, p)}); break;
    case 0x0142: { // DIBCREATEPATTERNBRUSH: style, usage, DIB
        const qint64 dib = p + 4;
        const qint64 headerLength = DibHeaderLength(r, dib);
        QImage pattern;
        if (headerLength > 0 && r.Holds(dib, headerLength))
            pattern = DibToImage(r.Bytes(dib, headerLength), r.Bytes(dib + headerLength, r.Size() - dib - headerLength));
        WmfNewObject(TBrushObject{pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern)});
        break;
    }
    case 0x00F7: // CREATEPALETTE
    case 0x01F9: // CREATEPATTERNBRUSH
    case 0x06FF: // CREATEREGION
        WmfNewObject(function == 0x01F9 ? TGdiObject(TBrushObject{QBrush(Qt::gray)}) : TGdiObject(TOtherObject{}));
        break;
    case 0x0F43: { // STRETCHDIB: rop, usage, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, DIB
        const qint64 dib = p + 22;
        const qint64 headerLength = DibHeaderLength(r, dib);
        if (headerLength <= 0 || !r.Holds(dib, headerLength))
            break;
        const QImage image = DibToImage(r.Bytes(dib, headerLength), r.Bytes(dib + headerLength, r.Size() - dib - headerLength));
        const QRectF source(r.I16(p + 12), image.height() - r.I16(p + 10) - r.I16(p + 6), r.I16(p + 8), r.I16(p + 6));
        DrawImage(QRectF(r.I16(p + 20), r.I16(p + 18), r.I16(p + 16), r.I16(p + 14)), image,
                  source.intersected(QRectF(image.rect())), r.U32(p));
        break;
    }
    case 0x0B41: { // DIBSTRETCHBLT: rop, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, DIB
        const qint64 dib = p + 20;
        const qint64 headerLength = DibHeaderLength(r, dib);
        if (headerLength <= 0 || !r.Holds(dib, headerLength)) {
            PatBlt(QRectF(r.I16(p + 16), r.I16(p + 14), r.I16(p + 12), r.I16(p + 10)), r.U32(p));
            break;
        }
        const QImage image = DibToImage(r.Bytes(dib, headerLength), r.Bytes(dib + headerLength, r.Size() - dib - headerLength));
        DrawImage(QRectF(r.I16(p + 18), r.I16(p + 16), r.I16(p + 14), r.I16(p + 12)), image,
                  QRectF(r.I16(p + 10), r.I16(p + 8), r.I16(p + 6), r.I16(p + 4)), r.U32(p));
        break;
    }
    case 0x0940: { // DIBBITBLT: rop, ySrc, xSrc, height, width, yDest, xDest, DIB
        const qint64 dib = p + 16;
        const qint64 headerLength = DibHeaderLength(r, dib);
        if (headerLength <= 0 || !r.Holds(dib, headerLength)) {
            PatBlt(QRectF(r.I16(p + 14), r.I16(p + 12), r.I16(p + 10), r.I16(p + 8)), r.U32(p));
            break;
        }
        const QImage image = DibToImage(r.Bytes(dib, headerLength), r.Bytes(dib + headerLength, r.Size() - dib - headerLength));
        DrawImage(QRectF(r.I16(p + 14), r.I16(p + 12), r.I16(p + 10), r.I16(p + 8)), image,
                  QRectF(r.I16(p + 6), r.I16(p + 4), r.I16(p + 10), r.I16(p + 8)), r.U32(p));
        break;
    }
    case 0x0D33: { // SETDIBTODEV: usage, scans, start, ySrc, xSrc, height, width, yDest, xDest, DIB
        const qint64 dib = p + 18;
        const qint64 headerLength = DibHeaderLength(r, dib);
        if (headerLength <= 0 || !r.Holds(dib, headerLength))
            break;
        const QImage image = DibToImage(r.Bytes(dib, headerLength), r.Bytes(dib + headerLength, r.Size() - dib - headerLength));
        DrawImage(QRectF(r.I16(p + 16), r.I16(p + 14), r.I16(p + 12), r.I16(p + 10)), image,
                  QRectF(r.I16(p + 8), r.I16(p + 6), r.I16(p + 12), r.I16(p + 10)), 0x00CC0020);
        break;
    }
    default: break; // unknown records are skipped
    }
}

// ======================================================================
// Enhanced metafiles

QPolygonF EmfPoints(const TRecord &r, qint64 at, quint32 count, bool small)
{
    QPolygonF points;
    const qint64 step = small ? 4 : 8;
    if (count == 0 || !r.Holds(at, qint64(count) * step))
        return points;
    points.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        const qint64 q = at + i * step;
        points.append(small ? QPointF(r.I16(q), r.I16(q + 2)) : QPointF(r.I32(q), r.I32(q + 4)));
    }
    return points;
}

QRectF EmfRect(const TRecord &r, qint64 at)
{
    return QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
}

QTransform EmfXform(const TRecord &r, qint64 at)
{
    return QTransform(r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16), r.F32(at + 20));
}

QImage EmfDib(const TRecord &r, qint64 offBmi, qint64 cbBmi, qint64 offBits, qint64 cbBits)
{
    if (!r.Holds(offBmi, cbBmi) || !r.Holds(offBits, cbBits) || cbBmi <= 0)
        return QImage();
    return DibToImage(r.Bytes(offBmi, cbBmi), r.Bytes(offBits, cbBits));
}

void TPlayer::PlayEmf(const QByteArray &image)
{
    FEnhanced = true;
    const TRecord header(image.constData(), image.size());
    const QRectF bounds = EmfRect(header, 8);
    const QRectF frame = EmfRect(header, 24); // hundredths of a millimetre
    const double deviceX = header.I32(72), deviceY = header.I32(76);
    const double mmX = header.I32(80), mmY = header.I32(84);
    if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0)
        FDevicePixelsPerMm = QSizeF(deviceX / mmX, deviceY / mmY);
    // The frame, in reference device pixels, is what lands on dest.
    QRectF frameDevice(frame.left() / 100 * FDevicePixelsPerMm.width(), frame.top() / 100 * FDevicePixelsPerMm.height(),
                       frame.width() / 100 * FDevicePixelsPerMm.width(), frame.height() / 100 * FDevicePixelsPerMm.height());
    if (frameDevice.width() <= 0 || frameDevice.height() <= 0)
        frameDevice = bounds.adjusted(0, 0, 1, 1);
    if (frameDevice.width() <= 0 || frameDevice.height() <= 0)
        return;
    FDeviceToDest = QTransform();
    FDeviceToDest.translate(FDest.left(), FDest.top());
    FDeviceToDest.scale(FDest.width() / frameDevice.width(), FDest.height() / frameDevice.height());
    FDeviceToDest.translate(-frameDevice.left(), -frameDevice.top());
    FObjects.assign(qMin<int>(header.U16(56), 65535), TGdiObject());
    FPainter.save();
    ApplyClip();
    qint64 pos = 0;
    while (pos + 8 <= image.size()) {
        const quint32 type = header.U32(pos);
        const qint64 size = header.U32(pos + 4);
        if (size < 8 || pos + size > image.size())
            break;
        if (type == U_EMR_EOF)
            break;
        // libuemf checks each record's inner counts and offsets against its
        // size. It only complains about types it has no check for (all of
        // them records this player skips), and refuses the empty clipping
        // region that means "no clipping", which our own bounded reads
        // handle; those are not put to it.
        const bool vetted = type >= U_EMR_MIN && type <= 95 && type != U_EMR_UNDEF69 && type != U_EMR_EXTSELECTCLIPRGN;
        if (!vetted || U_emf_record_safe(image.constData() + pos))
            EmfRecord(TRecord(image.constData() + pos, size), type);
        pos += size;
    }
    FPainter.restore();
}

void TPlayer::EmfRecord(const TRecord &r, quint32 type)
{
    TDcState &s = FState;
    switch (type) {
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYBEZIERTO16: {
        const bool small = type == U_EMR_POLYBEZIER16 || type == U_EMR_POLYBEZIERTO16;
        const bool to = type == U_EMR_POLYBEZIERTO || type == U_EMR_POLYBEZIERTO16;
        const QPolygonF pts = EmfPoints(r, 28, r.U32(24), small);
        if (pts.isEmpty())
            break;
        QPainterPath path;
        int i = 0;
        if (to) {
            path.moveTo(s.current);
        } else {
            path.moveTo(pts[0]);
            i = 1;
        }
        for (; i + 2 < pts.size(); i += 3)
            path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        s.current = path.currentPosition();
        if (FPathOpen && to) {
            FPath.connectPath(path);
        } else {
            AddOrDraw(path, false);
        }
        break;
    }
    case U_EMR_POLYGON:
    case U_EMR_POLYGON16: Polygon(EmfPoints(r, 28, r.U32(24), type == U_EMR_POLYGON16)); break;
    case U_EMR_POLYLINE:
    case U_EMR_POLYLINE16: Polyline(EmfPoints(r, 28, r.U32(24), type == U_EMR_POLYLINE16)); break;
    case U_EMR_POLYLINETO:
    case U_EMR_POLYLINETO16: {
        QPolygonF pts = EmfPoints(r, 28, r.U32(24), type == U_EMR_POLYLINETO16);
        if (pts.isEmpty())
            break;
        pts.prepend(s.current);
        if (FPathOpen) {
            QPainterPath path;
            path.moveTo(pts[0]);
            for (int i = 1; i < pts.size(); ++i)
                path.lineTo(pts[i]);
            FPath.connectPath(path);
        } else {
            Polyline(pts);
        }
        s.current = pts.last();
        break;
    }
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYGON16: {
        const bool small = type == U_EMR_POLYPOLYLINE16 || type == U_EMR_POLYPOLYGON16;
        const bool closed = type == U_EMR_POLYPOLYGON || type == U_EMR_POLYPOLYGON16;
        const quint32 polys = r.U32(24);
        if (!r.Holds(32, qint64(polys) * 4))
            break;
        qint64 at = 32 + qint64(polys) * 4;
        QList<QPolygonF> list;
        for (quint32 i = 0; i < polys; ++i) {
            const quint32 n = r.U32(32 + 4 * i);
            list.append(EmfPoints(r, at, n, small));
            at += qint64(n) * (small ? 4 : 8);
        }
        if (closed) {
            PolyPolygon(list);
        } else {
            for (const QPolygonF &line : list)
                Polyline(line);
        }
        break;
    }
    case U_EMR_SETWINDOWEXTEX: s.windowExt = QSizeF(r.I32(8), r.I32(12)); ApplyTransform(); break;
    case U_EMR_SETWINDOWORGEX: s.windowOrg = QPointF(r.I32(8), r.I32(12)); ApplyTransform(); break;
    case U_EMR_SETVIEWPORTEXTEX: s.viewportExt = QSizeF(r.I32(8), r.I32(12)); ApplyTransform(); break;
    case U_EMR_SETVIEWPORTORGEX: s.viewportOrg = QPointF(r.I32(8), r.I32(12)); ApplyTransform(); break;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
        const int xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
        if (xd && yd) {
            QSizeF &ext = type == U_EMR_SCALEVIEWPORTEXTEX ? s.viewportExt : s.windowExt;
            ext = QSizeF(ext.width() * xn / xd, ext.height() * yn / yd);
        }
        ApplyTransform();
        break;
    }
    case U_EMR_SETMAPMODE: s.mapMode = r.I32(8); ApplyTransform(); break;
    case U_EMR_SETBKMODE: s.opaqueBackground = r.U32(8) == 2; break;
    case U_EMR_SETPOLYFILLMODE: s.fillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case U_EMR_SETROP2: s.rop2 = int(r.U32(8)); break;
    case U_EMR_SETTEXTALIGN: s.textAlign = int(r.U32(8)); break;
    case U_EMR_SETTEXTCOLOR: s.textColor = ColorRef(r.U32(8)); break;
    case U_EMR_SETBKCOLOR: s.bkColor = ColorRef(r.U32(8)); break;
    case U_EMR_MOVETOEX: s.current = QPointF(r.I32(8), r.I32(12)); if (FPathOpen) FPath.moveTo(s.current); break;
    case U_EMR_LINETO: {
        const QPointF to(r.I32(8), r.I32(12));
        if (FPathOpen) {
            if (FPath.elementCount() == 0)
                FPath.moveTo(s.current);
            FPath.lineTo(to);
        } else {
            Polyline(QPolygonF({s.current, to}));
        }
        s.current = to;
        break;
    }
    case U_EMR_SETPIXELV:
        if (!Hidden())
            FPainter.fillRect(QRectF(r.I32(8), r.I32(12), 1, 1), ColorRef(r.U32(16)));
        break;
    case U_EMR_EXCLUDECLIPRECT: IntersectClip(EmfRect(r, 8), true); break;
    case U_EMR_INTERSECTCLIPRECT: IntersectClip(EmfRect(r, 8), false); break;
    case U_EMR_SAVEDC: SaveDC(); break;
    case U_EMR_RESTOREDC: RestoreDC(r.I32(8)); break;
    case U_EMR_SETWORLDTRANSFORM: s.world = EmfXform(r, 8); ApplyTransform(); break;
    case U_EMR_MODIFYWORLDTRANSFORM: {
        const QTransform x = EmfXform(r, 8);
        switch (r.U32(32)) {
        case 1: s.world = QTransform(); break;
        case 2: s.world = x * s.world; break;
        case 3: s.world = s.world * x; break;
        case 4: s.world = x; break;
        default: break;
        }
        ApplyTransform();
        break;
    }
    case U_EMR_SELECTOBJECT: {
        const quint32 index = r.U32(8);
        if (index & 0x80000000u)
            SelectStock(index & 0x7fffffffu);
        else if (index < FObjects.size())
            SelectObject(FObjects[index]);
        break;
    }
    case U_EMR_DELETEOBJECT: {
        const quint32 index = r.U32(8);
        if (index < FObjects.size())
            FObjects[index] = std::monostate();
        break;
    }
    case U_EMR_CREATEPEN: {
        const quint32 index = r.U32(8);
        if (index < FObjects.size())
            FObjects[index] = TPenObject{MakePen(r.U32(12), r.I32(16), ColorRef(r.U32(24)))};
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        const quint32 index = r.U32(8);
        if (index < FObjects.size()) {
            const quint32 style = r.U32(28);
            // A cosmetic pen is one device pixel whatever its width says.
            const bool geometric = style & 0x00010000u;
            QPen pen = MakePen(style, geometric ? r.U32(32) : 0, ColorRef(r.U32(40)));
            if (r.U32(36) == 1) // BS_NULL
                pen.setStyle(Qt::NoPen);
            FObjects[index] = TPenObject{pen};
        }
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        const quint32 index = r.U32(8);
        if (index >= FObjects.size())
            break;
        const quint32 style = r.U32(12);
        const QColor color = ColorRef(r.U32(16));
        QBrush brush(color);
        if (style == 1)
            brush = QBrush(Qt::NoBrush);
        else if (style == 2)
            brush = HatchBrush(r.U32(20), color);
        FObjects[index] = TBrushObject{brush};
        break;
    }
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_CREATEMONOBRUSH: {
        const quint32 index = r.U32(8);
        if (index >= FObjects.size())
            break;
        const QImage pattern = EmfDib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28));
        FObjects[index] = TBrushObject{pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern)};
        break;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
        const quint32 index = r.U32(8);
        if (index >= FObjects.size())
            break;
        TLogFont f;
        f.height = r.I32(12);
        f.escapement = r.I32(20);
        f.weight = r.I32(28);
        f.italic = r.U8(32);
        f.underline = r.U8(33);
        f.strikeOut = r.U8(34);
        QString face;
        for (int i = 0; i < 32; ++i) {
            const quint16 c = r.U16(40 + 2 * i);
            if (c == 0)
                break;
            face.append(QChar(c));
        }
        if (!face.isEmpty())
            f.face = face;
        FObjects[index] = TFontObject{f};
        break;
    }
    case U_EMR_CREATEPALETTE: {
        const quint32 index = r.U32(8);
        if (index < FObjects.size())
            FObjects[index] = TOtherObject{};
        break;
    }
    case U_EMR_ELLIPSE: Ellipse(EmfRect(r, 8)); break;
    case U_EMR_RECTANGLE: Rectangle(EmfRect(r, 8)); break;
    case U_EMR_ROUNDRECT: RoundRect(EmfRect(r, 8), r.I32(24), r.I32(28)); break;
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO:
        ArcFigure(EmfRect(r, 8), QPointF(r.I32(24), r.I32(28)), QPointF(r.I32(32), r.I32(36)),
                  type == U_EMR_CHORD ? 1 : type == U_EMR_PIE ? 2 : 0);
        break;
    case U_EMR_BEGINPATH: FPathOpen = true; FPath = QPainterPath(); FPath.moveTo(s.current); break;
    case U_EMR_ENDPATH: FPathOpen = false; break;
    case U_EMR_ABORTPATH: FPathOpen = false; FPath = QPainterPath(); break;
    case U_EMR_CLOSEFIGURE: if (FPathOpen) FPath.closeSubpath(); break;
    case U_EMR_FILLPATH: DrawShape(FPath, true, false); FPath = QPainterPath(); break;
    case U_EMR_STROKEPATH: DrawShape(FPath, false, true); FPath = QPainterPath(); break;
    case U_EMR_STROKEANDFILLPATH: DrawShape(FPath, true, true); FPath = QPainterPath(); break;
    case U_EMR_SELECTCLIPPATH: {
        QPainterPath area = LogicalToDest().map(FPath);
        area.setFillRule(s.fillRule);
        const quint32 mode = r.U32(8);
        if (!s.clipping || mode == 5)
            s.clip = area;
        else if (mode == 1)
            s.clip = s.clip.intersected(area);
        else if (mode == 2)
            s.clip = s.clip.united(area);
        else if (mode == 4)
            s.clip = s.clip.subtracted(area);
        s.clipping = true;
        FPath = QPainterPath();
        ApplyClip();
        break;
    }
    case U_EMR_EXTSELECTCLIPRGN: {
        const quint32 dataSize = r.U32(8);
        const quint32 mode = r.U32(12);
        if (dataSize < 32) {
            if (mode == 5) { // RGN_COPY of nothing: no clipping
                s.clipping = false;
                s.clip = QPainterPath();
                ApplyClip();
            }
            break;
        }
        const quint32 count = r.U32(24);
        QPainterPath area;
        for (quint32 i = 0; i < count && r.Holds(48 + qint64(i) * 16, 16); ++i)
            area.addRect(EmfRect(r, 48 + qint64(i) * 16));
        area = FDeviceToDest.map(area);
        if (!s.clipping || mode == 5)
            s.clip = area;
        else if (mode == 1)
            s.clip = s.clip.intersected(area);
        else if (mode == 2)
            s.clip = s.clip.united(area);
        else if (mode == 4)
            s.clip = s.clip.subtracted(area);
        s.clipping = true;
        ApplyClip();
        break;
    }
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW: {
        const QPointF at(r.I32(36), r.I32(40));
        const quint32 chars = r.U32(44);
        const quint32 offString = r.U32(48);
        const quint32 options = r.U32(52);
        const QRectF box = EmfRect(r, 56);
        QString text;
        if (type == U_EMR_EXTTEXTOUTW) {
            if (r.Holds(offString, qint64(chars) * 2))
                for (quint32 i = 0; i < chars; ++i)
                    text.append(QChar(r.U16(offString + 2 * i)));
        } else {
            text = AnsiToString(r.Bytes(offString, chars));
        }
        // The advances, one a character (two, x and y, with ETO_PDY).
        QList<double> advances;
        const quint32 offDx = r.U32(72);
        const qint64 stride = options & 0x2000 ? 8 : 4;
        if (offDx != 0 && qsizetype(chars) == text.size() && r.Holds(offDx, qint64(chars) * stride)) {
            advances.reserve(text.size());
            for (quint32 i = 0; i < chars; ++i)
                advances.append(r.I32(offDx + stride * i));
        }
        if (options & 0x0004) { // ETO_CLIPPED
            FPainter.save();
            FPainter.setClipRect(box.normalized(), Qt::IntersectClip);
            TextOut(at, text, box, options & 0x0002, advances);
            FPainter.restore();
        } else {
            TextOut(at, text, box, options & 0x0002, advances);
        }
        break;
    }
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT: {
        const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
        const quint32 rop = r.U32(40);
        const quint32 cbBmi = r.U32(88);
        if (cbBmi == 0) {
            PatBlt(dest, rop);
            break;
        }
        const QImage image = EmfDib(r, r.U32(84), cbBmi, r.U32(92), r.U32(96));
        const QSizeF sourceSize = type == U_EMR_STRETCHBLT ? QSizeF(r.I32(100), r.I32(104)) : dest.size();
        DrawImage(dest, image, QRectF(QPointF(r.I32(44), r.I32(48)), sourceSize), rop);
        break;
    }
    case U_EMR_STRETCHDIBITS: {
        const QImage image = EmfDib(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
        if (image.isNull())
            break;
        const QRectF dest(r.I32(24), r.I32(28), r.I32(72), r.I32(76));
        // The source rectangle counts rows from the bottom of the bitmap.
        const double ySrc = r.I32(36), cySrc = r.I32(44);
        const QRectF source(r.I32(32), image.height() - ySrc - cySrc, r.I32(40), cySrc);
        DrawImage(dest, image, source.intersected(QRectF(image.rect())), r.U32(68));
        break;
    }
    case U_EMR_SETDIBITSTODEVICE: {
        const QImage image = EmfDib(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
        if (image.isNull())
            break;
        const QRectF dest(r.I32(24), r.I32(28), r.I32(40), r.I32(44));
        DrawImage(dest, image, QRectF(r.I32(32), r.I32(36), r.I32(40), r.I32(44)).intersected(QRectF(image.rect())),
                  0x00CC0020);
        break;
    }
    default: break; // unknown records are skipped
    }
}

} // namespace

// ======================================================================
// Facts and the public face

bool ReadMetafileFacts(const QByteArray &image, TMetafileFacts &facts)
{
    const TRecord r(image.constData(), image.size());
    facts = TMetafileFacts();
    if (r.Holds(0, 88) && r.U32(0) == U_EMR_HEADER && r.U32(40) == 0x464D4520) {
        // Enhanced metafile: the header's byte count must be there, and the
        // records must chain to the closing record within it.
        const quint32 bytes = r.U32(48);
        if (bytes > quint32(image.size()) || bytes < 88)
            return false;
        qint64 pos = 0;
        int records = 0;
        bool closed = false;
        while (pos + 8 <= bytes) {
            const quint32 type = r.U32(pos);
            const qint64 size = r.U32(pos + 4);
            if (size < 8 || size % 4 != 0 || pos + size > bytes)
                return false;
            ++records;
            pos += size;
            if (type == U_EMR_EOF) {
                closed = true;
                break;
            }
        }
        if (!closed)
            return false;
        const QRectF frame = EmfRect(r, 24);
        facts.enhanced = true;
        // The frame is inclusive, in hundredths of a millimetre.
        facts.widthPixels = qMax(0, qRound((frame.width() + 1) * 96 / 2540.0));
        facts.heightPixels = qMax(0, qRound((frame.height() + 1) * 96 / 2540.0));
        facts.recordCount = records;
        return facts.widthPixels > 0 && facts.heightPixels > 0;
    }
    if (!r.Holds(0, kPlaceableSize + 18) || r.U32(0) != kPlaceableKey)
        return false;
    const int left = r.I16(6), top = r.I16(8), right = r.I16(10), bottom = r.I16(12);
    const int inch = r.U16(14);
    const qint64 header = kPlaceableSize;
    const quint16 kind = r.U16(header);
    const quint16 headerWords = r.U16(header + 2);
    if (inch == 0 || right == left || bottom == top || (kind != 1 && kind != 2) || headerWords != 9)
        return false;
    const qint64 totalBytes = qint64(r.U32(header + 6)) * 2;
    if (header + totalBytes > image.size())
        return false;
    qint64 pos = header + 18;
    int records = 0;
    bool closed = false;
    while (pos + 6 <= image.size()) {
        const qint64 size = qint64(r.U32(pos)) * 2;
        if (size < 6 || pos + size > image.size())
            return false;
        ++records;
        if (r.U16(pos + 4) == 0) {
            closed = true;
            break;
        }
        pos += size;
    }
    if (!closed)
        return false;
    facts.widthPixels = qRound(qAbs(right - left) * 96.0 / inch);
    facts.heightPixels = qRound(qAbs(bottom - top) * 96.0 / inch);
    facts.recordCount = records;
    return facts.widthPixels > 0 && facts.heightPixels > 0;
}

QByteArray MakePlaceable(const QByteArray &plainWmf)
{
    const TRecord r(plainWmf.constData(), plainWmf.size());
    if (!r.Holds(0, 18) || (r.U16(0) != 1 && r.U16(0) != 2) || r.U16(2) != 9)
        return QByteArray();
    // The window the records set, else the extent of what they draw.
    int orgX = 0, orgY = 0, extX = 0, extY = 0;
    qint64 pos = 18;
    while (pos + 6 <= plainWmf.size()) {
        const qint64 size = qint64(r.U32(pos)) * 2;
        if (size < 6 || pos + size > plainWmf.size())
            break;
        const quint16 function = r.U16(pos + 4);
        if (function == 0x020B) {
            orgY = r.I16(pos + 6);
            orgX = r.I16(pos + 8);
        } else if (function == 0x020C) {
            extY = r.I16(pos + 6);
            extX = r.I16(pos + 8);
        } else if (function == 0) {
            break;
        }
        pos += size;
    }
    if (extX == 0 || extY == 0)
        return QByteArray();
    // Clip art windows are mostly in twips or similar small units.
    const int inch = qMax(qAbs(extX), qAbs(extY)) > 2000 ? 1440 : 96;
    QByteArray header(kPlaceableSize, '\0');
    char *h = header.data();
    qToLittleEndian<quint32>(kPlaceableKey, h);
    qToLittleEndian<qint16>(qint16(orgX), h + 6);
    qToLittleEndian<qint16>(qint16(orgY), h + 8);
    qToLittleEndian<qint16>(qint16(orgX + extX), h + 10);
    qToLittleEndian<qint16>(qint16(orgY + extY), h + 12);
    qToLittleEndian<quint16>(quint16(inch), h + 14);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(h + 2 * i);
    qToLittleEndian<quint16>(checksum, h + 20);
    return header + plainWmf;
}

namespace {
bool Play(QPainter &painter, const QByteArray &image, const QRectF &dest)
{
    if (image.size() < 8 || dest.isEmpty())
        return false;
    TPlayer player(painter, dest);
    if (qFromLittleEndian<quint32>(image.constData()) == kPlaceableKey)
        player.PlayWmf(image);
    else
        player.PlayEmf(image);
    return player.UsedRasterOperation();
}
} // namespace

void PlayMetafile(QPainter &painter, const QByteArray &image, const QRectF &dest) { Play(painter, image, dest); }

bool MetafileUsesRasterOperations(const QByteArray &image)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    return Play(painter, image, QRectF(0, 0, 1, 1));
}

} // namespace platform

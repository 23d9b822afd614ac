#include "platform/Graphics.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"

#include <QPainter>
#include <array>

namespace platform {
namespace {

struct CharsetName {
    int value;
    const char *name;
};

constexpr std::array<CharsetName, 19> kCharsetNames{{
    {0, "ANSI_CHARSET"},        {1, "DEFAULT_CHARSET"},   {2, "SYMBOL_CHARSET"},
    {128, "SHIFTJIS_CHARSET"},  {129, "HANGEUL_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {255, "OEM_CHARSET"},   {130, "JOHAB_CHARSET"},
    {177, "HEBREW_CHARSET"},    {178, "ARABIC_CHARSET"},  {161, "GREEK_CHARSET"},
    {162, "TURKISH_CHARSET"},   {163, "VIETNAMESE_CHARSET"}, {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"}, {204, "RUSSIAN_CHARSET"}, {77, "MAC_CHARSET"},
    {186, "BALTIC_CHARSET"},
}};

} // namespace

std::optional<QString> CharsetToIdent(int charset)
{
    for (const auto &c : kCharsetNames)
        if (c.value == charset)
            return QString::fromLatin1(c.name);
    return std::nullopt;
}

std::optional<int> IdentToCharset(const QString &ident)
{
    for (const auto &c : kCharsetNames)
        if (ident.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    return std::nullopt;
}

Qt::PenStyle ToQtPenStyle(Vcl::TPenStyle style)
{
    switch (style) {
    case Vcl::psDash: return Qt::DashLine;
    case Vcl::psDot: return Qt::DotLine;
    case Vcl::psDashDot: return Qt::DashDotLine;
    case Vcl::psDashDotDot: return Qt::DashDotDotLine;
    case Vcl::psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QBrush ToQBrush(const TBrush &brush)
{
    const QColor color = ToQColor(brush.Color());
    switch (brush.Style()) {
    case Vcl::bsClear: return QBrush(Qt::NoBrush);
    case Vcl::bsHorizontal: return QBrush(color, Qt::HorPattern);
    case Vcl::bsVertical: return QBrush(color, Qt::VerPattern);
    case Vcl::bsFDiagonal: return QBrush(color, Qt::BDiagPattern);
    case Vcl::bsBDiagonal: return QBrush(color, Qt::FDiagPattern);
    case Vcl::bsCross: return QBrush(color, Qt::CrossPattern);
    case Vcl::bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
    default: return QBrush(color, Qt::SolidPattern);
    }
}

QPainter::CompositionMode ToCompositionMode(Vcl::TPenMode mode)
{
    switch (mode) {
    case Vcl::pmXor: return QPainter::RasterOp_SourceXorDestination;
    case Vcl::pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case Vcl::pmNot: return QPainter::RasterOp_NotDestination;
    case Vcl::pmNotCopy: return QPainter::RasterOp_NotSource;
    case Vcl::pmMask: return QPainter::RasterOp_SourceAndDestination;
    case Vcl::pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case Vcl::pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case Vcl::pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case Vcl::pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case Vcl::pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case Vcl::pmMergePenNot: return QPainter::RasterOp_NotSourceOrDestination;
    case Vcl::pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace platform

// ---- TFont ----

TFont::TFont(QObject *parent) : QObject(parent) {}

#define QUORVEL_SETTER(field, v) \
    if (field == v)              \
        return;                  \
    field = v;                   \
    emit Changed();

void TFont::SetCharset(TFontCharset v) { QUORVEL_SETTER(FCharset.value, v.value) }
void TFont::SetColor(TColor v) { QUORVEL_SETTER(FColor.value, v.value) }
void TFont::SetHeight(int v) { QUORVEL_SETTER(FHeight, v) }
// A font always has a face: an empty name, which only a damaged card file
// holds, is ignored (and could not be saved, being the default of nothing).
void TFont::SetName(const QString &v)
{
    if (v.isEmpty())
        return;
    QUORVEL_SETTER(FName, v)
}
void TFont::SetPitch(Vcl::TFontPitch v) { QUORVEL_SETTER(FPitch, v) }
void TFont::SetStyle(Vcl::TFontStyles v) { QUORVEL_SETTER(FStyle, v) }

int TFont::Size() const
{
    return -platform::MulDiv(FHeight, 72, platform::ScreenPixelsPerInch());
}

void TFont::SetSize(int points)
{
    SetHeight(-platform::MulDiv(points, platform::ScreenPixelsPerInch(), 72));
}

void TFont::Assign(const TFont &o)
{
    if (&o == this)
        return;
    const bool same = SameAs(o);
    QSignalBlocker block(this);
    FCharset = o.FCharset;
    FColor = o.FColor;
    FHeight = o.FHeight;
    FName = o.FName;
    FPitch = o.FPitch;
    FStyle = o.FStyle;
    if (!same) {
        block.unblock();
        emit Changed();
    }
}

bool TFont::SameAs(const TFont &o) const
{
    return FCharset.value == o.FCharset.value && FColor.value == o.FColor.value && FHeight == o.FHeight
        && FName == o.FName && FPitch == o.FPitch && FStyle == o.FStyle;
}

QFont TFont::ToQFont(double zoom) const
{
    QFont f(FName);
    // A positive height includes the internal leading; a negative one is the
    // character height itself, which is what a pixel size means to Qt.
    // In 64 bits: the negative of INT_MIN has no int.
    const qint64 height = FHeight < 0 ? -qint64(FHeight) : qint64(FHeight);
    const int pixels = platform::Trunc(double(height) * zoom);
    f.setPixelSize(qMax(1, pixels));
    f.setBold(FStyle.testFlag(Vcl::fsBold));
    f.setItalic(FStyle.testFlag(Vcl::fsItalic));
    f.setUnderline(FStyle.testFlag(Vcl::fsUnderline));
    f.setStrikeOut(FStyle.testFlag(Vcl::fsStrikeOut));
    if (FPitch == Vcl::fpFixed)
        f.setFixedPitch(true);
    return f;
}

// ---- TPen ----

TPen::TPen(QObject *parent) : QObject(parent) {}
void TPen::SetColor(TColor v) { QUORVEL_SETTER(FColor.value, v.value) }
void TPen::SetMode(Vcl::TPenMode v) { QUORVEL_SETTER(FMode, v) }
void TPen::SetStyle(Vcl::TPenStyle v) { QUORVEL_SETTER(FStyle, v) }
void TPen::SetWidth(int v) { QUORVEL_SETTER(FWidth, v) }

void TPen::Assign(const TPen &o)
{
    if (&o == this)
        return;
    SetColor(o.FColor);
    SetMode(o.FMode);
    SetStyle(o.FStyle);
    SetWidth(o.FWidth);
}

// ---- TBrush ----

TBrush::TBrush(QObject *parent) : QObject(parent) {}
void TBrush::SetColor(TColor v) { QUORVEL_SETTER(FColor.value, v.value) }
void TBrush::SetStyle(Vcl::TBrushStyle v) { QUORVEL_SETTER(FStyle, v) }

void TBrush::Assign(const TBrush &o)
{
    if (&o == this)
        return;
    SetColor(o.FColor);
    SetStyle(o.FStyle);
}

#undef QUORVEL_SETTER

// Font, pen and brush values of card objects, with the enumerations the card
// file stores by name. They are QObjects so that the component stream can write
// their properties as dotted entries ("Pen.Width", "Font.Name").
#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QMetaType>
#include <QObject>
#include <QPainter>
#include <QPen>
#include <QBrush>
#include <cstdint>
#include <optional>

// An 8-bit character set number; named values are written as identifiers.
struct TFontCharset {
    uint8_t value = 1;
    constexpr TFontCharset() = default;
    constexpr TFontCharset(int v) : value(uint8_t(v)) {}
    constexpr operator int() const { return value; }
};
Q_DECLARE_METATYPE(TFontCharset)

namespace Vcl {
Q_NAMESPACE

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
Q_ENUM_NS(TPenStyle)

enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
Q_ENUM_NS(TPenMode)

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
Q_ENUM_NS(TBrushStyle)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

// Set members are bit positions: fsBold is member 0.
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TBorderStyle { bsNone, bsSingle };
Q_ENUM_NS(TBorderStyle)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

} // namespace Vcl
Q_DECLARE_OPERATORS_FOR_FLAGS(Vcl::TFontStyles)

namespace platform {
// Named character sets of the card file format.
std::optional<QString> CharsetToIdent(int charset);
std::optional<int> IdentToCharset(const QString &ident);
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
} // namespace platform

// A font description: face, character height in pixels (negative, as stored),
// style, colour, character set and pitch.
class TFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TFontCharset Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(Vcl::TFontPitch Pitch READ Pitch WRITE SetPitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(Vcl::TFontStyles Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Charset", "1")
    Q_CLASSINFO("default:Pitch", "fpDefault")

public:
    explicit TFont(QObject *parent = nullptr);

    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    QString Name() const { return FName; }
    void SetName(const QString &v);
    Vcl::TFontPitch Pitch() const { return FPitch; }
    void SetPitch(Vcl::TFontPitch v);
    int Size() const;
    void SetSize(int points);
    Vcl::TFontStyles Style() const { return FStyle; }
    void SetStyle(Vcl::TFontStyles v);

    void Assign(const TFont &other);
    bool SameAs(const TFont &other) const;
    // A Qt font of the character height at the given zoom (size x zoom, truncated).
    QFont ToQFont(double zoom = 1.0) const;

signals:
    void Changed();

private:
    TFontCharset FCharset{platform::DEFAULT_CHARSET};
    TColor FColor{platform::clWindowText};
    int FHeight = -13; // 10 points at 96 pixels per inch
    QString FName = QStringLiteral("MS Sans Serif");
    Vcl::TFontPitch FPitch = Vcl::fpDefault;
    Vcl::TFontStyles FStyle;
};

class TPen : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(Vcl::TPenMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(Vcl::TPenStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Color", "0")
    Q_CLASSINFO("default:Mode", "pmCopy")
    Q_CLASSINFO("default:Style", "psSolid")
    Q_CLASSINFO("default:Width", "1")

public:
    explicit TPen(QObject *parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    Vcl::TPenMode Mode() const { return FMode; }
    void SetMode(Vcl::TPenMode v);
    Vcl::TPenStyle Style() const { return FStyle; }
    void SetStyle(Vcl::TPenStyle v);
    int Width() const { return FWidth; }
    void SetWidth(int v);

    void Assign(const TPen &other);

signals:
    void Changed();

private:
    TColor FColor{platform::clBlack};
    Vcl::TPenMode FMode = Vcl::pmCopy;
    Vcl::TPenStyle FStyle = Vcl::psSolid;
    int FWidth = 1;
};

class TBrush : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(Vcl::TBrushStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Color", "16777215")
    Q_CLASSINFO("default:Style", "bsSolid")

public:
    explicit TBrush(QObject *parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    Vcl::TBrushStyle Style() const { return FStyle; }
    void SetStyle(Vcl::TBrushStyle v);

    void Assign(const TBrush &other);

signals:
    void Changed();

private:
    TColor FColor{platform::clWhite};
    Vcl::TBrushStyle FStyle = Vcl::bsSolid;
};

namespace platform {
// Qt equivalents for drawing.
Qt::PenStyle ToQtPenStyle(Vcl::TPenStyle style);
QBrush ToQBrush(const TBrush &brush);
// The composition mode standing in for a pen's raster mode (raster devices only).
QPainter::CompositionMode ToCompositionMode(Vcl::TPenMode mode);
} // namespace platform

// Colour values as card files store them: 32-bit, red in the lowest byte, then
// green and blue; a set high byte names a system colour that is resolved to RGB
// before any arithmetic.
#pragma once

#include <QColor>
#include <QMetaType>
#include <QString>
#include <cstdint>
#include <optional>

struct TColor {
    int32_t value = 0;
    constexpr TColor() = default;
    constexpr TColor(int32_t v) : value(v) {}
    constexpr operator int32_t() const { return value; }
};
Q_DECLARE_METATYPE(TColor)

namespace platform {

constexpr int32_t clBlack = 0x000000;
constexpr int32_t clMaroon = 0x000080;
constexpr int32_t clGreen = 0x008000;
constexpr int32_t clOlive = 0x008080;
constexpr int32_t clNavy = 0x800000;
constexpr int32_t clPurple = 0x800080;
constexpr int32_t clTeal = 0x808000;
constexpr int32_t clGray = 0x808080;
constexpr int32_t clSilver = 0xC0C0C0;
constexpr int32_t clRed = 0x0000FF;
constexpr int32_t clLime = 0x00FF00;
constexpr int32_t clYellow = 0x00FFFF;
constexpr int32_t clBlue = 0xFF0000;
constexpr int32_t clFuchsia = 0xFF00FF;
constexpr int32_t clAqua = 0xFFFF00;
constexpr int32_t clWhite = 0xFFFFFF;
constexpr int32_t clSystemBase = int32_t(0x80000000u);
constexpr int32_t clBtnFace = clSystemBase | 15;
constexpr int32_t clBtnShadow = clSystemBase | 16;
constexpr int32_t clWindow = clSystemBase | 5;
constexpr int32_t clWindowText = clSystemBase | 8;
constexpr int32_t clNone = 0x1FFFFFFF;
constexpr int32_t clDefault = 0x20000000;

// The identifier a card file uses for a colour value, if it has one.
std::optional<QString> ColorToIdent(int32_t color);
// The colour value of an identifier ("clNavy"), compared without regard to case.
std::optional<int32_t> IdentToColor(const QString &ident);

// Resolves system colours to plain RGB (high byte 0).
int32_t ColorToRGB(int32_t color);
QColor ToQColor(int32_t color);
int32_t FromQColor(const QColor &color);

} // namespace platform

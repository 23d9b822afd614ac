#include "platform/Colors.h"

#include <array>

namespace platform {
namespace {

struct ColorName {
    int32_t value;
    const char *name;
};

// The colour identifiers of the card file format, in the order the format's
// writer searches them (the first name of a value wins).
constexpr std::array<ColorName, 42> kColorNames{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clSystemBase | 0, "clScrollBar"},
    {clSystemBase | 1, "clBackground"},
    {clSystemBase | 2, "clActiveCaption"},
    {clSystemBase | 3, "clInactiveCaption"},
    {clSystemBase | 4, "clMenu"},
    {clSystemBase | 5, "clWindow"},
    {clSystemBase | 6, "clWindowFrame"},
    {clSystemBase | 7, "clMenuText"},
    {clSystemBase | 8, "clWindowText"},
    {clSystemBase | 9, "clCaptionText"},
    {clSystemBase | 10, "clActiveBorder"},
    {clSystemBase | 11, "clInactiveBorder"},
    {clSystemBase | 12, "clAppWorkSpace"},
    {clSystemBase | 13, "clHighlight"},
    {clSystemBase | 14, "clHighlightText"},
    {clSystemBase | 15, "clBtnFace"},
    {clSystemBase | 16, "clBtnShadow"},
    {clSystemBase | 17, "clGrayText"},
    {clSystemBase | 18, "clBtnText"},
    {clSystemBase | 19, "clInactiveCaptionText"},
    {clSystemBase | 20, "clBtnHighlight"},
    {clSystemBase | 21, "cl3DDkShadow"},
    {clSystemBase | 22, "cl3DLight"},
    {clSystemBase | 23, "clInfoText"},
    {clSystemBase | 24, "clInfoBk"},
    {clNone, "clNone"},
}};

// Classic desktop system colours (the values a default Windows scheme shows),
// so that cards using them print the same everywhere.
constexpr std::array<int32_t, 25> kSystemColors{{
    0xC8C8C8, // scroll bar
    0xA56E3A, // background
    0x6A240A, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // app workspace
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // gray text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3-D dark shadow
    0xC0C0C0, // 3-D light
    0x000000, // info text
    0xE1FFFF, // info background
}};

} // namespace

std::optional<QString> ColorToIdent(int32_t color)
{
    for (const auto &c : kColorNames)
        if (c.value == color)
            return QString::fromLatin1(c.name);
    return std::nullopt;
}

std::optional<int32_t> IdentToColor(const QString &ident)
{
    for (const auto &c : kColorNames)
        if (ident.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.value;
    if (ident.compare(QLatin1String("clDefault"), Qt::CaseInsensitive) == 0)
        return clDefault;
    return std::nullopt;
}

int32_t ColorToRGB(int32_t color)
{
    if (color < 0) {
        const int index = color & 0xFF;
        return index < int(kSystemColors.size()) ? kSystemColors[index] : 0;
    }
    if (color == clNone)
        return clWhite;
    if (color == clDefault)
        return clBlack;
    return color & 0xFFFFFF;
}

QColor ToQColor(int32_t color)
{
    const int32_t rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

int32_t FromQColor(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

} // namespace platform

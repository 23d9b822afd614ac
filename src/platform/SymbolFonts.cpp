#include "platform/SymbolFonts.h"

#include "platform/AnsiText.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QRawFont>
#include <array>

namespace platform {
namespace {

using TCodeTable = std::array<char32_t, 224>; // codes 32 to 255

// The published Wingdings to Unicode correspondence; 0x7F and the Windows
// logo at 0xFF have no Unicode character.
constexpr TCodeTable kWingdings{{
    0x0020,  0x1F589, 0x2702,  0x2701,  0x1F453, 0x1F56D, 0x1F56E, 0x1F56F, // 0x20
    0x1F57F, 0x2706,  0x1F582, 0x1F583, 0x1F4EA, 0x1F4EB, 0x1F4EC, 0x1F4ED, // 0x28
    0x1F4C1, 0x1F4C2, 0x1F4C4, 0x1F5CF, 0x1F5D0, 0x1F5C4, 0x231B,  0x1F5AE, // 0x30
    0x1F5B0, 0x1F5B2, 0x1F5B3, 0x1F5B4, 0x1F5AB, 0x1F5AC, 0x2707,  0x270D,  // 0x38
    0x1F58E, 0x270C,  0x1F44C, 0x1F44D, 0x1F44E, 0x261C,  0x261E,  0x261D,  // 0x40
    0x261F,  0x1F590, 0x263A,  0x1F610, 0x2639,  0x1F4A3, 0x2620,  0x1F3F3, // 0x48
    0x1F3F1, 0x2708,  0x263C,  0x1F4A7, 0x2744,  0x1F546, 0x271E,  0x1F548, // 0x50
    0x2720,  0x2721,  0x262A,  0x262F,  0x0950,  0x2638,  0x2648,  0x2649,  // 0x58
    0x264A,  0x264B,  0x264C,  0x264D,  0x264E,  0x264F,  0x2650,  0x2651,  // 0x60
    0x2652,  0x2653,  0x1F670, 0x1F675, 0x25CF,  0x1F53E, 0x25A0,  0x25A1,  // 0x68
    0x1F790, 0x2751,  0x2752,  0x2B27,  0x29EB,  0x25C6,  0x2756,  0x2B25,  // 0x70
    0x2327,  0x2BB9,  0x2318,  0x1F3F5, 0x1F3F6, 0x1F676, 0x1F677, 0,       // 0x78
    0x24EA,  0x2460,  0x2461,  0x2462,  0x2463,  0x2464,  0x2465,  0x2466,  // 0x80
    0x2467,  0x2468,  0x2469,  0x24FF,  0x2776,  0x2777,  0x2778,  0x2779,  // 0x88
    0x277A,  0x277B,  0x277C,  0x277D,  0x277E,  0x277F,  0x1F662, 0x1F660, // 0x90
    0x1F661, 0x1F663, 0x1F65E, 0x1F65C, 0x1F65D, 0x1F65F, 0x00B7,  0x2022,  // 0x98
    0x25AA,  0x26AA,  0x1F786, 0x1F788, 0x25C9,  0x25CE,  0x1F53F, 0x25AA,  // 0xA0
    0x25FB,  0x1F7C2, 0x2726,  0x2605,  0x2736,  0x2734,  0x2739,  0x2735,  // 0xA8
    0x2BD0,  0x2316,  0x27E1,  0x2311,  0x2BD1,  0x272A,  0x2730,  0x1F550, // 0xB0
    0x1F551, 0x1F552, 0x1F553, 0x1F554, 0x1F555, 0x1F556, 0x1F557, 0x1F558, // 0xB8
    0x1F559, 0x1F55A, 0x1F55B, 0x2BB0,  0x2BB1,  0x2BB2,  0x2BB3,  0x2BB4,  // 0xC0
    0x2BB5,  0x2BB6,  0x2BB7,  0x1F66A, 0x1F66B, 0x1F655, 0x1F654, 0x1F657, // 0xC8
    0x1F656, 0x1F650, 0x1F651, 0x1F652, 0x1F653, 0x232B,  0x2326,  0x2B98,  // 0xD0
    0x2B9A,  0x2B99,  0x2B9B,  0x2B88,  0x2B8A,  0x2B89,  0x2B8B,  0x1F868, // 0xD8
    0x1F86A, 0x1F869, 0x1F86B, 0x1F86C, 0x1F86D, 0x1F86F, 0x1F86E, 0x1F878, // 0xE0
    0x1F87A, 0x1F879, 0x1F87B, 0x1F87C, 0x1F87D, 0x1F87F, 0x1F87E, 0x21E6,  // 0xE8
    0x21E8,  0x21E7,  0x21E9,  0x2B04,  0x21F3,  0x2B00,  0x2B01,  0x2B03,  // 0xF0
    0x2B02,  0x1F8AC, 0x1F8AD, 0x1F5F6, 0x2714,  0x1F5F7, 0x1F5F9, 0,       // 0xF8
}};

// The Symbol font's correspondence. Where the published table points into the
// corporate-use area (the serif and sans-serif trademark signs, the pieces of
// tall brackets and arrows), the standard character of the same shape is used,
// because only the Symbol font itself draws those private code points.
constexpr TCodeTable kSymbol{{
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, // 0x20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F, // 0x28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, // 0x30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, // 0x38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, // 0x40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, // 0x48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, // 0x50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, // 0x58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, // 0x60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, // 0x68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, // 0x70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,      // 0x78
    0,      0,      0,      0,      0,      0,      0,      0,      // 0x80
    0,      0,      0,      0,      0,      0,      0,      0,      // 0x88
    0,      0,      0,      0,      0,      0,      0,      0,      // 0x90
    0,      0,      0,      0,      0,      0,      0,      0,      // 0x98
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, // 0xA0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193, // 0xA8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, // 0xB0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, // 0xB8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, // 0xC0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, // 0xC8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, // 0xD0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, // 0xD8
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, // 0xE0
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, // 0xE8
    0,      0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, // 0xF0
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,      // 0xF8
}};

// Characters of the same meaning from older Unicode blocks, for Wingdings
// pictures whose published equivalents few installed fonts draw yet.
struct TStandIn {
    int code;
    char32_t character;
};
constexpr std::array<TStandIn, 15> kWingdingsStandIns{{
    {0x21, 0x270F}, // pencil
    {0x28, 0x260E}, // black telephone for the touch-tone telephone
    {0x2A, 0x2709}, // envelope
    {0x2B, 0x2709}, // envelope
    {0x36, 0x29D7}, // black hourglass
    {0x37, 0x2328}, // keyboard
    {0x40, 0x270D}, // writing hand
    {0x49, 0x270B}, // raised hand
    {0x4F, 0x2690}, // white flag
    {0x50, 0x2690}, // white flag for the pennant
    {0x55, 0x271D}, // latin cross
    {0x6D, 0x274D}, // shadowed white circle
    {0xFB, 0x2718}, // heavy ballot x
    {0xFD, 0x2612}, // ballot box with x
    {0xFE, 0x2611}, // ballot box with check
}};

QStringList PreferredFamilies(TSymbolSet set)
{
    if (set == TSymbolSet::Symbol)
        return {QStringLiteral("Standard Symbols PS"), QStringLiteral("DejaVu Sans"),
                QStringLiteral("DejaVu Math TeX Gyre"), QStringLiteral("DejaVu Serif"), QStringLiteral("Symbola"),
                QStringLiteral("Liberation Sans"), QStringLiteral("Liberation Serif")};
    return {QStringLiteral("Symbola"), QStringLiteral("DejaVu Sans"), QStringLiteral("D050000L"),
            QStringLiteral("Noto Sans Symbols2"), QStringLiteral("Noto Sans Symbols"),
            QStringLiteral("DejaVu Sans Mono"), QStringLiteral("DejaVu Serif"),
            QStringLiteral("DejaVu Math TeX Gyre"), QStringLiteral("Standard Symbols PS"),
            QStringLiteral("Liberation Sans")};
}

bool SupportsCharacter(const QString &family, char32_t c)
{
    static QHash<QString, QRawFont> cache;
    auto it = cache.find(family);
    if (it == cache.end()) {
        QFont font(family);
        font.setPixelSize(20);
        font.setStyleStrategy(QFont::NoFontMerging);
        it = cache.insert(family, QRawFont::fromFont(font));
    }
    return it->isValid() && it->supportsCharacter(c);
}

char32_t StandInFor(TSymbolSet set, int code)
{
    if (set != TSymbolSet::Wingdings)
        return 0;
    for (const TStandIn &s : kWingdingsStandIns)
        if (s.code == code)
            return s.character;
    return 0;
}

} // namespace

bool IsSymbolFace(const QString &face, int charset)
{
    return charset == SYMBOL_CHARSET || face.compare(QLatin1String("wingdings"), Qt::CaseInsensitive) == 0
        || face.compare(QLatin1String("symbol"), Qt::CaseInsensitive) == 0;
}

bool FamilyInstalled(const QString &face)
{
    static QHash<QString, bool> cache;
    const QString key = face.toLower();
    auto it = cache.find(key);
    if (it == cache.end()) {
        bool found = false;
        for (const QString &family : QFontDatabase::families()) {
            // Families installed from several foundries carry the foundry in brackets.
            const QString plain = family.section(QLatin1String(" ["), 0, 0);
            if (plain.compare(face, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        }
        it = cache.insert(key, found);
    }
    return *it;
}

TSymbolSet SymbolSetFor(const QString &face, int charset)
{
    if (!IsSymbolFace(face, charset) || FamilyInstalled(face))
        return TSymbolSet::None;
    if (face.compare(QLatin1String("wingdings"), Qt::CaseInsensitive) == 0)
        return TSymbolSet::Wingdings;
    return TSymbolSet::Symbol;
}

char32_t SymbolToUnicode(TSymbolSet set, int code)
{
    if (code < 32 || code > 255)
        return 0;
    switch (set) {
    case TSymbolSet::Wingdings: return kWingdings[code - 32];
    case TSymbolSet::Symbol: return kSymbol[code - 32];
    default: return char32_t(code);
    }
}

QStringList SymbolFallbackFamilies(TSymbolSet set)
{
    // Every installed foundry's version of a preferred family, in the font
    // database's order; the lookup per character skips those without it.
    QStringList result;
    const QStringList installed = QFontDatabase::families();
    for (const QString &preferred : PreferredFamilies(set))
        for (const QString &family : installed)
            if (family == preferred || family.startsWith(preferred + QLatin1String(" [")))
                result.append(family);
    return result;
}

QString SymbolMetricsFamily(TSymbolSet set)
{
    const QStringList families = SymbolFallbackFamilies(set);
    return families.isEmpty() ? QFont().family() : families.first();
}

TSymbolGlyph ResolveSymbolGlyph(TSymbolSet set, int code)
{
    static QHash<int, TSymbolGlyph> cache;
    const int key = int(set) * 256 + code;
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    TSymbolGlyph glyph;
    glyph.family = SymbolMetricsFamily(set);
    const char32_t published = SymbolToUnicode(set, code);
    if (published == 0) {
        glyph.character = U' '; // no picture: an empty cell
    } else {
        glyph.character = published;
        const QStringList families = SymbolFallbackFamilies(set);
        bool found = false;
        for (char32_t candidate : {published, StandInFor(set, code)}) {
            if (candidate == 0)
                continue;
            for (const QString &family : families)
                if (SupportsCharacter(family, candidate)) {
                    glyph = {candidate, family};
                    found = true;
                    break;
                }
            if (found)
                break;
        }
    }
    cache.insert(key, glyph);
    return glyph;
}

int SymbolCodeOf(QChar c)
{
    const QByteArray bytes = StringToAnsi(QStringView(&c, 1));
    if (bytes.size() != 1)
        return -1;
    const int code = uint8_t(bytes[0]);
    // A character the code page cannot hold comes back as '?'.
    if (code == '?' && c != QLatin1Char('?'))
        return -1;
    return code >= 32 ? code : -1;
}

} // namespace platform

// Symbol faces that this system lacks. Cards name Windows symbol fonts
// ("WingDings", "Symbol") whose characters are codes 32 to 255 with pictures
// of their own. Where such a face is not installed, each code is drawn as its
// published Unicode equivalent in an installed font that has that character,
// so that a telephone stays a telephone on screen, in the Symbol Selector and
// on paper. The card keeps the original face name and character.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The correspondence a font's codes are drawn through.
enum class TSymbolSet {
    None,      // an ordinary face, or a symbol face that is installed
    Wingdings, // the Wingdings pictures
    Symbol,    // the Symbol font's Greek letters and mathematical signs
};

// Whether the face is a symbol face: named "Wingdings" or "Symbol" (in any
// case), or any face with the symbol character set.
bool IsSymbolFace(const QString &face, int charset);

// Whether a font family of exactly that name (any case) is installed; font
// aliases such as "Arial" for a metric-compatible face do not count.
bool FamilyInstalled(const QString &face);

// The set a missing symbol face is drawn through; None when the face is
// installed or is no symbol face. A missing symbol-charset face other than
// Wingdings takes the Symbol correspondence, the usual encoding of such fonts.
TSymbolSet SymbolSetFor(const QString &face, int charset);

// The Unicode character the code stands for in the set (codes 32 to 255);
// 0 where the set has no character for the code.
char32_t SymbolToUnicode(TSymbolSet set, int code);

// What is drawn for a code: the character and the installed family that has
// it. When no installed family has the published equivalent, a character of
// the same meaning from an older Unicode block stands in where one exists
// (the black telephone for the touch-tone telephone).
struct TSymbolGlyph {
    char32_t character = U' ';
    QString family;
};
TSymbolGlyph ResolveSymbolGlyph(TSymbolSet set, int code);

// The installed family whose metrics stand in for the missing face.
QString SymbolMetricsFamily(TSymbolSet set);

// The installed families tried for a set, in order of preference.
QStringList SymbolFallbackFamilies(TSymbolSet set);

// The character code (32 to 255) a caption character has in the card file's
// single-byte character set; -1 for characters outside that set or below 32.
int SymbolCodeOf(QChar c);

} // namespace platform

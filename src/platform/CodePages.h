// Text in the Windows code pages that card files were written in on systems
// set up for other languages. A label whose font names such a character set
// holds its text as bytes of that code page; the conversion goes through the
// C library's iconv, never through tables of our own.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace platform {

// The code page whose bytes a font of this character set shows (1250 for
// EASTEUROPE_CHARSET, 932 for SHIFTJIS_CHARSET, ...); 0 for the character sets
// that show code page 1252 or no code page at all (ANSI, DEFAULT, SYMBOL, OEM).
int CodePageOfCharset(int charset);

// The text the bytes stand for in the code page; nothing when they are not
// valid there or the code page is unknown to the system.
std::optional<QString> DecodeCodePage(QByteArrayView bytes, int codePage);
// The bytes of the text in the code page; nothing when one of its characters
// is not in it (nothing is ever replaced by '?').
std::optional<QByteArray> EncodeCodePage(QStringView text, int codePage);

// Whether code page 1252 holds every character of the text, so that it is
// stored as single bytes exactly as it always was.
bool AnsiHolds(QStringView text);

} // namespace platform

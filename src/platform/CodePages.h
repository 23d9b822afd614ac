// Text in the Windows code pages that card files and RTF text were written in
// on systems set up for other languages: which code page a font's character
// set means, and bytes of a code page turned into text and back. Qt knows only
// UTF and Latin-1, so the conversions go through the C library's iconv, never
// through tables of our own.
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
// The code page of an RTF \fcharset value, which also names the Macintosh,
// Johab, PC 437 and OEM pages; `ansiCodePage` for the ANSI and default
// character sets and for values that name no code page.
int RtfCodePageOfCharset(int charset, int ansiCodePage);

// The text the bytes stand for in the code page; nothing when they are not
// valid there or the code page is unknown to the system.
std::optional<QString> DecodeCodePage(QByteArrayView bytes, int codePage);
// The same, read leniently: bytes the code page does not define become U+FFFD
// and an unknown code page is read as 1252.
QString DecodeCodePageLeniently(QByteArrayView bytes, int codePage);
// The bytes of the text in the code page; nothing when one of its characters
// is not in it (nothing is ever replaced by '?').
std::optional<QByteArray> EncodeCodePage(QStringView text, int codePage);
// The one byte a character has in a single-byte code page, or nothing when
// the code page has no such character (or needs two bytes for it).
std::optional<unsigned char> EncodeCodePageByte(QChar c, int codePage);

// Whether code page 1252 holds every character of the text, so that it is
// stored as single bytes exactly as it always was.
bool AnsiHolds(QStringView text);

} // namespace platform

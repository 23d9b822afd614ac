// Windows code pages for RTF text: which code page a font's character set
// means, and turning bytes of that code page into text and back. Qt knows
// only UTF and Latin-1, so this goes through the C library's iconv.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace richtext {

// The code page of an RTF \fcharset value; `ansiCodePage` for the ANSI and
// default character sets and for values that name no code page.
int CodePageOfCharset(int charset, int ansiCodePage);

// Text of bytes in a code page. Bytes the code page does not define become
// U+FFFD; an unknown code page is read as 1252.
QString DecodeCodePage(const QByteArray &bytes, int codePage);

// The one byte a character has in a single-byte code page, or nothing when
// the code page has no such character (or needs two bytes for it).
std::optional<unsigned char> EncodeCodePageByte(QChar c, int codePage);

} // namespace richtext

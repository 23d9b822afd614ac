// Single-byte ANSI text (Windows code page 1252), the character set of the
// strings in card files. The conversion is lossless for every byte: the five
// bytes the code page leaves undefined map to the control characters of the
// same value and back.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

QString AnsiToString(QByteArrayView bytes);
// Characters the code page cannot hold become '?', one per character.
QByteArray StringToAnsi(QStringView text);

} // namespace platform

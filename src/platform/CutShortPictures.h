// Recognises JPEG and GIF files that end before their last pixel. Their
// readers decode such a file as far as it goes and leave the rest grey or
// black without a word; the program refuses them, as it refuses a bitmap
// cut short.
#pragma once

#include <QByteArray>

namespace platform {

// True when the bytes are a JPEG that stops before its end-of-image marker,
// or a GIF that stops inside one of its blocks. Any other data gives false:
// this looks at nothing but the way these two formats end.
bool IsCutShortPicture(const QByteArray &bytes);

} // namespace platform

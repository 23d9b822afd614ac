// Holds the cut-short check of JPEG and GIF files.
#include "platform/CutShortPictures.h"

namespace {

quint8 Byte(const QByteArray &b, qsizetype at) { return quint8(b[at]); }

// A JPEG is a chain of marked segments; the compressed data after a
// start-of-scan runs until the next marker that is no restart marker and
// no stuffed 0xFF. A whole file reaches its end-of-image marker (bytes
// after it are left alone, as readers do).
bool JpegReachesItsEnd(const QByteArray &b)
{
    const qsizetype size = b.size();
    qsizetype at = 2;
    for (;;) {
        // Readers pass over stray bytes before a marker; so does this.
        while (at < size && Byte(b, at) != 0xFF)
            ++at;
        while (at < size && Byte(b, at) == 0xFF)
            ++at;
        if (at >= size)
            return false;
        const quint8 marker = Byte(b, at++);
        if (marker == 0xD9)
            return true;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01 || marker == 0x00)
            continue; // markers without a segment
        if (at + 2 > size)
            return false;
        const qsizetype length = (qsizetype(Byte(b, at)) << 8) | Byte(b, at + 1);
        if (length < 2 || at + length > size)
            return false;
        at += length;
        if (marker != 0xDA)
            continue;
        // The compressed data of the scan.
        for (;;) {
            if (at + 1 >= size)
                return false;
            if (Byte(b, at) != 0xFF) {
                ++at;
                continue;
            }
            const quint8 next = Byte(b, at + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                at += 2;
                continue;
            }
            if (next == 0xFF) {
                ++at;
                continue;
            }
            break; // the next marker
        }
    }
}

// Passes the data sub-blocks that follow an extension or an image; false
// when the file ends inside them.
bool SkipSubBlocks(const QByteArray &b, qsizetype &at)
{
    for (;;) {
        if (at >= b.size())
            return false;
        const int count = Byte(b, at++);
        if (count == 0)
            return true;
        if (at + count > b.size())
            return false;
        at += count;
    }
}

qsizetype ColorTableBytes(quint8 flags) { return (flags & 0x80) ? 3 * (qsizetype(2) << (flags & 7)) : 0; }

// A GIF is a header, a screen descriptor and its colour table, then
// extensions and images each ending with an empty sub-block, then a
// trailer. A whole file has every block it starts complete; one that
// ends cleanly after its last image without the trailer keeps all its
// pixels and passes.
bool GifBlocksAreWhole(const QByteArray &b)
{
    const qsizetype size = b.size();
    if (size < 13)
        return false;
    qsizetype at = 13 + ColorTableBytes(Byte(b, 10));
    bool sawImage = false;
    for (;;) {
        if (at > size)
            return false;
        if (at == size)
            return sawImage;
        const quint8 introducer = Byte(b, at++);
        if (introducer == 0x3B)
            return sawImage;
        if (introducer == 0x21) {
            if (at >= size)
                return false;
            ++at; // the extension's label
            if (!SkipSubBlocks(b, at))
                return false;
            continue;
        }
        if (introducer != 0x2C)
            return sawImage; // not a block: what came before is what there is
        if (at + 9 > size)
            return false;
        const quint8 flags = Byte(b, at + 8);
        at += 9 + ColorTableBytes(flags);
        if (at >= size)
            return false;
        ++at; // the code size
        if (!SkipSubBlocks(b, at))
            return false;
        sawImage = true;
    }
}

} // namespace

namespace platform {

bool IsCutShortPicture(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xD8"))
        return !JpegReachesItsEnd(bytes);
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return !GifBlocksAreWhole(bytes);
    return false;
}

} // namespace platform

// The image library behind one function: GraphicsMagick decodes the formats
// Qt has no reader for (PCX, run-length and footer-less TGA, Utah RLE, DIB).
#include "platform/Picture.h"

#include <Magick++.h>

#include <mutex>

namespace platform {

namespace {
void InitialiseImageLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // A hostile header must not make the library allocate for it.
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, 24LL * 1024 * 1024);
        MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, 20000);
        MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, 20000);
        MagickLib::SetMagickResourceLimit(MagickLib::MemoryResource, 512LL * 1024 * 1024);
        MagickLib::SetMagickResourceLimit(MagickLib::DiskResource, 0);
    });
}
} // namespace

QImage DecodeWithImageLibrary(const QString &path)
{
    InitialiseImageLibrary();
    try {
        Magick::Image image;
        try {
            image.read(path.toStdString());
        } catch (const Magick::Warning &) {
            // A warning still leaves a usable picture (a short palette, say).
        }
        const int width = int(image.columns());
        const int height = int(image.rows());
        if (width <= 0 || height <= 0)
            return QImage();
        QImage result(width, height, QImage::Format_RGB32);
        if (result.isNull())
            return QImage();
        // Flattened onto white: the program's bitmaps are opaque.
        image.backgroundColor(Magick::Color("white"));
        image.matte(false);
        image.write(0, 0, width, height, "BGRA", Magick::CharPixel, result.bits());
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] |= 0xff000000u;
        }
        return result;
    } catch (const std::exception &) {
        return QImage();
    }
}

} // namespace platform

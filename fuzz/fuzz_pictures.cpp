// libFuzzer entry for the picture readers: the first byte chooses the BMP,
// ICO or metafile reader, the rest is the file. Every input must end in a
// clean EInvalidGraphic or a graphic that draws without fault (a metafile also
// as recorded for a page) and whose file image is kept unchanged.
#include "platform/Picture.h"

#include <QApplication>
#include <QPainter>
#include <QPicture>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

namespace {
QApplication *g_application = nullptr;

template <typename Graphic>
void Check(const QByteArray &bytes)
{
    try {
        const Graphic graphic = Graphic::FromFileImage(bytes);
        QImage canvas(64, 48, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        graphic.Draw(p, QRectF(3, 2, 57, 41));
        p.end();
        // A metafile also records itself for a printed page, where what only
        // raster devices can play is drawn as pixels.
        if constexpr (std::is_same_v<Graphic, TMetafile>)
            graphic.ToRecording(QSize(57, 41));
        if (graphic.FileImage().isEmpty())
            std::abort();
    } catch (const EInvalidGraphic &) {
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_pictures";
    static char *argv[] = {name, nullptr};
    g_application = new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0: Check<TBitmap>(bytes); break;
    case 1: Check<TIcon>(bytes); break;
    default: Check<TMetafile>(bytes); break;
    }
    return 0;
}

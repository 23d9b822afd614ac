// The image library behind one function: GraphicsMagick decodes the formats
// Qt has no reader for (PCX, run-length and footer-less TGA, Utah RLE, DIB).
// It runs in a small program of its own (decoder/PictureDecoder.cpp), so
// that its two dozen libraries are loaded only when such a picture is
// decoded and never share the program's symbols, and so that a picture that
// crashes it, or makes it run or grow without end, costs only that process:
// it gets the bytes on its standard input, the format as its argument, and
// a few seconds and a bounded memory.
#include "platform/Picture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <sys/resource.h>

// Set by the build for the one file; a build without it looks only beside
// the program and in the installed folder.
#ifndef QUORVEL_DECODER_IN_BUILD
#define QUORVEL_DECODER_IN_BUILD ""
#endif

namespace platform {

namespace {

constexpr int kTimeLimitMs = 10'000;
constexpr rlim_t kCpuSeconds = 10;
constexpr rlim_t kAddressSpace = rlim_t(1536) * 1024 * 1024;
// The decoder's own pixel limit; its answer is never larger than this.
constexpr qint64 kMostPixels = qint64(24) * 1024 * 1024;

// The decoder program: beside this program, in the installed libexec
// folder, or where the build put it.
QString DecoderProgram()
{
    static const QString found = [] {
        const QString name = QStringLiteral("quorvel-picture-decoder");
        const QString here = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
        const QStringList candidates = {here + QLatin1Char('/') + name,
                                        here + QStringLiteral("/../libexec/quorvel/") + name,
                                        QStringLiteral(QUORVEL_DECODER_IN_BUILD)};
        for (const QString &candidate : candidates)
            if (QFileInfo(candidate).isExecutable())
                return QFileInfo(candidate).absoluteFilePath();
        return QString();
    }();
    return found;
}

void LimitTheDecoder()
{
    const rlimit cpu{kCpuSeconds, kCpuSeconds};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit memory{kAddressSpace, kAddressSpace};
    ::setrlimit(RLIMIT_AS, &memory);
    // It writes no files and leaves no core.
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_FSIZE, &none);
    ::setrlimit(RLIMIT_CORE, &none);
}

} // namespace

const QStringList &ImageLibraryFormats()
{
    static const QStringList formats = {QStringLiteral("PCX"), QStringLiteral("TGA"), QStringLiteral("RLE"),
                                        QStringLiteral("DIB")};
    return formats;
}

QImage DecodeWithImageLibrary(const QByteArray &bytes, const QString &format)
{
    const QString program = DecoderProgram();
    if (program.isEmpty() || !ImageLibraryFormats().contains(format))
        return QImage();
    QProcess decoder;
    decoder.setProgram(program);
    decoder.setArguments({format});
    // Nothing of the user's environment (configuration paths, delegates).
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("OMP_NUM_THREADS"), QStringLiteral("1"));
    decoder.setProcessEnvironment(environment);
    decoder.setChildProcessModifier(LimitTheDecoder);
    decoder.setProcessChannelMode(QProcess::SeparateChannels);
    decoder.setStandardErrorFile(QProcess::nullDevice());
    decoder.start(QIODevice::ReadWrite);
    if (!decoder.waitForStarted())
        return QImage();
    decoder.write(bytes);
    decoder.closeWriteChannel();
    if (!decoder.waitForFinished(kTimeLimitMs)) {
        decoder.kill();
        decoder.waitForFinished();
        return QImage();
    }
    if (decoder.exitStatus() != QProcess::NormalExit || decoder.exitCode() != 0)
        return QImage();

    // The answer: width and height (32 bits, little-endian), then the
    // pixels row by row as blue, green, red and an unused byte.
    const QByteArray answer = decoder.readAllStandardOutput();
    if (answer.size() < 8)
        return QImage();
    const quint32 width = qFromLittleEndian<quint32>(answer.constData());
    const quint32 height = qFromLittleEndian<quint32>(answer.constData() + 4);
    if (width == 0 || height == 0 || qint64(width) * height > kMostPixels
        || answer.size() != 8 + qint64(width) * height * 4)
        return QImage();
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    for (int y = 0; y < image.height(); ++y) {
        const char *row = answer.constData() + 8 + qint64(y) * width * 4;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (quint32 x = 0; x < width; ++x)
            line[x] = qRgb(quint8(row[4 * x + 2]), quint8(row[4 * x + 1]), quint8(row[4 * x]));
    }
    return image;
}

} // namespace platform

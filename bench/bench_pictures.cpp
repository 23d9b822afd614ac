// Pictures: decoding a 3000 x 2000 JPEG, reading and playing a 300-record
// EMF, and printing one sheet of a card holding a 1000 x 1000 bitmap image
// object to PDF from a cold start of the command line (best and median of
// several runs), with how many pictures the PDF stores; and, once each,
// hostile metafiles: polygons of tens of thousands of points, ten million
// saved states.
//
//   bench_pictures [path/to/quorvel] [runs]
#include "BenchSupport.h"
#include "objects/ImageObject.h"
#include "platform/Picture.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct Runs {
    double best = 0;
    double median = 0;
};

Runs Time(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return {times.first(), times.at(times.size() / 2)};
}

QImage Photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor(30, 90, 160));
    gradient.setColorAt(1, QColor(240, 200, 90));
    p.fillRect(image.rect(), gradient);
    for (int i = 0; i < 200; ++i)
        p.fillRect((i * 137) % w, (i * 71) % h, 40, 30, QColor::fromHsv(i % 360, 200, 200));
    return image;
}

// An EMF of `count` records: a header, polygons, rectangles and ellipses with
// brushes created and selected between them, and the closing record.
QByteArray ManyRecordEmf(int count)
{
    QByteArray records;
    auto put = [&records](std::initializer_list<qint32> words) {
        for (qint32 w : words) {
            char b[4];
            qToLittleEndian<qint32>(w, b);
            records.append(b, 4);
        }
    };
    int made = 1;
    for (int i = 0; made < count - 1; ++i) {
        switch (i % 4) {
        case 0: put({39, 24, 1, 0, (i * 2654435) & 0xFFFFFF, 0}); break; // brush
        case 1: put({37, 12, 1}); break;                                 // select
        case 2: {
            put({86, 28 + 4 * 5, 0, 0, 1000, 1000, 5}); // polygon16, 5 points
            for (int k = 0; k < 5; ++k) {
                const qint16 x = qint16((i * 37 + k * 211) % 1000), y = qint16((i * 53 + k * 97) % 600);
                put({qint32(quint16(x) | (quint32(quint16(y)) << 16))});
            }
            break;
        }
        default: put({i % 8 ? 43 : 42, 24, (i * 7) % 900, (i * 11) % 500, (i * 7) % 900 + 80, (i * 11) % 500 + 60});
        }
        ++made;
    }
    put({14, 20, 0, 16, 20});
    QByteArray header;
    auto h = [&header](std::initializer_list<qint32> words) {
        for (qint32 w : words) {
            char b[4];
            qToLittleEndian<qint32>(w, b);
            header.append(b, 4);
        }
    };
    h({1, 88, 0, 0, 1000, 600, 0, 0, 26458, 15875, 0x464D4520, 0x10000, 88 + int(records.size()), count});
    h({2, 0, 0, 0, 1000, 1000, 264, 264});
    return header + records;
}

void PutLittleEndian(QByteArray &bytes, std::initializer_list<qint32> words)
{
    for (qint32 w : words) {
        char b[4];
        qToLittleEndian<qint32>(w, b);
        bytes.append(b, 4);
    }
}

// A point of a zig-zag across the whole picture: every polygon crosses
// itself thousands of times.
QPoint ZigZag(int polygon, int k, int size)
{
    return {int((qint64(k) * 7919 + polygon * 131) % size), int((qint64(k) * 104729 + polygon) % size)};
}

// A placeable WMF of `polygons` polygons of `points` points each.
QByteArray PolygonWmf(int polygons, int points)
{
    QByteArray records;
    const auto words = [&records](std::initializer_list<qint16> list) {
        for (qint16 w : list) {
            char b[2];
            qToLittleEndian<qint16>(w, b);
            records.append(b, 2);
        }
    };
    for (int n = 0; n < polygons; ++n) {
        PutLittleEndian(records, {3 + 1 + 2 * points});
        words({0x0324, qint16(points)});
        for (int k = 0; k < points; ++k) {
            const QPoint p = ZigZag(n, k, 1000);
            words({qint16(p.x()), qint16(p.y())});
        }
    }
    PutLittleEndian(records, {3});
    words({0});
    QByteArray wmf;
    const auto header = [&wmf](std::initializer_list<qint16> list) {
        for (qint16 w : list) {
            char b[2];
            qToLittleEndian<qint16>(w, b);
            wmf.append(b, 2);
        }
    };
    // Placeable header: key, handle, bounds, units per inch, reserved, checksum.
    header({qint16(0xCDD7), qint16(0x9AC6), 0, 0, 0, 1000, 1000, 1000, 0, 0});
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(wmf.constData() + 2 * i);
    header({qint16(checksum)});
    const qint32 size = 9 + qint32(records.size() / 2);
    header({1, 9, 0x300, qint16(size & 0xFFFF), qint16(size >> 16), 0, qint16(3 + 1 + 2 * points), 0, 0});
    return wmf + records;
}

// An EMF of `polygons` 32-bit polygons of `points` points each, or of
// `saves` SaveDC records when polygons is 0.
QByteArray HostileEmf(int polygons, int points, int saves)
{
    QByteArray records;
    for (int n = 0; n < polygons; ++n) {
        PutLittleEndian(records, {3, 28 + 8 * points, 0, 0, 1000, 1000, points});
        for (int k = 0; k < points; ++k) {
            const QPoint p = ZigZag(n, k, 1000);
            PutLittleEndian(records, {p.x(), p.y()});
        }
    }
    for (int n = 0; n < saves; ++n)
        PutLittleEndian(records, {33, 8});
    PutLittleEndian(records, {14, 20, 0, 16, 20});
    QByteArray header;
    PutLittleEndian(header, {1, 88, 0, 0, 1000, 1000, 0, 0, 26458, 26458, 0x464D4520, 0x10000,
                             88 + int(records.size()), polygons + saves + 2});
    PutLittleEndian(header, {2, 0, 0, 0, 1000, 1000, 264, 264});
    return header + records;
}

// Reads and plays a hostile metafile once into 1000 x 1000 pixels.
void PlayHostile(const char *name, const QByteArray &file)
{
    QImage canvas(1000, 1000, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QElapsedTimer timer;
    timer.start();
    const TMetafile metafile = TMetafile::FromFileImage(file);
    {
        QPainter p(&canvas);
        metafile.Draw(p, QRectF(canvas.rect()));
    }
    std::printf("%-46s %8.1f ms, peak %7.1f MB so far (%lld bytes)\n", name, timer.nsecsElapsed() / 1e6,
                PeakResidentKilobytes() / 1024.0, static_cast<long long>(file.size()));
}

QByteArray ReadAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString program = args.size() > 1 ? args.at(1)
                                            : QDir(QApplication::applicationDirPath()).filePath("../src/quorvel");
    const int runs = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    QTemporaryDir home;

    const QString jpeg = home.filePath(QStringLiteral("photo.jpg"));
    Photo(3000, 2000).save(jpeg, "JPG", 90);
    const Runs decode = Time(runs, [&] { platform::DecodeImageFile(jpeg); });
    std::printf("decode a 3000 x 2000 JPEG (%lld bytes):       best %7.1f ms, median %7.1f ms\n",
                static_cast<long long>(QFileInfo(jpeg).size()), decode.best, decode.median);

    const QByteArray emf = ManyRecordEmf(300);
    QImage canvas(1000, 600, QImage::Format_RGB32);
    const Runs read = Time(runs, [&] { TMetafile::FromFileImage(emf); });
    const TMetafile metafile = TMetafile::FromFileImage(emf);
    const Runs play = Time(runs, [&] {
        QPainter p(&canvas);
        metafile.Draw(p, QRectF(canvas.rect()));
    });
    std::printf("read a 300-record EMF:                         best %7.1f us, median %7.1f us\n", read.best * 1000,
                read.median * 1000);
    std::printf("play it into 1000 x 600 pixels:                best %7.1f ms, median %7.1f ms\n", play.best, play.median);

    PlayHostile("ten WMF polygons of 32,000 points:", PolygonWmf(10, 32000));
    PlayHostile("50 EMF polygons of 32,000 points:", HostileEmf(50, 32000, 0));
    PlayHostile("EMF of 10,000,000 SaveDC records:", HostileEmf(0, 0, 10000000));

    if (!QFile::exists(program)) {
        std::fprintf(stderr, "quorvel not found at %s; pass its path as the first argument\n", qPrintable(program));
        return 1;
    }
    const QString card = home.filePath(QStringLiteral("card.qrv"));
    {
        TGBusinessCardPanel32 panel;
        panel.resize(336, 192);
        auto *image = new TGImage(&panel);
        image->Loaded();
        image->Picture()->SetBitmap(TBitmap::FromImage(Photo(1000, 1000)));
        panel.AddNewObject(image, {20, 20, 120, 120});
        panel.SaveToFile(card);
    }
    // The program's own start, for comparison with the printing run.
    QList<double> starts;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(program, {QStringLiteral("--version")});
        process.waitForFinished(60000);
        starts << timer.nsecsElapsed() / 1e6;
    }
    std::sort(starts.begin(), starts.end());
    std::printf("cold start of quorvel --version:               best %7.1f ms, median %7.1f ms\n", starts.first(),
                starts.at(starts.size() / 2));
    QList<double> times;
    const QString pdf = home.filePath(QStringLiteral("sheet.pdf"));
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEL_HOME"), home.path());
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, {QStringLiteral("--print"), card, QStringLiteral("--output"), pdf});
        process.waitForFinished(120000);
        times << timer.nsecsElapsed() / 1e6;
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            std::fprintf(stderr, "printing failed: %s\n", process.readAllStandardError().constData());
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    static const QRegularExpression image(QStringLiteral("/Subtype\\s*/Image"));
    const QByteArray bytes = ReadAll(pdf);
    std::printf("1 sheet of a card with a 1000 x 1000 bitmap:   best %7.1f ms, median %7.1f ms, %lld bytes, %d picture(s)\n",
                times.first(), times.at(times.size() / 2), static_cast<long long>(bytes.size()),
                int(QString::fromLatin1(bytes).count(image)));
    return 0;
}

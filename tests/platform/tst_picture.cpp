// Pictures as card files hold them: every kind of BMP decodes to the right
// pixels and survives the card stream byte for byte; icons, image-library
// formats and broken files behave as a user would expect.
#include "TestSupport.h"

#include "platform/Picture.h"
#include "surface/ComponentStream.h"
#include "surface/StoredPicture.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QtEndian>

namespace {

// The test picture: 4 x 3 pixels, colour index (x + y) % colours.
constexpr int kW = 4, kH = 3;
const QList<QRgb> kPalette4 = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
const QList<QRgb> kPalette2 = {qRgb(0, 0, 0), qRgb(255, 255, 255)};

int IndexAt(int x, int y, int colours) { return (x + y) % colours; }

void Put16(QByteArray &b, int v) { b.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); }
void Put32(QByteArray &b, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

struct BmpVariant {
    int headerSize = 40;
    int bits = 24;
    int compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    bool topDown = false;
};

QList<QRgb> PaletteFor(int bits) { return bits == 1 ? kPalette2 : kPalette4; }

// A BMP file image of the test picture in the given variant.
QByteArray MakeBmp(const BmpVariant &v)
{
    const QList<QRgb> palette = PaletteFor(v.bits);
    const bool indexed = v.bits <= 8;
    QByteArray bits;
    if (v.compression == 1 || v.compression == 2) {
        for (int row = 0; row < kH; ++row) {
            const int y = kH - 1 - row;
            for (int x = 0; x < kW; ++x) {
                const int index = IndexAt(x, y, palette.size());
                bits.append(char(1)).append(char(v.compression == 2 ? index << 4 : index));
            }
            bits.append(char(0)).append(char(0)); // end of line
        }
        bits.append(char(0)).append(char(1)); // end of bitmap
    } else {
        const int rowBytes = (kW * v.bits + 31) / 32 * 4;
        for (int row = 0; row < kH; ++row) {
            const int y = v.topDown ? row : kH - 1 - row;
            QByteArray line(rowBytes, '\0');
            for (int x = 0; x < kW; ++x) {
                const int index = IndexAt(x, y, palette.size());
                const QRgb c = palette[index];
                switch (v.bits) {
                case 1: line[x / 8] = char(line[x / 8] | (index << (7 - x % 8))); break;
                case 4: line[x / 2] = char(line[x / 2] | (index << (x % 2 ? 0 : 4))); break;
                case 8: line[x] = char(index); break;
                case 16: {
                    const int value = v.compression == 3
                        ? ((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3)
                        : ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
                    line[2 * x] = char(value & 0xff);
                    line[2 * x + 1] = char(value >> 8);
                    break;
                }
                default: {
                    const int step = v.bits / 8;
                    line[step * x] = char(qBlue(c));
                    line[step * x + 1] = char(qGreen(c));
                    line[step * x + 2] = char(qRed(c));
                    break;
                }
                }
            }
            bits += line;
        }
    }
    QByteArray info;
    if (v.headerSize == 12) {
        Put32(info, 12);
        Put16(info, kW);
        Put16(info, kH);
        Put16(info, 1);
        Put16(info, v.bits);
    } else {
        Put32(info, v.headerSize);
        Put32(info, kW);
        Put32(info, v.topDown ? -kH : kH);
        Put16(info, 1);
        Put16(info, v.bits);
        Put32(info, v.compression);
        Put32(info, bits.size());
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, indexed ? palette.size() : 0);
        Put32(info, 0);
        QByteArray masks;
        if (v.compression == 3) {
            const bool wide = v.bits == 32;
            Put32(masks, wide ? 0x00FF0000 : 0xF800);
            Put32(masks, wide ? 0x0000FF00 : 0x07E0);
            Put32(masks, wide ? 0x000000FF : 0x001F);
        }
        if (v.headerSize > 40) {
            QByteArray extended = masks.leftJustified(16, '\0');
            info += extended.leftJustified(v.headerSize - 40, '\0');
        } else {
            info += masks;
        }
    }
    if (indexed) {
        for (QRgb c : palette) {
            info.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            if (v.headerSize != 12)
                info.append('\0');
        }
        // A core header's table always has all 2^bits entries.
        if (v.headerSize == 12)
            info.append(QByteArray(3 * ((1 << v.bits) - palette.size()), '\0'));
    }
    QByteArray file("BM");
    Put32(file, 14 + info.size() + bits.size());
    Put32(file, 0);
    Put32(file, 14 + info.size());
    return file + info + bits;
}

// A card holding one stored picture, as the stream writes it, read back.
QByteArray ThroughStream(const QByteArray &data)
{
    TStoredPicture written;
    written.SetData(data);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TComponentWriter writer(&buffer);
    written.WriteExtraData(writer);
    writer.FlushBuffer();
    // The entry: name "Data", type 10, length, bytes.
    TComponentReader reader(bytes);
    const QByteArray name = reader.ReadStr();
    TStoredPicture read;
    if (!read.ReadExtraData(name, reader))
        return QByteArray();
    return read.Data();
}

QByteArray PictureData(const char *className, const QByteArray &own)
{
    return char(qstrlen(className)) + QByteArray(className) + own;
}

QByteArray LengthPrefixed(const QByteArray &bytes)
{
    QByteArray out;
    Put32(out, bytes.size());
    return out + bytes;
}

bool Near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 8 && qAbs(qGreen(a) - qGreen(b)) <= 8 && qAbs(qBlue(a) - qBlue(b)) <= 8;
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

// An ICO file image of a w x h picture (Qt's writer).
QByteArray MakeIco(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 255, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "ICO");
    return bytes;
}

// A run-length compressed, footer-less, top-down 24-bit Targa of the test
// picture's colours in rows: red, green, blue.
QByteArray MakeRleTga()
{
    QByteArray b(18, '\0');
    b[2] = 10;
    b[12] = char(kW);
    b[14] = char(kH);
    b[16] = 24;
    b[17] = 0x20;
    const QList<QRgb> rows = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (QRgb c : rows)
        b.append(char(0x80 | (kW - 1))).append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
    return b;
}

// A 24-bit, three-plane PCX of the same rows.
QByteArray MakePcx()
{
    QByteArray b(128, '\0');
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    b[8] = char(kW - 1);
    b[10] = char(kH - 1);
    b[65] = 3;
    b[66] = 4; // bytes per line, even
    b[68] = 1;
    const QList<QRgb> rows = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (QRgb c : rows)
        for (int plane : {qRed(c), qGreen(c), qBlue(c)})
            b.append(char(0xC0 | 4)).append(char(plane));
    return b;
}

// A picture red above, blue below: what a reader makes of a file cut short
// shows at the bottom.
QImage RedOverBlue(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    QPainter(&image).fillRect(0, h / 2, w, h - h / 2, qRgb(0, 0, 255));
    return image;
}

QByteArray MakeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// A GIF of the red-over-blue picture. Qt writes no GIF, so the codes are
// written here: every pixel a literal 9-bit code, with a clear code often
// enough that the code size never grows.
QByteArray MakeGif(int w, int h)
{
    QByteArray b("GIF89a");
    const auto u16 = [&b](int v) { b.append(char(v & 0xff)).append(char(v >> 8)); };
    u16(w);
    u16(h);
    b.append(char(0xF7)).append('\0').append('\0'); // a global table of 256 colours
    QByteArray table(256 * 3, '\0');
    table[0] = char(255);     // 0: red
    table[3 + 2] = char(255); // 1: blue
    b.append(table);
    b.append(char(0x2C));
    u16(0);
    u16(0);
    u16(w);
    u16(h);
    b.append('\0');
    b.append(char(8)); // code size
    QByteArray codes;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        count += 9;
        while (count >= 8) {
            codes.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < w * h; ++i) {
        if (i % 250 == 0)
            put(256);
        put(i / w < h / 2 ? 0 : 1);
    }
    put(257);
    if (count > 0)
        codes.append(char(bits & 0xff));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        b.append(char(block.size())).append(block);
    }
    b.append('\0').append(char(0x3B));
    return b;
}

} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void bitmapVariantsDecodeAndSurviveTheStream_data();
    void bitmapVariantsDecodeAndSurviveTheStream();
    void sampleCardBitmapKeepsItsBytesAndPixels();
    void iconBecomesABitmapOfItsSize();
    void imageLibraryReadsWhatQtCannot_data();
    void imageLibraryReadsWhatQtCannot();
    void picturesCutShortAreRefused_data();
    void picturesCutShortAreRefused();
    void picturesAreDecodedByTheirExtensionOnly_data();
    void picturesAreDecodedByTheirExtensionOnly();
    void brokenFilesAreRefused_data();
    void brokenFilesAreRefused();
    void brokenCardDataFailsTheReadWithAMessage_data();
    void brokenCardDataFailsTheReadWithAMessage();
    void fuzzerInputsEndCleanly();
};

void TestPicture::bitmapVariantsDecodeAndSurviveTheStream_data()
{
    QTest::addColumn<int>("headerSize");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("compression");
    QTest::addColumn<bool>("topDown");
    for (int bits : {1, 4, 8, 24})
        QTest::addRow("core header, %d bits", bits) << 12 << bits << 0 << false;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        QTest::addRow("info header, %d bits", bits) << 40 << bits << 0 << false;
        QTest::addRow("info header, %d bits, top-down", bits) << 40 << bits << 0 << true;
        QTest::addRow("v5 header, %d bits", bits) << 124 << bits << 0 << false;
    }
    QTest::newRow("RLE8") << 40 << 8 << 1 << false;
    QTest::newRow("RLE4") << 40 << 4 << 2 << false;
    QTest::newRow("bit fields 565") << 40 << 16 << 3 << false;
    QTest::newRow("bit fields 32") << 40 << 32 << 3 << false;
    QTest::newRow("v4 header, bit fields 565") << 108 << 16 << 3 << false;
}

void TestPicture::bitmapVariantsDecodeAndSurviveTheStream()
{
    QFETCH(int, headerSize);
    QFETCH(int, bits);
    QFETCH(int, compression);
    QFETCH(bool, topDown);
    const QByteArray bmp = MakeBmp({headerSize, bits, compression, topDown});
    TBitmap bitmap;
    try {
        bitmap = TBitmap::FromFileImage(bmp);
    } catch (const EInvalidGraphic &e) {
        QFAIL(qPrintable(e.Message()));
    }
    QCOMPARE(bitmap.Width(), kW);
    QCOMPARE(bitmap.Height(), kH);
    const QList<QRgb> palette = PaletteFor(bits);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            QVERIFY2(Near(bitmap.Image().pixel(x, y), palette[IndexAt(x, y, palette.size())]),
                     qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(bitmap.Image().pixel(x, y), 8, 16)));
    const QByteArray data = PictureData("TBitmap", LengthPrefixed(bmp));
    QCOMPARE(ThroughStream(data), data);
}

void TestPicture::sampleCardBitmapKeepsItsBytesAndPixels()
{
    // The image object of the sample card written by another program.
    QFile card(testsupport::SampleCardsFolder() + QStringLiteral("/decor.qrv"));
    QVERIFY(card.open(QIODevice::ReadOnly));
    const QByteArray bytes = card.readAll();
    const qsizetype entry = bytes.indexOf("\x0cPicture.Data");
    QVERIFY(entry > 0);
    TComponentReader reader(bytes.mid(entry + 13));
    const QByteArray data = reader.ReadBinary();
    TPicture picture;
    picture.SetData(data);
    QCOMPARE(picture.Kind(), TPicture::pkBitmap);
    QCOMPARE(QSize(picture.Width(), picture.Height()), QSize(6, 4));
    QCOMPARE(picture.Data(), data);
    // A bitmap held directly (a texture) stores the same data without the
    // class name.
    const QByteArray own = data.mid(8);
    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    TComponentWriter writer(&buffer);
    TStoredBitmap texture;
    texture.SetBitmap(TBitmap::FromStreamData(own));
    texture.WriteExtraData(writer);
    writer.FlushBuffer();
    QCOMPARE(written, QByteArray("\x04" "Data\x0a", 6) + QByteArray::fromHex("8a000000") + own);
    const QImage image = picture.ToImage();
    QCOMPARE(image.pixel(0, 3), qRgb(255, 0, 0));   // bottom row red
    QCOMPARE(image.pixel(5, 0), qRgb(255, 255, 255)); // top row white
}

void TestPicture::iconBecomesABitmapOfItsSize()
{
    const QByteArray ico = MakeIco(32, 24);
    const TIcon icon = TIcon::FromFileImage(ico);
    const TBitmap bitmap = icon.ToBitmap();
    QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(32, 24));
    QCOMPARE(bitmap.Image().pixel(10, 10), qRgb(0, 0, 255));
    // The card file keeps the icon's own bytes.
    const QByteArray data = PictureData("TIcon", ico);
    QCOMPARE(ThroughStream(data), data);
}

void TestPicture::imageLibraryReadsWhatQtCannot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("run-length Targa without footer") << "art.tga" << MakeRleTga();
    QTest::newRow("PCX") << "art.pcx" << MakePcx();
}

void TestPicture::imageLibraryReadsWhatQtCannot()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QImage image = platform::DecodeImageFile(WriteFile(dir, name, bytes));
    QCOMPARE(image.size(), QSize(kW, kH));
    QVERIFY(Near(image.pixel(1, 0), qRgb(255, 0, 0)));
    QVERIFY(Near(image.pixel(2, 1), qRgb(0, 255, 0)));
    QVERIFY(Near(image.pixel(3, 2), qRgb(0, 0, 255)));
    // The library decodes in a process of its own: none of its libraries
    // is ever loaded into the program.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("GraphicsMagick"));
}

// A file goes only to the decoder its extension names: a metafile, a
// PostScript program or another format under a picture's name is refused,
// never handed to whichever reader recognises it (GraphicsMagick's would
// crash on the metafile and run Ghostscript on the PostScript), and an SVG
// that names another file is refused rather than read with it.
void TestPicture::picturesAreDecodedByTheirExtensionOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("decoded");
    QByteArray wmf = QByteArray::fromHex("d7cdc69a0000000000006400640060000000000000") + QByteArray(2, '\0');
    wmf += QByteArray::fromHex("010009000003110000000000030000000000");
    const QByteArray postScript("%!PS-Adobe-3.0\n0 0 moveto 100 100 lineto stroke showpage\n");
    const QByteArray endless("%!PS\n{} loop\n");
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage red(kW, kH, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(&buffer, "PNG");
    }
    QTest::newRow("metafile named .jpg") << "logo.jpg" << wmf << false;
    QTest::newRow("metafile named .tga") << "logo.tga" << wmf << false;
    QTest::newRow("PostScript named .gif") << "logo.gif" << postScript << false;
    QTest::newRow("endless PostScript named .jpg") << "logo.jpg" << endless << false;
    QTest::newRow("PostScript named .pcx") << "logo.pcx" << postScript << false;
    QTest::newRow("PNG named .bmp") << "logo.bmp" << png << false;
    QTest::newRow("BMP named .jpg") << "logo.jpg" << MakeBmp({}) << false;
    QTest::newRow("PCX named .png") << "logo.png" << MakePcx() << false;
    QTest::newRow("no extension") << "logo" << png << false;
    QTest::newRow("SVG naming a file") << "logo.svg"
                                       << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' "
                                                     "xmlns:xlink='http://www.w3.org/1999/xlink' width='4' height='3'>"
                                                     "<image xlink:href='/dev/zero' width='4' height='3'/></svg>")
                                       << false;
    QTest::newRow("PNG named .png") << "logo.png" << png << true;
    QTest::newRow("BMP named .DIB") << "logo.DIB" << MakeBmp({}) << true;
    QTest::newRow("SVG of its own") << "logo.svg"
                                    << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='4' height='3'>"
                                                  "<rect width='4' height='3' fill='red'/></svg>")
                                    << true;
}

void TestPicture::picturesAreDecodedByTheirExtensionOnly()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, decoded);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, name, bytes);
    const QImage image = platform::DecodeImageFile(path);
    QCOMPARE(!image.isNull(), decoded);
    if (decoded)
        QCOMPARE(image.size(), QSize(kW, kH));
    TPicture picture;
    if (decoded) {
        picture.LoadFromFile(path);
        QCOMPARE(QSize(picture.Width(), picture.Height()), QSize(kW, kH));
    } else {
        QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, picture.LoadFromFile(path));
        QVERIFY(picture.IsEmpty());
    }
}

// Readers decode a JPEG or GIF cut short as far as it goes and fill the
// rest; the program takes the whole file or nothing.
void TestPicture::picturesCutShortAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");
    const QByteArray jpeg = MakeJpeg(RedOverBlue(64, 64));
    const QByteArray gif = MakeGif(64, 64);
    QTest::newRow("JPEG") << "a.jpg" << jpeg << true;
    QTest::newRow("JPEG with bytes after its end") << "b.jpg" << jpeg + QByteArray(40, '\0') << true;
    QTest::newRow("JPEG cut in its pixels") << "c.jpg" << jpeg.left(jpeg.size() * 2 / 3) << false;
    QTest::newRow("JPEG without its end marker") << "d.jpg" << jpeg.left(jpeg.size() - 2) << false;
    QTest::newRow("GIF") << "e.gif" << gif << true;
    QTest::newRow("GIF cut in its pixels") << "f.gif" << gif.left(gif.size() * 2 / 3) << false;
    QTest::newRow("GIF cut in its colour table") << "g.gif" << gif.left(400) << false;
}

void TestPicture::picturesCutShortAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, name, bytes);
    TPicture picture;
    if (!whole) {
        QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, picture.LoadFromFile(path));
        QVERIFY(picture.IsEmpty());
        QVERIFY(platform::DecodeImageFile(path).isNull());
        return;
    }
    picture.LoadFromFile(path);
    const QImage image = picture.ToImage();
    QCOMPARE(image.size(), QSize(64, 64));
    QVERIFY(Near(image.pixel(32, 5), qRgb(255, 0, 0)));
    QVERIFY(Near(image.pixel(32, 60), qRgb(0, 0, 255)));
}

void TestPicture::brokenFilesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray bmp = MakeBmp({});
    QTest::newRow("truncated BMP") << "a.bmp" << bmp.left(bmp.size() - 5);
    QByteArray huge = bmp;
    qToLittleEndian<qint32>(20000, huge.data() + 18);
    qToLittleEndian<qint32>(20000, huge.data() + 22);
    QTest::newRow("20000 x 20000 header over a few bytes") << "b.bmp" << huge;
    QByteArray rleHuge = MakeBmp({40, 8, 1, false});
    qToLittleEndian<qint32>(20000, rleHuge.data() + 18);
    qToLittleEndian<qint32>(20000, rleHuge.data() + 22);
    QTest::newRow("run-length BMP claiming 20000 x 20000") << "c.bmp" << rleHuge;
    QTest::newRow("ICO with its images cut off") << "d.ico" << MakeIco(16, 16).left(30);
    QTest::newRow("WMF without records") << "e.wmf" << QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(30, '\0');
    QTest::newRow("EMF cut short") << "f.emf" << (QByteArray(40, '\x01') + " EMF" + QByteArray(8, '\x7f'));
    QTest::newRow("text named BMP") << "g.bmp" << QByteArray("hello, not a picture");
    QByteArray pcx = MakePcx();
    pcx[8] = char(0x1f);
    pcx[9] = char(0x4e); // 20000 pixels wide
    pcx[10] = char(0x1f);
    pcx[11] = char(0x4e);
    QTest::newRow("PCX claiming 20000 x 20000") << "h.pcx" << pcx;
    QTest::newRow("Targa cut short") << "i.tga" << MakeRleTga().left(24);
    QTest::newRow("JPEG cut short") << "j.jpg" << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10);
}

void TestPicture::brokenFilesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = WriteFile(dir, name, bytes);
    TPicture picture;
    QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, picture.LoadFromFile(path));
    QVERIFY(picture.IsEmpty());
    QVERIFY(platform::DecodeImageFile(path).isNull());
}

void TestPicture::brokenCardDataFailsTheReadWithAMessage_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("length past the data") << PictureData("TBitmap", QByteArray("\xff\0\0\0BM", 6))
                                          << "Bitmap image is not valid";
    QTest::newRow("unknown graphic class") << PictureData("TJPEGImage", QByteArray(8, '\0'))
                                           << "Invalid property value";
    QTest::newRow("broken metafile") << PictureData("TMetafile", LengthPrefixed(QByteArray(40, '\x05')))
                                     << "Metafile is not valid";
}

void TestPicture::brokenCardDataFailsTheReadWithAMessage()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    QByteArray entry;
    QBuffer buffer(&entry);
    buffer.open(QIODevice::WriteOnly);
    TComponentWriter writer(&buffer);
    writer.WriteBinary(data);
    writer.FlushBuffer();
    TComponentReader reader(entry);
    TStoredPicture picture;
    try {
        picture.ReadExtraData("Data", reader);
        QFAIL("the read went through");
    } catch (const EStreamError &e) {
        QCOMPARE(e.Message(), message);
    }
    QVERIFY(picture.IsEmpty());
}

void TestPicture::fuzzerInputsEndCleanly()
{
    // Each input once reached a reader through the fuzzer: it must end in a
    // picture or in EInvalidGraphic, and a picture must draw.
    const QDir folder(testsupport::TestDataFolder() + QStringLiteral("/picture-regressions"));
    const QStringList inputs = folder.entryList({QStringLiteral("*.bin")}, QDir::Files);
    QVERIFY(!inputs.isEmpty());
    for (const QString &name : inputs) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        const QByteArray bytes = all.mid(1);
        QImage canvas(64, 48, QImage::Format_RGB32);
        QPainter p(&canvas);
        try {
            switch (quint8(all.at(0)) % 3) {
            case 0: {
                const TBitmap bitmap = TBitmap::FromFileImage(bytes);
                bitmap.Draw(p, canvas.rect());
                // Every pixel of an indexed picture names a colour of its table.
                const QImage &image = bitmap.Image();
                if (image.format() == QImage::Format_Indexed8)
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 0; x < image.width(); ++x)
                            QVERIFY2(image.pixelIndex(x, y) < image.colorCount(), qPrintable(name));
                break;
            }
            case 1: TIcon::FromFileImage(bytes).Draw(p, canvas.rect()); break;
            default: TMetafile::FromFileImage(bytes).Draw(p, canvas.rect()); break;
            }
        } catch (const EInvalidGraphic &) {
        }
    }
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"

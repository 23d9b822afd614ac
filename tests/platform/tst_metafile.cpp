// The metafile player: a placeable WMF lands in the rectangle by its bounding
// box and an EMF by its frame, records it does not know are passed over, the
// drawing state is restored, and the picture's size comes from the header.
#include "TestSupport.h"

#include "platform/Picture.h"

#include <QPainter>
#include <QPicture>

namespace {

class Bytes
{
public:
    Bytes &u16(int v)
    {
        b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
        return *this;
    }
    Bytes &u32(qint64 v) { return u16(int(v & 0xffff)).u16(int((v >> 16) & 0xffff)); }
    QByteArray b;
};

// A placeable WMF with a 1000 x 500 window (one inch = 1000 units) whose
// records paint the whole window red, with an unknown record and a saved and
// restored state between; or, with deepSaves, a blue brush selected and
// saved that many times more before one restore goes back to the red; with
// rop2, the rectangle drawn with that raster operation; with zigzags, that
// many polygons of 32,000 points crossing the window back and forth first.
QByteArray Wmf(bool unknownRecord, int deepSaves = 0, int rop2 = 0, int zigzags = 0)
{
    Bytes r;
    r.u32(5).u16(0x020C).u16(500).u16(1000);                 // window extent
    r.u32(7).u16(0x02FC).u16(0).u32(0x0000FF).u16(0);        // red brush -> object 0
    r.u32(8).u16(0x02FA).u16(5).u16(0).u16(0).u32(0);        // null pen -> object 1
    r.u32(4).u16(0x012D).u16(0);
    r.u32(4).u16(0x012D).u16(1);
    r.u32(3).u16(0x001E);                                    // save
    if (unknownRecord)
        r.u32(6).u16(0x0999).u16(1).u16(2).u16(3);
    if (deepSaves > 0) {
        r.u32(7).u16(0x02FC).u16(0).u32(0xFF0000).u16(0);    // blue brush -> object 2
        r.u32(4).u16(0x012D).u16(2);
        for (int i = 0; i < deepSaves; ++i)
            r.u32(3).u16(0x001E);
        r.u32(4).u16(0x0127).u16(-(deepSaves + 1));          // restore to the red
    } else {
        r.u32(4).u16(0x012D).u16(0);
        r.u32(4).u16(0x0127).u16(0xffff);                    // restore
    }
    if (rop2 > 0)
        r.u32(5).u16(0x0104).u16(rop2).u16(0);               // raster operation
    for (int n = 0; n < zigzags; ++n) {
        constexpr int points = 32000;
        r.u32(4 + 2 * points).u16(0x0324).u16(points);       // polygon
        for (int k = 0; k < points; ++k)
            r.u16(k % 2 ? 1000 : 0).u16((k * 7919 + n) % 500);
    }
    r.u32(7).u16(0x041B).u16(500).u16(1000).u16(0).u16(0);   // rectangle
    r.u32(3).u16(0);
    Bytes h;
    h.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(1000).u16(500).u16(1000).u32(0).u16(0);
    h.u16(1).u16(9).u16(0x300).u32(9 + r.b.size() / 2).u16(deepSaves > 0 ? 3 : 2).u32(8).u16(0);
    return h.b + r.b;
}

// An EMF whose frame is 1 x 0.5 inch on a 4 pixels-per-millimetre device,
// painted red over its whole frame.
QByteArray Emf()
{
    Bytes r;
    r.u32(39).u32(24).u32(1).u32(0).u32(0x0000FF).u32(0);    // brush 1: red
    r.u32(37).u32(12).u32(1);                                // select it
    r.u32(37).u32(12).u32(0x80000008);                       // stock null pen
    r.u32(43).u32(24).u32(0).u32(0).u32(102).u32(51);        // rectangle
    r.u32(14).u32(20).u32(0).u32(16).u32(20);                // end
    Bytes h;
    const int total = 88 + r.b.size();
    h.u32(1).u32(88).u32(0).u32(0).u32(101).u32(50).u32(0).u32(0).u32(2539).u32(1269);
    h.u32(0x464D4520).u32(0x10000).u32(total).u32(6).u16(2).u16(0).u32(0).u32(0).u32(0);
    h.u32(1000).u32(1000).u32(250).u32(250);
    return h.b + r.b;
}

// A placeable WMF (1000 x 500 units, one inch) writing "II" in black with a
// 200-unit font; the record carries the advance from the first letter to
// the second, as its maker laid the text out.
QByteArray WmfText(int firstAdvance)
{
    Bytes r;
    r.u32(5).u16(0x020C).u16(500).u16(1000);                 // window extent
    Bytes font;                                              // LOGFONT, height -200, "DejaVu Sans"
    font.u16(-200).u16(0).u16(0).u16(0).u16(400).u16(0).u16(0).u16(0).u16(0);
    QByteArray face("DejaVu Sans");
    face.append(char(0));
    font.b.append(face);
    if (font.b.size() % 2)
        font.b.append(char(0));
    r.u32(3 + font.b.size() / 2).u16(0x02FB);                 // CREATEFONTINDIRECT -> object 0
    r.b.append(font.b);
    r.u32(4).u16(0x012D).u16(0);                             // select it
    r.u32(5).u16(0x0209).u32(0);                             // black text
    r.u32(4).u16(0x0102).u16(1);                             // transparent
    r.u32(4).u16(0x012E).u16(0);                             // TA_TOP | TA_LEFT
    // EXTTEXTOUT at (100, 100): y, x, length 2, options 0, "II", advances.
    r.u32(3 + 4 + 1 + 2).u16(0x0A32).u16(100).u16(100).u16(2).u16(0).u16('I' | ('I' << 8));
    r.u16(firstAdvance).u16(100);
    r.u32(3).u16(0);
    Bytes h;
    h.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(1000).u16(500).u16(1000).u32(0).u16(0);
    h.u16(1).u16(9).u16(0x300).u32(9 + r.b.size() / 2).u16(1).u32(40).u16(0);
    return h.b + r.b;
}

// A 2 x 1 24-bit DIB: a header and one padded row.
QByteArray Dib(QRgb left, QRgb right)
{
    Bytes d;
    d.u32(40).u32(2).u32(1).u16(1).u16(24).u32(0).u32(8).u32(0).u32(0).u32(0).u32(0);
    for (QRgb c : {left, right})
        d.b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
    d.u16(0);
    return d.b;
}

// A placeable WMF, 2 x 1 units, that makes the right half of a bitmap
// transparent the way clip art did: a mask ANDed in, then the picture ORed.
QByteArray WmfMaskedBitmap()
{
    Bytes r;
    r.u32(5).u16(0x020C).u16(1).u16(2); // window extent 2 x 1
    const auto blit = [&r](quint32 rop, const QByteArray &dib) {
        r.u32(3 + 8 + dib.size() / 2).u16(0x0940).u32(rop); // DIBBITBLT
        r.u16(0).u16(0).u16(1).u16(2).u16(0).u16(0);
        r.b.append(dib);
    };
    blit(0x008800C6, Dib(qRgb(0, 0, 0), qRgb(255, 255, 255)));  // SRCAND: the mask
    blit(0x00EE0086, Dib(qRgb(255, 0, 0), qRgb(0, 0, 0)));      // SRCPAINT: the picture
    r.u32(3).u16(0);
    Bytes h;
    h.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(2).u16(1).u16(96).u32(0).u16(0);
    h.u16(1).u16(9).u16(0x300).u32(9 + r.b.size() / 2).u16(0).u32(35).u16(0);
    return h.b + r.b;
}

// The columns of the image that hold dark pixels, as runs [first, last].
QList<QPair<int, int>> InkColumns(const QImage &image)
{
    QList<QPair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 100;
        if (ink && (runs.isEmpty() || runs.last().second != x - 1))
            runs.append({x, x});
        else if (ink)
            runs.last().second = x;
    }
    return runs;
}

} // namespace

class TestMetafile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void metafileLandsInItsRectangle_data();
    void metafileLandsInItsRectangle();
    void maskedBitmapIsTransparentOnScreenAndOnPaper_data();
    void maskedBitmapIsTransparentOnScreenAndOnPaper();
    void textKeepsTheMakersAdvances_data();
    void textKeepsTheMakersAdvances();
    void rasterOperationsCombineAsNamed_data();
    void rasterOperationsCombineAsNamed();
};

void TestMetafile::metafileLandsInItsRectangle_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::newRow("placeable WMF") << Wmf(false) << QSize(96, 48);
    QTest::newRow("placeable WMF with an unknown record") << Wmf(true) << QSize(96, 48);
    QTest::newRow("placeable WMF saving its state 5000 times") << Wmf(false, 5000) << QSize(96, 48);
    QTest::newRow("EMF") << Emf() << QSize(96, 48);
    // Such figures would take seconds to fill at every repaint: left out,
    // and what follows them is still drawn.
    QTest::newRow("placeable WMF after polygons zig-zagging across it") << Wmf(false, 0, 0, 10) << QSize(96, 48);
}

void TestMetafile::metafileLandsInItsRectangle()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    const TMetafile metafile = TMetafile::FromFileImage(bytes);
    QCOMPARE(QSize(metafile.Width(), metafile.Height()), size);
    QImage image(140, 90, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    metafile.Draw(p, QRectF(20, 20, 100, 50));
    p.end();
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    QCOMPARE(image.pixel(22, 22), red);
    QCOMPARE(image.pixel(117, 67), red);
    QCOMPARE(image.pixel(70, 45), red);
    QCOMPARE(image.pixel(17, 45), white);
    QCOMPARE(image.pixel(123, 45), white);
    QCOMPARE(image.pixel(70, 17), white);
    QCOMPARE(image.pixel(70, 73), white);
    // Stored in a picture, the metafile is written back as it was read.
    TPicture picture;
    picture.SetMetafile(metafile);
    TPicture copy;
    copy.SetData(picture.Data());
    QCOMPARE(copy.Metafile().FileImage(), bytes);
}

// A bitmap made transparent by a mask shows the card beneath where the mask
// says so, drawn on screen and as recorded for a printed page alike.
void TestMetafile::maskedBitmapIsTransparentOnScreenAndOnPaper_data()
{
    QTest::addColumn<bool>("recorded");
    QTest::newRow("screen") << false;
    QTest::newRow("recorded for the page") << true;
}

void TestMetafile::maskedBitmapIsTransparentOnScreenAndOnPaper()
{
    QFETCH(bool, recorded);
    const TMetafile metafile = TMetafile::FromFileImage(WmfMaskedBitmap());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(qRgb(0, 200, 0));
    QPainter p(&image);
    if (recorded)
        p.drawPicture(0, 0, metafile.ToRecording(QSize(40, 20)));
    else
        metafile.Draw(p, QRectF(0, 0, 40, 20));
    p.end();
    QCOMPARE(image.pixel(5, 10), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(35, 10), qRgb(0, 200, 0));
}

// Text drawn with another font than its maker's still stands where the maker
// put each letter: the second "I" starts the recorded advance after the first.
// The red rectangle drawn over a coloured page with a raster operation: the
// page's pixels and the red combine as the operation's name says.
void TestMetafile::rasterOperationsCombineAsNamed_data()
{
    QTest::addColumn<int>("rop2");
    QTest::addColumn<QRgb>("page");
    QTest::addColumn<QRgb>("result");
    QTest::newRow("copy over blue") << 13 << qRgb(0, 0, 255) << qRgb(255, 0, 0);
    QTest::newRow("xor over white") << 7 << qRgb(255, 255, 255) << qRgb(0, 255, 255);
    QTest::newRow("xor over blue") << 7 << qRgb(0, 0, 255) << qRgb(255, 0, 255);
    QTest::newRow("no operation") << 11 << qRgb(0, 0, 255) << qRgb(0, 0, 255);
}

void TestMetafile::rasterOperationsCombineAsNamed()
{
    QFETCH(int, rop2);
    QFETCH(QRgb, page);
    QFETCH(QRgb, result);
    const TMetafile metafile = TMetafile::FromFileImage(Wmf(false, 0, rop2));
    QImage image(140, 90, QImage::Format_RGB32);
    image.fill(page);
    QPainter p(&image);
    metafile.Draw(p, QRectF(20, 20, 100, 50));
    p.end();
    QCOMPARE(image.pixel(70, 45), result);
    QCOMPARE(image.pixel(5, 5), page);
}

void TestMetafile::textKeepsTheMakersAdvances_data()
{
    QTest::addColumn<int>("advance");
    QTest::newRow("close") << 150;
    QTest::newRow("far apart") << 600;
}

void TestMetafile::textKeepsTheMakersAdvances()
{
    QFETCH(int, advance);
    const TMetafile metafile = TMetafile::FromFileImage(WmfText(advance));
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    metafile.Draw(p, QRectF(0, 0, 200, 100)); // 0.2 pixels a unit
    p.end();
    const QList<QPair<int, int>> letters = InkColumns(image);
    QCOMPARE(letters.size(), 2);
    QVERIFY2(qAbs(letters[1].first - letters[0].first - advance / 5) <= 1,
             qPrintable(QStringLiteral("%1 to %2").arg(letters[0].first).arg(letters[1].first)));
}

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"

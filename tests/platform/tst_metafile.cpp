// The metafile player: a placeable WMF lands in the rectangle by its bounding
// box and an EMF by its frame, records it does not know are passed over, the
// drawing state is restored, and the picture's size comes from the header.
#include "TestSupport.h"

#include "platform/Picture.h"

#include <QPainter>

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
// restored state between.
QByteArray Wmf(bool unknownRecord)
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
    r.u32(4).u16(0x012D).u16(0);
    r.u32(4).u16(0x0127).u16(0xffff);                        // restore
    r.u32(7).u16(0x041B).u16(500).u16(1000).u16(0).u16(0);   // rectangle
    r.u32(3).u16(0);
    Bytes h;
    h.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(1000).u16(500).u16(1000).u32(0).u16(0);
    h.u16(1).u16(9).u16(0x300).u32(9 + r.b.size() / 2).u16(2).u32(8).u16(0);
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

} // namespace

class TestMetafile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void metafileLandsInItsRectangle_data();
    void metafileLandsInItsRectangle();
};

void TestMetafile::metafileLandsInItsRectangle_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::newRow("placeable WMF") << Wmf(false) << QSize(96, 48);
    QTest::newRow("placeable WMF with an unknown record") << Wmf(true) << QSize(96, 48);
    QTest::newRow("EMF") << Emf() << QSize(96, 48);
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

QTEST_MAIN(TestMetafile)
#include "tst_metafile.moc"

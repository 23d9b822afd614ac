// Clipped text output: the clip a text cell asks for is left out when it
// cannot cut any ink (it would become a clip path in every printed copy), and
// leaving it out never changes a pixel.
#include "TestSupport.h"

#include "platform/Graphics.h"
#include "platform/CanvasFont.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QtTest>

using namespace testsupport;

namespace {

// Notes the clip each piece of text is drawn in.
class TClipNotingEngine : public QPaintEngine
{
public:
    QList<QRectF> TextClips; // on the device; empty where the text was not clipped

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &) override
    {
        QPainter *p = painter();
        TextClips << (p->hasClipping() ? p->transform().mapRect(p->clipBoundingRect()) : QRectF());
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    Type type() const override { return QPaintEngine::User; }
};

class TClipNotingDevice : public QPaintDevice
{
public:
    TClipNotingEngine Engine;
    QPaintEngine *paintEngine() const override { return const_cast<TClipNotingEngine *>(&Engine); }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: case PdmHeight: return 400;
        case PdmWidthMM: case PdmHeightMM: return 100;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return 1 * QPaintDevice::devicePixelRatioFScale();
        default: return 0;
        }
    }
};

platform::TCanvasFont StyledFont(int height, bool italic, bool underline, bool strikeOut)
{
    TFont font;
    font.SetHeight(height);
    Vcl::TFontStyles style;
    style.setFlag(Vcl::fsItalic, italic);
    style.setFlag(Vcl::fsUnderline, underline);
    style.setFlag(Vcl::fsStrikeOut, strikeOut);
    font.SetStyle(style);
    return platform::TCanvasFont(font);
}

QImage Blank()
{
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

const QString kText = QStringLiteral("Quorvel Wgjy 42");
const QPoint kOrigin(100, 100);

} // namespace

class TstClipText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void inkRectHoldsEveryPaintedPixel_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        for (int angle : {0, 90, 180, 270}) {
            QTest::addRow("plain %d", angle) << angle << false << false << false;
            QTest::addRow("italic underlined %d", angle) << angle << true << true << false;
            QTest::addRow("struck out %d", angle) << angle << false << false << true;
        }
    }

    void inkRectHoldsEveryPaintedPixel()
    {
        QFETCH(int, angle);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        const platform::TCanvasFont font = StyledFont(-16, italic, underline, strikeOut);
        QImage image = Blank();
        {
            QPainter p(&image);
            font.TextOut(p, kOrigin, kText, Qt::black, angle);
        }
        const QRect ink = font.InkRect(kOrigin, kText, angle);
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0) {
                    ++painted;
                    QVERIFY2(ink.contains(x, y), qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
                }
        QVERIFY(painted > 0);
    }

    // Each row names a clip by how far its edges lie outside the ink box
    // (negative: inside, cutting the glyphs), and whether the painter has a
    // clip of its own that already keeps the text within its top and bottom.
    void leftOutClipChangesNoPixel_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("margin");
        QTest::addColumn<bool>("outerClip");
        for (int angle : {0, 90, 180, 270})
            for (int margin : {-6, -1, 0, 1, 3}) {
                QTest::addRow("angle %d margin %d", angle, margin) << angle << margin << false;
                QTest::addRow("angle %d margin %d in a clip", angle, margin) << angle << margin << true;
            }
    }

    void leftOutClipChangesNoPixel()
    {
        QFETCH(int, angle);
        QFETCH(int, margin);
        QFETCH(bool, outerClip);
        const platform::TCanvasFont font = StyledFont(-16, true, true, false);
        const QRect ink = font.InkRect(kOrigin, kText, angle);
        const QRect clip = ink.adjusted(-margin, -margin, margin, margin);
        const QRect outer(ink.left() + 5, 0, ink.width() - 10, 200);
        auto draw = [&](bool alwaysClip) {
            QImage image = Blank();
            QPainter p(&image);
            if (outerClip)
                p.setClipRect(outer);
            if (alwaysClip) {
                p.setClipRect(clip, Qt::IntersectClip);
                font.TextOut(p, kOrigin, kText, Qt::black, angle);
            } else {
                font.TextRect(p, clip, kOrigin, kText, Qt::black, angle);
            }
            return image;
        };
        QCOMPARE(draw(false), draw(true));
    }

    void clipIsLeftOutOnlyWhenItCannotCut_data()
    {
        QTest::addColumn<int>("margin");
        QTest::addColumn<bool>("outerClip");
        QTest::addColumn<bool>("ownClip");
        QTest::newRow("clip wider than the ink") << 3 << false << false;
        QTest::newRow("clip cutting the ink") << -2 << false << true;
        QTest::newRow("clip cutting inside the painter's clip") << -2 << true << true;
        QTest::newRow("wide clip inside the painter's clip") << 3 << true << false;
    }

    void clipIsLeftOutOnlyWhenItCannotCut()
    {
        QFETCH(int, margin);
        QFETCH(bool, outerClip);
        QFETCH(bool, ownClip);
        const platform::TCanvasFont font = StyledFont(-16, false, false, false);
        const QRect ink = font.InkRect(kOrigin, kText, 0);
        const QRect outer = ink.adjusted(-10, -10, 10, 10);
        const QRect clip = ink.adjusted(-margin, -margin, margin, margin);
        TClipNotingDevice device;
        QPainter p(&device);
        if (outerClip)
            p.setClipRect(outer);
        font.TextRect(p, clip, kOrigin, kText, Qt::black);
        p.end();
        QCOMPARE(device.Engine.TextClips.size(), 1);
        const QRectF expected = ownClip ? QRectF(clip) : outerClip ? QRectF(outer) : QRectF();
        QCOMPARE(device.Engine.TextClips.first(), expected);
    }

    void labelCellClippedByTheLabelNeedsNoClipOfItsOwn()
    {
        // A caption wider than its label: the cell's clip cuts the text only
        // along the line, where the label's own clip already cuts it.
        const platform::TCanvasFont font = StyledFont(-16, false, false, false);
        const int lineHeight = font.Metrics().Height + 4;
        const QRectF label(0, 0, 60, lineHeight + 3);
        TClipNotingDevice device;
        QPainter p(&device);
        p.setClipRect(label);
        font.TextRect(p, QRect(0, 0, 60, lineHeight), QPoint(0, 0), kText + kText, Qt::black);
        p.end();
        QCOMPARE(device.Engine.TextClips.size(), 1);
        QCOMPARE(device.Engine.TextClips.first(), label);
    }
};

QTEST_MAIN(TstClipText)
#include "tst_cliptext.moc"

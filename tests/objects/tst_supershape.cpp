// SuperShapes as a user, a printed page and a card file see them: a card
// written by another program reads, draws and saves back byte for byte; the
// new star's size; the gradient's direction on screen and on paper and its
// smoothness there; where the shadow falls; the guards on the settings; the
// surface-less shape; texture tiles at a zoom.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/SuperShape.h"
#include "surface/BusinessCardPanel.h"

#include <QFile>
#include <QPainter>
#include <QSet>

using namespace testsupport;

namespace {

// A card holding just the decor card's SuperShape record.
QByteArray DecorShapeCard()
{
    QFile file(SampleCardsFolder() + QStringLiteral("/decor.qrv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray card = file.readAll();
    const qsizetype at = card.indexOf("TPF0\x0bTSuperShape");
    if (at < 0)
        return {};
    const qsizetype next = card.indexOf("TPF0", at + 4);
    return QByteArray("\x01", 1) + card.mid(at, next - at) + QByteArray(1, '\0');
}

bool Near(QRgb pixel, QRgb colour, int tolerance = 24)
{
    return qAbs(qRed(pixel) - qRed(colour)) <= tolerance && qAbs(qGreen(pixel) - qGreen(colour)) <= tolerance
        && qAbs(qBlue(pixel) - qBlue(colour)) <= tolerance;
}

// A rectangle of the given size with a plain surface and no outline.
std::unique_ptr<TSuperShape> Plain(int width, int height, Fill::TSurfaceType surface)
{
    auto shape = std::make_unique<TSuperShape>();
    shape->SetBounds(0, 0, width, height);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetOutlineStyle(Vcl::psClear);
    shape->SetSurfaceType(surface);
    return shape;
}

} // namespace

class TestSuperShape : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    // The gradient star of a card written elsewhere: yellow at the top
    // running down to red, a silver shadow, navy outline; saved unchanged.
    void decorStarReadsDrawsAndSavesUnchanged()
    {
        const QByteArray card = DecorShapeCard();
        QVERIFY(card.size() > 100);
        const QString path = ProgramFolder() + QStringLiteral("star.qrv");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(card);
        out.close();

        auto panel = MakePanel();
        panel->LoadFromFile(path);
        QCOMPARE(panel->ObjectCount(), 1);
        auto *star = qobject_cast<TSuperShape *>(panel->Objects().at(0));
        QVERIFY(star);
        QCOMPARE(star->Shape(), TSuperShape::gstStar);
        panel->grab();

        const QImage image = RenderObject(*star);
        // The figure shows the middle of a gradient spanning the whole object:
        // its top rows are yellower (more green) than its bottom rows.
        const auto gradient = [](QRgb p) { return qRed(p) > 200 && qBlue(p) < 60 && qGreen(p) < 250; };
        const QRect fill = InkBox(image, gradient);
        QVERIFY(fill.height() > 30);
        const auto greenOfRow = [&](int y) {
            for (int x = fill.left(); x <= fill.right(); ++x)
                if (gradient(image.pixel(x, y)))
                    return qGreen(image.pixel(x, y));
            return -1;
        };
        QVERIFY(greenOfRow(fill.top() + 2) > greenOfRow(fill.bottom() - 2) + 80);
        QVERIFY(InkCount(image, [](QRgb p) { return Near(p, qRgb(192, 192, 192), 8); }) > 10);
        QVERIFY(InkCount(image, [](QRgb p) { return Near(p, qRgb(0, 0, 128), 30); }) > 40);

        star->setObjectName(QStringLiteral("Special1"));
        const QString saved = ProgramFolder() + QStringLiteral("star-saved.qrv");
        panel->SaveToFile(saved);
        QFile back(saved);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), card);
    }

    // A new SuperShape is a 25 x 25 five-pointed star whose points reach 8
    // pixels from the centre, filled red to blue, outlined black.
    void newShapeIsAFivePointedStar()
    {
        TSuperShape star;
        QCOMPARE(QSize(star.Width(), star.Height()), QSize(25, 25));
        const QImage image = RenderObject(star);
        const QRect ink = InkBox(image, [](QRgb p) { return p != qRgb(255, 255, 255); });
        QCOMPARE(ink.top(), 12 - 8);
        QCOMPARE(ink.left(), 12 - 8);
        QCOMPARE(ink.right(), 12 + 8);
        QVERIFY(InkCount(image, [](QRgb p) { return p == qRgb(0, 0, 0); }) > 30);
    }

    // Which colour lies where, on screen and on a 600 dpi page; on paper the
    // gradient has device-resolution bands, not the screen's steps.
    void gradientDirectionOnScreenAndPaper_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("fromFirst"); // BackColor at the top or left
        QTest::newRow("up") << int(Fill::gdUp) << true << false;
        QTest::newRow("down") << int(Fill::gdDown) << true << true;
        QTest::newRow("left") << int(Fill::gdLeft) << false << false;
        QTest::newRow("right") << int(Fill::gdRight) << false << true;
    }
    void gradientDirectionOnScreenAndPaper()
    {
        QFETCH(int, direction);
        QFETCH(bool, vertical);
        QFETCH(bool, fromFirst);
        auto shape = Plain(100, 100, Fill::stGradientFill);
        shape->SetFillDirection(Fill::TFillDirection(direction));
        const QRgb from = qRgb(255, 0, 0), to = qRgb(0, 0, 255); // the new shape's colours
        const QRgb first = fromFirst ? from : to, last = fromFirst ? to : from;

        const QImage screen = RenderObject(*shape);
        const QPoint start = vertical ? QPoint(50, 0) : QPoint(0, 50);
        const QPoint end = vertical ? QPoint(50, 99) : QPoint(99, 50);
        QVERIFY(Near(screen.pixel(start), first, 8));
        QVERIFY(Near(screen.pixel(end), last, 8));

        // The object prints one inch from the page's corner: 625 x 625 pixels.
        const QImage page = PrintObject(*shape, 1.0, 1.0, 600);
        const QPoint origin(600, 600);
        const auto device = [&](QPoint p) { return origin + QPoint(p.x() * 625 / 100 + 2, p.y() * 625 / 100 + 2); };
        QVERIFY(Near(page.pixel(device(start)), first, 8));
        QVERIFY(Near(page.pixel(device(end)), last, 8));
        QSet<QRgb> steps;
        for (int i = 0; i < 600; ++i)
            steps.insert(page.pixel(origin + (vertical ? QPoint(300, i) : QPoint(i, 300))));
        QVERIFY2(steps.size() > 200, qPrintable(QString::number(steps.size())));
    }

    // A shape far larger than any card (a few bytes in a card file): the
    // corners a canvas shows are filled, the gradient running from one end
    // of the whole shape to the other.
    void hugeShapeFillsWhatIsShown_data()
    {
        QTest::addColumn<int>("surface");
        QTest::addColumn<QRgb>("nearTop");
        QTest::addColumn<QRgb>("nearBottom");
        QTest::newRow("gradient") << int(Fill::stGradientFill) << qRgb(255, 0, 0) << qRgb(0, 0, 255);
        QTest::newRow("solid") << int(Fill::stBrushTransparent) << qRgb(255, 0, 0) << qRgb(255, 0, 0);
    }
    void hugeShapeFillsWhatIsShown()
    {
        QFETCH(int, surface);
        QFETCH(QRgb, nearTop);
        QFETCH(QRgb, nearBottom);
        constexpr int kSide = 40000;
        auto shape = Plain(kSide, kSide, Fill::TSurfaceType(surface));
        shape->SetFillDirection(Fill::gdDown);
        const auto corner = [&](QPoint at) {
            QImage view(200, 200, QImage::Format_RGB32);
            view.fill(Qt::white);
            QPainter painter(&view);
            painter.translate(-at);
            shape->Paint(painter);
            return view;
        };
        const QImage top = corner({0, 0});
        const QImage bottom = corner({kSide - 200, kSide - 200});
        for (const QPoint p : {QPoint(10, 10), QPoint(190, 190)}) {
            QVERIFY(Near(top.pixel(p), nearTop, 8));
            QVERIFY(Near(bottom.pixel(p), nearBottom, 8));
        }
    }

    // Where shape and shadow stand on a 40 x 30 object with a 5 pixel
    // shadow: red surface, green shadow, white where neither is.
    void shadowFalls_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("orient");
        QTest::addColumn<QList<QPoint>>("red");
        QTest::addColumn<QList<QPoint>>("green");
        QTest::addColumn<QList<QPoint>>("white");
        const int rect = TSuperShape::gstRectangle, diamond = TSuperShape::gstDiamond;
        QTest::newRow("lower right") << rect << int(TSuperShape::soLowerRight) << QList<QPoint>{{2, 2}, {33, 23}}
                                     << QList<QPoint>{{38, 28}, {37, 10}} << QList<QPoint>{{38, 2}, {2, 28}};
        QTest::newRow("upper left") << rect << int(TSuperShape::soUpperLeft) << QList<QPoint>{{38, 28}, {7, 7}}
                                    << QList<QPoint>{{2, 2}, {2, 10}} << QList<QPoint>{{38, 2}, {2, 28}};
        QTest::newRow("upper right") << rect << int(TSuperShape::soUpperRight) << QList<QPoint>{{2, 28}}
                                     << QList<QPoint>{{38, 2}} << QList<QPoint>{{2, 2}, {38, 28}};
        QTest::newRow("lower left") << rect << int(TSuperShape::soLowerLeft) << QList<QPoint>{{38, 2}}
                                    << QList<QPoint>{{2, 28}} << QList<QPoint>{{2, 2}, {38, 28}};
        // A diamond's shadow moves sideways only: it starts at the top row.
        QTest::newRow("diamond lower right") << diamond << int(TSuperShape::soLowerRight)
                                             << QList<QPoint>{{17, 15}} << QList<QPoint>{{22, 3}, {37, 15}}
                                             << QList<QPoint>{{2, 2}, {17, 29}};
        QTest::newRow("diamond upper left") << diamond << int(TSuperShape::soUpperLeft)
                                            << QList<QPoint>{{22, 15}} << QList<QPoint>{{17, 3}, {2, 15}}
                                            << QList<QPoint>{{38, 2}};
    }
    void shadowFalls()
    {
        QFETCH(int, shape);
        QFETCH(int, orient);
        QFETCH(QList<QPoint>, red);
        QFETCH(QList<QPoint>, green);
        QFETCH(QList<QPoint>, white);
        auto object = Plain(40, 30, Fill::stBrushTransparent);
        object->SetShape(TSuperShape::TGPShapeType(shape));
        object->SetBackColor(platform::clRed);
        object->SetShadowColor(platform::clLime);
        object->SetShadowOrient(TSuperShape::TShadowOrient(orient));
        const QImage image = RenderObject(*object);
        for (const QPoint &p : red)
            QVERIFY2(Near(image.pixel(p), qRgb(255, 0, 0)), qPrintable(QStringLiteral("red at %1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint &p : green)
            QVERIFY2(Near(image.pixel(p), qRgb(0, 255, 0)), qPrintable(QStringLiteral("green at %1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint &p : white)
            QVERIFY2(Near(image.pixel(p), qRgb(255, 255, 255)), qPrintable(QStringLiteral("white at %1,%2").arg(p.x()).arg(p.y())));
    }

    // Settings a user cannot break the shape with.
    void settingGuards_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("vectors");
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("depth");
        QTest::newRow("2 vectors ignored") << "vectors 2" << 10 << 90 << 5;
        QTest::newRow("61 vectors ignored") << "vectors 61" << 10 << 90 << 5;
        QTest::newRow("angle 360 ignored") << "angle 360" << 10 << 90 << 5;
        QTest::newRow("star raises 6 vectors, resets angle") << "polygon 6 at 30, then star" << 10 << 90 << 5;
        QTest::newRow("deep shadow on a shrunk shape stays") << "depth 20, shrink, depth 3" << 10 << 90 << 20;
        QTest::newRow("depth on a roomy shape changes") << "depth 8, depth 3" << 10 << 90 << 3;
    }
    void settingGuards()
    {
        QFETCH(QString, change);
        QFETCH(int, vectors);
        QFETCH(int, angle);
        QFETCH(int, depth);
        TSuperShape shape;
        shape.SetBounds(0, 0, 100, 100);
        if (change == "vectors 2")
            shape.SetVectors(2);
        else if (change == "vectors 61")
            shape.SetVectors(61);
        else if (change == "angle 360")
            shape.SetStartingAngle(360);
        else if (change.startsWith("polygon")) {
            shape.SetShape(TSuperShape::gstPolyGon);
            shape.SetVectors(6);
            shape.SetStartingAngle(30);
            shape.SetShape(TSuperShape::gstStar);
        } else if (change.startsWith("depth 20")) {
            shape.SetShadowDepth(20);
            shape.SetBounds(0, 0, 30, 30);
            shape.SetShadowDepth(3);
        } else {
            shape.SetShadowDepth(8);
            shape.SetShadowDepth(3);
        }
        QCOMPARE(shape.Vectors(), vectors);
        QCOMPARE(shape.StartingAngle(), angle);
        QCOMPARE(shape.ShadowDepth(), depth);
    }

    // Choosing no surface drops the shadow and turns a clear outline solid:
    // the figure stays visible as its outline.
    void surfacelessShapeKeepsItsOutline()
    {
        auto shape = Plain(40, 30, Fill::stGradientFill);
        shape->SetShadowColor(platform::clLime);
        shape->SetShadowOrient(TSuperShape::soLowerRight);
        shape->SetSurfaceType(Fill::stNormal);
        const QImage image = RenderObject(*shape);
        QCOMPARE(InkCount(image, [](QRgb p) { return Near(p, qRgb(0, 255, 0)); }), 0);
        QVERIFY(InkCount(image, [](QRgb p) { return p == qRgb(0, 0, 0); }) > 100);
        QCOMPARE(image.pixel(20, 15), qRgb(255, 255, 255));
    }

    // A 10 x 10 texture at zoom 2 lies in 20 x 20 tiles; a zoom that makes
    // the tiles smaller than a pixel draws nothing and returns.
    void textureTilesFollowTheZoom_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("tile");
        QTest::newRow("zoom 2") << 2.0 << 20;
        QTest::newRow("zoom 1") << 1.0 << 10;
        QTest::newRow("zoom 0.05") << 0.05 << 0;
    }
    void textureTilesFollowTheZoom()
    {
        QFETCH(double, zoom);
        QFETCH(int, tile);
        QImage texture(10, 10, QImage::Format_RGB32);
        texture.fill(Qt::blue);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 5; ++x)
                texture.setPixel(x, y, qRgb(255, 0, 0));
        auto shape = Plain(60, 60, Fill::stBrushImage);
        TTileBitmap bitmap;
        bitmap.SetImage(texture);
        shape->SetImage(&bitmap);
        shape->SetZoomFactorOnly(float(zoom));
        shape->SetBounds(0, 0, 60, 60);
        const QImage image = RenderObject(*shape);
        if (tile == 0) {
            QCOMPARE(InkCount(image, [](QRgb p) { return p != qRgb(255, 255, 255); }), 0);
            return;
        }
        for (int x = 0; x < 60; ++x) {
            const bool redHalf = x % tile < tile / 2;
            QVERIFY2(Near(image.pixel(x, 30), redHalf ? qRgb(255, 0, 0) : qRgb(0, 0, 255)),
                     qPrintable(QString::number(x)));
        }
    }

    // A large texture at a high zoom draws its visible corner, stretched as
    // the zoom says, without a copy of the whole zoomed picture.
    void largeTextureAtHighZoomDrawsItsCorner()
    {
        QImage texture(2100, 2000, QImage::Format_RGB32);
        texture.fill(qRgb(0, 0, 255));
        QPainter paint(&texture);
        paint.fillRect(0, 0, 10, 10, qRgb(255, 0, 0));
        paint.end();
        auto shape = Plain(60, 60, Fill::stBrushImage);
        shape->Image()->SetImage(texture);
        shape->SetZoomFactorOnly(2.0f);
        shape->SetBounds(0, 0, 60, 60);
        const QImage image = RenderObject(*shape);
        QVERIFY(Near(image.pixel(15, 15), qRgb(255, 0, 0)));
        QVERIFY(Near(image.pixel(25, 25), qRgb(0, 0, 255)));
    }

    // A damaged card's giant shape with a one-pixel texture paints and prints
    // what can be seen of it at once: only the visible tiles are drawn.
    void giantTexturedShapePaintsAndPrintsItsCorner()
    {
        QImage dot(1, 1, QImage::Format_RGB32);
        dot.fill(qRgb(0, 160, 0));
        auto shape = Plain(60, 60, Fill::stBrushImage);
        shape->Image()->SetImage(dot);
        shape->SetBounds(0, 0, 60000, 60000);
        QImage corner(400, 400, QImage::Format_RGB32);
        corner.fill(Qt::white);
        QPainter p(&corner);
        p.setClipRect(corner.rect());
        shape->Paint(p);
        p.end();
        QVERIFY(InkCount(corner, [](QRgb px) { return px == qRgb(0, 160, 0); }) > 100000);
        const QImage page = PrintObject(*shape, 0.5, 0.5, 150);
        QVERIFY(InkCount(page, [](QRgb px) { return qGreen(px) > 120 && qRed(px) < 60; }) > 100000);
    }
};

QTEST_MAIN(TestSuperShape)
#include "tst_supershape.moc"

// Frame shapes and lines: where their pixels land on screen at each zoom, and
// what their context menus change.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "platform/Dialogs.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>
#include <QPainter>
#include <QSignalSpy>

using namespace testsupport;

namespace {
// Paints one object at its zoom onto white, as the panel does.
QImage Render(TGGraphicControl &o, int margin = 0)
{
    QImage img(o.Width() + 2 * margin, o.Height() + 2 * margin, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(margin, margin);
    p.setClipRect(0, 0, o.Width(), o.Height());
    o.Paint(p);
    return img;
}

bool Dark(const QImage &img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }
} // namespace

class TestShapes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void thickOutlineLiesInsideBounds()
    {
        TBCShapes shape;
        shape.SetBounds(0, 0, 25, 25);
        shape.Pen()->SetWidth(3);
        const QImage img = Render(shape);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(Dark(img, i, 12));
            QVERIFY(Dark(img, 24 - i, 12));
            QVERIFY(Dark(img, 12, i));
            QVERIFY(Dark(img, 12, 24 - i));
        }
        QVERIFY(!Dark(img, 3, 12));
        QVERIFY(!Dark(img, 21, 12));
        QCOMPARE(img.pixelColor(12, 12), QColor(Qt::white)); // white brush inside
    }

    void thinOutlineIsOnePixelAtEdges()
    {
        TBCShapes shape;
        shape.SetBounds(0, 0, 20, 10);
        shape.Brush()->SetColor(platform::clRed);
        const QImage img = Render(shape);
        QVERIFY(Dark(img, 0, 5));
        QVERIFY(Dark(img, 19, 5));
        QVERIFY(Dark(img, 10, 9));
        QCOMPARE(img.pixelColor(1, 5), QColor(255, 0, 0));
        QCOMPARE(img.pixelColor(18, 8), QColor(255, 0, 0));
    }

    void zoomedPenWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("shapePen");
        QTest::addColumn<int>("linePen");
        QTest::newRow("zoom 1") << 3 << 1.0f << 3 << 3;
        QTest::newRow("1.5 rounds to even") << 3 << 1.5f << 4 << 4;
        QTest::newRow("1.6") << 1 << 1.6f << 2 << 2;
        QTest::newRow("quarter keeps shapes visible") << 1 << 0.25f << 1 << 0;
        QTest::newRow("width 0 stays 0") << 0 << 0.25f << 0 << 0;
    }
    void zoomedPenWidth()
    {
        QFETCH(int, width);
        QFETCH(float, zoom);
        QFETCH(int, shapePen);
        QFETCH(int, linePen);
        TBCShapes shape;
        TGLineShape line;
        shape.Pen()->SetWidth(width);
        line.Pen()->SetWidth(width);
        shape.SetZoom(zoom);
        line.SetZoom(zoom);
        QCOMPARE(shape.ZoomedPenWidth(), shapePen);
        QCOMPARE(line.ZoomedPenWidth(), linePen);
    }

    void roundedCornersFollowPercentage()
    {
        TBCShapes shape;
        shape.SetShape(TGLabelShapes::stRoundRect);
        shape.SetBounds(0, 0, 100, 40);
        const QImage img = Render(shape);
        // A 25 x 25 corner ellipse leaves the corner pixel white and the edge
        // middle dark.
        QVERIFY(!Dark(img, 0, 0));
        QVERIFY(!Dark(img, 2, 2));
        QVERIFY(Dark(img, 50, 0));
        QVERIFY(Dark(img, 0, 20));
        QVERIFY(Dark(img, 13, 0));
    }

    void ellipseLeavesCornersBlank()
    {
        TBCShapes shape;
        shape.SetShape(TGLabelShapes::stCircle);
        shape.SetBounds(0, 0, 40, 40);
        const QImage img = Render(shape);
        QVERIFY(!Dark(img, 1, 1));
        QVERIFY(Dark(img, 20, 0));
        QVERIFY(Dark(img, 0, 20));
    }

    void linesRunAlongTheirStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("on");
        QTest::addColumn<QPoint>("off");
        QTest::newRow("horizontal along top") << int(TGLineShape::stHorizontal) << QPoint(20, 0) << QPoint(20, 5);
        QTest::newRow("vertical along left") << int(TGLineShape::stVertical) << QPoint(0, 20) << QPoint(5, 20);
        QTest::newRow("sloping down") << int(TGLineShape::stAngleSlopingDown) << QPoint(20, 20) << QPoint(30, 5);
        QTest::newRow("sloping up") << int(TGLineShape::stAngleSlopingUp) << QPoint(20, 20) << QPoint(5, 5);
    }
    void linesRunAlongTheirStyle()
    {
        QFETCH(int, style);
        QFETCH(QPoint, on);
        QFETCH(QPoint, off);
        TGLineShape line;
        line.SetBounds(0, 0, 40, 40);
        line.SetLineStyle(TGLineShape::TLineStyle(style));
        const QImage img = Render(line);
        QVERIFY(Dark(img, on.x(), on.y()));
        QVERIFY(!Dark(img, off.x(), off.y()));
    }

    void everyLineStyleDrawsAndPrintsAlike_data()
    {
        QTest::addColumn<int>("lineStyle");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<int>("penStyle");
        const QList<QPair<const char *, Vcl::TPenStyle>> styles{
            {"dash", Vcl::psDash}, {"dot", Vcl::psDot}, {"dash dot", Vcl::psDashDot}, {"clear", Vcl::psClear}};
        const QList<std::tuple<const char *, TGLineShape::TLineStyle, int>> lines{
            {"horizontal", TGLineShape::stHorizontal, 1},
            {"thin sloping down", TGLineShape::stAngleSlopingDown, 1},
            {"hairline sloping up", TGLineShape::stAngleSlopingUp, 0},
            {"wide sloping down", TGLineShape::stAngleSlopingDown, 3}};
        for (const auto &[lineName, lineStyle, width] : lines)
            for (const auto &[styleName, style] : styles)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(lineName, styleName)))
                    << int(lineStyle) << width << int(style);
    }
    void everyLineStyleDrawsAndPrintsAlike()
    {
        QFETCH(int, lineStyle);
        QFETCH(int, penWidth);
        QFETCH(int, penStyle);
        TGLineShape line;
        line.SetBounds(0, 0, 96, 48);
        line.SetLineStyle(TGLineShape::TLineStyle(lineStyle));
        line.Pen()->SetWidth(penWidth);
        const auto darkOnScreenAndPaper = [&line](Vcl::TPenStyle style) {
            line.Pen()->SetStyle(style);
            const QImage screen = Render(line);
            const QImage paper = PrintObject(line, 1.0, 1.0, 96);
            return QPair<int, int>(InkCount(screen, IsDark), InkCount(paper, IsDark));
        };
        const auto solid = darkOnScreenAndPaper(Vcl::psSolid);
        const auto styled = darkOnScreenAndPaper(Vcl::TPenStyle(penStyle));
        QVERIFY(solid.first > 0 && solid.second > 0);
        if (penStyle == Vcl::psClear) {
            QCOMPARE(styled, qMakePair(0, 0));
            return;
        }
        // Gaps on screen and on paper alike, at every slope.
        const double screenShare = double(styled.first) / solid.first;
        const double paperShare = double(styled.second) / solid.second;
        QVERIFY2(screenShare > 0.2 && screenShare < 0.9, qPrintable(QString::number(screenShare)));
        QVERIFY2(paperShare > 0.2 && paperShare < 0.9, qPrintable(QString::number(paperShare)));
    }

    void clearLineOfTheSampleCardIsInvisible()
    {
        RegisterCardObjectClasses();
        QObject owner;
        const QList<TGGraphicControl *> objects = ReadObjects(ReadSampleCard(QStringLiteral("lines.qrv")), &owner, nullptr);
        // Its fourth line, a sloping hairline with a clear pen.
        auto *special4 = qobject_cast<TGLineShape *>(objects.value(3));
        QVERIFY(special4);
        QCOMPARE(special4->Pen()->Style(), Vcl::psClear);
        QCOMPARE(InkCount(Render(*special4), IsDark), 0);
        QCOMPARE(InkCount(PrintObject(*special4, 0.5, 0.5, 300), IsDark), 0);
    }

    void lineFarLongerThanThePagePrintsItsVisibleStart()
    {
        // A million pixels long: drawn in one stroke cut to the page, not
        // point by point along its whole length.
        TGLineShape line;
        line.SetLineStyle(TGLineShape::stAngleSlopingDown);
        line.Pen()->SetWidth(0);
        line.SetBounds(0, 0, 1000000, 200);
        const int dpi = 300;
        const QImage page = PrintObject(line, 0.5, 0.5, dpi);
        // Nearly level, it starts at the card cell's corner and runs to the
        // page's right edge.
        QVERIFY(IsDark(page.pixel(dpi / 2 + 30, dpi / 2)));
        QVERIFY(IsDark(page.pixel(page.width() - 5, dpi / 2)));
        // On screen the panel shows the start of it.
        QImage screen(400, 10, QImage::Format_RGB32);
        screen.fill(Qt::white);
        {
            QPainter p(&screen);
            p.setClipRect(0, 0, line.Width(), line.Height());
            line.Paint(p);
        }
        QCOMPARE(InkCount(screen, IsDark), 400);
    }

    void backgroundColorMakesShapeOpaque()
    {
        auto panel = MakePanel();
        auto *shape = qobject_cast<TBCShapes *>(AddShape(*panel, 10, 10, 40, 40));
        shape->SetTransparent(true);
        QCOMPARE(shape->Brush()->Style(), Vcl::bsClear);
        platform::SetColorChooserForTests([](int32_t &c) {
            c = platform::clAqua;
            return true;
        });
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        shape->MenuAction("Background Color")->trigger();
        platform::SetColorChooserForTests({});
        QVERIFY(!shape->Transparent());
        QCOMPARE(shape->Brush()->Style(), Vcl::bsSolid);
        QCOMPARE(int(shape->Brush()->Color()), platform::clAqua);
        QVERIFY(changed.size() >= 1);
    }

    void cancelledColorChangesNothing()
    {
        auto panel = MakePanel();
        auto *line = new TGLineShape(panel.get());
        line->Loaded();
        panel->AddNewObject(line, {0, 0, 40, 40});
        platform::SetColorChooserForTests([](int32_t &) { return false; });
        line->MenuAction("Color")->trigger();
        platform::SetColorChooserForTests({});
        QCOMPARE(int(line->Pen()->Color()), 0);
    }

    void thicknessMenuTicksCurrentWidth()
    {
        auto panel = MakePanel();
        auto *shape = qobject_cast<TBCShapes *>(AddShape(*panel, 10, 10, 40, 40));
        shape->MenuAction("Line Thickness/3 Point")->trigger();
        QCOMPARE(shape->Pen()->Width(), 3);
        shape->UpdateContextMenu();
        QVERIFY(shape->MenuAction("Line Thickness/3 Point")->isChecked());
        shape->Pen()->SetWidth(11);
        shape->UpdateContextMenu();
        for (int n = 1; n <= 10; ++n)
            QVERIFY(!shape->MenuAction(QString("Line Thickness/%1 Point").arg(n))->isChecked());
    }

    void roundingMenuOnlyForRoundedShapes()
    {
        TBCShapes plain, rounded;
        rounded.SetShape(TGLabelShapes::stRoundRect);
        plain.Loaded();
        rounded.Loaded();
        QVERIFY(!plain.MenuAction("Degree of Rounding"));
        rounded.MenuAction("Degree of Rounding/60 %")->trigger();
        QCOMPARE(rounded.RoundPerc(), 60);
    }

    void stretchToEdges_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("horizontal") << int(TGLineShape::stHorizontal) << QRect(0, 50, 343, 20);
        QTest::newRow("vertical") << int(TGLineShape::stVertical) << QRect(30, 0, 40, 191);
        QTest::newRow("sloping unchanged") << int(TGLineShape::stAngleSlopingUp) << QRect(30, 50, 40, 20);
    }
    void stretchToEdges()
    {
        QFETCH(int, style);
        QFETCH(QRect, expected);
        auto panel = MakePanel(343, 191);
        auto *line = new TGLineShape(panel.get());
        line->SetLineStyle(TGLineShape::TLineStyle(style));
        line->Loaded();
        panel->AddNewObject(line, {30, 50, 70, 70});
        line->MenuAction("Stretch To Edges")->trigger();
        QCOMPARE(line->BoundsRect(), expected);
    }

    void lineStyleMenu()
    {
        TGLineShape line;
        line.Loaded();
        line.MenuAction("Style/Angled Sloping Down")->trigger();
        QCOMPARE(line.LineStyle(), TGLineShape::stAngleSlopingDown);
        line.UpdateContextMenu();
        QVERIFY(line.MenuAction("Style/Angled Sloping Down")->isChecked());
        QVERIFY(!line.MenuAction("Style/Horizontal")->isChecked());
    }
};

QTEST_MAIN(TestShapes)
#include "tst_frameshapes.moc"

// The card panel as the user meets it: drawing tools, rubber band, zoom,
// painting of outline and grid, change events and clean-up.
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "platform/Colors.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QSignalSpy>

using namespace testsupport;

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void toolClickCreatesMinimumSizeObject()
    {
        auto panel = MakePanel();
        QSignalSpy dropped(panel.get(), &TGBasePanel::DroppedObjectEvent);
        panel->SetPanelState(psRectangle);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(100, 50));
        Flush();
        QCOMPARE(panel->Objects().size(), 1);
        auto *shape = qobject_cast<TBCShapes *>(panel->Objects().first());
        QVERIFY(shape);
        QCOMPARE(shape->BoundsRect(), QRect(100, 50, 50, 15));
        QCOMPARE(shape->Shape(), TGLabelShapes::stRectangle);
        QCOMPARE(dropped.size(), 1);
        QVERIFY(shape->ContextMenu()); // Loaded has run
    }

    void dragDirectionDoesNotMatter_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("left to right") << QPoint(40, 30) << QPoint(140, 90);
        QTest::newRow("right to left") << QPoint(140, 90) << QPoint(40, 30);
        QTest::newRow("bottom-left to top-right") << QPoint(40, 90) << QPoint(140, 30);
    }
    void dragDirectionDoesNotMatter()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        auto panel = MakePanel();
        panel->SetPanelState(psEllipse);
        Drag(panel.get(), from, to);
        QCOMPARE(panel->Objects().size(), 1);
        QCOMPARE(panel->Objects().first()->BoundsRect(), QRect(40, 30, 100, 60));
        QCOMPARE(qobject_cast<TBCShapes *>(panel->Objects().first())->Shape(), TGLabelShapes::stEllipse);
    }

    void toolsCreateTheirKinds()
    {
        auto panel = MakePanel();
        panel->SetPanelState(psRoundRectangle);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(10, 10));
        panel->SetPanelState(psLine);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(10, 100));
        Flush();
        QCOMPARE(panel->Objects().size(), 2);
        QCOMPARE(qobject_cast<TBCShapes *>(panel->Objects()[0])->Shape(), TGLabelShapes::stRoundRect);
        auto *line = qobject_cast<TGLineShape *>(panel->Objects()[1]);
        QVERIFY(line);
        QCOMPARE(line->LineStyle(), TGLineShape::stVertical);
    }

    void newObjectsAreNamedSpecialWithLowestFreeNumber()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 0, 0, 30, 30);
        auto *b = AddShape(*panel, 40, 0, 30, 30);
        QCOMPARE(a->objectName(), QString("Special1"));
        QCOMPARE(b->objectName(), QString("Special2"));
        panel->FreeObject(a);
        Flush();
        QCOMPARE(AddShape(*panel, 0, 40, 30, 30)->objectName(), QString("Special1"));
        b->setObjectName("Component0"); // as after loading a card
        QCOMPARE(panel->UniqueName("Special"), QString("Special2"));
    }

    void pointerClickOnEmptyPanelClearsSelection()
    {
        auto panel = MakePanel();
        auto *shape = AddShape(*panel, 10, 10, 50, 30);
        panel->Handle()->Select(shape);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(200, 150));
        Flush();
        QCOMPARE(panel->Handle()->Count(), 0);
        QVERIFY(panel->Handle()->isHidden());
    }

    void rubberBandSelectsTouchedObjects()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 50, 30);
        auto *b = AddShape(*panel, 100, 10, 50, 30);
        auto *c = AddShape(*panel, 200, 100, 50, 30);
        Q_UNUSED(c);
        // The band only touches the corners of a and b.
        Drag(panel.get(), QPoint(55, 45), QPoint(105, 35));
        QCOMPARE(panel->Handle()->Count(), 2);
        QVERIFY(panel->Handle()->IndexOf(a) >= 0);
        QVERIFY(panel->Handle()->IndexOf(b) >= 0);
        QVERIFY(!panel->RubberBandActive());
    }

    void shiftRubberBandTogglesSelection()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 50, 30);
        auto *b = AddShape(*panel, 100, 10, 50, 30);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        // Shift held: a band over b removes it, a stays.
        QTest::keyPress(panel.get(), Qt::Key_Shift);
        Drag(panel.get(), QPoint(90, 60), QPoint(120, 30), Qt::ShiftModifier);
        QTest::keyRelease(panel.get(), Qt::Key_Shift);
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{a});
    }

    void unselectableObjectsAreNeverSelected()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 50, 30);
        a->SetUnselectable(true);
        Drag(panel.get(), QPoint(0, 0), QPoint(100, 100));
        QCOMPARE(panel->Handle()->Count(), 0);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(20, 20));
        Flush();
        QCOMPARE(panel->Handle()->Count(), 0);
        panel->SelectAll();
        QCOMPARE(panel->Handle()->Count(), 0);
    }

    void clickOnObjectSelectsIt()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 50, 30);
        auto *b = AddShape(*panel, 100, 10, 50, 30);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(20, 20));
        Flush();
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{a});
        QTest::mouseClick(panel.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(110, 20));
        Flush();
        QCOMPARE(panel->Handle()->Selection(), (QList<TGGraphicControl *>{a, b}));
    }

    void zoomRoundsPanelSizeAndReturns()
    {
        auto panel = MakePanel(343, 191);
        panel->SetZoom(1.6f);
        QCOMPARE(panel->size(), QSize(549, 306));
        panel->SetZoom(1.0f);
        QCOMPARE(panel->size(), QSize(343, 191));
    }

    void zoomDoesNotRaiseChangeEvents()
    {
        auto panel = MakePanel();
        AddShape(*panel, 10, 10, 50, 30);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        panel->SetZoom(1.3f);
        Flush();
        QCOMPARE(changed.size(), 0);
        QCOMPARE(panel->Objects().first()->BoundsRect(), QRect(13, 13, 65, 39));
    }

    void printingSuppressesChangeEvents()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 50, 30);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        panel->SetPrinting(true);
        a->SetLeft(20);
        QCOMPARE(changed.size(), 0);
        panel->SetPrinting(false);
        a->SetLeft(30);
        QCOMPARE(changed.size(), 1);
    }

    void removeObjectsOffCardLimits_data()
    {
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<bool>("stays");
        QTest::newRow("left at width - 10") << QRect(333, 10, 20, 20) << true;
        QTest::newRow("left at width - 9") << QRect(334, 10, 20, 20) << false;
        QTest::newRow("top at height - 10") << QRect(10, 181, 20, 20) << true;
        QTest::newRow("top at height - 9") << QRect(10, 182, 20, 20) << false;
        QTest::newRow("negative position stays") << QRect(-40, -40, 20, 20) << true;
        QTest::newRow("zero width") << QRect(10, 10, 0, 20) << false;
        QTest::newRow("zero height") << QRect(10, 10, 20, 0) << false;
    }
    void removeObjectsOffCardLimits()
    {
        QFETCH(QRect, bounds);
        QFETCH(bool, stays);
        auto panel = MakePanel(343, 191);
        auto *a = AddShape(*panel, 10, 10, 20, 20);
        a->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
        panel->RemoveObjectsOffCard();
        Flush();
        QCOMPARE(panel->Objects().size(), stays ? 1 : 0);
    }

    void deleteAllObjectsEmptiesCard()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 20, 20);
        AddShape(*panel, 40, 10, 20, 20);
        panel->Handle()->Select(a);
        panel->DeleteAllObjects();
        Flush();
        QCOMPARE(panel->Objects().size(), 0);
        QCOMPARE(panel->Handle()->Count(), 0);
    }

    void gridDotsLieAtTwoModuloPitch()
    {
        auto panel = MakePanel(100, 60);
        panel->SetDrawOutline(false);
        panel->SetGridSize(gs8x8);
        panel->SetShowGrid(true);
        const QImage img = panel->Grab();
        const QRgb green = qRgb(0, 128, 0);
        int dots = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const bool isDot = (img.pixel(x, y) & 0xFFFFFF) == (green & 0xFFFFFF);
                const bool expected = x % 8 == 2 && y % 8 == 2;
                if (isDot != expected)
                    QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
                dots += isDot;
            }
        QCOMPARE(dots, 13 * 8); // x = 2..98 (13 columns), y = 2..58 (8 rows)
    }

    void gridFourByFourHasFourDotsPerTile()
    {
        auto panel = MakePanel(16, 16);
        panel->SetDrawOutline(false);
        panel->SetShowGrid(true);
        const QImage img = panel->Grab();
        for (QPoint p : {QPoint(2, 2), QPoint(6, 2), QPoint(2, 6), QPoint(6, 6), QPoint(14, 14)})
            QCOMPARE(img.pixelColor(p), QColor(0, 128, 0));
        QCOMPARE(img.pixelColor(4, 4), QColor(Qt::white));
    }

    void noGridDotsOutsideEllipse()
    {
        auto panel = MakePanel(200, 100);
        panel->SetDrawOutline(false);
        panel->SetShape(lsEllipse);
        panel->SetShowGrid(true);
        const QImage img = panel->Grab();
        for (QPoint corner : {QPoint(2, 2), QPoint(194, 2), QPoint(2, 94), QPoint(194, 94), QPoint(18, 10)})
            QCOMPARE(img.pixelColor(corner), QColor(Qt::white));
        QCOMPARE(img.pixelColor(98, 50), QColor(0, 128, 0));
    }

    void dottedOutlineFollowsShape()
    {
        auto panel = MakePanel(100, 60);
        const QImage img = panel->Grab();
        int dark = 0;
        for (int x = 0; x < 100; ++x)
            dark += qGray(img.pixel(x, 0)) < 128;
        QVERIFY2(dark > 30 && dark < 70, qPrintable(QString::number(dark))); // dotted, not solid
        QCOMPARE(img.pixelColor(50, 30), QColor(Qt::white));
    }

    void settingSamePanelStateLeavesCursor()
    {
        auto panel = MakePanel();
        panel->SetScreenCursor(platform::crHourGlass);
        panel->SetPanelState(psPointing);
        QCOMPARE(panel->ScreenCursor(), int(platform::crHourGlass));
        panel->SetPanelState(psLine);
        QCOMPARE(panel->ScreenCursor(), int(platform::crDrag));
        QVERIFY(!panel->Pointing());
    }

    void selectionMarksStayAboveHigherObjects_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QColor>("mark");
        QTest::newRow("one object: black marks") << 1 << QColor(Qt::black);
        QTest::newRow("two objects: grey marks") << 2 << QColor(128, 128, 128);
    }
    void selectionMarksStayAboveHigherObjects()
    {
        QFETCH(int, selected);
        QFETCH(QColor, mark);
        auto panel = MakePanel();
        auto *low = AddShape(*panel, 40, 40, 60, 40);
        auto *other = AddShape(*panel, 200, 40, 40, 40);
        // A higher, opaque shape in a colour no mark has covers the whole of
        // the lower one and its marks.
        auto *cover = qobject_cast<TBCShapes *>(AddShape(*panel, 20, 20, 100, 80));
        cover->Brush()->SetColor(platform::clAqua);
        cover->Pen()->SetColor(platform::clAqua);
        panel->Handle()->Select(low);
        if (selected == 2)
            panel->Handle()->Select(other);
        const QImage img = panel->Grab();
        // The corner marks of the lower object: 5 x 5 squares 2 pixels out.
        for (QPoint corner : {QPoint(38, 38), QPoint(97, 38), QPoint(38, 77), QPoint(97, 77)})
            QCOMPARE(img.pixelColor(corner + QPoint(2, 2)), mark);
        // Inside, the higher shape is still seen.
        QCOMPARE(img.pixelColor(70, 60), QColor(0, 255, 255));
    }

    void hasComplexObjectsOnlyForSuperShapesAndText()
    {
        auto panel = MakePanel();
        AddShape(*panel, 10, 10, 20, 20);
        QVERIFY(!panel->HasComplexObjects());
    }
};

QTEST_MAIN(TestPanel)
#include "tst_cardpanel.moc"

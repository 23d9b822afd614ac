// The selection handle: placement over the selection, moving and resizing with
// the mouse (zones, snapping, the quick-click rule, locked objects), nudging
// with the arrow keys, and the selection marks it shows.
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>
#include <QSignalSpy>

using namespace testsupport;

class TestHandle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void handleCoversOneThenTwoObjects()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        auto *b = AddShape(*panel, 200, 100, 50, 50);
        TGHandle *h = panel->Handle();
        h->Select(a);
        QCOMPARE(h->geometry(), QRect(8, 18, 105, 35));
        QVERIFY(h->isVisible());
        h->Select(b);
        QCOMPARE(h->geometry(), QRect(8, 18, 245, 135));
        h->Deselect(a);
        QCOMPARE(h->geometry(), QRect(198, 98, 55, 55));
        h->Deselect(b);
        QVERIFY(h->isHidden());
        QVERIFY(!h->isEnabled());
    }

    void refitIsOnePixelLarger()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        panel->Handle()->Select(a);
        a->SetLeft(12); // posts the refresh
        Flush();
        QCOMPARE(panel->Handle()->geometry(), QRect(10, 18, 106, 36));
    }

    void selectionMarksOfOneAndOfTwoObjects()
    {
        auto panel = MakePanel();
        panel->SetDrawOutline(false);
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        auto *b = AddShape(*panel, 200, 100, 50, 50);
        a->setProperty("Transparent", true);
        panel->Handle()->Select(a);
        QImage img = panel->Grab();
        // Frame (8, 18) to (112, 52): eight black squares.
        const QColor black(0, 0, 0);
        for (QPoint p : {QPoint(8, 18), QPoint(12, 22), QPoint(107, 18), QPoint(111, 51), QPoint(8, 51),
                         QPoint(58, 18), QPoint(58, 51), QPoint(8, 33), QPoint(111, 33)})
            QCOMPARE(img.pixelColor(p), black);
        QCOMPARE(img.pixelColor(7, 17), QColor(Qt::white));
        QCOMPARE(img.pixelColor(13, 18), QColor(Qt::white));

        panel->Handle()->Select(b);
        img = panel->Grab();
        const QColor grey(128, 128, 128);
        QCOMPARE(img.pixelColor(8, 18), grey);
        QCOMPARE(img.pixelColor(198, 98), grey);
        QCOMPARE(img.pixelColor(58, 18), QColor(Qt::white)); // no side marks for several
    }

    void cornerDragResizesOnePixelLess()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        panel->Handle()->Select(a);
        Flush();
        TGHandle *h = panel->Handle();
        const QPoint corner = h->geometry().topLeft() + QPoint(h->width() - 1, h->height() - 1);
        // Hover first so the zone is found, as the pointer does on its way there.
        QTest::mouseMove(h, corner - h->pos());
        QCOMPARE(h->Zone(), 4);
        AdvanceClock(1000);
        Drag(panel.get(), corner, corner + QPoint(20, 10));
        QCOMPARE(a->BoundsRect(), QRect(10, 20, 119, 39));
    }

    void moveDragMovesObject()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        AdvanceClock(1000);
        // Press on the unselected object selects it; the drag follows at once
        // and the object stays under the pointer from the press on, however
        // far the first move goes.
        Drag(panel.get(), QPoint(50, 30), QPoint(80, 60));
        QCOMPARE(a->BoundsRect(), QRect(40, 50, 100, 30));
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{a});
    }

    void snapLandsOnTwoModuloFour()
    {
        auto panel = MakePanel();
        panel->SetSnapToGrid(true);
        QVERIFY(panel->Handle()->SnapToGrid());
        QCOMPARE(panel->Handle()->GridX(), 4);
        auto *a = AddShape(*panel, 11, 23, 60, 30);
        panel->Handle()->Select(a);
        AdvanceClock(1000);
        Drag(panel.get(), QPoint(40, 35), QPoint(67, 58));
        QCOMPARE(a->Left() % 4, 2);
        QCOMPARE(a->Top() % 4, 2);
        QCOMPARE(a->Width(), 60);
    }

    void quickClickMovesNothing()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        panel->Handle()->Select(a);
        AdvanceClock(1000);
        Drag(panel.get(), QPoint(50, 30), QPoint(55, 33), {}, 40); // 120 ms in all
        QCOMPARE(a->BoundsRect(), QRect(10, 20, 100, 30));
    }

    void lockedObjectsStayWhileOthersMove()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 50, 30);
        auto *b = AddShape(*panel, 100, 20, 50, 30);
        b->SetLocked(true);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        AdvanceClock(1000);
        Drag(panel.get(), QPoint(30, 30), QPoint(40, 70));
        QCOMPARE(a->BoundsRect(), QRect(20, 60, 50, 30));
        QCOMPARE(b->BoundsRect(), QRect(100, 20, 50, 30));
    }

    void multipleSelectionOnlyMoves()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 50, 30);
        auto *b = AddShape(*panel, 100, 20, 50, 30);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        TGHandle *h = panel->Handle();
        QTest::mouseMove(h, QPoint(h->width() - 1, h->height() - 1));
        QCOMPARE(h->Zone(), 0);
    }

    void arrowKeysNudge_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("right moves") << int(Qt::Key_Right) << false << 1 << QRect(11, 20, 100, 30);
        QTest::newRow("held right accumulates") << int(Qt::Key_Right) << false << 3 << QRect(13, 20, 100, 30);
        QTest::newRow("shift right widens") << int(Qt::Key_Right) << true << 1 << QRect(10, 20, 101, 30);
        QTest::newRow("shift left narrows") << int(Qt::Key_Left) << true << 2 << QRect(10, 20, 98, 30);
        QTest::newRow("up moves") << int(Qt::Key_Up) << false << 1 << QRect(10, 19, 100, 30);
        QTest::newRow("shift down grows") << int(Qt::Key_Down) << true << 1 << QRect(10, 20, 100, 31);
    }
    void arrowKeysNudge()
    {
        QFETCH(int, key);
        QFETCH(bool, shift);
        QFETCH(int, presses);
        QFETCH(QRect, expected);
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        panel->Handle()->Select(a);
        const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
        for (int i = 0; i < presses; ++i)
            panel->Handle()->HandleKeyDown(key, mods);
        QCOMPARE(a->BoundsRect(), QRect(10, 20, 100, 30)); // nothing moves before the release
        QVERIFY(panel->Handle()->Nudging());
        QTest::keyRelease(panel->Handle(), Qt::Key(key), mods);
        Flush();
        QCOMPARE(a->BoundsRect(), expected);
    }

    void nudgeStopsAtPanelEdge()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 0, 0, 100, 30);
        panel->Handle()->Select(a);
        QTest::keyClick(panel->Handle(), Qt::Key_Left);
        Flush();
        QCOMPARE(a->Left(), 0);
    }

    void rightClickOpensObjectOrPanelMenu()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 100, 30);
        auto *b = AddShape(*panel, 150, 20, 50, 30);
        panel->Handle()->Select(a);
        TGHandle *h = panel->Handle();
        QTest::mouseClick(h, Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(a->ContextMenu()->isVisible());
        a->ContextMenu()->hide();
        panel->Handle()->Select(b);
        QTest::mouseClick(h, Qt::RightButton, {}, QPoint(20, 10));
        QVERIFY(!a->ContextMenu()->isVisible());
        QVERIFY(panel->ContextMenu()->isVisible());
        panel->ContextMenu()->hide();
    }

    void shiftClickOnSelectedObjectDeselectsIt()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 50, 30);
        auto *b = AddShape(*panel, 100, 20, 50, 30);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        TGHandle *h = panel->Handle();
        QTest::keyPress(h, Qt::Key_Shift);
        QTest::mouseClick(h, Qt::LeftButton, Qt::ShiftModifier, QPoint(120, 30) - h->pos());
        QTest::keyRelease(h, Qt::Key_Shift);
        Flush();
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{a});
    }

    void bringAndSendSelection()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 50, 30);
        auto *b = AddShape(*panel, 30, 30, 50, 30);
        panel->Handle()->Select(a);
        panel->BringSelectionToFront();
        QCOMPARE(panel->Objects().last(), a);
        QCOMPARE(panel->Handle()->Count(), 1);
        panel->Handle()->ClearSelection();
        panel->Handle()->Select(b);
        panel->SendSelectionToBack();
        QCOMPARE(panel->Objects().first(), b);
        QCOMPARE(panel->Handle()->Count(), 0);
    }
};

QTEST_MAIN(TestHandle)
#include "tst_selectionhandle.moc"

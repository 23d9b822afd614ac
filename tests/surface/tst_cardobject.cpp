// What every card object shares: bounds change notification, zoom, centring,
// the lock and selectability flags with their menu entries, and space trimming.
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QMenu>
#include <QSignalSpy>

using namespace testsupport;

class TestGraphicControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void firstBoundsAreNotAChange()
    {
        auto panel = MakePanel();
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        auto *shape = new TBCShapes(panel.get());
        shape->SetPanel(panel.get());
        shape->SetBounds(10, 10, 40, 40); // first seen: stored silently
        QCOMPARE(changed.size(), 0);
        shape->SetBounds(20, 10, 40, 40);
        QCOMPARE(changed.size(), 1);
        shape->SetBounds(20, 10, 40, 40);
        QCOMPARE(changed.size(), 1);
    }

    void zoomRoundsHalfToEven()
    {
        TBCShapes shape;
        shape.SetBounds(10, 10, 101, 31);
        shape.SetZoom(1.5f);
        QCOMPARE(shape.BoundsRect(), QRect(15, 15, 152, 46));
        QCOMPARE(shape.ZoomFactor(), 1.5);
        shape.SetZoom(1.5f);
        QCOMPARE(shape.BoundsRect(), QRect(15, 15, 152, 46));
    }

    void centringUsesIntegerHalves_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::newRow("height 21 on 201") << true << 21 << 90;
        QTest::newRow("width 51 on 343") << false << 51 << 146;
    }
    void centringUsesIntegerHalves()
    {
        QFETCH(bool, vertical);
        QFETCH(int, size);
        QFETCH(int, expected);
        auto panel = MakePanel(343, 201);
        auto *a = AddShape(*panel, 5, 5, vertical ? 30 : size, vertical ? size : 30);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        QAction *entry = a->MenuAction(vertical ? "Center Vertically" : "Center Horizontally");
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(vertical ? a->Top() : a->Left(), expected);
        QVERIFY(changed.size() >= 1);
    }

    void lockedEntryFollowsFlag()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 5, 5, 30, 30);
        QAction *locked = a->MenuAction("Locked");
        QVERIFY(locked && locked->isCheckable());
        QVERIFY(!locked->isChecked());
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        locked->trigger();
        QVERIFY(a->Locked());
        QVERIFY(locked->isChecked());
        QCOMPARE(changed.size(), 1);
        a->SetLocked(false);
        QVERIFY(!locked->isChecked());
        QCOMPARE(changed.size(), 2);
    }

    void unselectableEntryDeselects()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 5, 5, 30, 30);
        panel->Handle()->Select(a);
        a->MenuAction("Unselectable")->trigger();
        QVERIFY(a->Unselectable());
        QCOMPARE(panel->Handle()->Count(), 0);
    }

    void flagsReadFromFileTouchNothing()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 5, 5, 30, 30);
        panel->Handle()->Select(a);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        a->SetLoading(true);
        a->SetUnselectable(true);
        a->SetLocked(true);
        a->SetLoading(false);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(panel->Handle()->Count(), 1);
    }

    void menuHoldsCommonEntriesInOrder()
    {
        TBCShapes shape;
        shape.Loaded();
        QStringList captions;
        for (QAction *a : shape.ContextMenu()->actions())
            captions << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(captions.mid(0, 12),
                 (QStringList{"Bring To Front", "Send To Back", "Cut", "Copy", "Delete", "Clone", "-", "Locked",
                              "Unselectable", "-", "Center Vertically", "Center Horizontally"}));
    }

    void sendToBackFromObjectMenuClearsSelection()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 5, 5, 30, 30);
        auto *b = AddShape(*panel, 10, 10, 30, 30);
        panel->Handle()->Select(b);
        b->MenuAction("Send To Back")->trigger();
        QCOMPARE(panel->Objects().first(), b);
        QCOMPARE(panel->Handle()->Count(), 0);
        a->MenuAction("Bring To Front")->trigger();
        QCOMPARE(panel->Objects().last(), a);
    }

    void findNewestOfClassIsTopmost()
    {
        auto panel = MakePanel();
        AddShape(*panel, 5, 5, 30, 30);
        auto *b = AddShape(*panel, 10, 10, 30, 30);
        QCOMPARE(panel->Objects().first()->FindNewestOfClass(), b);
    }

    void trimSpaces_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("both");
        QTest::addColumn<QString>("leading");
        QTest::newRow("three spaces") << "   " << "" << "";
        QTest::newRow("tab kept") << "  \tword" << "\tword" << "\tword";
        QTest::newRow("inner spaces stay") << " a  b " << "a  b" << "a  b ";
        QTest::newRow("empty") << "" << "" << "";
    }
    void trimSpaces()
    {
        QFETCH(QString, input);
        QFETCH(QString, both);
        QFETCH(QString, leading);
        QCOMPARE(TGGraphicControl::TrimSpaces(input), both);
        QCOMPARE(TGGraphicControl::TrimLeadingSpaces(input), leading);
    }
};

QTEST_MAIN(TestGraphicControl)
#include "tst_cardobject.moc"

// The card panel's editing commands: its context menu and enabled states, the
// clipboard keys with the one-second paste rule, alignment, locking,
// selectability and the font for the selection.
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/BusinessCardLabel.h"
#include "platform/Dialogs.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>

using namespace testsupport;

namespace {
QList<QRect> Bounds(const TGBasePanel &panel)
{
    QList<QRect> all;
    for (const TGGraphicControl *o : panel.Objects())
        all << o->BoundsRect();
    return all;
}
} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }
    void init() { QFile::remove(ProgramFolder() + "Clipbrd.tmp"); }

    void menuEnabledStatesFollowTheCard()
    {
        auto panel = MakePanel();
        panel->UpdateMenuStates();
        QVERIFY(!panel->MenuAction("Paste")->isEnabled());
        QVERIFY(!panel->MenuAction("Lock All")->isEnabled());
        QVERIFY(!panel->MenuAction("Unlock All")->isEnabled());
        QVERIFY(!panel->MenuAction("Bring To Front")->isEnabled());
        QVERIFY(!panel->MenuAction("Font")->isEnabled());
        QVERIFY(panel->MenuAction("Select All")->isEnabled());
        QVERIFY(panel->MenuAction("Mark All Selectable")->isEnabled());

        auto *a = AddShape(*panel, 10, 10, 30, 30);
        panel->UpdateMenuStates();
        QVERIFY(panel->MenuAction("Lock All")->isEnabled());
        QVERIFY(!panel->MenuAction("Cut")->isEnabled());
        panel->Handle()->Select(a);
        panel->SelectionClipboardCommand(TGBasePanel::ccCopy);
        panel->UpdateMenuStates();
        QVERIFY(panel->MenuAction("Paste")->isEnabled());
        QVERIFY(panel->MenuAction("Align Left")->isEnabled());
    }

    void rightClickOnEmptyCardOpensPanelMenu()
    {
        auto panel = MakePanel();
        QTest::mouseClick(panel.get(), Qt::RightButton, {}, QPoint(100, 100));
        QVERIFY(panel->ContextMenu()->isVisible());
        QVERIFY(!panel->MenuAction("Paste")->isEnabled());
        panel->ContextMenu()->hide();
    }

    void copyWithEmptySelectionKeepsClipboard()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        panel->Handle()->Select(a);
        QTest::keyClick(panel->Handle(), Qt::Key_C, Qt::ControlModifier);
        QFile clip(panel->ClipboardFileName());
        QVERIFY(clip.open(QIODevice::ReadOnly));
        const QByteArray before = clip.readAll();
        clip.close();
        panel->Handle()->ClearSelection();
        a->SetLeft(100);
        QTest::keyClick(panel.get(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(clip.open(QIODevice::ReadOnly));
        QCOMPARE(clip.readAll(), before);
    }

    void pastesWithinASecondAreDropped_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("copies");
        QTest::newRow("300 ms apart: one set") << 300 << 1;
        QTest::newRow("1.5 s apart: two sets") << 1500 << 2;
    }
    void pastesWithinASecondAreDropped()
    {
        QFETCH(int, gapMs);
        QFETCH(int, copies);
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 20, 30, 30);
        panel->Handle()->Select(a);
        panel->SelectionClipboardCommand(TGBasePanel::ccCopy);
        panel->Handle()->ClearSelection();
        AdvanceClock(5000);
        QTest::keyClick(panel.get(), Qt::Key_V, Qt::ControlModifier);
        AdvanceClock(gapMs);
        QTest::keyClick(panel.get(), Qt::Key_V, Qt::ControlModifier);
        Flush();
        QCOMPARE(panel->Objects().size(), 1 + copies);
        // Every copy lands 15 pixels right of and below the original, not 30.
        for (int i = 1; i <= copies; ++i) {
            QCOMPARE(panel->Objects()[i]->BoundsRect(), QRect(25, 35, 30, 30));
            QVERIFY(panel->Objects()[i]->objectName().startsWith("Component"));
        }
        QCOMPARE(panel->Handle()->Count(), 0); // pasted objects are not selected
    }

    void cutOfThreeRaisesThreeChanges()
    {
        auto panel = MakePanel();
        for (int i = 0; i < 3; ++i)
            panel->Handle()->Select(AddShape(*panel, 10 + 40 * i, 10, 30, 30));
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        QTest::keyClick(panel->Handle(), Qt::Key_X, Qt::ControlModifier);
        Flush();
        QCOMPARE(changed.size(), 3);
        QCOMPARE(panel->Objects().size(), 0);
        QVERIFY(QFile::exists(panel->ClipboardFileName()));
    }

    void deleteKeyRemovesSelection()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        AddShape(*panel, 50, 10, 30, 30);
        panel->Handle()->Select(a);
        QTest::keyClick(panel->Handle(), Qt::Key_Delete);
        Flush();
        QCOMPARE(panel->Objects().size(), 1);
        QTest::keyClick(panel.get(), Qt::Key_Delete, Qt::ControlModifier); // Ctrl+Delete does nothing
        Flush();
        QCOMPARE(panel->Objects().size(), 1);
    }

    void deleteFromUnselectedObjectsMenuDeletesOnlyIt()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        auto *b = AddShape(*panel, 50, 10, 30, 30);
        auto *c = AddShape(*panel, 90, 10, 30, 30);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        c->MenuAction("Delete")->trigger();
        Flush();
        QCOMPARE(panel->Objects(), (QList<TGGraphicControl *>{a, b}));
        QCOMPARE(panel->Handle()->Count(), 2);
    }

    void copyFromSelectedObjectsMenuCopiesSelection()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        auto *b = AddShape(*panel, 50, 10, 30, 30);
        panel->Handle()->Select(a);
        panel->Handle()->Select(b);
        a->MenuAction("Copy")->trigger();
        panel->Handle()->ClearSelection();
        AdvanceClock(5000);
        panel->SelectionClipboardCommand(TGBasePanel::ccPaste);
        Flush();
        QCOMPARE(panel->Objects().size(), 4);
    }

    void alignment_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<QRect>>("start");
        QTest::addColumn<QList<QRect>>("expected");
        const QList<QRect> lefts{QRect(40, 10, 10, 10), QRect(12, 40, 20, 10), QRect(70, 80, 30, 10)};
        QTest::newRow("lefts") << "Align Left" << lefts
                               << QList<QRect>{QRect(12, 10, 10, 10), QRect(12, 40, 20, 10), QRect(12, 80, 30, 10)};
        const QList<QRect> atZero{QRect(0, 10, 10, 10), QRect(0, 40, 20, 10), QRect(0, 80, 30, 10)};
        QTest::newRow("rights") << "Align Right" << atZero
                                << QList<QRect>{QRect(20, 10, 10, 10), QRect(10, 40, 20, 10), QRect(0, 80, 30, 10)};
        const QList<QRect> rows{QRect(10, 30, 10, 10), QRect(40, 5, 10, 20), QRect(70, 50, 10, 30)};
        QTest::newRow("tops") << "Align Tops" << rows
                              << QList<QRect>{QRect(10, 5, 10, 10), QRect(40, 5, 10, 20), QRect(70, 5, 10, 30)};
        QTest::newRow("bottoms") << "Align Bottoms" << rows
                                 << QList<QRect>{QRect(10, 70, 10, 10), QRect(40, 60, 10, 20), QRect(70, 50, 10, 30)};
    }
    void alignment()
    {
        QFETCH(QString, command);
        QFETCH(QList<QRect>, start);
        QFETCH(QList<QRect>, expected);
        auto panel = MakePanel();
        for (const QRect &r : start) {
            auto *o = AddShape(*panel, 0, 0, 30, 30);
            o->SetBounds(r.x(), r.y(), r.width(), r.height());
            o->SetLocked(true); // locked objects are aligned too
            panel->Handle()->Select(o);
        }
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        panel->MenuAction(command)->trigger();
        QCOMPARE(Bounds(*panel), expected);
        QVERIFY(changed.size() >= 1);
    }

    void centringTheSelection()
    {
        auto panel = MakePanel(343, 201);
        auto *a = AddShape(*panel, 10, 10, 51, 21);
        panel->Handle()->Select(a);
        panel->MenuAction("Center Vertically")->trigger();
        panel->MenuAction("Center Horizontally")->trigger();
        QCOMPARE(a->BoundsRect(), QRect(146, 90, 51, 21));
    }

    void lockAndUnlockAll()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        auto *b = AddShape(*panel, 50, 10, 30, 30);
        b->SetLocked(true);
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        panel->MenuAction("Lock All")->trigger();
        QVERIFY(a->Locked() && b->Locked());
        QCOMPARE(changed.size(), 1); // only a changed
        QVERIFY(a->MenuAction("Locked")->isChecked());
        panel->MenuAction("Unlock All")->trigger();
        QVERIFY(!a->Locked() && !b->Locked());
    }

    void markAllUnselectableAndBack()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        auto *b = AddShape(*panel, 50, 10, 30, 30);
        panel->Handle()->Select(a);
        panel->MenuAction("Mark All Unselectable")->trigger();
        QCOMPARE(panel->Handle()->Count(), 0);
        panel->MenuAction("Select All")->trigger();
        QCOMPARE(panel->Handle()->Count(), 0);
        panel->MenuAction("Mark All Selectable")->trigger();
        panel->MenuAction("Select All")->trigger();
        QCOMPARE(panel->Handle()->Selection(), (QList<TGGraphicControl *>{a, b}));
    }

    void fontForSelectionReachesSelectedLabelsOnly()
    {
        auto panel = MakePanel();
        auto *selected = new TGBusinessCardLabel(panel.get());
        auto *other = new TGBusinessCardLabel(panel.get());
        for (auto *label : {selected, other}) {
            label->Loaded();
            panel->AddNewObject(label, {10, 10 + 50 * (label == other), 150, 40 + 50 * (label == other)});
        }
        panel->Handle()->Select(selected);
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetName("Liberation Serif");
            font.SetSize(14);
            return true;
        });
        panel->MenuAction("Font")->trigger();
        platform::SetFontChooserForTests({});
        QCOMPARE(selected->Font()->Name(), QString("Liberation Serif"));
        QCOMPARE(selected->Font()->Size(), 14);
        QVERIFY(other->Font()->Name() != QString("Liberation Serif"));
    }

    void fontDialogOpensWithTheSelectionsFont_data()
    {
        QTest::addColumn<bool>("labelSelected");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("bold");
        QTest::newRow("a 20 pt bold red label") << true << "Liberation Serif" << 20 << true;
        QTest::newRow("a shape: the panel's font") << false << "Liberation Mono" << 12 << false;
    }
    void fontDialogOpensWithTheSelectionsFont()
    {
        QFETCH(bool, labelSelected);
        QFETCH(QString, face);
        QFETCH(int, size);
        QFETCH(bool, bold);
        auto panel = MakePanel();
        QFont panelFont(QStringLiteral("Liberation Mono"));
        panelFont.setPointSize(12);
        panel->setFont(panelFont);
        auto *label = new TGBusinessCardLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 150, 40});
        label->Font()->SetName(QStringLiteral("Liberation Serif"));
        label->Font()->SetSize(20);
        label->Font()->SetStyle(Vcl::fsBold);
        label->Font()->SetColor(platform::clRed);
        auto *shape = AddShape(*panel, 10, 100, 40, 40);
        panel->Handle()->Select(labelSelected ? static_cast<TGGraphicControl *>(label) : shape);
        TFont offered;
        platform::SetFontChooserForTests([&offered](TFont &font) {
            offered.Assign(font);
            return false;
        });
        panel->MenuAction("Font")->trigger();
        platform::SetFontChooserForTests({});
        QCOMPARE(offered.Name(), face);
        QCOMPARE(offered.Size(), size);
        QCOMPARE(offered.Style().testFlag(Vcl::fsBold), bold);
        QCOMPARE(int(offered.Color()), labelSelected ? int(platform::clRed) : int(platform::clBlack));
    }

    void sendToBackClearsSelectionBringToFrontKeepsIt()
    {
        auto panel = MakePanel();
        auto *a = AddShape(*panel, 10, 10, 30, 30);
        auto *b = AddShape(*panel, 20, 20, 30, 30);
        panel->Handle()->Select(a);
        panel->MenuAction("Bring To Front")->trigger();
        QCOMPARE(panel->Objects().last(), a);
        QCOMPARE(panel->Handle()->Count(), 1);
        panel->MenuAction("Send To Back")->trigger();
        QCOMPARE(panel->Objects().first(), a);
        QCOMPARE(panel->Handle()->Count(), 0);
        Q_UNUSED(b);
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"

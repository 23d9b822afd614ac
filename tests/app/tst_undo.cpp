// Undo and redo of card changes, the Edit menu's clipboard entries, the file
// keys, and the zoom range with Fit to Window, tried through the main window
// as a user works it.
#include "AppTestKit.h"

#include "app/UndoHistory.h"
#include "objects/ImageObject.h"
#include "surface/ComponentStream.h"
#include "surface/CardObject.h"
#include "surface/SelectionHandle.h"

#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QWindow>

using namespace apptest;
using testsupport::Flush;

namespace {

QAction *Action(QWidget *w, const char *name) { return w->findChild<QAction *>(QLatin1String(name)); }

QPoint CenterOf(const TGGraphicControl *o) { return o->BoundsRect().center(); }

// Selects the object by clicking it.
void SelectOnly(TGBusinessCardPanel32 *panel, TGGraphicControl *o)
{
    panel->Handle()->ClearSelection();
    QTest::mouseClick(panel, Qt::LeftButton, {}, CenterOf(o));
    Flush();
}

// A user's action on a card of three shapes (the first selected), and the
// name its step gets in the Edit menu.
struct StepKind {
    const char *name;
    const char *undoCaption;
    std::function<void(TMainScreen &)> act;
};

const QList<StepKind> &StepKinds()
{
    static const QList<StepKind> kinds = {
        {"drag", "Undo Move",
         [](TMainScreen &w) {
             TGGraphicControl *o = w.BusinessCardPanel()->Objects().first();
             testsupport::Drag(w.BusinessCardPanel(), CenterOf(o), CenterOf(o) + QPoint(40, 25));
         }},
        {"drag at 150 %", "Undo Move",
         [](TMainScreen &w) {
             for (int i = 0; i < 5; ++i)
                 w.ZoomIn();
             TGGraphicControl *o = w.BusinessCardPanel()->Objects()[1];
             testsupport::Drag(w.BusinessCardPanel(), CenterOf(o), CenterOf(o) + QPoint(-40, 35));
         }},
        {"run of nudges", "Undo Move",
         [](TMainScreen &w) {
             QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
             for (int i = 0; i < 4; ++i)
                 QTest::keyPress(target, Qt::Key_Right);
             QTest::keyRelease(target, Qt::Key_Right);
         }},
        {"delete key", "Undo Delete", [](TMainScreen &w) { PressKey(&w, Qt::Key_Delete); }},
        {"cut", "Undo Cut", [](TMainScreen &w) { Action(&w, "mnuCut")->trigger(); }},
        {"paste", "Undo Paste",
         [](TMainScreen &w) {
             Action(&w, "mnuCopy")->trigger();
             testsupport::AdvanceClock(5000);
             Action(&w, "mnuPaste")->trigger();
         }},
        {"align", "Undo Move",
         [](TMainScreen &w) {
             w.BusinessCardPanel()->SelectAll();
             w.BusinessCardPanel()->MenuAction("Align Tops")->trigger();
         }},
        {"lock all", "Undo Lock", [](TMainScreen &w) { w.BusinessCardPanel()->MenuAction("Lock All")->trigger(); }},
        {"draw", "Undo Add",
         [](TMainScreen &w) {
             w.BusinessCardPanel()->SetPanelState(psEllipse);
             testsupport::Drag(w.BusinessCardPanel(), QPoint(200, 100), QPoint(260, 150));
         }},
    };
    return kinds;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;
    FileDialogs FFiles;

    // A fresh untitled card with three shapes, the history starting there.
    std::unique_ptr<TMainScreen> CardWithShapes()
    {
        auto w = StartMainWindow();
        w->New1Click();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        testsupport::AddShape(*panel, 20, 20, 60, 40);
        testsupport::AddShape(*panel, 120, 30, 50, 50);
        testsupport::AddShape(*panel, 60, 110, 80, 30);
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the main window did not become active: its keys may not arrive");
        Flush();
        SelectOnly(panel, panel->Objects().first());
        return w;
    }

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        PinPrinters();
        FBoxes.Install();
        FFiles.Install();
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
        FFiles.seen.clear();
        FFiles.answers.clear();
    }

    void undoAndRedoRestoreTheCardExactly_data()
    {
        QTest::addColumn<int>("kind");
        for (int i = 0; i < StepKinds().size(); ++i)
            QTest::newRow(StepKinds()[i].name) << i;
    }
    void undoAndRedoRestoreTheCardExactly()
    {
        QFETCH(int, kind);
        const StepKind &step = StepKinds()[kind];
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        const QByteArray before = panel->SaveToBytes();
        const int steps = w->History().UndoCount();

        step.act(*w);
        Flush();
        const QByteArray after = panel->SaveToBytes();
        QVERIFY(after != before);
        // However many events the action took, it is one step.
        QCOMPARE(w->History().UndoCount(), steps + 1);
        QCOMPARE(Action(w.get(), "mnuUndo")->text(), QString(step.undoCaption));

        Action(w.get(), "mnuUndo")->trigger();
        QCOMPARE(panel->SaveToBytes(), before);
        QCOMPARE(Action(w.get(), "mnuRedo")->text(), QString(step.undoCaption).replace("Undo", "Redo"));
        Action(w.get(), "mnuRedo")->trigger();
        QCOMPARE(panel->SaveToBytes(), after);
        Discard(w);
    }

    // A photo on the card: moving it and then a shape are two steps, the second
    // sharing the photo's bytes; undoing both shows and saves the card as it was.
    void undoOnACardWithAPictureGivesBackTheCardShownAndSaved()
    {
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        QImage photo(600, 400, QImage::Format_RGB32);
        {
            QPainter p(&photo);
            QLinearGradient g(0, 0, 600, 400);
            g.setColorAt(0, Qt::darkBlue);
            g.setColorAt(1, Qt::yellow);
            p.fillRect(photo.rect(), g);
        }
        auto *image = new TGImage(panel);
        image->Picture()->SetBitmap(TBitmap::FromImage(photo));
        image->Loaded();
        panel->AddNewObject(image, {190, 100, 290, 160});
        image->SetBounds(190, 100, 100, 60);
        Flush();
        const qsizetype photoBytes = TComponentWriter::ObjectListToBytes({image}).size();
        FFiles.answers.push_back(CardFolder() + "Photo.QRV");
        QVERIFY(w->mnuSaveAsClick());
        const QByteArray saved = ReadBytes(CardFolder() + "Photo.QRV");
        const QImage shown = panel->Grab();
        const int steps = w->History().UndoCount();

        testsupport::Drag(panel, CenterOf(image), CenterOf(image) + QPoint(-30, 15));
        Flush();
        const qsizetype afterPhotoMove = w->History().MemoryUsed();
        TGGraphicControl *shape = panel->Objects()[2];
        testsupport::Drag(panel, CenterOf(shape), CenterOf(shape) + QPoint(0, -12));
        Flush();
        QCOMPARE(w->History().UndoCount(), steps + 2);
        QCOMPARE(Action(w.get(), "mnuUndo")->text(), QString("Undo Move"));
        const QImage moved = panel->Grab();
        QVERIFY(moved != shown);
        // The shape's step shares the moved photo's bytes with the step before.
        QVERIFY2(w->History().MemoryUsed() - afterPhotoMove < photoBytes / 10,
                 qPrintable(QStringLiteral("%1 -> %2").arg(afterPhotoMove).arg(w->History().MemoryUsed())));

        w->UndoClick();
        w->UndoClick();
        QCOMPARE(panel->Grab(), shown);
        QVERIFY(!w->ChangesMade());
        w->mnuSaveClick();
        QCOMPARE(ReadBytes(CardFolder() + "Photo.QRV"), saved);
        w->RedoClick();
        w->RedoClick();
        QCOMPARE(panel->Grab(), moved);
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void undoKeepsTheSelectionOfItsStep()
    {
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        SelectOnly(panel, panel->Objects()[1]);
        PressKey(w.get(), Qt::Key_Delete);
        Flush();
        QCOMPARE(panel->ObjectCount(), 2);
        w->UndoClick();
        QCOMPARE(panel->ObjectCount(), 3);
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{panel->Objects()[1]});
        Discard(w);
    }

    void undoToTheSavedCardClearsTheChangedState()
    {
        auto w = CardWithShapes();
        FFiles.answers.push_back(CardFolder() + "Saved.QRV");
        QVERIFY(w->mnuSaveAsClick());
        const QByteArray saved = ReadBytes(CardFolder() + "Saved.QRV");
        QVERIFY(!w->isWindowModified());

        TGGraphicControl *o = w->BusinessCardPanel()->Objects().first();
        testsupport::Drag(w->BusinessCardPanel(), CenterOf(o), CenterOf(o) + QPoint(30, 0));
        Flush();
        QVERIFY(w->ChangesMade());
        QVERIFY(w->isWindowModified());
        QVERIFY(w->windowHandle()->title().contains(QLatin1Char('*')));

        w->UndoClick();
        QVERIFY(!w->ChangesMade());
        QVERIFY(!w->isWindowModified());
        // The card shown is the one in the file.
        w->mnuSaveClick();
        QCOMPARE(ReadBytes(CardFolder() + "Saved.QRV"), saved);
        w->UndoClick(); // before the save: the three shapes were never saved that way
        QVERIFY(w->ChangesMade());
        w->RedoClick();
        QVERIFY(!w->ChangesMade());
        w->RedoClick();
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void newAndOpenStartAFreshHistory()
    {
        auto w = CardWithShapes();
        PressKey(w.get(), Qt::Key_Delete);
        Flush();
        QVERIFY(w->History().CanUndo());
        w->SetChangesMade(false);
        w->New1Click();
        QVERIFY(!w->History().CanUndo());
        QVERIFY(!Action(w.get(), "mnuUndo")->isEnabled());
        QCOMPARE(Action(w.get(), "mnuUndo")->text(), QString("Undo"));
        Discard(w);
    }

    void historyIsBoundedInStepsAndMemory_data()
    {
        QTest::addColumn<int>("stateBytes");
        QTest::addColumn<int>("records");
        QTest::newRow("small states") << 1000 << 300;
        QTest::newRow("large states") << 2 * 1024 * 1024 << 100;
    }
    void historyIsBoundedInStepsAndMemory()
    {
        QFETCH(int, stateBytes);
        QFETCH(int, records);
        TUndoHistory history;
        auto state = [stateBytes](int n) {
            QByteArray card(stateBytes, 'x');
            card.replace(0, 8, QByteArray::number(n).rightJustified(8, '0'));
            return TCardState{{card}, QString(), {}, {}};
        };
        history.Reset(state(0));
        for (int n = 1; n <= records; ++n)
            history.Record(state(n), QStringLiteral("Move"));
        QVERIFY(history.MemoryUsed() <= TUndoHistory::kMaxBytes);
        QVERIFY(history.UndoCount() >= qMin(100, int(TUndoHistory::kMaxBytes / stateBytes) - 2));
        // The steps kept are the latest ones, in order.
        const int kept = history.UndoCount();
        for (int i = 1; i <= kept; ++i)
            QCOMPARE(history.Undo().Records.first().left(8), QByteArray::number(records - i).rightJustified(8, '0'));
        QVERIFY(!history.CanUndo());
    }

    void keysReachTheirCommands_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+Z") << QKeySequence("Ctrl+Z") << "undone";
        QTest::newRow("Ctrl+Shift+Z") << QKeySequence("Ctrl+Shift+Z") << "redone";
        QTest::newRow("Ctrl+Y") << QKeySequence("Ctrl+Y") << "redone";
        QTest::newRow("Ctrl+A") << QKeySequence("Ctrl+A") << "all selected";
        QTest::newRow("Ctrl+X") << QKeySequence("Ctrl+X") << "one less";
        QTest::newRow("Delete") << QKeySequence(Qt::Key_Delete) << "one less";
        QTest::newRow("Ctrl+N") << QKeySequence("Ctrl+N") << "empty card";
        QTest::newRow("Ctrl+S untitled") << QKeySequence("Ctrl+S") << "Save Business Card As";
        QTest::newRow("Ctrl+Shift+S") << QKeySequence("Ctrl+Shift+S") << "Save Business Card As";
        QTest::newRow("Ctrl+O") << QKeySequence("Ctrl+O") << "Open Business Card";
    }
    void keysReachTheirCommands()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, effect);
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        // A step to undo, and for the redo keys one undone.
        const QByteArray unmoved = panel->SaveToBytes();
        TGGraphicControl *o = panel->Objects().first();
        testsupport::Drag(panel, CenterOf(o), CenterOf(o) + QPoint(20, 20));
        Flush();
        const QByteArray moved = panel->SaveToBytes();
        if (effect == "redone")
            w->UndoClick();
        const QByteArray before = panel->SaveToBytes();
        w->SetChangesMade(false); // no save prompt in the way

        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
        QTest::keySequence(target, keys);
        Flush();

        if (effect == "undone")
            QCOMPARE(panel->SaveToBytes(), unmoved);
        else if (effect == "redone")
            QCOMPARE(panel->SaveToBytes(), moved);
        else if (effect == "all selected")
            QCOMPARE(panel->Handle()->Count(), 3);
        else if (effect == "one less")
            QCOMPARE(panel->ObjectCount(), 2);
        else if (effect == "empty card")
            QCOMPARE(panel->ObjectCount(), 0);
        else
            QVERIFY(!FFiles.seen.isEmpty() && FFiles.seen.last().title == effect);
        Discard(w);
    }

    void editEntriesFollowTheSelection()
    {
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        auto *edit = w->findChild<QMenu *>("Edit1");
        panel->Handle()->ClearSelection();
        emit edit->aboutToShow();
        for (const char *name : {"mnuCut", "mnuCopy", "mnuDeleteObjects", "mnuPaste"})
            QVERIFY2(!Action(w.get(), name)->isEnabled(), name);
        QVERIFY(Action(w.get(), "mnuSelectAll")->isEnabled());
        Action(w.get(), "mnuSelectAll")->trigger();
        emit edit->aboutToShow();
        for (const char *name : {"mnuCut", "mnuCopy", "mnuDeleteObjects"})
            QVERIFY2(Action(w.get(), name)->isEnabled(), name);
        Action(w.get(), "mnuCopy")->trigger();
        emit edit->aboutToShow();
        QVERIFY(Action(w.get(), "mnuPaste")->isEnabled());
        Discard(w);
    }

    void fitToWindowFillsTheWindowAndFollowsIt_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(420, 330);
        QTest::newRow("wide") << QSize(1200, 500);
        QTest::newRow("tall") << QSize(700, 900);
    }
    void fitToWindowFillsTheWindowAndFollowsIt()
    {
        QFETCH(QSize, size);
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        const QByteArray card = panel->SaveToBytes();
        w->resize(800, 600);
        Flush();
        w->SetChangesMade(false);
        Action(w.get(), "mnuFitToWindow")->trigger();
        w->resize(size);
        Flush();
        const QSize room = w->ScrollBox()->viewport()->size();
        QVERIFY2(panel->width() <= room.width() && panel->height() <= room.height(),
                 qPrintable(QString("%1x%2 in %3x%4").arg(panel->width()).arg(panel->height())
                                .arg(room.width()).arg(room.height())));
        // As large as the window allows: one side (nearly) fills it.
        QVERIFY(room.width() - panel->width() <= 24 || room.height() - panel->height() <= 24);
        QCOMPARE(w->ZoomCaptionText(), QString::number(qRound(panel->ZoomFactor() * 100)) + "%");
        QCOMPARE(panel->SaveToBytes(), card);
        QVERIFY(!w->ChangesMade());
        Discard(w);
    }

    void everyZoomLeavesTheCardAsItWas()
    {
        auto w = CardWithShapes();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        const QByteArray card = panel->SaveToBytes();
        const QSize size = panel->size();
        const int steps = w->History().UndoCount();
        QStringList captions;
        for (int i = 0; i < 7; ++i)
            w->ZoomOut();
        captions << w->ZoomCaptionText();
        for (int i = 0; i < 40; ++i) {
            w->ZoomIn();
            QCOMPARE(panel->SaveToBytes(), card);
        }
        captions << w->ZoomCaptionText();
        for (int i = 0; i < 30; ++i)
            w->ZoomOut();
        captions << w->ZoomCaptionText();
        QCOMPARE(captions, QStringList({"50%", "400%", "100%"}));
        QCOMPARE(panel->size(), size);
        QCOMPARE(panel->SaveToBytes(), card);
        QCOMPARE(w->History().UndoCount(), steps);
        Discard(w);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

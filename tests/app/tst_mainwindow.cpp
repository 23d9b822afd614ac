// The main window as the user meets it: tool buttons, grid and snap, zoom,
// keys, the change state and title, printing availability, closing, window
// placement, help and the About box.
#include "AppTestKit.h"

#include "app/HelpWindow.h"
#include "app/AboutDialog.h"
#include "platform/Picture.h"
#include "surface/ClassRegistry.h"
#include "surface/CardObject.h"
#include "surface/SelectionHandle.h"
#include "widgets/SpinEdit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

using namespace apptest;
using testsupport::Flush;

class TestMainScreen : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;
    FileDialogs FFiles;

    template <typename T> static T *Child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        if (!c)
            qWarning("no control %s", name);
        return c;
    }
    static QAction *Action(QWidget *w, const char *name) { return Child<QAction>(w, name); }

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        FBoxes.Install();
        FFiles.Install();
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
        FFiles.seen.clear();
        FFiles.answers.clear();
        SetPrintingCommands(DefaultPrintingCommands());
        PinPrinters();
        SetScreenRectForTests(std::nullopt);
        platform::SetScreenPixelsPerInchForTests(96);
    }

    // A first start fills the new texture folder with the delivered textures
    // and the art folder with sample art; later starts leave the user's
    // folders as they are, even when a picture was deleted.
    void firstStartProvidesTexturesAndArt()
    {
        const QDir textures(TextureFolder());
        auto w = StartMainWindow();
        Discard(w);
        QVERIFY(textures.entryList({"*.bmp"}, QDir::Files).size() >= 8);
        QVERIFY(!QDir(BackgroundArtFolder()).entryList({"*.bmp"}, QDir::Files).isEmpty());
        TBitmap bricks = TBitmap::LoadFromFile(textures.filePath("bricks.bmp"));
        QVERIFY(bricks.Width() > 0);
        QVERIFY(QFile::remove(textures.filePath("bricks.bmp")));
        w = StartMainWindow();
        Discard(w);
        QVERIFY(!textures.exists("bricks.bmp"));
    }

    // ---- tools ----

    void toolButtonsSetTheTool_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("hint");
        QTest::newRow("rectangle") << "DrawRectanglebutton" << int(psRectangle) << "Rectangle tool";
        QTest::newRow("ellipse") << "DrawEllipseButton" << int(psEllipse) << "Ellipse tool";
        QTest::newRow("round rectangle") << "DrawRoundrectbutton" << int(psRoundRectangle) << "Round Rectangle tool";
        QTest::newRow("line") << "DrawLinebutton" << int(psLine) << "Line Tool";
    }
    void toolButtonsSetTheTool()
    {
        QFETCH(QString, button);
        QFETCH(int, state);
        QFETCH(QString, hint);
        auto w = StartMainWindow();
        auto *b = w->findChild<QToolButton *>(button);
        QVERIFY(b && b->isEnabled());
        QCOMPARE(b->toolTip(), hint);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(int(w->BusinessCardPanel()->PanelState()), state);
        QVERIFY(b->isChecked());
        QVERIFY(!w->ToolButton(psPointing)->isChecked()); // one radio group
        QTest::mouseClick(w->ToolButton(psPointing), Qt::LeftButton);
        QCOMPARE(w->BusinessCardPanel()->PanelState(), psPointing);
        Discard(w);
    }

    void toolsWithoutTheirObjectsStayDisabled_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("className");
        QTest::newRow("image") << int(psImage) << QByteArray("TGImage");
        QTest::newRow("SuperShape") << int(psSuperShape) << QByteArray("TSuperShape");
        QTest::newRow("rich text") << int(psRichLabel) << QByteArray("TGPRichBaseLabel");
        QTest::newRow("SuperText") << int(psSuperText) << QByteArray("TGSuperText");
        QTest::newRow("circle text") << int(psCircleText) << QByteArray("TGPCircleText");
        QTest::newRow("text") << int(psLabel) << QByteArray("TGBusinessCardLabel");
        QTest::newRow("symbol") << int(psSymbolLabel) << QByteArray("TGSymbolLabel");
        QTest::newRow("multi-line") << int(psMultiLineLabel) << QByteArray("TGMultiLineLabel");
    }
    void toolsWithoutTheirObjectsStayDisabled()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, className);
        auto w = StartMainWindow();
        QToolButton *b = w->ToolButton(TLPanelState(state));
        const bool available = FindCardClass(className) != nullptr;
        QCOMPARE(b->isEnabled(), available);
        if (!available) {
            QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(w->BusinessCardPanel()->PanelState(), psPointing);
        }
        Discard(w);
    }

    void afterDrawingThePointerComesBack()
    {
        auto w = StartMainWindow();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        QVERIFY(!w->ChangesMade());
        QVERIFY(!Child<QPushButton>(w.get(), "Savebutton")->isVisible());
        QTest::mouseClick(w->ToolButton(psEllipse), Qt::LeftButton);
        testsupport::Drag(panel, QPoint(20, 20), QPoint(120, 80));
        QCOMPARE(panel->ObjectCount(), 1);
        QCOMPARE(panel->PanelState(), psPointing);
        QVERIFY(w->ToolButton(psPointing)->isChecked());
        QVERIFY(w->ChangesMade());
        auto *save = Child<QPushButton>(w.get(), "Savebutton");
        QVERIFY(save->isVisible());
        QVERIFY(Child<QPushButton>(w.get(), "Cancelbutton")->isVisible());
        QCOMPARE(save->text(), QString("Save As"));
        QVERIFY(!Action(w.get(), "mnuSave")->isEnabled());
        Discard(w);
    }

    void gridAndSnapButtonsDrivePanel()
    {
        auto w = StartMainWindow();
        auto *grid = Child<QToolButton>(w.get(), "ShowGrid");
        auto *snap = Child<QToolButton>(w.get(), "SnapToGrid");
        QCOMPARE(grid->toolTip(), QString("Show grid"));
        QCOMPARE(snap->toolTip(), QString("Snap to Grid"));
        QVERIFY(!w->BusinessCardPanel()->ShowGrid());
        QTest::mouseClick(grid, Qt::LeftButton);
        QVERIFY(w->BusinessCardPanel()->ShowGrid());
        QVERIFY(!w->BusinessCardPanel()->SnapToGrid()); // groups of their own
        QTest::mouseClick(snap, Qt::LeftButton);
        QVERIFY(w->BusinessCardPanel()->SnapToGrid());
        QVERIFY(grid->isChecked());
        QTest::mouseClick(grid, Qt::LeftButton);
        QTest::mouseClick(snap, Qt::LeftButton);
        QVERIFY(!w->BusinessCardPanel()->ShowGrid());
        QVERIFY(!w->BusinessCardPanel()->SnapToGrid());
        Discard(w);
    }

    void clickOnEmptyScrollBoxClearsSelection()
    {
        auto w = StartMainWindow();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        TGGraphicControl *shape = testsupport::AddShape(*panel, 10, 10, 40, 30);
        panel->Handle()->Select(shape);
        QCOMPARE(panel->Handle()->Count(), 1);
        QTest::mouseClick(w->ScrollBox()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(panel->Handle()->Count(), 0);
        Discard(w);
    }

    // ---- zoom ----

    void zoomStepsAndCaption_data()
    {
        QTest::addColumn<int>("ups");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size"); // the card's own size times the zoom
        QTest::newRow("start") << 0 << 0 << "100%" << QSize(336, 192);
        QTest::newRow("one up") << 1 << 0 << "110%" << QSize(370, 211);
        QTest::newRow("three up") << 3 << 0 << "130%" << QSize(437, 250);
        QTest::newRow("six up") << 6 << 0 << "160%" << QSize(538, 307);
        QTest::newRow("thirty up reaches 400") << 30 << 0 << "400%" << QSize(1344, 768);
        QTest::newRow("no further than 400") << 33 << 0 << "400%" << QSize(1344, 768);
        QTest::newRow("five down reaches 50") << 0 << 5 << "50%" << QSize(168, 96);
        QTest::newRow("no further than 50") << 0 << 8 << "50%" << QSize(168, 96);
        QTest::newRow("up and back") << 6 << 6 << "100%" << QSize(336, 192);
    }
    void zoomStepsAndCaption()
    {
        QFETCH(int, ups);
        QFETCH(int, downs);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        auto w = StartMainWindow();
        auto *spinner = Child<TSpinButton>(w.get(), "ZoomSpinner");
        for (int i = 0; i < ups; ++i)
            QTest::mouseClick(spinner->UpButton(), Qt::LeftButton);
        for (int i = 0; i < downs; ++i)
            QTest::mouseClick(spinner->DownButton(), Qt::LeftButton);
        QCOMPARE(Child<QLabel>(w.get(), "ZoomCaption")->text(), caption);
        QCOMPARE(w->BusinessCardPanel()->ZoomFactor(), caption.chopped(1).toFloat() / 100.0f);
        // Sizes may differ by a rounding pixel after a round trip.
        QCOMPARE(w->BusinessCardPanel()->size(), size);
        QVERIFY(!w->ChangesMade());
        Discard(w);
    }

    void zoomClearsSelectionAndKeepsChangeState()
    {
        auto w = StartMainWindow();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        TGGraphicControl *shape = testsupport::AddShape(*panel, 10, 10, 40, 30);
        w->SetChangesMade(false);
        panel->Handle()->Select(shape);
        w->ZoomIn();
        QCOMPARE(panel->Handle()->Count(), 0);
        QVERIFY(!w->ChangesMade());
        QCOMPARE(shape->Width(), 44);
        Discard(w);
    }

    void keypadPlusAndMinusZoomOnRelease()
    {
        auto w = StartMainWindow();
        PressKey(w.get(), Qt::Key_Plus, Qt::KeypadModifier);
        PressKey(w.get(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(w->ZoomCaptionText(), QString("120%"));
        PressKey(w.get(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(w->ZoomCaptionText(), QString("110%"));
        PressKey(w.get(), Qt::Key_Plus); // the main keyboard's plus is not the zoom key
        QCOMPARE(w->ZoomCaptionText(), QString("110%"));
        // Ctrl with keypad + zooms once, even when Ctrl is let go first.
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
        QTest::keyPress(target, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QTest::keyRelease(target, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(w->ZoomCaptionText(), QString("120%"));
        Discard(w);
    }

    void ctrlZoomKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Ctrl++ twice") << QList<int>{Qt::Key_Plus, Qt::Key_Plus} << "120%";
        QTest::newRow("Ctrl+= as Ctrl++") << QList<int>{Qt::Key_Equal} << "110%";
        QTest::newRow("Ctrl+- after Ctrl++") << QList<int>{Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus} << "110%";
        QTest::newRow("Ctrl+- below 100%") << QList<int>{Qt::Key_Minus} << "90%";
        QTest::newRow("Ctrl+- stops at 50%") << QList<int>(7, Qt::Key_Minus) << "50%";
        QTest::newRow("Ctrl+0 returns to 100%") << QList<int>{Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_0}
                                                << "100%";
        QTest::newRow("Ctrl++ stops at 400%") << QList<int>(32, Qt::Key_Plus) << "400%";
    }
    void ctrlZoomKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, caption);
        auto w = StartMainWindow();
        for (int key : keys)
            PressKey(w.get(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(w->ZoomCaptionText(), caption);
        QCOMPARE(qRound(w->BusinessCardPanel()->ZoomFactor() * 100), caption.chopped(1).toInt());
        Discard(w);
    }

    // Zooming an opened card with the keys is looking, not editing: the card
    // is not marked changed at any step.
    void zoomKeysMarkNoOpenedCardChanged_data()
    {
        QTest::addColumn<QString>("card");
        const QDir folder(testsupport::TestDataFolder() + QStringLiteral("/cards"));
        for (const QString &name : folder.entryList({QStringLiteral("*.qrv")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }
    void zoomKeysMarkNoOpenedCardChanged()
    {
        QFETCH(QString, card);
        auto w = StartMainWindow();
        const QString copy = CardFolder() + QStringLiteral("opened.qrv");
        QFile::remove(copy);
        QVERIFY(QFile::copy(card, copy));
        FFiles.answers.push_back(copy);
        w->Open1Click();
        Flush();
        QVERIFY(!w->ChangesMade());
        for (int step = 0; step < 6; ++step) {
            PressKey(w.get(), Qt::Key_Plus, Qt::ControlModifier);
            Flush();
            QVERIFY2(!w->ChangesMade(), qPrintable(w->ZoomCaptionText()));
        }
        Discard(w);
    }

    void smallWindowKeepsTheBottomBarReadable_data()
    {
        QTest::addColumn<QSize>("asked");
        QTest::newRow("tiny") << QSize(100, 80);
        QTest::newRow("narrow") << QSize(300, 500);
    }
    void smallWindowKeepsTheBottomBarReadable()
    {
        QFETCH(QSize, asked);
        auto w = StartMainWindow();
        w->resize(asked);
        QApplication::processEvents();
        QVERIFY(w->width() >= w->minimumSizeHint().width());
        auto *bar = Child<QWidget>(w.get(), "BottomBar");
        // No button is squeezed below its text, and none overlaps another.
        const QList<QPushButton *> buttons = bar->findChildren<QPushButton *>();
        QVERIFY(buttons.size() >= 6);
        for (QPushButton *b : buttons) {
            QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(b->text()));
            for (QPushButton *other : buttons)
                if (other != b && b->isVisible() && other->isVisible())
                    QVERIFY2(!b->geometry().intersects(other->geometry()),
                             qPrintable(b->text() + " / " + other->text()));
        }
        // The bar is the window's bottom edge, with the card area above it.
        QCOMPARE(bar->mapTo(w.get(), QPoint(0, bar->height())).y(), w->height());
        QVERIFY(w->ScrollBox()->height() >= 100);
        Discard(w);
    }

    // ---- keys ----

    void pageKeysScrollByLineAndHomeEndToTheEnds()
    {
        // A card taller than the window, so that the card area scrolls (one
        // row of them, so that the sheet fits on the paper).
        WriteText(SettingsFileName(), "[Layout]\nHeight=9000\nDown=1\n");
        auto w = StartMainWindow();
        QScrollBar *bar = w->ScrollBox()->verticalScrollBar();
        QVERIFY(bar->maximum() > 3 * bar->singleStep());
        QCOMPARE(bar->value(), 0);
        PressKey(w.get(), Qt::Key_PageDown);
        QCOMPARE(bar->value(), bar->singleStep());
        PressKey(w.get(), Qt::Key_PageDown);
        QCOMPARE(bar->value(), 2 * bar->singleStep());
        PressKey(w.get(), Qt::Key_PageUp);
        QCOMPARE(bar->value(), bar->singleStep());
        PressKey(w.get(), Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        PressKey(w.get(), Qt::Key_Home);
        QCOMPARE(bar->value(), 0);
        Discard(w);
    }

    void otherKeysReachThePanelFromAnywhere()
    {
        auto w = StartMainWindow();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        TGGraphicControl *shape = testsupport::AddShape(*panel, 10, 10, 40, 30);
        panel->Handle()->Select(shape);
        auto *exit = Child<QPushButton>(w.get(), "CloseButton");
        exit->setFocus();
        QCOMPARE(QApplication::focusWidget(), exit);
        PressKey(w.get(), Qt::Key_Delete);
        Flush();
        QCOMPARE(panel->ObjectCount(), 0);
        Discard(w);
    }

    // ---- change state and title ----

    void changeStateDrivesButtonsAndSaveItem_data()
    {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("changes");
        QTest::newRow("untitled, unchanged") << false << false;
        QTest::newRow("untitled, changed") << false << true;
        QTest::newRow("titled, unchanged") << true << false;
        QTest::newRow("titled, changed") << true << true;
    }
    void changeStateDrivesButtonsAndSaveItem()
    {
        QFETCH(bool, titled);
        QFETCH(bool, changes);
        auto w = StartMainWindow();
        if (titled) {
            FFiles.answers.push_back(CardFolder() + "Mine.QRV");
            QVERIFY(w->mnuSaveAsClick());
        }
        w->SetChangesMade(changes);
        auto *save = Child<QPushButton>(w.get(), "Savebutton");
        QCOMPARE(save->isVisible(), changes);
        QCOMPARE(Child<QPushButton>(w.get(), "Cancelbutton")->isVisible(), changes);
        QCOMPARE(save->text(), titled ? QString("Save") : QString("Save As"));
        QCOMPARE(Action(w.get(), "mnuSave")->isEnabled(), titled);
        QCOMPARE(w->windowTitle(), titled ? QString("Quorvel - Mine.QRV[*]") : QString("Quorvel[*]"));
        QCOMPARE(w->isWindowModified(), changes);
        Discard(w);
    }

    // A new window has room for Save and Cancel: the first change shows them
    // without widening the window or moving the other buttons.
    void firstChangeMovesNoButton()
    {
        auto w = StartMainWindow();
        Flush();
        auto *print = Child<QPushButton>(w.get(), "PrintButton");
        const int width = w->width();
        const QPoint printAt = print->mapTo(w.get(), QPoint(0, 0));
        w->SetChangesMade(true);
        Flush();
        QVERIFY(Child<QPushButton>(w.get(), "Savebutton")->isVisible());
        QCOMPARE(w->width(), width);
        QCOMPARE(print->mapTo(w.get(), QPoint(0, 0)), printAt);
        const QRect save = Child<QPushButton>(w.get(), "Cancelbutton")->geometry();
        QVERIFY(save.right() < print->geometry().left());
        Discard(w);
    }

    // ---- printing availability ----

    void printingCommandsFollowThePrinter_data()
    {
        QTest::addColumn<bool>("commands");
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("defaultPrinter");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("no printing commands yet") << false << QStringList{"lp"} << "lp" << "" << false;
        QTest::newRow("no printers") << true << QStringList() << ""
                                     << "There are no installed printers.\r\nUnable to perform printer related "
                                        "operations"
                                     << false;
        QTest::newRow("no default printer") << true << QStringList{"lp"} << ""
                                            << "There is no default printer selected.\r\nUnable to perform "
                                               "printer related operations"
                                            << false;
        QTest::newRow("printer ready") << true << QStringList{"lp"} << "lp" << "" << true;
    }
    void printingCommandsFollowThePrinter()
    {
        QFETCH(bool, commands);
        QFETCH(QStringList, printers);
        QFETCH(QString, defaultPrinter);
        QFETCH(QString, message);
        QFETCH(bool, enabled);
        int printed = 0;
        SetPrintingCommands({});
        if (commands) {
            TPrintingCommands c;
            c.Print = [&](TMainScreen &) { ++printed; };
            c.Preview = [](TMainScreen &) {};
            SetPrintingCommands(c);
        }
        SetPrinterFactsForTests([=] { return TPrinterFacts{printers, defaultPrinter}; });
        auto w = StartMainWindow();
        QCOMPARE(FBoxes.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(w->PrintingAvailable(), enabled);
        QCOMPARE(Child<QPushButton>(w.get(), "PrintButton")->isEnabled(), enabled);
        QCOMPARE(Child<QPushButton>(w.get(), "Previewbutton")->isEnabled(), enabled);
        for (const char *item : {"mnuPrint", "mnuPreview", "mnuPrinterSetup", "mnuPrintOutlineTestPage"})
            QCOMPARE(Action(w.get(), item)->isEnabled(), enabled);
        // Activating again does not ask again.
        w->FormActivate();
        QCOMPARE(FBoxes.shown.size(), message.isEmpty() ? 0 : 1);
        QTest::mouseClick(Child<QPushButton>(w.get(), "PrintButton"), Qt::LeftButton);
        QCOMPARE(printed, enabled ? 1 : 0);
        Discard(w);
    }

    void layoutCommandReloadsSavesAndResizesCard_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void layoutCommandReloadsSavesAndResizesCard()
    {
        QFETCH(bool, confirm);
        auto w = StartMainWindow();
        WriteText(SettingsFileName(), "[Layout]\nDown=4\n"); // changed behind the program's back
        CardSheetLayout offered;
        TPrintingCommands c = DefaultPrintingCommands();
        c.EditLayout = [&](TMainScreen &, CardSheetLayout &layout) {
            offered = layout;
            layout.Width = 3.0f;
            layout.Height = 2.125f;
            return confirm;
        };
        SetPrintingCommands(c);
        Action(w.get(), "ChangeCardLayout1")->trigger();
        QCOMPARE(offered.Down, 4);
        const TIniFile ini(SettingsFileName());
        if (confirm) {
            QCOMPARE(w->BusinessCardPanel()->size(), QSize(288, 204));
            QCOMPARE(ini.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 0), 3000);
            QCOMPARE(ini.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Height"), 0), 2125);
        } else {
            QCOMPARE(w->BusinessCardPanel()->size(), QSize(336, 192));
            QVERIFY(!ini.ValueExists(QStringLiteral("Layout"), QStringLiteral("Width")));
        }
        Discard(w);
    }

    void layoutChangeAtZoomKeepsZoom()
    {
        auto w = StartMainWindow();
        w->ZoomIn();
        TPrintingCommands c = DefaultPrintingCommands();
        c.EditLayout = [](TMainScreen &, CardSheetLayout &layout) {
            layout.Width = 3.0f;
            return true;
        };
        SetPrintingCommands(c);
        w->ChangeCardLayout1Click();
        QCOMPARE(w->BusinessCardPanel()->ZoomFactor(), 1.1f);
        QCOMPARE(w->BusinessCardPanel()->size(), QSize(317, 211)); // 288 x 192 at 110 %
        Discard(w);
    }

    void fineTuningOkSavesNudges()
    {
        auto w = StartMainWindow();
        TPrintingCommands c = DefaultPrintingCommands();
        c.FineTuning = [](TMainScreen &, PrinterNudges &n) {
            n.TopMarginNudge = 3;
            n.VerticalSpacing = -2;
            return true;
        };
        SetPrintingCommands(c);
        QVERIFY(Action(w.get(), "mnuFineTuning")->isEnabled());
        Action(w.get(), "mnuFineTuning")->trigger();
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Printer"), QStringLiteral("TopMarginNudge"), 0), 3);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Printer"), QStringLiteral("VerticalSpacing"), 0), -2);
        QCOMPARE(w->Nudges().TopMarginNudge, 3);
        Discard(w);
    }

    // ---- closing ----

    void closeBoxAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("cancel stays") << int(platform::mrCancel) << false;
        QTest::newRow("no drops the changes") << int(platform::mrNo) << true;
    }
    void closeBoxAsksAboutUnsavedChanges()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        auto w = StartMainWindow();
        testsupport::AddShape(*w->BusinessCardPanel(), 10, 10, 40, 30);
        QVERIFY(w->ChangesMade());
        FBoxes.answers.push_back(platform::TMsgResult(answer));
        // The desktop's close request, as the close box sends it.
        QCloseEvent close;
        QApplication::sendEvent(w.get(), &close);
        QCOMPARE(FBoxes.shown.size(), 1);
        QCOMPARE(FBoxes.shown[0].text, QString("Save changes?"));
        QCOMPARE(FBoxes.shown[0].caption, QString("Save"));
        QCOMPARE(FBoxes.shown[0].buttons, platform::mbYesNoCancel);
        QCOMPARE(close.isAccepted(), closed);
        if (!closed)
            QVERIFY(w->ChangesMade());
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 1);
        Discard(w);
    }

    void exitButtonClosesAndSavesPlacement()
    {
        auto w = StartMainWindow();
        w->setGeometry(40, 50, 600, 420);
        Flush();
        QTest::mouseClick(Child<QPushButton>(w.get(), "CloseButton"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(FBoxes.shown.size(), 0); // nothing to save, nothing asked
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.ReadInteger(QStringLiteral("TMainScreen_Placement"), QStringLiteral("Left"), -1), 40);
        QCOMPARE(ini.ReadInteger(QStringLiteral("TMainScreen_Placement"), QStringLiteral("Bottom"), -1), 470);
        Discard(w);
    }

    // ---- placement ----

    void placementSectionNamesTheResolution_data()
    {
        QTest::addColumn<int>("ppi");
        QTest::addColumn<QString>("section");
        QTest::newRow("96") << 96 << "TMainScreen_Placement";
        QTest::newRow("72") << 72 << "TMainScreen_Placement";
        QTest::newRow("120") << 120 << "TMainScreen_Placement120";
        QTest::newRow("144") << 144 << "TMainScreen_Placement144";
    }
    void placementSectionNamesTheResolution()
    {
        QFETCH(int, ppi);
        QFETCH(QString, section);
        platform::SetScreenPixelsPerInchForTests(ppi);
        auto w = StartMainWindow();
        QCOMPARE(PlacementSection(w.get()), section);
        QVERIFY(TIniFile(SettingsFileName()).SectionExists(section)); // written right after the restore
        Discard(w);
    }

    void savedPlacementIsPulledInsideSmallerScreen_data()
    {
        QTest::addColumn<QRect>("saved"); // left, top, right, bottom
        QTest::addColumn<QRect>("expected");
        QTest::newRow("fits") << QRect(QPoint(100, 80), QPoint(700, 500)) << QRect(100, 80, 600, 420);
        QTest::newRow("past the right edge") << QRect(QPoint(500, 80), QPoint(1100, 500)) << QRect(200, 80, 600, 420);
        QTest::newRow("past the bottom") << QRect(QPoint(100, 400), QPoint(700, 820)) << QRect(100, 180, 600, 420);
        QTest::newRow("past both") << QRect(QPoint(900, 700), QPoint(1500, 1120)) << QRect(200, 180, 600, 420);
    }
    void savedPlacementIsPulledInsideSmallerScreen()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, expected);
        SetScreenRectForTests(QRect(0, 0, 800, 600));
        WriteText(SettingsFileName(), QStringLiteral("[TMainScreen_Placement]\nLeft=%1\nTop=%2\nRight=%3\n"
                                                     "Bottom=%4\nMaximized=0\n")
                                          .arg(saved.left())
                                          .arg(saved.top())
                                          .arg(saved.right())
                                          .arg(saved.bottom())
                                          .toUtf8());
        auto w = StartMainWindow();
        QCOMPARE(w->geometry(), expected);
        Discard(w);
    }

    void nothingSavedCentresTheWindow()
    {
        SetScreenRectForTests(QRect(0, 0, 1000, 700));
        auto w = StartMainWindow();
        // Centred before it is shown; showing may settle its size by a few pixels.
        QVERIFY(qAbs(w->geometry().center().x() - 500) <= 4);
        QVERIFY(qAbs(w->geometry().center().y() - 350) <= 4);
        w->resize(601, 401);
        CenterForm(w.get());
        QCOMPARE(w->pos(), QPoint(199, 149)); // (1000 - 601) div 2, (700 - 401) div 2
        Discard(w);
    }

    void dialogsCentreOverTheMainWindow()
    {
        auto w = StartMainWindow();
        w->setGeometry(101, 51, 601, 421);
        Flush();
        {
            QDialog dialog(w.get());
            dialog.resize(200, 100);
            CenterForm(&dialog);
            // (601 - 200) div 2 = 200, (421 - 100) div 2 = 160
            QCOMPARE(dialog.pos(), QPoint(301, 211));
        }
        w->showMaximized();
        Flush();
        {
            QDialog dialog(w.get());
            dialog.resize(200, 100);
            CenterForm(&dialog);
            const QRect screen = ScreenRect();
            QCOMPARE(dialog.pos(), QPoint(screen.left() + (screen.width() - 200) / 2,
                                          screen.top() + (screen.height() - 100) / 2));
        }
        Discard(w);
    }

    // ---- help, About, web page ----

    void helpButtonOpensMainTopicAndContentsTheContents()
    {
        auto w = StartMainWindow();
        QTest::mouseClick(Child<QPushButton>(w.get(), "Helpbutton"), Qt::LeftButton);
        QVERIFY(THelpWindow::Existing());
        QCOMPARE(THelpWindow::Existing()->CurrentPage(), QString(":/help/2016.html"));
        QVERIFY(THelpWindow::Existing()->isVisible());
        Action(w.get(), "Contents1")->trigger();
        QCOMPARE(THelpWindow::Existing()->CurrentPage(), QString(":/help/index.html"));
        THelpWindow::Existing()->close();
        Discard(w);
    }

    void everyHelpContextHasATopic()
    {
        for (int n : HelpContextNumbers()) {
            const QString page = THelpWindow::TopicPage(n);
            QVERIFY2(!page.isEmpty(), qPrintable(QString::number(n)));
            ShowHelpContext(n);
            QCOMPARE(THelpWindow::Existing()->CurrentPage(), page);
            QVERIFY2(!THelpWindow::Existing()->CurrentTitle().isEmpty(), qPrintable(page));
        }
        ShowHelpContext(12345); // unknown: the contents
        QCOMPARE(THelpWindow::Existing()->CurrentPage(), THelpWindow::ContentsPage());
        THelpWindow::Existing()->close();
    }

    void aboutBoxShowsVersion()
    {
        auto w = StartMainWindow();
        QString caption;
        QString version;
        bool onTop = false;
        SetDialogRunnerForTests([&](QDialog &d) {
            caption = d.windowTitle();
            version = static_cast<TSplashform &>(d).VersionText();
            onTop = d.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
            return d.result();
        });
        Action(w.get(), "About1")->trigger();
        SetDialogRunnerForTests({});
        QCOMPARE(caption, QString("About Quorvel"));
        QCOMPARE(version, QString("Version " QUORVEL_VERSION));
        QVERIFY(onTop);
        Discard(w);
    }

    void websiteItemOpensHomePage()
    {
        auto w = StartMainWindow();
        QVERIFY(Action(w.get(), "VisitOurInternetWebsite1")->parentWidget());
        QVERIFY(w->findChild<QMenu *>(QStringLiteral("Online1"))->menuAction()->isVisible());
        QUrl opened;
        SetWebPageOpenerForTests([&](const QUrl &url) { opened = url; });
        Action(w.get(), "VisitOurInternetWebsite1")->trigger();
        SetWebPageOpenerForTests({});
        QCOMPARE(opened, QUrl(QString::fromLatin1(TMainScreen::kHomePage)));
        Discard(w);
    }
};

QTEST_MAIN(TestMainScreen)
#include "tst_mainwindow.moc"

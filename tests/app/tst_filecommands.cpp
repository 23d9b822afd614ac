// The File menu: New, Open, Delete, Save, Save As, the Save and Cancel
// buttons, the recent-files entries, the side file that names a card's
// background art, and the save prompt that guards unsaved work.
#include "AppTestKit.h"

#include "app/BackgroundArtDialog.h"
#include "surface/CardObject.h"
#include "surface/ClassRegistry.h"
#include "surface/ComponentStream.h"
#include "surface/SelectionHandle.h"
#include "widgets/RecentFiles.h"

#include <QAction>
#include <QImage>
#include <QPushButton>

using namespace apptest;
using testsupport::Flush;

namespace {
// A small picture in the background art folder.
QString MakePicture(const QString &path, QColor color = Qt::blue)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "BMP");
    return path;
}

// Draws one rectangle the way a user does.
void DrawShape(TMainScreen &w, QPoint from = QPoint(20, 20), QPoint to = QPoint(90, 60))
{
    w.BusinessCardPanel()->SetPanelState(psRectangle);
    testsupport::Drag(w.BusinessCardPanel(), from, to);
}
} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;
    FileDialogs FFiles;
    int FBeeps = 0;

    // A saved card with one shape, its path in the card folder.
    QString SaveCardWithShape(const QString &name, QPoint from = QPoint(20, 20))
    {
        auto w = StartMainWindow();
        w->New1Click(); // away from the card the start-up reopened
        DrawShape(*w, from, from + QPoint(50, 30));
        FFiles.answers.push_back(CardFolder() + name);
        w->mnuSaveAsClick();
        Discard(w);
        FFiles.seen.clear();
        return CardFolder() + name;
    }

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        PinPrinters();
        FBoxes.Install();
        FFiles.Install();
        platform::SetBeepForTests([this] { ++FBeeps; });
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
        FFiles.seen.clear();
        FFiles.answers.clear();
        FBeeps = 0;
    }

    // ---- Save As ----

    void saveAsProposesFreeName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("empty card folder") << QStringList() << "BC0001.QRV";
        QTest::newRow("first taken") << QStringList{"BC0001.QRV"} << "BC0002.QRV";
        QTest::newRow("taken in small letters") << QStringList{"bc0001.qrv", "Bc0002.Qrv"} << "BC0003.QRV";
        QTest::newRow("gap is filled") << QStringList{"BC0001.QRV", "BC0003.QRV"} << "BC0002.QRV";
        QTest::newRow("other names do not count") << QStringList{"BC1.QRV", "BC0001.QRE"} << "BC0001.QRV";
    }
    void saveAsProposesFreeName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, proposed);
        auto w = StartMainWindow();
        for (const QString &name : existing)
            WriteText(CardFolder() + name, "x");
        DrawShape(*w);
        QVERIFY(!w->mnuSaveAsClick()); // the user cancels
        QCOMPARE(FFiles.seen.size(), 1);
        QCOMPARE(FFiles.seen[0].initialFile, proposed);
        QCOMPARE(FFiles.seen[0].directory, QDir(CardFolder()).absolutePath());
        QCOMPARE(FFiles.seen[0].defaultSuffix, QString("QRV"));
        QCOMPARE(FFiles.seen[0].mode, QFileDialog::AcceptSave);
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void saveAsOfTitledCardProposesItsOwnName()
    {
        const QString path = SaveCardWithShape(QStringLiteral("Mine.QRV"));
        auto w = StartMainWindow();
        QCOMPARE(w->CardFileName(), path);
        w->mnuSaveAsClick();
        QCOMPARE(FFiles.seen.last().initialFile, QString("Mine.QRV"));
        Discard(w);
    }

    void saveAsWritesCardTitleAndRecentList()
    {
        auto w = StartMainWindow();
        DrawShape(*w);
        FFiles.answers.push_back(CardFolder() + "BC0001.QRV");
        QVERIFY(w->mnuSaveAsClick());
        QVERIFY(QFileInfo(CardFolder() + "BC0001.QRV").size() > 0);
        QCOMPARE(w->windowTitle(), QString("Quorvel - BC0001.QRV[*]"));
        QVERIFY(!w->ChangesMade());
        QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("Savebutton"))->isVisible());
        QCOMPARE(TIniFile(SettingsFileName()).ReadString(QStringLiteral("MRU"), QStringLiteral("F0"), QString()),
                 CardFolder() + "BC0001.QRV");
        Discard(w);
    }

    void saveWithoutNameBeepsAndSaveWritesWithoutTouchingRecentList()
    {
        auto w = StartMainWindow();
        DrawShape(*w);
        w->mnuSaveClick();
        QCOMPARE(FBeeps, 1);
        QVERIFY(w->ChangesMade());
        Discard(w);

        const QString a = SaveCardWithShape(QStringLiteral("A.QRV"));
        const QString b = SaveCardWithShape(QStringLiteral("B.QRV"));
        auto again = StartMainWindow();
        again->RecentFileClick(a); // A is now the most recent
        DrawShape(*again, QPoint(100, 100), QPoint(150, 140));
        QTest::keyClick(again.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!again->ChangesMade());
        QCOMPARE(again->RecentFiles()->Items(), QStringList({a, b}));
        Discard(again);
        auto reopened = StartMainWindow();
        QCOMPARE(reopened->BusinessCardPanel()->ObjectCount(), 2);
        Discard(reopened);
    }

    // ---- the side file ----

    void sideFileNameReplacesOnlyTheFileNamesExtension_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("side");
        QTest::newRow("plain") << "/home/u/saved/BC0001.QRV" << "/home/u/saved/BC0001.QRE";
        QTest::newRow("small letters") << "/home/u/saved/card.qrv" << "/home/u/saved/card.QRE";
        QTest::newRow("dot in a folder name") << "/home/u/my.cards/BC0001.QRV" << "/home/u/my.cards/BC0001.QRE";
        QTest::newRow("dots in the name") << "/x/jane.doe.v2.qrv" << "/x/jane.doe.v2.QRE";
        QTest::newRow("no extension, dotted folder") << "/x/v1.0/card" << "/x/v1.0/card.QRE";
    }
    void sideFileNameReplacesOnlyTheFileNamesExtension()
    {
        QFETCH(QString, card);
        QFETCH(QString, side);
        QCOMPARE(TMainScreen::SideFileName(card), side);
    }

    void sideFileIsWrittenReplacedAndDeleted()
    {
        const QString art1 = MakePicture(BackgroundArtFolder() + "one.bmp");
        const QString art2 = MakePicture(BackgroundArtFolder() + "two.bmp", Qt::red);
        // A card folder below a folder with a dot in its name.
        const QString folder = platform::ProgramFolder() + "my.cards/";
        QDir().mkpath(folder);
        const QString card = folder + "Card.QRV";
        const QString side = folder + "Card.QRE";
        auto w = StartMainWindow();
        DrawShape(*w);

        SetDialogRunnerForTests([](QDialog &d) {
            static_cast<TLoadBackGround &>(d).SelectFile(QStringLiteral("one.bmp"));
            return 1;
        });
        w->mnuSetorChangeBackgroundArtClick();
        FFiles.answers.push_back(card);
        QVERIFY(w->mnuSaveAsClick());
        QCOMPARE(ReadBytes(side), (art1 + "\r\n").toUtf8());

        SetDialogRunnerForTests([](QDialog &d) {
            static_cast<TLoadBackGround &>(d).SelectFile(QStringLiteral("two.bmp"));
            return 1;
        });
        w->mnuSetorChangeBackgroundArtClick();
        w->mnuSaveClick();
        QCOMPARE(ReadBytes(side), (art2 + "\r\n").toUtf8());

        SetDialogRunnerForTests([](QDialog &) { return TLoadBackGround::kNoneResult; });
        w->mnuSetorChangeBackgroundArtClick();
        SetDialogRunnerForTests({});
        w->mnuSaveClick();
        QVERIFY(!QFile::exists(side));
        QVERIFY(QFile::exists(card));
        Discard(w);
    }

    // A save that cannot be written whole changes nothing: the card file and
    // its side file stay as they were saved, no temporary file is left, the
    // card keeps its changes, and the message names the file and the reason.
    void saveOnAFullDiskKeepsTheSavedCard_data()
    {
        QTest::addColumn<bool>("withArt");
        QTest::newRow("card with background art") << true;
        QTest::newRow("card without background art") << false;
    }

    void saveOnAFullDiskKeepsTheSavedCard()
    {
        QFETCH(bool, withArt);
        testsupport::TTinyDisk disk;
        if (!disk.Mounted())
            QSKIP(qPrintable(disk.Why()));
        MakePicture(BackgroundArtFolder() + "one.bmp");
        MakePicture(BackgroundArtFolder() + "two.bmp", Qt::red);
        const QString card = disk.File("Card.QRV");
        const QString side = disk.File("Card.QRE");
        auto w = StartMainWindow();
        DrawShape(*w);
        const auto chooseArt = [&w](const char *file) {
            SetDialogRunnerForTests([file](QDialog &d) {
                static_cast<TLoadBackGround &>(d).SelectFile(QLatin1String(file));
                return 1;
            });
            w->mnuSetorChangeBackgroundArtClick();
            SetDialogRunnerForTests({});
        };
        if (withArt)
            chooseArt("one.bmp");
        FFiles.answers.push_back(card);
        QVERIFY(w->mnuSaveAsClick());
        const QByteArray savedCard = ReadBytes(card);
        const QByteArray savedSide = ReadBytes(side);

        DrawShape(*w, QPoint(120, 100), QPoint(180, 150));
        if (withArt)
            chooseArt("two.bmp");
        disk.Fill();
        FBoxes.Clear();
        w->mnuSaveClick();
        QCOMPARE(FBoxes.Texts(),
                 QStringList{"Unable to write " + (withArt ? side : card) + ": No space left on device."});
        QCOMPARE(ReadBytes(card), savedCard);
        QCOMPARE(ReadBytes(side), savedSide);
        QCOMPARE(QDir(QFileInfo(card).absolutePath()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void savingWithoutArtRemovesOldSideFileOfAnyCase()
    {
        const QString card = CardFolder() + "Old.QRV";
        WriteText(CardFolder() + "old.qre", "/somewhere/art.bmp\r\n");
        auto w = StartMainWindow();
        DrawShape(*w);
        FFiles.answers.push_back(card);
        QVERIFY(w->mnuSaveAsClick());
        QVERIFY(!QFile::exists(CardFolder() + "old.qre"));
        QVERIFY(!QFile::exists(CardFolder() + "Old.QRE"));
        Discard(w);
    }

    // ---- Open ----

    void openDialogIsSetUpForCardFiles()
    {
        auto w = StartMainWindow();
        w->Open1Click();
        QCOMPARE(FFiles.seen.size(), 1);
        QCOMPARE(FFiles.seen[0].title, QString("Open Business Card"));
        QCOMPARE(FFiles.seen[0].directory, QDir(CardFolder()).absolutePath());
        QCOMPARE(FFiles.seen[0].defaultSuffix, QString("QRV"));
        QCOMPARE(FFiles.seen[0].mode, QFileDialog::AcceptOpen);
        {
            std::unique_ptr<QFileDialog> dialog = w->MakeOpenDialog(QStringLiteral("Open Business Card"));
            QCOMPARE(dialog->defaultSuffix(), QString("QRV"));
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        }
        Discard(w);
    }

    void openChecksTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opened");
        QTest::newRow("capitals") << "Card.QRV" << true;
        QTest::newRow("small letters") << "card.qrv" << true;
        QTest::newRow("other extension") << "card.txt" << false;
        QTest::newRow("no extension") << "card" << false;
    }
    void openChecksTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(bool, opened);
        const QString saved = SaveCardWithShape(QStringLiteral("Source.QRV"));
        const QString path = CardFolder() + name;
        if (path != saved)
            QFile::copy(saved, path);
        ResetRecent();
        auto w = StartMainWindow();
        FFiles.answers.push_back(path);
        w->Open1Click();
        if (opened) {
            QCOMPARE(w->CardFileName(), path);
            QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 1);
            QCOMPARE(FBoxes.shown.size(), 0);
        } else {
            QVERIFY(w->CardFileName().isEmpty());
            QCOMPARE(FBoxes.Texts(), QStringList{"Must be a QRV (Quorvel) file"});
            QCOMPARE(FBoxes.shown[0].caption, QString("Information"));
        }
        Discard(w);
    }

    void openReadsSideFile_data()
    {
        QTest::addColumn<bool>("pictureExists");
        QTest::newRow("picture there") << true;
        QTest::newRow("picture gone") << false;
    }
    void openReadsSideFile()
    {
        QFETCH(bool, pictureExists);
        const QString card = SaveCardWithShape(QStringLiteral("Art.QRV"));
        const QString art = BackgroundArtFolder() + "logo.bmp";
        if (pictureExists)
            MakePicture(art);
        WriteText(CardFolder() + "Art.QRE", (art + "\r\nsecond line ignored\r\n").toUtf8());
        ResetRecent();
        auto w = StartMainWindow();
        w->OpenBCFile(card);
        QCOMPARE(w->BackgroundArtPath(), art); // kept even when the picture has gone
        QCOMPARE(w->BusinessCardPanel()->ColorPicture().isNull(), !pictureExists);
        QCOMPARE(FBoxes.shown.size(), 0);
        QVERIFY(!w->ChangesMade());
        Discard(w);
    }

    void failedOpenKeepsTheOpenCard_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a card file") << QByteArray("this is not a card file at all");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("cut short") << QByteArray("\x01TPF0\x09TBCShapes\x05Shape\x04Left\x02");
        QTest::newRow("unknown class") << QByteArray("\x01TPF0\x07TNoSuch\x01X\x00\x00\x00");
    }
    void failedOpenKeepsTheOpenCard()
    {
        QFETCH(QByteArray, content);
        const QString good = SaveCardWithShape(QStringLiteral("Good.QRV"));
        const QString bad = CardFolder() + "Broken.QRV";
        WriteText(bad, content);
        auto w = StartMainWindow();
        QCOMPARE(w->CardFileName(), good);
        DrawShape(*w, QPoint(100, 100), QPoint(150, 130)); // unsaved work
        const QString title = w->windowTitle();
        FBoxes.answers.push_back(platform::mrNo); // do not save it first
        FFiles.answers.push_back(bad);
        w->Open1Click();
        QCOMPARE(FBoxes.Texts().last(), "Unable to open " + bad + ". Possibly corrupted, possibly not a QRV file");
        // The card, its name and its unsaved change are as they were.
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 2);
        QCOMPARE(w->CardFileName(), good);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(w->ChangesMade());
        // The broken file does not enter the recent list.
        QCOMPARE(w->RecentFiles()->Items(), QStringList{good});
        Discard(w);
    }

    void firstChangeAfterOpenIsAChange_data()
    {
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<bool>("resize");
        QTest::newRow("frame moved") << QByteArray("TBCShapes") << false;
        QTest::newRow("frame resized") << QByteArray("TBCShapes") << true;
        QTest::newRow("line moved") << QByteArray("TGLineShape") << false;
        QTest::newRow("multi-line label moved") << QByteArray("TGMultiLineLabel") << false;
        QTest::newRow("multi-line label resized") << QByteArray("TGMultiLineLabel") << true;
    }
    void firstChangeAfterOpenIsAChange()
    {
        QFETCH(QByteArray, className);
        QFETCH(bool, resize);
        {
            QObject owner;
            TGGraphicControl *object = CreateCardObject(className, &owner);
            object->SetBounds(40, 40, 120, 40);
            WriteText(CardFolder() + "One.QRV", TComponentWriter::ObjectListToBytes({object}));
        }
        auto w = StartMainWindow();
        w->OpenBCFile(CardFolder() + "One.QRV");
        QVERIFY(!w->ChangesMade());
        TGBasePanel *panel = w->BusinessCardPanel();
        QCOMPARE(panel->ObjectCount(), 1);
        panel->Handle()->Select(panel->Objects().first());
        Flush();
        QTest::keyClick(panel->Handle(), Qt::Key_Right, resize ? Qt::ShiftModifier : Qt::NoModifier);
        Flush();
        QVERIFY(w->ChangesMade());
        // New asks before it throws the change away.
        w->New1Click();
        QCOMPARE(FBoxes.shown.size(), 1);
        QCOMPARE(panel->ObjectCount(), 1);
        Discard(w);
    }

    // Menu toggles that change what the card file stores, though not always
    // a pixel, are changes too: New asks before throwing them away.
    void storedMenuTogglesAreChanges_data()
    {
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QString>("entry");
        QTest::newRow("rich text Transparent") << QByteArray("TGPRichBaseLabel") << "Transparent";
        QTest::newRow("image Stretch to Fit") << QByteArray("TGImage") << "Stretch to Fit";
    }
    void storedMenuTogglesAreChanges()
    {
        QFETCH(QByteArray, className);
        QFETCH(QString, entry);
        {
            QObject owner;
            TGGraphicControl *object = CreateCardObject(className, &owner);
            object->SetBounds(40, 40, 120, 40);
            WriteText(CardFolder() + "One.QRV", TComponentWriter::ObjectListToBytes({object}));
        }
        auto w = StartMainWindow();
        w->OpenBCFile(CardFolder() + "One.QRV");
        QVERIFY(!w->ChangesMade());
        TGBasePanel *panel = w->BusinessCardPanel();
        QCOMPARE(panel->ObjectCount(), 1);
        TGGraphicControl *object = panel->Objects().first();
        QAction *toggle = object->MenuAction(entry);
        QVERIFY(toggle);
        toggle->trigger();
        Flush();
        QVERIFY(w->ChangesMade());
        w->New1Click();
        QCOMPARE(FBoxes.shown.size(), 1);
        QCOMPARE(panel->ObjectCount(), 1);
        Discard(w);
    }

    void saveAsGivesTheCardItsExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("other extension") << "lines.txt" << "lines.txt.qrv";
        QTest::newRow("no extension") << "lines" << "lines.qrv";
        QTest::newRow("card extension") << "Lines.QRV" << "Lines.QRV";
        QTest::newRow("card extension in small letters") << "lines.qrv" << "lines.qrv";
    }
    void saveAsGivesTheCardItsExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        auto w = StartMainWindow();
        DrawShape(*w);
        FFiles.answers.push_back(CardFolder() + typed);
        QVERIFY(w->mnuSaveAsClick());
        QCOMPARE(QDir(CardFolder()).entryList(QDir::Files), QStringList{saved});
        QCOMPARE(w->CardFileName(), CardFolder() + saved);
        Discard(w);
        // File > Open takes it back.
        auto again = StartMainWindow();
        FFiles.answers.push_back(CardFolder() + saved);
        again->New1Click();
        again->Open1Click();
        QCOMPARE(FBoxes.shown.size(), 0);
        QCOMPARE(again->BusinessCardPanel()->ObjectCount(), 1);
        Discard(again);
    }

    // ---- the save prompt ----

    void savePromptPaths_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("carriedOut");
        QTest::addColumn<bool>("saved");
        for (const char *command : {"New", "Open", "Recent", "Exit"}) {
            const QString c = QLatin1String(command);
            QTest::newRow(qPrintable(c + ", Yes")) << c << int(platform::mrYes) << true << true;
            QTest::newRow(qPrintable(c + ", No")) << c << int(platform::mrNo) << true << false;
            QTest::newRow(qPrintable(c + ", Cancel")) << c << int(platform::mrCancel) << false << false;
        }
    }
    void savePromptPaths()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(bool, carriedOut);
        QFETCH(bool, saved);
        const QString other = SaveCardWithShape(QStringLiteral("Other.QRV"), QPoint(150, 100));
        const QString card = SaveCardWithShape(QStringLiteral("Card.QRV"));
        auto w = StartMainWindow();
        QCOMPARE(w->CardFileName(), card);
        DrawShape(*w, QPoint(100, 20), QPoint(140, 50)); // a second shape, not saved yet
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 2);
        FBoxes.answers.push_back(platform::TMsgResult(answer));
        FFiles.answers.push_back(other);

        bool closed = false;
        if (command == "New")
            w->findChild<QAction *>(QStringLiteral("New1"))->trigger();
        else if (command == "Open")
            w->findChild<QAction *>(QStringLiteral("Open1"))->trigger();
        else if (command == "Recent") {
            QCOMPARE(w->RecentFiles()->Items().value(1), other);
            w->RecentFiles()->MenuActions().at(1)->trigger();
            Flush();
        } else {
            w->findChild<QAction *>(QStringLiteral("Exit1"))->trigger();
            closed = !w->isVisible();
        }

        QCOMPARE(FBoxes.shown.size(), 1);
        QCOMPARE(FBoxes.shown[0].text, QString("Save changes?"));
        QCOMPARE(FBoxes.shown[0].caption, QString("Save"));
        QCOMPARE(FBoxes.shown[0].buttons, platform::mbYesNoCancel);
        if (command == "Exit")
            QCOMPARE(closed, carriedOut);
        else if (!carriedOut) {
            QCOMPARE(w->CardFileName(), card);
            QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 2);
            QVERIFY(w->ChangesMade());
        } else if (command == "New") {
            QVERIFY(w->CardFileName().isEmpty());
            QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 0);
        } else {
            QCOMPARE(w->CardFileName(), other);
        }
        if (command == "Recent" && !carriedOut)
            QCOMPARE(w->RecentFiles()->Items(), QStringList({card, other})); // the entry is back
        Discard(w);

        // What reached the disk.
        auto check = std::make_unique<TMainScreen>();
        check->OpenBCFile(card);
        QCOMPARE(check->BusinessCardPanel()->ObjectCount(), saved ? 2 : 1);
        Discard(check);
    }

    void yesOnUntitledCardThenCancelledSaveAsKeepsChanges()
    {
        auto w = StartMainWindow();
        DrawShape(*w);
        FBoxes.answers.push_back(platform::mrYes);
        // No answer for the Save As dialog: the user cancels it.
        w->New1Click();
        QCOMPARE(FFiles.seen.size(), 1);
        QCOMPARE(FFiles.seen[0].mode, QFileDialog::AcceptSave);
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 1);
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void yesOnUntitledCardSavesThroughSaveAs()
    {
        auto w = StartMainWindow();
        DrawShape(*w);
        FBoxes.answers.push_back(platform::mrYes);
        FFiles.answers.push_back(CardFolder() + "BC0001.QRV");
        w->New1Click();
        QVERIFY(QFile::exists(CardFolder() + "BC0001.QRV"));
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 0);
        QVERIFY(w->CardFileName().isEmpty());
        Discard(w);
    }

    void noPromptWithoutChanges()
    {
        auto w = StartMainWindow();
        w->New1Click();
        w->Open1Click();
        QCOMPARE(FBoxes.shown.size(), 0);
        Discard(w);
    }

    // ---- recent files and start-up ----

    void startUpReopensMostRecentCard()
    {
        const QString card = SaveCardWithShape(QStringLiteral("Last.QRV"));
        auto w = StartMainWindow();
        QCOMPARE(w->CardFileName(), card);
        QCOMPARE(w->windowTitle(), QString("Quorvel - Last.QRV[*]"));
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 1);
        QVERIFY(!w->ChangesMade());
        QVERIFY(!w->Loading());
        // Changes after the start-up mark the card again.
        DrawShape(*w, QPoint(120, 30), QPoint(160, 60));
        QVERIFY(w->ChangesMade());
        Discard(w);
    }

    void startUpWithMissingRecentCardIsUntitled()
    {
        WriteText(SettingsFileName(), "[MRU]\nF0=" + (CardFolder() + "Gone.QRV").toUtf8() + "\n");
        auto w = StartMainWindow();
        QVERIFY(w->CardFileName().isEmpty());
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 0);
        QCOMPARE(FBoxes.shown.size(), 0);
        Discard(w);
    }

    void cardNamedAtStartUpOpensInsteadOfMostRecent()
    {
        SaveCardWithShape(QStringLiteral("Recent.QRV"));
        const QString named = SaveCardWithShape(QStringLiteral("Named.QRV"), QPoint(120, 100));
        SaveCardWithShape(QStringLiteral("Recent.QRV")); // most recent again
        auto w = std::make_unique<TMainScreen>();
        w->SetStartupCardFile(named);
        w->FormActivate();
        QCOMPARE(w->CardFileName(), named);
        QCOMPARE(w->RecentFiles()->Items().first(), named);
        Discard(w);
    }

    void openingSixCardsKeepsFiveMostRecent()
    {
        QStringList cards;
        for (int i = 1; i <= 6; ++i)
            cards.append(SaveCardWithShape(QStringLiteral("C%1.QRV").arg(i)));
        auto w = StartMainWindow();
        QCOMPARE(w->RecentFiles()->Items(), QStringList({cards[5], cards[4], cards[3], cards[2], cards[1]}));
        const QList<QAction *> entries = w->RecentFiles()->MenuActions();
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries[0]->text(), "&1 " + cards[5]);
        // Reopening the oldest entry moves it to the top.
        entries[4]->trigger();
        Flush();
        QCOMPARE(w->CardFileName(), cards[1]);
        QCOMPARE(w->RecentFiles()->Items(), QStringList({cards[1], cards[5], cards[4], cards[3], cards[2]}));
        QCOMPARE(TIniFile(SettingsFileName()).ReadString(QStringLiteral("MRU"), QStringLiteral("F0"), QString()),
                 cards[1]);
        Discard(w);
    }

    void recentEntryForMissingFileIsReportedAndDropped()
    {
        const QString card = SaveCardWithShape(QStringLiteral("Soon Gone.QRV"));
        auto w = std::make_unique<TMainScreen>(); // no start-up reopen
        QFile::remove(card);
        w->RecentFiles()->MenuActions().at(0)->trigger();
        Flush();
        QCOMPARE(FBoxes.Texts(), QStringList{card + " no longer exists"});
        QCOMPARE(w->RecentFiles()->Count(), 0);
        Discard(w);
    }

    void anotherStartNamingACardAsksFirst()
    {
        const QString card = SaveCardWithShape(QStringLiteral("Wanted.QRV"));
        ResetRecent();
        auto w = StartMainWindow();
        DrawShape(*w);
        FBoxes.answers.push_back(platform::mrCancel);
        w->OpenRequestedFile(card);
        QVERIFY(w->CardFileName().isEmpty());
        FBoxes.answers.push_back(platform::mrNo);
        w->OpenRequestedFile(card);
        QCOMPARE(w->CardFileName(), card);
        QCOMPARE(FBoxes.shown.size(), 2);
        Discard(w);
    }

    // ---- Delete ----

    void deleteAsksAndRemovesBothFiles_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("yes") << int(platform::mrYes) << true;
        QTest::newRow("no") << int(platform::mrNo) << false;
    }
    void deleteAsksAndRemovesBothFiles()
    {
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        const QString card = SaveCardWithShape(QStringLiteral("Doomed.QRV"));
        WriteText(CardFolder() + "Doomed.QRE", "/x/art.bmp\r\n");
        auto w = StartMainWindow();
        QCOMPARE(w->CardFileName(), card);
        FFiles.answers.push_back(card);
        FBoxes.answers.push_back(platform::TMsgResult(answer));
        w->Delete1Click();
        QCOMPARE(FFiles.seen[0].title, QString("Delete Business Card"));
        QCOMPARE(FBoxes.shown.size(), 1);
        QCOMPARE(FBoxes.shown[0].text, "Delete " + card + "?");
        QCOMPARE(FBoxes.shown[0].caption, QString("CONFIRM"));
        QCOMPARE(QFile::exists(card), !deleted);
        QCOMPARE(QFile::exists(CardFolder() + "Doomed.QRE"), !deleted);
        // The card in the window is left alone.
        QCOMPARE(w->CardFileName(), card);
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), 1);
        Discard(w);
    }

    void deletedCardLeavesTheRecentList()
    {
        const QString a = SaveCardWithShape(QStringLiteral("A.QRV"));
        const QString b = SaveCardWithShape(QStringLiteral("B.QRV"));
        auto w = StartMainWindow();
        QCOMPARE(w->RecentFiles()->Items(), QStringList({b, a}));
        FFiles.answers.push_back(a);
        FBoxes.answers.push_back(platform::mrYes);
        w->Delete1Click();
        QCOMPARE(w->RecentFiles()->Items(), QStringList{b});
        QCOMPARE(TIniFile(SettingsFileName()).ReadSectionLines(QStringLiteral("MRU")), QStringList{"F0=" + b});
        Discard(w);
    }

    void deleteRefusesOtherFiles()
    {
        auto w = StartMainWindow();
        const QString other = CardFolder() + "notes.txt";
        WriteText(other, "keep");
        FFiles.answers.push_back(other);
        w->Delete1Click();
        QCOMPARE(FBoxes.Texts(), QStringList{"Must be a QRV (Quorvel) file"});
        QVERIFY(QFile::exists(other));
        Discard(w);
    }

    // ---- the Save and Cancel buttons ----

    void cancelButtonReturnsToSavedCard_data()
    {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("objectsAfter");
        QTest::newRow("titled, yes") << true << int(platform::mrYes) << 1;
        QTest::newRow("titled, no") << true << int(platform::mrNo) << 2;
        QTest::newRow("untitled, yes") << false << int(platform::mrYes) << 0;
    }
    void cancelButtonReturnsToSavedCard()
    {
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(int, objectsAfter);
        if (titled)
            SaveCardWithShape(QStringLiteral("Saved.QRV"));
        auto w = StartMainWindow();
        if (!titled)
            DrawShape(*w);
        DrawShape(*w, QPoint(120, 30), QPoint(170, 70));
        const int before = w->BusinessCardPanel()->ObjectCount();
        FBoxes.answers.push_back(platform::TMsgResult(answer));
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Cancelbutton")), Qt::LeftButton);
        Flush();
        QCOMPARE(FBoxes.shown[0].text, QString("Cancel all changes?"));
        QCOMPARE(FBoxes.shown[0].caption, QString("CANCEL"));
        QCOMPARE(w->BusinessCardPanel()->ObjectCount(), answer == platform::mrYes ? objectsAfter : before);
        QCOMPARE(w->ChangesMade(), answer != platform::mrYes);
        Discard(w);
    }

    void saveButtonSavesOrAsksForName()
    {
        auto w = StartMainWindow();
        DrawShape(*w);
        auto *save = w->findChild<QPushButton *>(QStringLiteral("Savebutton"));
        FFiles.answers.push_back(CardFolder() + "ViaButton.QRV");
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(FFiles.seen.size(), 1);
        QCOMPARE(w->CardFileName(), CardFolder() + "ViaButton.QRV");
        DrawShape(*w, QPoint(120, 30), QPoint(170, 70));
        QCOMPARE(save->text(), QString("Save"));
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(FFiles.seen.size(), 1); // no dialog for a titled card
        QVERIFY(!w->ChangesMade());
        Discard(w);
    }

    void objectsOffTheCardAreDroppedBeforeSaving()
    {
        auto w = StartMainWindow();
        TGBusinessCardPanel32 *panel = w->BusinessCardPanel();
        testsupport::AddShape(*panel, 10, 10, 30, 30);
        testsupport::AddShape(*panel, panel->width() - 5, 10, 30, 30);
        FFiles.answers.push_back(CardFolder() + "Trimmed.QRV");
        QVERIFY(w->mnuSaveAsClick());
        Flush();
        QCOMPARE(panel->ObjectCount(), 1);
        Discard(w);
    }

private:
    void ResetRecent()
    {
        TIniFile ini(SettingsFileName());
        ini.EraseSection(QStringLiteral("MRU"));
        ini.UpdateFile();
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"

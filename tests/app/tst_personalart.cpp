// Personal information and background art: the two Edit commands, their
// dialogs driven through their own controls, and what reaches the panel and
// the settings file.
#include "AppTestKit.h"

#include "app/BackgroundArtDialog.h"
#include "app/PersonalInformationDialog.h"
#include "app/HelpWindow.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace apptest;
using testsupport::Flush;

namespace {
QString MakePicture(const QString &path, QColor color = Qt::blue)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "BMP");
    return path;
}

void Click(QDialog &d, const char *button)
{
    QTest::mouseClick(d.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}
} // namespace

class TestPersonalArt : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;
    int FBeeps = 0;

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        PinPrinters();
        FBoxes.Install();
        platform::SetBeepForTests([this] { ++FBeeps; });
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
        FBeeps = 0;
    }
    void cleanup() { SetDialogRunnerForTests({}); }

    // ---- personal information ----

    void personalInformationOkStoresAndHandsToPanel()
    {
        auto w = StartMainWindow();
        QString caption;
        SetDialogRunnerForTests([&](QDialog &d) {
            caption = d.windowTitle();
            QTest::keyClicks(d.findChild<QLineEdit *>(QStringLiteral("pPersonalName")), QStringLiteral("Jane Doe"));
            QTest::keyClicks(d.findChild<QLineEdit *>(QStringLiteral("pPersonalEmail")),
                             QStringLiteral("jane@example.org"));
            QTest::keyClicks(d.findChild<QLineEdit *>(QStringLiteral("pPersonalFax")), QStringLiteral("555-0111"));
            Click(d, "OKButton");
            return d.result();
        });
        w->findChild<QAction *>(QStringLiteral("PersonalInformation1"))->trigger();
        QCOMPARE(caption, QString("Personal Information"));
        const QStringList &panel = w->BusinessCardPanel()->PersonalInfo;
        QCOMPARE(panel.size(), 10);
        QCOMPARE(panel[0], QString("Jane Doe"));
        QCOMPARE(panel[8], QString("jane@example.org"));
        QCOMPARE(panel[9], QString("555-0111"));
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.ReadString(QStringLiteral("Personal"), QStringLiteral("Name"), QString()), QString("Jane Doe"));
        QCOMPARE(ini.ReadString(QStringLiteral("Personal"), QStringLiteral("Email"), QString()),
                 QString("jane@example.org"));
        Discard(w);

        // The next start hands them to the panel at once.
        auto again = StartMainWindow();
        QCOMPARE(again->BusinessCardPanel()->PersonalInfo[0], QString("Jane Doe"));
        Discard(again);
    }

    void personalInformationCancelChangesNothing()
    {
        WriteText(SettingsFileName(), "[Personal]\nTitle=Boss\n");
        auto w = StartMainWindow();
        SetDialogRunnerForTests([&](QDialog &d) {
            auto *title = d.findChild<QLineEdit *>(QStringLiteral("pPersonalTitle"));
            [&] { QCOMPARE(title->text(), QString("Boss")); }();
            title->setText(QStringLiteral("Nobody"));
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        w->PersonalInformation1Click();
        QCOMPARE(w->BusinessCardPanel()->PersonalInfo[2], QString("Boss"));
        QCOMPARE(TIniFile(SettingsFileName()).ReadString(QStringLiteral("Personal"), QStringLiteral("Title"), QString()),
                 QString("Boss"));
        Discard(w);
    }

    void personalInformationDialogFieldsInOrder()
    {
        TPersonalInformation d;
        const QStringList values = {"n", "c", "t", "a1", "a2", "a3", "p1", "p2", "e", "f"};
        d.SetValues(values);
        const char *names[] = {"pPersonalName",     "pPersonalCompany",  "pPersonalTitle",  "pPersonalAddress1",
                               "pPersonalAddress2", "pPersonalAddress3", "pPersonalPhone1", "pPersonalPhone2",
                               "pPersonalEmail",    "pPersonalFax"};
        for (int i = 0; i < 10; ++i)
            QCOMPARE(d.findChild<QLineEdit *>(QLatin1String(names[i]))->text(), values[i]);
        QCOMPARE(d.Values(), values);
        Click(d, "Helpbutton");
        QCOMPARE(THelpWindow::Existing()->CurrentPage(), QString(":/help/2102.html"));
        THelpWindow::Existing()->close();
    }

    // ---- background art ----

    void freshInstallationHasArtToChooseFrom()
    {
        auto w = StartMainWindow();
        TLoadBackGround d;
        d.SetDirectory(BackgroundArtFolder());
        QVERIFY(d.FileListBox()->count() >= 3);
        for (int i = 0; i < d.FileListBox()->count(); ++i) {
            QVERIFY(d.SelectFile(d.FileListBox()->item(i)->text()));
            QVERIFY(!d.PreviewEmpty());
        }
        QCOMPARE(FBoxes.shown.size(), 0);
        Discard(w);
        // Art the user removed does not come back.
        QDir(BackgroundArtFolder()).removeRecursively();
        QDir().mkpath(BackgroundArtFolder());
        auto again = StartMainWindow();
        QVERIFY(QDir(BackgroundArtFolder()).isEmpty());
        Discard(again);
    }

    void backgroundArtDialogListsPicturesOfTheFolder()
    {
        MakePicture(BackgroundArtFolder() + "b.bmp");
        MakePicture(BackgroundArtFolder() + "A.BMP");
        WriteText(BackgroundArtFolder() + "c.wmf", "not really a metafile");
        WriteText(BackgroundArtFolder() + "notes.txt", "x");
        TLoadBackGround d;
        QCOMPARE(d.windowTitle(), QString("Load  Business Card Background Art "));
        d.SetDirectory(BackgroundArtFolder());
        QStringList listed;
        for (int i = 0; i < d.FileListBox()->count(); ++i)
            listed.append(d.FileListBox()->item(i)->text());
        QCOMPARE(listed, QStringList({"A.BMP", "b.bmp", "c.wmf"}));
    }

    void choosingAPictureSetsArtAndMarksChanged()
    {
        const QString art = MakePicture(BackgroundArtFolder() + "logo.bmp", Qt::red);
        auto w = StartMainWindow();
        SetDialogRunnerForTests([&](QDialog &d) {
            auto &bg = static_cast<TLoadBackGround &>(d);
            d.show();
            [&] { QVERIFY(QTest::qWaitForWindowExposed(&d)); }();
            QListWidget *list = bg.FileListBox();
            const QList<QListWidgetItem *> logo = list->findItems(QStringLiteral("logo.bmp"), Qt::MatchExactly);
            [&] { QCOMPARE(logo.size(), 1); }();
            list->scrollToItem(logo.first());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(logo.first()).center());
            [&] { QVERIFY(!bg.PreviewEmpty()); }();
            Click(d, "OKButton");
            return d.result();
        });
        QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("SetBackgroundArtButton")), Qt::LeftButton);
        QCOMPARE(w->BackgroundArtPath(), art);
        QVERIFY(w->ChangesMade());
        const QImage card = w->BusinessCardPanel()->Grab();
        QCOMPARE(card.pixelColor(card.width() / 2, card.height() / 2), QColor(Qt::red));
        Discard(w);
    }

    void okWithoutSelectionBeepsAndStays()
    {
        TLoadBackGround d;
        d.SetDirectory(BackgroundArtFolder());
        d.setResult(0);
        Click(d, "OKButton");
        QCOMPARE(FBeeps, 1);
        QCOMPARE(d.result(), 0);
    }

    void noneOnCardWithoutArtStillMarksChanged()
    {
        auto w = StartMainWindow();
        QVERIFY(w->BackgroundArtPath().isEmpty());
        SetDialogRunnerForTests([](QDialog &d) {
            Click(d, "NoneButton");
            return d.result();
        });
        w->findChild<QAction *>(QStringLiteral("mnuSetorChangeBackgroundArt"))->trigger();
        QVERIFY(w->ChangesMade());
        QVERIFY(w->BackgroundArtPath().isEmpty());
        QVERIFY(w->BusinessCardPanel()->ColorPicture().isNull());
        Discard(w);
    }

    void cancelChangesNothing()
    {
        auto w = StartMainWindow();
        SetDialogRunnerForTests([](QDialog &d) {
            Click(d, "Cancelbutton");
            return d.result();
        });
        w->mnuSetorChangeBackgroundArtClick();
        QVERIFY(!w->ChangesMade());
        Discard(w);
    }

    void artOutsideTheFolderOpensItsOwnFolder()
    {
        const QString elsewhere = platform::ProgramFolder() + "my pictures/";
        const QString art = MakePicture(elsewhere + "Outside.bmp");
        MakePicture(elsewhere + "Another.bmp");
        MakePicture(BackgroundArtFolder() + "inside.bmp");
        TLoadBackGround d;
        d.SetDirectory(BackgroundArtFolder());
        d.Preselect(art, BackgroundArtFolder());
        QCOMPARE(QDir(d.Directory()), QDir(elsewhere));
        QCOMPARE(d.SelectedFile(), QDir(elsewhere).filePath("Outside.bmp"));
    }

    void stalePathSelectsSameNameInArtFolder_data()
    {
        QTest::addColumn<QString>("stale");
        QTest::newRow("moved folder") << "/no/longer/here/Border.bmp";
        QTest::newRow("written on another system") << "C:\\Quorvel\\BG\\BORDER.BMP";
    }
    void stalePathSelectsSameNameInArtFolder()
    {
        QFETCH(QString, stale);
        MakePicture(BackgroundArtFolder() + "Apple.bmp");
        MakePicture(BackgroundArtFolder() + "Border.bmp");
        TLoadBackGround d;
        d.SetDirectory(BackgroundArtFolder());
        d.Preselect(stale, BackgroundArtFolder());
        QCOMPARE(d.SelectedFile(), QDir(BackgroundArtFolder()).filePath("Border.bmp"));
    }

    void pictureThatCannotBeLoadedIsReported()
    {
        MakePicture(BackgroundArtFolder() + "good.bmp");
        WriteText(BackgroundArtFolder() + "bad.bmp", "garbage, not a bitmap");
        TLoadBackGround d;
        d.SetDirectory(BackgroundArtFolder());
        QVERIFY(d.SelectFile(QStringLiteral("good.bmp")));
        QVERIFY(!d.PreviewEmpty());
        QVERIFY(d.SelectFile(QStringLiteral("bad.bmp")));
        QCOMPARE(FBoxes.Texts(), QStringList{"Error loading file!"});
        QCOMPARE(FBoxes.shown[0].icon, platform::miError);
        QVERIFY(d.PreviewEmpty());
    }
};

QTEST_MAIN(TestPersonalArt)
#include "tst_personalart.moc"

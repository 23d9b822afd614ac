// The back of a card: designed in the same panel (View > Front / Back and the
// switch above the card), kept in the card file after the front's complete
// list so that a reader that knows nothing of backs opens the front, carried
// by Save As, Delete and the recent files in the one file, and with its own
// undo history and background art.
#include "AppTestKit.h"

#include "app/BackgroundArtDialog.h"

#include "surface/CardBack.h"
#include "surface/CardObject.h"
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/LabelObjectFiler.h"
#include "widgets/RecentFiles.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QToolButton>

using namespace apptest;

namespace {

void DrawShape(TMainScreen &w, QPoint from, QPoint to)
{
    w.BusinessCardPanel()->SetPanelState(psRectangle);
    testsupport::Drag(w.BusinessCardPanel(), from, to);
    w.SettleStep();
}

// The left edges of the objects the panel shows, bottom first.
QList<int> Lefts(TMainScreen &w)
{
    QList<int> lefts;
    for (const TGGraphicControl *o : w.BusinessCardPanel()->Objects())
        lefts.append(o->StoredBounds().left());
    return lefts;
}

QString MakePicture(const QString &path, QColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "BMP");
    return path;
}

// The colour the panel shows at a point of the card.
QColor PanelColorAt(TMainScreen &w, QPoint at)
{
    return w.BusinessCardPanel()->grab().toImage().pixelColor(at);
}

// The background art dialog as the user leaves it: the picture chosen and Ok.
void ChooseArtInTheDialog(const QString &path)
{
    SetDialogRunnerForTests([path](QDialog &d) {
        auto &dialog = static_cast<TLoadBackGround &>(d);
        dialog.SetDirectory(QFileInfo(path).absolutePath());
        dialog.SelectFile(QFileInfo(path).fileName());
        return 1;
    });
}

QStringList FilesInCardFolder()
{
    return QDir(CardFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TestCardBack : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;
    FileDialogs FFiles;

    // A card with a shape at left 20 on the front and one at left 150 on
    // the back, saved under name.
    QString SaveTwoSidedCard(TMainScreen &w, const QString &name)
    {
        DrawShape(w, QPoint(20, 20), QPoint(70, 50));
        w.ShowSide(TCardSide::Back);
        DrawShape(w, QPoint(150, 30), QPoint(200, 60));
        FFiles.answers.push_back(CardFolder() + name);
        w.mnuSaveAsClick();
        return CardFolder() + name;
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
        FFiles.answers.clear();
    }

    void cardWithoutBackIsWrittenAsItAlwaysWas()
    {
        auto w = StartMainWindow();
        DrawShape(*w, QPoint(20, 20), QPoint(70, 50));
        // Looking at the empty back and coming back changes nothing of the file.
        w->ShowSide(TCardSide::Back);
        w->ShowSide(TCardSide::Front);
        const QByteArray front = w->BusinessCardPanel()->SaveToBytes();
        FFiles.answers.push_back(CardFolder() + "One.QRV");
        QVERIFY(w->mnuSaveAsClick());
        QCOMPARE(ReadBytes(CardFolder() + "One.QRV"), front);
        QCOMPARE(FilesInCardFolder(), QStringList{"One.QRV"});
        Discard(w);
    }

    void frontComesFirstAndWholeForAReaderThatKnowsNoBacks()
    {
        auto w = StartMainWindow();
        const QString path = SaveTwoSidedCard(*w, "Two.QRV");
        const QByteArray front = w->FrontObjects();
        const QByteArray file = ReadBytes(path);
        QVERIFY(file.size() > front.size());
        QVERIFY(file.startsWith(front));
        // The list reader alone, as a program without backs reads a card:
        // the front's one shape, at its place.
        QObject owner;
        const QList<TGGraphicControl *> read = TComponentReader(file).ReadObjectList(&owner, nullptr);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first()->StoredBounds().left(), 20);
        // The text form, too, shows the front.
        QVERIFY(ComponentStreamToText(file).contains("Left = 20"));
        QVERIFY(!ComponentStreamToText(file).contains("Left = 150"));
        // Only the card file: no second file stands beside it.
        QCOMPARE(FilesInCardFolder(), QStringList{"Two.QRV"});
        Discard(w);
    }

    void backTravelsWithSaveAsOpenAndRecentFiles()
    {
        auto w = StartMainWindow();
        const QString first = SaveTwoSidedCard(*w, "Two.QRV");
        // Save As under another name, then open it fresh from the recent files.
        FFiles.answers.push_back(CardFolder() + "Copy.QRV");
        QVERIFY(w->mnuSaveAsClick());
        w->New1Click();
        QCOMPARE(Lefts(*w), QList<int>{});
        w->RecentFiles()->Remove(CardFolder() + "Copy.QRV");
        w->RecentFileClick(CardFolder() + "Copy.QRV");
        QCOMPARE(w->CardFileName(), CardFolder() + "Copy.QRV");
        QCOMPARE(w->ShownSide(), TCardSide::Front);
        QCOMPARE(Lefts(*w), QList<int>{20});
        w->ShowSide(TCardSide::Back);
        QCOMPARE(Lefts(*w), QList<int>{150});
        QVERIFY(!w->ChangesMade());
        QCOMPARE(ReadBytes(CardFolder() + "Copy.QRV"), ReadBytes(first));
        Discard(w);
    }

    void deleteLeavesNothingOfTheCardBehind()
    {
        auto w = StartMainWindow();
        ChooseArtInTheDialog(MakePicture(BackgroundArtFolder() + "front.bmp", Qt::blue));
        w->mnuSetorChangeBackgroundArtClick();
        SetDialogRunnerForTests({});
        const QString path = SaveTwoSidedCard(*w, "Gone.QRV");
        QCOMPARE(FilesInCardFolder(), (QStringList{"Gone.QRE", "Gone.QRV"}));
        QVERIFY(QFile::exists(path));
        FFiles.answers.push_back(path);
        FBoxes.answers.push_back(platform::mrYes);
        w->Delete1Click();
        QCOMPARE(FilesInCardFolder(), QStringList());
        Discard(w);
    }

    void eachSideKeepsItsOwnBackgroundArt()
    {
        const QString blue = MakePicture(BackgroundArtFolder() + "blue.bmp", Qt::blue);
        const QString red = MakePicture(BackgroundArtFolder() + "red.bmp", Qt::red);
        auto w = StartMainWindow();
        // The art command as the dialog leaves it: front blue, back red.
        ChooseArtInTheDialog(blue);
        w->mnuSetorChangeBackgroundArtClick();
        w->ShowSide(TCardSide::Back);
        QCOMPARE(PanelColorAt(*w, QPoint(200, 150)), QColor(Qt::white));
        ChooseArtInTheDialog(red);
        w->mnuSetorChangeBackgroundArtClick();
        SetDialogRunnerForTests({});
        QCOMPARE(PanelColorAt(*w, QPoint(200, 150)), QColor(Qt::red));
        QCOMPARE(w->BackArtPath(), red);
        QCOMPARE(w->BackgroundArtPath(), blue);
        // Undo on the back takes the back's art away, not the front's.
        w->UndoClick();
        QCOMPARE(w->BackArtPath(), QString());
        QCOMPARE(PanelColorAt(*w, QPoint(200, 150)), QColor(Qt::white));
        QCOMPARE(w->BackgroundArtPath(), blue);
        w->RedoClick();
        QCOMPARE(w->BackArtPath(), red);
        FFiles.answers.push_back(CardFolder() + "Art.QRV");
        QVERIFY(w->mnuSaveAsClick());
        // The side file names the front's art only, as it always has.
        QCOMPARE(ReadBytes(CardFolder() + "Art.QRE"), blue.toUtf8() + "\r\n");
        w->New1Click();
        w->OpenBCFile(CardFolder() + "Art.QRV");
        QCOMPARE(PanelColorAt(*w, QPoint(200, 150)), QColor(Qt::blue));
        w->ShowSide(TCardSide::Back);
        QCOMPARE(PanelColorAt(*w, QPoint(200, 150)), QColor(Qt::red));
        Discard(w);
    }

    void undoWorksOnTheSideShown()
    {
        auto w = StartMainWindow();
        w->New1Click();
        DrawShape(*w, QPoint(20, 20), QPoint(70, 50));
        w->ShowSide(TCardSide::Back);
        QVERIFY(!w->History().CanUndo());
        DrawShape(*w, QPoint(150, 30), QPoint(200, 60));
        DrawShape(*w, QPoint(100, 100), QPoint(140, 130));
        w->UndoClick();
        QCOMPARE(Lefts(*w), QList<int>{150});
        w->ShowSide(TCardSide::Front);
        QCOMPARE(Lefts(*w), QList<int>{20});
        w->UndoClick();
        QCOMPARE(Lefts(*w), QList<int>{});
        QVERIFY(w->ChangesMade()); // the back still holds a change
        w->ShowSide(TCardSide::Back);
        QCOMPARE(Lefts(*w), QList<int>{150});
        w->RedoClick();
        QCOMPARE(Lefts(*w), (QList<int>{150, 100}));
        Discard(w);
    }

    void copyOnTheFrontPastesOnTheBack()
    {
        auto w = StartMainWindow();
        w->New1Click();
        DrawShape(*w, QPoint(20, 20), QPoint(70, 50));
        using CC = TGBasePanel::ClipboardCommand;
        w->BusinessCardPanel()->SelectAll();
        w->BusinessCardPanel()->SelectionClipboardCommand(CC::ccCopy);
        w->ShowSide(TCardSide::Back);
        w->BusinessCardPanel()->SelectionClipboardCommand(CC::ccPaste);
        QCOMPARE(Lefts(*w), QList<int>{35});
        w->ShowSide(TCardSide::Front);
        QCOMPARE(Lefts(*w), QList<int>{20});
        Discard(w);
    }

    void switchBesideTheCardAndViewMenuShowTheSide()
    {
        auto w = StartMainWindow();
        auto *front = w->findChild<QToolButton *>(QStringLiteral("FrontSideButton"));
        auto *back = w->findChild<QToolButton *>(QStringLiteral("BackSideButton"));
        QVERIFY(front && back);
        QVERIFY(front->isChecked());
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(w->ShownSide(), TCardSide::Back);
        QVERIFY(w->findChild<QAction *>(QStringLiteral("mnuBack"))->isChecked());
        w->findChild<QAction *>(QStringLiteral("mnuFront"))->trigger();
        QCOMPARE(w->ShownSide(), TCardSide::Front);
        QVERIFY(front->isChecked() && !back->isChecked());
        Discard(w);
    }

    void damagedBackIsRefusedAndTheOpenCardStays()
    {
        auto w = StartMainWindow();
        const QString path = SaveTwoSidedCard(*w, "Two.QRV");
        QByteArray bytes = ReadBytes(path);
        bytes.chop(3); // the back's list cut short
        WriteText(CardFolder() + "Cut.QRV", bytes);
        w->OpenBCFile(path);
        FBoxes.Clear();
        w->OpenBCFile(CardFolder() + "Cut.QRV");
        QCOMPARE(FBoxes.Texts(), QStringList{"Unable to open " + CardFolder()
                                             + "Cut.QRV. Possibly corrupted, possibly not a QRV file"});
        QCOMPARE(w->CardFileName(), path);
        QCOMPARE(Lefts(*w), QList<int>{20});
        Discard(w);
    }
};

QTEST_MAIN(TestCardBack)
#include "tst_cardback.moc"

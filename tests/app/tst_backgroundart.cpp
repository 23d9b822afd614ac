// Background art as panel, side file and print share it: metafile art shows
// on the panel and prints, and art that cannot be loaded is refused in the
// dialog, so the card never names a picture the panel and page do not show.
#include "AppTestKit.h"
#include "PrintTestSupport.h"

#include "app/BackgroundArtDialog.h"
#include "printing/SheetPrinting.h"

#include <QListWidget>
#include <QPushButton>

using namespace apptest;

namespace {

// A placeable metafile painting its whole 1000 x 500 window red.
QByteArray RedWmf()
{
    QByteArray b;
    auto u16 = [&b](int v) { b.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    auto u32 = [&](qint64 v) { u16(int(v & 0xffff)); u16(int((v >> 16) & 0xffff)); };
    u32(0x9AC6CDD7); u16(0); u16(0); u16(0); u16(1000); u16(500); u16(1000); u32(0); u16(0);
    u16(1); u16(9); u16(0x300); u32(9 + 7 + 4 + 7 + 3); u16(1); u32(7); u16(0);
    u32(7); u16(0x02FC); u16(0); u32(0x0000FF); u16(0);
    u32(4); u16(0x012D); u16(0);
    u32(7); u16(0x041B); u16(500); u16(1000); u16(0); u16(0);
    u32(3); u16(0);
    return b;
}

QString MakeBitmap(const QString &path, QColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "BMP");
    return path;
}

void SelectAndOk(TLoadBackGround &dialog, const QString &name)
{
    QListWidget *list = dialog.FileListBox();
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty())
        return;
    list->setCurrentItem(found.first());
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
}

} // namespace

class TestBackgroundArt : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        PinPrinters();
        FBoxes.Install();
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
    }
    void cleanup() { SetDialogRunnerForTests({}); }

    void metafileArtShowsOnThePanelAndPrints()
    {
        const QString art = BackgroundArtFolder() + QStringLiteral("red.wmf");
        WriteText(art, RedWmf());
        auto w = StartMainWindow();
        SetDialogRunnerForTests([&](QDialog &d) {
            d.show();
            SelectAndOk(static_cast<TLoadBackGround &>(d), QStringLiteral("red.wmf"));
            return d.result();
        });
        w->mnuSetorChangeBackgroundArtClick();
        QCOMPARE(w->BackgroundArtPath(), art);
        const QImage card = w->BusinessCardPanel()->Grab();
        QCOMPARE(card.pixelColor(card.width() / 2, card.height() / 2), QColor(Qt::red));

        TCardSheetPrinter job;
        job.Sheet = sheetprint::SheetGeometry(CardSheetLayout{}, PrinterNudges{});
        job.Cells = SelectedCells(10, false);
        job.Cells[0] = true;
        job.BackgroundPath = art;
        job.LoadBackGround();
        QCOMPARE(job.BackgroundKind(), sheetprint::bgMetafile);
        TReportFiler filer;
        filer.SetPageMetrics(printtest::LetterPage(100));
        job.Attach(filer);
        filer.Run();
        const QPointF origin = sheetprint::CellOrigin(job.Sheet, 0, 0);
        const QPoint middle(printtest::Device(origin.x() + 1.75, 100), printtest::Device(origin.y() + 1.0, 100));
        const QImage page = printtest::RecordedRegion(filer.Recording(), 0, QRect(middle, QSize(1, 1)));
        QCOMPARE(page.pixelColor(0, 0), QColor(Qt::red));
        Discard(w);
    }

    void artThatCannotBeLoadedIsRefusedAndTheOldArtStays()
    {
        const QString good = MakeBitmap(BackgroundArtFolder() + QStringLiteral("blue.bmp"), Qt::blue);
        WriteText(BackgroundArtFolder() + QStringLiteral("broken.bmp"), "BM not a bitmap at all");
        auto w = StartMainWindow();
        int okClicks = 0;
        SetDialogRunnerForTests([&](QDialog &d) {
            d.show();
            auto &dialog = static_cast<TLoadBackGround &>(d);
            SelectAndOk(dialog, okClicks++ == 0 ? QStringLiteral("blue.bmp") : QStringLiteral("broken.bmp"));
            // A refused pick leaves the dialog open: the user cancels it.
            return d.result() == 0 ? 2 : d.result();
        });
        w->mnuSetorChangeBackgroundArtClick();
        QCOMPARE(w->BackgroundArtPath(), good);
        FBoxes.Clear();
        w->mnuSetorChangeBackgroundArtClick();
        QCOMPARE(FBoxes.Texts(), QStringList({"Error loading file!", "Error loading file!"}));
        QCOMPARE(w->BackgroundArtPath(), good);
        const QImage card = w->BusinessCardPanel()->Grab();
        QCOMPARE(card.pixelColor(card.width() / 2, card.height() / 2), QColor(Qt::blue));
        Discard(w);
    }
};

QTEST_MAIN(TestBackgroundArt)
#include "tst_backgroundart.moc"

// The image object as a user sees it: mirrored bitmaps, the automatic size,
// its menu, the empty box, its card-file record read and written back byte
// for byte, and what the printed page holds (every chosen cell, the bitmap
// stored once, a metafile as vectors).
#include "LabelTestSupport.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "objects/ImageObject.h"
#include "objects/ObjectEditors.h"
#include "platform/Picture.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "surface/BusinessCardPanel.h"
#include "surface/ComponentStream.h"

#include <QAction>
#include <QBuffer>
#include <QPainter>
#include <QtEndian>

using namespace printtest;

namespace {

// Four quadrants: red top-left, green top-right, blue bottom-left, black
// bottom-right.
TBitmap Quadrants(int w = 20, int h = 10)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::black);
    return TBitmap::FromImage(image);
}

// A placeable metafile: a red rectangle filling its 1000 x 500 window.
TMetafile RedRectangleMetafile()
{
    QByteArray b;
    auto u16 = [&b](int v) { b.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    auto u32 = [&](qint64 v) { u16(int(v & 0xffff)); u16(int((v >> 16) & 0xffff)); };
    u32(0x9AC6CDD7); u16(0); u16(0); u16(0); u16(1000); u16(500); u16(1000); u32(0); u16(0);
    const int records = 5 + 7 + 4 + 4 + 7 + 3;
    u16(1); u16(9); u16(0x300); u32(9 + records); u16(2); u32(7); u16(0);
    u32(5); u16(0x020C); u16(500); u16(1000);                  // window extent
    u32(7); u16(0x02FC); u16(0); u32(0x0000FF); u16(0);         // red solid brush
    u32(4); u16(0x012D); u16(0);                                // select it
    u32(4); u16(0x012D); u16(0);                                // (again: harmless)
    u32(7); u16(0x041B); u16(500); u16(1000); u16(0); u16(0);   // rectangle
    u32(3); u16(0);                                             // end
    return TMetafile::FromFileImage(b);
}

struct ImageBrowserAnswer {
    explicit ImageBrowserAnswer(const TBitmap &bitmap, bool stretch, bool autoSize)
    {
        editors::ObjectEditors().ImageBrowser = [=](QWidget *, editors::TImageChoice &choice) {
            choice.fileName = QStringLiteral("picture.bmp");
            choice.picture->SetBitmap(bitmap);
            choice.stretch = stretch;
            choice.autoSize = autoSize;
            return true;
        };
    }
    ~ImageBrowserAnswer() { editors::ObjectEditors().ImageBrowser = {}; }
};

QByteArray PdfOfCard(TGBasePanel *panel, int cells)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("card.pdf");
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.PdfPrinterIndex());
    device.SelectPaperSize(1);
    device.SetOutputFileName(pdf);
    TLabelPrinter form;
    form.Job().Panel = panel;
    form.Job().Sheet = sheetprint::SheetGeometry(CardSheetLayout{}, PrinterNudges{});
    form.Job().Cells = SelectedCells(CardSheetLayout{}.CellCount(), false);
    for (int i = 0; i < cells; ++i)
        form.Job().Cells[i] = true;
    form.FormActivate();
    device.SetOutputFileName(QString());
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class TestImageObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void mirroringShowsTheRightCorner_data();
    void mirroringShowsTheRightCorner();
    void loadingWithAutoSizeFollowsThePictureAtTheZoom();
    void browserChoiceSizesTheObjectAndSurvivesReopening_data();
    void browserChoiceSizesTheObjectAndSurvivesReopening();
    void menuCouplesStretchAndAutoSize();
    void flipAndReverseAreOnlyForBitmaps();
    void emptyObjectIsAFramedWhiteBoxThatPrintsNothing();
    void sampleCardImageRecordIsWrittenBackByteForByte();
    void imagePrintsInEveryChosenCell();
    void pdfHoldsTheBitmapOnceAndMetafilesAsVectors();
    void imageToolIsOnTheCard();
};

void TestImageObject::mirroringShowsTheRightCorner_data()
{
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<bool>("flip");
    QTest::addColumn<QRgb>("topLeft");
    QTest::newRow("as it is") << false << false << qRgb(255, 0, 0);
    QTest::newRow("reversed") << true << false << qRgb(0, 255, 0);
    QTest::newRow("flipped") << false << true << qRgb(0, 0, 255);
    QTest::newRow("both: turned half way") << true << true << qRgb(0, 0, 0);
}

void TestImageObject::mirroringShowsTheRightCorner()
{
    QFETCH(bool, reverse);
    QFETCH(bool, flip);
    QFETCH(QRgb, topLeft);
    TGImage image;
    image.SetBounds(0, 0, 60, 30);
    image.Picture()->SetBitmap(Quadrants());
    image.SetReverse(reverse);
    image.SetFlip(flip);
    const QImage shown = testsupport::RenderObject(image);
    QCOMPARE(shown.pixel(5, 5), topLeft);
    // The printed page shows the same corner.
    const QImage page = testsupport::PrintObject(image, 1.0, 1.0, 300);
    QCOMPARE(page.pixel(300 + 10, 300 + 10), topLeft);
}

void TestImageObject::loadingWithAutoSizeFollowsThePictureAtTheZoom()
{
    ImageBrowserAnswer answer(Quadrants(200, 100), false, true);
    TGImage image;
    image.SetZoomFactorOnly(1.5f);
    image.SetBounds(10, 10, 105, 105);
    image.LoadImageFromDisk();
    QCOMPARE(image.BoundsRect(), QRect(10, 10, 300, 150));
    QVERIFY(image.AutoSize());
    QVERIFY(!image.Stretch());
}

// An object that followed its old picture's size gets a large new picture:
// the boxes the user leaves in the browser decide its size (no object the
// picture's full size unless AutoSize is ticked), and the saved card
// reopens with the same choice, both boxes unticked included.
void TestImageObject::browserChoiceSizesTheObjectAndSurvivesReopening_data()
{
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<QSize>("size");
    QTest::newRow("Stretch ticked") << true << false << QSize(100, 60);
    QTest::newRow("AutoSize ticked") << false << true << QSize(600, 400);
    QTest::newRow("neither ticked") << false << false << QSize(100, 60);
}

void TestImageObject::browserChoiceSizesTheObjectAndSurvivesReopening()
{
    QFETCH(bool, stretch);
    QFETCH(bool, autoSize);
    QFETCH(QSize, size);
    auto panel = testsupport::MakePanel();
    auto *image = new TGImage(panel.get());
    image->Picture()->SetBitmap(Quadrants(100, 60));
    image->SetAutoSize(true);
    panel->AddNewObject(image, TRect{10, 10, 110, 70});
    QCOMPARE(image->BoundsRect().size(), QSize(100, 60));
    ImageBrowserAnswer answer(Quadrants(600, 400), stretch, autoSize);
    image->LoadImageFromDisk();
    QCOMPARE(image->BoundsRect().size(), size);
    // The new picture fills the object: red top-left, black bottom-right.
    const QImage shown = testsupport::RenderObject(*image);
    QCOMPARE(shown.pixel(3, 3), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(size.width() - 3, size.height() - 3), qRgb(0, 0, 0));

    const QString file = testsupport::ProgramFolder() + QStringLiteral("/image.qrv");
    panel->SaveToFile(file);
    auto reopened = testsupport::MakePanel();
    reopened->LoadFromFile(file);
    auto *read = qobject_cast<TGImage *>(reopened->Objects().value(0));
    QVERIFY(read);
    QCOMPARE(read->Stretch(), stretch);
    QCOMPARE(read->AutoSize(), autoSize);
    QCOMPARE(read->BoundsRect(), QRect(QPoint(10, 10), size));
}

void TestImageObject::menuCouplesStretchAndAutoSize()
{
    TGImage image;
    image.Loaded();
    image.SetBounds(0, 0, 50, 50);
    image.Picture()->SetBitmap(Quadrants(80, 40));
    image.MenuAction(QStringLiteral("AutoSize"))->trigger();
    QVERIFY(image.AutoSize());
    QVERIFY(!image.Stretch());
    QCOMPARE(image.BoundsRect().size(), QSize(80, 40));
    image.MenuAction(QStringLiteral("Stretch to Fit"))->trigger();
    QVERIFY(image.Stretch());
    QVERIFY(!image.AutoSize());
    image.SetBounds(0, 0, 30, 30);
    QCOMPARE(image.BoundsRect().size(), QSize(30, 30));
}

void TestImageObject::flipAndReverseAreOnlyForBitmaps()
{
    TGImage image;
    image.Loaded();
    image.Picture()->SetMetafile(RedRectangleMetafile());
    image.UpdateContextMenu();
    QVERIFY(!image.MenuAction(QStringLiteral("Flip"))->isEnabled());
    QVERIFY(!image.MenuAction(QStringLiteral("Reverse"))->isEnabled());
    image.Picture()->SetBitmap(Quadrants());
    image.UpdateContextMenu();
    QVERIFY(image.MenuAction(QStringLiteral("Flip"))->isEnabled());
}

void TestImageObject::emptyObjectIsAFramedWhiteBoxThatPrintsNothing()
{
    TGImage image;
    image.SetBounds(0, 0, 40, 30);
    const QImage shown = testsupport::RenderObject(image, Qt::gray);
    QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(shown.pixel(39, 29), qRgb(0, 0, 0));
    QCOMPARE(shown.pixel(20, 15), qRgb(255, 255, 255));
    QCOMPARE(NonWhitePixels(testsupport::PrintObject(image, 0.5, 0.5, 100), QRect(0, 0, 300, 300)), 0);
    image.SetBorderStyle(Vcl::bsSingle);
    QVERIFY(NonWhitePixels(testsupport::PrintObject(image, 0.5, 0.5, 100), QRect(0, 0, 300, 300)) > 0);
}

void TestImageObject::sampleCardImageRecordIsWrittenBackByteForByte()
{
    QFile card(testsupport::SampleCardsFolder() + QStringLiteral("/decor.qrv"));
    QVERIFY(card.open(QIODevice::ReadOnly));
    const QByteArray bytes = card.readAll();
    const qsizetype start = bytes.indexOf(QByteArray("TPF0\x07TGImage", 12));
    QVERIFY(start > 0);
    // The image object is the card's last record: a card of its own.
    const QByteArray own = '\x01' + bytes.mid(start);
    auto panel = testsupport::MakePanel();
    const QList<TGGraphicControl *> read = TComponentReader(own).ReadObjectList(panel.get(), panel.get());
    QCOMPARE(read.size(), 1);
    auto *image = qobject_cast<TGImage *>(read.first());
    QVERIFY(image);
    QCOMPARE(image->BoundsRect(), QRect(10, 140, 48, 32));
    QCOMPARE(image->Picture()->Kind(), TPicture::pkBitmap);
    QByteArray expected = own;
    expected.replace(QByteArray("\x08Special5"), QByteArray("\x0a") + image->objectName().toLatin1());
    QCOMPARE(TComponentWriter::ObjectListToBytes(read), expected);
}

void TestImageObject::imagePrintsInEveryChosenCell()
{
    auto panel = testsupport::MakePanel();
    auto *image = new TGImage(panel.get());
    image->Picture()->SetBitmap(Quadrants(40, 20));
    panel->AddNewObject(image, TRect{48, 48, 96, 72});
    TCardSheetPrinter job;
    job.Panel = panel.get();
    job.Sheet = sheetprint::SheetGeometry(CardSheetLayout{}, PrinterNudges{});
    job.Cells = SelectedCells(CardSheetLayout{}.CellCount(), false);
    job.Cells[0] = job.Cells[3] = job.Cells[9] = true;
    TReportFiler filer;
    filer.SetPageMetrics(LetterPage(100));
    job.Attach(filer);
    filer.Run();
    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin = sheetprint::CellOrigin(job.Sheet, cell / 2, cell % 2);
        // The image's red corner: half an inch into the card.
        const QPoint red(Device(origin.x() + 0.55, 100), Device(origin.y() + 0.55, 100));
        const QImage region = RecordedRegion(filer.Recording(), 0, QRect(red, QSize(1, 1)));
        QCOMPARE(region.pixel(0, 0) == qRgb(255, 0, 0), bool(job.Cells[cell]));
    }
}

void TestImageObject::pdfHoldsTheBitmapOnceAndMetafilesAsVectors()
{
    auto panel = testsupport::MakePanel();
    auto *bitmap = new TGImage(panel.get());
    bitmap->Picture()->SetBitmap(Quadrants(400, 200));
    panel->AddNewObject(bitmap, TRect{10, 10, 110, 60});
    const QByteArray withBitmap = PdfOfCard(panel.get(), 10);
    QCOMPARE(withBitmap.count("/Subtype /Image"), 1);
    // Stored losslessly: JPEG would smear a small picture's colours together.
    QVERIFY(!withBitmap.contains("/DCTDecode"));

    panel->DeleteAllObjects();
    auto *metafile = new TGImage(panel.get());
    metafile->Picture()->SetMetafile(RedRectangleMetafile());
    panel->AddNewObject(metafile, TRect{10, 10, 110, 60});
    const QByteArray withMetafile = PdfOfCard(panel.get(), 2);
    QVERIFY(!withMetafile.isEmpty());
    QCOMPARE(withMetafile.count("/Subtype /Image"), 0);
    // The red fill reached the page as a vector fill.
    if (HavePdftoppm()) {
        QTemporaryDir dir;
        QFile out(dir.filePath("m.pdf"));
        out.open(QIODevice::WriteOnly);
        out.write(withMetafile);
        out.close();
        const QList<QImage> pages = RasterisePdf(out.fileName(), 50);
        QVERIFY(!pages.isEmpty());
        const QPointF origin = sheetprint::CellOrigin(sheetprint::SheetGeometry(CardSheetLayout{}, PrinterNudges{}), 0, 0);
        QVERIFY(IsDark(pages.first(), Device(origin.x() + 0.6, 50), Device(origin.y() + 0.35, 50)));
    }
}

void TestImageObject::imageToolIsOnTheCard()
{
    ImageBrowserAnswer answer(Quadrants(), true, false);
    auto panel = testsupport::MakePanel();
    panel->SetPanelState(psImage);
    testsupport::Drag(panel.get(), QPoint(20, 20), QPoint(120, 90));
    QCOMPARE(panel->Objects().size(), 1);
    auto *image = qobject_cast<TGImage *>(panel->Objects().first());
    QVERIFY(image);
    QCOMPARE(image->Picture()->Kind(), TPicture::pkBitmap);
    QCOMPARE(testsupport::RenderObject(*image).pixel(3, 3), qRgb(255, 0, 0));
}

QTEST_MAIN(TestImageObject)
#include "tst_imageobject.moc"

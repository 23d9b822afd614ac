// Sheet printing: where each cell's card lands on the page (layout and
// nudges), which cells are printed, copies made by the driver or as pages,
// the outline test page, background art in the card's own size, layouts of
// more than ten cells, the preview run, the status form with Cancel and
// Stop, and a real PDF from the built-in printer rasterised and measured.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/AppHelpers.h"
#include "app/MainWindow.h"
#include "app/MainWindowPrinting.h"
#include "platform/Dialogs.h"
#include "printing/PrintCommands.h"
#include "printing/SheetPrinting.h"
#include "printing/PrintPreview.h"
#include "printing/CellSelectionDialog.h"
#include "report/PrinterList.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/SpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(PrinterNudges)

using namespace printtest;
using sheetprint::CellOrigin;
using sheetprint::SheetGeometry;

namespace {

constexpr int kDpi = 600;

// Runs the sheet loop into a recording of Letter pages at 600 dpi.
TPageRecording Record(TCardSheetPrinter &job, double strip = 0.0, int *copies = nullptr)
{
    TReportFiler filer;
    filer.SetPageMetrics(LetterPage(kDpi, strip));
    job.LoadBackGround();
    job.Attach(filer);
    filer.Run();
    if (copies)
        *copies = filer.Copies();
    return filer.Recording();
}

TCardSheetPrinter Job(TGBasePanel *panel, const CardSheetLayout &layout = {}, const PrinterNudges &nudges = {})
{
    TCardSheetPrinter job;
    job.Panel = panel;
    job.Sheet = SheetGeometry(layout, nudges);
    job.Cells = SelectedCells(layout.CellCount(), true);
    job.DriverMaxCopies = [] { return 1; };
    return job;
}

// The marker of the card at origin, found on the recorded page.
QRect RecordedMarker(const TPageRecording &recording, int page, QPointF origin)
{
    const QRect around = MarkerOnPage(origin, kDpi).adjusted(-150, -150, 150, 150);
    const QImage image = RecordedRegion(recording, page, around);
    const QRect found = FindMarker(image, origin - QPointF(around.left(), around.top()) / double(kDpi), kDpi);
    return found.isEmpty() ? found : found.translated(around.topLeft());
}

// Makes the built-in PDF printer current, on Letter, writing `file`.
struct PdfPrinter {
    explicit PdfPrinter(const QString &file)
    {
        TRPDevice &device = TRPDevice::Instance();
        device.SetPrinterIndex(device.PdfPrinterIndex());
        device.SelectPaperSize(1);
        device.SetOutputFileName(file);
    }
    ~PdfPrinter() { TRPDevice::Instance().SetOutputFileName(QString()); }
};

QImage SolidBitmap(QColor colour)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestSheetPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void cleanup()
    {
        platform::SetMessageBoxForTests(nullptr);
        TRPDevice::Instance().SetOutputFileName(QString());
    }

    void cellOriginsFollowLayoutAndNudges_data();
    void cellOriginsFollowLayoutAndNudges();
    void recordedCardsSitAtTheirCells_data();
    void recordedCardsSitAtTheirCells();
    void deselectedCellsAreSkipped();
    void copiesByDriverOrByPages_data();
    void copiesByDriverOrByPages();
    void outlinePageDrawsOneRectanglePerSelectedCell();
    void backgroundArtFillsTheLayoutsCard_data();
    void backgroundArtFillsTheLayoutsCard();
    void layoutsOfMoreThanTenCellsPrintEveryCell();
    void previewRecordsFirstCellWithSilverOutline();
    void previewOfDeselectedFirstCellIsEmpty();
    void panelIsPrintingOnlyDuringTheRun();

    void statusFormShowsPageAndCard();
    void cancelAsksBeforeAbortingThePrint_data();
    void cancelAsksBeforeAbortingThePrint();
    void stopEndsThePreviewRun();
    void finalStatusTexts_data();
    void finalStatusTexts();
    void runErrorIsShownOnTheForm();

    void printedPdfShowsFramesOfSelectedCells();
    void printCommandSelectsCellsAsksFileAndPrints();
    void testPagesAskTheirOwnFileAndEndAsPrintDoes();
    void previewCommandShowsOnePageAndRestoresZoom();
    void mainWindowPrintsThroughItsMenu();
};

// ---- geometry ----

void TestSheetPrinting::cellOriginsFollowLayoutAndNudges_data()
{
    QTest::addColumn<PrinterNudges>("nudges");
    QTest::addColumn<int>("cell");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    const PrinterNudges none;
    PrinterNudges top3;
    top3.TopMarginNudge = 3;
    PrinterNudges tighter;
    tighter.VerticalSpacing = -2;
    PrinterNudges leftAndWider;
    leftAndWider.LeftMarginNudge = -8;
    leftAndWider.HorizontalSpacing = 8;
    QTest::newRow("cell 4 of the default layout") << none << 4 << 4.25 << 2.5;
    QTest::newRow("cell 1") << none << 1 << 0.75 << 0.5;
    QTest::newRow("cell 10") << none << 10 << 4.25 << 8.5;
    QTest::newRow("top +3: cell 1 down 3/32") << top3 << 1 << 0.75 << 0.59375;
    QTest::newRow("top +3: cell 9 down 3/32") << top3 << 9 << 0.75 << 8.59375;
    QTest::newRow("vertical -2: row 0 stays") << tighter << 2 << 4.25 << 0.5;
    QTest::newRow("vertical -2: row 1 up 1/16") << tighter << 3 << 0.75 << 2.5 - 0.0625;
    QTest::newRow("vertical -2: row 4 up 4/16") << tighter << 10 << 4.25 << 8.5 - 0.25;
    QTest::newRow("left -8, horizontal +8") << leftAndWider << 4 << 4.25 - 0.25 + 0.25 << 2.5;
    QTest::newRow("left -8: column 0") << leftAndWider << 5 << 0.5 << 4.5;
}

void TestSheetPrinting::cellOriginsFollowLayoutAndNudges()
{
    QFETCH(PrinterNudges, nudges);
    QFETCH(int, cell);
    QFETCH(double, x);
    QFETCH(double, y);
    const CardSheetLayout layout;
    const sheetprint::TSheetGeometry sheet = SheetGeometry(layout, nudges);
    const QPointF at = CellOrigin(sheet, (cell - 1) / layout.Across, (cell - 1) % layout.Across);
    QCOMPARE(at.x(), x);
    QCOMPARE(at.y(), y);
}

void TestSheetPrinting::recordedCardsSitAtTheirCells_data()
{
    QTest::addColumn<double>("strip");
    QTest::addColumn<int>("topNudge");
    QTest::addColumn<int>("verticalSpacing");
    QTest::newRow("no strip, no nudges") << 0.0 << 0 << 0;
    QTest::newRow("quarter-inch strip") << 0.25 << 0 << 0;
    QTest::newRow("top +3, vertical -2") << 0.0 << 3 << -2;
}

void TestSheetPrinting::recordedCardsSitAtTheirCells()
{
    QFETCH(double, strip);
    QFETCH(int, topNudge);
    QFETCH(int, verticalSpacing);
    const auto card = MakeMarkerCard();
    PrinterNudges nudges;
    nudges.TopMarginNudge = topNudge;
    nudges.VerticalSpacing = verticalSpacing;
    TCardSheetPrinter job = Job(card.get(), {}, nudges);
    const TPageRecording recording = Record(job, strip);
    QCOMPARE(recording.Pages.size(), 1);

    for (int cell = 0; cell < 10; ++cell) {
        const int row = cell / 2, column = cell % 2;
        const QPointF origin(0.75 + column * 3.5, 0.5 + topNudge / 32.0 + row * (2.0 + verticalSpacing / 32.0));
        QCOMPARE(RecordedMarker(recording, 0, origin), MarkerOnPage(origin, kDpi));
    }
    // Cell 4 in device pixels: (4.25 + 0.25, 2.5 + 0.5) inches.
    if (topNudge == 0 && verticalSpacing == 0)
        QCOMPARE(RecordedMarker(recording, 0, {4.25, 2.5}).topLeft(), QPoint(2700, 1800));
}

void TestSheetPrinting::deselectedCellsAreSkipped()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get());
    job.Cells[0] = job.Cells[1] = job.Cells[6] = false;
    QList<int> drawn;
    job.OnCard = [&](int cell) { drawn << cell; };
    const TPageRecording recording = Record(job);
    QCOMPARE(drawn, (QList<int>{3, 4, 5, 6, 8, 9, 10}));
    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin = CellOrigin(job.Sheet, cell / 2, cell % 2);
        QCOMPARE(RecordedMarker(recording, 0, origin).isEmpty(), !job.Cells[cell]);
    }
}

void TestSheetPrinting::copiesByDriverOrByPages_data()
{
    QTest::addColumn<int>("driverCopies");
    QTest::addColumn<bool>("toPrinter");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("copies");
    QTest::newRow("driver cannot copy: three full sheets") << 1 << true << 3 << 1;
    QTest::newRow("driver copies: one page, three copies") << 9999 << true << 1 << 3;
    QTest::newRow("preview: one page whatever the driver") << 9999 << false << 1 << 1;
}

void TestSheetPrinting::copiesByDriverOrByPages()
{
    QFETCH(int, driverCopies);
    QFETCH(bool, toPrinter);
    QFETCH(int, pages);
    QFETCH(int, copies);
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get());
    job.SheetsToPrint = 3;
    job.ToPrinter = toPrinter;
    job.DriverMaxCopies = [=] { return driverCopies; };
    int requested = 0;
    const TPageRecording recording = Record(job, 0.0, &requested);
    QCOMPARE(recording.Pages.size(), pages);
    QCOMPARE(requested, copies);
    for (int page = 0; page < pages; ++page) {
        QVERIFY(!RecordedMarker(recording, page, {0.75, 0.5}).isEmpty());
        QCOMPARE(RecordedMarker(recording, page, {4.25, 8.5}).isEmpty(), !toPrinter);
    }
}

void TestSheetPrinting::outlinePageDrawsOneRectanglePerSelectedCell()
{
    const auto card = MakeMarkerCard(true);
    QTemporaryDir dir;
    const QString art = dir.filePath("art.bmp");
    QVERIFY(SolidBitmap(Qt::blue).save(art));
    // Gaps between the cards, so that each outline stands alone.
    CardSheetLayout layout;
    layout.LeftMargin = 0.5f;
    layout.HPitch = 3.75f;
    layout.VPitch = 2.125f;
    TCardSheetPrinter job = Job(card.get(), layout);
    job.OutlineOnly = true;
    job.BackgroundPath = art;
    const QList<int> selected{0, 3, 6, 9};
    for (int cell = 0; cell < 10; ++cell)
        job.Cells[cell] = selected.contains(cell);
    const TPageRecording recording = Record(job);

    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin = CellOrigin(job.Sheet, cell / 2, cell % 2);
        const QRect box(QPoint(Device(origin.x(), kDpi), Device(origin.y(), kDpi)),
                        QSize(Device(3.5, kDpi), Device(2.0, kDpi)));
        // The cell and a strip around it, so that anything drawn next to
        // the outline shows too.
        const QRect area = box.adjusted(-30, -30, 30, 30);
        const QImage image = RecordedRegion(recording, 0, area);
        const QRect local = box.translated(-area.topLeft());
        if (!selected.contains(cell)) {
            QCOMPARE(NonWhitePixels(image, image.rect()), 0);
            continue;
        }
        // Its outline: the edge pixels of the card's box, dark all round...
        const int perimeter = 2 * (local.width() + local.height()) - 4;
        QCOMPARE(NonWhitePixels(image, local) - NonWhitePixels(image, local.adjusted(1, 1, -1, -1)), perimeter);
        // ...and nothing inside it or around it.
        QCOMPARE(NonWhitePixels(image, local.adjusted(1, 1, -1, -1)), 0);
        QCOMPARE(NonWhitePixels(image, image.rect()), perimeter);
    }
}

void TestSheetPrinting::backgroundArtFillsTheLayoutsCard_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("printed");
    QTest::newRow("bitmap") << "art.bmp" << true;
    QTest::newRow("bitmap, name in capitals") << "ART.BMP" << true;
    QTest::newRow("GIF is ignored") << "art.gif" << false;
    QTest::newRow("bitmap bytes named as a metafile") << "art.wmf" << false;
    QTest::newRow("missing file") << "gone.bmp" << false;
}

void TestSheetPrinting::backgroundArtFillsTheLayoutsCard()
{
    QFETCH(QString, name);
    QFETCH(bool, printed);
    QTemporaryDir dir;
    const QString art = dir.filePath(name);
    if (name != "gone.bmp")
        QVERIFY(SolidBitmap(Qt::black).save(art, "BMP"));
    // An A4 layout whose card is neither 3.5 nor 2.0 inches.
    CardSheetLayout layout;
    layout.Width = 3.543f;
    layout.Height = 2.047f;
    layout.HPitch = 3.543f;
    layout.VPitch = 2.047f;
    layout.TopMargin = 0.728f;
    layout.LeftMargin = 0.591f;
    TCardSheetPrinter job = Job(nullptr, layout);
    job.BackgroundPath = art;
    job.Cells = SelectedCells(10, false);
    job.Cells[3] = true;
    const TPageRecording recording = Record(job);
    QCOMPARE(job.BackgroundKind() == sheetprint::bgBitmap, printed);

    const QPointF origin = CellOrigin(job.Sheet, 1, 1);
    const QRect expected(QPoint(Device(origin.x(), kDpi), Device(origin.y(), kDpi)),
                         QPoint(Device(origin.x() + layout.Width, kDpi) - 1, Device(origin.y() + layout.Height, kDpi) - 1));
    const QImage image = RecordedRegion(recording, 0, expected.adjusted(-20, -20, 20, 20));
    const QRect local = expected.translated(-expected.topLeft() + QPoint(20, 20));
    if (!printed) {
        QCOMPARE(NonWhitePixels(image, image.rect()), 0);
        return;
    }
    const QPoint c = local.center();
    QCOMPARE(FirstDarkInRow(image, c.y(), 0, image.width() - 1), local.left());
    QCOMPARE(LastDarkInRow(image, c.y(), 0, image.width() - 1), local.right());
    QCOMPARE(FirstDarkInColumn(image, c.x(), 0, image.height() - 1), local.top());
    QCOMPARE(LastDarkInColumn(image, c.x(), 0, image.height() - 1), local.bottom());
}

void TestSheetPrinting::layoutsOfMoreThanTenCellsPrintEveryCell()
{
    // 3 across, 8 down: 24 cells of 2.5 x 1.25 inches.
    CardSheetLayout layout;
    layout.Across = 3;
    layout.Down = 8;
    layout.Width = layout.HPitch = 2.5f;
    layout.Height = layout.VPitch = 1.25f;
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get(), layout);
    QCOMPARE(job.Cells.size(), 24);
    job.Cells[22] = false;
    QList<int> drawn;
    job.OnCard = [&](int cell) { drawn << cell; };
    const TPageRecording recording = Record(job);
    QCOMPARE(drawn.size(), 23);
    QCOMPARE(drawn.last(), 24);
    QVERIFY(!drawn.contains(23));
    for (int cell : {10, 11, 20, 21, 23}) {
        const QPointF origin = CellOrigin(job.Sheet, cell / 3, cell % 3);
        QCOMPARE(RecordedMarker(recording, 0, origin).isEmpty(), cell == 22);
    }
    // A selection shorter than the sheet prints the cells it does not cover.
    job.Cells = SelectedCells(10, false);
    drawn.clear();
    Record(job);
    QCOMPARE(drawn, (QList<int>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}));
}

void TestSheetPrinting::previewRecordsFirstCellWithSilverOutline()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get());
    job.ToPrinter = false;
    job.SheetsToPrint = 5;
    QList<int> drawn;
    job.OnCard = [&](int cell) { drawn << cell; };
    const TPageRecording recording = Record(job);
    QCOMPARE(drawn, QList<int>{1});
    QCOMPARE(recording.Pages.size(), 1);
    QCOMPARE(RecordedMarker(recording, 0, {0.75, 0.5}), MarkerOnPage({0.75, 0.5}, kDpi));
    QVERIFY(RecordedMarker(recording, 0, {4.25, 0.5}).isEmpty());

    // One hundredth of an inch of silver around the card: 6 device pixels.
    const QRect box(QPoint(Device(0.75, kDpi), Device(0.5, kDpi)), QSize(Device(3.5, kDpi), Device(2.0, kDpi)));
    const QImage image = RecordedRegion(recording, 0, box.adjusted(-10, -10, 10, 10));
    const int midY = image.height() / 2;
    int silver = 0;
    for (int x = 0; x < 30; ++x)
        silver += image.pixel(x, midY) == qRgb(0xC0, 0xC0, 0xC0);
    QCOMPARE(silver, 6);
}

void TestSheetPrinting::previewOfDeselectedFirstCellIsEmpty()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get());
    job.ToPrinter = false;
    job.Cells[0] = false;
    const TPageRecording recording = Record(job);
    QCOMPARE(recording.Pages.size(), 1);
    const QImage page = RenderRecordedPage(recording, 0, 100.0, 96);
    QCOMPARE(NonWhitePixels(page, page.rect()), 0);
}

void TestSheetPrinting::panelIsPrintingOnlyDuringTheRun()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = Job(card.get());
    QList<bool> during;
    job.OnCard = [&](int) { during << card->Printing(); };
    Record(job);
    QCOMPARE(during, QList<bool>(10, true));
    QVERIFY(!card->Printing());

    // Also when a card object fails halfway.
    job.OnCard = [](int cell) {
        if (cell == 2)
            throw EReportError("paper jam");
    };
    QVERIFY_THROWS_EXCEPTION(EReportError, Record(job));
    QVERIFY(!card->Printing());
}

// ---- the status form ----

void TestSheetPrinting::statusFormShowsPageAndCard()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    PdfPrinter printer(pdf);
    const auto card = MakeMarkerCard();
    TLabelPrinter form;
    form.Job() = Job(card.get());
    form.Job().Cells[0] = form.Job().Cells[1] = false;
    QStringList cards, statuses;
    connect(&form, &TLabelPrinter::CardStarted, this, [&](int) {
        cards << form.CardLabel()->text();
        statuses << form.StatusLabel()->text();
    });
    form.FormActivate();
    QCOMPARE(cards.first(), QString("Card 3"));
    QCOMPARE(cards.size(), 8);
    QCOMPARE(statuses.first(), QString("Printing Page 1\n\n"));
    QCOMPARE(form.windowTitle(), QString("Print Status "));
    // Printed to a file: the status says where it is.
    QCOMPARE(form.StatusLabel()->text(), "Print job completed and saved to\n" + QDir::toNativeSeparators(pdf));
    QCOMPARE(form.CardLabel()->text(), QString());
    QCOMPARE(form.Button()->text(), QString("OK"));
    QVERIFY(!form.IsAborted());
    QCOMPARE(PdfPageCount(pdf), 1);
}

void TestSheetPrinting::cancelAsksBeforeAbortingThePrint_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes aborts") << true;
    QTest::newRow("No prints on") << false;
}

void TestSheetPrinting::cancelAsksBeforeAbortingThePrint()
{
    QFETCH(bool, yes);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    PdfPrinter printer(pdf);
    const auto card = MakeMarkerCard();
    QStringList questions;
    platform::SetMessageBoxForTests([&](const platform::TMessageRequest &r) {
        questions << r.text;
        return yes ? platform::mrYes : platform::mrNo;
    });
    TLabelPrinter form;
    form.Job() = Job(card.get());
    QList<int> drawn;
    connect(&form, &TLabelPrinter::CardStarted, this, [&](int cell) {
        drawn << cell;
        if (cell == 3)
            form.Button()->click();
    });
    form.FormActivate();
    QCOMPARE(questions, QStringList{"Cancel Business Card Printing?"});
    QCOMPARE(form.IsAborted(), yes);
    QCOMPARE(drawn.size(), yes ? 3 : 10);
    QCOMPARE(form.StatusLabel()->text(), yes ? QString("\nBusiness Card Print Canceled!")
                                             : "Print job completed and saved to\n" + QDir::toNativeSeparators(pdf));
    // An aborted job leaves no file behind.
    QCOMPARE(QFile::exists(pdf), !yes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), yes ? 0 : 1);
}

void TestSheetPrinting::stopEndsThePreviewRun()
{
    const auto card = MakeMarkerCard();
    TLabelPrinter form;
    form.Job() = Job(card.get());
    form.Job().ToPrinter = false;
    form.LabelReportFiler().SetPageMetrics(LetterPage(kDpi));
    QString buttonDuringRun;
    connect(&form, &TLabelPrinter::CardStarted, this, [&](int) {
        buttonDuringRun = form.Button()->text();
        form.Button()->click();
    });
    form.FormActivate();
    QCOMPARE(buttonDuringRun, QString("Stop"));
    QCOMPARE(form.windowTitle(), QString("Preview Status"));
    QVERIFY(form.IsAborted());
    QVERIFY(form.Job().Stopped);
    QCOMPARE(form.StatusLabel()->text(), QString("\nBusiness Card Preview Canceled!"));
}

void TestSheetPrinting::finalStatusTexts_data()
{
    QTest::addColumn<bool>("toPrinter");
    QTest::addColumn<bool>("aborted");
    QTest::addColumn<bool>("complex");
    QTest::addColumn<QString>("text");
    QTest::newRow("printed") << true << false << false << "Print job completed and sent to printer!";
    QTest::newRow("printed, complex")
        << true << false << true
        << "Print job completed and sent to printer!\r\rNote: this design contains complex shapes or text.\r"
           "Please be patient while the printer produces its\routput...";
    QTest::newRow("previewed") << false << false << false
                               << "\rBusiness Card preview ready!\r\rNote: To save time, only a single card is previewed";
    QTest::newRow("previewed, complex")
        << false << false << true
        << "Business Card preview ready to view!\r\rNote: To save time, only a single card is previewed\r\r"
           "** This design contains complex shapes or text.\rPlease be patient while the previewer prepares\r"
           "the viewing page";
    QTest::newRow("print cancelled") << true << true << true << "\rBusiness Card Print Canceled!";
    QTest::newRow("preview stopped") << false << true << false << "\rBusiness Card Preview Canceled!";
}

void TestSheetPrinting::finalStatusTexts()
{
    QFETCH(bool, toPrinter);
    QFETCH(bool, aborted);
    QFETCH(bool, complex);
    QFETCH(QString, text);
    QCOMPARE(sheetprint::FinalStatus(toPrinter, aborted, complex), text);
}

void TestSheetPrinting::runErrorIsShownOnTheForm()
{
    // The "PDF file" printer without a file to write.
    PdfPrinter printer{QString()};
    const auto card = MakeMarkerCard();
    TLabelPrinter form;
    form.Job() = Job(card.get());
    form.FormActivate();
    QVERIFY(!form.RunError().isEmpty());
    QCOMPARE(form.StatusLabel()->text(), "\n" + form.RunError());
    QCOMPARE(form.Button()->text(), QString("OK"));
    QVERIFY(!card->Printing());
}

// ---- real output ----

void TestSheetPrinting::printedPdfShowsFramesOfSelectedCells()
{
    if (!HavePdftoppm())
        QSKIP("pdftoppm (poppler-utils) is not installed: the printed page is not rasterised");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    PdfPrinter printer(pdf);
    const auto card = MakeMarkerCard(true);
    TReportPrinter report;
    TCardSheetPrinter job = Job(card.get());
    const QList<int> selected{0, 1, 3, 4, 6, 9};
    for (int cell = 0; cell < 10; ++cell)
        job.Cells[cell] = selected.contains(cell);
    job.Attach(report);
    report.Run();

    const int dpi = 150;
    QString why;
    const QList<QImage> pages = RasterisePdf(pdf, dpi, &why);
    QVERIFY2(pages.size() == 1, qPrintable(why));
    QCOMPARE(pages.first().size(), QSize(1275, 1650));
    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin = CellOrigin(job.Sheet, cell / 2, cell % 2);
        const QRect found = FindMarker(pages.first(), origin, dpi);
        if (!selected.contains(cell)) {
            QVERIFY2(found.isEmpty(), qPrintable(QString("cell %1 printed").arg(cell + 1)));
            continue;
        }
        const QRect expected = MarkerOnPage(origin, dpi);
        for (int edge : {found.left() - expected.left(), found.right() - expected.right(),
                         found.top() - expected.top(), found.bottom() - expected.bottom()})
            QVERIFY2(qAbs(edge) <= 1, qPrintable(QString("cell %1: marker at %2,%3-%4,%5, expected %6,%7-%8,%9")
                                                     .arg(cell + 1)
                                                     .arg(found.left())
                                                     .arg(found.top())
                                                     .arg(found.right())
                                                     .arg(found.bottom())
                                                     .arg(expected.left())
                                                     .arg(expected.top())
                                                     .arg(expected.right())
                                                     .arg(expected.bottom())));
    }
}

// ---- the commands ----

void TestSheetPrinting::printCommandSelectsCellsAsksFileAndPrints()
{
    QTemporaryDir dir;
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.PdfPrinterIndex());
    const auto card = MakeMarkerCard();
    CardSheetLayout layout;
    PrinterNudges nudges;
    SelectedCells cells(10, true);
    bool showWarning = true;
    TPrintContext context;
    context.Panel = card.get();
    context.Layout = &layout;
    context.Nudges = &nudges;
    context.Cells = &cells;
    context.ShowBottomMarginWarning = &showWarning;
    context.CardFileName = dir.filePath("BC0001.QRV");
    QString proposed;
    const QString pdf = dir.filePath("chosen.pdf");
    context.ChoosePdfFile = [&](const QString &proposal) {
        proposed = proposal;
        return std::optional<QString>(pdf);
    };

    QStringList finalStatus;
    ModalScript script({
        [](QWidget *w) {
            auto *dialog = qobject_cast<TSelectSpecificLabels *>(w);
            if (!dialog)
                return false;
            dialog->SelectnoneClick();
            dialog->PaintBoxMouseDown(dialog->CellRectangles().at(4).ToQRect().center());
            dialog->findChild<TSpinEdit *>("pages")->SetValue(2);
            dialog->OkButtonClick();
            return true;
        },
        CloseStatusFormWhenDone(&finalStatus),
    });
    printcommands::PrintCommand(context);
    QVERIFY(script.Done());
    QCOMPARE(proposed, dir.filePath("BC0001.pdf"));
    QCOMPARE(finalStatus, QStringList{"Print job completed and saved to\n" + QDir::toNativeSeparators(pdf)});
    QCOMPARE(cells, (SelectedCells{false, false, false, false, true, false, false, false, false, false}));
    // The built-in printer makes no copies itself: two sheets, two pages.
    QCOMPARE(PdfPageCount(pdf), 2);
    QCOMPARE(printcommands::MainReportPrinter().Copies(), 1);
    QVERIFY(showWarning);
    QCOMPARE(printcommands::ProposedPdfFile(QString()), dir.filePath("Quorvel.pdf"));

    // Cancelling the file name prints nothing.
    context.ChoosePdfFile = [](const QString &) { return std::optional<QString>(); };
    QFile::remove(pdf);
    ModalScript again({[](QWidget *w) {
        auto *dialog = qobject_cast<TSelectSpecificLabels *>(w);
        if (dialog)
            dialog->OkButtonClick();
        return dialog != nullptr;
    }});
    printcommands::PrintCommand(context);
    QVERIFY(again.Done());
    QVERIFY(!QFile::exists(pdf));
}

void TestSheetPrinting::testPagesAskTheirOwnFileAndEndAsPrintDoes()
{
    QTemporaryDir dir;
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.PdfPrinterIndex());
    // The file of the last Print: neither page may go into it unasked.
    const QString printed = dir.filePath("BC0001.pdf");
    device.SetOutputFileName(printed);
    const auto card = MakeMarkerCard();
    CardSheetLayout layout;
    PrinterNudges nudges;
    SelectedCells cells(10, true);
    TPrintContext context;
    context.Panel = card.get();
    context.Layout = &layout;
    context.Nudges = &nudges;
    context.Cells = &cells;
    context.CardFileName = dir.filePath("BC0001.QRV");
    printcommands::RememberPdfFolder(printed);
    QStringList proposals;
    context.ChoosePdfFile = [&](const QString &proposal) {
        proposals << QFileInfo(proposal).fileName();
        return std::optional<QString>(proposal);
    };
    QStringList finalStatus, otherWindows;
    // The status form ends each page; any other window (a print dialog) is refused.
    const auto statusFormOnly = [&](QWidget *w) {
        if (!qobject_cast<TLabelPrinter *>(w)) {
            otherWindows << w->metaObject()->className();
            w->close();
            return false;
        }
        return CloseStatusFormWhenDone(&finalStatus)(w);
    };
    ModalScript script({statusFormOnly, statusFormOnly});
    printcommands::OutlineTestPageCommand(context);
    printcommands::CalibrationPageCommand(context);
    QVERIFY(script.Done());
    QCOMPARE(otherWindows, QStringList());

    const QString outline = dir.filePath("BC0001 - outline test page.pdf");
    const QString calibration = dir.filePath("BC0001 - calibration page.pdf");
    QCOMPARE(proposals, QStringList({QFileInfo(outline).fileName(), QFileInfo(calibration).fileName()}));
    QCOMPARE(finalStatus, QStringList({"Print job completed and saved to\n" + QDir::toNativeSeparators(outline),
                                       "Print job completed and saved to\n" + QDir::toNativeSeparators(calibration)}));
    QVERIFY(!QFile::exists(printed));
    // Each page in its own file: the outlines have no words, the calibration page its instructions.
    QCOMPARE(PdfPageCount(outline), 1);
    QCOMPARE(PdfPageCount(calibration), 1);
    QVERIFY(PdfWords(outline).isEmpty());
    QVERIFY(!PdfWords(calibration).isEmpty());
    QVERIFY(!context.OutlineTestPage && !context.CalibrationPage);
}

void TestSheetPrinting::previewCommandShowsOnePageAndRestoresZoom()
{
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.PdfPrinterIndex());
    const auto card = MakeMarkerCard();
    card->SetZoom(1.3f);
    CardSheetLayout layout;
    PrinterNudges nudges;
    SelectedCells cells(10, true);
    TPrintContext context;
    context.Panel = card.get();
    context.Layout = &layout;
    context.Nudges = &nudges;
    context.Cells = &cells;

    QString caption;
    QList<float> zoomDuringRun;
    QList<bool> previewing;
    ModalScript script({
        [&](QWidget *w) {
            auto *form = qobject_cast<TLabelPrinter *>(w);
            if (!form || !form->RunOver())
                return false;
            zoomDuringRun << card->ZoomFactor();
            previewing << card->Previewing();
            form->Button()->click();
            return true;
        },
        [&](QWidget *w) {
            auto *preview = qobject_cast<TPreviewForm *>(w);
            if (!preview || !preview->FilePreview1().Active())
                return false;
            caption = preview->windowTitle();
            preview->CloseButtonClick();
            return true;
        },
    });
    printcommands::PreviewCommand(context);
    QVERIFY(script.Done());
    QCOMPARE(zoomDuringRun, QList<float>{1.0f});
    QCOMPARE(previewing, QList<bool>{true});
    QCOMPARE(caption, QString("Preview Page 1 of 1"));
    QCOMPARE(card->ZoomFactor(), 1.3f);
    QVERIFY(!card->Previewing());
}

void TestSheetPrinting::mainWindowPrintsThroughItsMenu()
{
    QStringList boxes;
    platform::SetMessageBoxForTests([&](const platform::TMessageRequest &r) {
        boxes << r.text;
        return platform::mrOk;
    });
    QTemporaryDir dir;
    const QString pdf = dir.filePath("menu.pdf");
    QStringList proposals;
    SetFileDialogRunnerForTests([&](QFileDialog &d) -> std::optional<QString> {
        proposals << QFileInfo(d.selectedFiles().value(0)).fileName();
        return pdf;
    });
    InstallPrintingCommands();
    auto window = std::make_unique<TMainScreen>();
    window->FormActivate();
    testsupport::Flush();
    QVERIFY(window->PrintingAvailable());
    for (const char *name : {"mnuPrint", "mnuPreview", "mnuPrinterSetup", "mnuFineTuning", "mnuPrintOutlineTestPage",
                             "ChangeCardLayout1"})
        QVERIFY2(window->findChild<QAction *>(name)->isEnabled(), name);

    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.PdfPrinterIndex());
    testsupport::AddShape(*window->BusinessCardPanel(), 24, 48, 96, 48);
    window->SetChangesMade(false);
    ModalScript script({
        [](QWidget *w) {
            auto *dialog = qobject_cast<TSelectSpecificLabels *>(w);
            if (dialog)
                dialog->OkButtonClick();
            return dialog != nullptr;
        },
        CloseStatusFormWhenDone(),
    });
    window->findChild<QAction *>("mnuPrint")->trigger();
    QVERIFY(script.Done());
    QCOMPARE(proposals, QStringList{"Quorvel.pdf"});
    QCOMPARE(PdfPageCount(pdf), 1);
    QVERIFY(window->PrintToPrinter);
    QVERIFY(!window->OutlineTestPage);
    QCOMPARE(boxes, QStringList());
    // Printing is no change to the card.
    QVERIFY(!window->ChangesMade());

    window.reset();
    SetFileDialogRunnerForTests(nullptr);
    SetPrintingCommands({});
}

QTEST_MAIN(TestSheetPrinting)
#include "tst_sheetprinting.moc"

// Printing through a real system printer: the CUPS queue "Quorvel-PDF" that
// ./test starts (cups-pdf, writing each job as a PDF file). The printer list
// and default, paper selection and the unprintable strip Qt reports, the
// job's name and copies as the spooler receives them, positions on the
// spooled page against the built-in PDF printer's, and an aborted job that
// never reaches the spooler. Without the queue the tests skip; under
// CI=true they fail.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "platform/Dialogs.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "surface/BusinessCardPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace printtest;

namespace {

TCardSheetPrinter SheetOf(TGBasePanel *panel)
{
    TCardSheetPrinter job;
    job.Panel = panel;
    job.Sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
    job.Cells = SelectedCells(10, true);
    return job;
}

void UseSpoolQueue()
{
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterIndex(device.Printers().indexOf(kSpoolQueue));
    device.SelectPaperSize(1);
}

// Prints the sheet on the queue and returns the spooled PDF's path.
QString PrintOnQueue(TCardSheetPrinter &job, int *jobId = nullptr)
{
    UseSpoolQueue();
    TReportPrinter printer;
    job.Attach(printer);
    printer.Run();
    if (jobId)
        *jobId = printer.JobId();
    if (printer.JobId() <= 0)
        return QString();
    return WaitForSpooledPdf(printer.JobId());
}

} // namespace

class TestSpooler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { platform::SetMessageBoxForTests(nullptr); }

    void queueIsListedAndIsTheDefault();
    void paperAndUnprintableStrip_data();
    void paperAndUnprintableStrip();
    void spooledSheetMatchesTheBuiltInPdf();
    void jobNameAndDriverCopiesReachTheSpooler();
    void cancelledJobNeverReachesTheSpooler();
};

void TestSpooler::initTestCase()
{
    testsupport::InitEnvironment();
    QString why;
    if (!SpoolerReady(&why)) {
        const QString message = QStringLiteral("The print spooler is not ready (%1); ./test run as root starts it").arg(why);
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            QFAIL(qPrintable(message));
        QSKIP(qPrintable(message));
    }
    if (!HavePdftoppm()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            QFAIL("pdftoppm (poppler-utils) is not installed");
        QSKIP("pdftoppm (poppler-utils) is not installed");
    }
    // The printer list as a program starting now would see it.
    TRPDevice::Instance().SetPrinterListForTests(std::nullopt);
}

void TestSpooler::queueIsListedAndIsTheDefault()
{
    TRPDevice &device = TRPDevice::Instance();
    device.SetPrinterListForTests(std::nullopt);
    const QStringList printers = device.Printers();
    QVERIFY(printers.contains(kSpoolQueue));
    QCOMPARE(printers.last(), QString("PDF file"));
    // The system's default printer comes first when nothing was chosen.
    QCOMPARE(device.DeviceName(), kSpoolQueue);
    QVERIFY(!device.IsPdfPrinter());
    QVERIFY(device.DriverName().contains("CUPS-PDF"));
    // CUPS makes copies of a page for any queue.
    QVERIFY(device.DriverMaxCopies() > 1);
}

void TestSpooler::paperAndUnprintableStrip_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QSizeF>("paper");
    QTest::newRow("Letter") << 1 << QSizeF(8.5, 11.0);
    QTest::newRow("A4") << 9 << QSizeF(210 / 25.4, 297 / 25.4);
}

void TestSpooler::paperAndUnprintableStrip()
{
    QFETCH(int, code);
    QFETCH(QSizeF, paper);
    UseSpoolQueue();
    TRPDevice &device = TRPDevice::Instance();
    device.SelectPaperSize(code);
    const TPageMetrics m = device.Metrics();
    // Driver descriptions give paper sizes in whole points.
    const double point = 1.0 / 72;
    QVERIFY(qAbs(m.PaperSize.width() - paper.width()) <= point);
    QVERIFY(qAbs(m.PaperSize.height() - paper.height()) <= point);
    const double pixel = 1.0 / m.XDPI;
    // The queue's 10.08-point strip, measured in whole device pixels.
    for (double strip : {m.UnprintableLeft, m.UnprintableTop, m.UnprintableRight, m.UnprintableBottom})
        QVERIFY2(qAbs(strip - 0.14) <= 2 * pixel, qPrintable(QString::number(strip)));
    device.SelectPaperSize(1);
}

void TestSpooler::spooledSheetMatchesTheBuiltInPdf()
{
    const auto card = MakeMarkerCard(true);
    TCardSheetPrinter job = SheetOf(card.get());
    int jobId = 0;
    const QString spooled = PrintOnQueue(job, &jobId);
    QVERIFY2(!spooled.isEmpty(), qPrintable(QString("job %1 did not come out of the queue").arg(jobId)));
    QCOMPARE(QFileInfo(spooled).fileName(), QString("Quorvel-job_%1.pdf").arg(jobId));

    QTemporaryDir dir;
    const QString builtIn = dir.filePath("builtin.pdf");
    {
        TRPDevice &device = TRPDevice::Instance();
        device.SetPrinterIndex(device.PdfPrinterIndex());
        device.SelectPaperSize(1);
        device.SetOutputFileName(builtIn);
        TReportPrinter printer;
        TCardSheetPrinter again = SheetOf(card.get());
        again.Attach(printer);
        printer.Run();
        device.SetOutputFileName(QString());
    }

    const int dpi = 150;
    QString why;
    const QList<QImage> queuePages = RasterisePdf(spooled, dpi, &why);
    QVERIFY2(queuePages.size() == 1, qPrintable(why));
    const QList<QImage> pdfPages = RasterisePdf(builtIn, dpi, &why);
    QVERIFY2(pdfPages.size() == 1, qPrintable(why));
    QCOMPARE(queuePages.first().size(), QSize(1275, 1650));
    QCOMPARE(pdfPages.first().size(), queuePages.first().size());

    for (int cell = 0; cell < 10; ++cell) {
        const QPointF origin = sheetprint::CellOrigin(job.Sheet, cell / 2, cell % 2);
        const QRect expected = MarkerOnPage(origin, dpi);
        const QRect onQueue = FindMarker(queuePages.first(), origin, dpi);
        const QRect onPdf = FindMarker(pdfPages.first(), origin, dpi);
        QVERIFY2(!onQueue.isEmpty(), qPrintable(QString("cell %1 missing from the spooled page").arg(cell + 1)));
        const QString where = QString("cell %1: spooled %2,%3-%4,%5, built-in %6,%7-%8,%9")
                                  .arg(cell + 1)
                                  .arg(onQueue.left())
                                  .arg(onQueue.top())
                                  .arg(onQueue.right())
                                  .arg(onQueue.bottom())
                                  .arg(onPdf.left())
                                  .arg(onPdf.top())
                                  .arg(onPdf.right())
                                  .arg(onPdf.bottom());
        for (int d : {onQueue.left() - onPdf.left(), onQueue.top() - onPdf.top(), onQueue.right() - onPdf.right(),
                      onQueue.bottom() - onPdf.bottom(), onQueue.left() - expected.left(),
                      onQueue.top() - expected.top()})
            QVERIFY2(qAbs(d) <= 1, qPrintable(where));
    }
}

void TestSpooler::jobNameAndDriverCopiesReachTheSpooler()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job = SheetOf(card.get());
    job.SheetsToPrint = 3;
    int jobId = 0;
    const QString spooled = PrintOnQueue(job, &jobId);
    QVERIFY(jobId > 0);
    QVERIFY(!spooled.isEmpty());
    // The driver makes the copies: one page drawn, three copies asked for,
    // which the spooler puts into the file it writes.
    QCOMPARE(job.SheetsToPrint, 1);
    QCOMPARE(PdfPageCount(spooled), 3);
    const std::optional<QByteArray> name = SpooledJobText(jobId, "job-name");
    if (!name)
        QSKIP("The scheduler's job files can only be read as root");
    QCOMPARE(*name, QByteArray("Quorvel"));
    QCOMPARE(SpooledJobInteger(jobId, "copies"), std::optional<int>(3));
    const QByteArray media = SpooledJobText(jobId, "media").value_or(QByteArray());
    QVERIFY2(media == "Letter" || media == "AnsiA", media.constData());
}

void TestSpooler::cancelledJobNeverReachesTheSpooler()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter first = SheetOf(card.get());
    int before = 0;
    QVERIFY(!PrintOnQueue(first, &before).isEmpty());

    UseSpoolQueue();
    platform::SetMessageBoxForTests([](const platform::TMessageRequest &) { return platform::mrYes; });
    TLabelPrinter form;
    form.Job() = SheetOf(card.get());
    connect(&form, &TLabelPrinter::CardStarted, this, [&](int cell) {
        if (cell == 3)
            form.Button()->click();
    });
    form.FormActivate();
    QVERIFY(form.IsAborted());
    QCOMPARE(form.StatusLabel()->text(), QString("\nBusiness Card Print Canceled!"));
    QCOMPARE(form.LabelReportPrinter().JobId(), 0);

    // The next job is the very next the scheduler numbers.
    TCardSheetPrinter next = SheetOf(card.get());
    int after = 0;
    QVERIFY(!PrintOnQueue(next, &after).isEmpty());
    QCOMPARE(after, before + 1);
    // And no file of the spooler's temporary folder is left behind.
    QCOMPARE(QDir::temp().entryList({"quorvel-*.job"}, QDir::Files), QStringList());
}

QTEST_MAIN(TestSpooler)
#include "tst_spooler.moc"

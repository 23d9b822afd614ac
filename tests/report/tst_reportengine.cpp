// The report engine: inch coordinates on device pixels, pen widths, the page
// cycle with page range and abort, the status line, clipping regions, the
// recording and its replay, the frame shapes' and lines' print, and real PDF
// output through the built-in "PDF file" printer.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "report/PrinterList.h"
#include "report/ReportRecorder.h"
#include "report/ReportPrinter.h"

#include <new>
#include <QFile>
#include <QLabel>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

TPageMetrics Page(int dpi, double width = 3.0, double height = 3.0)
{
    TPageMetrics m;
    m.XDPI = m.YDPI = dpi;
    m.PaperSize = QSizeF(width, height);
    return m;
}

// A report whose pages are images of the printable area, one device pixel per
// image pixel, kept even when the job is aborted so that tests can look at
// what reached the device.
class TImageReport : public TBaseReport
{
public:
    explicit TImageReport(const TPageMetrics &metrics) : FPage(metrics) {}

    QList<QImage> Pages;
    bool JobAborted = false;

protected:
    TPageMetrics ReadMetrics() override { return FPage; }
    void BeginDocument() override
    {
        Pages.clear();
        JobAborted = false;
    }
    QPainter *BeginDevicePage() override
    {
        const QSize size(platform::Round(FPage.PaperSize.width() * FPage.XDPI),
                         platform::Round(FPage.PaperSize.height() * FPage.YDPI));
        FImage = QImage(size, QImage::Format_RGB32);
        // A resolution other than the recording's 96 makes picture playback scale.
        FImage.setDotsPerMeterX(platform::Round(FPage.XDPI / 0.0254));
        FImage.setDotsPerMeterY(platform::Round(FPage.YDPI / 0.0254));
        FImage.fill(Qt::white);
        FPainter.begin(&FImage);
        return &FPainter;
    }
    void EndDevicePage() override
    {
        FPainter.end();
        Pages.append(FImage);
    }
    void EndDocument() override {}
    void AbortDocument() override
    {
        if (FPainter.isActive())
            EndDevicePage();
        JobAborted = true;
    }
    QString DeviceName() const override { return QStringLiteral("Test"); }
    QString DriverName() const override { return QStringLiteral("Test"); }
    QString PortName() const override { return QStringLiteral("Memory"); }

private:
    TPageMetrics FPage;
    QImage FImage;
    QPainter FPainter;
};

bool IsDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

int DarkInColumn(const QImage &image, int x, int fromY, int toY)
{
    int n = 0;
    for (int y = fromY; y <= toY; ++y)
        n += IsDark(image, x, y);
    return n;
}

int DarkInRow(const QImage &image, int y, int fromX, int toX)
{
    int n = 0;
    for (int x = fromX; x <= toX; ++x)
        n += IsDark(image, x, y);
    return n;
}


// Makes the built-in PDF printer current, on Letter paper, for the test's life.
struct PdfPrinterScope {
    PdfPrinterScope(const QString &file)
    {
        TRPDevice &device = TRPDevice::Instance();
        device.SetPrinterIndex(device.PdfPrinterIndex());
        device.SelectPaperSize(1);
        device.SetOutputFileName(file);
    }
    ~PdfPrinterScope() { TRPDevice::Instance().SetOutputFileName(QString()); }
};

int PdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void cleanup() { platform::SetScreenPixelsPerInchForTests(96); }

    void statusCodes_data();
    void statusCodes();
    void statusLabelShowsPageAndEmptyLines();
    void statusDeviceNamesOfEachReport();

    void penWidthInDevicePixels_data();
    void penWidthInDevicePixels();
    void unprintableLeftStripShiftsDeviceColumns();
    void pageRangeLimitsOutput_data();
    void pageRangeLimitsOutput();
    void abortSuppressesDrawingAndAbortsJob();
    void handlerErrorStillFinishesRun();
    void emptyPrinterListRefusesToRun();

    void regionStackHoldsAtMost21();
    void regionsClipDrawing_data();
    void regionsClipDrawing();
    void bitmapsAndPicturesStretchIntoRect();
    void pathsCollectFiguresUntilStrokedOrClipped();
    void textAdvancesAndSitsOnBaseline();

    void recordingReplaysFrameShapeAtDevicePixels();
    void frameShapePenFollowsScreenPpi_data();
    void frameShapePenFollowsScreenPpi();
    void linePenIsHundredthsOfInch_data();
    void linePenIsHundredthsOfInch();

    void pdfPrinterListedAndSelectsPaper();
    void pdfPrinterWritesOnePagePerStartNewPage();
    void pdfPrinterAbortKeepsExistingFile_data();
    void pdfPrinterAbortKeepsExistingFile();
    void pdfPrinterReportsUnwritableFolder();
    void pdfJobsTemporaryFileNeverReachesTheDialogs();
};

// ---- status ----

void TestReport::statusCodes_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("page and two empty lines")
        << "Printing Page %p\r%0\r%1" << QStringList{"", ""} << "Printing Page 3\r\r";
    QTest::newRow("unknown code") << "a%xb" << QStringList{} << "a<ERROR-%x>b";
    QTest::newRow("unknown code keeps its case") << "%Q" << QStringList{} << "<ERROR-%Q>";
    QTest::newRow("percent") << "100%%" << QStringList{} << "100%";
    QTest::newRow("status lines, missing ones empty")
        << "%0|%1|%9" << QStringList{"first", "second"} << "first|second|";
    QTest::newRow("page numbers in either case") << "%P %p %F %f %L %l" << QStringList{} << "3 3 1 1 5 5";
    QTest::newRow("device, driver, port") << "%D/%r/%T" << QStringList{} << "Test/Test/Memory";
    QTest::newRow("percent at the end stays") << "50 %" << QStringList{} << "50 %";
    QTest::newRow("lone percent") << "%" << QStringList{} << "%";
}

void TestReport::statusCodes()
{
    QFETCH(QString, format);
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);

    TImageReport report(Page(10));
    report.SetLastPage(5);
    report.SetStatusFormat(format);
    report.SetStatusText(lines);
    QString status;
    report.OnPrint = [&](TBaseReport &r) {
        r.StartNewPage();
        r.StartNewPage();
        status = r.StatusString();
    };
    report.Run();
    QCOMPARE(status, expected);
}

void TestReport::statusLabelShowsPageAndEmptyLines()
{
    QLabel label;
    TImageReport report(Page(10));
    report.SetStatusLabel(&label);
    report.SetStatusFormat("Printing Page %p\r%0\r%1");
    report.SetStatusText({"", ""});
    QStringList shown;
    report.OnPrint = [&](TBaseReport &r) {
        shown << label.text();
        r.StartNewPage();
        r.StartNewPage();
        shown << label.text();
    };
    report.Run();
    QCOMPARE(shown, QStringList({"Printing Page 1\n\n", "Printing Page 3\n\n"}));
}

void TestReport::statusDeviceNamesOfEachReport()
{
    TReportFiler filer;
    filer.SetStatusFormat("%D|%R|%T");
    QCOMPARE(filer.StatusString(), QString("Preview|Preview|Screen"));

    PdfPrinterScope pdf(QString{});
    TReportPrinter printer;
    printer.SetStatusFormat("%D|%R|%T");
    QCOMPARE(printer.StatusString(), QString("PDF file|PDF|FILE:"));
}

// ---- coordinates and page cycle ----

void TestReport::penWidthInDevicePixels_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pixels");

    QTest::newRow("-1 at 600 dpi") << 600 << -1 << 6;
    QTest::newRow("-1 at 96 dpi is 0.96, rounded") << 96 << -1 << 1;
    QTest::newRow("-1 at 30 dpi is at least 1") << 30 << -1 << 1;
    QTest::newRow("-4 at 600 dpi") << 600 << -4 << 24;
    QTest::newRow("-4 at 96 dpi is 3.84, rounded") << 96 << -4 << 4;
    QTest::newRow("-2 at 300 dpi") << 300 << -2 << 6;
    QTest::newRow("positive width is device pixels") << 600 << 3 << 3;
}

void TestReport::penWidthInDevicePixels()
{
    QFETCH(int, dpi);
    QFETCH(int, width);
    QFETCH(int, pixels);

    TImageReport report(Page(dpi));
    report.OnPrint = [&](TBaseReport &r) {
        r.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, width);
        r.MoveTo(1.0, 1.0);
        r.LineTo(2.0, 1.0);
    };
    report.Run();
    QCOMPARE(report.Pages.size(), 1);
    QCOMPARE(DarkInColumn(report.Pages[0], platform::Round(1.5 * dpi), dpi - 20, dpi + 20), pixels);
}

void TestReport::unprintableLeftStripShiftsDeviceColumns()
{
    TPageMetrics metrics = Page(600);
    metrics.UnprintableLeft = 0.25;
    metrics.UnprintableTop = 0.25;

    auto drawRect = [](TBaseReport &r) {
        r.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 0);
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(0.75, 1.0, 1.75, 2.0);
    };

    // On the device: 0.5 inch into the printable area.
    TImageReport device(metrics);
    QRect deviceRect;
    device.OnPrint = [&](TBaseReport &r) {
        deviceRect = r.DeviceRect(0.75, 1.0, 1.75, 2.0);
        drawRect(r);
    };
    device.Run();
    QCOMPARE(deviceRect, QRect(300, 450, 600, 600));
    QVERIFY(!IsDark(device.Pages[0], 299, 700));
    QVERIFY(IsDark(device.Pages[0], 300, 700));
    QVERIFY(IsDark(device.Pages[0], 899, 700));
    QVERIFY(!IsDark(device.Pages[0], 900, 700));

    // On the paper, as the recording's replay shows it: 0.75 inch from the edge.
    TReportFiler filer;
    filer.SetPageMetrics(metrics);
    filer.OnPrint = drawRect;
    filer.Run();
    const QImage paper = printtest::RecordedRegion(filer.Recording(), 0, QRect(0, 0, 1200, 1300));
    QVERIFY(!IsDark(paper, 449, 900));
    QVERIFY(IsDark(paper, 450, 900));
    QVERIFY(IsDark(paper, 1049, 900));
    QVERIFY(!IsDark(paper, 1050, 900));
    QVERIFY(!IsDark(paper, 700, 599));
    QVERIFY(IsDark(paper, 700, 600));
}

void TestReport::pageRangeLimitsOutput_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("output");

    QTest::newRow("all") << 1 << 9999 << QList<int>{1, 2, 3, 4};
    QTest::newRow("middle") << 2 << 3 << QList<int>{2, 3};
    QTest::newRow("first only") << 1 << 1 << QList<int>{1};
    QTest::newRow("last only") << 4 << 4 << QList<int>{4};
    QTest::newRow("beyond the job") << 5 << 9 << QList<int>{};
}

void TestReport::pageRangeLimitsOutput()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, output);

    // Each page marks its number by a square n half inches from the left.
    TImageReport report(Page(20));
    report.SetFirstPage(first);
    report.SetLastPage(last);
    QList<bool> enabled;
    report.OnPrint = [&](TBaseReport &r) {
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        for (int page = 1; page <= 4; ++page) {
            if (page > 1)
                r.StartNewPage();
            QCOMPARE(r.PageNumber(), page);
            enabled << r.OutputEnabled();
            r.DrawRect(page * 0.5, 1.0, page * 0.5 + 0.25, 1.25);
        }
    };
    report.Run();

    QCOMPARE(report.Pages.size(), output.size());
    for (int i = 0; i < output.size(); ++i)
        for (int page = 1; page <= 4; ++page)
            QCOMPARE(IsDark(report.Pages[i], page * 10 + 2, 22), page == output[i]);
    for (int page = 1; page <= 4; ++page)
        QCOMPARE(enabled[page - 1], output.contains(page));
}

void TestReport::abortSuppressesDrawingAndAbortsJob()
{
    TImageReport report(Page(20));
    report.OnPrint = [](TBaseReport &r) {
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(0.5, 0.5, 1.0, 1.0);
        r.AbortRun();
        r.DrawRect(1.5, 0.5, 2.0, 1.0);
        r.MoveTo(0.0, 2.0);
        r.LineTo(3.0, 2.0);
        r.StartNewPage();
        QCOMPARE(r.PageNumber(), 2);
        QVERIFY(!r.OutputEnabled());
        r.DrawRect(0.5, 0.5, 1.0, 1.0);
    };
    report.Run();
    QVERIFY(report.IsAborted());
    QVERIFY(report.JobAborted);
    QCOMPARE(report.Pages.size(), 1);
    QVERIFY(IsDark(report.Pages[0], 15, 15));
    QVERIFY(!IsDark(report.Pages[0], 35, 15));
    QCOMPARE(DarkInRow(report.Pages[0], 40, 0, 59), 0);

    // The next run starts afresh.
    report.OnPrint = [](TBaseReport &r) {
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(1.5, 0.5, 2.0, 1.0);
    };
    report.Run();
    QVERIFY(!report.IsAborted());
    QVERIFY(!report.JobAborted);
    QVERIFY(IsDark(report.Pages[0], 35, 15));

    // A recording that is aborted keeps no pages.
    TReportFiler filer;
    filer.SetPageMetrics(Page(20));
    filer.OnPrint = [](TBaseReport &r) {
        r.StartNewPage();
        r.AbortRun();
    };
    filer.Run();
    QCOMPARE(filer.PageCount(), 0);
}

void TestReport::handlerErrorStillFinishesRun()
{
    TReportFiler filer;
    filer.SetPageMetrics(Page(20));
    bool finished = false;
    filer.OnAfterPrint = [&](TBaseReport &) { finished = true; };
    filer.OnPrint = [](TBaseReport &r) {
        r.StartNewPage();
        throw EReportError("handler failed");
    };
    QVERIFY_THROWS_EXCEPTION(EReportError, filer.Run());
    QVERIFY(finished);
    QVERIFY(!filer.Running());
    QCOMPARE(filer.PageCount(), 2);
}

void TestReport::emptyPrinterListRefusesToRun()
{
    TRPDevice::Instance().SetPrinterListForTests(QStringList{});
    TReportFiler filer;
    bool started = false;
    filer.OnBeforePrint = [&](TBaseReport &) { started = true; };
    QString message;
    try {
        filer.Run();
    } catch (const EReportError &e) {
        message = e.Message();
    }
    TRPDevice::Instance().SetPrinterListForTests(std::nullopt);
    QCOMPARE(message, QString("No printers are defined, aborting print job."));
    QVERIFY(!started);
    QVERIFY(!filer.Running());
}

// ---- regions and drawing ----

void TestReport::regionStackHoldsAtMost21()
{
    TImageReport report(Page(20));
    QCOMPARE(report.RegionIndex(), -1);
    report.DeleteRegion();
    QCOMPARE(report.RegionIndex(), -1);
    for (int i = 0; i < 21; ++i)
        report.CreateRectRegion(0, 0, 1, 1);
    QCOMPARE(report.RegionIndex(), 20);
    QVERIFY_THROWS_EXCEPTION(EReportError, report.CreateEllipseRegion(0, 0, 1, 1));
    QCOMPARE(report.RegionIndex(), 20);
    report.DeleteRegion();
    QCOMPARE(report.RegionIndex(), 19);
    report.CreateRoundRectRegion(0, 0, 1, 1, 0.1, 0.1);
    QCOMPARE(report.RegionIndex(), 20);
}

void TestReport::regionsClipDrawing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");

    // Regions over (1, 1)-(2, 2) inches at 100 dpi; the fill covers the whole page.
    QTest::newRow("rectangle") << "rect" << QPoint(102, 102) << QPoint(98, 150);
    QTest::newRow("ellipse") << "ellipse" << QPoint(150, 102) << QPoint(105, 105);
    QTest::newRow("rounded rectangle") << "roundrect" << QPoint(150, 102) << QPoint(101, 101);
    QTest::newRow("polygon") << "polygon" << QPoint(150, 110) << QPoint(104, 180);
}

void TestReport::regionsClipDrawing()
{
    QFETCH(QString, kind);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);

    TImageReport report(Page(100));
    report.OnPrint = [&](TBaseReport &r) {
        if (kind == "rect")
            r.CreateRectRegion(1, 1, 2, 2);
        else if (kind == "ellipse")
            r.CreateEllipseRegion(1, 1, 2, 2);
        else if (kind == "roundrect")
            r.CreateRoundRectRegion(1, 1, 2, 2, 0.5, 0.5);
        else
            r.CreatePolygonRegion(QPolygon({QPoint(150, 100), QPoint(200, 200), QPoint(100, 200), QPoint(0, 0)}), 3);
        r.SelectRegion();
        r.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 0);
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(0, 0, 3, 3);
        // An empty stack selected removes the clipping.
        r.DeleteRegion();
        r.SelectRegion();
        r.DrawRect(2.5, 2.5, 2.8, 2.8);
    };
    report.Run();
    QVERIFY(IsDark(report.Pages[0], inside.x(), inside.y()));
    QVERIFY(!IsDark(report.Pages[0], outside.x(), outside.y()));
    QVERIFY(!IsDark(report.Pages[0], 240, 240));
    QVERIFY(IsDark(report.Pages[0], 265, 265));
}

void TestReport::bitmapsAndPicturesStretchIntoRect()
{
    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    QPicture picture;
    {
        QPainter p(&picture);
        p.fillRect(QRect(10, 10, 20, 10), Qt::blue);
    }
    auto draw = [&](TBaseReport &r) {
        r.DrawBitmapInRect(0.5, 0.5, 1.0, 1.0, bitmap);
        r.DrawGraphicInRect(r.DeviceRect(1.5, 0.5, 2.5, 1.0), picture);
    };

    TImageReport device(Page(100));
    device.OnPrint = draw;
    device.Run();
    const QImage &page = device.Pages[0];
    QCOMPARE(page.pixel(51, 51), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(99, 99), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(100, 75), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(151, 51), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(248, 98), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(252, 75), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(200, 102), qRgb(255, 255, 255));

    // Recorded at 600 dpi and replayed: the picture still fills its rectangle.
    TReportFiler filer;
    filer.SetPageMetrics(Page(600));
    filer.OnPrint = draw;
    filer.Run();
    const QImage replay = printtest::RecordedRegion(filer.Recording(), 0, QRect(0, 0, 1600, 700));
    QCOMPARE(replay.pixel(905, 305), qRgb(0, 0, 255));
    QCOMPARE(replay.pixel(1495, 595), qRgb(0, 0, 255));
    QCOMPARE(replay.pixel(1505, 450), qRgb(255, 255, 255));
    QCOMPARE(replay.pixel(450, 450), qRgb(255, 0, 0));
}

void TestReport::pathsCollectFiguresUntilStrokedOrClipped()
{
    TImageReport report(Page(100));
    report.OnPrint = [&](TBaseReport &r) {
        r.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, 1);
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.BeginPath();
        r.DrawRect(1, 1, 2, 2);
        r.EndPath();
        r.StrokePath();
        r.StartNewPage();
        r.BeginPath();
        r.DrawEllipse(1, 1, 2, 2);
        r.SetFontSize(36);
        r.GotoXY(0.2, 2.8);
        r.PrintText("H");
        r.EndPath();
        r.ClipToPath();
        r.DrawRect(0, 0, 3, 3);
    };
    report.Run();
    // Stroked: the outline only; the filled rectangle never reached the page.
    QVERIFY(IsDark(report.Pages[0], 100, 150));
    QVERIFY(IsDark(report.Pages[0], 199, 150));
    QVERIFY(!IsDark(report.Pages[0], 150, 150));
    QVERIFY(!IsDark(report.Pages[0], 98, 150));
    // Clipped: the fill shows inside the ellipse and the letter only.
    QVERIFY(IsDark(report.Pages[1], 150, 150));
    QVERIFY(!IsDark(report.Pages[1], 103, 103));
    QVERIFY(!IsDark(report.Pages[1], 10, 150));
    QVERIFY(DarkInRow(report.Pages[1], 270, 15, 60) > 4);
}

void TestReport::textAdvancesAndSitsOnBaseline()
{
    TImageReport report(Page(100));
    double ascent = 0, startX = 0, endX = 0, baseline = 0;
    int pixelHeight = 0;
    report.OnPrint = [&](TBaseReport &r) {
        r.SetFontName("Liberation Sans");
        r.SetFontSize(36);
        pixelHeight = r.FontPixelHeight();
        ascent = r.FontAscent();
        r.GotoXY(1.0, 0.5);
        r.LineTop(1.0);
        baseline = r.YPos();
        startX = r.XPos();
        r.PrintText("HH");
        endX = r.XPos();
    };
    report.Run();
    QCOMPARE(pixelHeight, 50);
    QCOMPARE(report.FontHeight(), 0.5);
    QCOMPARE(baseline, 1.0 + ascent);
    QVERIFY(endX > startX + 0.3 && endX < startX + 1.0);

    // Ink between the left edge and the new X, above the baseline, below the top.
    const QImage &page = report.Pages[0];
    const int left = 100, right = platform::Round(endX * 100), base = platform::Round(baseline * 100) + 1;
    int inside = 0, outside = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (!IsDark(page, x, y))
                continue;
            if (x >= left && x <= right && y >= 100 && y <= base)
                ++inside;
            else
                ++outside;
        }
    QVERIFY(inside > 100);
    QCOMPARE(outside, 0);
}

// ---- frame shapes and lines on paper ----

void TestReport::recordingReplaysFrameShapeAtDevicePixels()
{
    TBCShapes shape;
    shape.SetBounds(48, 24, 96, 48);
    shape.Pen()->SetWidth(3);
    shape.Brush()->SetColor(platform::clRed);

    TReportFiler filer;
    filer.SetPageMetrics(Page(600));
    filer.OnPrint = [&](TBaseReport &r) { shape.Print(r, 0.5, 0.5); };
    filer.Run();
    QCOMPARE(filer.PageCount(), 1);

    // (1, 0.75)-(2, 1.25) inches: columns 600-1199, rows 450-749; a 0.03 inch
    // (18 pixel) outline centred on the outermost pixels.
    const QImage page = printtest::RecordedRegion(filer.Recording(), 0, QRect(0, 0, 1300, 800));
    const int row = 600;
    QCOMPARE(page.pixel(591, row), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(592, row), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(609, row), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(610, row), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(900, row), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(1190, row), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(1191, row), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(1208, row), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(1209, row), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(900, 441), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(900, 442), qRgb(0, 0, 0));

    // The preview's replay at 96 pixels per inch and zoom 100 puts the card
    // back where the screen had it, moved by the origin.
    const QImage preview = RenderRecordedPage(filer.Recording(), 0, 100, 96);
    QCOMPARE(preview.size(), QSize(288, 288));
    QCOMPARE(preview.pixel(144, 96), qRgb(255, 0, 0));
    QCOMPARE(preview.pixel(90, 96), qRgb(255, 255, 255));
}

void TestReport::frameShapePenFollowsScreenPpi_data()
{
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("pixels");

    QTest::newRow("96 ppi: 4 hundredths") << 96 << 24;
    QTest::newRow("120 ppi: 3 hundredths") << 120 << 18;
}

void TestReport::frameShapePenFollowsScreenPpi()
{
    QFETCH(int, ppi);
    QFETCH(int, pixels);

    platform::SetScreenPixelsPerInchForTests(ppi);
    TGLabelShapes shape;
    shape.SetBounds(0, 0, 96, 96);
    shape.Pen()->SetWidth(4);

    TReportFiler filer;
    filer.SetPageMetrics(Page(600));
    filer.OnPrint = [&](TBaseReport &r) { shape.Print(r, 0.5, 0.5); };
    filer.Run();

    const int middle = platform::Round((0.5 + 48.0 / ppi) * 600);
    const QImage page = printtest::RecordedRegion(filer.Recording(), 0, QRect(0, 0, 1200, 1200));
    QCOMPARE(DarkInRow(page, middle, 0, 420), pixels);
}

void TestReport::linePenIsHundredthsOfInch_data()
{
    QTest::addColumn<int>("ppi");
    QTest::newRow("96 ppi") << 96;
    QTest::newRow("120 ppi") << 120;
}

void TestReport::linePenIsHundredthsOfInch()
{
    QFETCH(int, ppi);

    platform::SetScreenPixelsPerInchForTests(ppi);
    TGLineShape line;
    line.SetBounds(0, 0, 96, 10);
    line.Pen()->SetWidth(4);

    TReportFiler filer;
    filer.SetPageMetrics(Page(600));
    filer.OnPrint = [&](TBaseReport &r) { line.Print(r, 0.5, 0.5); };
    filer.Run();

    // 0.04 inch at 600 dpi, around Y1 = 0.5 + 2 / ppi inches.
    const int y1 = platform::Round((0.5 + 2.0 / ppi) * 600);
    const QImage page = printtest::RecordedRegion(filer.Recording(), 0, QRect(0, 0, 1200, 1200));
    QCOMPARE(DarkInColumn(page, 500, y1 - 60, y1 + 60), 24);
}

// ---- the PDF printer ----

void TestReport::pdfPrinterListedAndSelectsPaper()
{
    TRPDevice &device = TRPDevice::Instance();
    const QStringList printers = device.Printers();
    QVERIFY(!printers.isEmpty());
    QCOMPARE(printers.last(), QString("PDF file"));
    QCOMPARE(device.PdfPrinterIndex(), printers.size() - 1);

    PdfPrinterScope pdf(QString{});
    QVERIFY(device.IsPdfPrinter());
    QCOMPARE(device.DriverMaxCopies(), 1);
    TPageMetrics m = device.Metrics();
    QCOMPARE(m.XDPI, 600);
    QCOMPARE(m.UnprintableLeft, 0.0);
    QCOMPARE(m.UnprintableTop, 0.0);
    QCOMPARE(m.UnprintableBottom, 0.0);
    QCOMPARE(m.PaperSize, QSizeF(8.5, 11.0));

    QVERIFY(device.SelectPaperSize(9));
    QVERIFY(!device.SelectPaperSize(9));
    m = device.Metrics();
    // A4, 210 x 297 mm, as Qt holds it: in whole points.
    QVERIFY(qAbs(m.PaperSize.width() - 210 / 25.4) < 0.01);
    QVERIFY(qAbs(m.PaperSize.height() - 297 / 25.4) < 0.01);
    QVERIFY(!device.SelectPaperSize(0));
    QVERIFY(device.SelectPaperSize(0, 1016, 2032));
    QCOMPARE(qRound(device.Metrics().PaperSize.width() * 100), 400);
    QVERIFY(device.SelectPaperSize(1));
    QCOMPARE(device.Metrics().PaperSize, QSizeF(8.5, 11.0));
}

void TestReport::pdfPrinterWritesOnePagePerStartNewPage()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("sheet.pdf");
    PdfPrinterScope pdf(file);

    TReportPrinter printer;
    printer.OnPrint = [](TBaseReport &r) {
        r.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 0);
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(1.0, 1.0, 2.0, 2.0);
        r.StartNewPage();
        r.StartNewPage();
    };
    printer.Run();

    QFile out(file);
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = out.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QCOMPARE(PdfPageCount(pdfBytes), 3);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sheet.pdf"});

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed: the page is not rasterised");
    QVERIFY(QProcess::execute(pdftoppm, {"-r", "72", "-f", "1", "-l", "1", "-png", file, dir.filePath("page")}) == 0);
    const QStringList pngs = QDir(dir.path()).entryList({"page*.png"});
    QCOMPARE(pngs.size(), 1);
    const QImage page(dir.filePath(pngs.first()));
    QCOMPARE(page.size(), QSize(612, 792));
    QVERIFY(!IsDark(page, 70, 108));
    QVERIFY(IsDark(page, 74, 108));
    QVERIFY(IsDark(page, 142, 108));
    QVERIFY(!IsDark(page, 146, 108));
    QVERIFY(!IsDark(page, 108, 70));
    QVERIFY(IsDark(page, 108, 74));
}

// A cancelled run, and one that an error ended half-way, publish nothing.
void TestReport::pdfPrinterAbortKeepsExistingFile_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("cancelled") << false;
    QTest::newRow("failed") << true;
}

void TestReport::pdfPrinterAbortKeepsExistingFile()
{
    QFETCH(bool, fails);
    QTemporaryDir dir;
    const QString file = dir.filePath("sheet.pdf");
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    PdfPrinterScope pdf(file);

    TReportPrinter printer;
    printer.OnPrint = [fails](TBaseReport &r) {
        r.SelectBrush(platform::clBlack, Vcl::bsSolid);
        r.DrawRect(1.0, 1.0, 2.0, 2.0);
        r.StartNewPage();
        if (fails)
            throw std::bad_alloc();
        r.AbortRun();
    };
    if (fails)
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, printer.Run());
    else
        printer.Run();
    QCOMPARE(printer.IsAborted(), !fails);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sheet.pdf"});
    QFile out(file);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("old"));
}

void TestReport::pdfPrinterReportsUnwritableFolder()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("missing/sheet.pdf");
    PdfPrinterScope pdf(file);
    TReportPrinter printer;
    bool printed = false;
    printer.OnPrint = [&](TBaseReport &) { printed = true; };
    QString message;
    try {
        printer.Run();
    } catch (const EReportError &e) {
        message = e.Message();
    }
    QCOMPARE(message, "Unable to write " + QDir::toNativeSeparators(file) + ": No such file or directory");
    QVERIFY(!printed);
    QVERIFY(!printer.Running());
}

void TestReport::pdfJobsTemporaryFileNeverReachesTheDialogs()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("sheet.pdf");
    {
        PdfPrinterScope pdf(file);
        TReportPrinter printer;
        printer.OnPrint = [](TBaseReport &r) { r.DrawRect(1.0, 1.0, 2.0, 2.0); };
        printer.Run();
        // The next command's print dialog offers the user's file on the same printer.
        QPrinter &forDialogs = TRPDevice::Instance().Printer();
        QCOMPARE(forDialogs.outputFileName(), file);
        QCOMPARE(forDialogs.outputFormat(), QPrinter::PdfFormat);
        QVERIFY(TRPDevice::Instance().IsPdfPrinter());
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sheet.pdf"});
    // The mode any new file of the user gets, not the temporary file's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), int(0666 & ~mask));
}

QTEST_MAIN(TestReport)
#include "tst_reportengine.moc"

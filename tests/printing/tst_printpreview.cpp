// The preview window: the recorded page shown at a zoom between 10 and 200
// per cent, zoom by buttons and mouse clicks, the fitted zooms, arrow-key
// scrolling, its caption, and where it keeps its size and place.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "printing/DialogKit.h"
#include "printing/PrintPreview.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace printtest;

namespace {

// A preview recording of the marker card: one page, cell 1 at (0.75, 0.5).
TPageRecording PreviewRecording()
{
    const auto card = MakeMarkerCard();
    TCardSheetPrinter job;
    job.Panel = card.get();
    job.ToPrinter = false;
    job.Cells = SelectedCells(10, true);
    TReportFiler filer;
    filer.SetPageMetrics(LetterPage(600));
    job.Attach(filer);
    filer.Run();
    return filer.Recording();
}

struct ShownPreview {
    TPreviewForm form;
    ShownPreview()
    {
        form.SetRecording(PreviewRecording());
        form.show();
        testsupport::Flush();
    }
    TFilePreview &viewer() { return form.FilePreview1(); }
    QImage page() { return viewer().PageImage()->pixmap().toImage(); }
};

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    void zoomStaysWithinItsRange_data();
    void zoomStaysWithinItsRange();
    void mouseClicksOnThePageZoom_data();
    void mouseClicksOnThePageZoom();
    void captionNamesThePage();
    void pageShowsTheRecordingOnTheDesk();
    void fittedZoomsFitTheBox();
    void fittedZoomsAreNotLimited();
    void arrowKeysScrollByOneStep();
    void placementIsRestoredAndSaved();
    void startNeedsAScrollBox();
    void helpOpensItsContext();
};

void TestPreview::zoomStaysWithinItsRange_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("action");
    QTest::addColumn<double>("expected");
    QTest::newRow("zoom in from 100") << 100.0 << "in" << 110.0;
    QTest::newRow("zoom in from 200 stays") << 200.0 << "in" << 200.0;
    QTest::newRow("zoom in from 195 stops at 200") << 195.0 << "in" << 200.0;
    QTest::newRow("zoom out from 10 stays") << 10.0 << "out" << 10.0;
    QTest::newRow("zoom out from 15 gives 10") << 15.0 << "out" << 10.0;
    QTest::newRow("zoom out from 100") << 100.0 << "out" << 90.0;
    QTest::newRow("set 0 gives 10") << 100.0 << "set 0" << 10.0;
    QTest::newRow("set 9.9 gives 10") << 100.0 << "set 9.9" << 10.0;
    QTest::newRow("set 250 gives 200") << 100.0 << "set 250" << 200.0;
    QTest::newRow("set 137 is kept") << 100.0 << "set 137" << 137.0;
}

void TestPreview::zoomStaysWithinItsRange()
{
    QFETCH(double, start);
    QFETCH(QString, action);
    QFETCH(double, expected);
    ShownPreview preview;
    TFilePreview &viewer = preview.viewer();
    viewer.SetZoomFactor(start);
    QSignalSpy zoomChanges(&viewer, &TFilePreview::ZoomChange);
    if (action == "in")
        preview.form.SBZoomInClick();
    else if (action == "out")
        preview.form.SBZoomOutClick();
    else
        viewer.SetZoomFactor(action.mid(4).toDouble());
    QCOMPARE(viewer.ZoomFactor(), expected);
    QCOMPARE(zoomChanges.size(), 1);
    // The page is drawn at the new zoom: 8.5 inches at 96 pixels per inch.
    const int m = viewer.MarginPixels();
    QCOMPARE(preview.page().width(), qRound(8.5 * 96 * expected / 100) + 2 * m + viewer.ShadowDepth);
}

void TestPreview::mouseClicksOnThePageZoom_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<double>("expected");
    QTest::newRow("left zooms in") << Qt::LeftButton << 110.0;
    QTest::newRow("right zooms out") << Qt::RightButton << 90.0;
    QTest::newRow("middle zooms out") << Qt::MiddleButton << 90.0;
}

void TestPreview::mouseClicksOnThePageZoom()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(double, expected);
    ShownPreview preview;
    QCOMPARE(preview.viewer().ZoomFactor(), 100.0);
    QTest::mousePress(preview.viewer().PageImage(), button, {}, QPoint(50, 50));
    QCOMPARE(preview.viewer().ZoomFactor(), expected);
}

void TestPreview::captionNamesThePage()
{
    TPreviewForm form;
    QCOMPARE(form.windowTitle(), QString("Label Preview"));
    form.setWindowTitle("Preview Business Cards");
    form.SetRecording(PreviewRecording());
    form.show();
    testsupport::Flush();
    QCOMPARE(form.windowTitle(), QString("Preview Page 1 of 1"));
    QCOMPARE(preview::PageCaption(3, 2, 5), QString("Preview Page 2 of 5"));
}

void TestPreview::pageShowsTheRecordingOnTheDesk()
{
    ShownPreview preview;
    const QImage page = preview.page();
    const int m = preview.viewer().MarginPixels();
    QCOMPARE(m, qRound(96 * 8.5 * 2.5 / 100));
    // The desk around the page, the page's shadow, the page itself.
    QCOMPARE(page.pixel(1, 1), qRgb(128, 128, 128));
    QCOMPARE(page.pixel(page.width() - m - 2, page.height() - m - 2), qRgb(0, 0, 0));
    QCOMPARE(page.pixel(page.width() - 2, page.height() - 2), qRgb(128, 128, 128));
    QCOMPARE(page.pixel(m + 2, m + 2), qRgb(255, 255, 255));
    // The marker of cell 1 at (1.0, 1.0) - (2.0, 1.5) inches.
    QVERIFY(IsDark(page, m + 96 + 2, m + 96 + 2));
    QVERIFY(IsDark(page, m + 192 - 2, m + 144 - 2));
    QVERIFY(IsWhite(page, m + 192 + 3, m + 120));
    // The silver outline of the card's box at (0.75, 0.5).
    QVERIFY(qAbs(qGray(page.pixel(m + 72, m + 96)) - 0xC0) < 16);
}

void TestPreview::fittedZoomsFitTheBox()
{
    ShownPreview preview;
    preview.form.resize(700, 500);
    testsupport::Flush();
    QScrollArea *box = preview.form.ScrollBox();

    preview.form.SBZoomPageClick();
    testsupport::Flush();
    QSize desk = preview.page().size();
    QVERIFY2(desk.width() <= box->viewport()->width() && desk.height() <= box->viewport()->height(),
             qPrintable(QString("page %1x%2 in %3x%4").arg(desk.width()).arg(desk.height())
                            .arg(box->viewport()->width()).arg(box->viewport()->height())));
    // A Letter page in a wide box: its height is what limits it.
    QVERIFY(box->viewport()->height() - desk.height() <= 4);
    QCOMPARE(box->verticalScrollBar()->maximum(), 0);

    preview.form.SBZoomPageWidthClick();
    testsupport::Flush();
    desk = preview.page().size();
    // Taller than the box now: the width fits beside the vertical scroll bar.
    QVERIFY(box->verticalScrollBar()->maximum() > 0);
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    QVERIFY2(box->viewport()->width() - desk.width() <= 2,
             qPrintable(QString("page %1 wide in %2").arg(desk.width()).arg(box->viewport()->width())));
}

void TestPreview::fittedZoomsAreNotLimited()
{
    QScrollArea box;
    box.resize(120, 80);
    box.show();
    testsupport::Flush();
    TFilePreview viewer;
    viewer.ScrollBox = &box;
    viewer.SetRecording(PreviewRecording());
    viewer.Start();
    // A negative request asks for a fitted zoom: -1 the whole page, -2 the width.
    viewer.SetZoomFactor(-1);
    QVERIFY2(viewer.ZoomFactor() < 10.0, qPrintable(QString::number(viewer.ZoomFactor())));
    QCOMPARE(viewer.ZoomFactor(), viewer.ZoomPageFactor());
    viewer.SetZoomFactor(-2);
    QCOMPARE(viewer.ZoomFactor(), viewer.ZoomPageWidthFactor());
    QVERIFY(viewer.ZoomFactor() < 10.0);
    viewer.Finish();
}

void TestPreview::arrowKeysScrollByOneStep()
{
    ShownPreview preview;
    preview.viewer().SetZoomFactor(200);
    testsupport::Flush();
    QScrollBar *bar = preview.form.ScrollBox()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);
    preview.form.FormKeyDown(Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(&preview.form, Qt::Key_Down);
    QCOMPARE(bar->value(), bar->singleStep());
    QTest::keyClick(&preview.form, Qt::Key_Down);
    QTest::keyClick(&preview.form, Qt::Key_Up);
    QCOMPARE(bar->value(), bar->singleStep());
    bar->setValue(bar->maximum());
    preview.form.FormKeyDown(Qt::Key_Down);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestPreview::placementIsRestoredAndSaved()
{
    QStringList calls;
    preview::SetPlacementHandlers([&](QWidget *w) { calls << "restore " + QString(w->metaObject()->className()); },
                                  [&](QWidget *w) { calls << "save " + QString(w->metaObject()->className()); });
    {
        ShownPreview preview;
        QCOMPARE(calls, QStringList{"restore TPreviewForm"});
        QVERIFY(preview.viewer().Active());
        preview.form.CloseButtonClick();
        QVERIFY(!preview.viewer().Active());
        QVERIFY(preview.viewer().PageImage()->pixmap().isNull());
    }
    QCOMPARE(calls, (QStringList{"restore TPreviewForm", "save TPreviewForm"}));
    preview::SetPlacementHandlers(nullptr, nullptr);
}

void TestPreview::startNeedsAScrollBox()
{
    TFilePreview viewer;
    QString message;
    try {
        viewer.Start();
    } catch (const EReportError &e) {
        message = e.Message();
    }
    QCOMPARE(message, QString("ScrollBox must be assigned for FilePreview component"));
}

void TestPreview::helpOpensItsContext()
{
    QList<int> contexts;
    printing::SetHelpOpener([&](int context) { contexts << context; });
    TPreviewForm form;
    form.HelpButtonClick();
    printing::SetHelpOpener(nullptr);
    QCOMPARE(contexts, QList<int>{2039});
}

QTEST_MAIN(TestPreview)
#include "tst_printpreview.moc"

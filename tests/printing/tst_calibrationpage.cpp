// The calibration page as the printer puts it on paper: in every cell the
// ruler ticks at each 1/32 inch around where the cell's corner should be and
// the cross at the card's centre, read back from the rasterised PDF; and the
// fine-tuning dialog's sample, whose printed cards follow the nudges.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "printing/CalibrationPage.h"
#include "printing/FineTuningDialog.h"
#include "printing/NudgeSample.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "widgets/SpinEdit.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CardSheetLayout)
Q_DECLARE_METATYPE(PrinterNudges)

using namespace printtest;

namespace {

constexpr int kDpi = 300;

// The centres, in inches, of the dark runs met along a row (or a column)
// of the page between two inch positions.
QList<double> DarkRunCentres(const QImage &page, double at, double from, double to, bool alongRow)
{
    QList<double> centres;
    const int fixed = int(at * kDpi);
    int start = -1;
    for (int i = int(from * kDpi); i <= int(to * kDpi); ++i) {
        const bool dark = alongRow ? IsDark(page, i, fixed) : IsDark(page, fixed, i);
        if (dark && start < 0)
            start = i;
        if (!dark && start >= 0) {
            // Pixel i covers i .. i + 1: the run's middle is halfway across it.
            centres << (start + i) / 2.0 / kDpi;
            start = -1;
        }
    }
    return centres;
}

QString Differences(const QList<double> &found, const QList<double> &expected)
{
    if (found.size() != expected.size())
        return QStringLiteral("%1 marks, expected %2").arg(found.size()).arg(expected.size());
    for (qsizetype i = 0; i < found.size(); ++i)
        if (qAbs(found[i] - expected[i]) * kDpi > 1.0)
            return QStringLiteral("mark %1 at %2 in, expected %3 in").arg(i).arg(found[i]).arg(expected[i]);
    return QString();
}

QList<double> Ticks(double zero)
{
    QList<double> ticks;
    for (int k = -calibration::kRulerSteps; k <= calibration::kRulerSteps; ++k)
        ticks << zero + k / 32.0;
    return ticks;
}

// The first pixel of the red outlines met along the sample's row (or
// column) `at`: a reddish pixel, so an edge that covers part of it counts.
int FirstRed(const QImage &image, int at, bool alongRow)
{
    for (int i = 0; i < (alongRow ? image.width() : image.height()); ++i) {
        const QColor c = alongRow ? image.pixelColor(i, at) : image.pixelColor(at, i);
        if (c.red() - c.green() > 60)
            return i;
    }
    return -1;
}

} // namespace

class TestCalibrationPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    void marksSitAtTheirInchPositions_data()
    {
        QTest::addColumn<CardSheetLayout>("layout");
        QTest::addColumn<PrinterNudges>("nudges");
        CardSheetLayout a4;
        a4.Papersize = 9;
        a4.Height = a4.VPitch = 2.047f;
        a4.Width = a4.HPitch = 3.543f;
        a4.TopMargin = 0.728f;
        a4.LeftMargin = 0.591f;
        QTest::newRow("Letter, no nudges") << CardSheetLayout() << PrinterNudges();
        QTest::newRow("Letter, nudged") << CardSheetLayout() << PrinterNudges{3, -2, 4, -5};
        QTest::newRow("A4, nudged to the ends") << a4 << PrinterNudges{-8, 8, -8, 8};
    }
    void marksSitAtTheirInchPositions()
    {
        QFETCH(CardSheetLayout, layout);
        QFETCH(PrinterNudges, nudges);
        if (!HavePdftoppm())
            QSKIP("pdftoppm (poppler-utils) is not installed: the printed page is not rasterised");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("calibration.pdf");
        TRPDevice &device = TRPDevice::Instance();
        device.SetPrinterIndex(device.PdfPrinterIndex());
        device.SelectPaperSize(layout.Papersize);
        device.SetOutputFileName(pdf);
        const sheetprint::TSheetGeometry sheet = sheetprint::SheetGeometry(layout, nudges);
        {
            TReportPrinter report;
            calibration::Attach(report, sheet);
            report.Run();
        }
        device.SetOutputFileName(QString());

        QString why;
        const QList<QImage> pages = RasterisePdf(pdf, kDpi, &why);
        QVERIFY2(pages.size() == 1, qPrintable(why));
        const QImage &page = pages.first();
        for (int row = 0; row < sheet.Down; ++row) {
            for (int column = 0; column < sheet.Across; ++column) {
                const calibration::TCellMarks m = calibration::CellMarks(sheet, row, column);
                const QPointF corner = sheetprint::CellOrigin(sheet, row, column);
                const QString cell = QStringLiteral("cell %1: ").arg(row * sheet.Across + column + 1);
                // Just off each ruler's line, across every tick.
                QString wrong = Differences(
                    DarkRunCentres(page, m.LeftRulerY + 0.03, corner.x() - 0.3, corner.x() + 0.3, true),
                    Ticks(corner.x()));
                QVERIFY2(wrong.isEmpty(), qPrintable(cell + "left-edge ruler: " + wrong));
                wrong = Differences(
                    DarkRunCentres(page, m.TopRulerX + 0.03, corner.y() - 0.3, corner.y() + 0.3, false),
                    Ticks(corner.y()));
                QVERIFY2(wrong.isEmpty(), qPrintable(cell + "top-edge ruler: " + wrong));
                // The cross at the card's centre.
                const QPointF centre = corner + QPointF(sheet.CardWidth / 2, sheet.CardHeight / 2);
                wrong = Differences(DarkRunCentres(page, centre.y() + 0.06, centre.x() - 0.2, centre.x() + 0.2, true),
                                    {centre.x()});
                QVERIFY2(wrong.isEmpty(), qPrintable(cell + "cross: " + wrong));
                wrong = Differences(
                    DarkRunCentres(page, centre.x() + 0.06, centre.y() - 0.2, centre.y() + 0.2, false), {centre.y()});
                QVERIFY2(wrong.isEmpty(), qPrintable(cell + "cross: " + wrong));
            }
        }
    }

    void fineTuningSampleMovesThePrintedCards_data()
    {
        QTest::addColumn<QString>("spinner");
        QTest::addColumn<int>("downClicks");
        QTest::addColumn<QPoint>("steps"); // nudge steps the first card moves, right and down
        QTest::newRow("left margin +8") << "LeftMarginSpinner" << 8 << QPoint(8, 0);
        QTest::newRow("top margin +8") << "TopMarginSpinner" << 8 << QPoint(0, 8);
        QTest::newRow("horizontal spacing leaves the first card") << "HorizontalSpacingSpinner" << 8 << QPoint(0, 0);
    }
    void fineTuningSampleMovesThePrintedCards()
    {
        QFETCH(QString, spinner);
        QFETCH(int, downClicks);
        QFETCH(QPoint, steps);
        const CardSheetLayout layout;
        TPrintFineTune dialog(PrinterNudges(), nullptr, &layout);
        dialog.show();
        auto *sample = dialog.findChild<TNudgeSample *>("NudgeSample");
        QVERIFY(sample);
        // Through the first card's left part, and its upper part.
        const QPointF inside = sample->PaperRect().topLeft() + QPointF(1.5, 1.0) * sample->PixelsPerInch();
        const QImage before = sample->grab().toImage();
        auto *arrows = dialog.findChild<TSpinButton *>(spinner);
        for (int i = 0; i < downClicks; ++i)
            QTest::mouseClick(arrows->DownButton(), Qt::LeftButton);
        const QImage after = sample->grab().toImage();
        const double perStep = sample->PixelsPerInch() / 32.0;
        const int y = int(inside.y()), x = int(inside.x());
        QVERIFY(FirstRed(before, y, true) >= 0);
        QVERIFY(qAbs(FirstRed(after, y, true) - FirstRed(before, y, true) - steps.x() * perStep) <= 1.5);
        QVERIFY(qAbs(FirstRed(after, x, false) - FirstRed(before, x, false) - steps.y() * perStep) <= 1.5);
    }
};

QTEST_MAIN(TestCalibrationPage)
#include "tst_calibrationpage.moc"

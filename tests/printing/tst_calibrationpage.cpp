// The calibration page as the printer puts it on paper: in every cell the
// ruler ticks at each 1/32 inch around where the cell's corner should be and
// the cross at the card's centre, read back from the rasterised PDF; the
// instructions it prints in its free margin (--print --calibration); and the
// fine-tuning dialog's sample, whose printed cards follow the nudges.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "printing/CalibrationPage.h"
#include "printing/FineTuningDialog.h"
#include "printing/LabelTemplates.h"
#include "printing/NudgeSample.h"
#include "printing/SheetLayoutDialog.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/SpinEdit.h"

#include <QDir>
#include <QProcess>
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

// The program run without a display, as a user runs it from a shell.
int RunProgram(const QString &home, const QStringList &args, QString *errors)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", home);
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"), args);
    if (!process.waitForFinished(60000))
        return -1;
    *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
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

    void pageSaysHowToReadItInItsFreeMargin_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("Letter, half an inch below the cards") << "5371";
        QTest::newRow("A4") << "l7413";
    }
    void pageSaysHowToReadItInItsFreeMargin()
    {
        QFETCH(QString, layout);
        if (!HavePdftoppm())
            QSKIP("pdftoppm (poppler-utils) is not installed: the printed page is not read");
        QTemporaryDir home;
        const QString card = home.filePath("card.qrv");
        MakeMarkerCard()->SaveToFile(card);
        const QString pdf = home.filePath("cal.pdf");
        QString errors;
        QCOMPARE(RunProgram(home.path(), {"--print", card, "--calibration", "--layout", layout, "-o", pdf}, &errors), 0);

        // Word for word the instructions, on the page.
        const QList<TPdfWord> words = PdfWords(pdf);
        QStringList found;
        for (const TPdfWord &w : words)
            found << w.Text;
        const QStringList expected = calibration::Instructions().join(' ').split(' ');
        const qsizetype first = found.indexOf("How");
        QVERIFY(first >= 0);
        QCOMPARE(found.mid(first, expected.size()), expected);

        CardSheetLayout sheetLayout;
        labeltemplates::ApplyCardProduct(*labeltemplates::FindCardStock(labeltemplates::CardStock({}), layout).Found,
                                         sheetLayout);
        const sheetprint::TSheetGeometry sheet = sheetprint::SheetGeometry(sheetLayout, PrinterNudges());
        const QSizeF paper = sheetlayout::PaperInches(sheetLayout.Papersize);
        const QImage page = RasterisePdf(pdf, kDpi).value(0);
        QVERIFY(!page.isNull());
        // Besides them only the rulers' numbers: five on each of a cell's two rulers.
        QCOMPARE(found.size(), expected.size() + 10 * sheet.Across * sheet.Down);
        for (qsizetype i = first; i < first + expected.size(); ++i) {
            const QRectF box = words[i].Box;
            const QString where = QStringLiteral("\"%1\" at %2, %3 in").arg(words[i].Text).arg(box.left()).arg(box.top());
            // On the paper, clear of every card and of the rulers reaching above the first row ...
            QVERIFY2(QRectF(QPointF(0, 0), paper).contains(box), qPrintable(where));
            for (int row = 0; row < sheet.Down; ++row)
                for (int column = 0; column < sheet.Across; ++column) {
                    const QRectF cell(sheetprint::CellOrigin(sheet, row, column),
                                      QSizeF(sheet.CardWidth, sheet.CardHeight));
                    QVERIFY2(!box.intersects(cell.adjusted(0, -0.25, 0, 0)), qPrintable(where));
                }
            // ... and printed there, in black.
            const QRect pixels(Device(box.left(), kDpi), Device(box.top(), kDpi), Device(box.width(), kDpi),
                               Device(box.height(), kDpi));
            QVERIFY2(NonWhitePixels(page, pixels) > 5, qPrintable(where));
        }
        // Type one can read: at least 6 points (a line of 6-point type is a
        // twelfth of an inch high).
        QVERIFY2(words[first].Box.height() >= 6.0 / 72.0, qPrintable(QString::number(words[first].Box.height())));
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

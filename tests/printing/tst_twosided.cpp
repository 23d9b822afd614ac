// Printing both sides of a card from the command line, measured on the
// printed PDF: each back lands in the cell that lies behind its own front
// once the sheet is turned over its long or short edge, a printer without
// duplex gets every front and then every back with a note to turn the
// stack, the back's own nudges move the backs (and only them) by exactly the
// nudge, and --render --side back draws the back.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/Preferences.h"
#include "objects/BusinessCardLabel.h"
#include "platform/IniFile.h"
#include "printing/CalibrationPage.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardBack.h"
#include "surface/CardObject.h"
#include "surface/LabelObjectFiler.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace printtest;

namespace {

constexpr int kDpi = 150;

struct Outcome {
    int status = -1;
    QString output;
    QString errors;
};

// A program folder with its settings, a two-sided card (the marker on both
// sides) and a one-sided one.
class Workspace
{
public:
    Workspace()
    {
        const auto front = MakeMarkerCard();
        const auto back = MakeMarkerCard();
        TCardBack cardBack;
        cardBack.Objects = back->SaveToBytes();
        TGLabelObjectFiler().WriteCardFile(CardFile(), front->SaveToBytes(), cardBack);
        front->SaveToFile(OneSidedFile());
    }
    QString File(const QString &name) const { return FDir.filePath(name); }
    QString CardFile() const { return FDir.filePath("two.qrv"); }
    QString OneSidedFile() const { return FDir.filePath("one.qrv"); }

    void WriteSettings(const TPreferences &prefs)
    {
        TIniFile ini(File("qrv.ini"));
        SavePreferences(ini, prefs);
        QVERIFY(ini.UpdateFile());
    }

    Outcome Run(const QStringList &args) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", FDir.path());
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.remove("XDG_RUNTIME_DIR");
        process.setProcessEnvironment(env);
        process.start(QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"), args);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        Outcome out;
        out.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        out.output = QString::fromLocal8Bit(process.readAllStandardOutput());
        out.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return out;
    }

private:
    QTemporaryDir FDir;
};

// The cells (from 1) whose marker sits exactly where the sheet puts it;
// a marker found off its place counts as the cell's negative number.
QList<int> MarkedCells(const QImage &page, const sheetprint::TSheetGeometry &sheet)
{
    QList<int> cells;
    for (int cell = 0; cell < sheet.Across * sheet.Down; ++cell) {
        const QPointF origin = sheetprint::CellOrigin(sheet, cell / sheet.Across, cell % sheet.Across);
        const QRect found = FindMarker(page, origin, kDpi);
        if (found.isEmpty())
            continue;
        const QRect expected = MarkerOnPage(origin, kDpi);
        const bool exact = qAbs(found.left() - expected.left()) <= 1 && qAbs(found.top() - expected.top()) <= 1
                        && qAbs(found.right() - expected.right()) <= 1
                        && qAbs(found.bottom() - expected.bottom()) <= 1;
        cells << (exact ? cell + 1 : -(cell + 1));
    }
    return cells;
}

using Pages = QList<QList<int>>;

} // namespace

class TestTwoSided : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        if (!HavePdftoppm())
            QSKIP("pdftoppm (poppler-utils) is not installed: printed pages are not rasterised");
    }

    // Cells 1, 4 and 5 of the 2 x 5 sheet are (0,0), (1,1) and (2,0). Over
    // the long edge column c becomes 1 - c: cells 2, 3 and 6; over the
    // short edge row r becomes 4 - r: cells 9, 8 and 5.
    void backsLandBehindTheirFronts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<Pages>("pages");
        const QList<int> fronts{1, 4, 5};
        QTest::newRow("long edge") << QStringList{"--duplex", "long"} << Pages{fronts, {2, 3, 6}};
        QTest::newRow("short edge") << QStringList{"--duplex", "short"} << Pages{fronts, {5, 8, 9}};
        QTest::newRow("long edge, two sheets, interleaved")
            << QStringList{"--duplex", "long", "--sheets", "2"} << Pages{fronts, {2, 3, 6}, fronts, {2, 3, 6}};
        QTest::newRow("no duplex: fronts, then backs")
            << QStringList{"--duplex", "manual", "--sheets", "2"} << Pages{fronts, fronts, {2, 3, 6}, {2, 3, 6}};
    }
    void backsLandBehindTheirFronts()
    {
        QFETCH(QStringList, options);
        QFETCH(Pages, pages);
        Workspace ws;
        const QString pdf = ws.File("out.pdf");
        const Outcome out = ws.Run(QStringList{"--print", ws.CardFile(), "--cells", "1,4,5", "-o", pdf} + options);
        QCOMPARE(out.errors, QString());
        QCOMPARE(out.status, 0);
        QString why;
        const QList<QImage> images = RasterisePdf(pdf, kDpi, &why);
        QVERIFY2(images.size() == pages.size(), qPrintable(why));
        const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
        Pages found;
        for (const QImage &page : images)
            found << MarkedCells(page, sheet);
        QCOMPARE(found, pages);
        if (options.contains("manual"))
            QVERIFY2(out.output.contains("Print pages 1 to 2 (the fronts). Then turn the printed stack over"),
                     qPrintable(out.output));
        else
            QCOMPARE(out.output, QString());
    }

    void backNudgesMoveOnlyTheBacksByTheNudge()
    {
        Workspace ws;
        TPreferences prefs;
        prefs.BackNudges.TopMarginNudge = 4;
        prefs.BackNudges.LeftMarginNudge = -3;
        prefs.BackNudges.HorizontalSpacing = 2;
        prefs.BackNudges.VerticalSpacing = -1;
        ws.WriteSettings(prefs);
        const QString pdf = ws.File("nudged.pdf");
        const Outcome out = ws.Run({"--print", ws.CardFile(), "--duplex", "long", "--cells", "1,4", "-o", pdf});
        QCOMPARE(out.status, 0);
        const QList<QImage> images = RasterisePdf(pdf, kDpi);
        QCOMPARE(images.size(), 2);
        const auto plain = sheetprint::SheetGeometry(prefs.Layout, prefs.Nudges);
        const auto nudged = sheetprint::SheetGeometry(prefs.Layout, prefs.BackNudges);
        QCOMPARE(MarkedCells(images[0], plain), (QList<int>{1, 4}));
        QCOMPARE(MarkedCells(images[1], nudged), (QList<int>{2, 3}));
        // Measured: the back of cell 1 (in cell 2) moved by the nudges of
        // its column and row against where it would stand unnudged.
        const QRect moved = FindMarker(images[1], sheetprint::CellOrigin(nudged, 0, 1), kDpi);
        const QRect unmoved = MarkerOnPage(sheetprint::CellOrigin(plain, 0, 1), kDpi);
        QVERIFY(qAbs(moved.left() - unmoved.left() - Device((-3 + 2) / 32.0, kDpi)) <= 1);
        QVERIFY(qAbs(moved.top() - unmoved.top() - Device(4 / 32.0, kDpi)) <= 1);
    }

    void backCanComeFromAnotherCardFile()
    {
        Workspace ws;
        const QString pdf = ws.File("other.pdf");
        const Outcome none = ws.Run({"--print", ws.OneSidedFile(), "--duplex", "long", "-o", pdf});
        QCOMPARE(none.status, 1);
        QVERIFY2(none.errors.contains("has no back"), qPrintable(none.errors));
        QVERIFY(!QFile::exists(pdf));
        const Outcome out = ws.Run(
            {"--print", ws.OneSidedFile(), "--duplex", "short", "--back", ws.OneSidedFile(), "--cells", "2", "-o", pdf});
        QCOMPARE(out.errors, QString());
        const QList<QImage> images = RasterisePdf(pdf, kDpi);
        QCOMPARE(images.size(), 2);
        const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
        QCOMPARE(MarkedCells(images[0], sheet), QList<int>{2});
        QCOMPARE(MarkedCells(images[1], sheet), QList<int>{10});
    }

    // Held against the light, the fronts' outlines show through the back
    // page where the sheet turned over puts them. Where a front's edge meets
    // a ruler of the back is what to add to the backs' nudges: nothing when
    // the backs print where they should, minus a nudge already set.
    void calibrationSheetReadsWhatToAddToTheBackNudges_data()
    {
        QTest::addColumn<QString>("duplex");
        QTest::addColumn<int>("leftNudge");
        QTest::addColumn<int>("topNudge");
        QTest::newRow("long edge") << "long" << 0 << 0;
        QTest::newRow("long edge, backs nudged") << "long" << 2 << -1;
        QTest::newRow("short edge") << "short" << 0 << 0;
        QTest::newRow("short edge, backs nudged") << "short" << -3 << 4;
    }
    void calibrationSheetReadsWhatToAddToTheBackNudges()
    {
        QFETCH(QString, duplex);
        QFETCH(int, leftNudge);
        QFETCH(int, topNudge);
        Workspace ws;
        TPreferences prefs;
        prefs.BackNudges.LeftMarginNudge = leftNudge;
        prefs.BackNudges.TopMarginNudge = topNudge;
        ws.WriteSettings(prefs);
        const QString pdf = ws.File("calibration.pdf");
        const Outcome out = ws.Run({"--print", ws.OneSidedFile(), "--calibration", "--duplex", duplex, "-o", pdf});
        QCOMPARE(out.errors, QString());
        constexpr int dpi = 192; // 1/32 inch is 6 pixels
        const QList<QImage> pages = RasterisePdf(pdf, dpi);
        QCOMPARE(pages.size(), 2);
        const bool shortEdge = duplex == QLatin1String("short");
        // The front as it shows through from the back.
        const QImage seen = pages[0].mirrored(!shortEdge, shortEdge);
        const QImage &back = pages[1];
        const auto sheet = sheetprint::SheetGeometry(prefs.Layout, prefs.BackNudges);
        const auto marks = calibration::BackCellMarks(sheet, shortEdge ? sheetprint::dxShortEdge : sheetprint::dxLongEdge, 0, 0);
        const auto px = [](double inches) { return Device(inches, dpi); };
        // The horizontal ruler: only its 0 tick reaches 0.11 inch from its line.
        const int tickRow = px(marks.LeftRulerY - 0.11);
        const int zeroAcross = FirstDarkInRow(back, tickRow, px(marks.Corner.x() - 0.3), px(marks.Corner.x() + 0.3));
        const int edgeAcross =
            FirstDarkInRow(seen, px(marks.LeftRulerY), px(marks.Corner.x() - 0.4), px(marks.Corner.x() + 0.4));
        QVERIFY(zeroAcross >= 0 && edgeAcross >= 0);
        QCOMPARE(qRound((edgeAcross - zeroAcross) / 6.0), -leftNudge);
        // The vertical ruler and the front's top edge.
        const int tickColumn = px(marks.TopRulerX + 0.11);
        const int zeroDown = FirstDarkInColumn(back, tickColumn, px(marks.Corner.y() - 0.3), px(marks.Corner.y() + 0.3));
        const int edgeDown = FirstDarkInColumn(seen, px(marks.TopRulerX),
                                               px(marks.Corner.y() - 0.4), px(marks.Corner.y() + 0.4));
        QVERIFY(zeroDown >= 0 && edgeDown >= 0);
        QCOMPARE(qRound((edgeDown - zeroDown) / 6.0), -topNudge);
    }

    // Three people, a card each, in cells 1 to 3 of one sheet; over the long
    // edge their backs lie in cells 2, 1 and 4. Each back names the person
    // of the front it lies behind, in print that shows.
    void mergedBacksNameTheirFrontsPerson()
    {
        Workspace ws;
        const auto boundCard = [](const QString &caption) {
            auto panel = testsupport::MakePanel(336, 192);
            auto *label = new TGBusinessCardLabel(panel.get());
            label->SetCaption(caption);
            label->SetPersonalField(QStringLiteral("Name"));
            label->Loaded();
            panel->AddNewObject(label, {24, 60, 0, 0});
            // Wide enough for every name at its size.
            label->SetBounds(24, 60, 280, label->Height());
            testsupport::Flush();
            return panel;
        };
        const auto front = boundCard(QStringLiteral("Front"));
        const auto back = boundCard(QStringLiteral("Back"));
        TCardBack cardBack;
        cardBack.Objects = back->SaveToBytes();
        const QString card = ws.File("team.qrv");
        TGLabelObjectFiler().WriteCardFile(card, front->SaveToBytes(), cardBack);
        QFile csv(ws.File("people.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name\nAnnabel\nBartholomew\nCornelius\n");
        csv.close();
        const QString pdf = ws.File("team.pdf");
        const Outcome out = ws.Run({"--print", card, "--merge", csv.fileName(), "--per-person", "1", "--duplex",
                                    "long", "-o", pdf});
        QCOMPARE(out.errors, QString());
        const QList<QImage> images = RasterisePdf(pdf, kDpi);
        QCOMPARE(images.size(), 2);
        const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
        // Each name's cell (from 1) on a page, and that it is drawn there.
        const auto cellsOf = [&](int page) {
            QMap<QString, int> cells;
            for (const TPdfWord &word : PdfWords(pdf, page)) {
                const QPointF centre = word.Box.center();
                for (int cell = 0; cell < sheet.Across * sheet.Down; ++cell) {
                    const QPointF at = sheetprint::CellOrigin(sheet, cell / sheet.Across, cell % sheet.Across);
                    if (QRectF(at, QSizeF(sheet.CardWidth, sheet.CardHeight)).contains(centre)) {
                        const QRect box(QPoint(Device(word.Box.left(), kDpi), Device(word.Box.top(), kDpi)),
                                        QPoint(Device(word.Box.right(), kDpi), Device(word.Box.bottom(), kDpi)));
                        if (NonWhitePixels(images[page - 1], box) > 20)
                            cells[word.Text] = cell + 1;
                    }
                }
            }
            return cells;
        };
        const QMap<QString, int> fronts = cellsOf(1);
        const QMap<QString, int> backs = cellsOf(2);
        QCOMPARE(fronts, (QMap<QString, int>{{"Annabel", 1}, {"Bartholomew", 2}, {"Cornelius", 3}}));
        QCOMPARE(backs, (QMap<QString, int>{{"Annabel", 2}, {"Bartholomew", 1}, {"Cornelius", 4}}));
    }

    void renderDrawsTheSideAsked()
    {
        Workspace ws;
        // A back of its own: one black block in the card's lower right.
        auto front = MakeMarkerCard();
        const auto blockCard = MakeMarkerCard();
        TCardBack cardBack;
        {
            blockCard->Objects().first()->SetBounds(250, 140, 60, 30);
            testsupport::Flush();
            cardBack.Objects = blockCard->SaveToBytes();
        }
        TGLabelObjectFiler().WriteCardFile(ws.File("sides.qrv"), front->SaveToBytes(), cardBack);
        for (const QString &side : {QStringLiteral("front"), QStringLiteral("back")}) {
            const QString png = ws.File(side + ".png");
            const Outcome out = ws.Run({"--render", ws.File("sides.qrv"), "--side", side, "-o", png});
            QCOMPARE(out.errors, QString());
            const QImage image(png);
            QCOMPARE(image.size(), QSize(336, 192));
            const bool isBack = side == QLatin1String("back");
            // The marker of the front at (24..120, 48..96), the back's block at (250..310, 140..170).
            QCOMPARE(IsDark(image, 60, 70), !isBack);
            QCOMPARE(IsDark(image, 280, 155), isBack);
        }
    }

    void wrongTwoSidedArgumentsAreSaid_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("--duplex sideways") << QStringList{"--print", "CARD", "--duplex", "sideways", "-o", "OUT"}
                                           << "quorvel: --duplex takes long, short or manual";
        QTest::newRow("--back without --duplex") << QStringList{"--print", "CARD", "--back", "CARD", "-o", "OUT"}
                                                 << "quorvel: --back needs --duplex long, short or manual (see --help)";
        QTest::newRow("--side upside") << QStringList{"--render", "CARD", "--side", "upside", "-o", "OUT"}
                                       << "quorvel: --side takes front or back";
        QTest::newRow("--outline two-sided") << QStringList{"--print", "CARD", "--duplex", "long", "--outline", "-o", "OUT"}
                                             << "quorvel: --outline prints cell outlines on one side; it does not go with --duplex";
    }
    void wrongTwoSidedArgumentsAreSaid()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        Workspace ws;
        args.replaceInStrings("CARD", ws.CardFile());
        args.replaceInStrings("OUT", ws.File("out.pdf"));
        const Outcome out = ws.Run(args);
        QCOMPARE(out.status, 1);
        QCOMPARE(out.errors.trimmed(), message);
        QVERIFY(!QFile::exists(ws.File("out.pdf")));
    }
};

QTEST_MAIN(TestTwoSided)
#include "tst_twosided.moc"

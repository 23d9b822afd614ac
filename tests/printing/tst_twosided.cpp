// Printing both sides of a card from the command line, measured on the
// printed PDF: each back lands in the cell that lies behind its own front
// once the sheet is turned over its long or short edge, a printer without
// duplex gets every front and then every back with a note to turn the
// stack, the back's own nudges move the backs (and only them) by exactly the
// nudge, and --render --side back draws the back.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/Preferences.h"
#include "platform/IniFile.h"
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

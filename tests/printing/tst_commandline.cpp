// The command-line output modes, run as the real program without a display:
// --print writes the card's sheets into a PDF with the layout, nudges and
// background art of the settings, --render writes the card as a PNG as the
// panel shows it; wrong arguments give a message and status 1.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/Preferences.h"
#include "platform/IniFile.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace printtest;

namespace {

constexpr int kDpi = 150;

struct Outcome {
    int status = -1;
    QString errors;
};

// A program folder with its settings file, and a card file in it.
class Workspace
{
public:
    Workspace()
    {
        const auto card = MakeMarkerCard();
        card->SaveToFile(CardFile());
    }
    QString Folder() const { return FDir.path(); }
    QString File(const QString &name) const { return FDir.filePath(name); }
    QString CardFile() const { return FDir.filePath("card.qrv"); }

    void WriteSettings(const TPreferences &prefs)
    {
        TIniFile ini(File("qrv.ini"));
        SavePreferences(ini, prefs);
        QVERIFY(ini.UpdateFile());
    }
    // Names background art for the card in its side file.
    void SetBackgroundArt(const QImage &art)
    {
        QVERIFY(art.save(File("art.bmp"), "BMP"));
        QFile side(File("card.QRE"));
        QVERIFY(side.open(QIODevice::WriteOnly));
        side.write(File("art.bmp").toUtf8() + "\r\n");
    }

    Outcome Run(const QStringList &args) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", Folder());
        // No display: the output modes must not need one.
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        process.setProcessEnvironment(env);
        process.start(Program(), args);
        if (!process.waitForFinished(60000))
            return {};
        Outcome out;
        out.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        out.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return out;
    }

    static QString Program()
    {
        return QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel");
    }

private:
    QTemporaryDir FDir;
};

QStringList Errors(const Outcome &out)
{
    // The platform's own notes about the runtime folder are not ours.
    QStringList lines = out.errors.split('\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &l) { return l.startsWith("QStandardPaths:"); });
    return lines;
}

QList<int> MarkedCells(const QImage &page, const sheetprint::TSheetGeometry &sheet)
{
    QList<int> cells;
    for (int cell = 0; cell < sheet.Across * sheet.Down; ++cell) {
        const QPointF origin = sheetprint::CellOrigin(sheet, cell / sheet.Across, cell % sheet.Across);
        const QRect found = FindMarker(page, origin, kDpi);
        if (found.isEmpty())
            continue;
        const QRect expected = MarkerOnPage(origin, kDpi);
        if (qAbs(found.left() - expected.left()) <= 1 && qAbs(found.top() - expected.top()) <= 1
            && qAbs(found.right() - expected.right()) <= 1 && qAbs(found.bottom() - expected.bottom()) <= 1)
            cells << cell + 1;
        else
            cells << -(cell + 1);
    }
    return cells;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void printWritesTheSheets_data();
    void printWritesTheSheets();
    void printUsesLayoutAndNudgesOfTheSettings();
    void printDrawsTheBackgroundArtInTheCardsSize();
    void renderWritesTheCardAsThePanelShowsIt_data();
    void renderWritesTheCardAsThePanelShowsIt();
    void wrongArgumentsGiveMessageAndStatusOne_data();
    void wrongArgumentsGiveMessageAndStatusOne();
};

void TestCommandLine::initTestCase()
{
    testsupport::InitEnvironment();
    QVERIFY2(QFile::exists(Workspace::Program()), qPrintable("the program is not built: " + Workspace::Program()));
    if (!HavePdftoppm())
        QSKIP("pdftoppm (poppler-utils) is not installed: printed pages are not rasterised");
}

void TestCommandLine::printWritesTheSheets_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QList<int>>("cells");
    QTest::newRow("every cell") << QStringList{} << 1 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("--cells 1,3,5") << QStringList{"--cells", "1,3,5"} << 1 << QList<int>{1, 3, 5};
    QTest::newRow("--cells 10") << QStringList{"--cells", "10"} << 1 << QList<int>{10};
    QTest::newRow("--sheets 3") << QStringList{"--sheets", "3"} << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("--outline") << QStringList{"--outline"} << 1 << QList<int>{};
}

void TestCommandLine::printWritesTheSheets()
{
    QFETCH(QStringList, options);
    QFETCH(int, pages);
    QFETCH(QList<int>, cells);
    Workspace ws;
    const QString pdf = ws.File("out.pdf");
    const Outcome out = ws.Run(QStringList{"--print", ws.CardFile(), "--output", pdf} + options);
    QCOMPARE(out.status, 0);
    QCOMPARE(Errors(out), QStringList());
    QCOMPARE(PdfPageCount(pdf), pages);

    QString why;
    const QList<QImage> images = RasterisePdf(pdf, kDpi, &why);
    QVERIFY2(images.size() == pages, qPrintable(why));
    const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
    for (const QImage &page : images) {
        QCOMPARE(page.size(), QSize(1275, 1650));
        QCOMPARE(MarkedCells(page, sheet), cells);
    }
    if (options.contains("--outline")) {
        // The outline of every cell: its left edge halfway down.
        for (int cell = 0; cell < 10; ++cell) {
            const QPointF origin = sheetprint::CellOrigin(sheet, cell / 2, cell % 2);
            const int y = Device(origin.y() + 1.0, kDpi);
            QVERIFY(FirstDarkInRow(images.first(), y, Device(origin.x(), kDpi) - 3, Device(origin.x(), kDpi) + 3) >= 0);
        }
    }
}

void TestCommandLine::printUsesLayoutAndNudgesOfTheSettings()
{
    Workspace ws;
    TPreferences prefs;
    // "Avery Business Card L7414 (A4 Size Paper)", nudged.
    prefs.Layout.Papersize = 9;
    prefs.Layout.Height = prefs.Layout.VPitch = 2.047f;
    prefs.Layout.Width = prefs.Layout.HPitch = 3.543f;
    prefs.Layout.TopMargin = 0.728f;
    prefs.Layout.LeftMargin = 0.591f;
    prefs.Nudges.TopMarginNudge = 3;
    prefs.Nudges.LeftMarginNudge = -2;
    prefs.Nudges.VerticalSpacing = -4;
    ws.WriteSettings(prefs);

    const QString pdf = ws.File("a4.pdf");
    const Outcome out = ws.Run({"--print", ws.CardFile(), "--output", pdf});
    QCOMPARE(out.status, 0);
    const QList<QImage> images = RasterisePdf(pdf, kDpi);
    QCOMPARE(images.size(), 1);
    // A4: 8.27 x 11.69 inches.
    QCOMPARE(images.first().width(), 1240);
    QVERIFY(qAbs(images.first().height() - 1754) <= 1);
    const auto sheet = sheetprint::SheetGeometry(prefs.Layout, prefs.Nudges);
    QCOMPARE(MarkedCells(images.first(), sheet), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

void TestCommandLine::printDrawsTheBackgroundArtInTheCardsSize()
{
    Workspace ws;
    QImage art(35, 20, QImage::Format_RGB32);
    art.fill(Qt::black);
    ws.SetBackgroundArt(art);
    TPreferences prefs;
    prefs.Layout.Width = 3.0f;
    prefs.Layout.Height = 1.5f;
    ws.WriteSettings(prefs);

    const QString pdf = ws.File("art.pdf");
    QCOMPARE(ws.Run({"--print", ws.CardFile(), "--output", pdf, "--cells", "1"}).status, 0);
    const QList<QImage> images = RasterisePdf(pdf, kDpi);
    QCOMPARE(images.size(), 1);
    const QImage &page = images.first();
    // Cell 1 at (0.75, 0.5): the art fills 3.0 x 1.5 inches, not 3.5 x 2.0.
    const int y = Device(1.25, kDpi);
    QVERIFY(qAbs(FirstDarkInRow(page, y, 0, 600) - Device(0.75, kDpi)) <= 1);
    QVERIFY(qAbs(LastDarkInRow(page, y, 0, 1000) - (Device(3.75, kDpi) - 1)) <= 1);
    const int x = Device(2.5, kDpi);
    QVERIFY(qAbs(FirstDarkInColumn(page, x, 0, 600) - Device(0.5, kDpi)) <= 1);
    QVERIFY(qAbs(LastDarkInColumn(page, x, 0, 600) - (Device(2.0, kDpi) - 1)) <= 1);
}

void TestCommandLine::renderWritesTheCardAsThePanelShowsIt_data()
{
    QTest::addColumn<QString>("zoom");
    QTest::addColumn<bool>("withArt");
    QTest::newRow("default zoom") << QString() << false;
    QTest::newRow("zoom 1.5") << "1.5" << false;
    QTest::newRow("zoom 1.2 with background art") << "1.2" << true;
}

void TestCommandLine::renderWritesTheCardAsThePanelShowsIt()
{
    QFETCH(QString, zoom);
    QFETCH(bool, withArt);
    Workspace ws;
    if (withArt) {
        QImage art(40, 20, QImage::Format_RGB32);
        art.fill(QColor(0, 0, 255));
        ws.SetBackgroundArt(art);
    }
    const QString png = ws.File("card.png");
    QStringList args{"--render", ws.CardFile(), "--output", png};
    if (!zoom.isEmpty())
        args << "--zoom" << zoom;
    const Outcome out = ws.Run(args);
    QCOMPARE(out.status, 0);
    QCOMPARE(Errors(out), QStringList());
    const QImage image(png);
    const double z = zoom.isEmpty() ? 1.0 : zoom.toDouble();
    QCOMPARE(image.size(), QSize(qRound(336 * z), qRound(192 * z)));
    // No outline, grid or selection: the card's corner is white or the art.
    QCOMPARE(image.pixel(0, 0), withArt ? qRgb(0, 0, 255) : qRgb(255, 255, 255));
    QVERIFY(IsDark(image, qRound(30 * z), qRound(55 * z)));

    // The same card drawn by a panel in this process, pixel for pixel.
    TGBusinessCardPanel32 panel;
    panel.SetShape(lsRectangle);
    panel.resize(336, 192);
    panel.LoadFromFile(ws.CardFile());
    if (withArt)
        QVERIFY(panel.LoadColorPicture(ws.File("art.bmp")));
    panel.SetZoom(float(z));
    QImage expected(panel.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        panel.RenderCard(p, false);
    }
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32), expected);
}

void TestCommandLine::wrongArgumentsGiveMessageAndStatusOne_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such card") << QStringList{"--print", "@/none.qrv", "--output", "@/out.pdf"}
                                  << "quorvel: cannot open card file @/none.qrv";
    QTest::newRow("not a card file") << QStringList{"--print", "@/out.pdf", "--output", "@/x.pdf"}
                                     << "quorvel: unable to open @/out.pdf";
    QTest::newRow("no output") << QStringList{"--print", "@/card.qrv"} << "quorvel: --output is missing (see --help)";
    QTest::newRow("output without a value")
        << QStringList{"--print", "@/card.qrv", "--output"} << "quorvel: --output needs a value (see --help)";
    QTest::newRow("cell 0") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--cells", "0"}
                            << "quorvel: --cells: 0 is not a cell of the sheet (1 to 10)";
    QTest::newRow("cell 11") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--cells", "2,11"}
                             << "quorvel: --cells: 11 is not a cell of the sheet (1 to 10)";
    QTest::newRow("cell x") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--cells", "x"}
                            << "quorvel: --cells: x is not a cell of the sheet (1 to 10)";
    QTest::newRow("no sheets") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--sheets", "0"}
                               << "quorvel: --sheets takes a number from 1 to 999";
    QTest::newRow("stray argument") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--zoom", "2"}
                                    << "quorvel: unexpected argument --zoom (see --help)";
    QTest::newRow("folder that does not exist")
        << QStringList{"--print", "@/card.qrv", "--output", "@/gone/x.pdf"} << "quorvel: Unable to write @/gone/x.pdf";
    QTest::newRow("render: zoom 0") << QStringList{"--render", "@/card.qrv", "--output", "@/x.png", "--zoom", "0"}
                                    << "quorvel: --zoom takes a factor from 0.1 to 10";
    QTest::newRow("render: no card") << QStringList{"--render", "@/none.qrv", "--output", "@/x.png"}
                                     << "quorvel: cannot open card file @/none.qrv";
    QTest::newRow("render: unwritable") << QStringList{"--render", "@/card.qrv", "--output", "@/gone/x.png"}
                                        << "quorvel: Unable to write @/gone/x.png";
}

void TestCommandLine::wrongArgumentsGiveMessageAndStatusOne()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    Workspace ws;
    {
        // A file that is not a card, and an earlier output that must survive.
        QFile other(ws.File("out.pdf"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("earlier output");
    }
    for (QString &a : args)
        a.replace("@", ws.Folder());
    message.replace("@", ws.Folder());
    const Outcome out = ws.Run(args);
    QCOMPARE(out.status, 1);
    const QStringList errors = Errors(out);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(message), qPrintable(errors.first()));
    QVERIFY(!QFile::exists(ws.File("x.pdf")));
    QVERIFY(!QFile::exists(ws.File("x.png")));
    QFile earlier(ws.File("out.pdf"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier output"));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"

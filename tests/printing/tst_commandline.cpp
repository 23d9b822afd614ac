// The command-line output modes, run as the real program without a display:
// --print writes the card's sheets into a PDF with the layout, nudges and
// background art of the settings, --render writes the card as a PNG as the
// panel shows it; wrong arguments give a message and status 1. Hostile
// inputs and outputs (FIFOs, devices, links, the card itself as output) end
// quickly with a message and destroy nothing; an interrupted print leaves
// no partial file.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/Preferences.h"
#include "platform/IniFile.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

    Outcome Run(const QStringList &args, const std::function<void()> &childSetup = {}) const
    {
        QProcess process;
        if (childSetup)
            process.setChildProcessModifier(childSetup);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", Folder());
        // No display: the output modes must not need one.
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        // Nor a desktop session: the modes print only their own output.
        env.remove("XDG_RUNTIME_DIR");
        process.setProcessEnvironment(env);
        process.start(Program(), args);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
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

QStringList Errors(const Outcome &out) { return out.errors.split('\n', Qt::SkipEmptyParts); }

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Temporary files the program left beside its outputs.
QStringList PartialFiles(const QString &folder)
{
    return QDir(folder).entryList({"*.part"}, QDir::Files | QDir::System | QDir::Hidden);
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
    void backgroundFilesThatCannotBeReadAreLeftOut_data();
    void backgroundFilesThatCannotBeReadAreLeftOut();
    void outputThroughALinkReachesItsTarget_data();
    void outputThroughALinkReachesItsTarget();
    void interruptedPrintLeavesNoPartialFile_data();
    void interruptedPrintLeavesNoPartialFile();
    void failedWriteKeepsTheEarlierOutput_data();
    void failedWriteKeepsTheEarlierOutput();
    void settingsThatAreNoFileAreNamed_data();
    void settingsThatAreNoFileAreNamed();
    void renderNeverMakesAPictureBeyondItsLimit();
    void runningOutOfMemoryIsSaidInWords();
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
    QTest::addColumn<QString>("outputOption");
    const QString output = QStringLiteral("--output");
    QTest::newRow("every cell") << QStringList{} << 1 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << output;
    QTest::newRow("--cells 1,3,5") << QStringList{"--cells", "1,3,5"} << 1 << QList<int>{1, 3, 5} << output;
    QTest::newRow("--cells 10") << QStringList{"--cells", "10"} << 1 << QList<int>{10} << output;
    QTest::newRow("--sheets 3") << QStringList{"--sheets", "3"} << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                                << output;
    QTest::newRow("--outline") << QStringList{"--outline"} << 1 << QList<int>{} << output;
    QTest::newRow("-o for --output") << QStringList{"--cells", "2"} << 1 << QList<int>{2} << QStringLiteral("-o");
}

void TestCommandLine::printWritesTheSheets()
{
    QFETCH(QStringList, options);
    QFETCH(int, pages);
    QFETCH(QList<int>, cells);
    QFETCH(QString, outputOption);
    Workspace ws;
    const QString pdf = ws.File("out.pdf");
    const Outcome out = ws.Run(QStringList{"--print", ws.CardFile(), outputOption, pdf} + options);
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

    // Options given with nothing in them are mistakes, not the defaults.
    QTest::newRow("empty cell list") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--cells", ""}
                                     << "quorvel: --cells needs a value (see --help)";
    QTest::newRow("empty cell item") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--cells", "1,,3"}
                                     << "quorvel: --cells: an item of 1,,3 is empty";
    QTest::newRow("empty sheets") << QStringList{"--print", "@/card.qrv", "--output", "@/x.pdf", "--sheets", " "}
                                  << "quorvel: --sheets needs a value (see --help)";
    QTest::newRow("render: empty zoom") << QStringList{"--render", "@/card.qrv", "--output", "@/x.png", "--zoom", ""}
                                        << "quorvel: --zoom needs a value (see --help)";

    // Outputs that would destroy an input, or are no files at all.
    QTest::newRow("print onto the card") << QStringList{"--print", "@/card.qrv", "--output", "@/card.qrv"}
                                         << "quorvel: the output @/card.qrv is the input file @/card.qrv";
    QTest::newRow("render onto its side file") << QStringList{"--render", "@/card.qrv", "--output", "@/card.QRE"}
                                               << "quorvel: the output @/card.QRE is the input file @/card.QRE";
    QTest::newRow("render onto the card through a link")
        << QStringList{"--render", "@/card.qrv", "--output", "@/link.png"}
        << "quorvel: the output @/link.png is the input file @/card.qrv";
    QTest::newRow("print into a FIFO") << QStringList{"--print", "@/card.qrv", "--output", "@/fifo"}
                                       << "quorvel: @/fifo is not a regular file; only files are written";
    QTest::newRow("render into a device") << QStringList{"--render", "@/card.qrv", "--output", "@/device"}
                                          << "quorvel: @/device is not a regular file; only files are written";
    QTest::newRow("print onto the list of people")
        << QStringList{"--print", "@/card.qrv", "--merge", "@/people.csv", "--output", "@/people.csv"}
        << "quorvel: the output @/people.csv is the input file @/people.csv";
    QTest::newRow("print to standard output") << QStringList{"--print", "@/card.qrv", "-o", "-"}
                                              << "quorvel: the output cannot be standard output (-); name a file";
    const QString longName = "@/" + QString(300, 'x') + ".pdf";
    QTest::newRow("output name too long") << QStringList{"--print", "@/card.qrv", "--output", longName}
                                          << "quorvel: Unable to write " + longName + ": File name too long";

    // Inputs that are no card files, or name things a terminal obeys.
    QTest::newRow("dump: endless device") << QStringList{"--dump", "/dev/zero"}
                                          << "quorvel: unable to open /dev/zero: not a regular file";
    QTest::newRow("dump: no such card") << QStringList{"--dump", "@/none.qrv"}
                                        << "quorvel: cannot open card file @/none.qrv";
    QTest::newRow("print: card is a FIFO") << QStringList{"--print", "@/fifo", "--output", "@/x.pdf"}
                                           << "quorvel: unable to open @/fifo: not a regular file";
    QTest::newRow("print: list of people is a FIFO")
        << QStringList{"--print", "@/card.qrv", "--merge", "@/fifo", "--output", "@/x.pdf"}
        << "quorvel: Cannot open @/fifo: not a regular file";
    QTest::newRow("dump: class name with escapes") << QStringList{"--dump", "@/escape.qrv"}
                                                   << "quorvel: unable to open @/escape.qrv: Class #27[2JTBad not found";
}

void TestCommandLine::wrongArgumentsGiveMessageAndStatusOne()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    Workspace ws;
    // A file that is not a card, and an earlier output that must survive.
    WriteBytes(ws.File("out.pdf"), "earlier output");
    // The card's side file, a link to the card, a FIFO and a device.
    WriteBytes(ws.File("card.QRE"), ws.File("gone.bmp").toUtf8() + "\r\n");
    QVERIFY(QFile::link(ws.CardFile(), ws.File("link.png")));
    QCOMPARE(::mkfifo(QFile::encodeName(ws.File("fifo")).constData(), 0644), 0);
    const bool haveDevice = ::mknod(QFile::encodeName(ws.File("device")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (args.contains("@/device") && !haveDevice)
        QSKIP("no device node can be made here (needs root)");
    WriteBytes(ws.File("escape.qrv"), QByteArray("\x01TPF0\x08\x1b[2JTBad\x00\x00\x00\x00", 18));
    WriteBytes(ws.File("people.csv"), "Name\nAnn\n");
    const QByteArray card = Contents(ws.CardFile());
    const QByteArray side = Contents(ws.File("card.QRE"));

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
    QCOMPARE(Contents(ws.File("out.pdf")), QByteArray("earlier output"));
    QCOMPARE(Contents(ws.CardFile()), card);
    QCOMPARE(Contents(ws.File("card.QRE")), side);
    QCOMPARE(Contents(ws.File("people.csv")), QByteArray("Name\nAnn\n"));
    QVERIFY(!QFile::exists("-"));
    QVERIFY(QFileInfo(ws.File("link.png")).isSymLink());
    struct stat info {};
    QVERIFY(::lstat(QFile::encodeName(ws.File("fifo")).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    if (haveDevice)
        QVERIFY(::lstat(QFile::encodeName(ws.File("device")).constData(), &info) == 0 && S_ISCHR(info.st_mode));
    QCOMPARE(PartialFiles(ws.Folder()), QStringList());
}

// A side file or a picture that is a FIFO would block the program for
// good; a picture beyond its limit would fill the memory. The card comes
// out without its art.
void TestCommandLine::backgroundFilesThatCannotBeReadAreLeftOut_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<QString>("message");
    for (const QString mode : {"--print", "--render"}) {
        QTest::addRow("%s: side file is a FIFO", qPrintable(mode)) << mode << "side FIFO" << QString();
        QTest::addRow("%s: art is a FIFO", qPrintable(mode))
            << mode << "art FIFO" << "quorvel: background art @/art.bmp is left out: not a regular file";
        QTest::addRow("%s: art is too large", qPrintable(mode))
            << mode << "art too large"
            << "quorvel: background art @/art.bmp is left out: too large for a picture (more than 64 MB)";
    }
}

void TestCommandLine::backgroundFilesThatCannotBeReadAreLeftOut()
{
    QFETCH(QString, mode);
    QFETCH(QString, trouble);
    QFETCH(QString, message);
    Workspace ws;
    const QByteArray side = ws.File("art.bmp").toUtf8() + "\r\n";
    if (trouble == "side FIFO") {
        QCOMPARE(::mkfifo(QFile::encodeName(ws.File("card.QRE")).constData(), 0644), 0);
    } else {
        WriteBytes(ws.File("card.QRE"), side);
        if (trouble == "art FIFO") {
            QCOMPARE(::mkfifo(QFile::encodeName(ws.File("art.bmp")).constData(), 0644), 0);
        } else {
            QFile art(ws.File("art.bmp"));
            QVERIFY(art.open(QIODevice::WriteOnly));
            QVERIFY(art.resize(65 * 1024 * 1024)); // sparse: takes no room
        }
    }
    const QString output = ws.File(mode == "--print" ? "out.pdf" : "out.png");
    const Outcome out = ws.Run({mode, ws.CardFile(), "--output", output});
    QCOMPARE(out.status, 0);
    message.replace("@", ws.Folder());
    QCOMPARE(Errors(out), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(QFileInfo(output).size() > 0);
}

// Like other tools, the program writes through a link to its file; the
// link stays a link.
void TestCommandLine::outputThroughALinkReachesItsTarget_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("signature");
    QTest::newRow("--print") << "--print" << QByteArray("%PDF");
    QTest::newRow("--render") << "--render" << QByteArray("\x89PNG");
}

void TestCommandLine::outputThroughALinkReachesItsTarget()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, signature);
    Workspace ws;
    QVERIFY(QDir(ws.Folder()).mkdir("real"));
    WriteBytes(ws.File("real/target"), "old");
    QVERIFY(QFile::link("real/target", ws.File("link")));
    const Outcome out = ws.Run({mode, ws.CardFile(), "--output", ws.File("link")});
    QCOMPARE(out.status, 0);
    QCOMPARE(Errors(out), QStringList());
    QVERIFY(QFileInfo(ws.File("link")).isSymLink());
    QVERIFY(Contents(ws.File("real/target")).startsWith(signature));
    QCOMPARE(PartialFiles(ws.File("real")), QStringList());
    QCOMPARE(PartialFiles(ws.Folder()), QStringList());
}

// Stopped half-way, a print leaves the earlier output as it was and no
// temporary file behind.
void TestCommandLine::interruptedPrintLeavesNoPartialFile_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGUSR1") << SIGUSR1;
}

void TestCommandLine::interruptedPrintLeavesNoPartialFile()
{
    QFETCH(int, signal);
    Workspace ws;
    MakeMarkerCard(true)->SaveToFile(ws.CardFile());
    const QString pdf = ws.File("out.pdf");
    WriteBytes(pdf, "earlier output");

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", ws.Folder());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(Workspace::Program(), {"--print", ws.CardFile(), "--output", pdf, "--sheets", "999"});
    QVERIFY(process.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (PartialFiles(ws.Folder()).isEmpty() && process.state() == QProcess::Running && waited.elapsed() < 30000)
        QTest::qWait(2);
    if (process.state() != QProcess::Running)
        QSKIP("the print ended before it could be interrupted");
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(PartialFiles(ws.Folder()), QStringList());
    QCOMPARE(Contents(pdf), QByteArray("earlier output"));
}

// On a full disk, or past the file-size limit, an output that cannot be
// written whole is not written at all: the earlier file stays as it was, no
// temporary file is left, and the message names the file and the reason.
void TestCommandLine::failedWriteKeepsTheEarlierOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("fullDisk");
    const struct {
        const char *name;
        QStringList args;
        QString output;
    } modes[] = {{"--print", {"--print", "@/card.qrv"}, "out.pdf"},
                 {"--render .svg", {"--render", "@/card.qrv"}, "out.svg"},
                 {"--render .pdf", {"--render", "@/card.qrv"}, "out.pdf"},
                 {"--render .png", {"--render", "@/card.qrv"}, "out.png"},
                 {"--render .png --dpi", {"--render", "@/card.qrv", "--dpi", "300"}, "out.png"}};
    for (const auto &mode : modes) {
        QTest::addRow("%s, full disk", mode.name) << mode.args << mode.output << true;
        QTest::addRow("%s, file-size limit", mode.name) << mode.args << mode.output << false;
    }
}

void TestCommandLine::failedWriteKeepsTheEarlierOutput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    QFETCH(bool, fullDisk);
    Workspace ws;
    testsupport::TTinyDisk disk;
    if (fullDisk && !disk.Mounted())
        QSKIP(qPrintable(disk.Why()));
    const QString path = fullDisk ? disk.File(output) : ws.File(output);
    WriteBytes(path, "earlier output");
    if (fullDisk)
        disk.Fill();
    for (QString &a : args)
        a.replace("@", ws.Folder());
    const Outcome out = ws.Run(args << "-o" << path, [fullDisk] {
        if (!fullDisk) {
            const rlimit limit{256, 256};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
    QCOMPARE(out.status, 1);
    QCOMPARE(Errors(out), QStringList{"quorvel: Unable to write " + path + ": "
                                      + (fullDisk ? "No space left on device" : "File too large")});
    QCOMPARE(Contents(path), QByteArray("earlier output"));
    QCOMPARE(PartialFiles(QFileInfo(path).absolutePath()), QStringList());
}

// A settings file that is a FIFO or a device would block the program or
// fill the memory; it is named, and nothing is printed with defaults the
// user never chose.
void TestCommandLine::settingsThatAreNoFileAreNamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "FIFO";
    QTest::newRow("link to /dev/zero") << "zero";
}

void TestCommandLine::settingsThatAreNoFileAreNamed()
{
    QFETCH(QString, kind);
    Workspace ws;
    const QString settings = ws.File("qrv.ini");
    if (kind == "FIFO")
        QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0644), 0);
    else
        QVERIFY(QFile::link("/dev/zero", settings));
    const Outcome out = ws.Run({"--print", ws.CardFile(), "--output", ws.File("out.pdf")});
    QCOMPARE(out.status, 1);
    QCOMPARE(Errors(out), QStringList{"quorvel: the settings file " + settings + " was not read: not a regular file"});
    QVERIFY(!QFile::exists(ws.File("out.pdf")));
}

// A card size and zoom that would make a picture of many gigabytes is
// refused with a message (or, where the settings' own check puts such a
// layout back to the default, rendered at its usual size): never a huge
// allocation.
void TestCommandLine::renderNeverMakesAPictureBeyondItsLimit()
{
    Workspace ws;
    TPreferences prefs;
    prefs.Layout.Width = prefs.Layout.HPitch = 200.0f;
    prefs.Layout.Height = prefs.Layout.VPitch = 100.0f;
    prefs.Layout.Across = prefs.Layout.Down = 1;
    ws.WriteSettings(prefs);
    const QString png = ws.File("card.png");
    const Outcome out = ws.Run({"--render", ws.CardFile(), "--output", png, "--zoom", "10"});
    if (out.status == 1) {
        QCOMPARE(Errors(out), QStringList{"quorvel: the card at zoom 10 would be a picture of 192000 x 96000 pixels; "
                                          "--render makes pictures of at most 100 megapixels"});
        QVERIFY(!QFile::exists(png));
        return;
    }
    QCOMPARE(out.status, 0);
    const QImage image(png);
    QVERIFY(qint64(image.width()) * image.height() <= 100'000'000);
}

// With the memory short (a data limit of 150 MB), a picture of 74
// megapixels cannot be made: the message says so in words, not as the
// name of an exception.
void TestCommandLine::runningOutOfMemoryIsSaidInWords()
{
    Workspace ws;
    TPreferences prefs;
    prefs.Layout.Width = prefs.Layout.HPitch = 8.0f;
    prefs.Layout.Height = prefs.Layout.VPitch = 10.0f;
    prefs.Layout.TopMargin = prefs.Layout.LeftMargin = 0.25f;
    prefs.Layout.Across = prefs.Layout.Down = 1;
    ws.WriteSettings(prefs);

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", ws.Folder());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("XDG_RUNTIME_DIR");
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([] {
        const rlimit limit{150L * 1024 * 1024, 150L * 1024 * 1024};
        ::setrlimit(RLIMIT_DATA, &limit);
    });
    const QString png = ws.File("card.png");
    process.start(Workspace::Program(), {"--render", ws.CardFile(), "--output", png, "--zoom", "10"});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
             "quorvel: not enough memory to render " + ws.CardFile() + "\n");
    QVERIFY(!QFile::exists(png));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"

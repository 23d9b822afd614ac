// The program in a real window on an X server of its own (Xvfb, with openbox
// for focus), driven by real X input (xdotool): a card saved at 50 % keeps
// every object in its file, and a card handed over by a second start while a
// colour dialog is open waits for the dialog instead of replacing the card
// under it. Skips when Xvfb, openbox or xdotool is missing.
#include "TestSupport.h"

#include "objects/FrameShapes.h"
#include "platform/Graphics.h"
#include "surface/BusinessCardPanel.h"
#include "surface/ClassRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace testsupport;

namespace {

constexpr int kStateTimeoutMs = 30000; // generous: a state that never comes fails
const QRgb kMagenta = qRgb(255, 0, 255);

// Runs a tool on the test's X server and returns what it printed.
QString RunX(const QString &display, const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(kStateTimeoutMs))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The file's identity: a save writes a new file and renames it over the old.
quint64 FileIdentity(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestRealWindowZoom : public QObject
{
    Q_OBJECT

    QProcess FServer;
    QProcess FWindowManager;
    QString FDisplay;
    QTemporaryDir FHome;

    QString X(const QString &program, const QStringList &args) { return RunX(FDisplay, program, args); }

    // The whole screen as the X server shows it.
    QImage Screenshot()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), FDisplay);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
        p.waitForFinished(kStateTimeoutMs);
        return QImage::fromData(p.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
    }

    // Where the magenta card object shows on the screen; empty when nowhere.
    QRect MagentaArea()
    {
        const QImage shot = Screenshot();
        QRect area;
        for (int y = 0; y < shot.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
            for (int x = 0; x < shot.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (kMagenta & 0xFFFFFF))
                    area |= QRect(x, y, 1, 1);
        }
        return area;
    }

    // Starts the program on the card; its process is kept running until the test ends.
    std::unique_ptr<QProcess> StartProgram(const QString &card)
    {
        auto program = std::make_unique<QProcess>();
        program->setProcessEnvironment(ProgramEnvironment());
        program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program->start(ProgramPath(), {card});
        return program;
    }

    QProcessEnvironment ProgramEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), FDisplay);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QUORVEL_HOME"), FHome.path());
        return env;
    }

    static QString ProgramPath() { return qEnvironmentVariable("QUORVEL_BIN"); }

    // The first shown window whose title is exactly `title`; empty when none.
    QString FindWindow(const QString &title)
    {
        return X(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"),
                                             QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')})
            .section(QLatin1Char('\n'), 0, 0);
    }

    // Waits until a window titled `title` shows; false when none came.
    bool WaitForWindow(const QString &title, QString *id = nullptr)
    {
        QString found;
        const bool shown = QTest::qWaitFor([&] { return !(found = FindWindow(title)).isEmpty(); }, kStateTimeoutMs);
        if (id)
            *id = found;
        return shown;
    }

    int ShownWindowsOf(const QProcess &program)
    {
        const QString ids = X(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                         QStringLiteral("--pid"), QString::number(program.processId())});
        return ids.isEmpty() ? 0 : int(ids.count(QLatin1Char('\n'))) + 1;
    }

    void Keys(const QString &window, const QStringList &keys)
    {
        X(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        X(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + keys);
    }

    // A card of frame shapes and lines at these bounds (at 100 %), saved in
    // the card folder; the first shape is filled magenta to be found on the screen.
    QString SaveCard(const QString &name, const QList<std::pair<const char *, QRect>> &objects)
    {
        auto panel = MakePanel();
        for (const auto &[className, b] : objects) {
            TGGraphicControl *o = CreateCardObject(className, panel.get());
            o->Loaded();
            panel->AddNewObject(o, {0, 0, 50, 50});
            o->SetBounds(b.left(), b.top(), b.width(), b.height());
        }
        qobject_cast<TGLabelShapes *>(panel->Objects().first())->Brush()->SetColor(0xFF00FF);
        QDir().mkpath(FHome.filePath(QStringLiteral("saved")));
        const QString path = FHome.filePath(QStringLiteral("saved/") + name);
        panel->SaveToFile(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
        for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "import"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        QVERIFY2(QFile::exists(ProgramPath()), "QUORVEL_BIN names no program");
        // The server picks a free display and tells its number.
        FServer.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                               QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-dpi"),
                                               QStringLiteral("96"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QTRY_VERIFY_WITH_TIMEOUT(FServer.canReadLine() || FServer.state() == QProcess::NotRunning, kStateTimeoutMs);
        FDisplay = QLatin1Char(':') + QString::fromLatin1(FServer.readLine()).trimmed();
        QVERIFY2(FDisplay.size() > 1, "Xvfb did not start");
        FWindowManager.setProcessEnvironment(ProgramEnvironment());
        FWindowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QTRY_VERIFY_WITH_TIMEOUT(X(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                                     .contains(QLatin1String("window id")),
                                 kStateTimeoutMs);
    }

    void cleanupTestCase()
    {
        for (QProcess *p : {&FWindowManager, &FServer})
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
            }
    }

    // Saving at 50 % once deleted the one-pixel lines and the objects along
    // the bottom and right edges from the file.
    void savingAt50PercentKeepsEveryObject()
    {
        const QList<std::pair<const char *, QRect>> objects = {
            {"TBCShapes", {7, 7, 323, 171}},   {"TGLineShape", {21, 150, 211, 1}}, {"TGLineShape", {171, 20, 1, 121}},
            {"TBCShapes", {40, 182, 101, 10}}, {"TBCShapes", {326, 40, 10, 31}},
        }; // on the window's card of 3.5 x 2 inches, 336 x 192 pixels: along its bottom and right edges
        const QString card = SaveCard(QStringLiteral("Edges.QRV"), objects);
        const QList<QRect> before = BoundsInCardFile(ReadAll(card));
        QCOMPARE(before.size(), objects.size());
        const quint64 written = FileIdentity(card);

        auto program = StartProgram(card);
        QString window;
        QVERIFY(WaitForWindow(QStringLiteral("Quorvel - Edges.QRV"), &window));
        QRect atFull;
        QTRY_VERIFY_WITH_TIMEOUT((atFull = MagentaArea()).width() > 300, kStateTimeoutMs);

        Keys(window, QStringList(5, QStringLiteral("ctrl+minus")));
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(MagentaArea().width() - atFull.width() / 2) <= 2, kStateTimeoutMs);
        Keys(window, {QStringLiteral("ctrl+s")});
        QTRY_VERIFY_WITH_TIMEOUT(FileIdentity(card) != written && FileIdentity(card) != 0, kStateTimeoutMs);

        QCOMPARE(BoundsInCardFile(ReadAll(card)), before);
        program->kill();
        program->waitForFinished();
    }

    // A second start handing over a card while a colour dialog edits an
    // object of the open card: the card stays until the dialog closes (its
    // colour lands on the object), then the save prompt asks and the handed
    // over card opens. The program once opened the card under the dialog and
    // crashed when the dialog's OK reached the freed object.
    void cardHandedOverWaitsForTheOpenDialog()
    {
        const QString first = SaveCard(QStringLiteral("First.QRV"), {{"TBCShapes", {40, 30, 200, 100}}});
        const QString second = SaveCard(QStringLiteral("Second.QRV"), {{"TBCShapes", {10, 10, 60, 40}}});
        const QByteArray firstBytes = ReadAll(first);

        auto program = StartProgram(first);
        QString window;
        QVERIFY(WaitForWindow(QStringLiteral("Quorvel - First.QRV"), &window));
        QRect shape;
        QTRY_VERIFY_WITH_TIMEOUT((shape = MagentaArea()).width() > 150, kStateTimeoutMs);

        // Right click on the shape, then "Background Color": the eleventh entry.
        X(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        const int windowsBefore = ShownWindowsOf(*program);
        X(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(shape.center().x()),
                                      QString::number(shape.center().y()), QStringLiteral("click"), QStringLiteral("3")});
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindowsOf(*program) > windowsBefore, kStateTimeoutMs);
        X(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + QStringList(11, QStringLiteral("Down"))
                                         + QStringList{QStringLiteral("Return")});
        QString dialog;
        QVERIFY(WaitForWindow(QStringLiteral("Select Color"), &dialog));

        // The second start hands its card over and ends.
        QProcess secondStart;
        secondStart.setProcessEnvironment(ProgramEnvironment());
        secondStart.start(ProgramPath(), {second});
        QVERIFY(secondStart.waitForFinished(kStateTimeoutMs));
        QCOMPARE(secondStart.exitCode(), 0);
        QVERIFY2(!secondStart.readAllStandardError().contains("does not answer"), "the running copy did not answer");

        // The dialog is still up over the first card; its OK applies its colour.
        QVERIFY(!FindWindow(QStringLiteral("Quorvel - First.QRV")).isEmpty());
        QVERIFY(!FindWindow(QStringLiteral("Select Color")).isEmpty());
        Keys(dialog, {QStringLiteral("Return")});
        QString prompt;
        QVERIFY(QTest::qWaitFor(
            [&] { return program->state() != QProcess::Running || !(prompt = FindWindow(QStringLiteral("Save"))).isEmpty(); },
            kStateTimeoutMs));
        QVERIFY2(program->state() == QProcess::Running, "the program ended when the dialog closed");
        Keys(prompt, {QStringLiteral("alt+n")});
        QVERIFY(WaitForWindow(QStringLiteral("Quorvel - Second.QRV")));
        QCOMPARE(program->state(), QProcess::Running);
        QCOMPARE(ReadAll(first), firstBytes);
        program->kill();
        program->waitForFinished();
    }
};

QTEST_MAIN(TestRealWindowZoom)
#include "tst_realwindowzoom.moc"

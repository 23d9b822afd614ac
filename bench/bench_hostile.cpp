// Hostile and careless input through the command line: each case runs the
// built quorvel program in a fresh process and prints its wall time, peak
// resident memory and exit status. The aim is every case within 1 s and
// 200 MB, ending with a message instead of a hang or a huge allocation.
// An argument runs only the cases whose names hold it.
#include "BenchSupport.h"
#include "app/Preferences.h"
#include "objects/BusinessCardShape.h"
#include "objects/RichTextLabel.h"
#include "richtext/RichTextContainer.h"
#include "platform/IniFile.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct TRun {
    double seconds = 0;
    // Processor time of the child alone: the figure that holds on a busy machine.
    double cpuSeconds = 0;
    long peakKilobytes = 0;
    int status = -1;
};

QString Program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/quorvel"); }

// Runs the program with its output thrown away; a case that has not ended
// after 60 s is stopped and shown with status -1.
TRun RunProgram(const QStringList &args)
{
    QList<QByteArray> owned{QFile::encodeName(Program())};
    for (const QString &a : args)
        owned << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    TRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    // The kernel's own figure for a child counts the bench's memory too (it
    // carries over the exec), so the child's high-water mark is read while
    // it runs.
    long peakKilobytes = 0;
    const QString statusFile = QStringLiteral("/proc/%1/status").arg(pid);
    for (;;) {
        peakKilobytes = std::max(peakKilobytes, HighWaterKilobytes(statusFile));
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (timer.elapsed() > 60000) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            run.seconds = timer.elapsed() / 1000.0;
            return run;
        }
        usleep(1000);
    }
    run.seconds = timer.elapsed() / 1000.0;
    run.peakKilobytes = peakKilobytes;
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                     + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void WriteLayout(const QString &folder, float width, float height)
{
    TPreferences prefs;
    prefs.Layout.Width = prefs.Layout.HPitch = width;
    prefs.Layout.Height = prefs.Layout.VPitch = height;
    prefs.Layout.Across = prefs.Layout.Down = 1;
    TIniFile ini(folder + QStringLiteral("/qrv.ini"));
    SavePreferences(ini, prefs);
    ini.UpdateFile();
}

QByteArray Str(const QByteArray &s) { return char(s.size()) + s; }

QByteArray Int32(const QByteArray &name, qint32 value)
{
    QByteArray bytes = Str(name) + char(4);
    for (int i = 0; i < 4; ++i)
        bytes += char((quint32(value) >> (8 * i)) & 0xFF);
    return bytes;
}

// A string value: short strings carry a length byte, longer ones four.
QByteArray Text(const QByteArray &name, const QByteArray &value)
{
    if (value.size() < 256)
        return Str(name) + char(6) + Str(value);
    QByteArray bytes = Str(name) + char(12);
    for (int i = 0; i < 4; ++i)
        bytes += char((quint32(value.size()) >> (8 * i)) & 0xFF);
    return bytes + value;
}

QByteArray Record(const QByteArray &className, const QByteArray &properties)
{
    return "TPF0" + Str(className) + Str("") + properties + char(0) + char(0);
}

QByteArray Card(const QByteArray &records) { return char(1) + records + char(0); }

QByteArray Bounds(int left, int top, int width, int height)
{
    return Int32("Left", left) + Int32("Top", top) + Int32("Width", width) + Int32("Height", height);
}

// A card with one text label whose font height is the smallest int.
QByteArray HostileFontCard()
{
    return Card(Record("TGBusinessCardLabel", Bounds(10, 10, 100, 40) + Text("Caption", "Big")
                                                  + Str("Font.Height") + char(4) + QByteArray("\x00\x00\x00\x80", 4)));
}

QByteArray ManyEmptyLinesCard(int count) { return Card(Record("TGLineShape", {}).repeated(count)); }

QByteArray ManyTextLabelsCard(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += Record("TGPLabel", Bounds(i % 300, i % 180, 60, 14) + Text("Caption", "Label " + QByteArray::number(i)));
    return Card(records);
}

QByteArray HugeSuperShapeCard(int side) { return Card(Record("TSuperShape", Bounds(0, 0, side, side))); }

QByteArray LongSuperTextCard(int length)
{
    return Card(Record("TGSuperText", Bounds(10, 10, 200, 40)
                                          + Text("Caption", QByteArray("lorem ipsum dolor sit amet ").repeated(length / 27 + 1).left(length))));
}

QByteArray ManyLinesLabelCard(int lines, bool wrap)
{
    QByteArray items = Str("Items.Strings") + char(1);
    for (int i = 0; i < lines; ++i)
        items += char(6) + Str("line " + QByteArray::number(i));
    items += char(0);
    return Card(Record("TGMultiLineLabel", Bounds(10, 10, 200, 100) + items + (wrap ? Str("WordWrap") + char(9) : QByteArray())));
}

// Settings of about 4 MB in short lines, most of them in a section the
// program reads.
QByteArray LongSettingsFile()
{
    QByteArray text = "[Layout]\n";
    for (int i = 0; text.size() < 4 * 1024 * 1024 - 4096; ++i)
        text += "k" + QByteArray::number(i) + "=1\n";
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!QFile::exists(Program())) {
        std::printf("the quorvel program is not built: %s\n", qPrintable(Program()));
        return 0;
    }
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    qputenv("QUORVEL_HOME", dir.path().toLocal8Bit());
    {
        TGBusinessCardPanel32 panel;
        auto *shape = new TBCShapes(&panel);
        shape->Loaded();
        panel.AddNewObject(shape, {20, 20, 120, 60});
        panel.SaveToFile(at("card.qrv"));
        panel.SaveToFile(at("fifo-side.qrv"));
        panel.SaveToFile(at("fifo-art.qrv"));
    }
    const auto saveRichText = [&](const char *name, const QByteArray &data) {
        TGBusinessCardPanel32 panel;
        auto *label = new TGPRichBaseLabel(&panel);
        label->Loaded();
        panel.AddNewObject(label, {10, 10, 300, 160});
        label->RTFText()->SetData(data);
        panel.SaveToFile(at(name));
    };
    {
        QByteArray table = "<html><body><table border=1>";
        for (int i = 0; i < 10000; ++i)
            table += (i % 100 ? "" : i ? "</tr><tr>" : "<tr>") + QByteArray("<td>c") + QByteArray::number(i) + "</td>";
        saveRichText("richtable.qrv", table + "</tr></table></body></html>");
        saveRichText("richpars.qrv", "{\\rtf1\\ansi " + QByteArray("\\par ").repeated(10000000) + "}");
        QByteArray runs = "{\\rtf1\\ansi ";
        for (int i = 0; i < 10000; ++i)
            runs += (i % 2 ? "\\b0 " : "\\b ") + QByteArray("word ");
        saveRichText("richruns.qrv", runs + "}");
    }
    mkfifo(QFile::encodeName(at("fifo")).constData(), 0644);
    mkfifo(QFile::encodeName(at("fifo-side.QRE")).constData(), 0644);
    mkfifo(QFile::encodeName(at("art.bmp")).constData(), 0644);
    WriteBytes(at("fifo-art.QRE"), at("art.bmp").toUtf8() + "\r\n");
    mknod(QFile::encodeName(at("device")).constData(), S_IFCHR | 0666, makedev(1, 3));
    WriteBytes(at("font.qrv"), HostileFontCard());
    WriteBytes(at("lines80k.qrv"), ManyEmptyLinesCard(80000));
    WriteBytes(at("lines320k.qrv"), ManyEmptyLinesCard(320000));
    WriteBytes(at("labels100k.qrv"), ManyTextLabelsCard(100000));
    WriteBytes(at("supershape20k.qrv"), HugeSuperShapeCard(20000));
    WriteBytes(at("supershape40k.qrv"), HugeSuperShapeCard(40000));
    WriteBytes(at("supertext20k.qrv"), LongSuperTextCard(20000));
    WriteBytes(at("multiline200k.qrv"), ManyLinesLabelCard(200000, false));
    WriteBytes(at("multiline200k-wrap.qrv"), ManyLinesLabelCard(200000, true));

    struct TCase {
        const char *name;
        QStringList args;
        float width = 3.5f, height = 2.0f;
        bool longSettings = false;
    };
    const QList<TCase> cases{
        {"--dump /dev/zero", {"--dump", "/dev/zero"}},
        {"--dump FIFO", {"--dump", at("fifo")}},
        {"--render, side file a FIFO", {"--render", at("fifo-side.qrv"), "--output", at("out.png")}},
        {"--print, background art a FIFO", {"--print", at("fifo-art.qrv"), "--output", at("out.pdf")}},
        {"--print onto the card", {"--print", at("card.qrv"), "--output", at("card.qrv")}},
        {"--print into a device", {"--print", at("card.qrv"), "--output", at("device")}},
        {"--render 20000 x 20000 in at zoom 10",
         {"--render", at("card.qrv"), "--output", at("out.png"), "--zoom", "10"},
         20000.0f,
         20000.0f},
        {"--render Width=2147483647", {"--render", at("card.qrv"), "--output", at("out.png")}, 2147483647.0f, 2.0f},
        {"--render Font.Height=-2147483648 at zoom 1.6",
         {"--render", at("font.qrv"), "--output", at("out.png"), "--zoom", "1.6"}},
        {"--print Font.Height=-2147483648", {"--print", at("font.qrv"), "--output", at("out.pdf")}},
        {"--print, ordinary card (for comparison)", {"--print", at("card.qrv"), "--output", at("out.pdf")}},
        {"--print, settings file of 4 MB", {"--print", at("card.qrv"), "--output", at("out.pdf")}, 3.5f, 2.0f, true},
        {"--dump 80,000 empty lines", {"--dump", at("lines80k.qrv")}},
        {"--dump 320,000 empty lines", {"--dump", at("lines320k.qrv")}},
        {"--dump 100,000 text labels", {"--dump", at("labels100k.qrv")}},
        {"--render 100,000 text labels", {"--render", at("labels100k.qrv"), "--output", at("out.png")}},
        {"--print 100,000 text labels", {"--print", at("labels100k.qrv"), "--output", at("out.pdf")}},
        {"--render SuperShape 20,000 square", {"--render", at("supershape20k.qrv"), "--output", at("out.png")}},
        {"--print SuperShape 20,000 square", {"--print", at("supershape20k.qrv"), "--output", at("out.pdf")}},
        {"--render SuperShape 40,000 square", {"--render", at("supershape40k.qrv"), "--output", at("out.png")}},
        {"--render SuperText of 20,000 characters", {"--render", at("supertext20k.qrv"), "--output", at("out.png")}},
        {"--print SuperText of 20,000 characters", {"--print", at("supertext20k.qrv"), "--output", at("out.pdf")}},
        {"--render multi-line label, 200,000 lines", {"--render", at("multiline200k.qrv"), "--output", at("out.png")}},
        {"--print multi-line label, 200,000 lines", {"--print", at("multiline200k.qrv"), "--output", at("out.pdf")}},
        {"--render 200,000 lines, word wrap", {"--render", at("multiline200k-wrap.qrv"), "--output", at("out.png")}},
        {"--print rich text, 10,000 bold runs", {"--print", at("richruns.qrv"), "--output", at("out.pdf")}},
        {"--print rich text, 10,000,000 paragraphs", {"--print", at("richpars.qrv"), "--output", at("out.pdf")}},
        {"--print rich text, HTML table of 10,000 cells", {"--print", at("richtable.qrv"), "--output", at("out.pdf")}},
    };
    std::printf("%-44s %8s %8s %10s %7s\n", "case", "seconds", "cpu s", "peak MB", "status");
    for (const TCase &c : cases) {
        if (!filter.isEmpty() && !QString::fromLatin1(c.name).contains(filter))
            continue;
        QFile::remove(at("qrv.ini"));
        if (c.longSettings)
            WriteBytes(at("qrv.ini"), LongSettingsFile());
        WriteLayout(dir.path(), c.width, c.height);
        const TRun run = RunProgram(c.args);
        std::printf("%-44s %8.3f %8.3f %10.1f %7d\n", c.name, run.seconds, run.cpuSeconds, run.peakKilobytes / 1024.0,
                    run.status);
    }
    return 0;
}

// A PDF printed from a cold start needs no print spooler: the command line is
// run as a fresh process printing one sheet of a small card into a PDF,
// with the system's spooler as it is, with no spooler at all (CUPS_SERVER
// naming a socket nothing listens on) and with a spooler that takes the
// connection and never answers. Prints best and median times of each; the
// three should not differ.
//
//   bench_pdfspooler [path/to/quorvel] [runs]
#include "objects/BusinessCardShape.h"
#include "objects/TextLabel.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void SaveCard(const QString &file)
{
    TGBusinessCardPanel32 panel;
    panel.resize(336, 192);
    auto *shape = new TBCShapes(&panel);
    shape->Loaded();
    panel.AddNewObject(shape, {10, 10, 200, 100});
    auto *label = new TGPLabel(&panel);
    label->SetCaption(QStringLiteral("Quorvel"));
    label->Loaded();
    panel.AddNewObject(label, {20, 120, 160, 150});
    panel.SaveToFile(file);
}

struct Figures {
    double best = 0;
    double median = 0;
    bool failed = false;
};

Figures TimeRuns(const QString &program, const QStringList &args, const QProcessEnvironment &env, int runs)
{
    QList<double> times;
    Figures f;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(program, args);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s\n", process.readAllStandardError().constData());
            f.failed = true;
            return f;
        }
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    f.best = times.first();
    f.median = times[times.size() / 2];
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;

    QTemporaryDir dir;
    const QString card = dir.filePath("card.qrv");
    SaveCard(card);
    const QStringList args{"--print", card, "--output", dir.filePath("out.pdf")};

    QLocalServer silent;
    silent.listen(dir.filePath("silent.sock"));

    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    base.insert("QUORVEL_HOME", dir.path());
    base.remove("DISPLAY");
    QProcessEnvironment none = base;
    none.insert("CUPS_SERVER", dir.filePath("nobody-listens.sock"));
    QProcessEnvironment hung = base;
    hung.insert("CUPS_SERVER", silent.fullServerName());

    std::printf("cold one-sheet PDF, %d runs each (ms):\n", runs);
    const struct {
        const char *name;
        const QProcessEnvironment &env;
    } cases[] = {{"system spooler as it is", base}, {"no spooler", none}, {"spooler never answers", hung}};
    for (const auto &c : cases) {
        const Figures f = TimeRuns(program, args, c.env, runs);
        if (f.failed)
            std::printf("  %-26s failed\n", c.name);
        else
            std::printf("  %-26s best %7.1f  median %7.1f\n", c.name, f.best, f.median);
    }
    return 0;
}

// Cold start of a one-sheet print: `quorvel --print card.qrv -o x.pdf` run
// as a fresh process, against a bare Qt program that writes the same sheet
// with QPdfWriter (bare_pdf_sheet). The difference is what the program
// costs beyond Qt itself: loading its libraries, reading the settings and
// the card. Prints the median and best of each and their ratio (the goal is
// at most 1.5), in wall-clock time and in processor time (which other work
// on a busy machine disturbs less), and how many shared libraries each
// program needs.
//
//   bench_coldstart [runs] [path/to/quorvel]
#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "objects/TextLabel.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Three text lines, two frames and a line, as bare_pdf_sheet draws them.
void BuildCard(TGBusinessCardPanel32 &panel)
{
    const auto add = [&panel](TGGraphicControl *o, QRect bounds) {
        o->Loaded();
        panel.AddNewObject(o, {bounds.left(), bounds.top(), 0, 0});
        o->SetBounds(bounds.left(), bounds.top(), bounds.width(), bounds.height());
    };
    auto *frame = new TBCShapes(&panel);
    frame->SetShape(TGLabelShapes::TShapeType(0));
    add(frame, QRect(10, 10, 58, 38));
    auto *round = new TBCShapes(&panel);
    round->SetShape(TGLabelShapes::TShapeType(2));
    add(round, QRect(250, 10, 58, 38));
    add(new TGLineShape(&panel), QRect(10, 96, 308, 2));
    for (int line = 0; line < 3; ++line) {
        auto *label = new TGPLabel(&panel);
        label->SetCaption(QStringLiteral("Quorvel business card line %1").arg(line + 1));
        add(label, QRect(29, 112 + line * 19, 250, 18));
    }
}

struct Figures {
    double median = 0;
    double best = 0;
};

Figures Summary(QList<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.at(times.size() / 2), times.first()};
}

// User and system time of the children that have ended, in milliseconds.
double ChildrenProcessorMs()
{
    rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Run {
    double wallMs = -1;
    double processorMs = -1;
};

// Runs the program once: the time from start to end, and the processor
// time it took.
Run RunOnce(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    const double processorBefore = ChildrenProcessorMs();
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return {};
    }
    return {timer.nsecsElapsed() / 1e6, ChildrenProcessorMs() - processorBefore};
}

// The number of shared libraries a program needs, as the loader lists them.
int LibraryCount(const QString &program)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {program});
    if (!ldd.waitForFinished(30000))
        return -1;
    return int(ldd.readAllStandardOutput().count("=>"));
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? qMax(3, atoi(argv[1])) : 20;
    QTemporaryDir home;
    QApplication app(argc, argv);
    const QDir here(QCoreApplication::applicationDirPath());
    const QString quorvel = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QDir::cleanPath(here.filePath(QStringLiteral("../src/quorvel")));
    const QString bare = here.filePath(QStringLiteral("bare_pdf_sheet"));
    const QString card = QDir(home.path()).filePath(QStringLiteral("card.qrv"));
    {
        TGBusinessCardPanel32 panel;
        BuildCard(panel);
        panel.SaveToFile(card);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString programPdf = QDir(home.path()).filePath(QStringLiteral("program.pdf"));
    const QString barePdf = QDir(home.path()).filePath(QStringLiteral("bare.pdf"));

    const QStringList print = {QStringLiteral("--print"), card, QStringLiteral("-o"), programPdf};
    // One run of each first, so that both find the files in the page cache.
    if (RunOnce(quorvel, print, env).wallMs < 0 || RunOnce(bare, {barePdf}, env).wallMs < 0)
        return 1;
    QList<double> programWall, programProcessor, bareWall, bareProcessor;
    for (int i = 0; i < runs; ++i) {
        const Run p = RunOnce(quorvel, print, env);
        const Run b = RunOnce(bare, {barePdf}, env);
        if (p.wallMs < 0 || b.wallMs < 0)
            return 1;
        programWall << p.wallMs;
        programProcessor << p.processorMs;
        bareWall << b.wallMs;
        bareProcessor << b.processorMs;
    }
    const Figures pw = Summary(programWall), pp = Summary(programProcessor);
    const Figures bw = Summary(bareWall), bp = Summary(bareProcessor);
    std::printf("one sheet to PDF from a cold process, %d runs each (median, best):\n", runs);
    std::printf("  quorvel --print:         wall %.1f, %.1f ms; processor %.1f, %.1f ms; %d shared libraries\n",
                pw.median, pw.best, pp.median, pp.best, LibraryCount(quorvel));
    std::printf("  bare Qt with QPdfWriter: wall %.1f, %.1f ms; processor %.1f, %.1f ms; %d shared libraries\n",
                bw.median, bw.best, bp.median, bp.best, LibraryCount(bare));
    std::printf("  ratio: wall %.2f (median), %.2f (best); processor %.2f (median), %.2f (best); goal at most 1.5\n",
                pw.median / bw.median, pw.best / bw.best, pp.median / bp.median, pp.best / bp.best);
    return 0;
}

// The worst small cards for drawing: a sloping line a million pixels long,
// a multi-line label whose text is one long word or one long line to wrap,
// and text labels with captions of megabytes. Each card is printed to a PDF
// sheet with --print and rendered with --render, each in a fresh process;
// prints the time and the peak resident memory of every run.
#include "BenchSupport.h"
#include "app/CommandLine.h"
#include "objects/LineShape.h"
#include "objects/MultiLineLabel.h"
#include "objects/TextLabel.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

struct TCase {
    const char *name;
    std::function<TGGraphicControl *(TGBusinessCardPanel32 &)> make;
};

QString Words(qsizetype length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += QStringLiteral("lorem ipsum dolor sit amet ");
    text.truncate(length);
    return text;
}

TGGraphicControl *LongLine(TGBusinessCardPanel32 &panel)
{
    auto *line = new TGLineShape(&panel);
    line->SetLineStyle(TGLineShape::stAngleSlopingDown);
    line->Pen()->SetWidth(0);
    line->Loaded();
    panel.AddNewObject(line, {10, 10, 1000010, 200});
    return line;
}

TGGraphicControl *Wrapped(TGBusinessCardPanel32 &panel, const QString &text)
{
    auto *label = new TGMultiLineLabel(&panel);
    label->Loaded();
    panel.AddNewObject(label, {10, 10, 200, 120});
    label->SetItems({text});
    label->SetWordWrap(true);
    return label;
}

TGGraphicControl *Caption(TGBusinessCardPanel32 &panel, qsizetype length, Vcl::TAlignment alignment)
{
    auto *label = new TGPLabel(&panel);
    label->Loaded();
    panel.AddNewObject(label, {10, 10, 300, 30});
    label->SetCaption(Words(length));
    label->SetAlignment(alignment);
    return label;
}

const QList<TCase> &Cases()
{
    static const QList<TCase> cases{
        {"sloping line 1,000,000 px, pen width 0", LongLine},
        {"word wrap: one word of 32 K", [](auto &p) { return Wrapped(p, QString(32 * 1024, QLatin1Char('x'))); }},
        {"word wrap: one word of 256 K", [](auto &p) { return Wrapped(p, QString(256 * 1024, QLatin1Char('x'))); }},
        {"word wrap: a line of 256 K", [](auto &p) { return Wrapped(p, Words(256 * 1024)); }},
        {"caption of 1 MB, left", [](auto &p) { return Caption(p, 1 << 20, Vcl::taLeftJustify); }},
        {"caption of 4 MB, left", [](auto &p) { return Caption(p, 4 << 20, Vcl::taLeftJustify); }},
        {"caption of 4 MB, right", [](auto &p) { return Caption(p, 4 << 20, Vcl::taRightJustify); }},
    };
    return cases;
}

// Child: writes the card of one case, then runs one command-line mode on it.
int RunCase(int index, const QString &mode, const QString &folder)
{
    const QString card = folder + QStringLiteral("/case.qrv");
    {
        TGBusinessCardPanel32 panel;
        panel.resize(343, 191);
        Cases().at(index).make(panel);
        panel.SaveToFile(card);
    }
    const long beforeKb = PeakResidentKilobytes();
    const QString output = folder + (mode == QStringLiteral("--print") ? QStringLiteral("/out.pdf")
                                                                        : QStringLiteral("/out.png"));
    QElapsedTimer timer;
    timer.start();
    const std::optional<int> status = RunCommandLine({QStringLiteral("quorvel"), mode, card,
                                                      QStringLiteral("--output"), output});
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%d %.1f %ld %ld\n", status.value_or(-1), ms, beforeKb, PeakResidentKilobytes());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 5 && QByteArray(argv[1]) == "--case") {
        QApplication app(argc, argv);
        return RunCase(QByteArray(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    std::printf("worst inputs, each in a fresh process: exit status, time of the mode, peak resident memory\n");
    for (int i = 0; i < Cases().size(); ++i)
        for (const char *mode : {"--print", "--render"}) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QUORVEL_HOME"), home.path());
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--case"), QString::number(i), QString::fromLatin1(mode), home.path()});
            if (!child.waitForFinished(600000)) {
                std::printf("  %-42s %-8s did not finish\n", Cases().at(i).name, mode);
                child.kill();
                continue;
            }
            const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
            if (f.size() != 4) {
                std::printf("  %-42s %-8s failed (exit %d)\n", Cases().at(i).name, mode, child.exitCode());
                continue;
            }
            std::printf("  %-42s %-8s exit %s  %8.1f ms  peak %6.1f MB (%.1f MB before the run)\n",
                        Cases().at(i).name, mode, f[0].constData(), f[1].toDouble(), f[3].toLong() / 1024.0,
                        f[2].toLong() / 1024.0);
        }
    return 0;
}

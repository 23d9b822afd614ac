// A card holding 20 gradient stars with shadows: the full panel repaint at
// zoom 1.6 (time per repaint over many repaints), then one sheet of that
// card printed to PDF by a fresh process from a cold start (best and median
// of several runs, beside the cold start of --version alone).
//
//   bench_supershape [path/to/quorvel] [runs]
#include "objects/SuperShape.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void AddStars(TGBusinessCardPanel32 &panel)
{
    for (int i = 0; i < 20; ++i) {
        auto *star = new TSuperShape(&panel);
        star->Loaded();
        panel.AddNewObject(star, {8 + (i % 5) * 64, 6 + (i / 5) * 46, 0, 0});
        star->SetBounds(star->Left(), star->Top(), 60, 44);
        star->SetBackColor(int32_t(0x00FFFF));
        star->SetGradientToColor(int32_t(0x0000FF));
        star->SetFillDirection(Fill::TFillDirection(i % 4));
        star->SetShadowColor(int32_t(0xC0C0C0));
        star->SetShadowOrient(TSuperShape::soLowerRight);
        star->SetShadowDepth(3);
        star->SetOutlineWidth(1 + i % 2);
    }
}

struct Runs {
    double best = 0;
    double median = 0;
};

Runs Time(const QString &program, const QStringList &args, const QString &home, int runs, bool *ok)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEL_HOME"), home);
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, args);
        process.waitForFinished(120000);
        times << timer.nsecsElapsed() / 1e6;
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(args.join(' ')),
                         process.readAllStandardError().constData());
            *ok = false;
            return {};
        }
    }
    std::sort(times.begin(), times.end());
    return {times.first(), times.at(times.size() / 2)};
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString program = args.size() > 1 ? args.at(1)
                                            : QDir(QApplication::applicationDirPath()).filePath("../src/quorvel");
    const int runs = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;

    QTemporaryDir home;
    const QString card = home.filePath(QStringLiteral("stars.qrv"));
    {
        TGBusinessCardPanel32 panel;
        panel.resize(343, 191);
        panel.SetDrawOutline(true);
        AddStars(panel);
        panel.SaveToFile(card);
        panel.SetZoom(1.6f);
        panel.show();
        QImage target(panel.size(), QImage::Format_RGB32);
        const int rounds = 100;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            QPainter p(&target);
            panel.RenderCard(p, true);
        }
        std::printf("panel repaint at zoom 1.6 (%dx%d), 20 gradient stars: %.3f ms per repaint\n", panel.width(),
                    panel.height(), timer.nsecsElapsed() / 1e6 / rounds);
    }

    if (!QFile::exists(program)) {
        std::fprintf(stderr, "quorvel not found at %s; pass its path as the first argument\n", qPrintable(program));
        return 1;
    }
    bool ok = true;
    const QString pdf = home.filePath(QStringLiteral("stars.pdf"));
    const Runs start = Time(program, {QStringLiteral("--version")}, home.path(), runs, &ok);
    const Runs sheet =
        Time(program, {QStringLiteral("--print"), card, QStringLiteral("--output"), pdf}, home.path(), runs, &ok);
    if (!ok)
        return 1;
    std::printf("cold start of quorvel --version:          best %7.1f ms, median %7.1f ms\n", start.best, start.median);
    std::printf("1 sheet of the 20-star card to PDF:       best %7.1f ms, median %7.1f ms, %lld bytes\n", sheet.best,
                sheet.median, static_cast<long long>(QFileInfo(pdf).size()));
    return 0;
}

// Printing both sides from the command line, as a fresh process each run:
// a card whose front holds three text labels and four frame shapes and
// whose back holds two labels and a frame, 10 two-sided sheets (20 pages)
// into a PDF over the long edge; for comparison the same 10 sheets one-sided
// and 10 two-sided sheets for a printer without duplex. Prints best and
// median times of several runs.
//
//   bench_twosided [path/to/quorvel] [runs]
#include "objects/BusinessCardLabel.h"
#include "objects/BusinessCardShape.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardBack.h"
#include "surface/LabelObjectFiler.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void AddLabels(TGBusinessCardPanel32 &panel, const QStringList &captions)
{
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = new TGBusinessCardLabel(&panel);
        label->SetCaption(captions[i]);
        label->Loaded();
        panel.AddNewObject(label, {12, 10 + i * 34, 0, 0});
    }
}

void AddShapes(TGBusinessCardPanel32 &panel, int count)
{
    for (int i = 0; i < count; ++i) {
        auto *shape = new TBCShapes(&panel);
        shape->SetShape(TGLabelShapes::TShapeType(i % 4));
        shape->Loaded();
        panel.AddNewObject(shape, {240 + (i % 2) * 44, 20 + (i / 2) * 60, 0, 0});
        shape->SetBounds(shape->Left(), shape->Top(), 40, 40);
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
        process.waitForFinished(300000);
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
    const int runs = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 7;
    if (!QFile::exists(program)) {
        std::fprintf(stderr, "quorvel not found at %s; pass its path as the first argument\n", qPrintable(program));
        return 1;
    }

    QTemporaryDir home;
    const QString card = home.filePath(QStringLiteral("card.qrv"));
    {
        TGBusinessCardPanel32 front;
        front.resize(336, 192);
        AddLabels(front, {QStringLiteral("Jane Doe"), QStringLiteral("Engineer"), QStringLiteral("jane@example.com")});
        AddShapes(front, 4);
        TGBusinessCardPanel32 back;
        back.resize(336, 192);
        AddLabels(back, {QStringLiteral("Acme Widgets"), QStringLiteral("www.example.com")});
        AddShapes(back, 1);
        TCardBack cardBack;
        cardBack.Objects = back.SaveToBytes();
        TGLabelObjectFiler().WriteCardFile(card, front.SaveToBytes(), cardBack);
    }

    bool ok = true;
    const QString pdf = home.filePath(QStringLiteral("out.pdf"));
    const QStringList tenSheets{QStringLiteral("--print"), card, QStringLiteral("--sheets"), QStringLiteral("10"),
                                QStringLiteral("--output"), pdf};
    const Runs twoSided = Time(program, tenSheets + QStringList{QStringLiteral("--duplex"), QStringLiteral("long")},
                               home.path(), runs, &ok);
    const qint64 twoSidedBytes = QFileInfo(pdf).size();
    const Runs oneSided = Time(program, tenSheets, home.path(), runs, &ok);
    const Runs manual = Time(program, tenSheets + QStringList{QStringLiteral("--duplex"), QStringLiteral("manual")},
                             home.path(), runs, &ok);
    if (!ok)
        return 1;
    std::printf("10 two-sided sheets (20 pages) to PDF, long edge, fresh process: best %6.1f ms, median %6.1f ms, "
                "%lld bytes\n",
                twoSided.best, twoSided.median, static_cast<long long>(twoSidedBytes));
    std::printf("10 one-sided sheets of the same card, for comparison:            best %6.1f ms, median %6.1f ms\n",
                oneSided.best, oneSided.median);
    std::printf("10 two-sided sheets without duplex (fronts, then backs):         best %6.1f ms, median %6.1f ms\n",
                manual.best, manual.median);
    return 0;
}

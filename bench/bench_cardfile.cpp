// Saving and loading a card of 1,000 frame shapes and lines through the card
// file (the panel's SaveToFile and LoadFromFile); prints the best of several
// runs, the file size and the time of the text dump.
#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "surface/ComponentText.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kObjects = 1000;
constexpr int kRuns = 5;

void FillCard(TGBusinessCardPanel32 &panel)
{
    QRandomGenerator rng(7);
    for (int i = 0; i < kObjects; ++i) {
        TGGraphicControl *object;
        if (i % 2 == 0) {
            auto *line = new TGLineShape(&panel);
            line->SetLineStyle(TGLineShape::TLineStyle(i % 4));
            line->Pen()->SetWidth(1 + i % 4);
            line->Pen()->SetColor(int32_t(rng.bounded(0xFFFFFF)));
            object = line;
        } else {
            auto *shape = new TBCShapes(&panel);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->SetRoundPerc(int(rng.bounded(100)));
            shape->Pen()->SetWidth(1 + i % 3);
            shape->Brush()->SetColor(int32_t(rng.bounded(0xFFFFFF)));
            shape->Brush()->SetStyle(Vcl::TBrushStyle(i % 8));
            object = shape;
        }
        object->Loaded();
        panel.AddNewObject(object, {int(rng.bounded(300)), int(rng.bounded(160)), 0, 0});
        object->SetBounds(object->Left(), object->Top(), 10 + int(rng.bounded(80)), 10 + int(rng.bounded(50)));
    }
}

// The shortest of several runs, in milliseconds.
double BestOf(const std::function<void()> &work)
{
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The shortest of several runs of work that times itself.
double BestOfTimed(const std::function<double()> &work)
{
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run)
        best = std::min(best, work());
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("QUORVEL_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    TGBusinessCardPanel32 panel;
    panel.resize(343, 191);
    FillCard(panel);
    const QString card = home.filePath(QStringLiteral("bench.qrv"));

    const double saveMs = BestOf([&] { panel.SaveToFile(card); });
    // Only the reading is timed; each run reads into a fresh panel.
    double menusMs = 0;
    const double loadMs = BestOfTimed([&] {
        auto reopened = std::make_unique<TGBusinessCardPanel32>();
        QElapsedTimer timer;
        timer.start();
        reopened->LoadFromFile(card);
        const double readMs = timer.nsecsElapsed() / 1e6;
        if (reopened->ObjectCount() != kObjects)
            std::fprintf(stderr, "read %d objects instead of %d\n", reopened->ObjectCount(), kObjects);
        // Every object's menu built once, as a user opening each would.
        timer.restart();
        for (TGGraphicControl *o : reopened->Objects())
            o->ContextMenu();
        menusMs = timer.nsecsElapsed() / 1e6;
        reopened.reset();
        return readMs;
    });
    QFile file(card);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const double dumpMs = BestOf([&] { ComponentStreamToText(bytes); });

    std::printf("card file with %d frame shapes and lines: %lld bytes\n", kObjects, static_cast<long long>(bytes.size()));
    std::printf("  save: %8.2f ms\n", saveMs);
    std::printf("  load: %8.2f ms (reading and renaming; context menus are built when first shown)\n", loadMs);
    std::printf("  all %d context menus built afterwards: %8.2f ms\n", kObjects, menusMs);
    std::printf("  dump: %8.2f ms (text form)\n", dumpMs);
    return 0;
}

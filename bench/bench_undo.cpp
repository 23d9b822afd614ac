// Undo and redo of one step on a card of 200 labels, shapes and lines in the
// main window: the step recorded (the card written to memory and compared),
// then undone and redone (the card read back). Prints the best of several
// runs at zoom 1.0 and at 150 %.
#include "app/MainWindow.h"
#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "objects/BusinessCardLabel.h"
#include "surface/CardObject.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kObjects = 200;
constexpr int kRuns = 7;

void FillCard(TGBusinessCardPanel32 &panel)
{
    QRandomGenerator rng(11);
    for (int i = 0; i < kObjects; ++i) {
        TGGraphicControl *object;
        if (i % 3 == 0) {
            auto *line = new TGLineShape(&panel);
            line->Pen()->SetWidth(1 + i % 4);
            object = line;
        } else if (i % 3 == 1) {
            auto *shape = new TBCShapes(&panel);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->Brush()->SetColor(int32_t(rng.bounded(0xFFFFFF)));
            object = shape;
        } else {
            auto *label = new TGBusinessCardLabel(&panel);
            label->SetCaption(QStringLiteral("Label number %1").arg(i));
            object = label;
        }
        object->Loaded();
        panel.AddNewObject(object, {int(rng.bounded(280)), int(rng.bounded(150)), 0, 0});
        object->SetBounds(object->Left(), object->Top(), 10 + int(rng.bounded(60)), 10 + int(rng.bounded(30)));
    }
}

double Ms(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void Measure(TMainScreen &w, const char *zoom)
{
    TGBusinessCardPanel32 *panel = w.BusinessCardPanel();
    double record = 1e300, undo = 1e300, redo = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        TGGraphicControl *o = panel->Objects()[run % kObjects];
        o->SetBounds(o->Left() + 1, o->Top(), o->Width(), o->Height());
        record = std::min(record, Ms([&] { w.SettleStep(); }));
        undo = std::min(undo, Ms([&] { w.UndoClick(); }));
        redo = std::min(redo, Ms([&] { w.RedoClick(); }));
    }
    std::printf("  at %s: record %7.2f ms, undo %7.2f ms, redo %7.2f ms\n", zoom, record, undo, redo);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("QUORVEL_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    TMainScreen w;
    w.FormActivate();
    FillCard(*w.BusinessCardPanel());
    w.SettleStep();
    std::printf("undo and redo of one step on a card of %d objects (%lld bytes), best of %d:\n", kObjects,
                static_cast<long long>(w.BusinessCardPanel()->SaveToBytes().size()), kRuns);
    Measure(w, "100%");
    for (int i = 0; i < 5; ++i)
        w.ZoomIn();
    Measure(w, "150%");
    w.SetChangesMade(false);
    return 0;
}

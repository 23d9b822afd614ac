// Full repaint of a card panel holding 200 frame shapes and lines at zoom 1.6,
// timed over many repaints; prints the time per repaint.
#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TGBusinessCardPanel32 panel;
    panel.resize(343, 191);
    panel.SetDrawOutline(true);
    panel.SetShowGrid(true);
    QRandomGenerator rng(42);
    for (int i = 0; i < 200; ++i) {
        TGGraphicControl *o;
        if (i % 3 == 0) {
            auto *line = new TGLineShape(&panel);
            line->SetLineStyle(TGLineShape::TLineStyle(i % 4));
            line->Pen()->SetWidth(1 + i % 4);
            o = line;
        } else {
            auto *shape = new TBCShapes(&panel);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->Pen()->SetWidth(1 + i % 3);
            shape->Brush()->SetColor(int32_t(rng.bounded(0xFFFFFF)));
            o = shape;
        }
        o->Loaded();
        panel.AddNewObject(o, {int(rng.bounded(300)), int(rng.bounded(160)), 0, 0});
        o->SetBounds(o->Left(), o->Top(), 10 + int(rng.bounded(80)), 10 + int(rng.bounded(50)));
    }
    panel.SetZoom(1.6f);
    panel.show();

    // The panel paints into the window's backing store, as on screen.
    QImage target(panel.size(), QImage::Format_RGB32);
    const int rounds = 300;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        QPainter p(&target);
        panel.RenderCard(p, true);
    }
    const double ms = timer.nsecsElapsed() / 1e6 / rounds;
    std::printf("panel repaint, 200 shapes and lines at zoom 1.6 (%dx%d): %.3f ms per repaint\n",
                panel.width(), panel.height(), ms);
    return 0;
}

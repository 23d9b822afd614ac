// Full repaint of a card panel holding 10 SuperTexts with texture surfaces
// and 10 circle texts at zoom 1.6, timed over many repaints; prints the time
// per repaint. The 16 x 16 texture lies in 25 x 25 tiles at that zoom.
#include "objects/CircleText.h"
#include "objects/SuperText.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TGBusinessCardPanel32 panel;
    panel.resize(343, 191);
    panel.SetDrawOutline(true);
    QImage tile(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            tile.setPixel(x, y, (x + y) % 4 ? qRgb(40, 120, 200) : qRgb(230, 200, 60));
    for (int i = 0; i < 10; ++i) {
        auto *text = new TGSuperText(&panel);
        text->Loaded();
        panel.AddNewObject(text, {10 + 15 * i, 5 + 15 * i, 0, 0});
        text->Font()->SetSize(24);
        text->SetCaption(QStringLiteral("Super %1").arg(i));
        text->SetSurfaceType(Fill::stBrushImage);
        text->Image()->SetImage(tile);
        text->SetShadowDepth(2);
        text->SetBounds(text->Left(), text->Top(), 150, 40);

        auto *circle = new TGPCircleText(&panel);
        circle->Loaded();
        panel.AddNewObject(circle, {180 + 10 * (i % 5), 10 + 15 * i, 0, 0});
        circle->SetBounds(circle->Left(), circle->Top(), 100, 100);
        circle->SetCaption(QStringLiteral("AROUND THE CARD %1").arg(i));
    }
    panel.SetZoom(1.6f);
    panel.show();

    QImage target(panel.size(), QImage::Format_RGB32);
    const auto time = [&](const char *what) {
        const int rounds = 100;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            QPainter p(&target);
            panel.RenderCard(p, true);
        }
        std::printf("panel repaint at zoom 1.6 (%dx%d), %s: %.3f ms per repaint\n", panel.width(), panel.height(), what,
                    timer.nsecsElapsed() / 1e6 / rounds);
    };
    time("10 SuperTexts and 10 circle texts");
    for (TGGraphicControl *o : panel.Objects())
        o->SetVisible(qobject_cast<TGSuperText *>(o) != nullptr);
    time("the SuperTexts alone");
    for (TGGraphicControl *o : panel.Objects())
        o->SetVisible(qobject_cast<TGSuperText *>(o) == nullptr);
    time("the circle texts alone");
    return 0;
}

#include "app/DesignWindow.h"

#include "platform/Screen.h"
#include "surface/GHandle.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QActionGroup>
#include <QScrollArea>
#include <QToolBar>

TDesignWindow::TDesignWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(tr("Quorvel"));
    FScroll = new QScrollArea(this);
    FScroll->setBackgroundRole(QPalette::Dark);
    FPanel = new TGBusinessCardPanel32();
    const int ppi = platform::ScreenPixelsPerInch();
    // A business card: 3.5 x 2 inches at zoom 1.0.
    FPanel->resize(qRound(3.5 * ppi), 2 * ppi);
    FPanel->SetDrawOutline(true);
    FPanel->SetShape(lsRectangle);
    FScroll->setWidget(FPanel);
    FScroll->setAlignment(Qt::AlignCenter);
    setCentralWidget(FScroll);

    QToolBar *tools = addToolBar(tr("Tools"));
    auto *group = new QActionGroup(this);
    struct Tool {
        const char *caption;
        TLPanelState state;
    };
    const Tool toolList[] = {{"Pointer", psPointing},
                             {"Rectangle", psRectangle},
                             {"Ellipse", psEllipse},
                             {"Rounded Rectangle", psRoundRectangle},
                             {"Line", psLine}};
    for (const Tool &t : toolList) {
        QAction *a = tools->addAction(tr(t.caption));
        a->setCheckable(true);
        a->setChecked(t.state == psPointing);
        group->addAction(a);
        const TLPanelState state = t.state;
        connect(a, &QAction::triggered, this, [this, state] { FPanel->SetPanelState(state); });
    }
    // After a drag has created an object the pointer tool comes back.
    connect(FPanel, &TGBasePanel::DroppedObjectEvent, this, [this, group] {
        FPanel->SetPanelState(psPointing);
        group->actions().first()->setChecked(true);
    });
    tools->addSeparator();
    connect(tools->addAction(tr("Zoom In")), &QAction::triggered, this, [this] { ZoomBy(1); });
    connect(tools->addAction(tr("Zoom Out")), &QAction::triggered, this, [this] { ZoomBy(-1); });
    QAction *grid = tools->addAction(tr("Grid"));
    grid->setCheckable(true);
    connect(grid, &QAction::toggled, FPanel, &TGBasePanel::SetShowGrid);
    QAction *snap = tools->addAction(tr("Snap"));
    snap->setCheckable(true);
    connect(snap, &QAction::toggled, FPanel, &TGBasePanel::SetSnapToGrid);
    resize(640, 420);
}

void TDesignWindow::ZoomBy(int steps)
{
    // 1.0 to 1.6 in steps of 0.1; the selection is cleared before zooming.
    const int tenths = std::clamp(qRound(FZoom * 10) + steps, 10, 16);
    FZoom = tenths / 10.0f;
    FPanel->Handle()->ClearSelection();
    FPanel->SetZoom(FZoom);
}

// A plain window holding the card panel in a scroll area, with the drawing
// tools and zoom: the program's window until the full main window arrives.
#pragma once

#include <QMainWindow>

class QScrollArea;
class TGBusinessCardPanel32;

class TDesignWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit TDesignWindow(QWidget *parent = nullptr);
    TGBusinessCardPanel32 *Panel() const { return FPanel; }
    void ZoomBy(int steps);

private:
    TGBusinessCardPanel32 *FPanel;
    QScrollArea *FScroll;
    float FZoom = 1.0f;
};

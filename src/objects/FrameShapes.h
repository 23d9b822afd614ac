// Frame shapes: a rectangle, rounded rectangle or ellipse filling the object's
// bounds, with an outline pen and a fill brush.
// Holds TGLabelShapes.
#pragma once

#include "platform/Graphics.h"
#include "surface/CardObject.h"


class TGLabelShapes : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TBrush *Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(TPen *Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int RoundPerc READ RoundPerc WRITE SetRoundPerc)
    Q_PROPERTY(TShapeType Shape READ Shape WRITE SetShape)
    Q_CLASSINFO("default:RoundPerc", "25")
    Q_CLASSINFO("default:Shape", "stRectangle")

public:
    enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
    Q_ENUM(TShapeType)

    Q_INVOKABLE explicit TGLabelShapes(QObject *owner = nullptr);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TBrush *Brush() const { return FBrush; }
    void SetBrush(TBrush *v);
    TPen *Pen() const { return FPen; }
    void SetPen(TPen *v);
    int RoundPerc() const { return FRoundPerc; }
    void SetRoundPerc(int v);
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);

    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void UpdateContextMenu() override;
    void Print(TBaseReport &report, double originX, double originY) override;

    // Pen width on screen at the object's zoom (at least 1 for a visible pen).
    int ZoomedPenWidth() const;

private:
    bool FTransparent = false;
    TBrush *FBrush;
    TPen *FPen;
    int FRoundPerc = 25;
    TShapeType FShape = stRectangle;
    QAction *FTransparentItem = nullptr;
    QList<QAction *> FThicknessItems;
};

// A straight line: horizontal, vertical or along one of the diagonals of the
// object's bounds.
// Holds TGLineShape.
#pragma once

#include "platform/Graphics.h"
#include "surface/CardObject.h"


class TGLineShape : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(TLineStyle LineStyle READ LineStyle WRITE SetLineStyle)
    Q_PROPERTY(TPen *Pen READ Pen WRITE SetPen)
    Q_CLASSINFO("default:LineStyle", "stHorizontal")

public:
    enum TLineStyle { stHorizontal, stVertical, stAngleSlopingUp, stAngleSlopingDown };
    Q_ENUM(TLineStyle)

    Q_INVOKABLE explicit TGLineShape(QObject *owner = nullptr);

    TLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLineStyle v);
    TPen *Pen() const { return FPen; }
    void SetPen(TPen *v);

    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void UpdateContextMenu() override;
    void Print(TBaseReport &report, double originX, double originY) override;

    int ZoomedPenWidth() const;
    void StretchToEdges();

private:
    TLineStyle FLineStyle = stHorizontal;
    TPen *FPen;
    QList<QAction *> FThicknessItems;
    QList<QAction *> FStyleItems;
};

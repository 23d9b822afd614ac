// Holds TGLabelShapes.
#include "objects/FrameShapes.h"

#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"

#include <QMenu>
#include <QPainter>

TGLabelShapes::TGLabelShapes(QObject *owner)
    : TGGraphicControl(owner), FBrush(new TBrush(this)), FPen(new TPen(this))
{
    SetInitialSize(25, 25);
    connect(FBrush, &TBrush::Changed, this, [this] { Invalidate(); });
    connect(FPen, &TPen::Changed, this, [this] { Invalidate(); });
}

void TGLabelShapes::SetTransparent(bool v)
{
    if (FTransparent == v)
        return;
    FTransparent = v;
    FBrush->SetStyle(v ? Vcl::bsClear : Vcl::bsSolid);
    Invalidate();
}

void TGLabelShapes::SetBrush(TBrush *v)
{
    if (v)
        FBrush->Assign(*v);
}

void TGLabelShapes::SetPen(TPen *v)
{
    if (v)
        FPen->Assign(*v);
}

void TGLabelShapes::SetRoundPerc(int v)
{
    if (FRoundPerc == v)
        return;
    FRoundPerc = v;
    Invalidate();
}

void TGLabelShapes::SetShape(TShapeType v)
{
    if (FShape == v)
        return;
    FShape = v;
    Invalidate();
}

int TGLabelShapes::ZoomedPenWidth() const
{
    const int w = FPen->Width();
    const double z = ZoomFactor();
    if (z == 1.0)
        return w;
    int p = platform::Round(w * z);
    if (p <= 0 && w > 0)
        p = 1;
    return p;
}

void TGLabelShapes::Paint(QPainter &canvas)
{
    const int p = ZoomedPenWidth();
    const int h = p / 2;
    canvas.save();
    // The outline is always drawn solid on screen; the pen style shows in print.
    platform::SetGdiPen(canvas, platform::ToQColor(FPen->Color()), p);
    canvas.setBrush(platform::ToQBrush(*FBrush));
    canvas.setCompositionMode(platform::ToCompositionMode(FPen->Mode()));
    const int x2 = Width() - p + 1 + h;
    const int y2 = Height() - p + 1 + h;
    switch (FShape) {
    case stRectangle:
    case stSquare:
        platform::GdiRectangle(canvas, h, h, x2, y2);
        break;
    case stRoundRect:
    case stRoundSquare: {
        const int c = platform::Trunc(FRoundPerc * 0.01 * std::max(Width(), Height()));
        platform::GdiRoundRect(canvas, h, h, x2, y2, c, c);
        break;
    }
    case stEllipse:
    case stCircle:
        platform::GdiEllipse(canvas, h, h, x2, y2);
        break;
    }
    canvas.restore();
}

void TGLabelShapes::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Background Color"), [this] {
        int32_t color = FBrush->Color();
        if (!platform::ChooseColor(color, Panel()))
            return;
        FBrush->SetColor(color);
        NotifyChanged();
        SetTransparent(false);
        Invalidate();
    });
    AddMenuItem(tr("Line Color"), [this] {
        int32_t color = FPen->Color();
        if (!platform::ChooseColor(color, Panel()))
            return;
        FPen->SetColor(color);
        NotifyChanged();
        Invalidate();
    });
    FThicknessItems = AddLineThicknessMenu(FPen);
    AddSeparator();
    FTransparentItem = AddMenuItem(tr("Transparent"), [this] { SetTransparent(!FTransparent); });
    FTransparentItem->setCheckable(true);
    if (FShape == stRoundRect || FShape == stRoundSquare) {
        AddSeparator();
        QMenu *rounding = AddSubMenu(tr("Degree of Rounding"));
        for (int n = 20; n <= 80; n += 10)
            connect(rounding->addAction(QString::number(n) + QStringLiteral(" %")), &QAction::triggered, this,
                    [this, n] {
                        SetRoundPerc(n);
                        NotifyChanged();
                    });
    }
}

void TGLabelShapes::UpdateContextMenu()
{
    if (FTransparentItem)
        FTransparentItem->setChecked(FTransparent);
    TickLineThickness(FThicknessItems, FPen->Width());
}

void TGLabelShapes::Print(TBaseReport &report, double originX, double originY)
{
    const double screenPpi = ppi();
    const double xl = originX + Left() / screenPpi;
    const double xr = originX + (Left() + Width()) / screenPpi;
    const double yt = originY + Top() / screenPpi;
    const double yb = originY + (Top() + Height()) / screenPpi;
    // The outline keeps its width in inches: whole hundredths of an inch.
    const int hundredths = platform::Trunc(FPen->Width() / screenPpi * 100);
    report.SelectPen(FPen->Color(), FPen->Style(), FPen->Mode(), -hundredths);
    report.SelectBrush(FBrush->Color(), FBrush->Style());
    switch (FShape) {
    case stRectangle:
    case stSquare:
        report.DrawRect(xl, yt, xr, yb);
        break;
    case stRoundRect:
    case stRoundSquare: {
        const double corner = FRoundPerc * 0.01 * (Height() < Width() ? xr - xl : yb - yt);
        report.DrawRoundRect(xl, yt, xr, yb, corner, corner);
        break;
    }
    case stEllipse:
    case stCircle:
        report.DrawEllipse(xl, yt, xr, yb);
        break;
    }
}

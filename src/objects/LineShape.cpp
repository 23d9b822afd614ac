// Holds TGLineShape.
#include "objects/LineShape.h"

#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Graphics.h"
#include "platform/Rounding.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"

#include <QMenu>
#include <QPainter>

TGLineShape::TGLineShape(QObject *owner) : TGGraphicControl(owner), FPen(new TPen(this))
{
    SetInitialSize(10, 10);
    connect(FPen, &TPen::Changed, this, [this] { Invalidate(); });
}

void TGLineShape::SetLineStyle(TLineStyle v)
{
    if (FLineStyle == v)
        return;
    FLineStyle = v;
    Invalidate();
}

void TGLineShape::SetPen(TPen *v)
{
    if (v)
        FPen->Assign(*v);
}

int TGLineShape::ZoomedPenWidth() const
{
    const double z = ZoomFactor();
    return z == 1.0 ? FPen->Width() : platform::Round(FPen->Width() * z);
}

void TGLineShape::Paint(QPainter &canvas)
{
    const int p = ZoomedPenWidth();
    const int h = p / 2;
    canvas.save();
    platform::SetGdiPen(canvas, platform::ToQColor(FPen->Color()), p, platform::ToQtPenStyle(FPen->Style()));
    canvas.setCompositionMode(platform::ToCompositionMode(FPen->Mode()));
    switch (FLineStyle) {
    case stHorizontal:
        platform::GdiLine(canvas, h, h, Width() - p + h + 1, h);
        break;
    case stVertical:
        platform::GdiLine(canvas, h, h, h, Height() - p + h + 1);
        break;
    case stAngleSlopingUp:
        platform::GdiLine(canvas, Width(), 0, 0, Height());
        break;
    case stAngleSlopingDown:
        platform::GdiLine(canvas, 0, 0, Width(), Height());
        break;
    }
    canvas.restore();
}

void TGLineShape::StretchToEdges()
{
    TGBasePanel *panel = Panel();
    if (!panel)
        return;
    if (FLineStyle == stHorizontal)
        SetBounds(0, Top(), panel->width(), Height());
    else if (FLineStyle == stVertical)
        SetBounds(Left(), 0, Width(), panel->height());
    Invalidate();
}

void TGLineShape::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    QMenu *style = AddSubMenu(tr("Style"));
    FStyleItems.clear();
    const QStringList captions{tr("Horizontal"), tr("Vertical"), tr("Angled Sloping Up"), tr("Angled Sloping Down")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction *a = style->addAction(captions[i]);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            NotifyChanged();
            SetLineStyle(TLineStyle(i));
        });
        FStyleItems.append(a);
    }
    AddMenuItem(tr("Color"), [this] {
        int32_t color = FPen->Color();
        if (!platform::ChooseColor(color, Panel()))
            return;
        NotifyChanged();
        FPen->SetColor(color);
        Invalidate();
    });
    FThicknessItems = AddLineThicknessMenu(FPen);
    AddSeparator();
    AddMenuItem(tr("Stretch To Edges"), [this] { StretchToEdges(); });
}

void TGLineShape::UpdateContextMenu()
{
    TickLineThickness(FThicknessItems, FPen->Width());
    for (int i = 0; i < FStyleItems.size(); ++i)
        FStyleItems[i]->setChecked(int(FLineStyle) == i);
}

void TGLineShape::Print(TBaseReport &report, double originX, double originY)
{
    const double screenPpi = ppi();
    // The pixel width is printed as that many hundredths of an inch.
    report.SelectPen(FPen->Color(), FPen->Style(), Vcl::pmCopy, -FPen->Width());
    const int t = FPen->Width() / 2;
    const double xl = originX + Left() / screenPpi;
    const double xr = originX + (Left() + Width()) / screenPpi;
    const double y1 = originY + (Top() + t) / screenPpi;
    const double y2 = originY + (Top() + t + Height()) / screenPpi;
    switch (FLineStyle) {
    case stHorizontal:
        report.MoveTo(xl, y1);
        report.LineTo(xr, y1);
        break;
    case stVertical:
        report.MoveTo(xl, y1);
        report.LineTo(xl, y2);
        break;
    case stAngleSlopingUp:
        report.MoveTo(xl, y2);
        report.LineTo(xr, y1);
        break;
    case stAngleSlopingDown:
        report.MoveTo(xl, y1);
        report.LineTo(xr, y2);
        break;
    }
}

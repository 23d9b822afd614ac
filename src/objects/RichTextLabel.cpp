// Holds TGPRichBaseLabel.
#include "objects/RichTextLabel.h"

#include "objects/ObjectEditors.h"
#include "objects/ObjectRecording.h"
#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "richtext/RichTextControl.h"
#include "surface/CardPanel.h"

#include <QAction>
#include <QPainter>

TGPRichBaseLabel::TGPRichBaseLabel(QObject *owner) : TGGraphicControl(owner), FRTFText(new TRichTextContainer(this))
{
    SetInitialSize(190, 33);
    connect(FRTFText, &TRichTextContainer::Changed, this, [this] { Invalidate(); });
}

// ---- stored properties ----

void TGPRichBaseLabel::SetRTFText(TRichTextContainer *text)
{
    if (text && text != FRTFText)
        FRTFText->Assign(*text);
    Invalidate();
    if (!IsLoading())
        NotifyChanged();
}

void TGPRichBaseLabel::SetBorderStyle(Vcl::TBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    Invalidate();
    if (!IsLoading())
        NotifyChanged();
}

void TGPRichBaseLabel::SetTransparent(bool v)
{
    if (v == FTransparent)
        return;
    FTransparent = v;
    Invalidate();
}

void TGPRichBaseLabel::SetBGColor(TColor v)
{
    if (v.value == FBGColor.value)
        return;
    FBGColor = v;
    Invalidate();
    if (!IsLoading())
        NotifyChanged();
}

// ---- life ----

void TGPRichBaseLabel::Loaded()
{
    TGGraphicControl::Loaded();
    FMaster = FindMasterRichText(this);
    AddSeparator();
    // The menu's toggle is a change of the card the user must be asked to save.
    FTransparentItem = AddMenuItem(tr("Transparent"), [this] {
        SetTransparent(!FTransparent);
        NotifyChanged();
    });
    FTransparentItem->setCheckable(true);
    FTransparentItem->setChecked(FTransparent);
    AddMenuItem(tr("Background Color"), [this] { ChooseBackgroundColor(); });
    FBorderItem = AddMenuItem(tr("Border"), [this] {
        SetBorderStyle(FBorderStyle == Vcl::bsSingle ? Vcl::bsNone : Vcl::bsSingle);
    });
    FBorderItem->setCheckable(true);
    FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
    AddMenuItem(tr("Edit"), [this] { Edit(); });
    OnEdit = [this](QObject *) { Edit(); };
}

void TGPRichBaseLabel::UpdateContextMenu()
{
    if (FTransparentItem)
        FTransparentItem->setChecked(FTransparent);
    if (FBorderItem)
        FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
}

void TGPRichBaseLabel::ChooseBackgroundColor()
{
    int32_t color = FBGColor.value;
    if (!platform::ChooseColor(color, Panel()))
        return;
    FBGColor = color;
    NotifyChanged();
    FTransparent = false;
    Invalidate();
}

TWPRichText *TGPRichBaseLabel::MasterEngine() const { return FMaster; }

// ---- drawing ----

int TGPRichBaseLabel::PageWidthTwips() const
{
    return platform::Trunc(Width() / ZoomFactor() / ppi() * 1440);
}

int TGPRichBaseLabel::PageHeightTwips() const
{
    return platform::Trunc(Height() / ZoomFactor() / ppi() * 1440);
}

void TGPRichBaseLabel::Render(QPainter &canvas)
{
    if (!FMaster)
        return;
    canvas.save();
    if (FTransparent) {
        FMaster->SetBackgroundColor(Qt::white);
    } else {
        const QColor background = platform::ToQColor(FBGColor.value);
        FMaster->SetBackgroundColor(background);
        canvas.fillRect(QRect(0, 0, Width(), Height()), background);
    }
    FMaster->SetRTFText(*FRTFText);
    FMaster->SetZoom(platform::Trunc(ZoomFactor() * 100));
    FMaster->SetPageLayout(PageWidthTwips(), PageHeightTwips());
    FMaster->SetWordWrap(true);
    FMaster->PaintFirstPage(canvas, QRect(0, 0, Width(), Height()));
    if (FBorderStyle == Vcl::bsSingle) {
        platform::SetGdiPen(canvas, Qt::black, 1);
        canvas.setBrush(Qt::NoBrush);
        platform::GdiRectangle(canvas, 0, 0, Width(), Height());
    }
    canvas.restore();
}

void TGPRichBaseLabel::Paint(QPainter &canvas) { Render(canvas); }

void TGPRichBaseLabel::Print(TBaseReport &report, double originX, double originY)
{
    const QPicture recording = RecordObjectArea(*this, [this](QPainter &p) { Render(p); });
    PrintObjectRecording(*this, report, originX, originY, recording);
}

// ---- editing ----

void TGPRichBaseLabel::Edit()
{
    const auto &editor = editors::ObjectEditors().RichText;
    if (!editor)
        return;
    const double z = ZoomFactor();
    TRichTextContainer text;
    text.Assign(*FRTFText);
    editors::TRichTextEditSetup setup;
    setup.Text = &text;
    setup.Transparent = FTransparent;
    setup.BackgroundColor = FBGColor.value;
    setup.PanelWidth = Width() + 1;
    setup.PanelHeight = Height() + 1;
    setup.PageWidthTwips = platform::Trunc(platform::Round(Width() / z) / double(ppi()) * 1440);
    setup.PageHeightTwips = platform::Trunc(platform::Round(Height() / z) / double(ppi()) * 1440);
    setup.Zoom = platform::Round(z * 100);
    if (!editor(Panel(), setup))
        return;
    SetRTFText(&text);
    Invalidate();
}

// Holds TGBaseLabel.
#include "objects/TextLabelBase.h"

#include "objects/ObjectEditors.h"
#include "objects/ObjectRecording.h"
#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"

#include <QMenu>
#include <QPainter>
#include <algorithm>

TGBaseLabel::TGBaseLabel(QObject *owner) : TGGraphicControl(owner), FFont(new TFont(this))
{
    SetInitialSize(142, 33);
    FCaption = QStringLiteral("Text");
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(10);
    FFont->SetColor(platform::clBlack);
    connect(FFont, &TFont::Changed, this, [this] {
        FLayoutDirty = true;
        Changed();
        Invalidate();
    });
}

void TGBaseLabel::Changed()
{
    if (!IsLoading())
        NotifyChanged();
}

// ---- stored properties ----

void TGBaseLabel::SetAlignment(Vcl::TAlignment v)
{
    FAlignment = v;
    FLayoutDirty = true;
    Invalidate();
    Changed();
}

void TGBaseLabel::SetDepthHighlight(int v)
{
    if (FDepthHighlight == v)
        return;
    FDepthHighlight = v;
    UpdateHighlightOffset();
}

void TGBaseLabel::SetDepthShadow(int v)
{
    if (FDepthShadow == v)
        return;
    FDepthShadow = v;
    UpdateShadowOffset();
}

void TGBaseLabel::SetDirectionHighlight(THighlightDirection v)
{
    if (FDirectionHighlight == v)
        return;
    FDirectionHighlight = v;
    UpdateHighlightOffset();
}

void TGBaseLabel::SetDirectionShadow(TShadowDirection v)
{
    if (FDirectionShadow == v)
        return;
    FDirectionShadow = v;
    UpdateShadowOffset();
}

void TGBaseLabel::UpdateShadowOffset()
{
    const int d = FDepthShadow;
    switch (FDirectionShadow) {
    case sdNone: FShadowOffset = {0, 0}; break;
    case sdRight: FShadowOffset = {d, 0}; break;
    case sdLeft: FShadowOffset = {-d, 0}; break;
    case sdDownRight: FShadowOffset = {d, d}; break;
    case sdDownLeft: FShadowOffset = {-d, d}; break;
    case sdDown: FShadowOffset = {0, d}; break;
    }
    FLayoutDirty = true;
    Invalidate();
}

void TGBaseLabel::UpdateHighlightOffset()
{
    const int d = FDepthHighlight;
    switch (FDirectionHighlight) {
    case hdNone: FHighlightOffset = {0, 0}; break;
    case hdright: FHighlightOffset = {d, 0}; break;
    case hdLeft: FHighlightOffset = {-d, 0}; break;
    case hdUpRight: FHighlightOffset = {d, -d}; break;
    case hdUpLeft: FHighlightOffset = {-d, -d}; break;
    case hdUp: FHighlightOffset = {0, -d}; break;
    }
    FLayoutDirty = true;
    Invalidate();
}

void TGBaseLabel::SetcolorHighlight(TColor v)
{
    FColorHighlight = v;
    Invalidate();
}

void TGBaseLabel::SetcolorShadow(TColor v)
{
    FColorShadow = v;
    Invalidate();
}

void TGBaseLabel::SetAngle(int v)
{
    if (v != 0 && v != 90 && v != 180 && v != 270)
        return;
    if (v == FAngle)
        return;
    FAngle = v;
    FLayoutDirty = true;
    if (v != 0)
        FAlignment = Vcl::taLeftJustify;
    const bool upright = v == 0 || v == 180;
    if ((upright && Width() < Height()) || (!upright && Height() < Width()))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TGBaseLabel::SetCaption(const QString &v)
{
    if (FCaption == v)
        return;
    FCaption = v;
    // Right and centred text place themselves by the caption's width.
    FLayoutDirty = true;
    Changed();
    Invalidate();
}

void TGBaseLabel::SetFont(TFont *v)
{
    if (v)
        FFont->Assign(*v);
}

void TGBaseLabel::SetTransparent(bool v)
{
    if (FTransparent == v)
        return;
    FTransparent = v;
    if (FTransparentItem)
        FTransparentItem->setChecked(v);
    Changed();
    Invalidate();
}

void TGBaseLabel::SetBackColor(TColor v)
{
    FBackColor = v;
    Changed();
    Invalidate();
}

void TGBaseLabel::SetBorderStyle(Vcl::TBorderStyle v)
{
    FBorderStyle = v;
    Invalidate();
    Changed();
}

// ---- layout ----

QPoint TGBaseLabel::Turned(QPoint o) const
{
    switch (FAngle) {
    case 90: return {o.y(), -o.x()};
    case 180: return {-o.x(), -o.y()};
    case 270: return {-o.y(), o.x()};
    default: return o;
    }
}

static TRect Moved(const TRect &r, QPoint by)
{
    return {r.left + by.x(), r.top + by.y(), r.right + by.x(), r.bottom + by.y()};
}

// The corner where text turned by the angle starts.
static QPoint StartCorner(const TRect &r, int angle)
{
    switch (angle) {
    case 90: return {r.left, r.bottom};
    case 180: return {r.right, r.bottom};
    case 270: return {r.right, r.top};
    default: return {r.left, r.top};
    }
}

void TGBaseLabel::Layout()
{
    const platform::TCanvasFont font = CanvasFont();
    const platform::TTextMetric tm = font.Metrics();
    const int h = tm.Height + tm.InternalLeading + tm.ExternalLeading;
    const int w = font.TextWidth(FCaption + QLatin1Char(' '));
    const int sx = FShadowOffset.x(), sy = FShadowOffset.y();
    const int hx = FHighlightOffset.x(), hy = FHighlightOffset.y();
    FLineHeight = h;
    FCaptionWidth = w;

    // Room for copies that lie left of or above the text.
    int ix = 0, iy = 0;
    if (sx < 0)
        ix = -sx;
    if (hx < 0)
        ix = std::max(-hx, ix);
    if (sy < 0)
        iy = -sy;
    if (hy < 0)
        iy = std::max(-hy, iy);
    FInset = {ix, iy};
    const int e = h + sy - hy;
    FExtent = e;

    // The bounds follow the extent across the line; along the line they are
    // left to fit to text, except where they have collapsed.
    int W = Width(), H = Height();
    if (FAngle == 0 || FAngle == 180) {
        if (FAngle == 180 && 2 * w < W)
            W = 2 * w;
        if (W <= 5)
            W = w;
        if (e * 1.2 < H)
            H = platform::Trunc(e * 1.2);
        if (e > H)
            H = e;
    } else {
        if (w * 1.2 < H)
            H = platform::Trunc(w * 1.2);
        if (H < 5)
            H = w;
        if (e * 1.2 < W)
            W = platform::Trunc(e * 1.2);
        if (e > W)
            W = e;
    }
    SetFittedBounds(Left(), Top(), W, H);
    // A subclass may have adjusted the bounds again in BoundsChanged.
    W = Width();
    H = Height();

    TRect text = (FAngle == 0 || FAngle == 180) ? TRect{ix, iy, W, h + iy} : TRect{iy, ix, iy + h, H - iy};
    const int rw = text.right - text.left + 1;
    const int rh = text.bottom - text.top + 1;
    if (FAngle == 90)
        text = Moved(text, {0, H - rh + hx});
    else if (FAngle == 180)
        text = Moved(text, {W - rw - sy, 0});
    FTextRect = text;
    FShadowRect = Moved(text, Turned(FShadowOffset));
    FHighlightRect = Moved(text, Turned(FHighlightOffset));
    FTextOrigin = StartCorner(FTextRect, FAngle);
    FShadowOrigin = StartCorner(FShadowRect, FAngle);
    FHighlightOrigin = StartCorner(FHighlightRect, FAngle);

    if (FAngle == 0) {
        int x = text.left;
        if (FAlignment == Vcl::taRightJustify)
            x = text.right - w;
        else if (FAlignment == Vcl::taCenter)
            x = (text.right - text.left) / 2 - w / 2; // the rectangle's left is not added back
        FTextOrigin.setX(x);
        FHighlightOrigin.setX(x + hx);
        FShadowOrigin.setX(x + sx);
    }
    FLayoutDirty = false;
}

void TGBaseLabel::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    FLayoutDirty = true;
    if (Width() <= 0 || Height() <= 0)
        SetFittedBounds(Left(), Top(), std::max(Width(), 1), std::max(Height(), 1));
}

// ---- painting ----

void TGBaseLabel::Paint(QPainter &canvas)
{
    if (Width() < 5 || Height() < 5)
        FLayoutDirty = true;
    DrawLabel(canvas);
}

void TGBaseLabel::DrawLabel(QPainter &canvas)
{
    if (FLayoutDirty)
        Layout();
    const int W = Width(), H = Height();
    if (!FTransparent) {
        // A rectangle without a pen leaves its right column and bottom row.
        canvas.fillRect(QRect(0, 0, W - 1, H - 1), platform::ToQColor(FBackColor));
    }
    const platform::TCanvasFont font = CanvasFont();
    // Set once for the three copies, so that a recording stores it once.
    canvas.save();
    canvas.setFont(font.MetricsFont());
    // A copy that lies exactly under a later one never shows, but its
    // smoothed edges would fringe the letters on top (and a printed page
    // would carry the text three times): it is drawn only where it shows.
    const bool highlightShows = FHighlightOrigin != FTextOrigin;
    const bool shadowShows = FShadowOrigin != FTextOrigin && !(highlightShows && FShadowOrigin == FHighlightOrigin);
    if (shadowShows)
        font.TextRect(canvas, FShadowRect.ToQRect(), FShadowOrigin, FCaption, platform::ToQColor(FColorShadow),
                      FAngle);
    if (highlightShows)
        font.TextRect(canvas, FHighlightRect.ToQRect(), FHighlightOrigin, FCaption,
                      platform::ToQColor(FColorHighlight), FAngle);
    font.TextRect(canvas, FTextRect.ToQRect(), FTextOrigin, FCaption, platform::ToQColor(FFont->Color()), FAngle);
    canvas.restore();
    if (FBorderStyle == Vcl::bsSingle) {
        canvas.save();
        platform::SetGdiPen(canvas, Qt::black, 1);
        canvas.setBrush(Qt::NoBrush);
        platform::GdiRectangle(canvas, 0, 0, W, H);
        canvas.restore();
    }
}

TGBaseLabel::TDrawingKey TGBaseLabel::DrawingKey() const
{
    TDrawingKey key;
    key.Caption = FCaption;
    key.FontName = FFont->Name();
    key.FontHeight = FFont->Height();
    key.FontStyle = int(FFont->Style().toInt());
    key.FontCharset = FFont->Charset().value;
    key.FontPitch = int(FFont->Pitch());
    key.Zoom = ZoomFactor();
    key.ScreenPpi = ppi();
    key.Width = Width();
    key.Height = Height();
    key.Angle = FAngle;
    key.Alignment = int(FAlignment);
    key.ShadowOffset = FShadowOffset;
    key.HighlightOffset = FHighlightOffset;
    key.TextColor = platform::ToQColor(FFont->Color()).rgba();
    key.ShadowColor = platform::ToQColor(FColorShadow).rgba();
    key.HighlightColor = platform::ToQColor(FColorHighlight).rgba();
    key.BackColor = platform::ToQColor(FBackColor).rgba();
    key.Transparent = FTransparent;
    key.BorderStyle = int(FBorderStyle);
    key.TextRect = FTextRect;
    key.ShadowRect = FShadowRect;
    key.HighlightRect = FHighlightRect;
    key.TextOrigin = FTextOrigin;
    key.ShadowOrigin = FShadowOrigin;
    key.HighlightOrigin = FHighlightOrigin;
    return key;
}

QPicture TGBaseLabel::Recording()
{
    if (FLayoutDirty)
        Layout();
    // The key is taken after the layout, so that it holds the positions the
    // drawing will use as well as the properties they came from.
    TDrawingKey key = DrawingKey();
    return FRecording.Get(*this, std::move(key), [this](QPainter &p) { DrawLabel(p); });
}

void TGBaseLabel::Print(TBaseReport &report, double originX, double originY)
{
    PrintObjectRecording(*this, report, originX, originY, Recording());
}

// ---- fit to text ----

void TGBaseLabel::FitToText()
{
    if (FAngle != 0)
        return;
    const platform::TCanvasFont font = CanvasFont();
    const int left = std::max({FTextRect.left, FShadowRect.left, FHighlightRect.left});
    const int top = std::max({FTextRect.top, FShadowRect.top, FHighlightRect.top});
    const int neededWidth = left + font.TextWidth(FCaption + QStringLiteral("     "));
    const int neededHeight = top + font.TextHeight();
    SetBounds(Left(), Top(), std::max(Width(), neededWidth), std::max(Height(), neededHeight));
    FLayoutDirty = true;
    Invalidate();
}

int TGBaseLabel::CaptionLength() const
{
    const bool placedByStart = FAngle != 0 || FAlignment == Vcl::taLeftJustify;
    const int text = CanvasFont().TextWidth(placedByStart ? FCaption : FCaption + QLatin1Char(' '));
    const int before = std::max({0, -FShadowOffset.x(), -FHighlightOffset.x()});
    const int after = std::max({0, FShadowOffset.x(), FHighlightOffset.x()});
    return before + text + after;
}

int TGBaseLabel::CaptionRoom() const
{
    return FAngle == 0 || FAngle == 180 ? Width() : Height();
}

// ---- commands ----

void TGBaseLabel::AssignFont(const TFont &font)
{
    FFont->Assign(font);
    FLayoutDirty = true;
}

void TGBaseLabel::EditFont()
{
    TFont chosen;
    chosen.Assign(*FFont);
    if (!platform::ChooseFont(chosen, Panel()))
        return;
    FFont->Assign(chosen);
    FLayoutDirty = true;
}

void TGBaseLabel::Edit3DEffects()
{
    const auto &editor = editors::ObjectEditors().Effects3D;
    if (editor && editor(Panel(), *this))
        NotifyChanged();
}

void TGBaseLabel::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Font"), [this] { EditFont(); });
    AddMenuItem(tr("3D Effects"), [this] { Edit3DEffects(); });
    QMenu *alignment = AddSubMenu(tr("Alignment"));
    const auto addAlignment = [this, alignment](const QString &caption, Vcl::TAlignment value) {
        QAction *a = alignment->addAction(caption);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, value] {
            SetAlignment(value);
            NotifyChanged();
        });
        return a;
    };
    FLeftItem = addAlignment(tr("Left"), Vcl::taLeftJustify);
    FCenterItem = addAlignment(tr("Center"), Vcl::taCenter);
    FRightItem = addAlignment(tr("Right"), Vcl::taRightJustify);
    FTransparentItem = AddMenuItem(tr("Transparent"), [this] { SetTransparent(!FTransparent); });
    FTransparentItem->setCheckable(true);
    FTransparentItem->setChecked(FTransparent);
    AddMenuItem(tr("Background Color"), [this] {
        int32_t color = FBackColor;
        if (!platform::ChooseColor(color, Panel()))
            return;
        SetBackColor(color);
        // Always opaque afterwards, even when the colour did not change.
        SetTransparent(false);
        FTransparentItem->setChecked(false);
        Invalidate();
    });
    FBorderItem = AddMenuItem(tr("Border"), [this] {
        SetBorderStyle(FBorderStyle == Vcl::bsSingle ? Vcl::bsNone : Vcl::bsSingle);
    });
    FBorderItem->setCheckable(true);
    FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
}

void TGBaseLabel::UpdateContextMenu()
{
    TGGraphicControl::UpdateContextMenu();
    if (FBorderItem)
        FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
    if (FLeftItem) {
        FLeftItem->setChecked(FAlignment == Vcl::taLeftJustify);
        FRightItem->setChecked(FAlignment == Vcl::taRightJustify);
        FCenterItem->setChecked(FAlignment == Vcl::taCenter);
    }
    if (FRotationMenuPresent) {
        const int angles[4] = {0, 90, 180, 270};
        for (int i = 0; i < FRotationItems.size() && i < 4; ++i)
            FRotationItems[i]->setChecked(FAngle == angles[i]);
    }
}

// Holds TGSuperText.
#include "objects/SuperText.h"

#include "objects/ObjectEditors.h"
#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "surface/CardPanel.h"
#include "platform/Screen.h"
#include "report/ReportBase.h"

#include <QMenu>
#include <QPainter>
#include <QTransform>
#include <algorithm>

// ---- TGSuperText ----

TGSuperText::TGSuperText(QObject *owner)
    : TGGraphicControl(owner), FFont(new TFont(this)), FImage(new TTileBitmap(this))
{
    SetInitialSize(142, 33);
    FCaption = QStringLiteral("Text");
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(48);
    FFont->SetStyle(Vcl::fsBold);
    FFont->SetColor(platform::clBlack);
    connect(FFont, &TFont::Changed, this, [this] {
        FLayoutDirty = true;
        Invalidate();
    });
    RebuildGradient();
}

void TGSuperText::Changed()
{
    if (!IsLoading())
        NotifyChanged();
}

// ---- stored properties ----

void TGSuperText::SetShadowDepth(int v)
{
    if (FShadowDepth == v)
        return;
    FShadowDepth = v;
    UpdateShadowOffset();
}

void TGSuperText::SetShadowOrientation(TShadowOrientation v)
{
    if (FShadowOrientation == v)
        return;
    FShadowOrientation = v;
    UpdateShadowOffset();
}

void TGSuperText::UpdateShadowOffset()
{
    const int d = FShadowDepth;
    switch (FShadowOrientation) {
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

void TGSuperText::SetShadowcolor(TColor v)
{
    if (FShadowcolor == v)
        return;
    FShadowcolor = v;
    Invalidate();
}

void TGSuperText::SetBorderStyle(Vcl::TBorderStyle v)
{
    if (FBorderStyle == v)
        return;
    FBorderStyle = v;
    Invalidate();
    Changed();
}

void TGSuperText::SetControlTransparent(bool v)
{
    if (FControlTransparent == v)
        return;
    FControlTransparent = v;
    Invalidate();
}

void TGSuperText::SetBGColor(TColor v)
{
    if (FBGColor == v)
        return;
    FBGColor = v;
    Invalidate();
    Changed();
}

void TGSuperText::SetCaption(const QString &v)
{
    if (FCaption == v)
        return;
    FCaption = v;
    FLayoutDirty = true;
    Changed();
    Invalidate();
}

void TGSuperText::SetFont(TFont *v)
{
    if (v)
        FFont->Assign(*v);
}

void TGSuperText::SetFillDirection(Fill::TFillDirection v)
{
    if (FFillDirection == v)
        return;
    FFillDirection = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TGSuperText::SetGradientToColor(TColor v)
{
    if (FGradientToColor == v)
        return;
    FGradientToColor = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TGSuperText::SetGradientFromColor(TColor v)
{
    if (FGradientFromColor == v)
        return;
    FGradientFromColor = v;
    Changed();
    RebuildGradientIfShown();
    Invalidate();
}

void TGSuperText::SetImage(TTileBitmap *v)
{
    if (v == FImage)
        return;
    if (v)
        FImage->Assign(*v);
    else
        FImage->Clear();
    Invalidate();
}

void TGSuperText::SetOutlineColor(TColor v)
{
    if (FOutlineColor == v)
        return;
    FOutlineColor = v;
    Invalidate();
}

void TGSuperText::SetOutlineStyle(Vcl::TPenStyle v)
{
    if (FOutlineStyle == v)
        return;
    FOutlineStyle = v;
    Invalidate();
}

void TGSuperText::SetOutlineWidth(int v)
{
    if (FOutlineWidth == v)
        return;
    FOutlineWidth = v;
    Invalidate();
}

void TGSuperText::SetSurfaceType(Fill::TSurfaceType v)
{
    if (FSurfaceType == v)
        return;
    FSurfaceType = v;
    if (v != Fill::stBrushImage)
        FImage->Clear();
    if (v == Fill::stGradientFill)
        RebuildGradient();
    if (v == Fill::stBrushTransparent && FOutlineStyle == Vcl::psClear)
        FOutlineStyle = Vcl::psSolid;
    Invalidate();
}

// ---- gradient ----

void TGSuperText::RebuildGradient()
{
    // An absurdly large object (a damaged card) paints its bands directly
    // rather than hold a bitmap of its size.
    if (qint64(Width()) * Height() > kLargestGradientBitmap) {
        FGradient = QImage();
        return;
    }
    FGradient = platform::GradientBitmap(Width(), Height(), FGradientFromColor, FGradientToColor, FFillDirection);
}

void TGSuperText::RebuildGradientIfShown()
{
    if (FSurfaceType == Fill::stGradientFill)
        RebuildGradient();
}

// ---- card object slots ----

// Built when the menu is first shown, not while a card is read.
void TGSuperText::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Font"), [this] { EditFont(); });
    FTransparentItem = AddMenuItem(tr("Transparent"), [this] {
        SetControlTransparent(!FControlTransparent);
        // The look of the card changed: it must be saved like any other change.
        NotifyChanged();
    });
    FTransparentItem->setCheckable(true);
    AddMenuItem(tr("Background Color"), [this] {
        int32_t color = FBGColor;
        if (!platform::ChooseColor(color, Panel()))
            return;
        SetBGColor(color);
        NotifyChanged();
        SetControlTransparent(false);
        Invalidate();
    });
    FBorderItem = AddMenuItem(tr("Border"), [this] {
        SetBorderStyle(FBorderStyle == Vcl::bsSingle ? Vcl::bsNone : Vcl::bsSingle);
    });
    FBorderItem->setCheckable(true);
    AddMenuItem(tr("Properties"), [this] { EditProperties(); });
    UpdateContextMenu();
}

void TGSuperText::Loaded()
{
    TGGraphicControl::Loaded();
    try {
        RebuildGradientIfShown();
    } catch (...) {
        // The gradient is made again with the next change of size or colour.
    }
}

void TGSuperText::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    FLayoutDirty = true;
    if (Width() <= 0 || Height() <= 0)
        SetBounds(Left(), Top(), std::max(Width(), 1), std::max(Height(), 1));
    RebuildGradientIfShown();
}

void TGSuperText::UpdateContextMenu()
{
    TGGraphicControl::UpdateContextMenu();
    if (FBorderItem)
        FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
    if (FTransparentItem)
        FTransparentItem->setChecked(FControlTransparent);
}

void TGSuperText::AssignFont(const TFont &font)
{
    FFont->Assign(font);
    FLayoutDirty = true;
}

void TGSuperText::EditFont()
{
    TFont chosen;
    chosen.Assign(*FFont);
    if (!platform::ChooseFont(chosen, Panel()))
        return;
    FFont->Assign(chosen);
    FLayoutDirty = true;
    NotifyChanged();
}

// ---- layout ----

void TGSuperText::Layout()
{
    if (!FLayoutDirty || FLayoutRunning)
        return;
    FLayoutRunning = true;
    try {
        const double z = ZoomFactor();
        FZoomedShadowOffset = z == 1.0 ? FShadowOffset
                                       : QPoint(platform::Trunc(z * FShadowOffset.x()),
                                                platform::Trunc(FShadowOffset.y() * z));
        const int zx = FZoomedShadowOffset.x(), zy = FZoomedShadowOffset.y();
        const platform::TCanvasFont font = CanvasFont();
        const int t = font.TextHeight();
        const int w = font.TextWidth(FCaption + QLatin1Char(' '));
        FInset = {zx < 0 ? -zx : 0, zy < 0 ? -zy : 0};

        int W = Width(), H = Height();
        if (W <= 5)
            W = w;
        const int e = std::abs(zy) + t;
        // A bare SuperText shrinks to 1.2 times its text; a framed or opaque
        // one keeps its height.
        if (e * 1.2 < H && FControlTransparent && FBorderStyle == Vcl::bsNone)
            H = platform::Trunc(e * 1.2);
        if (H < e)
            H = e;
        SetBounds(Left(), Top(), W, H);

        FTextRect = {FInset.x() + 5, FInset.y(), Width(), t + FInset.y()};
        FShadowRect = {FTextRect.left + zx, FTextRect.top + zy, FTextRect.right + zx, FTextRect.bottom + zy};
        FTextOrigin = {FTextRect.left, FTextRect.top};
        FShadowOrigin = {FTextRect.left + zx, FShadowRect.top};
    } catch (...) {
        FLayoutDirty = false;
        FLayoutRunning = false;
        throw;
    }
    FLayoutDirty = false;
    FLayoutRunning = false;
}

QString TGSuperText::VisibleText() const
{
    const platform::TCanvasFont font = CanvasFont();
    const int room = Width() - std::max(FTextRect.left, FShadowRect.left);
    QString s = FCaption;
    while (!s.isEmpty() && font.TextWidth(s) > room) {
        // A character outside the basic plane goes whole, never half a pair.
        const bool pair = s.size() >= 2 && s.at(s.size() - 1).isLowSurrogate() && s.at(s.size() - 2).isHighSurrogate();
        s.chop(pair ? 2 : 1);
    }
    return s;
}

// ---- painting ----

void TGSuperText::DrawBackground(QPainter &canvas) const
{
    if (FControlTransparent && FBorderStyle != Vcl::bsSingle)
        return;
    const int W = Width(), H = Height();
    if (FBorderStyle == Vcl::bsSingle) {
        canvas.save();
        platform::SetGdiPen(canvas, Qt::black, 1);
        canvas.setBrush(FControlTransparent ? QBrush(Qt::NoBrush) : QBrush(platform::ToQColor(FBGColor)));
        platform::GdiRectangle(canvas, 0, 0, W, H);
        canvas.restore();
    } else {
        // A rectangle without a pen leaves its right column and bottom row.
        canvas.fillRect(QRect(0, 0, W - 1, H - 1), platform::ToQColor(FBGColor));
    }
}

void TGSuperText::DrawEmptyCross(QPainter &canvas) const
{
    const int W = Width(), H = Height();
    canvas.save();
    platform::SetGdiPen(canvas, Qt::black, 1);
    canvas.setBrush(Qt::NoBrush);
    platform::GdiRectangle(canvas, 0, 0, W, H);
    platform::GdiLine(canvas, 0, 0, W, H);
    platform::GdiLine(canvas, W, 0, 0, H);
    canvas.restore();
}

void TGSuperText::FillLetters(QPainter &canvas, const QPainterPath &letters, const QBrush &brush) const
{
    // Filling the letter outlines paints what clipping to them and filling
    // the whole area would, without the cost of a clip region.
    canvas.fillPath(letters, brush);
}

QPainterPath TGSuperText::LetterOutlines(const QString &text)
{
    // Glyph outlines are slow to make; a card repaints the same letters
    // again and again.
    const platform::TCanvasFont font = CanvasFont();
    if (text != FOutlinesText || font.MetricsFont() != FOutlinesFont) {
        FOutlines = font.TextPath(QPointF(0, 0), text);
        FOutlinesText = text;
        FOutlinesFont = font.MetricsFont();
    }
    return FOutlines;
}

void TGSuperText::SettleBounds()
{
    if (Width() < 5 || Height() < 5)
        FLayoutDirty = true;
    Layout();
}

void TGSuperText::Paint(QPainter &canvas)
{
    if (FPainting)
        return;
    FPainting = true;
    const struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{FPainting};

    SettleBounds();
    DrawBackground(canvas);
    const QString s = VisibleText();
    if (s.isEmpty()) {
        DrawEmptyCross(canvas);
        return;
    }
    const QPainterPath outlines = LetterOutlines(s);
    canvas.save();
    if (FShadowDepth >= 1 && FShadowOrientation != sdNone)
        FillLetters(canvas, outlines.translated(FShadowOrigin), QBrush(platform::ToQColor(FShadowcolor)));
    const QPainterPath letters = outlines.translated(FTextOrigin);
    switch (FSurfaceType) {
    case Fill::stBrushTransparent: break;
    case Fill::stGradientFill:
        if (FGradient.size() != QSize(Width(), Height()))
            RebuildGradient();
        if (!FGradient.isNull()) {
            FillLetters(canvas, letters, QBrush(FGradient));
        } else {
            canvas.save();
            canvas.setClipPath(letters, Qt::IntersectClip);
            platform::PaintGradient(canvas, QRect(0, 0, Width(), Height()), FGradientFromColor, FGradientToColor,
                                    FFillDirection);
            canvas.restore();
        }
        break;
    case Fill::stBrushImage:
        canvas.save();
        canvas.setClipPath(letters, Qt::IntersectClip);
        FImage->DrawTiles(canvas, Width(), Height(), ZoomFactor());
        canvas.restore();
        break;
    case Fill::stNormal: FillLetters(canvas, letters, QBrush(platform::ToQColor(FFont->Color()))); break;
    }
    if (FOutlineStyle != Vcl::psClear && FOutlineWidth >= 1) {
        // Pens wider than one pixel draw solid, whatever their style.
        const Qt::PenStyle style = FOutlineWidth > 1 ? Qt::SolidLine : platform::ToQtPenStyle(FOutlineStyle);
        canvas.strokePath(letters, QPen(platform::ToQColor(FOutlineColor), FOutlineWidth, style));
    }
    canvas.restore();
}

// ---- printing ----

void TGSuperText::Print(TBaseReport &report, double originX, double originY)
{
    const double ppi = platform::ScreenPixelsPerInch();
    FLayoutDirty = true;
    Layout();
    const auto inchX = [&](double px) { return originX + (Left() + px) / ppi; };
    const auto inchY = [&](double py) { return originY + (Top() + py) / ppi; };
    const int W = Width(), H = Height();

    if (!FControlTransparent || FBorderStyle == Vcl::bsSingle) {
        if (FControlTransparent)
            report.SelectBrush(platform::clWhite, Vcl::bsClear);
        else
            report.SelectBrush(FBGColor, Vcl::bsSolid);
        // The frame is as wide on paper as the screen's pixel: a hundredth of
        // an inch, not one printer dot.
        report.SelectPen(platform::clBlack, FBorderStyle == Vcl::bsSingle ? Vcl::psSolid : Vcl::psClear, Vcl::pmCopy,
                         -1);
        report.DrawRect(inchX(0), inchY(0), inchX(W), inchY(H));
    }
    report.SelectBrush(platform::clWhite, Vcl::bsClear);

    const QString s = VisibleText();
    if (s.isEmpty())
        return;
    // The letters are the outlines the screen fills, stretched to the page:
    // the same shapes, symbol faces drawn through the same characters.
    const QRect object = report.DeviceRect(inchX(0), inchY(0), inchX(W), inchY(H));
    QTransform toDevice;
    toDevice.translate(object.left(), object.top());
    toDevice.scale(object.width() / double(W), object.height() / double(H));
    const QPainterPath outlines = LetterOutlines(s);
    const QPainterPath letters = toDevice.map(outlines.translated(FTextOrigin));

    if (FShadowDepth >= 1 && FShadowOrientation != sdNone)
        report.FillDevicePath(toDevice.map(outlines.translated(FShadowOrigin)), FShadowcolor);

    if (FSurfaceType == Fill::stNormal) {
        report.FillDevicePath(letters, FFont->Color());
    } else if (FSurfaceType != Fill::stBrushTransparent) {
        report.BeginPath();
        report.FillDevicePath(letters, FFont->Color());
        report.EndPath();
        report.ClipToPath();
        report.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 1);
        // Clip and fill reach a pixel further than the object, so that no
        // sliver of a letter is lost to rounding at printer resolution.
        const QRect fill = object.adjusted(-1, -1, 1, 1);
        if (FSurfaceType == Fill::stGradientFill) {
            // One smooth shading across the object, as SuperShape prints it:
            // screen-sized bands would show their steps on paper.
            report.SelectGradient(
                platform::SmoothGradient(object, FGradientFromColor, FGradientToColor, FFillDirection));
            report.DrawPolygon(QPolygon(fill, true));
        } else {
            FImage->PrintTiles(report, object, ppi);
        }
        report.ResetClip();
    }

    if (FOutlineStyle != Vcl::psClear && FOutlineWidth >= 1) {
        report.SelectBrush(FFont->Color(), Vcl::bsClear);
        report.SelectPen(FOutlineColor, FOutlineWidth > 1 ? Vcl::psSolid : FOutlineStyle, Vcl::pmCopy, -FOutlineWidth);
        report.BeginPath();
        report.FillDevicePath(letters, FOutlineColor);
        report.EndPath();
        report.StrokePath();
    }
}

// ---- properties ----

void TGSuperText::CopyAppearance(const TGSuperText &other)
{
    SetCaption(other.FCaption);
    FFont->Assign(*other.FFont);
    SetControlTransparent(other.FControlTransparent);
    SetBGColor(other.FBGColor);
    SetBorderStyle(other.FBorderStyle);
    SetGradientFromColor(other.FGradientFromColor);
    SetFillDirection(other.FFillDirection);
    SetGradientToColor(other.FGradientToColor);
    SetImage(other.FImage);
    SetOutlineColor(other.FOutlineColor);
    SetOutlineStyle(other.FOutlineStyle);
    SetOutlineWidth(other.FOutlineWidth);
    SetShadowcolor(other.FShadowcolor);
    SetShadowDepth(other.FShadowDepth);
    SetShadowOrientation(other.FShadowOrientation);
    SetSurfaceType(other.FSurfaceType);
    SetBounds(Left(), Top(), other.Width(), other.Height());
    FLayoutDirty = true;
}

void TGSuperText::TakeFromSample(const TGSuperText &sample, const QString &lastBitmapPath)
{
    SetGradientFromColor(sample.FGradientFromColor);
    SetFillDirection(sample.FFillDirection);
    SetGradientToColor(sample.FGradientToColor);
    SetImage(sample.FImage);
    SetOutlineColor(sample.FOutlineColor);
    SetOutlineStyle(sample.FOutlineStyle);
    SetOutlineWidth(sample.FOutlineWidth);
    SetShadowcolor(sample.FShadowcolor);
    SetShadowDepth(sample.FShadowDepth);
    SetShadowOrientation(sample.FShadowOrientation);
    SetSurfaceType(sample.FSurfaceType);
    FLastBitmapFileNameandPath = lastBitmapPath;
    FFont->Assign(*sample.FFont);
    SetCaption(sample.FCaption);
    RebuildGradientIfShown();
    FLayoutDirty = true;
    Layout();
    Invalidate();
    NotifyChanged();
}

void TGSuperText::EditProperties()
{
    const auto &editor = editors::ObjectEditors().SuperTextProperties;
    if (editor)
        editor(Panel(), *this);
}

bool TGSuperText::FitToText()
{
    const platform::TCanvasFont plain(*FFont, 1.0);
    const int a = plain.TextWidth(FCaption);
    const int b = plain.TextHeight();
    FLayoutDirty = true;
    Layout();
    const int c = std::max(FTextRect.left, FShadowRect.left);
    const int d = std::max(FTextRect.top, FShadowRect.top);
    int width = platform::Trunc(c + a * 1.2);
    int height = platform::Trunc((b + d) * 1.2);
    if (height < b)
        height = platform::Trunc(b * 1.5);
    if (width < a)
        width = platform::Trunc(a * 1.5);
    SetBounds(Left(), Top(), width, height);
    FLayoutDirty = true;
    Invalidate();
    return Height() >= b && Width() >= a;
}

// Holds TGPCircleText.
#include "objects/CircleText.h"

#include "objects/ObjectEditors.h"
#include "objects/ObjectRecording.h"
#include "platform/CanvasFont.h"
#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "surface/CardPanel.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <numbers>

TGPCircleText::TGPCircleText(QObject *owner) : TGGraphicControl(owner), FFont(new TFont(this))
{
    SetInitialSize(142, 33);
    FCaption = QStringLiteral("ABC DEF GHI JKL");
    FFont->SetName(QStringLiteral("Arial"));
    FFont->SetSize(10);
    FFont->SetStyle(Vcl::fsBold);
    FFont->SetColor(platform::clBlack);
    connect(FFont, &TFont::Changed, this, [this] { Invalidate(); });
}

void TGPCircleText::Changed()
{
    if (!IsLoading())
        NotifyChanged();
}

// ---- stored properties ----

void TGPCircleText::SetStartingVector(TDegrees v)
{
    if (FStartingVector == v)
        return;
    FStartingVector = v;
    Invalidate();
}

void TGPCircleText::SetDegrees(TDegrees v)
{
    if (FDegrees == v)
        return;
    FDegrees = v;
    Invalidate();
}

void TGPCircleText::SetFont(TFont *v)
{
    if (v)
        FFont->Assign(*v);
}

void TGPCircleText::SetMirror(bool v)
{
    if (FMirror == v)
        return;
    FMirror = v;
    Invalidate();
}

void TGPCircleText::SetDrawLettersAngled(bool v)
{
    if (FDrawLettersAngled == v)
        return;
    FDrawLettersAngled = v;
    Invalidate();
    Changed();
}

void TGPCircleText::SetBorderStyle(Vcl::TBorderStyle v)
{
    if (FBorderStyle == v)
        return;
    FBorderStyle = v;
    Invalidate();
    Changed();
}

void TGPCircleText::SetControlTransparent(bool v)
{
    if (FControlTransparent == v)
        return;
    FControlTransparent = v;
    Invalidate();
}

void TGPCircleText::SetBGColor(TColor v)
{
    if (FBGColor == v)
        return;
    FBGColor = v;
    Invalidate();
    Changed();
}

void TGPCircleText::SetCaption(const QString &v)
{
    if (FCaption == v)
        return;
    FCaption = v;
    Invalidate();
    Changed();
}

// ---- card object slots ----

// Built when the menu is first shown, not while a card is read.
void TGPCircleText::BuildContextMenu()
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

void TGPCircleText::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    if (Width() <= 0 || Height() <= 0)
        SetBounds(Left(), Top(), std::max(Width(), 1), std::max(Height(), 1));
}

void TGPCircleText::UpdateContextMenu()
{
    TGGraphicControl::UpdateContextMenu();
    if (FBorderItem)
        FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
    if (FTransparentItem)
        FTransparentItem->setChecked(FControlTransparent);
}

void TGPCircleText::AssignFont(const TFont &font) { FFont->Assign(font); }

void TGPCircleText::EditFont()
{
    TFont chosen;
    chosen.Assign(*FFont);
    if (!platform::ChooseFont(chosen, Panel()))
        return;
    FFont->Assign(chosen);
    NotifyChanged();
}

// ---- placement ----

float TGPCircleText::Sweep() const
{
    const int letters = int(FCaption.toUcs4().size());
    // A full circle of more than five letters leaves a gap, so that the last
    // letter does not run into the first.
    if (FDegrees == dg360 && letters > 5)
        return 355.0f;
    return 90.0f * (int(FDegrees) + 1);
}

float TGPCircleText::Step() const
{
    const int n = int(FCaption.toUcs4().size());
    const float sweep = Sweep();
    if (n < 2)
        return sweep;
    if (FDegrees == dg360)
        return sweep / n;
    return sweep / (n - 1);
}

QList<TGPCircleText::TLetterPlacement> TGPCircleText::Placements() const
{
    return Placements(platform::TCanvasFont(*FFont, ZoomFactor()));
}

QList<TGPCircleText::TLetterPlacement> TGPCircleText::Placements(const platform::TCanvasFont &font) const
{
    QList<TLetterPlacement> placements;
    const QList<uint> characters = FCaption.toUcs4();
    const int n = int(characters.size());
    if (n == 0)
        return placements;
    const QFontMetrics metrics(font.MetricsFont());
    const int fh = font.TextHeight();
    const int aw = metrics.averageCharWidth();
    const int W = Width(), H = Height();
    const bool mirror = FMirror && FDrawLettersAngled;
    const float A = 90.0f * (int(FStartingVector) + 1);
    const float S = Sweep();

    int cx = W / 2, rx = W / 2, cy = H / 2, ry = H / 2;
    if (FDegrees == dg90) {
        const bool leftCentre = FStartingVector == dg90 || FStartingVector == dg360;
        const bool bottomCentre = FStartingVector == dg90 || FStartingVector == dg180;
        cx = leftCentre ? aw : W - aw;
        rx = W - aw;
        cy = bottomCentre ? H - fh : fh;
        ry = H - fh;
    } else if (FDegrees == dg180) {
        switch (FStartingVector) {
        case dg90: cx = aw; rx = W - aw; break;
        case dg180: cy = H - fh; ry = H - fh; break;
        case dg270: cx = W - aw; rx = W - aw; break;
        case dg360: cy = fh; ry = H - fh; break;
        }
    }
    int R = std::min(rx, ry) - 4;
    // Upright letters grow outwards from the arc; mirrored ones grow inwards.
    if (!mirror)
        R -= std::abs(fh);
    const float s = Step();
    const float r0 = (A - 90.0f) * 10.0f;

    for (int i = 0; i < n; ++i) {
        TLetterPlacement p;
        const uint code = characters.at(mirror ? n - 1 - i : i);
        p.Letter = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        const bool lastOnOpenArc = i == n - 1 && FDegrees != dg360;
        int r = lastOnOpenArc ? platform::Round(r0 - S * 10.0f) : platform::Round(r0 - i * s * 10.0f);
        if (r < 0)
            r += 3600;
        if (mirror)
            r = r + 1800 > 3600 ? r - 1800 : r + 1800;
        p.Rotation = r;
        const double theta = (lastOnOpenArc ? (S - A) : (i * s - A)) * std::numbers::pi / 180.0;
        p.Foot = QPoint(platform::Round(std::cos(theta) * R) + cx, platform::Round(std::sin(theta) * R) + cy);
        p.Inside = p.Foot.x() >= 0 && p.Foot.y() >= 0 && p.Foot.x() < W && p.Foot.y() < H;
        placements.append(p);
    }
    return placements;
}

// ---- painting ----

void TGPCircleText::Render(QPainter &canvas) const
{
    const int W = Width(), H = Height();
    if (!FControlTransparent || FBorderStyle == Vcl::bsSingle) {
        canvas.save();
        if (FBorderStyle == Vcl::bsSingle) {
            platform::SetGdiPen(canvas, Qt::black, 1);
            canvas.setBrush(FControlTransparent ? QBrush(Qt::NoBrush) : QBrush(platform::ToQColor(FBGColor)));
            platform::GdiRectangle(canvas, 0, 0, W, H);
        } else {
            // A rectangle without a pen leaves its right column and bottom row.
            canvas.fillRect(QRect(0, 0, W - 1, H - 1), platform::ToQColor(FBGColor));
        }
        canvas.restore();
    }
    const platform::TCanvasFont font(*FFont, ZoomFactor());
    const int fh = font.TextHeight();
    const QColor color = platform::ToQColor(FFont->Color());
    for (const TLetterPlacement &p : Placements(font)) {
        if (!p.Inside)
            continue;
        // The middle of the letter's foot (the bottom of its cell) stands on
        // its point; an angled letter turns about that point.
        canvas.save();
        canvas.translate(p.Foot);
        if (FDrawLettersAngled)
            canvas.rotate(-p.Rotation / 10.0);
        font.TextOut(canvas, QPoint(-font.TextWidth(p.Letter) / 2, -fh), p.Letter, color);
        canvas.restore();
    }
}

void TGPCircleText::Paint(QPainter &canvas)
{
    if (FPainting)
        return;
    FPainting = true;
    const struct Guard {
        bool &flag;
        ~Guard() { flag = false; }
    } guard{FPainting};
    const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
    // An absurdly large object (a damaged card) draws straight onto the canvas.
    if (qint64(Width()) * Height() * ratio * ratio > 16'000'000) {
        FScreenKey.reset();
        FScreenImage = QImage();
        Render(canvas);
        return;
    }
    TDrawingKey key = DrawingKey(ratio);
    if (!FScreenKey || *FScreenKey != key) {
        FScreenImage = QImage(qMax(1, qCeil(Width() * ratio)), qMax(1, qCeil(Height() * ratio)),
                              QImage::Format_ARGB32_Premultiplied);
        FScreenImage.setDevicePixelRatio(ratio);
        FScreenImage.fill(Qt::transparent);
        QPainter image(&FScreenImage);
        image.setRenderHint(QPainter::TextAntialiasing, true);
        Render(image);
        FScreenKey = std::move(key);
    }
    canvas.drawImage(QPoint(0, 0), FScreenImage);
}

TGPCircleText::TDrawingKey TGPCircleText::DrawingKey(qreal pixelRatio) const
{
    TDrawingKey key;
    key.Caption = FCaption;
    key.Font = platform::TCanvasFont(*FFont, ZoomFactor()).MetricsFont();
    key.Color = platform::ColorToRGB(FFont->Color());
    key.Width = Width();
    key.Height = Height();
    key.StartingVector = FStartingVector;
    key.Degrees = FDegrees;
    key.Mirror = FMirror;
    key.Angled = FDrawLettersAngled;
    key.Transparent = FControlTransparent;
    key.BorderStyle = FBorderStyle;
    key.BGColor = platform::ColorToRGB(FBGColor);
    key.PixelRatio = pixelRatio;
    return key;
}

void TGPCircleText::Print(TBaseReport &report, double originX, double originY)
{
    PrintObjectRecording(*this, report, originX, originY, RecordObjectArea(*this, [this](QPainter &p) { Render(p); }));
}

// ---- properties ----

void TGPCircleText::CopySettings(const TGPCircleText &other)
{
    FPainting = true;
    FCaption = other.FCaption;
    {
        const QSignalBlocker quiet(FFont);
        FFont->Assign(*other.FFont);
    }
    FControlTransparent = other.FControlTransparent;
    FBGColor = other.FBGColor;
    FBorderStyle = other.FBorderStyle;
    SetBounds(Left(), Top(), other.Width(), other.Height());
    FStartingVector = other.FStartingVector;
    FDegrees = other.FDegrees;
    FDrawLettersAngled = other.FDrawLettersAngled;
    FMirror = other.FMirror;
    FPainting = false;
    Invalidate();
}

void TGPCircleText::EditProperties()
{
    const auto &editor = editors::ObjectEditors().CircleTextProperties;
    if (editor && editor(Panel(), *this))
        NotifyChanged();
}

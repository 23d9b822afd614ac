// The text label's engine: one line of text in its font, optionally turned by
// a quarter turn, with a shadow copy and a highlight copy behind it for a 3-D
// look, an optional background and border, and bounds that grow to fit the
// text and its effects. The text, business-card and symbol labels build on it.
// Holds TGBaseLabel.
#pragma once

#include "objects/ObjectRecording.h"
#include "platform/CanvasFont.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"
#include "surface/CardObject.h"

#include <QAction>
#include <QPicture>
#include <QPointer>
#include <QPoint>
#include <QRgb>
#include <optional>

class TGBaseLabel : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int DepthHighlight READ DepthHighlight WRITE SetDepthHighlight)
    Q_PROPERTY(int DepthShadow READ DepthShadow WRITE SetDepthShadow)
    Q_PROPERTY(THighlightDirection DirectionHighlight READ DirectionHighlight WRITE SetDirectionHighlight)
    Q_PROPERTY(TShadowDirection DirectionShadow READ DirectionShadow WRITE SetDirectionShadow)
    Q_PROPERTY(TColor colorHighlight READ colorHighlight WRITE SetcolorHighlight)
    Q_PROPERTY(TColor colorShadow READ colorShadow WRITE SetcolorShadow)
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(Vcl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_CLASSINFO("default:DepthHighlight", "0")
    Q_CLASSINFO("default:DepthShadow", "0")
    Q_CLASSINFO("default:DirectionHighlight", "hdUpLeft")
    Q_CLASSINFO("default:DirectionShadow", "sdDownRight")
    Q_CLASSINFO("default:colorHighlight", "16776960")
    Q_CLASSINFO("default:colorShadow", "8421504")
    Q_CLASSINFO("default:Angle", "0")
    // An emptied caption must come back empty, not as the constructor's "Text".
    Q_CLASSINFO("storeEmpty:Caption", "true")

public:
    // The lower-case "r" of hdright is part of the name card files store.
    enum THighlightDirection { hdNone, hdright, hdLeft, hdUpRight, hdUpLeft, hdUp };
    Q_ENUM(THighlightDirection)
    enum TShadowDirection { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };
    Q_ENUM(TShadowDirection)

    explicit TGBaseLabel(QObject *owner = nullptr);

    // ---- stored properties ----
    Vcl::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(Vcl::TAlignment v);
    int DepthHighlight() const { return FDepthHighlight; }
    void SetDepthHighlight(int v);
    int DepthShadow() const { return FDepthShadow; }
    void SetDepthShadow(int v);
    THighlightDirection DirectionHighlight() const { return FDirectionHighlight; }
    void SetDirectionHighlight(THighlightDirection v);
    TShadowDirection DirectionShadow() const { return FDirectionShadow; }
    void SetDirectionShadow(TShadowDirection v);
    TColor colorHighlight() const { return FColorHighlight; }
    void SetcolorHighlight(TColor v);
    TColor colorShadow() const { return FColorShadow; }
    void SetcolorShadow(TColor v);
    // Degrees counter-clockwise; only 0, 90, 180 and 270 are taken.
    int Angle() const { return FAngle; }
    void SetAngle(int v);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &v);
    TFont *Font() const { return FFont; }
    void SetFont(TFont *v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor v);
    Vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(Vcl::TBorderStyle v);

    // ---- card object slots ----
    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void BoundsChanged() override;
    void UpdateContextMenu() override;
    void AssignFont(const TFont &font) override;
    void Print(TBaseReport &report, double originX, double originY) override;
    // The "Font" command: the font chooser on the label's font.
    virtual void EditFont();

    // Grows the bounds so that the caption and its effects fit; never shrinks,
    // and does nothing for a turned label.
    void FitToText();
    // The length along the line that the caption and its 3-D copies take in
    // the label's font, and the room the bounds give them along the line:
    // the caption fits while the one is not more than the other. Centred and
    // right-aligned text is placed by its width with one space, and needs it.
    int CaptionLength() const;
    int CaptionRoom() const;
    // The "3D Effects" command.
    void Edit3DEffects();
    // The label drawn as on screen without the selection, recorded at its
    // size in pixels; printing stretches it into the label's rectangle. The
    // recording is kept and made again only when something it draws changed:
    // a sheet prints the label once per card, and recording it anew every
    // time took a quarter of the printing.
    QPicture Recording();

    // ---- the last layout, in pixels of the label's own area ----
    bool LayoutDirty() const { return FLayoutDirty; }
    void Layout();
    QPoint ShadowOffset() const { return FShadowOffset; }
    QPoint HighlightOffset() const { return FHighlightOffset; }
    QPoint Inset() const { return FInset; }
    // Line height: text height + internal leading + external leading.
    int LineHeight() const { return FLineHeight; }
    // Extent across the line: line height + shadow y - highlight y.
    int Extent() const { return FExtent; }
    // Width of the caption followed by one space.
    int CaptionWidth() const { return FCaptionWidth; }
    TRect TextRect() const { return FTextRect; }
    TRect ShadowRect() const { return FShadowRect; }
    TRect HighlightRect() const { return FHighlightRect; }
    QPoint TextOrigin() const { return FTextOrigin; }
    QPoint ShadowOrigin() const { return FShadowOrigin; }
    QPoint HighlightOrigin() const { return FHighlightOrigin; }

    // The label's font as drawn at its zoom.
    platform::TCanvasFont CanvasFont() const { return platform::TCanvasFont(*FFont, ZoomFactor()); }

protected:
    // Paint steps after the size check: layout, background, the three copies, border.
    void DrawLabel(QPainter &canvas);
    // Notifies the panel of a change unless the stream is filling the label.
    void Changed();
    void MarkLayoutDirty() { FLayoutDirty = true; }

    // Menu entries that carry ticks; the rotation entries exist only in labels
    // that build the "Rotation" submenu.
    QAction *FBorderItem = nullptr;
    QAction *FLeftItem = nullptr;
    QAction *FCenterItem = nullptr;
    QAction *FRightItem = nullptr;
    QPointer<QAction> FTransparentItem; // the menu may be rebuilt, or not built yet
    QList<QAction *> FRotationItems;
    bool FRotationMenuPresent = false;

private:
    // Every value the drawing reads, taken after the layout; a recording made
    // with an equal key draws the same.
    struct TDrawingKey {
        QString Caption;
        QString FontName;
        int FontHeight = 0;
        int FontStyle = 0;
        int FontCharset = 0;
        int FontPitch = 0;
        double Zoom = 0;
        int ScreenPpi = 0; // font sizes at a zoom other than 1.0 depend on it
        int Width = 0, Height = 0;
        int Angle = 0;
        int Alignment = 0;
        QPoint ShadowOffset, HighlightOffset;
        QRgb TextColor = 0, ShadowColor = 0, HighlightColor = 0, BackColor = 0;
        bool Transparent = false;
        int BorderStyle = 0;
        TRect TextRect, ShadowRect, HighlightRect;
        QPoint TextOrigin, ShadowOrigin, HighlightOrigin;
        bool operator==(const TDrawingKey &) const = default;
    };
    TDrawingKey DrawingKey() const;

    void UpdateShadowOffset();
    void UpdateHighlightOffset();
    // An effect offset turned with the text.
    QPoint Turned(QPoint offset) const;

    Vcl::TAlignment FAlignment = Vcl::taLeftJustify;
    int FDepthHighlight = 0;
    int FDepthShadow = 0;
    THighlightDirection FDirectionHighlight = hdUpLeft;
    TShadowDirection FDirectionShadow = sdDownRight;
    TColor FColorHighlight{0xFFFF00};
    TColor FColorShadow{0x808080};
    int FAngle = 0;
    QString FCaption;
    TFont *FFont;
    bool FTransparent = true;
    TColor FBackColor{platform::clWhite};
    Vcl::TBorderStyle FBorderStyle = Vcl::bsNone;

    bool FLayoutDirty = true;
    QPoint FShadowOffset;
    QPoint FHighlightOffset;
    QPoint FInset;
    int FLineHeight = 0;
    int FExtent = 0;
    int FCaptionWidth = 0;
    TRect FTextRect, FShadowRect, FHighlightRect;
    QPoint FTextOrigin, FShadowOrigin, FHighlightOrigin;

    TRecordingCache<TDrawingKey> FRecording;
};

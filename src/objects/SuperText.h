// SuperText: one line of large display text whose letter outlines serve as a
// stencil, filled with a solid colour, a gradient or a tiled picture (or left
// empty), outlined with a pen of any style and width, with a solid shadow.
// Holds TGSuperText.
#pragma once

#include "objects/TileBitmap.h"
#include "platform/CanvasFont.h"
#include "platform/Geometry.h"
#include "platform/GradientFill.h"
#include "platform/Graphics.h"
#include "surface/CardObject.h"
#include "surface/ComponentStream.h"

#include <QByteArray>
#include <QImage>

class TGSuperText : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE SetShadowDepth)
    Q_PROPERTY(TShadowOrientation ShadowOrientation READ ShadowOrientation WRITE SetShadowOrientation)
    Q_PROPERTY(TColor Shadowcolor READ Shadowcolor WRITE SetShadowcolor)
    Q_PROPERTY(Vcl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool ControlTransparent READ ControlTransparent WRITE SetControlTransparent)
    Q_PROPERTY(TColor BGColor READ BGColor WRITE SetBGColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TFont *Font READ Font WRITE SetFont)
    Q_PROPERTY(Fill::TFillDirection FillDirection READ FillDirection WRITE SetFillDirection)
    Q_PROPERTY(TColor GradientToColor READ GradientToColor WRITE SetGradientToColor)
    Q_PROPERTY(TColor GradientFromColor READ GradientFromColor WRITE SetGradientFromColor)
    Q_PROPERTY(TTileBitmap *Image READ Image WRITE SetImage)
    Q_PROPERTY(TColor OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(Vcl::TPenStyle OutlineStyle READ OutlineStyle WRITE SetOutlineStyle)
    Q_PROPERTY(int OutlineWidth READ OutlineWidth WRITE SetOutlineWidth)
    Q_PROPERTY(Fill::TSurfaceType SurfaceType READ SurfaceType WRITE SetSurfaceType)
    Q_PROPERTY(QString LastBitmapFileNameandPath READ LastBitmapFileNameandPath WRITE SetLastBitmapFileNameandPath)
    Q_CLASSINFO("default:ShadowDepth", "0")
    Q_CLASSINFO("default:ShadowOrientation", "sdDownRight")
    Q_CLASSINFO("default:Shadowcolor", "8421504")
    // An emptied caption must come back empty, not as the constructor's "Text".
    Q_CLASSINFO("storeEmpty:Caption", "true")

public:
    enum TShadowOrientation { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };
    Q_ENUM(TShadowOrientation)

    Q_INVOKABLE explicit TGSuperText(QObject *owner = nullptr);

    // ---- stored properties ----
    int ShadowDepth() const { return FShadowDepth; }
    void SetShadowDepth(int v);
    TShadowOrientation ShadowOrientation() const { return FShadowOrientation; }
    void SetShadowOrientation(TShadowOrientation v);
    TColor Shadowcolor() const { return FShadowcolor; }
    void SetShadowcolor(TColor v);
    Vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(Vcl::TBorderStyle v);
    bool ControlTransparent() const { return FControlTransparent; }
    void SetControlTransparent(bool v);
    TColor BGColor() const { return FBGColor; }
    void SetBGColor(TColor v);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &v);
    TFont *Font() const { return FFont; }
    void SetFont(TFont *v);
    Fill::TFillDirection FillDirection() const { return FFillDirection; }
    void SetFillDirection(Fill::TFillDirection v);
    TColor GradientToColor() const { return FGradientToColor; }
    void SetGradientToColor(TColor v);
    TColor GradientFromColor() const { return FGradientFromColor; }
    void SetGradientFromColor(TColor v);
    TTileBitmap *Image() const { return FImage; }
    // Copies the picture; none empties it.
    void SetImage(TTileBitmap *v);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    Vcl::TPenStyle OutlineStyle() const { return FOutlineStyle; }
    void SetOutlineStyle(Vcl::TPenStyle v);
    int OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(int v);
    Fill::TSurfaceType SurfaceType() const { return FSurfaceType; }
    // Any type but stBrushImage discards the picture; transparent letters
    // without an outline get a solid one so that the text stays visible.
    void SetSurfaceType(Fill::TSurfaceType v);
    QString LastBitmapFileNameandPath() const { return FLastBitmapFileNameandPath; }
    void SetLastBitmapFileNameandPath(const QString &v) { FLastBitmapFileNameandPath = v; }

    // ---- card object slots ----
    void Loaded() override;
    void BuildContextMenu() override;
    void BoundsChanged() override;
    void UpdateContextMenu() override;
    void AssignFont(const TFont &font) override;
    void SettleBounds() override;
    void Paint(QPainter &canvas) override;
    void Print(TBaseReport &report, double originX, double originY) override;
    // The "Font" command: the font chooser on the text's font.
    void EditFont();

    // Everything the properties dialog shows, taken from another SuperText
    // (its sample is loaded this way); bounds last.
    void CopyAppearance(const TGSuperText &other);
    // What an OK of the properties dialog gives back from its sample; the
    // bounds stay this object's own.
    void TakeFromSample(const TGSuperText &sample, const QString &lastBitmapPath);
    // The "Properties" command.
    void EditProperties();
    // Sizes the object around its caption and effects; true when the text
    // fits the new bounds.
    bool FitToText();

    // ---- the last layout, in pixels of the object's own area ----
    void Layout();
    bool LayoutDirty() const { return FLayoutDirty; }
    QPoint ShadowOffset() const { return FShadowOffset; }
    TRect TextRect() const { return FTextRect; }
    TRect ShadowRect() const { return FShadowRect; }
    QPoint TextOrigin() const { return FTextOrigin; }
    QPoint ShadowOrigin() const { return FShadowOrigin; }
    // The caption as far as it fits the width; shortened from the end.
    QString VisibleText() const;
    // The gradient bitmap, of the object's current size.
    const QImage &GradientImage() const { return FGradient; }

    platform::TCanvasFont CanvasFont() const { return platform::TCanvasFont(*FFont, ZoomFactor()); }

private:
    void UpdateShadowOffset();
    void RebuildGradient();
    void RebuildGradientIfShown();
    void Changed();
    void DrawBackground(QPainter &canvas) const;
    void DrawEmptyCross(QPainter &canvas) const;
    // The outlines of the text with its cell's top-left corner at (0, 0).
    QPainterPath LetterOutlines(const QString &text);
    void FillLetters(QPainter &canvas, const QPainterPath &letters, const QBrush &brush) const;

    int FShadowDepth = 0;
    TShadowOrientation FShadowOrientation = sdDownRight;
    TColor FShadowcolor{0x808080};
    Vcl::TBorderStyle FBorderStyle = Vcl::bsNone;
    bool FControlTransparent = true;
    TColor FBGColor{0xFFFFFF};
    QString FCaption;
    TFont *FFont;
    Fill::TFillDirection FFillDirection = Fill::gdRight;
    TColor FGradientToColor{0x00FFFF};
    TColor FGradientFromColor{0xFF0000};
    TTileBitmap *FImage;
    TColor FOutlineColor{0};
    Vcl::TPenStyle FOutlineStyle = Vcl::psSolid;
    int FOutlineWidth = 1;
    Fill::TSurfaceType FSurfaceType = Fill::stGradientFill;
    QString FLastBitmapFileNameandPath;

    static constexpr qint64 kLargestGradientBitmap = 16'000'000; // pixels
    QImage FGradient;
    QPainterPath FOutlines;
    QString FOutlinesText;
    QFont FOutlinesFont;
    bool FLayoutDirty = true;
    bool FLayoutRunning = false;
    bool FPainting = false;
    QPoint FShadowOffset;
    QPoint FZoomedShadowOffset;
    QPoint FInset;
    TRect FTextRect, FShadowRect;
    QPoint FTextOrigin, FShadowOrigin;
    QAction *FBorderItem = nullptr;
    QAction *FTransparentItem = nullptr;
};

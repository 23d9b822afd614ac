// SuperShape: a decorative figure (rectangle, rounded rectangle, ellipse,
// diamond, star or regular polygon, four triangles) whose surface is a solid
// colour, a tiled texture picture or a two-colour gradient, clipped to the
// figure's outline, with an outline pen and a drop shadow towards a corner.
// Holds TSuperShape.
#pragma once

#include "objects/SuperText.h"
#include "platform/Geometry.h"
#include "platform/GradientFill.h"
#include "platform/Graphics.h"
#include "surface/CardObject.h"

#include <QImage>
#include <QPainterPath>
#include <QPolygon>

class TSuperShape : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(Fill::TFillDirection FillDirection READ FillDirection WRITE SetFillDirection)
    Q_PROPERTY(TColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TColor GradientToColor READ GradientToColor WRITE SetGradientToColor)
    Q_PROPERTY(TTileBitmap *Image READ Image WRITE SetImage)
    Q_PROPERTY(int InVectorPercent READ InVectorPercent WRITE SetInVectorPercent)
    Q_PROPERTY(TColor OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(Vcl::TPenStyle OutlineStyle READ OutlineStyle WRITE SetOutlineStyle)
    Q_PROPERTY(int OutlineWidth READ OutlineWidth WRITE SetOutlineWidth)
    Q_PROPERTY(Vcl::TBrushStyle Pattern READ Pattern WRITE SetPattern)
    Q_PROPERTY(int RoundPerc READ RoundPerc WRITE SetRoundPerc)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE SetShadowDepth)
    Q_PROPERTY(TShadowOrient ShadowOrient READ ShadowOrient WRITE SetShadowOrient)
    Q_PROPERTY(TGPShapeType Shape READ Shape WRITE SetShape)
    Q_PROPERTY(int StartingAngle READ StartingAngle WRITE SetStartingAngle)
    Q_PROPERTY(Fill::TSurfaceType SurfaceType READ SurfaceType WRITE SetSurfaceType)
    Q_PROPERTY(int Vectors READ Vectors WRITE SetVectors)
    Q_PROPERTY(QString LastBitmapFileNameandPath READ LastBitmapFileNameandPath WRITE SetLastBitmapFileNameandPath)
    Q_CLASSINFO("default:Shape", "gstStar")

public:
    enum TGPShapeType {
        gstRectangle,
        gstRoundRect,
        gstEllipse,
        gstDiamond,
        gstStar,
        gstTriangleLeft,
        gstTriangleRight,
        gstTriangleUp,
        gstTriangleDown,
        gstPolyGon
    };
    Q_ENUM(TGPShapeType)
    enum TShadowOrient { soNone, soLowerRight, soUpperRight, soUpperLeft, soLowerLeft };
    Q_ENUM(TShadowOrient)

    Q_INVOKABLE explicit TSuperShape(QObject *owner = nullptr);

    // ---- stored properties ----
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor v);
    Fill::TFillDirection FillDirection() const { return FFillDirection; }
    void SetFillDirection(Fill::TFillDirection v);
    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor v);
    TColor GradientToColor() const { return FGradientToColor; }
    void SetGradientToColor(TColor v);
    TTileBitmap *Image() const { return FImage; }
    // Copies the picture; none empties it. No repaint.
    void SetImage(TTileBitmap *v);
    int InVectorPercent() const { return FInVectorPercent; }
    void SetInVectorPercent(int v);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    Vcl::TPenStyle OutlineStyle() const { return FOutlineStyle; }
    void SetOutlineStyle(Vcl::TPenStyle v);
    int OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(int v);
    Vcl::TBrushStyle Pattern() const { return FPattern; }
    void SetPattern(Vcl::TBrushStyle v);
    int RoundPerc() const { return FRoundPerc; }
    void SetRoundPerc(int v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    int ShadowDepth() const { return FShadowDepth; }
    // Taken only while the depth held so far fits half the width and height.
    void SetShadowDepth(int v);
    TShadowOrient ShadowOrient() const { return FShadowOrient; }
    void SetShadowOrient(TShadowOrient v);
    TGPShapeType Shape() const { return FShape; }
    // A star gets back usable points, inner depth and a top vertex.
    void SetShape(TGPShapeType v);
    int StartingAngle() const { return FStartingAngle; }
    void SetStartingAngle(int v);
    Fill::TSurfaceType SurfaceType() const { return FSurfaceType; }
    // Any type but stBrushImage discards the texture; no surface at all
    // drops the shadow and keeps an outline, so the shape stays visible.
    void SetSurfaceType(Fill::TSurfaceType v);
    int Vectors() const { return FVectors; }
    void SetVectors(int v);
    QString LastBitmapFileNameandPath() const { return FLastBitmapFileNameandPath; }
    void SetLastBitmapFileNameandPath(const QString &v) { FLastBitmapFileNameandPath = v; }

    // ---- card object slots ----
    void Loaded() override;
    void BoundsChanged() override;
    void Paint(QPainter &canvas) override;
    void Print(TBaseReport &report, double originX, double originY) override;

    // Everything the properties dialog shows, taken from another shape,
    // bounds last (the dialog's sample and the texture browser use it).
    void CopySettings(const TSuperShape &other);
    // What an OK of the properties dialog gives back from its sample; the
    // bounds stay this object's own.
    void TakeFromSample(const TSuperShape &sample, const QString &lastBitmapPath);
    // The "Properties" command.
    void EditProperties();

    // ---- geometry, in pixels of the object's own area ----
    // The figure's rectangle and its shadow's (empty without a shadow),
    // as left, top, right, bottom at the current zoom.
    TRect ShapeRect() const;
    TRect ShadowRect() const;
    // The polygon figures' corners (diamond, triangles, star, polygon) for
    // rectangle r moved by offset; empty for the other figures.
    QPolygon FigurePolygon(const TRect &r, QPoint offset = {}) const;
    // The star's vertices (outer and inner in turn) for rectangle r.
    QPolygon StarVertices(const TRect &r, QPoint offset = {}) const;
    // The outline of the figure on r as a fillable path.
    QPainterPath FigurePath(const TRect &r) const;
    // The bitmap tiled over the surface: the solid, texture or gradient one.
    QImage SurfaceBitmap() const;
    const QImage &GradientImage() const { return FGradient; }

private:
    // Every setting the dialog shows, through the setters, bounds apart.
    void TakeSettings(const TSuperShape &other);
    void RebuildGradient();
    void RebuildGradientIfShown();
    void RenderSolid();
    void RebuildSolidIfShown();
    void GetRects(TRect &shape, TRect &shadow) const;
    int CornerSize() const;
    void DrawFigure(QPainter &canvas, const TRect &r) const;
    void TileSurface(QPainter &canvas) const;
    void PrintFigure(TBaseReport &report, const TRect &r, double originX, double originY) const;
    void PrintRegion(TBaseReport &report, const TRect &r, double originX, double originY) const;
    void PrintSurface(TBaseReport &report, double originX, double originY) const;

    TColor FBackColor{0x0000FF};
    Fill::TFillDirection FFillDirection = Fill::gdUp;
    TColor FForeColor{0};
    TColor FGradientToColor{0xFF0000};
    TTileBitmap *FImage;
    int FInVectorPercent = 50;
    TColor FOutlineColor{0};
    Vcl::TPenStyle FOutlineStyle = Vcl::psSolid;
    int FOutlineWidth = 1;
    Vcl::TBrushStyle FPattern = Vcl::bsClear;
    int FRoundPerc = 25;
    TColor FShadowColor{0};
    int FShadowDepth = 5;
    TShadowOrient FShadowOrient = soNone;
    TGPShapeType FShape = gstStar;
    int FStartingAngle = 90;
    Fill::TSurfaceType FSurfaceType = Fill::stGradientFill;
    int FVectors = 10;
    QString FLastBitmapFileNameandPath;

    QImage FGradient;
    QImage FSolid;
};

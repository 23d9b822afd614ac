// Holds TSuperShape.
#include "objects/SuperShape.h"

#include "objects/ObjectEditors.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The most points a star or polygon can have (the vertex setter's limit).
constexpr int kMaxVectors = 60;
// Outline widths and shadow depths a damaged card may hold are taken no
// further than any card reaches, so the sums of the geometry stay in range.
constexpr int kMostLength = 1 << 20;
int Bounded(int v) { return std::clamp(v, -kMostLength, kMostLength); }

} // namespace

TSuperShape::TSuperShape(QObject *owner) : TGGraphicControl(owner), FImage(new TTileBitmap(this))
{
    SetInitialSize(25, 25);
    RebuildGradient();
}

// ---- stored properties ----

void TSuperShape::SetBackColor(TColor v)
{
    if (FBackColor == v)
        return;
    FBackColor = v;
    RebuildGradientIfShown();
    RebuildSolidIfShown();
    Invalidate();
}

void TSuperShape::SetFillDirection(Fill::TFillDirection v)
{
    if (FFillDirection == v)
        return;
    FFillDirection = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TSuperShape::SetForeColor(TColor v)
{
    if (FForeColor == v)
        return;
    FForeColor = v;
    RebuildSolidIfShown();
    Invalidate();
}

void TSuperShape::SetGradientToColor(TColor v)
{
    if (FGradientToColor == v)
        return;
    FGradientToColor = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TSuperShape::SetImage(TTileBitmap *v)
{
    if (v == FImage)
        return;
    if (v)
        FImage->Assign(*v);
    else
        FImage->Clear();
}

void TSuperShape::SetInVectorPercent(int v)
{
    if (FInVectorPercent == v || v < 0 || v > 100)
        return;
    FInVectorPercent = v;
    Invalidate();
}

void TSuperShape::SetOutlineColor(TColor v)
{
    if (FOutlineColor == v)
        return;
    FOutlineColor = v;
    Invalidate();
}

void TSuperShape::SetOutlineStyle(Vcl::TPenStyle v)
{
    if (FOutlineStyle == v)
        return;
    FOutlineStyle = v;
    Invalidate();
}

void TSuperShape::SetOutlineWidth(int v)
{
    if (FOutlineWidth == v)
        return;
    FOutlineWidth = v;
    Invalidate();
}

void TSuperShape::SetPattern(Vcl::TBrushStyle v)
{
    if (FPattern == v)
        return;
    FPattern = v;
    RenderSolid();
    Invalidate();
}

void TSuperShape::SetRoundPerc(int v)
{
    if (FRoundPerc == v)
        return;
    FRoundPerc = v;
    Invalidate();
}

void TSuperShape::SetShadowColor(TColor v)
{
    if (FShadowColor == v)
        return;
    FShadowColor = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TSuperShape::SetShadowDepth(int v)
{
    // The guard looks at the depth held so far: once a shrunken object has
    // a shadow deeper than half its size, the depth stays as it is.
    if (FShadowDepth > Width() / 2 || FShadowDepth > Height() / 2 || FShadowDepth == v)
        return;
    FShadowDepth = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TSuperShape::SetShadowOrient(TShadowOrient v)
{
    if (FShadowOrient == v || v < soNone || v > soLowerLeft)
        return;
    FShadowOrient = v;
    RebuildGradientIfShown();
    Invalidate();
}

void TSuperShape::SetShape(TGPShapeType v)
{
    // Choosing the star again is no choice: its points and inner depth stay.
    if (v == FShape || v < gstRectangle || v > gstPolyGon)
        return;
    FShape = v;
    if (v == gstStar) {
        if (FInVectorPercent == 0)
            SetInVectorPercent(50);
        if (FVectors < 10)
            SetVectors(10);
        SetStartingAngle(90);
    }
    Invalidate();
}

void TSuperShape::SetStartingAngle(int v)
{
    if (FStartingAngle == v || v < 0 || v > 359)
        return;
    FStartingAngle = v;
    Invalidate();
}

void TSuperShape::SetSurfaceType(Fill::TSurfaceType v)
{
    if (v == FSurfaceType || v < Fill::stNormal || v > Fill::stGradientFill)
        return;
    FSurfaceType = v;
    Invalidate();
    if (v != Fill::stBrushImage)
        FImage->Clear();
    if (v == Fill::stGradientFill)
        RebuildGradient();
    if (v == Fill::stBrushTransparent)
        RenderSolid();
    // A card being read holds the shadow and outline the user gave the
    // shape after choosing no surface.
    if (v == Fill::stNormal && !IsLoading()) {
        FShadowOrient = soNone;
        FPattern = Vcl::bsClear;
        if (FOutlineStyle == Vcl::psClear)
            FOutlineStyle = Vcl::psSolid;
    }
}

void TSuperShape::SetVectors(int v)
{
    if (FVectors == v || v < 3 || v > kMaxVectors)
        return;
    FVectors = v;
    Invalidate();
}

// ---- surface bitmaps ----

void TSuperShape::RebuildGradient()
{
    FGradient = platform::GradientBitmap(std::max(Width(), 0), std::max(Height(), 0), FBackColor, FGradientToColor,
                                         FFillDirection);
}

void TSuperShape::RebuildGradientIfShown()
{
    if (FSurfaceType == Fill::stGradientFill)
        RebuildGradient();
}

void TSuperShape::RenderSolid()
{
    const int w = std::max(Width(), 0), h = std::max(Height(), 0);
    if (w == 0 || h == 0) {
        FSolid = QImage();
        return;
    }
    FSolid = QImage(w, h, QImage::Format_RGB32);
    FSolid.fill(platform::ToQColor(FBackColor));
}

void TSuperShape::RebuildSolidIfShown()
{
    if (FSurfaceType == Fill::stBrushTransparent)
        RenderSolid();
}

QImage TSuperShape::SurfaceBitmap() const
{
    switch (FSurfaceType) {
    case Fill::stBrushTransparent: return FSolid;
    case Fill::stBrushImage: return FImage->Image();
    case Fill::stGradientFill: return FGradient;
    case Fill::stNormal: break;
    }
    return {};
}

// ---- card object slots ----

void TSuperShape::Loaded()
{
    TGGraphicControl::Loaded();
    AddSeparator();
    AddMenuItem(tr("Properties"), [this] { EditProperties(); });
    RebuildGradientIfShown();
}

void TSuperShape::BoundsChanged()
{
    // The base marks the card changed when the shape moves or is resized;
    // the gradient always spans the whole object.
    TGGraphicControl::BoundsChanged();
    if (FSurfaceType == Fill::stGradientFill && FGradient.size() != QSize(Width(), Height()))
        RebuildGradient();
}

// ---- geometry ----

void TSuperShape::GetRects(TRect &shape, TRect &shadow) const
{
    const double z = ZoomFactor();
    const int s = Bounded(z != 1.0 ? platform::Trunc(z * Bounded(FShadowDepth)) : FShadowDepth);
    const int w = Bounded(FOutlineWidth);
    const int h = w / 2;
    const int w1 = Width() - w + 1, h1 = Height() - w + 1;
    shadow = {};
    if (FShape == gstDiamond && FShadowOrient != soNone) {
        // A diamond's shadow falls sideways only, both keep the full height.
        if (FShadowOrient == soLowerRight || FShadowOrient == soUpperRight) {
            shape = {h, h, w1 - s, h1};
            shadow = {s + h, h, w1, h1};
        } else {
            shape = {s + h, h, w1, h1};
            shadow = {h, h, w1 - s, h1};
        }
        return;
    }
    switch (FShadowOrient) {
    case soNone: shape = {h, h, w1, h1}; break;
    case soLowerRight:
        shape = {h, h, w1 - s, h1 - s};
        shadow = {s + h, s + h, w1, h1};
        break;
    case soUpperRight:
        shape = {h, s + h, w1 - s, h1};
        shadow = {s + h, h, w1, h1 - s};
        break;
    case soUpperLeft:
        shape = {s + h, s + h, w1, h1};
        shadow = {h, h, w1 - s, h1 - s};
        break;
    case soLowerLeft:
        shape = {s + h, h, w1, h1 - s};
        shadow = {h, s + h, w1 - s, h1};
        break;
    }
}

TRect TSuperShape::ShapeRect() const
{
    TRect shape, shadow;
    GetRects(shape, shadow);
    return shape;
}

TRect TSuperShape::ShadowRect() const
{
    TRect shape, shadow;
    GetRects(shape, shadow);
    return shadow;
}

int TSuperShape::CornerSize() const { return platform::Trunc(std::max(Width(), Height()) * (FRoundPerc * 0.01)); }

QPolygon TSuperShape::StarVertices(const TRect &r, QPoint offset) const
{
    const int n = std::clamp(FVectors, 3, kMaxVectors);
    const long double k = (100 - FInVectorPercent) * 0.01L;
    const int cx = (r.right - r.left) / 2;
    const int cy = (r.bottom - r.top) / 2;
    const int radius = cx < cy ? cx - 4 : cy - 4;
    constexpr long double pi = 3.14159265358979323846264338327950288L;
    QPolygon vertices;
    vertices.reserve(n);
    for (int i = 0; i < n; ++i) {
        const long double theta = (360.0L / n * i - FStartingAngle) * pi / 180.0L;
        const long double rho = i % 2 == 0 ? radius : radius * k;
        vertices.append(QPoint(platform::Round(double(std::cos(theta) * rho)) + r.left + cx + offset.x(),
                               platform::Round(double(std::sin(theta) * rho)) + r.top + cy + offset.y()));
    }
    return vertices;
}

QPolygon TSuperShape::FigurePolygon(const TRect &r, QPoint offset) const
{
    const int L = r.left + offset.x(), T = r.top + offset.y();
    const int wd = r.right - r.left, ht = r.bottom - r.top;
    switch (FShape) {
    case gstDiamond:
        return QPolygon({QPoint(L + wd / 2, T), QPoint(L + wd - 1, T + ht / 2), QPoint(L + wd / 2, T + ht - 1),
                         QPoint(L, T + ht / 2)});
    case gstTriangleLeft:
        return QPolygon({QPoint(L + wd - 1, T), QPoint(L + wd - 1, T + ht - 1), QPoint(L, T + ht / 2)});
    case gstTriangleRight: return QPolygon({QPoint(L, T), QPoint(L + wd - 1, T + ht / 2), QPoint(L, T + ht - 1)});
    case gstTriangleUp:
        return QPolygon({QPoint(L + wd / 2, T), QPoint(L, T + ht - 1), QPoint(L + wd - 1, T + ht - 1)});
    case gstTriangleDown: return QPolygon({QPoint(L, T), QPoint(L + wd / 2, T + ht - 1), QPoint(L + wd - 1, T)});
    case gstStar:
    case gstPolyGon: return StarVertices(r, offset);
    case gstRectangle:
    case gstRoundRect:
    case gstEllipse: break;
    }
    return {};
}

QPainterPath TSuperShape::FigurePath(const TRect &r) const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QRectF area(r.left, r.top, r.right - r.left, r.bottom - r.top);
    switch (FShape) {
    case gstRectangle: path.addRect(area); break;
    case gstRoundRect: {
        const int c = CornerSize();
        path.addRoundedRect(area, c / 2.0, c / 2.0);
        break;
    }
    case gstEllipse: path.addEllipse(area); break;
    default:
        path.addPolygon(QPolygonF(FigurePolygon(r)));
        path.closeSubpath();
        break;
    }
    return path;
}

// ---- painting ----

void TSuperShape::DrawFigure(QPainter &canvas, const TRect &r) const
{
    switch (FShape) {
    case gstRectangle: platform::GdiRectangle(canvas, r.left, r.top, r.right, r.bottom); break;
    case gstRoundRect: {
        const int c = CornerSize();
        platform::GdiRoundRect(canvas, r.left, r.top, r.right, r.bottom, c, c);
        break;
    }
    case gstEllipse: platform::GdiEllipse(canvas, r.left, r.top, r.right, r.bottom); break;
    default: {
        const QPolygon polygon = FigurePolygon(r);
        if (polygon.size() >= 3)
            canvas.drawPolygon(polygon, Qt::WindingFill);
        break;
    }
    }
}

void TSuperShape::TileSurface(QPainter &canvas) const
{
    if (FSurfaceType == Fill::stBrushImage) {
        FImage->DrawTiles(canvas, Width(), Height(), ZoomFactor());
        return;
    }
    // The solid and gradient bitmaps are made at the object's size; one made
    // before a resize still covers the whole object.
    const QImage bitmap = SurfaceBitmap();
    if (bitmap.isNull())
        return;
    ForEachTile(Width(), Height(), bitmap.width(), bitmap.height(),
                [&](int x, int y) { canvas.drawImage(x, y, bitmap); });
}

void TSuperShape::Paint(QPainter &canvas)
{
    if (FSurfaceType == Fill::stBrushTransparent && FSolid.isNull())
        RenderSolid();
    if (FSurfaceType == Fill::stGradientFill && FGradient.size() != QSize(Width(), Height()))
        RebuildGradient();
    TRect shape, shadow;
    GetRects(shape, shadow);
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);

    if (FShadowOrient != soNone) {
        canvas.setBrush(platform::ToQColor(FShadowColor));
        platform::SetGdiPen(canvas, Qt::black, 1);
        DrawFigure(canvas, shadow);
    }

    if (FSurfaceType != Fill::stNormal) {
        canvas.save();
        canvas.setClipPath(FigurePath(shape), Qt::IntersectClip);
        TileSurface(canvas);
        canvas.restore();
    }

    if (FOutlineStyle != Vcl::psClear) {
        canvas.setBrush(Qt::NoBrush);
        platform::SetGdiPen(canvas, platform::ToQColor(FOutlineColor), Bounded(FOutlineWidth),
                            platform::ToQtPenStyle(FOutlineStyle));
        DrawFigure(canvas, shape);
    }
    canvas.restore();
}

// ---- printing ----

void TSuperShape::PrintFigure(TBaseReport &report, const TRect &r, double originX, double originY) const
{
    const double ppi = platform::ScreenPixelsPerInch();
    const auto inchX = [&](int x) { return originX + (x + Left()) / ppi; };
    const auto inchY = [&](int y) { return originY + (y + Top()) / ppi; };
    switch (FShape) {
    case gstRectangle: report.DrawRect(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom)); break;
    case gstRoundRect: {
        const double c = CornerSize() / ppi;
        report.DrawRoundRect(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom), c, c);
        break;
    }
    case gstEllipse: report.DrawEllipse(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom)); break;
    default: {
        QPolygon device;
        for (const QPoint &p : FigurePolygon(r))
            device.append(QPoint(report.XI2D(inchX(p.x())), report.YI2D(inchY(p.y()))));
        if (device.size() >= 3 && device.size() <= kMaxVectors)
            report.DrawPolygon(device);
        break;
    }
    }
}

void TSuperShape::PrintRegion(TBaseReport &report, const TRect &r, double originX, double originY) const
{
    const double ppi = platform::ScreenPixelsPerInch();
    const auto inchX = [&](int x) { return originX + (x + Left()) / ppi; };
    const auto inchY = [&](int y) { return originY + (y + Top()) / ppi; };
    switch (FShape) {
    case gstRectangle: report.CreateRectRegion(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom)); break;
    case gstRoundRect: {
        const double c = CornerSize() / ppi;
        report.CreateRoundRectRegion(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom), c, c);
        break;
    }
    case gstEllipse:
        report.CreateEllipseRegion(inchX(r.left), inchY(r.top), inchX(r.right), inchY(r.bottom));
        break;
    default: {
        QPolygon device;
        for (const QPoint &p : FigurePolygon(r))
            device.append(QPoint(report.XI2D(inchX(p.x())), report.YI2D(inchY(p.y()))));
        report.CreatePolygonRegion(device, int(device.size()));
        break;
    }
    }
}

void TSuperShape::PrintSurface(TBaseReport &report, double originX, double originY) const
{
    const double ppi = platform::ScreenPixelsPerInch();
    // The whole object in device pixels; the region confines what is drawn.
    const QRect fill = report.DeviceRect(originX + Left() / ppi, originY + Top() / ppi,
                                         originX + (Left() + Width()) / ppi, originY + (Top() + Height()) / ppi);
    switch (FSurfaceType) {
    case Fill::stNormal: break;
    case Fill::stBrushTransparent: {
        // One solid colour prints as a vector area: the same look as the
        // screen's tiles of a plain bitmap, at any resolution.
        report.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 1);
        report.SelectBrush(FBackColor, Vcl::bsSolid);
        const QRect r = fill.adjusted(-1, -1, 1, 1);
        report.DrawPolygon(QPolygon(r, true));
        break;
    }
    case Fill::stBrushImage: FImage->PrintTiles(report, fill, ppi); break;
    case Fill::stGradientFill: {
        // One smooth vector gradient over the object, running as the
        // screen's bands do from band 0's colour to band 255's: on paper
        // screen-sized bands or tiles would show their steps.
        report.SelectPen(platform::clBlack, Vcl::psClear, Vcl::pmCopy, 1);
        report.SelectGradient(platform::SmoothGradient(fill, FBackColor, FGradientToColor, FFillDirection));
        report.DrawPolygon(QPolygon(fill.adjusted(-1, -1, 1, 1), true));
        break;
    }
    }
}

void TSuperShape::Print(TBaseReport &report, double originX, double originY)
{
    TRect shape, shadow;
    GetRects(shape, shadow);

    if (FShadowOrient != soNone) {
        report.SelectBrush(FShadowColor, Vcl::bsSolid);
        report.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, -1);
        PrintFigure(report, shadow, originX, originY);
    }

    if (FSurfaceType != Fill::stNormal) {
        PrintRegion(report, shape, originX, originY);
        report.SelectRegion();
        PrintSurface(report, originX, originY);
        report.ResetClip();
        report.DeleteRegion();
    }

    if (FOutlineStyle != Vcl::psClear) {
        report.SelectBrush(FForeColor, Vcl::bsClear);
        report.SelectPen(FOutlineColor, FOutlineStyle, Vcl::pmCopy, -Bounded(FOutlineWidth));
        PrintFigure(report, shape, originX, originY);
    }
}

// ---- properties ----

void TSuperShape::TakeSettings(const TSuperShape &other)
{
    SetBackColor(other.FBackColor);
    SetFillDirection(other.FFillDirection);
    SetForeColor(other.FForeColor);
    SetGradientToColor(other.FGradientToColor);
    SetImage(other.FImage);
    SetInVectorPercent(other.FInVectorPercent);
    SetOutlineColor(other.FOutlineColor);
    SetOutlineStyle(other.FOutlineStyle);
    SetOutlineWidth(other.FOutlineWidth);
    SetPattern(other.FPattern);
    SetRoundPerc(other.FRoundPerc);
    SetShadowColor(other.FShadowColor);
    SetShadowDepth(other.FShadowDepth);
    SetShadowOrient(other.FShadowOrient);
    SetShape(other.FShape);
    SetStartingAngle(other.FStartingAngle);
    SetSurfaceType(other.FSurfaceType);
    SetVectors(other.FVectors);
    // Choosing a star or no surface adjusts the inner depth, the shadow, the
    // pattern and the outline, as a user's choice should; a copy shows what
    // the other shape shows, so those are taken once more as they are.
    SetInVectorPercent(other.FInVectorPercent);
    SetShadowOrient(other.FShadowOrient);
    SetPattern(other.FPattern);
    SetOutlineStyle(other.FOutlineStyle);
}

void TSuperShape::CopySettings(const TSuperShape &other)
{
    TakeSettings(other);
    SetBounds(Left(), Top(), other.Width(), other.Height());
}

void TSuperShape::TakeFromSample(const TSuperShape &sample, const QString &lastBitmapPath)
{
    TakeSettings(sample);
    FLastBitmapFileNameandPath = lastBitmapPath;
    Invalidate();
    NotifyChanged();
}

void TSuperShape::EditProperties()
{
    const auto &editor = editors::ObjectEditors().SuperShapeProperties;
    if (editor)
        editor(Panel(), *this);
}

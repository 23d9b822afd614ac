// The report: pages drawn in inches onto a device, page by page, with a page
// range, a status line and cancellation. The printing report and the recording
// report differ only in the device their pages go to.
// Holds TBaseReport.
#pragma once

#include "platform/Graphics.h"
#include "report/ReportCanvas.h"
#include "report/ReportDefinitions.h"

#include <QList>
#include <QPainterPath>
#include <QPointer>
#include <QStringList>
#include <functional>

class QLabel;
class QPicture;

class TBaseReport
{
public:
    using TReportEvent = std::function<void(TBaseReport &report)>;

    TBaseReport();
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport &) = delete;
    TBaseReport &operator=(const TBaseReport &) = delete;

    // ---- settings ----
    int FirstPage() const { return FFirstPage; }
    void SetFirstPage(int v) { FFirstPage = v; }
    int LastPage() const { return FLastPage; }
    void SetLastPage(int v) { FLastPage = v; }
    QLabel *StatusLabel() const;
    void SetStatusLabel(QLabel *label);
    QString StatusFormat() const { return FStatusFormat; }
    void SetStatusFormat(const QString &v) { FStatusFormat = v; }
    QStringList &StatusText() { return FStatusText; }
    void SetStatusText(const QStringList &v) { FStatusText = v; }
    TLineHeightMethod LineHeightMethod() const { return FLineHeightMethod; }
    void SetLineHeightMethod(TLineHeightMethod v) { FLineHeightMethod = v; }
    int LinesPerInch() const { return FLinesPerInch; }
    void SetLinesPerInch(int v) { FLinesPerInch = v; }
    // Positions are always in inches (divided by UnitsFactor).
    TPrintUnits Units() const { return unInch; }
    double UnitsFactor() const { return FUnitsFactor; }
    void SetUnitsFactor(double v);
    double MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(double v) { FMarginLeft = v; }
    double MarginRight() const { return FMarginRight; }
    void SetMarginRight(double v) { FMarginRight = v; }
    double MarginTop() const { return FMarginTop; }
    void SetMarginTop(double v) { FMarginTop = v; }
    double MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(double v) { FMarginBottom = v; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString &v) { FTitle = v; }
    TBKMode TextBKMode() const { return FTextBKMode; }
    void SetTextBKMode(TBKMode v);
    int Copies() const { return FCopies; }
    void SetCopies(int v) { FCopies = qMax(1, v); }
    TOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TOrientation v) { FOrientation = v; }
    double ScaleX() const { return FScaleX; }
    void SetScaleX(double v) { FScaleX = v; }
    double ScaleY() const { return FScaleY; }
    void SetScaleY(double v) { FScaleY = v; }

    TReportEvent OnBeforePrint;
    TReportEvent OnPrint;
    TReportEvent OnNewPage;
    TReportEvent OnAfterPrint;

    // ---- page cycle ----
    // Opens the job, raises OnBeforePrint and OnPrint, and closes the job (or
    // aborts it after AbortRun), also when a handler fails.
    void Run();
    void StartNewPage();
    void AbortRun();
    bool IsAborted() const { return FAborted; }
    bool Running() const { return FRunning; }
    int PageNumber() const { return FPageNumber; }
    // Whether the current page reaches the device (in range, not aborted).
    bool OutputEnabled() const { return FOutputEnabled; }
    void UpdateStatus();
    // StatusFormat with its codes replaced.
    QString StatusString() const;

    // ---- device facts ----
    int XDPI() const { return FMetrics.XDPI; }
    int YDPI() const { return FMetrics.YDPI; }
    double UnprintableLeft() const { return FMetrics.UnprintableLeft; }
    double UnprintableTop() const { return FMetrics.UnprintableTop; }
    double UnprintableBottom() const { return FMetrics.UnprintableBottom; }
    const TPageMetrics &Metrics() const { return FMetrics; }
    // Per cent: 100 on the printer.
    double ZoomFactor() const { return FZoom; }
    double OriginX() const { return FOriginX; }
    double OriginY() const { return FOriginY; }
    void SetOrigin(double x, double y);

    // ---- coordinates ----
    int XI2D(double x) const;
    int YI2D(double y) const;
    QRect DeviceRect(double x1, double y1, double x2, double y2) const;
    // The whole sheet of paper in device pixels, whatever the origin.
    QRect PaperDeviceRect() const;

    // ---- drawing, corners in inches ----
    // Width < 0: |Width| hundredths of an inch, at least one device pixel;
    // Width >= 0: device pixels.
    void SelectPen(TColor color, Vcl::TPenStyle style, Vcl::TPenMode mode, int width);
    void SelectBrush(TColor color, Vcl::TBrushStyle style, const QImage &bitmap = QImage());
    // A smooth colour gradient, its points in device pixels: one vector
    // shading on paper instead of many bands.
    void SelectGradient(const QGradient &gradient);
    void DrawRect(double x1, double y1, double x2, double y2);
    void DrawEllipse(double x1, double y1, double x2, double y2);
    // W and H: the corner ellipse's size in inches.
    void DrawRoundRect(double x1, double y1, double x2, double y2, double w, double h);
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void DrawPolygon(const QPolygon &devicePoints);
    // Fills the rectangles (inches) with one colour as one outline-free path;
    // rectangles that touch on the page touch on the device, without seams.
    void FillArea(const QList<QRectF> &rects, TColor color);
    // Fills a path of device pixels with one colour, without outline; between
    // BeginPath and EndPath the path joins the one being collected instead.
    void FillDevicePath(const QPainterPath &devicePath, TColor color);
    void DrawBitmapInRect(double x1, double y1, double x2, double y2, const QImage &bitmap);
    void DrawGraphicInRect(const QRect &deviceRect, const QImage &image);
    void DrawGraphicInRect(const QRect &deviceRect, const QPicture &picture);

    // ---- clipping regions ----
    void CreateRectRegion(double x1, double y1, double x2, double y2);
    void CreateEllipseRegion(double x1, double y1, double x2, double y2);
    void CreateRoundRectRegion(double x1, double y1, double x2, double y2, double w, double h);
    void CreatePolygonRegion(const QPolygon &devicePoints, int count);
    void SelectRegion();
    void DeleteRegion();
    void ResetClip();
    // Index of the region on top of the stack, -1 when empty.
    int RegionIndex() const { return int(FRegions.size()) - 1; }

    // ---- paths ----
    void BeginPath();
    void EndPath();
    void StrokePath();
    void FillPath();
    void ClipToPath();

    // ---- text ----
    QString FontName() const { return FFontName; }
    void SetFontName(const QString &v);
    double FontSize() const { return FFontSize; }
    void SetFontSize(double points);
    bool Bold() const { return FBold; }
    void SetBold(bool v);
    bool Italic() const { return FItalic; }
    void SetItalic(bool v);
    bool Underline() const { return FUnderline; }
    void SetUnderline(bool v);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor v);
    // Inches.
    double FontHeight() const { return FFontSize / 72.0; }
    double FontAscent() const;
    // The device font's character height in pixels.
    int FontPixelHeight() const;
    void GotoXY(double x, double y);
    double XPos() const { return FCursorX; }
    double YPos() const { return FCursorY; }
    void LineTop(double y);
    void PrintText(const QString &text);

protected:
    // ---- what a device does ----
    virtual TPageMetrics ReadMetrics() = 0;
    virtual void BeginDocument() = 0;
    // Returns the painter of a fresh device page.
    virtual QPainter *BeginDevicePage() = 0;
    virtual void EndDevicePage() = 0;
    virtual void EndDocument() = 0;
    virtual void AbortDocument() = 0;
    // Whether the pages made before an error are kept (a recording) or
    // thrown away like an aborted job's (printed output).
    virtual bool KeepsFailedDocument() const { return true; }
    virtual QString DeviceName() const = 0;
    virtual QString DriverName() const = 0;
    virtual QString PortName() const = 0;

    void SetZoomFactor(double percent) { FZoom = percent; }
    void SetPlaybackDevice(std::optional<TDeviceAbilities> abilities) { FCanvas.SetPlaybackDevice(abilities); }

private:
    void StartDocument();
    // Closes the document; one that failed is thrown away like an aborted one.
    void FinishDocument(bool failed = false);
    void BeginPage();
    void EndPage();
    bool PageInRange(int page) const;
    bool CanDraw() const;
    void ApplyFont();
    void PushRegion(const QPainterPath &region);
    // Inches of the device pixels per inch of user units on each axis.
    double XFactor() const;
    double YFactor() const;

    int FFirstPage = report::kFirstPageDefault;
    int FLastPage = report::kLastPageDefault;
    // Held as a QObject so that this header need not know the widget classes.
    QPointer<QObject> FStatusLabel;
    QString FStatusFormat;
    QStringList FStatusText;
    TLineHeightMethod FLineHeightMethod = lhmLinesPerInch;
    int FLinesPerInch = 6;
    double FUnitsFactor = 1.0;
    double FMarginLeft = 0.5, FMarginRight = 0.5, FMarginTop = 0.5, FMarginBottom = 0.5;
    QString FTitle = QStringLiteral("Quorvel");
    TBKMode FTextBKMode = bkTransparent;
    int FCopies = 1;
    TOrientation FOrientation = poDefault;
    double FScaleX = 100.0, FScaleY = 100.0;

    bool FRunning = false;
    bool FDocumentOpen = false;
    bool FDevicePageOpen = false;
    bool FAborted = false;
    bool FOutputEnabled = false;
    int FPageNumber = 0;
    double FOriginX = 0.0, FOriginY = 0.0;
    double FZoom = 100.0;
    TPageMetrics FMetrics;
    QList<QPainterPath> FRegions;
    TRPCanvas FCanvas;

    QString FFontName = QStringLiteral("Arial");
    double FFontSize = 10.0;
    bool FBold = false, FItalic = false, FUnderline = false;
    TColor FFontColor{platform::clBlack};
    double FCursorX = 0.0, FCursorY = 0.0;
};

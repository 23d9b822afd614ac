// The preview: a recorded sheet shown on screen at a chosen zoom, with the
// page drawn on a grey desk with a margin and a shadow. TFilePreview is the
// page viewer bound to a scroll area; TPreviewForm is the preview window with
// its zoom buttons, magnifier clicks and arrow-key scrolling.
// Holds TFilePreview, TPreviewForm.
#pragma once

#include "report/ReportRecorder.h"

#include <QDialog>
#include <QObject>
#include <functional>

class QLabel;
class QScrollArea;
class QToolButton;
class QPushButton;

namespace preview {

inline constexpr double kMinZoom = 10.0;
inline constexpr double kMaxZoom = 200.0;
// Zoom factors at or below this fit the page's width, other negative ones
// the whole page.
inline constexpr double kFitWidthBelow = -1.9;
inline const QString kNoScrollBoxMessage = QStringLiteral("ScrollBox must be assigned for FilePreview component");

// A requested zoom brought into the viewer's range (negative requests are
// the fitted zooms and are not passed through here).
double LimitZoom(double percent);

// The window's caption for a page.
QString PageCaption(int currentPage, int firstPage, int pageCount);

// How the preview window keeps its size and place between previews; the
// program's settings file holds it. Unset, nothing is kept.
using PlacementHandler = std::function<void(QWidget *form)>;
void SetPlacementHandlers(PlacementHandler restore, PlacementHandler save);

} // namespace preview

class TFilePreview : public QObject
{
    Q_OBJECT

public:
    explicit TFilePreview(QObject *parent = nullptr);
    ~TFilePreview() override;

    // ---- settings ----
    QScrollArea *ScrollBox = nullptr;
    int ZoomInc = 10;
    double MarginPercent = 2.5;
    int ShadowDepth = 5;
    // The screen's pixels per inch the page is drawn for.
    int ScreenPixelsPerInch() const;

    void SetRecording(const TPageRecording &recording) { FRecording = recording; }
    const TPageRecording &Recording() const { return FRecording; }

    // ---- viewing ----
    // Shows page 1 in the scroll box; throws EReportError without one.
    void Start();
    // Frees the page picture.
    void Finish();
    bool Active() const { return FActive; }
    int FirstPage() const { return 1; }
    int Pages() const { return int(FRecording.Pages.size()); }
    int CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(int page);
    // The image control in the scroll box that shows the page.
    QLabel *PageImage() const { return FPageImage; }

    // ---- zoom, per cent ----
    double ZoomFactor() const { return FZoom; }
    void SetZoomFactor(double percent);
    void ZoomIn();
    void ZoomOut();
    double ZoomPageWidthFactor() const;
    double ZoomPageFactor() const;
    // The fixed margin around the page, screen pixels.
    int MarginPixels() const;
    void RedrawPage();

signals:
    void PageChange();
    void ZoomChange();

private:
    QSizeF PaperInches() const;

    TPageRecording FRecording;
    QLabel *FPageImage = nullptr;
    bool FActive = false;
    int FCurrentPage = 0;
    double FZoom = 100.0;
};

class TPreviewForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPreviewForm(QWidget *parent = nullptr);
    ~TPreviewForm() override;

    // The recording to show; give it before the window is shown. A
    // recording of several pages (printing for several people) brings the
    // page buttons and the Page Up, Page Down, Home and End keys; one page
    // is shown without them.
    void SetRecording(const TPageRecording &recording);
    TFilePreview &FilePreview1() { return *FFilePreview; }
    QScrollArea *ScrollBox() const { return ScrollBox1; }

    // Control event handlers.
    void FormActivate();
    void SBZoomInClick();
    void SBZoomOutClick();
    void SBZoomPageWidthClick();
    void SBZoomPageClick();
    void SBFirstPageClick();
    void SBPrevPageClick();
    void SBNextPageClick();
    void SBLastPageClick();
    void FilePreview1PageChange();
    void FilePreview1ZoomChange();
    void ScrollBox1MouseDown(Qt::MouseButton button);
    void FormKeyDown(int key);
    void CloseButtonClick();
    void HelpButtonClick();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void FormClose();
    void AddPageButtons();

    TFilePreview *FFilePreview = nullptr;
    bool FActivated = false;
    bool FClosed = false;

    QScrollArea *ScrollBox1 = nullptr;
    QPushButton *CloseButton = nullptr;
    QToolButton *sbZoomIn = nullptr;
    QToolButton *sbZoomOut = nullptr;
    QToolButton *sbZoomPageWidth = nullptr;
    QToolButton *sbZoomPage = nullptr;
    QToolButton *sbFirstPage = nullptr;
    QToolButton *sbPrevPage = nullptr;
    QToolButton *sbNextPage = nullptr;
    QToolButton *sbLastPAge = nullptr;
    class QHBoxLayout *FButtonBar = nullptr;
};

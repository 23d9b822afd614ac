// Holds TFilePreview, TPreviewForm.
#include "printing/PrintPreview.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "printing/DialogKit.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace preview {
namespace {
PlacementHandler g_restorePlacement;
PlacementHandler g_savePlacement;

constexpr int kHelpContext = 2039;
const QColor kDeskColor(128, 128, 128);

// ---- the glyphs of the zoom buttons and the magnifier cursor ----

void DrawLens(QPainter &p, const QRectF &glass)
{
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(glass);
    const QPointF rim = glass.center() + QPointF(glass.width() * 0.35, glass.height() * 0.35);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(rim, rim + QPointF(glass.width() * 0.45, glass.height() * 0.45));
}

QIcon LensIcon(bool plus)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF glass(1, 1, 12, 12);
    DrawLens(p, glass);
    p.setPen(QPen(Qt::black, 1.5));
    const QPointF c = glass.center();
    p.drawLine(c - QPointF(3.5, 0), c + QPointF(3.5, 0));
    if (plus)
        p.drawLine(c - QPointF(0, 3.5), c + QPointF(0, 3.5));
    return QIcon(pixmap);
}

QIcon PageIcon(bool wholePage)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    if (wholePage) {
        p.drawRect(QRectF(5.5, 2.5, 10, 15));
        return QIcon(pixmap);
    }
    p.drawRect(QRectF(2.5, 4.5, 15, 11));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(4, 10), QPointF(16, 10));
    p.drawLine(QPointF(4, 10), QPointF(7, 7.5));
    p.drawLine(QPointF(4, 10), QPointF(7, 12.5));
    p.drawLine(QPointF(16, 10), QPointF(13, 7.5));
    p.drawLine(QPointF(16, 10), QPointF(13, 12.5));
    return QIcon(pixmap);
}

QCursor MagnifyCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLens(p, QRectF(2, 2, 16, 16));
    return QCursor(pixmap, 10, 10);
}

} // namespace

double LimitZoom(double percent)
{
    if (percent < kMinZoom)
        return kMinZoom;
    if (percent > kMaxZoom)
        return kMaxZoom;
    return percent;
}

QString PageCaption(int currentPage, int firstPage, int pageCount)
{
    return QStringLiteral("Preview Page ") + QString::number(currentPage - firstPage + 1) + QStringLiteral(" of ")
        + QString::number(pageCount);
}

void SetPlacementHandlers(PlacementHandler restore, PlacementHandler save)
{
    g_restorePlacement = std::move(restore);
    g_savePlacement = std::move(save);
}

} // namespace preview

// ======================================================================
// The page viewer

TFilePreview::TFilePreview(QObject *parent) : QObject(parent) {}

TFilePreview::~TFilePreview() = default;

int TFilePreview::ScreenPixelsPerInch() const
{
    return platform::ScreenPixelsPerInch();
}

QSizeF TFilePreview::PaperInches() const
{
    return FRecording.Metrics.PaperSize;
}

int TFilePreview::MarginPixels() const
{
    return platform::Round(ScreenPixelsPerInch() * PaperInches().width() * MarginPercent / 100.0);
}

void TFilePreview::Start()
{
    if (!ScrollBox)
        throw EReportError(preview::kNoScrollBoxMessage);
    if (!FPageImage) {
        FPageImage = new QLabel;
        FPageImage->setObjectName(QStringLiteral("PageImage"));
        FPageImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        ScrollBox->setWidget(FPageImage);
    }
    FActive = true;
    FCurrentPage = 0;
    SetCurrentPage(FirstPage());
}

void TFilePreview::Finish()
{
    FActive = false;
    if (FPageImage)
        FPageImage->setPixmap(QPixmap());
}

void TFilePreview::SetCurrentPage(int page)
{
    if (Pages() == 0) {
        FCurrentPage = FirstPage();
    } else {
        FCurrentPage = qBound(FirstPage(), page, Pages());
    }
    RedrawPage();
    emit PageChange();
}

void TFilePreview::SetZoomFactor(double percent)
{
    if (percent <= preview::kFitWidthBelow)
        FZoom = ZoomPageWidthFactor();
    else if (percent < 0.0)
        FZoom = ZoomPageFactor();
    else
        FZoom = preview::LimitZoom(percent);
    RedrawPage();
    emit ZoomChange();
}

void TFilePreview::ZoomIn()
{
    SetZoomFactor(FZoom + ZoomInc);
}

void TFilePreview::ZoomOut()
{
    SetZoomFactor(FZoom - ZoomInc);
}

double TFilePreview::ZoomPageWidthFactor() const
{
    if (!ScrollBox || PaperInches().isEmpty())
        return FZoom;
    const double px = ScreenPixelsPerInch(), py = ScreenPixelsPerInch();
    const double w = PaperInches().width(), h = PaperInches().height();
    const int m = MarginPixels();
    const int bx = ScrollBox->width() - ScrollBox->viewport()->width()
        - (ScrollBox->verticalScrollBar()->isVisible() ? ScrollBox->verticalScrollBar()->width() : 0);
    const int by = ScrollBox->height() - ScrollBox->viewport()->height()
        - (ScrollBox->horizontalScrollBar()->isVisible() ? ScrollBox->horizontalScrollBar()->height() : 0);
    const int v = ScrollBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox);
    double z = (ScrollBox->width() - ShadowDepth - bx - 2.0 * m) / (px * w);
    // A page taller than the box brings a vertical scroll bar, which takes
    // width from the page.
    if (ScrollBox->height() - ShadowDepth - by < z * py * h + 2.0 * m)
        z = (ScrollBox->width() - ShadowDepth - bx - 2.0 * m - v) / (px * w);
    return z * 100.0;
}

double TFilePreview::ZoomPageFactor() const
{
    if (!ScrollBox || PaperInches().isEmpty())
        return FZoom;
    const double px = ScreenPixelsPerInch(), py = ScreenPixelsPerInch();
    const int m = MarginPixels();
    const double zx = (ScrollBox->width() - ShadowDepth - 4 - 2.0 * m) / (px * PaperInches().width());
    const double zy = (ScrollBox->height() - ShadowDepth - 4 - 2.0 * m) / (py * PaperInches().height());
    return qMin(zx, zy) * 100.0;
}

void TFilePreview::RedrawPage()
{
    if (!FActive || !FPageImage)
        return;
    const int m = MarginPixels();
    QImage page = RenderRecordedPage(FRecording, FCurrentPage - FirstPage(), FZoom, ScreenPixelsPerInch());
    if (page.isNull()) {
        // A recording without pages shows an empty sheet.
        const double scale = FZoom / 100.0 * ScreenPixelsPerInch();
        page = QImage(qMax(1, platform::Round(PaperInches().width() * scale)),
                      qMax(1, platform::Round(PaperInches().height() * scale)), QImage::Format_RGB32);
        page.fill(Qt::white);
    }
    QImage desk(page.width() + 2 * m + ShadowDepth, page.height() + 2 * m + ShadowDepth, QImage::Format_RGB32);
    desk.fill(preview::kDeskColor);
    QPainter p(&desk);
    if (ShadowDepth > 0)
        p.fillRect(QRect(m + ShadowDepth, m + ShadowDepth, page.width(), page.height()), Qt::black);
    p.drawImage(m, m, page);
    p.end();
    FPageImage->setPixmap(QPixmap::fromImage(desk));
    FPageImage->resize(desk.size());
}

// ======================================================================
// The preview window

TPreviewForm::TPreviewForm(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TPreviewForm"));
    setWindowTitle(QStringLiteral("Label Preview"));

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    ScrollBox1->viewport()->setCursor(preview::MagnifyCursor());
    ScrollBox1->viewport()->installEventFilter(this);

    FFilePreview = new TFilePreview(this);
    FFilePreview->ScrollBox = ScrollBox1;
    connect(FFilePreview, &TFilePreview::PageChange, this, &TPreviewForm::FilePreview1PageChange);
    connect(FFilePreview, &TFilePreview::ZoomChange, this, &TPreviewForm::FilePreview1ZoomChange);

    CloseButton = new QPushButton(QStringLiteral("Ok"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &TPreviewForm::CloseButtonClick);

    auto glyphButton = [this](const char *name, const QIcon &icon, const QString &hint, void (TPreviewForm::*click)()) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(icon);
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, click);
        return button;
    };
    sbZoomIn = glyphButton("sbZoomIn", preview::LensIcon(true), QStringLiteral("Zoom in"), &TPreviewForm::SBZoomInClick);
    sbZoomOut =
        glyphButton("sbZoomOut", preview::LensIcon(false), QStringLiteral("Zoom out"), &TPreviewForm::SBZoomOutClick);
    sbZoomPageWidth = glyphButton("sbZoomPageWidth", preview::PageIcon(false), QStringLiteral("Fit the page width"),
                                  &TPreviewForm::SBZoomPageWidthClick);
    sbZoomPage = glyphButton("sbZoomPage", preview::PageIcon(true), QStringLiteral("Show the whole page"),
                             &TPreviewForm::SBZoomPageClick);
    auto *help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("Helpbutton"));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &TPreviewForm::HelpButtonClick);

    auto *bar = new QHBoxLayout;
    FButtonBar = bar;
    bar->addWidget(CloseButton);
    bar->addSpacing(12);
    bar->addWidget(sbZoomIn);
    bar->addWidget(sbZoomOut);
    bar->addWidget(sbZoomPageWidth);
    bar->addWidget(sbZoomPage);
    bar->addStretch();
    bar->addWidget(help);
    bar->addWidget(TODSHelp::MakeMouseHelpButton(this));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(ScrollBox1, 1);
    layout->addLayout(bar);

    AttachFormHelp(this);

    // The arrow keys scroll the page whichever control has the focus.
    auto *up = new QShortcut(QKeySequence(Qt::Key_Up), this);
    connect(up, &QShortcut::activated, this, [this] { FormKeyDown(Qt::Key_Up); });
    auto *down = new QShortcut(QKeySequence(Qt::Key_Down), this);
    connect(down, &QShortcut::activated, this, [this] { FormKeyDown(Qt::Key_Down); });

    resize(608, 424 + bar->sizeHint().height());
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::SetRecording(const TPageRecording &recording)
{
    FFilePreview->SetRecording(recording);
    if (FFilePreview->Pages() > 1 && !sbFirstPage)
        AddPageButtons();
}

void TPreviewForm::AddPageButtons()
{
    const auto pageButton = [this](const char *name, QStyle::StandardPixmap glyph, const QString &hint,
                                   void (TPreviewForm::*click)()) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(style()->standardIcon(glyph));
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, click);
        return button;
    };
    sbFirstPage = pageButton("sbFirstPage", QStyle::SP_MediaSkipBackward, QStringLiteral("First page"),
                             &TPreviewForm::SBFirstPageClick);
    sbPrevPage = pageButton("sbPrevPage", QStyle::SP_MediaSeekBackward, QStringLiteral("Previous page"),
                            &TPreviewForm::SBPrevPageClick);
    sbNextPage = pageButton("sbNextPage", QStyle::SP_MediaSeekForward, QStringLiteral("Next page"),
                            &TPreviewForm::SBNextPageClick);
    sbLastPAge = pageButton("sbLastPAge", QStyle::SP_MediaSkipForward, QStringLiteral("Last page"),
                            &TPreviewForm::SBLastPageClick);
    // After the zoom buttons, before the stretch.
    const int at = FButtonBar->indexOf(sbZoomPage) + 1;
    FButtonBar->insertSpacing(at, 12);
    int next = at + 1;
    for (QToolButton *button : {sbFirstPage, sbPrevPage, sbNextPage, sbLastPAge})
        FButtonBar->insertWidget(next++, button);
    const QList<QPair<QKeySequence, void (TPreviewForm::*)()>> keys{{QKeySequence(Qt::Key_Home), &TPreviewForm::SBFirstPageClick},
                                                                   {QKeySequence(Qt::Key_PageUp), &TPreviewForm::SBPrevPageClick},
                                                                   {QKeySequence(Qt::Key_PageDown), &TPreviewForm::SBNextPageClick},
                                                                   {QKeySequence(Qt::Key_End), &TPreviewForm::SBLastPageClick}};
    for (const auto &[key, slot] : keys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    }
    AttachFormHelp(this);
}

void TPreviewForm::SBFirstPageClick() { FFilePreview->SetCurrentPage(FFilePreview->FirstPage()); }
void TPreviewForm::SBPrevPageClick() { FFilePreview->SetCurrentPage(FFilePreview->CurrentPage() - 1); }
void TPreviewForm::SBNextPageClick() { FFilePreview->SetCurrentPage(FFilePreview->CurrentPage() + 1); }
void TPreviewForm::SBLastPageClick() { FFilePreview->SetCurrentPage(FFilePreview->Pages()); }

void TPreviewForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TPreviewForm::FormActivate()
{
    if (FActivated)
        return;
    FActivated = true;
    if (preview::g_restorePlacement)
        preview::g_restorePlacement(this);
    FFilePreview->Start();
    FFilePreview->PageImage()->setCursor(ScrollBox1->viewport()->cursor());
    FFilePreview->PageImage()->installEventFilter(this);
    FFilePreview->SetZoomFactor(100.0);
}

void TPreviewForm::SBZoomInClick() { FFilePreview->ZoomIn(); }
void TPreviewForm::SBZoomOutClick() { FFilePreview->ZoomOut(); }
void TPreviewForm::SBZoomPageWidthClick() { FFilePreview->SetZoomFactor(FFilePreview->ZoomPageWidthFactor()); }
void TPreviewForm::SBZoomPageClick() { FFilePreview->SetZoomFactor(FFilePreview->ZoomPageFactor()); }

void TPreviewForm::FilePreview1PageChange()
{
    setWindowTitle(
        preview::PageCaption(FFilePreview->CurrentPage(), FFilePreview->FirstPage(), FFilePreview->Pages()));
    if (sbFirstPage) {
        const bool first = FFilePreview->CurrentPage() <= FFilePreview->FirstPage();
        const bool last = FFilePreview->CurrentPage() >= FFilePreview->Pages();
        sbFirstPage->setEnabled(!first);
        sbPrevPage->setEnabled(!first);
        sbNextPage->setEnabled(!last);
        sbLastPAge->setEnabled(!last);
    }
}

void TPreviewForm::FilePreview1ZoomChange() {}

void TPreviewForm::ScrollBox1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        FFilePreview->ZoomIn();
    else
        FFilePreview->ZoomOut();
}

void TPreviewForm::FormKeyDown(int key)
{
    QScrollBar *bar = ScrollBox1->verticalScrollBar();
    if (key == Qt::Key_Up)
        bar->setValue(qMax(0, bar->value() - bar->singleStep()));
    else if (key == Qt::Key_Down)
        bar->setValue(qMin(bar->maximum(), bar->value() + bar->singleStep()));
}

bool TPreviewForm::eventFilter(QObject *watched, QEvent *e)
{
    const bool onPage = watched == ScrollBox1->viewport() || watched == FFilePreview->PageImage();
    if (onPage && e->type() == QEvent::MouseButtonPress) {
        ScrollBox1MouseDown(static_cast<QMouseEvent *>(e)->button());
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TPreviewForm::CloseButtonClick() { accept(); }

void TPreviewForm::HelpButtonClick() { printing::OpenHelp(preview::kHelpContext); }

void TPreviewForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TPreviewForm::FormClose()
{
    if (FClosed)
        return;
    FClosed = true;
    if (preview::g_savePlacement)
        preview::g_savePlacement(this);
    if (FFilePreview->Active())
        FFilePreview->Finish();
}

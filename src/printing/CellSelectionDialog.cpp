// Holds TPrinterAccess, TSelectSpecificLabels.
#include "printing/CellSelectionDialog.h"

#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "printing/DialogKit.h"
#include "widgets/SpinEdit.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace cellselection {
namespace {
// The picture shows the sheet at one fifth of its size, this far in from its corner.
constexpr double kPictureScale = 0.2;
constexpr int kPictureInset = 10;

double PictureScale(int pixelsPerInch) { return kPictureScale * pixelsPerInch; }
} // namespace

QSizeF PaperSizeInches(int papersize)
{
    if (papersize == 1)
        return QSizeF(8.5, 11.0);
    // Card stock of the label-template library may come on other paper
    // (Legal, A5, ...); codes no paper answers to are drawn as A4.
    const QPageSize other(QPageSize::id(papersize));
    if (papersize != 9 && other.isValid() && other.id() != QPageSize::Custom)
        return other.size(QPageSize::Inch);
    return QSizeF(8.268, 11.69);
}

QList<TRect> CellRects(const CardSheetLayout &layout, int pixelsPerInch)
{
    using platform::Trunc;
    const double s = PictureScale(pixelsPerInch);
    QList<TRect> rects;
    for (int row = 0; row < layout.Down; ++row) {
        for (int column = 0; column < layout.Across; ++column) {
            TRect r;
            r.left = Trunc(layout.LeftMargin * s) + column * Trunc(layout.HPitch * s) + kPictureInset;
            r.top = Trunc(layout.TopMargin * s) + row * Trunc(layout.VPitch * s) + kPictureInset;
            r.right = r.left + Trunc(layout.Width * s);
            r.bottom = r.top + Trunc(layout.Height * s);
            rects << r;
        }
    }
    return rects;
}

TRect SheetRect(int papersize, int pixelsPerInch)
{
    const double s = PictureScale(pixelsPerInch);
    const QSizeF paper = PaperSizeInches(papersize);
    return {kPictureInset, kPictureInset, kPictureInset + platform::Trunc(paper.width() * s),
            kPictureInset + platform::Trunc(paper.height() * s)};
}

int CellAt(const QList<TRect> &rects, QPoint point)
{
    for (int i = 0; i < rects.size(); ++i) {
        const TRect &r = rects[i];
        if (point.x() >= r.left && point.x() < r.right && point.y() >= r.top && point.y() < r.bottom)
            return i;
    }
    return -1;
}

SelectedCells FitToLayout(SelectedCells cells, const CardSheetLayout &layout)
{
    const int count = qMax(0, layout.CellCount());
    if (cells.size() > count)
        cells.resize(count);
    while (cells.size() < count)
        cells << true;
    return cells;
}

SelectedCells AllSelected(const CardSheetLayout &layout) { return FitToLayout({}, layout); }

bool AnySelected(const SelectedCells &cells, const CardSheetLayout &layout)
{
    const int count = qMin<qsizetype>(cells.size(), qMax(0, layout.CellCount()));
    for (int i = 0; i < count; ++i)
        if (cells[i])
            return true;
    return false;
}

} // namespace cellselection

// The small picture of the sheet; clicks toggle the cells.
class TSheetPicture : public QWidget
{
public:
    explicit TSheetPicture(TSelectSpecificLabels *dialog)
        : QWidget(dialog)
        , FDialog(dialog)
    {
        setObjectName(QStringLiteral("PaintBox1"));
    }

    void FitToContents(const TRect &sheet, const QList<TRect> &cells)
    {
        FSheet = sheet;
        int right = sheet.right, bottom = sheet.bottom;
        for (const TRect &r : cells) {
            right = qMax(right, r.right);
            bottom = qMax(bottom, r.bottom);
        }
        setFixedSize(right + 10, bottom + 10);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::black, 0));
        // The outline is drawn on the rectangle's inside, right and bottom edges excluded.
        auto drawBox = [&p](const TRect &r, const QColor &fill) {
            p.setBrush(fill);
            p.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
        };
        drawBox(FSheet, Qt::white);
        const QList<TRect> &rects = FDialog->CellRectangles();
        const SelectedCells &cells = FDialog->Cells();
        for (int i = 0; i < rects.size(); ++i)
            drawBox(rects[i], i < cells.size() && cells[i] ? QColor(Qt::red) : QColor(Qt::white));
    }

    void mousePressEvent(QMouseEvent *event) override { FDialog->PaintBoxMouseDown(event->position().toPoint()); }

private:
    TSelectSpecificLabels *FDialog;
    TRect FSheet;
};

TSelectSpecificLabels::TSelectSpecificLabels(const CardSheetLayout &layout, const SelectedCells &cells,
                                             const TPrinterAccess &printer, QWidget *parent)
    : QDialog(parent)
    , FLayout(layout)
    , FCells(cellselection::FitToLayout(cells, layout))
    , FPrinter(printer)
    , FPixelsPerInch(platform::ScreenPixelsPerInch())
{
    setObjectName(QStringLiteral("TSelectSpecificLabels"));
    setWindowTitle(QStringLiteral("Print Cards"));
    FCellRects = cellselection::CellRects(FLayout, FPixelsPerInch);
    BuildControls();
    RefreshPrinterName();
}

void TSelectSpecificLabels::BuildControls()
{
    auto *header = new QLabel(QStringLiteral(" Select Cards To Print"), this);
    PaintBox1 = new TSheetPicture(this);
    PaintBox1->FitToContents(cellselection::SheetRect(FLayout.Papersize, FPixelsPerInch), FCellRects);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(PaintBox1);
    // Tall layouts scroll; a sheet of paper fits without.
    scroll->setMinimumSize(qMin(PaintBox1->width(), 420) + 2, qMin(PaintBox1->height(), 480) + 2);

    auto *selectAll = new QPushButton(QStringLiteral("&All"), this);
    selectAll->setObjectName(QStringLiteral("SelectAll"));
    selectAll->setAutoDefault(false);
    auto *selectNone = new QPushButton(QStringLiteral("&None"), this);
    selectNone->setObjectName(QStringLiteral("Selectnone"));
    selectNone->setAutoDefault(false);

    auto *printerHeader = new QLabel(QStringLiteral("Printer"), this);
    PrinterLabel = new QLabel(this);
    PrinterLabel->setObjectName(QStringLiteral("PrinterLabel"));
    PrinterLabel->setWordWrap(true);
    PrinterLabel->setMinimumWidth(160);
    auto *setupButton = new QPushButton(QStringLiteral("Print &Setup"), this);
    setupButton->setObjectName(QStringLiteral("PrinterSetupButton"));
    setupButton->setAutoDefault(false);
    setupButton->setEnabled(bool(FPrinter.ShowPrinterSetup));

    auto *pagesHeader = new QLabel(QStringLiteral("Pages"), this);
    pages = new TSpinEdit(this);
    pages->setObjectName(QStringLiteral("pages"));
    pages->SetMinValue(1);
    pages->SetMaxValue(99);
    pages->SetValue(1);
    pages->setFixedWidth(60);
    auto *pagesLabel = new QLabel(QStringLiteral("Number of &pages:"), this);
    pagesLabel->setBuddy(pages);

    // Both sides: off and disabled until the caller offers them.
    auto *sidesHeader = new QLabel(QStringLiteral("Sides"), this);
    BothSidesCheck = new QCheckBox(QStringLiteral("&Both sides"), this);
    BothSidesCheck->setObjectName(QStringLiteral("BothSidesCheck"));
    BothSidesCheck->setEnabled(false);
    DuplexCombo = new QComboBox(this);
    DuplexCombo->setObjectName(QStringLiteral("DuplexCombo"));
    DuplexCombo->addItem(QStringLiteral("Duplex, long-edge flip"), int(sheetprint::dxLongEdge));
    DuplexCombo->addItem(QStringLiteral("Duplex, short-edge flip"), int(sheetprint::dxShortEdge));
    DuplexCombo->addItem(QStringLiteral("No duplex: I turn the stack"), int(sheetprint::dxManual));
    DuplexCombo->setEnabled(false);
    connect(BothSidesCheck, &QCheckBox::toggled, DuplexCombo, &QWidget::setEnabled);

    for (QLabel *h : {header, printerHeader, pagesHeader, sidesHeader}) {
        QFont bold = h->font();
        bold.setBold(true);
        h->setFont(bold);
    }

    QPushButton *okButton = printing::MakeDefaultDialogButton(this, QStringLiteral("Ok"), QStringLiteral("OKButton"));
    QPushButton *cancelButton =
        printing::MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"));
    QPushButton *helpButton = printing::MakeDialogButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *pointer = TODSHelp::MakeMouseHelpButton(this);

    auto *left = new QVBoxLayout;
    left->addWidget(header);
    left->addWidget(scroll, 1);
    auto *selectButtons = new QHBoxLayout;
    selectButtons->addWidget(selectAll);
    selectButtons->addWidget(selectNone);
    selectButtons->addStretch();
    left->addLayout(selectButtons);

    auto *pagesRow = new QHBoxLayout;
    pagesRow->addWidget(pagesLabel);
    pagesRow->addWidget(pages);
    auto *right = new QVBoxLayout;
    right->addWidget(printerHeader);
    right->addWidget(PrinterLabel);
    right->addWidget(setupButton, 0, Qt::AlignLeft);
    right->addSpacing(16);
    right->addWidget(pagesHeader);
    right->addLayout(pagesRow);
    right->addSpacing(16);
    right->addWidget(sidesHeader);
    right->addWidget(BothSidesCheck);
    right->addWidget(DuplexCombo);
    right->addStretch();

    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(12);
    columns->addLayout(right);

    QHBoxLayout *buttons = printing::MakeButtonRow({okButton, cancelButton, helpButton, pointer});

    auto *main = new QVBoxLayout(this);
    main->addLayout(columns);
    main->addLayout(buttons);

    AttachFormHelp(this);

    connect(selectAll, &QPushButton::clicked, this, &TSelectSpecificLabels::SelectAllClick);
    connect(selectNone, &QPushButton::clicked, this, &TSelectSpecificLabels::SelectnoneClick);
    connect(setupButton, &QPushButton::clicked, this, &TSelectSpecificLabels::PrinterSetupButtonClick);
    connect(okButton, &QPushButton::clicked, this, &TSelectSpecificLabels::OkButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &TSelectSpecificLabels::HelpButtonClick);
}

int TSelectSpecificLabels::Pages() const
{
    return qBound(pages->MinValue(), pages->Value(), pages->MaxValue());
}

QWidget *TSelectSpecificLabels::PaintBox() const { return PaintBox1; }

void TSelectSpecificLabels::RefreshPrinterName()
{
    PrinterLabel->setText(FPrinter.PrinterName ? FPrinter.PrinterName() : QPrinterInfo::defaultPrinterName());
}

void TSelectSpecificLabels::PaintBoxMouseDown(QPoint point)
{
    const int cell = cellselection::CellAt(FCellRects, point);
    if (cell < 0)
        return;
    FCells[cell] = !FCells[cell];
    PaintBox1->update(FCellRects[cell].ToQRect());
}

void TSelectSpecificLabels::SelectAllClick()
{
    FCells.fill(true);
    PaintBox1->update();
}

void TSelectSpecificLabels::SelectnoneClick()
{
    FCells.fill(false);
    PaintBox1->update();
}

void TSelectSpecificLabels::PrinterSetupButtonClick()
{
    if (FPrinter.ShowPrinterSetup)
        FPrinter.ShowPrinterSetup(this);
    RefreshPrinterName();
}

void TSelectSpecificLabels::OkButtonClick()
{
    if (FPrinter.SetPortraitAndCopies)
        FPrinter.SetPortraitAndCopies(Pages());
    if (!cellselection::AnySelected(FCells, FLayout)) {
        printing::ShowInformation(this, QStringLiteral("You must select at least one card to print"));
        return;
    }
    accept();
}

void TSelectSpecificLabels::HelpButtonClick() { printing::OpenHelp(2020); }

bool SelectCells(const CardSheetLayout &layout, SelectedCells &cells, int &pages, const TPrinterAccess &printer,
                 QWidget *parent, sheetprint::TDuplex *duplex, bool cardHasBack)
{
    TSelectSpecificLabels dialog(layout, cells, printer, parent);
    if (duplex)
        dialog.OfferBothSides(cardHasBack, *duplex);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    cells = dialog.Cells();
    pages = dialog.Pages();
    if (duplex)
        *duplex = dialog.Duplex();
    return true;
}

void TSelectSpecificLabels::OfferBothSides(bool cardHasBack, sheetprint::TDuplex duplex)
{
    BothSidesCheck->setEnabled(cardHasBack);
    BothSidesCheck->setChecked(cardHasBack && duplex != sheetprint::dxNone);
    if (duplex != sheetprint::dxNone)
        DuplexCombo->setCurrentIndex(DuplexCombo->findData(int(duplex)));
    DuplexCombo->setEnabled(BothSidesCheck->isChecked());
    if (!cardHasBack)
        BothSidesCheck->setToolTip(QStringLiteral("This card has no back (View > Back designs one)"));
}

sheetprint::TDuplex TSelectSpecificLabels::Duplex() const
{
    if (!BothSidesCheck->isEnabled() || !BothSidesCheck->isChecked())
        return sheetprint::dxNone;
    return sheetprint::TDuplex(DuplexCombo->currentData().toInt());
}

// Holds TNudgeSample.
#include "printing/NudgeSample.h"

#include "printing/SheetLayoutDialog.h"
#include "printing/SheetPrinting.h"

#include <QPainter>

namespace {

constexpr int kPadding = 6;
// The most cards drawn: the most the layout dialog takes.
constexpr int kMostColumns = 10, kMostRows = 30;

using sheetlayout::PaperInches;

} // namespace

TNudgeSample::TNudgeSample(const CardSheetLayout &layout, QWidget *parent) : QWidget(parent), FLayout(layout)
{
    setObjectName(QStringLiteral("NudgeSample"));
    setFixedSize(170, 216);
}

void TNudgeSample::SetNudges(const PrinterNudges &nudges)
{
    FNudges = nudges;
    update();
}

void TNudgeSample::SetLayout(const CardSheetLayout &layout)
{
    if (layout == FLayout)
        return;
    FLayout = layout;
    update();
}

void TNudgeSample::SetShowMargins(bool show)
{
    FShowMargins = show;
    update();
}

QRectF TNudgeSample::CardRect(int row, int column) const
{
    const sheetprint::TSheetGeometry stock = sheetprint::SheetGeometry(FLayout, PrinterNudges());
    const QPointF origin = sheetprint::CellOrigin(stock, row, column);
    const double scale = PixelsPerInch();
    return QRectF(PaperRect().topLeft() + origin * scale, QSizeF(stock.CardWidth, stock.CardHeight) * scale);
}

double TNudgeSample::PixelsPerInch() const
{
    const QSizeF paper = PaperInches(FLayout.Papersize);
    return qMin((width() - 2 * kPadding) / paper.width(), (height() - 2 * kPadding) / paper.height());
}

QRectF TNudgeSample::PaperRect() const
{
    const QSizeF paper = PaperInches(FLayout.Papersize) * PixelsPerInch();
    return QRectF(QPointF((width() - paper.width()) / 2.0, (height() - paper.height()) / 2.0), paper);
}

void TNudgeSample::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF paper = PaperRect();
    const double scale = PixelsPerInch();
    p.setPen(QPen(Qt::darkGray, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(paper);

    auto cellRect = [&](const sheetprint::TSheetGeometry &sheet, int row, int column) {
        const QPointF origin = sheetprint::CellOrigin(sheet, row, column);
        return QRectF(paper.topLeft() + origin * scale, QSizeF(sheet.CardWidth, sheet.CardHeight) * scale);
    };
    const sheetprint::TSheetGeometry stock = sheetprint::SheetGeometry(FLayout, PrinterNudges());
    const sheetprint::TSheetGeometry printed = sheetprint::SheetGeometry(FLayout, FNudges);
    const int rows = qBound(0, stock.Down, kMostRows), columns = qBound(0, stock.Across, kMostColumns);
    // Cells that touch stay apart by their outlines in the layout drawing.
    p.setPen(FShowMargins ? QPen(Qt::darkGray, 1.0) : QPen(Qt::NoPen));
    p.setBrush(QColor(210, 210, 210));
    p.setClipRect(paper.adjusted(-kPadding, -kPadding, kPadding, kPadding));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            p.drawRect(cellRect(stock, row, column));
    if (FShowMargins) {
        DrawMargins(p);
        return;
    }
    p.setPen(QPen(Qt::red, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            p.drawRect(cellRect(printed, row, column));
}

void TNudgeSample::DrawMargins(QPainter &p) const
{
    // A line with ends across it from the paper's edge to the first card,
    // through the middle of the first card's row and of its column.
    const QRectF paper = PaperRect();
    const QRectF first = CardRect(0, 0);
    const double tick = 3.0;
    p.setPen(QPen(MarginColor(), 1.5));
    const double y = first.center().y();
    p.drawLine(QPointF(paper.left(), y), QPointF(first.left(), y));
    p.drawLine(QPointF(first.left(), y - tick), QPointF(first.left(), y + tick));
    const double x = first.center().x();
    p.drawLine(QPointF(x, paper.top()), QPointF(x, first.top()));
    p.drawLine(QPointF(x - tick, first.top()), QPointF(x + tick, first.top()));
}

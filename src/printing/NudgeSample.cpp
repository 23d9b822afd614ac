// Holds TNudgeSample.
#include "printing/NudgeSample.h"

#include "printing/SheetPrinting.h"

#include <QPageSize>
#include <QPainter>

namespace {

constexpr int kPadding = 6;

QSizeF PaperInches(int papersize)
{
    const QPageSize paper(QPageSize::id(papersize));
    if (paper.isValid() && paper.id() != QPageSize::Custom)
        return paper.size(QPageSize::Inch);
    return QSizeF(8.5, 11.0);
}

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
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 210, 210));
    for (int row = 0; row < stock.Down; ++row)
        for (int column = 0; column < stock.Across; ++column)
            p.drawRect(cellRect(stock, row, column));
    p.setPen(QPen(Qt::red, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < printed.Down; ++row)
        for (int column = 0; column < printed.Across; ++column)
            p.drawRect(cellRect(printed, row, column));
}

// The drawing of a sheet of card stock at the paper's true proportions: the
// paper, its cards in grey and either, outlined in red, where the cards
// print with the printer nudges (the fine-tuning dialog's sample) or, in
// blue, the top and left margins (the layout dialog's drawing).
// Holds TNudgeSample.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QRectF>
#include <QWidget>

class TNudgeSample : public QWidget
{
    Q_OBJECT

public:
    explicit TNudgeSample(const CardSheetLayout &layout, QWidget *parent = nullptr);

    void SetNudges(const PrinterNudges &nudges);
    void SetLayout(const CardSheetLayout &layout);
    const CardSheetLayout &Layout() const { return FLayout; }
    // Draws the margins instead of the printed outlines.
    void SetShowMargins(bool show);
    // The paper's rectangle on the widget, and the widget pixels per inch.
    QRectF PaperRect() const;
    double PixelsPerInch() const;
    // The rectangle of the card in that row and column on the widget.
    QRectF CardRect(int row, int column) const;

    static QColor MarginColor() { return QColor(0, 90, 200); }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void DrawMargins(QPainter &p) const;

    CardSheetLayout FLayout;
    PrinterNudges FNudges;
    bool FShowMargins = false;
};

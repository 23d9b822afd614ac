// The sample of the printer fine-tuning dialog: the sheet of card stock with
// its cards in grey and, outlined in red, where the cards print with the
// nudges, all at the paper's true proportions.
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
    // The paper's rectangle on the widget, and the widget pixels per inch.
    QRectF PaperRect() const;
    double PixelsPerInch() const;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    CardSheetLayout FLayout;
    PrinterNudges FNudges;
};

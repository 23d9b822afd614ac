// The bottom-margin warning "ALERT": shown before printing when the printer
// cannot print as close to the paper's bottom edge as the bottom row of cards
// needs, so the user can go on, cancel, or stop the warning for good.
// Holds TWarnBottomMargin.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QDialog>

class QCheckBox;

namespace bottommargin {

// How near the paper's bottom edge a sheet of business cards prints, inches.
inline constexpr double kCardReach = 0.5;

// The two labels that name the printer's bottom margin and what may be cut
// off, for an unprintable bottom strip of `bottomInches`.
QString BottomMarginText(double bottomInches);
QString DifferenceText(double bottomInches);

// Whether a run must warn first: the printer's unprintable bottom strip is
// wider than the cards reach and every cell of the sheet's bottom row is to
// be printed (cells 9 and 10 of the usual 2 x 5 sheet).
bool WarningApplies(double bottomInches, const CardSheetLayout &layout, const SelectedCells &cells,
                    bool showWarning);

} // namespace bottommargin

class TWarnBottomMargin : public QDialog
{
    Q_OBJECT

public:
    explicit TWarnBottomMargin(double bottomInches, QWidget *parent = nullptr);

    bool DontShowAgain() const;
    void HelpButtonClick();

private:
    QCheckBox *DontShowCheck = nullptr;
};

// Shows the warning. Returns true to go on printing ("Continue"), false for
// "Cancel Printing". Whatever the button, a ticked "Don't show this warning
// again" sets showWarning to false; the caller then saves the preferences.
bool WarnBottomMargin(double bottomInches, bool &showWarning, QWidget *parent);

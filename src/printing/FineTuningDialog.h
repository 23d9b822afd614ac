// The printer fine-tuning dialog "Printer Fine-Tuning": four corrections in
// 1/32 inch, from -8 to 8, that printing adds to the layout's top and left
// margins and to its vertical and horizontal pitches, to make up for a
// printer's paper feed. It tells how to read the calibration page.
// Holds TPrintFineTune.
#pragma once

#include "printing/CardSheetLayout.h"

#include <QDialog>

class QLabel;
class TNudgeSample;

namespace finetune {

inline constexpr int kMinNudge = -8;
inline constexpr int kMaxNudge = 8;

// The value label: "Increase by 3/32\"", "None", "Decrease by 2/32\""; no
// text for a value outside -8..8.
QString NudgeCaption(int nudge);
// The spinner's down arrow moves printing down or right by 1/32 inch, the up
// arrow back; both stop at the ends of the range.
int NudgeDownArrow(int nudge);
int NudgeUpArrow(int nudge);

} // namespace finetune

class TPrintFineTune : public QDialog
{
    Q_OBJECT

public:
    // With a layout the dialog shows the sheet and where the cards print.
    // The backs' nudges of two-sided sheets are tuned in the same dialog,
    // named for them.
    explicit TPrintFineTune(const PrinterNudges &nudges, QWidget *parent = nullptr,
                            const CardSheetLayout *sheetLayout = nullptr, bool backs = false);

    const PrinterNudges &Nudges() const { return FNudges; }

    void DefaultButtonClick();
    void HelpButtonClick();

private:
    // One panel: header, value label, spinner and explanation for one nudge.
    struct NudgePanel {
        int *value;
        QLabel *label;
    };
    QWidget *MakePanel(const QString &header, const char *labelName, const char *spinnerName,
                       const QString &explanation, int *value);
    void ShowValues();

    PrinterNudges FNudges;
    QList<NudgePanel> FPanels;
    TNudgeSample *FSample = nullptr;
};

// Shows the fine tuning on a copy of `nudges`; on Ok, true and the copy is
// taken back (the caller then saves the preferences).
bool FineTunePrinter(PrinterNudges &nudges, QWidget *parent, const CardSheetLayout *layout = nullptr,
                     bool backs = false);

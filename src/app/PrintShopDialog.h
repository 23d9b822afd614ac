// File > Export > For a Print Shop...: the bleed and its unit, crop marks,
// the safe margin (which View > Safe Area shows too), an optional sheet of
// several cards on a chosen paper, and the text and pictures that cross the
// safe line; then the PDF file.
// Holds TPrintShopDialog.
#pragma once

#include "app/PrintShopExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QSpinBox;
class TGBasePanel;
class TMainScreen;

class TPrintShopDialog : public QDialog
{
    Q_OBJECT

public:
    // `panel` is the card whose objects are checked against the safe line
    // (none: nothing is listed); `card` is its size in inches.
    explicit TPrintShopDialog(TGBasePanel *panel = nullptr, QSizeF card = QSizeF(3.5, 2.0),
                              QWidget *parent = nullptr);

    // The choices as the export takes them (the panel and card left empty).
    printshop::TPrintShopExport Choices() const;
    double SafeMargin() const;

    QDoubleSpinBox *BleedEdit;
    QComboBox *UnitCombo;
    QCheckBox *CropMarksCheck;
    QDoubleSpinBox *SafeMarginEdit;
    QCheckBox *SheetCheck;
    QSpinBox *SheetCardsSpin;
    QComboBox *PaperCombo;
    QListWidget *SafeLineList;

private:
    void UnitChanged();
    void SheetChanged();
    void ListObjectsOverTheSafeLine();
    double Inches(double shown) const;
    double Shown(double inches) const;

    TGBasePanel *FPanel;
    QSizeF FCard;
    printshop::TLengthUnit FUnit = printshop::luInches;
};

// The safe margin the dialog last set, in inches (1/8 inch at first).
double PrintShopSafeMargin();

// Runs the whole command for the main window's card; guides shown on the
// panel follow a new safe margin.
void ExportForPrintShopCommand(TMainScreen &main);

// View > Safe Area: shows or hides the guides of the safe margin on the panel.
void ShowSafeAreaGuides(TGBasePanel &panel, bool show);

// The sheet layout dialog "Business Card Layout": card size, cards across and
// down, margins, pitches and paper, entered in inches or millimetres, with the
// predefined layouts of the common business-card sheets. The rules behind it
// (the predefined values, the unit conversion, the validation) are free
// functions so they can be checked without the dialog.
// Holds TEditCardLayout.
#pragma once

#include "printing/CardSheetLayout.h"
#include "printing/LabelTemplates.h"

#include <QDialog>
#include <QSizeF>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class TNudgeSample;
class TSpinEdit;
class TGBasePanel;
class TNumEdit;

namespace sheetlayout {

inline constexpr int kPredefinedLayoutCount = 14;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kInchesPerMillimetre = 0.039370078740157480314;

// The item texts of the predefined-layout list, in order.
QStringList PredefinedLayoutNames();
// The part number of predefined layout `index` ("5371"), empty outside the list.
QString PredefinedLayoutPart(int index);
// Sets size, counts, margins, pitches and paper of predefined layout `index`;
// false, and nothing changed, for an index outside the list.
bool ApplyPredefinedLayout(int index, CardSheetLayout &layout);

// A length entered in millimetres as stored inches, rounded to 3 decimals so
// that 88.90 mm is 3.5 inches and 90 mm is 3.543.
float MillimetresToInches(double millimetres);
// Stored inches as the millimetres to show: the value with the fewest
// decimals (two at most) that stores as those inches, so 3.543 inches shows
// as the 90 mm the user typed, not 89.99.
double InchesToShownMillimetres(double inches);

// The paper of a printer paper code, in inches; for a code no paper size
// is known for, as wide as Letter and as high as A4.
QSizeF PaperInches(int papersize);

// The message for the first rule the layout breaks, or an empty string.
QString LayoutError(const CardSheetLayout &layout);

// The layout held to the limits the dialog itself keeps (cards across 1 to
// 10, down 1 to 30, lengths from 0 below 1000 inches, card height at least
// .3 and width at least .5 inch): a value beyond them becomes its default;
// a layout that then breaks a rule of LayoutError or does not fit on its
// paper becomes the default layout. Settings read from a file and the
// command line go through this one check.
CardSheetLayout LayoutWithinLimits(const CardSheetLayout &layout);
bool IsLayoutWithinLimits(const CardSheetLayout &layout);

// The paper combo: item 0 Letter (code 1), item 1 A4 (code 9), item 2 empty.
QStringList PaperSizeItems();
// The combo item for a paper code, -1 for a code the combo does not list.
int PaperItemForCode(int papersize);
// The paper code an item stands for; the empty item keeps `current`.
int PaperCodeForItem(int item, int current);

} // namespace sheetlayout

// Sizes the card panel to the layout's card at zoom 1.0 (screen pixels per
// inch times the card's inches, rounded half to even), keeping the panel's
// zoom: a zoomed panel is brought to 1.0, sized and zoomed back.
void SetCardSizeFromInches(TGBasePanel &panel, const CardSheetLayout &layout, int pixelsPerInch);

class TEditCardLayout : public QDialog
{
    Q_OBJECT

public:
    explicit TEditCardLayout(const CardSheetLayout &layout, QWidget *parent = nullptr);

    // The edited layout; meaningful after the dialog was accepted.
    const CardSheetLayout &Layout() const { return FLayout; }

    // Control event handlers.
    void PredefinedLayoutsChange(int index);
    void MMButtonClick();
    void InchesbuttonClick();
    void eCardwidthExit();
    void eCardHeightExit();
    void OkButtonClick();
    void HelpButtonClick();
    // Lists the card stock that answers the search (and is of business-card
    // size when "Business cards only" is ticked), keeping the chosen entry.
    void FillLayoutList();

    // The layout as the controls show it now, also while a value is typed.
    CardSheetLayout LayoutShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void FormActivate();
    // Shows the dialog's values in the edits, spin edits and paper combo.
    void FillControls();
    bool ShowingMillimetres() const;
    QList<TNumEdit *> LengthEdits() const;

    // The card stock entry of the layout: its library product, else its built-in layout.
    int EntryOfLayout() const;
    // The card stock entry a list item stands for, -1 for none.
    int EntryOfItem(int item) const;
    void UpdateSheetDrawing();

    CardSheetLayout FLayout;
    bool FActivated = false;
    // The built-in layouts, then the card stock of the label-template library.
    QList<labeltemplates::TCardProduct> FStock;
    // The entry last chosen (or the layout's own), selected whenever it is listed.
    int FChosen = -1;

    QLineEdit *SearchEdit = nullptr;
    QCheckBox *BusinessCardsOnly = nullptr;
    QLabel *MatchCount = nullptr;
    TNudgeSample *SheetDrawing = nullptr;
    QComboBox *PredefinedLayouts = nullptr;
    QRadioButton *Inchesbutton = nullptr;
    QRadioButton *MMButton = nullptr;
    TNumEdit *eCardwidth = nullptr;
    TNumEdit *eCardHeight = nullptr;
    TNumEdit *eHorizPitch = nullptr;
    TNumEdit *eVertPitch = nullptr;
    TNumEdit *eleftmarg = nullptr;
    TNumEdit *etopmarg = nullptr;
    TSpinEdit *enbracross = nullptr;
    TSpinEdit *enbrdown = nullptr;
    QComboBox *epapersize = nullptr;
};

// The "Change Business Card Layout" dialog on `layout`: true, and the layout
// (with PredefLayout, Papersize and UseMM) updated, when the user chose Ok.
bool EditCardLayout(CardSheetLayout &layout, QWidget *parent);

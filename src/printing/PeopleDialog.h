// "Print for Several People": the people of a CSV file in a table to tick,
// the matching of its columns to the ten personal-information entries, and
// how many cards each person gets; and the File menu command that opens it
// and prints or previews through the sheet printing.
// Holds TPeoplePrintDialog.
#pragma once

#include "printing/PeopleList.h"
#include "printing/PeopleMerge.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

class QComboBox;
class QListWidget;
class QTimer;
class TGBasePanel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
struct TPrintContext;

class TPeoplePrintDialog : public QDialog
{
    Q_OBJECT

public:
    // With the card's panel the dialog lists, before anything is printed,
    // the values that will not fit their labels and the fields without a
    // column; with the back's panel, for the back as well.
    TPeoplePrintDialog(const TPeopleTable &table, QWidget *parent = nullptr, TGBasePanel *panel = nullptr,
                       TGBasePanel *backPanel = nullptr);

    // The ticked people in table order, under the matching and the layout chosen.
    TMergePlan Plan() const;

    // The Preview button runs this and leaves the dialog open.
    std::function<void()> OnPreview;

    QTableWidget *Table() const { return FTable; }
    // The column chosen for each entry: item 0 is "(none)", item c + 1 column c.
    QComboBox *ColumnFor(int entry) const { return FColumns.at(entry); }
    QRadioButton *SheetEach() const { return FSheetEach; }
    QRadioButton *CardsEach() const { return FCardsEach; }
    QSpinBox *CardsPerPerson() const { return FPerPerson; }
    QPushButton *PrintButton() const { return FPrint; }
    QPushButton *PreviewButton() const { return FPreview; }
    // What will not print as designed, one line each; a single line saying
    // so when everything fits.
    QListWidget *FitList() const { return FFitList; }
    // Lists it now rather than once the events of the moment are done.
    void UpdateFitList();

private:
    void UpdateButtons();

    TPeopleTable FPeople;
    QTableWidget *FTable = nullptr;
    QList<QComboBox *> FColumns;
    QRadioButton *FSheetEach = nullptr;
    QRadioButton *FCardsEach = nullptr;
    QSpinBox *FPerPerson = nullptr;
    QPushButton *FPrint = nullptr;
    QPushButton *FPreview = nullptr;
    QListWidget *FFitList = nullptr;
    QTimer *FFitListTimer = nullptr;
    QPointer<TGBasePanel> FPanel;
    QPointer<TGBasePanel> FBackPanel;
};

namespace printcommands {

// The CSV file to print for; nothing when the user cancels. Tests replace
// the file dialog through SetPeopleFileChooser.
using TPeopleFileChooser = std::function<std::optional<QString>(QWidget *parent)>;
void SetPeopleFileChooser(TPeopleFileChooser chooser);

// "Print for Several People...": the CSV file, the dialog, then the run.
void PrintForPeopleCommand(TPrintContext &context);

} // namespace printcommands

// Holds TPrintFineTune.
#include "printing/FineTuningDialog.h"

#include "printing/DialogKit.h"
#include "printing/NudgeSample.h"
#include "widgets/SpinEdit.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace finetune {

QString NudgeCaption(int nudge)
{
    if (nudge == 0)
        return QStringLiteral("None");
    if (nudge >= 1 && nudge <= kMaxNudge)
        return QStringLiteral("Increase by %1/32\"").arg(nudge);
    if (nudge >= kMinNudge && nudge <= -1)
        return QStringLiteral("Decrease by %1/32\"").arg(-nudge);
    return QString();
}

int NudgeDownArrow(int nudge) { return nudge < kMaxNudge ? nudge + 1 : nudge; }

int NudgeUpArrow(int nudge) { return nudge >= kMinNudge + 1 ? nudge - 1 : nudge; }

} // namespace finetune

namespace {

const char *const kReadingTheCalibrationPage =
    "To measure your printer, print File > Print Calibration Page on plain paper, lay it on a sheet of "
    "card stock and hold both against the light. In every card the left edge should cross the "
    "horizontal ruler at 0 and the top edge the vertical ruler at 0. Where an edge crosses another "
    "mark, add that number to the nudge: the left edge's to Left Margin nudge, the top edge's to Top "
    "Margin nudge. When the numbers grow from card to card, add the growth per card to Horizontal "
    "Spacing (across) or Vertical Spacing (down).";

} // namespace

TPrintFineTune::TPrintFineTune(const PrinterNudges &nudges, QWidget *parent, const CardSheetLayout *sheetLayout,
                               bool backs)
    : QDialog(parent)
    , FNudges(nudges)
{
    setObjectName(QStringLiteral("TPrintFineTune"));
    setWindowTitle(backs ? QStringLiteral("Printer Fine-Tuning: Backs of Two-Sided Sheets")
                         : QStringLiteral("Printer Fine-Tuning"));

    auto *grid = new QGridLayout;
    grid->addWidget(MakePanel(QStringLiteral("Top Margin nudge"), "lTopMarginNudge", "TopMarginSpinner",
                              QStringLiteral("Increase or decrease to adjust where vertical printing starts. "),
                              &FNudges.TopMarginNudge),
                    0, 0);
    grid->addWidget(MakePanel(QStringLiteral("Left Margin nudge"), "LLeftMarginNudge", "LeftMarginSpinner",
                              QStringLiteral("Increase or decrease to adjust where horizontal printing starts. "),
                              &FNudges.LeftMarginNudge),
                    0, 1);
    const QString vertical = QStringLiteral("Increase or decrease to adjust vertical spacing between cards.\r\n\r\n"
                                            "NOTE: You may need to adjust this if printing \"creeps\" between the "
                                            "top and bottom cards.");
    grid->addWidget(MakePanel(QStringLiteral("Vertical Spacing"), "LVerticalSpacing", "VerticalSpacingSpinner",
                              vertical, &FNudges.VerticalSpacing),
                    1, 0);
    grid->addWidget(MakePanel(QStringLiteral("Horizontal Spacing"), "LHorizontalSpacing", "HorizontalSpacingSpinner",
                              QStringLiteral("Increase or decrease to adjust horizontal spacing between cards "),
                              &FNudges.HorizontalSpacing),
                    1, 1);

    QPushButton *okButton = printing::MakeDefaultDialogButton(this, QStringLiteral("Ok"), QStringLiteral("OKButton"));
    QPushButton *cancelButton =
        printing::MakeDialogButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancelbutton"));
    QPushButton *defaultButton =
        printing::MakeDialogButton(this, QStringLiteral("Default"), QStringLiteral("DefaultButton"));
    QPushButton *helpButton = printing::MakeDialogButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *pointer = TODSHelp::MakeMouseHelpButton(this);

    QHBoxLayout *buttons = printing::MakeButtonRow({okButton, cancelButton, defaultButton, helpButton, pointer});

    auto *howTo = new QLabel(QString::fromLatin1(kReadingTheCalibrationPage), this);
    howTo->setObjectName(QStringLiteral("CalibrationHelp"));
    howTo->setWordWrap(true);
    // A wrapped label does not tell a fixed-size dialog its height: give it.
    howTo->setFixedWidth(470);
    howTo->setMinimumHeight(howTo->heightForWidth(470));

    auto *top = new QHBoxLayout;
    top->addLayout(grid);
    if (sheetLayout) {
        FSample = new TNudgeSample(*sheetLayout, this);
        top->addWidget(FSample, 0, Qt::AlignTop);
    }
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(howTo);
    main->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    AttachFormHelp(this);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaultButton, &QPushButton::clicked, this, &TPrintFineTune::DefaultButtonClick);
    connect(helpButton, &QPushButton::clicked, this, &TPrintFineTune::HelpButtonClick);
    ShowValues();
}

QWidget *TPrintFineTune::MakePanel(const QString &header, const char *labelName, const char *spinnerName,
                                   const QString &explanation, int *value)
{
    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFixedWidth(230);

    auto *title = new QLabel(header, panel);
    title->setAutoFillBackground(true);
    title->setBackgroundRole(QPalette::Highlight);
    title->setForegroundRole(QPalette::HighlightedText);
    title->setContentsMargins(4, 2, 4, 2);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto *label = new QLabel(panel);
    label->setObjectName(QLatin1String(labelName));
    label->setMinimumWidth(120);
    auto *spinner = new TSpinButton(panel);
    spinner->setObjectName(QLatin1String(spinnerName));
    spinner->setFixedSize(20, 25);
    QString plain = explanation;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto *text = new QLabel(plain, panel);
    text->setWordWrap(true);

    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(label);
    valueRow->addStretch();
    valueRow->addWidget(spinner);
    auto *column = new QVBoxLayout(panel);
    column->addWidget(title);
    column->addLayout(valueRow);
    column->addWidget(text);
    column->addStretch();

    FPanels << NudgePanel{value, label};
    connect(spinner, &TSpinButton::OnDownClick, this, [this, value] {
        *value = finetune::NudgeDownArrow(*value);
        ShowValues();
    });
    connect(spinner, &TSpinButton::OnUpClick, this, [this, value] {
        *value = finetune::NudgeUpArrow(*value);
        ShowValues();
    });
    return panel;
}

void TPrintFineTune::ShowValues()
{
    for (const NudgePanel &panel : FPanels)
        panel.label->setText(finetune::NudgeCaption(*panel.value));
    if (FSample)
        FSample->SetNudges(FNudges);
}

void TPrintFineTune::DefaultButtonClick()
{
    FNudges = PrinterNudges();
    ShowValues();
}

void TPrintFineTune::HelpButtonClick() { printing::OpenHelp(2103); }

bool FineTunePrinter(PrinterNudges &nudges, QWidget *parent, const CardSheetLayout *layout, bool backs)
{
    TPrintFineTune dialog(nudges, parent, layout, backs);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    nudges = dialog.Nudges();
    return true;
}

// Holds TWarnBottomMargin.
#include "printing/BottomMarginWarning.h"

#include "printing/DialogKit.h"
#include "widgets/NumericEdit.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace bottommargin {
namespace {
QString Inches(double value) { return QLatin1Char(' ') + numedit::FormatFixed(value, 7, 3) + QStringLiteral(" inches"); }
} // namespace

QString BottomMarginText(double bottomInches)
{
    return QStringLiteral("Business Cards need to print to within 0.5 inches of the bottom, but the current "
                          "printer has a bottom margin setting of :")
        + Inches(bottomInches);
}

QString DifferenceText(double bottomInches)
{
    return QStringLiteral("This could result in the bottom of the last two business cards being cut off by "
                          "approximately:")
        + Inches(bottomInches - kCardReach);
}

bool WarningApplies(double bottomInches, const CardSheetLayout &layout, const SelectedCells &cells,
                    bool showWarning)
{
    if (!showWarning || bottomInches <= kCardReach || layout.Across < 1 || layout.Down < 1)
        return false;
    const int firstOfBottomRow = (layout.Down - 1) * layout.Across;
    for (int cell = firstOfBottomRow; cell < firstOfBottomRow + layout.Across; ++cell)
        if (cell >= cells.size() || !cells[cell])
            return false;
    return true;
}

} // namespace bottommargin

TWarnBottomMargin::TWarnBottomMargin(double bottomInches, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("TWarnBottomMargin"));
    setWindowTitle(QStringLiteral("ALERT"));

    auto wrapped = [this](const QString &text, const char *name = nullptr) {
        auto *label = new QLabel(text, this);
        label->setWordWrap(true);
        if (name)
            label->setObjectName(QLatin1String(name));
        return label;
    };
    QLabel *botMarg = wrapped(bottommargin::BottomMarginText(bottomInches), "BotMarg");
    QLabel *difference = wrapped(bottommargin::DifferenceText(bottomInches), "Difference");
    QLabel *advice = wrapped(QStringLiteral("If your printer driver supports it, you could change the bottom margin "
                                            "to 0.5 inches. Otherwise, you should design your cards so that the "
                                            "bottom portion of the cards is not used."));
    QLabel *note = wrapped(QStringLiteral("(Note: some printers, including some of the HP Deskjet series, cannot "
                                          "print beyond a 0.66 inch bottom margin)"));
    DontShowCheck = new QCheckBox(QStringLiteral("Don't show this warning again"), this);
    DontShowCheck->setObjectName(QStringLiteral("DontShowCheck"));

    QPushButton *continueButton =
        printing::MakeDefaultDialogButton(this, QStringLiteral("Continue"), QStringLiteral("OKButton"));
    QPushButton *cancelButton =
        printing::MakeDialogButton(this, QStringLiteral("Cancel Printing"), QStringLiteral("Cancelbutton"));
    QPushButton *helpButton = printing::MakeDialogButton(this, QStringLiteral("Help"), QStringLiteral("Helpbutton"));
    QToolButton *pointer = TODSHelp::MakeMouseHelpButton(this);

    QHBoxLayout *buttons = printing::MakeButtonRow({continueButton, cancelButton, helpButton, pointer});

    auto *main = new QVBoxLayout(this);
    for (QLabel *label : {botMarg, difference, advice, note}) {
        label->setFixedWidth(420);
        main->addWidget(label);
        main->addSpacing(4);
    }
    main->addWidget(DontShowCheck);
    main->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    AttachFormHelp(this);

    connect(continueButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, &TWarnBottomMargin::HelpButtonClick);
}

bool TWarnBottomMargin::DontShowAgain() const { return DontShowCheck->isChecked(); }

void TWarnBottomMargin::HelpButtonClick() { printing::OpenHelp(2105); }

bool WarnBottomMargin(double bottomInches, bool &showWarning, QWidget *parent)
{
    TWarnBottomMargin dialog(bottomInches, parent);
    const bool goOn = dialog.exec() == QDialog::Accepted;
    if (dialog.DontShowAgain())
        showWarning = false;
    return goOn;
}

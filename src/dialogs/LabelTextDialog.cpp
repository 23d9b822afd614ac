// Holds TGetLabelText.
#include "dialogs/LabelTextDialog.h"

#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TGetLabelText::TGetLabelText(QWidget *parent) : TPropertyDialog(parent, tr("Text"), 40004)
{
    setObjectName(QStringLiteral("TGetLabelText"));
    LabelText = new QLineEdit(this);
    LabelText->setObjectName(QStringLiteral("LabelText"));
    LabelText->setMinimumWidth(320);
    auto *prompt = new QLabel(tr("Enter Text"), this);
    prompt->setBuddy(LabelText);

    auto *layout = new QVBoxLayout(this);
    FBody = new QVBoxLayout;
    FBody->addWidget(prompt);
    FBody->addWidget(LabelText);
    layout->addLayout(FBody);
    layout->addStretch();
    layout->addLayout(ButtonRow());
    LabelText->setFocus();

    SetHelpText(LabelText, tr("Enter the text you wish displayed here"));
    SetHelpText(OKButton, tr("Click to accept and return to the previous screen"));
    SetHelpText(Cancelbutton, tr("Click to cancel and return to the previous screen"));
}

bool TGetLabelText::Execute(QWidget *parent, QString &text)
{
    TGetLabelText dialog(parent);
    dialog.LabelText->setText(text);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.LabelText->text();
    return true;
}

// Holds TGetLabelText.
#include "dialogs/LabelTextDialog.h"
#include "widgets/FormHelpTexts.h"

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

    AttachFormHelp(this);
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

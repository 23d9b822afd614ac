// Holds TGetBCLabelText.
#include "dialogs/BusinessCardTextDialog.h"

#include "widgets/FormHelpTexts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TGetBCLabelText::TGetBCLabelText(QWidget *parent) : TGetLabelText(parent)
{
    setObjectName(QStringLiteral("TGetBCLabelText"));
    PersonalInfoCombo = new QComboBox(this);
    PersonalInfoCombo->setObjectName(QStringLiteral("PersonalInfoCombo"));
    PersonalInfoCombo->setEditable(false);
    auto *prompt = new QLabel(tr("or select personal information"), this);
    prompt->setBuddy(PersonalInfoCombo);
    FBody->addSpacing(8);
    FBody->addWidget(prompt);
    FBody->addWidget(PersonalInfoCombo);
    connect(PersonalInfoCombo, &QComboBox::activated, this,
            [this](int index) { LabelText->setText(PersonalInfoCombo->itemText(index)); });
    SetPersonalInfo({});
    AttachFormHelp(this);
}

void TGetBCLabelText::SetPersonalInfo(const QStringList &entries)
{
    PersonalInfoCombo->clear();
    for (const QString &entry : entries)
        if (!entry.isEmpty())
            PersonalInfoCombo->addItem(entry);
    PersonalInfoCombo->setCurrentIndex(-1);
    PersonalInfoCombo->setEnabled(PersonalInfoCombo->count() > 0);
}

bool TGetBCLabelText::Execute(QWidget *parent, QString &text, const QStringList &personalInfo)
{
    TGetBCLabelText dialog(parent);
    dialog.LabelText->setText(text);
    dialog.SetPersonalInfo(personalInfo);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.LabelText->text();
    return true;
}

// The text dialog of a business-card label: the text dialog with a list of
// the card's personal information, any entry of which can be taken as text.
// Holds TGetBCLabelText.
#pragma once

#include "dialogs/LabelTextDialog.h"

class QComboBox;

class TGetBCLabelText : public TGetLabelText
{
    Q_OBJECT

public:
    explicit TGetBCLabelText(QWidget *parent = nullptr);

    // Lists the entries that are not empty, in order; the list is disabled
    // when none is left.
    void SetPersonalInfo(const QStringList &entries);

    static bool Execute(QWidget *parent, QString &text, const QStringList &personalInfo);

    QComboBox *PersonalInfoCombo;
};

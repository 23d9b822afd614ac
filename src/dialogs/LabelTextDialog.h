// The text dialog of a text label: one line of text, taken back on OK.
// Holds TGetLabelText.
#pragma once

#include "dialogs/PropertyDialog.h"

class QLabel;
class QLineEdit;
class QVBoxLayout;

class TGetLabelText : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TGetLabelText(QWidget *parent = nullptr);

    // Shows the dialog on text; true and the edited text on OK.
    static bool Execute(QWidget *parent, QString &text);

    QLineEdit *LabelText;

protected:
    // The controls above the buttons, for the business-card variant to extend.
    QVBoxLayout *FBody;
};

// The multi-line label the card panel's multi-line tool creates: adds the
// "Text" command (the multi-line text editor) and the "Word Wrap" command.
// Holds TGMultiLineLabel.
#pragma once

#include "objects/MultiLineLabelBase.h"

class TGMultiLineLabel : public TGMultiLineBaseLabel
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit TGMultiLineLabel(QObject *owner = nullptr);

    void BuildContextMenu() override;
    void UpdateContextMenu() override;
    // The multi-line text editor on the label's lines.
    void EditText();
};

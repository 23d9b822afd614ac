// The text label as card files name it: the label engine plus the "Text"
// command and the "Rotation" submenu, fitting its bounds to the text after
// every change of text or font.
// Holds TGPLabel.
#pragma once

#include "objects/TextLabelBase.h"

class TGPLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    // Menu tag of the "Text" entry, by which descendants find it.
    static constexpr int kTextCommandTag = 1000;

    Q_INVOKABLE explicit TGPLabel(QObject *owner = nullptr);

    void BuildContextMenu() override;
    void EditFont() override;
    // The plain text dialog on the caption; on OK the label takes the text and
    // fits its bounds to it.
    virtual void EditText();
    // The text command as other parts of the program run it.
    void RunTextCommand() { EditText(); }

protected:
    QAction *FTextItem = nullptr;
};

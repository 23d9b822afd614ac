// The symbol label: one character of a symbol font (a telephone, an envelope,
// a star) with the text label's effects, background and border. It sizes
// itself to its character and keeps its symbol font when the card's default
// font changes.
// Holds TGSymbolLabel.
#pragma once

#include "objects/TextLabelBase.h"

class TGSymbolLabel : public TGBaseLabel
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit TGSymbolLabel(QObject *owner = nullptr);

    void Loaded() override;
    void BuildContextMenu() override;
    void BoundsChanged() override;
    // A symbol label keeps its font.
    void AssignFont(const TFont &) override {}

    // The "Symbol Selector" command: on OK the label takes the chosen font and
    // character and sizes itself to them.
    void RunSymbolSelector();
    // 1.1 times the character plus the effect offsets of the last layout.
    void AutoSize();
};

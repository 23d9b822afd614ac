// A drop-down list of eighteen named colours, each item a swatch and the
// colour's name. Dialogs preset it with a colour and read the choice back.
// Holds TColorDrop.
#pragma once

#include "platform/Colors.h"

#include <QComboBox>

class TColorDrop : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(TColor SelectedColor READ SelectedColor WRITE SetSelectedColor)

public:
    explicit TColorDrop(QWidget *parent = nullptr);

    TColor SelectedColor() const { return FSelectedColor; }
    // Selects the first entry of that colour; a colour not in the list
    // changes nothing.
    void SetSelectedColor(TColor color);

    static int ColorCount();
    static QString ColorName(int index);
    static TColor ColorValue(int index);

    // 4 pixels taller than the font's characters.
    int ItemHeight() const;
    // Draws one item as the list and the closed box show it.
    void DrawItem(QPainter &painter, const QRect &rect, int index, bool selected) const;

signals:
    // The user chose an item; SelectedColor already holds its colour.
    void Change();

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TColor FSelectedColor{0};
};

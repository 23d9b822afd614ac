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
    // Selects the first entry of that colour. A colour not in the list is
    // kept as it is and shown with its own swatch under the name of the
    // nearest entry, so a dialog hands it back unchanged.
    void SetSelectedColor(TColor color);
    // The entry of that colour or, for a colour not in the list, the nearest.
    static int NearestEntry(TColor color);

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
    void DrawNameAndSwatch(QPainter &painter, const QRect &rect, const QString &name, const QColor &swatch,
                           bool selected) const;

    TColor FSelectedColor{0};
};

// The Symbol Selector: every character of a symbol font from the space
// upwards in a multi-column list, a button to choose the font, and the
// chosen font and character taken back on OK.
// Holds TSymbolListBox, TGetSymbol.
#pragma once

#include "dialogs/PropertyDialog.h"
#include "platform/Graphics.h"

#include <QListWidget>

class QLabel;

// The list of characters: items flow down the columns, the number of
// visible columns sets their width.
class TSymbolListBox : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kItemHeight = 30;

    explicit TSymbolListBox(QWidget *parent = nullptr);
    int Columns() const { return FColumns; }
    void SetColumns(int columns);
    // The font the characters are drawn in.
    const TFont &SymbolFont() const { return FFont; }
    void SetSymbolFont(const TFont &font);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void UpdateGrid();

    int FColumns = 1;
    TFont FFont;
};

class TGetSymbol : public TPropertyDialog
{
    Q_OBJECT

public:
    // The first character of the list: item index = character code - 32.
    static constexpr int kFirstCode = 32;

    explicit TGetSymbol(QWidget *parent = nullptr);

    // Opens on a label's font and caption.
    void SetSymbol(const TFont &font, const QString &caption);
    // The font for the symbol (the label's, or the one chosen with the font button).
    const TFont &SelectedFont() const { return FSelectedFont; }
    // The selected item's character; the caption opened with when none is selected.
    QString SelectedCharacter() const;

    // The point size the list draws its characters at: the dialog's own font
    // size; the chosen font's size goes with the symbol, not into the list.
    int ListPointSize() const;
    // Columns shown for a list font of that point size.
    static int ColumnsForPointSize(int points);
    // Face name, ", ", point size, "pt " and "Italic " or "Bold ".
    QString FontButtonCaption() const;

    static bool Execute(QWidget *parent, TFont &font, QString &character);

    TSymbolListBox *SymbolList;
    QPushButton *Fontbutton;
    // Carries the font chosen for the symbol; never shown.
    QLabel *SelectedChar;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FollowDialogFont();
    void FontbuttonClick();
    void RefreshFontButton();

    TFont FSelectedFont;
    QString FOpenedCaption;
};

// The colour chooser of the property dialogs: a push button showing the
// current colour as a swatch with a drop-down arrow. A click drops down a
// small palette of twenty fixed colours, one free "other" colour and an
// "&Other" button that opens the colour dialog with sixteen custom colours,
// which the settings file keeps from one session to the next.
// Holds TColorArrayClass, TDFSColorButtonPalette, TDFSColorButton.
#pragma once

#include "platform/Colors.h"

#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <optional>

// A table of colours with a fixed number of columns and rows, indexed from 1.
class TColorArrayClass
{
public:
    TColorArrayClass(int columns, int rows, TColor fill = platform::clWhite);

    int XSize() const { return FColumns; }
    int YSize() const { return FRows; }
    TColor Color(int column, int row) const;
    void SetColor(int column, int row, TColor color);
    // Every colour, column by column (column 1 rows 1 to YSize, then column 2 ...).
    const QList<TColor> &Colors() const { return FColors; }
    // Takes the other table's colours when it has the same shape.
    void Assign(const TColorArrayClass &other);

private:
    int FColumns, FRows;
    QList<TColor> FColors;
};

// The drop-down window: a 4 x 5 grid of 18-pixel cells, a separator, the
// "&Other" button and the other-colour cell.
class TDFSColorButtonPalette : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCell = 18;
    static constexpr int kClientWidth = 72;
    static constexpr int kClientHeight = 121;
    // The highlight: 1 to 20 for the grid (column by column), 0 for the
    // other-colour cell, -1 for nothing.
    static constexpr int kNone = -1;
    static constexpr int kOther = 0;

    TDFSColorButtonPalette(const TColorArrayClass &palette, const TColorArrayClass &custom, TColor current,
                           TColor other, const QString &otherCaption, bool showHints, QWidget *parent = nullptr);

    int Highlight() const { return FHighlight; }
    TColor OtherColor() const { return FOtherColor; }
    const TColorArrayClass &CustomColors() const { return FCustom; }
    QPushButton *OtherButton() const { return FOtherButton; }
    // The cell rectangle of a grid entry (1 to 20) or of the other colour (0).
    static QRect CellRect(int index);
    // The cell under a point of the client area, or kNone.
    static int CellAt(QPoint p);

signals:
    // Raised once when the palette closes: chosen tells whether a colour was
    // taken, color is that colour.
    void Closed(bool chosen, TColor color, bool otherChosen);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    TColor CellColor(int index) const;
    void SetHighlight(int index);
    void MoveHighlight(int dx, int dy);
    void Choose(int index);
    void OtherButtonClick();
    void Finish(bool chosen, TColor color, bool otherChosen);

    TColorArrayClass FPalette;
    TColorArrayClass FCustom;
    TColor FOtherColor;
    bool FShowHints;
    int FHighlight = kNone;
    bool FDialogOpen = false;
    bool FFinished = false;
    QPushButton *FOtherButton;
};

class TDFSColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit TDFSColorButton(QWidget *parent = nullptr);
    ~TDFSColorButton() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TColor OtherColor() const { return FOtherColor; }
    void SetOtherColor(TColor v) { FOtherColor = v; }
    TColorArrayClass &PaletteColors() { return FPaletteColors; }
    TColorArrayClass &CustomColors() { return FCustomColors; }
    // Where the custom colours persist; empty: they do not.
    QString CustomColorsKey() const { return FCustomColorsKey; }
    void SetCustomColorsKey(const QString &v) { FCustomColorsKey = v; }
    QString OtherBtnCaption() const { return FOtherBtnCaption; }
    void SetOtherBtnCaption(const QString &v) { FOtherBtnCaption = v; }
    bool ShowColorHints() const { return FShowColorHints; }
    void SetShowColorHints(bool v) { FShowColorHints = v; }
    bool CycleColors() const { return FCycleColors; }
    void SetCycleColors(bool v) { FCycleColors = v; }
    QString Version() const { return QStringLiteral("TDFSColorButton v2.51"); }

    // The current colour's place in the palette: 1 to 20, 0 for the other colour.
    int PaletteIndex() const { return FIndex; }
    // 0 takes the other colour, 1 to 20 a palette entry; the current index
    // and values out of range are ignored.
    void SelectByIndex(int index);
    // The open palette, if any.
    TDFSColorButtonPalette *Palette() const { return FPalette; }

    // The settings-file entry of the custom colours: "Colors", button name
    // "." parent name; read once when shown, written when the button goes.
    void ReadCustomColors();
    void WriteCustomColors() const;

signals:
    void ColorChange();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void ButtonClick();
    void DropDown();
    void PaletteClosed(bool chosen, TColor color, bool otherChosen);
    QString CustomColorsEntry() const;

    TColor FColor{platform::clBlack};
    TColor FOtherColor{platform::clBtnFace};
    TColorArrayClass FPaletteColors;
    TColorArrayClass FCustomColors;
    QString FCustomColorsKey;
    QString FOtherBtnCaption;
    bool FShowColorHints = true;
    bool FCycleColors = false;
    int FIndex = 2;
    bool FCustomColorsRead = false;
    // Where the last press was; a click from the keyboard has none.
    std::optional<QPoint> FPressPos;
    QPointer<TDFSColorButtonPalette> FPalette;
};

// The font chooser of the program: face, style, size, underline and
// strikeout, and the text colour beside them, with a sample. It shows the
// face a card stores even where this computer lacks it, and names the face
// the text is shown with instead, so that OK keeps the stored face.
// Holds TFontDialog.
#pragma once

#include "platform/Graphics.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {

class TFontDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TFontDialog(const TFont &font, QWidget *parent = nullptr);

    // Puts the choice into the font: face, size, styles and colour (the
    // font's other settings stay).
    void GetFont(TFont &font) const;
    // The face the chosen one is drawn with here; equal to the chosen face
    // when it is installed.
    QString ShownFace() const;

    QLineEdit *FaceEdit;
    QListWidget *FaceList;
    QListWidget *StyleList;
    QComboBox *SizeBox;
    QCheckBox *StrikeoutBox;
    QCheckBox *UnderlineBox;
    QPushButton *ColorButton;
    QLabel *SubstituteNote;
    QLabel *Sample;

private:
    void SelectFace(const QString &face);
    void ChooseTextColor();
    void ShowSample();
    QFont ChosenQFont() const;

    TColor FColor;
};

} // namespace platform

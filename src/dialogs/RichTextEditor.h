// The rich-text editor form: the label's text on a panel of the label's
// size, edited in place with a tool bar of fonts, sizes, colours, styles,
// paragraph alignments and the clipboard, and zoomed in or out.
// Holds TRichTextLabelEditor.
#pragma once

#include "dialogs/PropertyDialog.h"
#include "objects/ObjectEditors.h"

class QComboBox;
class QFontComboBox;
class QFrame;
class QScrollArea;
class QTextCharFormat;
class QToolBar;
class QToolButton;
class TWPRichText;

class TRichTextLabelEditor : public TPropertyDialog
{
    Q_OBJECT

public:
    explicit TRichTextLabelEditor(QWidget *parent = nullptr);

    // Opens the form on the label's text; true on OK, with the edited text
    // in setup.Text (left as it was when nothing was edited).
    static bool Execute(QWidget *parent, editors::TRichTextEditSetup &setup);

    // Sets the form up as the label asks: text, panel colour and size, page,
    // zoom.
    void Prepare(const editors::TRichTextEditSetup &setup);

    void ZoomPlusButtonClick();
    void ZoomMinusButtonClick();

    // Ok: when the text was changed and the label holds parts the editor
    // does not keep (pictures of kinds it does not show, tables within
    // tables, hidden text), asks first; No returns to the editor.
    void accept() override;

    QToolBar *WPToolBar1;
    QFontComboBox *FontNameList;
    QComboBox *FontSizeList;
    QComboBox *FontColorList;
    QScrollArea *ScrollBox1;
    QFrame *WPPanel;
    TWPRichText *WPRichText1;
    QToolButton *ZoomPlusButton;
    QToolButton *ZoomMinusButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildToolBar();
    void AddZoomKeys();
    void FormActivate() override;
    void ShowFormat(const QTextCharFormat &format);
    void ResizePanelToZoom();
    // The editor's text as RTF; equal to FOriginal while nothing was changed.
    QByteArray EditedText() const;

    // The label's text as the editor writes it back untouched, and what of
    // the label's own text that loses.
    QByteArray FOriginal;
    QStringList FPartsNotKept;
    int FPanelWidth0 = 0, FPanelHeight0 = 0, FZoom0 = 100;
};

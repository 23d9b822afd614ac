// What the property dialogs of card objects share: a title bar without system
// buttons, a place centred over the main window, the "Ok", "Cancel" and
// "Help" buttons (Help opens the help file at the dialog's context number),
// the help-pointer button and the "What's this?" help of the controls.
#pragma once

#include <QDialog>

class QHBoxLayout;
class QPushButton;
class QToolButton;

class TPropertyDialog : public QDialog
{
    Q_OBJECT

public:
    TPropertyDialog(QWidget *parent, const QString &caption, int helpContext);

    int HelpContext() const { return FHelpContext; }

    QPushButton *OKButton;
    QPushButton *Cancelbutton;
    QPushButton *Helpbutton;
    QToolButton *MouseHelpButton;

protected:
    // The buttons in a row, right-aligned, for the subclass's layout.
    QHBoxLayout *ButtonRow();
    // The control's "What's this?" text.
    static void SetHelpText(QWidget *control, const QString &text);
    void showEvent(QShowEvent *event) override;

private:
    void CenterOverMainWindow();

    int FHelpContext;
    bool FCentred = false;
};

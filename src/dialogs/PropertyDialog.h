// What the property dialogs of card objects share: a title bar without system
// buttons, a place centred over the main window, the "Ok", "Cancel" and
// "Help" buttons (Help opens the help file at the dialog's context number),
// and the help-pointer button. Each dialog attaches its "What's this?" texts
// (AttachFormHelp) once its controls exist.
#pragma once

#include <QDialog>

class QHBoxLayout;
class TFont;
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
    void showEvent(QShowEvent *event) override;
    // Runs once, when the dialog is first shown: the controls take the
    // edited object's settings then (and ensured before OK acts).
    virtual void FormActivate() {}
    void EnsureActivated();
    // The font-size arrows: five points up unless already 150 or more, five
    // down unless already 10 or less.
    static void StepFontSize(TFont &font, bool up);

private:
    void CenterOverMainWindow();

    int FHelpContext;
    bool FCentred = false;
    bool FActivated = false;
};

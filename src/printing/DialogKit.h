// What the printing dialogs share: the Help button's link to the program's
// help pages, the buttons along their foot, and the information box that
// reports a refused entry.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace printing {

// The main window installs the opener of the program's help file at start-up;
// until then a Help button does nothing.
using HelpOpener = std::function<void(int context)>;
void SetHelpOpener(HelpOpener opener);
void OpenHelp(int context);

// An information box: caption "Information", information icon, OK (through
// the platform's message box, which tests can replace).
void ShowInformation(QWidget *parent, const QString &text);

// The buttons along the foot of a dialog. Enter presses the default button
// (OK or Continue) wherever the focus is; the others never take Enter.
QPushButton *MakeDefaultDialogButton(QWidget *parent, const QString &caption, const QString &objectName);
QPushButton *MakeDialogButton(QWidget *parent, const QString &caption, const QString &objectName);
// The row that holds those buttons, pushed to the right-hand side.
QHBoxLayout *MakeButtonRow(std::initializer_list<QWidget *> buttons);

} // namespace printing

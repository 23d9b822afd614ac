// The "What's this?" texts of every form, keyed by the form's class name,
// and the call that gives a form its help.
#pragma once

#include <QList>
#include <QString>

class QWidget;
class TODSHelp;

struct TFormHelpEntry {
    const char *control;
    const char *text; // line breaks written "\r\n"
};

// The entries of a form, in the order the form lists them; empty for a form
// without texts.
QList<TFormHelpEntry> FormHelpTexts(const QString &formClass);
// Every form that has texts.
QStringList FormsWithHelpTexts();

// Gives the form its help component with the form's texts (by the form's
// class name unless another is given), a "What's this?" text on each named
// control, and connects the form's help-pointer button ("MouseHelpButton").
// Called again, it replaces the texts (a subclass of a form with its own).
TODSHelp *AttachFormHelp(QWidget *form, const QString &formClass = QString());

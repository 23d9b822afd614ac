// The small helpers every window of the program uses: message boxes, help,
// window placement, centring, the printer check, the program's folders and
// the file dialogs. Modal pieces sit behind replaceable functions so that
// tests can answer them without a user.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class QDialog;
class QFileDialog;
class QPushButton;
class QToolButton;
class QWidget;

// ---- files and folders of the program ----
// The settings file: qrv.ini in the program folder.
QString SettingsFileName();
// Writes settings into the settings file: `write` sets the values, then the
// file is written. When the file cannot be written the user is told once per
// command ("Unable to save the settings to ...: reason"), and the values stay
// in memory: every later write puts them in first, until one succeeds.
// Returns whether the file was written.
class TIniFile;
bool WriteSettings(const std::function<void(TIniFile &)> &write);
// The card folder (created at start-up as "saved").
QString CardFolder();
// The background art folder (created at start-up as "bg").
QString BackgroundArtFolder();
// The texture folder (created at start-up as "bmbrush").
QString TextureFolder();
// A file of that folder whose name equals the given one without regard to
// case (card files come from systems where case does not matter); the path
// itself when it exists or when no such file is there.
QString FindFileIgnoringCase(const QString &path);
bool FileExistsIgnoringCase(const QString &path);

// ---- message boxes ----
// Caption "Information", information icon, OK button.
void ShowInformation(const QString &text);
// Question icon, Yes and No; true on Yes.
bool AskYesNo(const QString &text, const QString &caption);
// Error icon, OK button; the caption is the application's title.
void ShowError(const QString &text);

// ---- help ----
// Opens the help window at the topic of a context number; an unknown number
// shows the contents.
void ShowHelpContext(int number);
void ShowHelpContents();
// The context numbers that have topics of their own.
QList<int> HelpContextNumbers();
// Opens a web address in the desktop's browser.
void OpenWebPage(const QUrl &url);
void SetWebPageOpenerForTests(std::function<void(const QUrl &)> opener);

// ---- window placement ----
// The section of the settings file that keeps a window's placement: its class
// name + "_Placement", followed by the pixels per inch above 96.
QString PlacementSection(const QWidget *form);
void SaveWindowPlacement(QWidget *form);
void RestoreWindowPlacement(QWidget *form);
// The main window centres on the screen; other windows over the main window,
// or on the screen while the main window is maximised.
void CenterForm(QWidget *form);
// Keeps a window that is about to show within the available area of its
// screen (the screen less the panels of the desktop): a window larger than
// the area is made as small as its controls allow, and one that reaches past
// an edge is moved back in. Runs for every window as it shows.
void FitWindowOnScreen(QWidget *window);
// The screen rectangle windows are placed on; tests pin it.
QRect ScreenRect();
void SetScreenRectForTests(std::optional<QRect> rect);

// ---- printers ----
// Whether a printer is installed and a default one chosen; with showMessages
// a missing one is reported.
bool PrinterAvailable(bool showMessages);
struct TPrinterFacts {
    QStringList printers;
    QString defaultPrinter;
};
void SetPrinterFactsForTests(std::function<TPrinterFacts()> source);

// ---- file dialogs ----
// Runs a prepared file dialog modally; the chosen path, or nothing when the
// user cancelled.
std::optional<QString> RunFileDialog(QFileDialog &dialog);
// Tests receive the dialog as the program prepared it and answer for the user.
void SetFileDialogRunnerForTests(std::function<std::optional<QString>(QFileDialog &dialog)> runner);

// ---- modal dialogs ----
// Shows a dialog modally and returns its result (1 OK, 2 Cancel, or the
// dialog's own codes).
int ExecDialog(QDialog &dialog);
// Tests receive the dialog ready to show, work its controls and return the result.
void SetDialogRunnerForTests(std::function<int(QDialog &dialog)> runner);

// ---- buttons ----
// A push button of a window's button row.
QPushButton *MakeFormButton(QWidget *parent, const QString &caption, const QString &objectName);
// The help-pointer button with its picture: a click starts help mode, where
// the next click on a control shows that control's "What's this?" help.
QToolButton *MakeMouseHelpButton(QWidget *parent);

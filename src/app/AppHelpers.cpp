#include "app/AppHelpers.h"

#include <QTimer>

#include "app/HelpWindow.h"
#include "app/ToolIcons.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Screen.h"
#include "report/PrinterList.h"
#include "widgets/ContextHelp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

namespace {
std::function<void(const QUrl &)> g_webOpener;
std::optional<QRect> g_screenRect;
std::function<TPrinterFacts()> g_printerFacts;
std::function<std::optional<QString>(QFileDialog &)> g_fileDialogRunner;
std::function<int(QDialog &)> g_dialogRunner;

const QList<int> kHelpContexts = {2016, 2020, 2039, 2047, 2101, 2102, 2103, 2105, 3101,
                                  40001, 40003, 40004, 40005, 40008, 40011, 40012, 40013, 40014, 40017, 40030};

QWidget *FindMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (QByteArray(w->metaObject()->className()).toUpper() == "TMAINSCREEN")
            return w;
    return nullptr;
}
} // namespace

// ---- files and folders ----

QString SettingsFileName() { return platform::ProgramFolder() + QStringLiteral("qrv.ini"); }
QString CardFolder() { return platform::ProgramFolder() + QStringLiteral("saved/"); }
QString BackgroundArtFolder() { return platform::ProgramFolder() + QStringLiteral("bg/"); }
QString TextureFolder() { return platform::ProgramFolder() + QStringLiteral("bmbrush/"); }

QString FindFileIgnoringCase(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QDir dir = info.dir();
    if (!dir.exists())
        return path;
    const QString wanted = info.fileName();
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return path;
}

bool FileExistsIgnoringCase(const QString &path) { return QFileInfo::exists(FindFileIgnoringCase(path)); }

// ---- message boxes ----

void ShowInformation(const QString &text)
{
    platform::ShowMessageBox({text, QStringLiteral("Information"), platform::miInformation, platform::mbOK});
}

bool AskYesNo(const QString &text, const QString &caption)
{
    return platform::ShowMessageBox({text, caption, platform::miQuestion, platform::mbYesNo}) == platform::mrYes;
}

void ShowError(const QString &text)
{
    platform::ShowMessageBox({text, QApplication::applicationName(), platform::miError, platform::mbOK});
}

// ---- help ----

void ShowHelpContext(int number) { THelpWindow::Instance().ShowTopic(number); }
void ShowHelpContents() { THelpWindow::Instance().ShowContents(); }
QList<int> HelpContextNumbers() { return kHelpContexts; }

void OpenWebPage(const QUrl &url)
{
    if (g_webOpener)
        g_webOpener(url);
    else
        QDesktopServices::openUrl(url);
}

void SetWebPageOpenerForTests(std::function<void(const QUrl &)> opener) { g_webOpener = std::move(opener); }

// ---- window placement ----

QRect ScreenRect()
{
    if (g_screenRect)
        return *g_screenRect;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

void SetScreenRectForTests(std::optional<QRect> rect) { g_screenRect = rect; }

namespace {
// The frame the window manager puts round a window: known once a window is
// shown, taken from the main window (or any shown window) before that.
QMargins FrameMarginsOf(const QWidget *window)
{
    auto margins = [](const QWidget *w) {
        const QRect frame = w->frameGeometry(), inner = w->geometry();
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                        frame.bottom() - inner.bottom());
    };
    if (window->isVisible() && window->frameGeometry() != window->geometry())
        return margins(window);
    QList<QWidget *> shown;
    if (QWidget *main = FindMainWindow())
        shown.append(main);
    shown.append(QApplication::topLevelWidgets());
    for (const QWidget *w : shown)
        if (w != window && w->isVisible() && w->frameGeometry() != w->geometry())
            return margins(w);
    return QMargins();
}
} // namespace

void FitWindowOnScreen(QWidget *window)
{
    if (!window || !window->isWindow() || window->windowType() == Qt::Popup
        || window->windowType() == Qt::ToolTip || window->isMaximized() || window->isFullScreen())
        return;
    QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = FrameMarginsOf(window);
    const QRect area = g_screenRect ? *g_screenRect : screen->availableGeometry();
    // The largest client size whose frame still fits.
    const QSize room(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());
    QSize size = window->size();
    if (size.width() > room.width() || size.height() > room.height()) {
        const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
        size = size.boundedTo(room).expandedTo(least.boundedTo(size));
        window->resize(size);
    }
    // The frame's top-left corner, kept inside the area; a window still
    // larger than the area shows its top-left part, where the title bar is.
    QPoint at = window->pos();
    const int outerWidth = size.width() + frame.left() + frame.right();
    const int outerHeight = size.height() + frame.top() + frame.bottom();
    at.setX(std::max(area.left(), std::min(at.x(), area.left() + area.width() - outerWidth)));
    at.setY(std::max(area.top(), std::min(at.y(), area.top() + area.height() - outerHeight)));
    if (at != window->pos())
        window->move(at);
}

QString PlacementSection(const QWidget *form)
{
    QString section = QString::fromLatin1(form->metaObject()->className()) + QStringLiteral("_Placement");
    const int ppi = platform::ScreenPixelsPerInch();
    if (ppi > 96)
        section += QString::number(ppi);
    return section;
}

void SaveWindowPlacement(QWidget *form)
{
    // The normal rectangle, also while the window is maximised, so that it
    // comes back at that size when the user restores it.
    const QRect r = form->isMaximized() ? form->normalGeometry() : form->geometry();
    const QString section = PlacementSection(form);
    const bool maximized = form->isMaximized();
    WriteSettings([=](TIniFile &ini) {
        ini.WriteInteger(section, QStringLiteral("Left"), r.left());
        ini.WriteInteger(section, QStringLiteral("Top"), r.top());
        ini.WriteInteger(section, QStringLiteral("Right"), r.left() + r.width());
        ini.WriteInteger(section, QStringLiteral("Bottom"), r.top() + r.height());
        ini.WriteBool(section, QStringLiteral("Maximized"), maximized);
    });
}

namespace {
// Writes that have not reached the file yet, oldest first.
QList<std::function<void(TIniFile &)>> &PendingSettings()
{
    static QList<std::function<void(TIniFile &)>> pending;
    return pending;
}
bool settingsFailureShown = false;
} // namespace

bool WriteSettings(const std::function<void(TIniFile &)> &write)
{
    PendingSettings().append(write);
    TIniFile ini(SettingsFileName());
    for (const auto &pending : PendingSettings())
        pending(ini);
    if (ini.UpdateFile()) {
        PendingSettings().clear();
        return true;
    }
    if (!settingsFailureShown) {
        settingsFailureShown = true;
        // The command that wrote has ended when the event loop comes round.
        QTimer::singleShot(0, [] { settingsFailureShown = false; });
        ShowInformation(QStringLiteral("Unable to save the settings to %1: %2").arg(ini.FileName(), ini.ErrorString()));
    }
    return false;
}

void RestoreWindowPlacement(QWidget *form)
{
    const QString section = PlacementSection(form);
    bool maximized = form->isMaximized();
    {
        TIniFile ini(SettingsFileName());
        int left = ini.ReadInteger(section, QStringLiteral("Left"), 0);
        int top = ini.ReadInteger(section, QStringLiteral("Top"), 0);
        int right = ini.ReadInteger(section, QStringLiteral("Right"), 0);
        int bottom = ini.ReadInteger(section, QStringLiteral("Bottom"), 0);
        maximized = ini.ReadBool(section, QStringLiteral("Maximized"), maximized);
        if (bottom != 0) {
            // A placement saved on a larger screen is pushed back inside this one.
            const QRect screen = ScreenRect();
            if (screen.width() < right) {
                left -= right - screen.width();
                right = screen.width();
            }
            if (screen.height() < bottom) {
                top -= bottom - screen.height();
                bottom = screen.height();
            }
            form->setGeometry(left, top, qMax(1, right - left), qMax(1, bottom - top));
        } else {
            CenterForm(form);
        }
    }
    if (maximized)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    SaveWindowPlacement(form);
}

void CenterForm(QWidget *form)
{
    if (!form->isVisible() && !form->testAttribute(Qt::WA_Resized))
        form->adjustSize();
    QWidget *main = FindMainWindow();
    const bool isMain = form == main;
    QRect area;
    if (isMain || !main || main->isMaximized() || !main->isVisible())
        area = ScreenRect();
    else
        area = main->geometry();
    // Integer division truncates toward zero, as the placement arithmetic always has.
    const int left = area.left() + (area.width() - form->width()) / 2;
    const int top = area.top() + (area.height() - form->height()) / 2;
    form->move(left, top);
    if (form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint))
        form->setWindowFlag(Qt::WindowSystemMenuHint, true);
}

// ---- printers ----

void SetPrinterFactsForTests(std::function<TPrinterFacts()> source) { g_printerFacts = std::move(source); }

bool PrinterAvailable(bool showMessages)
{
    TPrinterFacts facts;
    try {
        if (g_printerFacts) {
            facts = g_printerFacts();
        } else {
            // The built-in PDF printer is always there, so the system's
            // printers are not asked for here: a slow spooler would hold the
            // start of the program. They are read when a printer is chosen.
            facts.printers = QStringList{report::kPdfPrinterName};
            facts.defaultPrinter = report::kPdfPrinterName;
        }
    } catch (...) {
        return false;
    }
    if (facts.printers.isEmpty()) {
        if (showMessages)
            ShowInformation(QStringLiteral(
                "There are no installed printers.\r\nUnable to perform printer related operations"));
        return false;
    }
    if (facts.defaultPrinter.isEmpty()) {
        if (showMessages)
            ShowInformation(QStringLiteral(
                "There is no default printer selected.\r\nUnable to perform printer related operations"));
        return false;
    }
    return true;
}

// ---- file dialogs ----

void SetFileDialogRunnerForTests(std::function<std::optional<QString>(QFileDialog &)> runner)
{
    g_fileDialogRunner = std::move(runner);
}

std::optional<QString> RunFileDialog(QFileDialog &dialog)
{
    if (g_fileDialogRunner)
        return g_fileDialogRunner(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

// ---- modal dialogs ----

void SetDialogRunnerForTests(std::function<int(QDialog &)> runner) { g_dialogRunner = std::move(runner); }

int ExecDialog(QDialog &dialog)
{
    if (g_dialogRunner)
        return g_dialogRunner(dialog);
    return dialog.exec();
}

// ---- buttons ----

QPushButton *MakeFormButton(QWidget *parent, const QString &caption, const QString &objectName)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

QToolButton *MakeMouseHelpButton(QWidget *parent)
{
    QToolButton *button = TODSHelp::MakeMouseHelpButton(parent);
    button->setIcon(ToolIcon(tiHelpPointer));
    return button;
}

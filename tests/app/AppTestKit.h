// What the shell's tests share: answers for the modal boxes and dialogs the
// commands show, recorded so that a test can check what the user would have
// seen, and a fresh settings file and card folder per test.
#pragma once

#include "TestSupport.h"

#include "app/AppHelpers.h"
#include "app/MainWindow.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QQueue>
#include <deque>
#include <memory>

namespace apptest {

// Message boxes: every request is recorded and answered from a queue; an
// empty queue answers OK to a plain box and Cancel to a question (and counts
// as unexpected).
struct MessageBoxes {
    QList<platform::TMessageRequest> shown;
    std::deque<platform::TMsgResult> answers;
    int unexpected = 0;

    void Install()
    {
        platform::SetMessageBoxForTests([this](const platform::TMessageRequest &r) {
            shown.append(r);
            if (!answers.empty()) {
                const platform::TMsgResult a = answers.front();
                answers.pop_front();
                return a;
            }
            if (r.buttons == platform::mbOK)
                return platform::mrOk;
            ++unexpected;
            return platform::mrCancel;
        });
    }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto &r : shown)
            t.append(r.text);
        return t;
    }
    void Clear()
    {
        shown.clear();
        answers.clear();
        unexpected = 0;
    }
};

// File dialogs: the prepared dialog's settings are recorded; the answers
// come from a queue (nothing = the user cancelled).
struct FileDialogs {
    struct Seen {
        QString title;
        QString directory;
        QString defaultSuffix;
        QStringList nameFilters;
        QString initialFile;
        QFileDialog::AcceptMode mode;
    };
    QList<Seen> seen;
    std::deque<std::optional<QString>> answers;

    void Install()
    {
        SetFileDialogRunnerForTests([this](QFileDialog &d) -> std::optional<QString> {
            // The file the dialog would show in its name field.
            const QStringList selected = d.selectedFiles();
            seen.append({d.windowTitle(), d.directory().absolutePath(), d.defaultSuffix(), d.nameFilters(),
                         selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName(), d.acceptMode()});
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        });
    }
};

// A machine with one printer, its default: printing is offered and no
// message about printers appears at start-up.
inline void PinPrinters()
{
    SetPrinterFactsForTests([] { return TPrinterFacts{{QStringLiteral("Quorvel-PDF")}, QStringLiteral("Quorvel-PDF")}; });
}

// Every shell test starts from an empty program folder.
inline void ResetProgramFolder()
{
    QDir home(platform::ProgramFolder());
    for (const QString &name : home.entryList(QDir::Files | QDir::Hidden))
        home.remove(name);
    for (const char *sub : {"saved", "bg", "bmbrush"}) {
        QDir d(home.filePath(QLatin1String(sub)));
        d.removeRecursively();
    }
}

inline QString SettingsText()
{
    QFile f(SettingsFileName());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline void WriteText(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A main window as the program makes it, with its start-up done.
inline std::unique_ptr<TMainScreen> StartMainWindow()
{
    auto w = std::make_unique<TMainScreen>();
    w->FormActivate();
    testsupport::Flush();
    return w;
}

// Closes without asking: the window is thrown away with its changes.
inline void Discard(std::unique_ptr<TMainScreen> &w)
{
    if (w) {
        w->SetChangesMade(false);
        w.reset();
        testsupport::Flush();
    }
}

// A key as the user presses it: delivered to the control that has the focus.
inline void PressKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != window)
        target = window;
    QTest::keyPress(target, key, mods);
    QTest::keyRelease(target, key, mods);
}

} // namespace apptest

// Quorvel: design business cards and print them on sheets of card stock.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/MainWindow.h"
#include "app/MainWindowPrinting.h"
#include "dialogs/DialogEditors.h"
#include "platform/OutputFiles.h"
#include "platform/ProgramFolder.h"

#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace {
// The card file named on the command line, as a full path; empty when none.
// The window holds one card: further names are said to be left alone.
QString CardFileArgument(const QStringList &args)
{
    QStringList named;
    for (const QString &a : args.mid(1))
        if (!a.startsWith(QLatin1Char('-')))
            named.append(a);
    for (const QString &ignored : named.mid(1))
        std::fprintf(stderr, "quorvel: one card opens at a time; %s is ignored\n", qPrintable(ignored));
    return named.isEmpty() ? QString() : QFileInfo(named.first()).absoluteFilePath();
}
} // namespace

int main(int argc, char **argv)
{
    // An interrupted print or render leaves no partial file behind.
    platform::InstallInterruptCleanup();
    const bool headless = IsHeadlessMode(argc, argv);
    if (headless)
        KeepQtNotesOffTheTerminal();
    const bool hasDisplay = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (headless && !hasDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!headless && !hasDisplay) {
        std::fprintf(stderr, "quorvel: no display found (DISPLAY is not set); "
                             "the command-line modes run without one, see --help\n");
        return 1;
    }

    TQuorvelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));

    if (auto status = RunCommandLine(QApplication::arguments()))
        return *status;
    const QString cardFile = CardFileArgument(QApplication::arguments());

    // A second copy hands its card file to the running one and ends before
    // it shows anything.
    TJustOne justOne(platform::ProgramFolder());
    if (!justOne.IsFirstInstance()) {
        if (!justOne.SendToRunningInstance(cardFile))
            std::fprintf(stderr, "quorvel: another copy is running but does not answer\n");
        return 0;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    InstallPrintingCommands();
    RegisterDialogEditors();
    TMainScreen window;
    QObject::connect(&justOne, &TJustOne::ActivateRequested, &window, &TMainScreen::BringToFront);
    // Queued: the save prompt must not run inside the socket's notification.
    QObject::connect(&justOne, &TJustOne::OpenRequested, &window, &TMainScreen::OpenRequestedFile,
                     Qt::QueuedConnection);
    if (!cardFile.isEmpty())
        window.SetStartupCardFile(cardFile);
    window.FormActivate();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    return app.exec();
}

// Quorvel: design business cards and print them on sheets of card stock.
#include "app/CommandLine.h"
#include "app/DesignWindow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const bool headless = IsHeadlessMode(argc, argv);
    const bool hasDisplay = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (headless && !hasDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!headless && !hasDisplay) {
        std::fprintf(stderr, "quorvel: no display found (DISPLAY is not set); "
                             "the command-line modes run without one, see --help\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));

    if (auto status = RunCommandLine(QApplication::arguments()))
        return *status;

    TDesignWindow window;
    window.show();
    return app.exec();
}

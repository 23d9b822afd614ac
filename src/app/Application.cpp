#include "app/Application.h"

#include "app/AppHelpers.h"

#include <QWidget>
#include <exception>

TQuorvelApplication::TQuorvelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TQuorvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        const bool done = QApplication::notify(receiver, event);
        // A window's show event comes after its own placement (centred, or
        // restored) and before the window appears: the last moment to keep
        // it on the screen.
        if (event->type() == QEvent::Show && receiver->isWidgetType())
            FitWindowOnScreen(static_cast<QWidget *>(receiver));
        return done;
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
    } catch (...) {
        ShowError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

#include "app/Application.h"

#include "app/AppHelpers.h"

#include <QPointer>
#include <QWidget>
#include <exception>

TQuorvelApplication::TQuorvelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TQuorvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        // A window's show event comes after its own placement (centred, or
        // restored) and before the window appears: the last moment to keep
        // it on the screen.
        const bool showing = event->type() == QEvent::Show && receiver->isWidgetType();
        const QPointer<QWidget> window = showing ? static_cast<QWidget *>(receiver) : nullptr;
        const bool done = QApplication::notify(receiver, event);
        if (window)
            FitWindowOnScreen(window);
        return done;
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
    } catch (...) {
        ShowError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

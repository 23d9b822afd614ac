#include "app/Application.h"

#include "app/AppHelpers.h"

#include <exception>

TQuorvelApplication::TQuorvelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TQuorvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()) + QLatin1Char('.'));
    } catch (...) {
        ShowError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

static QString WithSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QString ProgramFolder()
{
    const QString home = qEnvironmentVariable("QUORVEL_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return WithSlash(QDir(home).absolutePath());
    }
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        if (QFileInfo::exists(exeDir + QStringLiteral("/qrv.ini")))
            return WithSlash(exeDir);
    }
    QString data = QDir::homePath() + QStringLiteral("/.local/share/Quorvel");
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty())
        data = xdg + QStringLiteral("/Quorvel");
    QDir().mkpath(data);
    return WithSlash(data);
}

} // namespace platform

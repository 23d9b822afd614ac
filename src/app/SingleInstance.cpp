// Holds TJustOne.
#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {
const QByteArray kActivate = "ACTIVATE";
const QByteArray kOpen = "OPEN ";
// Unix socket paths are limited to about a hundred bytes.
constexpr int kMaxSocketPath = 100;

QString SocketNameFor(const QString &folder)
{
    const QString inFolder = QDir(folder).absoluteFilePath(QStringLiteral("quorvel.sock"));
    if (inFolder.toLocal8Bit().size() < kMaxSocketPath)
        return inFolder;
    // A deep program folder: a name of its own in the temporary folder.
    const QByteArray hash = QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1);
    return QDir::temp().absoluteFilePath(QStringLiteral("quorvel-") + QString::fromLatin1(hash.toHex().left(16)));
}
} // namespace

TJustOne::TJustOne(const QString &folder, QObject *parent) : QObject(parent)
{
    QDir().mkpath(folder);
    FSocketName = SocketNameFor(folder);
    FLock = std::make_unique<QLockFile>(QDir(folder).absoluteFilePath(QStringLiteral("quorvel.lock")));
    // A lock left by a copy that has ended (it crashed) is taken over.
    FLock->setStaleLockTime(0);
    FFirst = FLock->tryLock(0);
    if (!FFirst)
        return;
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(FSocketName);
    connect(FServer, &QLocalServer::newConnection, this, &TJustOne::AcceptConnection);
    FServer->listen(FSocketName);
}

TJustOne::~TJustOne()
{
    if (FServer)
        FServer->close();
    if (FFirst)
        FLock->unlock();
}

void TJustOne::AcceptConnection()
{
    while (QLocalSocket *socket = FServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ReadRequests(socket);
    }
}

void TJustOne::ReadRequests(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(64 * 1024).trimmed();
        if (line == kActivate)
            emit ActivateRequested();
        else if (line.startsWith(kOpen))
            emit OpenRequested(QString::fromUtf8(line.mid(kOpen.size())));
    }
}

bool TJustOne::SendToRunningInstance(const QString &cardFile, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running copy may still be starting and not yet listening.
    for (;;) {
        socket.connectToServer(FSocketName);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    QByteArray message = kActivate + '\n';
    if (!cardFile.isEmpty())
        message += kOpen + cardFile.toUtf8() + '\n';
    socket.write(message);
    const bool written = socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(500);
    return written;
}

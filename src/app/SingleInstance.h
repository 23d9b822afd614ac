// The guard against a second running copy. The first copy holds a lock file
// in the program folder and listens on a local socket there; a later start
// finds the lock, tells the running copy to come to the front (and which
// card file to open, if it was given one) and ends.
// Holds TJustOne.
#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;
class QLocalSocket;

class TJustOne : public QObject
{
    Q_OBJECT

public:
    // folder: the program folder, where the lock and the socket live.
    explicit TJustOne(const QString &folder, QObject *parent = nullptr);
    ~TJustOne() override;

    // True for the copy that runs; false when another copy already does.
    bool IsFirstInstance() const { return FFirst; }
    // Asks the running copy to come to the front and, with a path, to open
    // that card. False when it could not be reached in time.
    bool SendToRunningInstance(const QString &cardFile, int timeoutMs = 3000);

    QString SocketName() const { return FSocketName; }

signals:
    void ActivateRequested();
    void OpenRequested(const QString &path);

private:
    void AcceptConnection();
    void ReadRequests(QLocalSocket *socket);

    std::unique_ptr<QLockFile> FLock;
    QLocalServer *FServer = nullptr;
    QString FSocketName;
    bool FFirst = false;
};

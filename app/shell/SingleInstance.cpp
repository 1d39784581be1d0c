#include "app/shell/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace vorlane {

TSingleInstance::TSingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
{
    // Per user id, not per $USER: the variable may be unset or shared, the id is what the
    // kernel checks. The user's runtime folder when there is one (private to the user); its
    // checks by QStandardPaths cost more than the whole lock, and the lock only needs a folder
    // both starts agree on.
    const QString base =
        key.isEmpty() ? QStringLiteral("vorlane-") + QString::number(::getuid()) : key;
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::tempPath();
    vServerName = dir + u'/' + base + QStringLiteral(".socket");
    vLockPath = dir + u'/' + base + QStringLiteral(".lock");
}

TSingleInstance::~TSingleInstance() = default;

void TSingleInstance::Release()
{
    delete vServer; // closes the socket and removes its file
    vServer = nullptr;
    vLock.reset(); // removes the lock file
}

bool TSingleInstance::TryBecomeFirst()
{
    vLock = std::make_unique<QLockFile>(vLockPath);
    vLock->setStaleLockTime(0); // only a dead owner makes a lock stale, never its age
    if (!vLock->tryLock(100))
        return false;
    vServer = new QLocalServer(this);
    vServer->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a program that died would refuse the name.
    QLocalServer::removeServer(vServerName);
    if (!vServer->listen(vServerName))
        qWarning("vorlane: cannot listen on %s: %s", qPrintable(vServerName),
                 qPrintable(vServer->errorString()));
    connect(vServer, &QLocalServer::newConnection, this, &TSingleInstance::onConnection);
    return true;
}

void TSingleInstance::onConnection()
{
    while (QLocalSocket *socket = vServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            // One request line: "raise" followed by tab-separated paths.
            const QString line = QString::fromUtf8(socket->readLine()).trimmed();
            QStringList parts = line.split(u'\t', Qt::SkipEmptyParts);
            if (parts.isEmpty() || parts.takeFirst() != QLatin1String("raise"))
                return;
            Q_EMIT raiseRequested(parts);
            socket->write("raised\n");
            socket->flush();
        });
    }
}

bool TSingleInstance::NotifyFirst(const QStringList &paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(vServerName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray request = "raise";
    for (const QString &p : paths)
        request += '\t' + p.toUtf8();
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine().trimmed() == "raised";
}

} // namespace vorlane

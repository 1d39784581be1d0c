#pragma once
// One running program per user id. The first start takes a lock file and listens on a local
// socket, both in $XDG_RUNTIME_DIR (else the temporary folder); a later start finds the lock
// taken, asks the first over the socket to bring its window back (and to open the folders it was
// given), waits for the answer and ends. A lock or socket left by a process that died is taken
// over. Main thread only.

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace vorlane {

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    // key names the lock and the socket ("vorlane-<uid>" when empty); tests pass their own so
    // they never meet a real program.
    explicit TSingleInstance(const QString &key = QString(), QObject *parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is the first: it now holds the lock and listens.
    bool TryBecomeFirst();
    // For a later start: asks the first instance to raise its window and open paths. True when
    // it answered within timeoutMs.
    bool NotifyFirst(const QStringList &paths, int timeoutMs = 5000);

    // Gives up the lock and the socket now, as the destructor would (for a process about to end
    // without unwinding).
    void Release();

    QString ServerName() const { return vServerName; }
    QString LockPath() const { return vLockPath; }

Q_SIGNALS:
    // A later start asked to be raised; paths are the folders it was given.
    void raiseRequested(const QStringList &paths);

private:
    void onConnection();

    QString vServerName;
    QString vLockPath;
    std::unique_ptr<QLockFile> vLock;
    QLocalServer *vServer = nullptr;
};

} // namespace vorlane

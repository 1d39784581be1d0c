#pragma once
// The workers of the internet features: the cache refresh (TVLCacheRefreshThread), the internet
// search (TVLParser), the upload of an account's local files (TAccountUploader) and TNetTask, one
// blocking network wait of the controller (the connection check, an internet list's download,
// the size of a search result, an account operation).
//
// Ownership and threads: the catalogue controller creates each worker on the main thread, starts
// it, and takes its outcome on the main thread when the thread's finished() signal arrives there
// (a queued connection); then the worker is deleted (deleteLater). While it runs a worker touches
// only files, the network and its own fields. RequestStop() makes it end within about a second
// (a transfer in progress is abandoned; a refresh keeps the cache files it has not replaced).

#include "base/FileList.h"
#include "catalog/Account.h"
#include "net/FtpClient.h"
#include "net/InetCatalog.h"
#include "net/Services.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>

namespace vorlane {

// Runs one function on a worker thread. The function gets the stop flag, and hands its result
// back through what it captured, which the owner reads after finished().
class TNetTask : public QThread {
    Q_OBJECT

public:
    using TWork = std::function<void(const std::atomic<bool> &stop)>;
    explicit TNetTask(TWork work, QObject *parent = nullptr);
    ~TNetTask() override;
    void RequestStop() { vStop = true; }

protected:
    void run() override;

private:
    TWork vWork;
    std::atomic<bool> vStop{false};
};

// Brings the catalogue cache up to date with the server (RefreshCatalogueCache).
class TVLCacheRefreshThread : public QThread {
    Q_OBJECT

public:
    TVLCacheRefreshThread(const QString &serverName, const QString &programDataDir,
                          QObject *parent = nullptr);
    ~TVLCacheRefreshThread() override;
    void RequestStop() { vStop = true; }
    // After finished(): a download failed (the in-memory lists are to be kept).
    bool RefreshFailFlag() const { return vReport.Failed; }
    const TRefreshReport &Report() const { return vReport; }

protected:
    void run() override;

private:
    const QString vServerName;
    const QString vProgramDataDir;
    TRefreshReport vReport;
    std::atomic<bool> vStop{false};
};

// One internet search (RunInetSearch) for a query, with the sites in force when it started.
class TVLParser : public QThread {
    Q_OBJECT

public:
    // `generation` tells the controller's searches apart: only the newest one's list is taken.
    TVLParser(const QString &query, const TServices &services, quint64 generation,
              QObject *parent = nullptr);
    ~TVLParser() override;
    void RequestStop() { vStop = true; }
    QString Query() const { return vQuery; }
    quint64 Generation() const { return vGeneration; }
    // After finished(): the results; the caller takes them over.
    TFileList GetResultList() { return std::move(vList); }

protected:
    void run() override;

private:
    const QString vQuery;
    const TServices vServices;
    const quint64 vGeneration;
    TFileList vList;
    std::atomic<bool> vStop{false};
};

// Uploads the local files of the account playlist to the storage server (UploadLocalFiles) in
// its own session. It works on a copy of the playlist; the controller takes the result.
class TAccountUploader : public QThread {
    Q_OBJECT

public:
    TAccountUploader(const TFtpSettings &storage, const TFileList &playList, const QString &account,
                     const QString &webFolder, QObject *parent = nullptr);
    ~TAccountUploader() override;
    void RequestStop() { vStop = true; }
    // After finished(): the result; the caller takes it over.
    TUploadResult TakeResult() { return std::move(vResult); }

protected:
    void run() override;

private:
    TFtpClient vFTP;
    const TFileList vPlayList;
    const QString Account;
    const QString vWebFolder;
    TUploadResult vResult;
    std::atomic<bool> vStop{false};
};

} // namespace vorlane

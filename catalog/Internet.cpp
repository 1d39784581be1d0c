// The controller's internet operations: the connection check, the cache refresh, internet lists
// downloaded for AddList, the internet search and the pruning of dead results. Every network
// wait runs on a worker (catalog/InetWorkers.h); outcomes reach the window through Flags().

#include "catalog/InetWorkers.h"
#include "catalog/Vorlane.h"

#include "base/Messages.h"
#include "base/TextUtils.h"
#include "net/InetCatalog.h"
#include "net/Services.h"
#include "net/UrlReads.h"

#include <QDir>

#include <algorithm>
#include <memory>

namespace vorlane {

QString ListDownloadStatus(int64_t received, int64_t expected)
{
    const QString &loading = Msg().SM_LISTLOAD;
    if (expected > 0) {
        // Received may pass an announced length that was wrong.
        const int64_t percent = std::min<int64_t>(100, received * 100 / expected);
        return loading + u' ' + QString::number(percent) + u'%';
    }
    return loading + u' ' + QString::number(received / 1024) + QStringLiteral(" KB");
}

// ---- Connection check and cache refresh ----

void TVorlane::CheckInetConnection()
{
    if (InetCheckThread || vStopping)
        return;
    if (vServerName.isEmpty()) {
        notice(&TMessages::SM_CATALOGOFF, false);
        return;
    }
    auto reachable = std::make_shared<std::atomic<bool>>(false);
    auto *task = new TNetTask(
        [server = vServerName, reachable](const std::atomic<bool> &stop) {
            *reachable = GetUrlSize(server, &stop) > 0;
        },
        this);
    InetCheckThread = task;
    connect(task, &QThread::finished, this, [this, task, reachable] {
        task->deleteLater();
        if (InetCheckThread == task)
            InetCheckThread = nullptr;
        if (vStopping)
            return;
        vOutcomes.append([this, reachable] {
            vInetEnabled = reachable->load();
            return vInetEnabled ? efInternetEnabled : efNone;
        });
    });
    task->start();
}

bool TVorlane::InetCheckRunning() const
{
    return InetCheckThread;
}

void TVorlane::RefreshCache()
{
    if (!vInetEnabled || CacheRefresherThread || vStopping)
        return;
    auto *thread = new TVLCacheRefreshThread(vServerName, vProgramDataDir, this);
    CacheRefresherThread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        if (CacheRefresherThread == thread)
            CacheRefresherThread = nullptr;
        if (vStopping)
            return;
        const bool failed = thread->RefreshFailFlag();
        vOutcomes.append([this, failed] {
            // A refresh that completed leaves the lists in memory older than the cache.
            vCacheRefreshed = failed;
            return efRefreshView;
        });
    });
    thread->start();
}

bool TVorlane::CacheRefreshRunning() const
{
    return CacheRefresherThread;
}

bool TVorlane::InternetBusy() const
{
    return InetCheckThread || CacheRefresherThread || ListDownloadThread || PruneThread ||
           !vSearchThreads.isEmpty() || !vOutcomes.isEmpty();
}

// ---- Internet lists downloaded for AddList ----

void TVorlane::startListDownload(const QString &address)
{
    if (ListDownloadThread) {
        vPendingListDownloads.append(address);
        return;
    }
    auto list = std::make_shared<TFileList>();
    std::atomic<int64_t> *received = &vMailboxes.ListReceived;
    std::atomic<int64_t> *expected = &vMailboxes.ListExpected;
    received->store(0);
    expected->store(-1);
    auto *task = new TNetTask(
        [dataDir = vProgramDataDir, address, list, received,
         expected](const std::atomic<bool> &stop) {
            const QString name = CacheFileName(address);
            if (!name.isEmpty()) {
                const QString file = CacheFolder(dataDir) + name;
                // Here, unlike the refresh, a remote size of 0 downloads too.
                if (GetUrlSize(address, &stop) != GetFileSize32(file)) {
                    QDir().mkpath(CacheFolder(dataDir));
                    TTransferControl control{&stop, kMaxListDownload, received, expected};
                    DownloadUrl(address, file, QStringLiteral("VL4"), control);
                }
            }
            if (!stop)
                *list = ReadCachedList(dataDir, address);
        },
        this);
    ListDownloadThread = task;
    vMailboxes.ListDownloading = true;
    connect(task, &QThread::finished, this, [this, task, list] {
        task->deleteLater();
        if (ListDownloadThread == task)
            ListDownloadThread = nullptr;
        vMailboxes.ListDownloading = false;
        if (vStopping)
            return;
        vOutcomes.append([this, list] {
            vInetList.append(std::move(*list));
            return efListAdded;
        });
        if (!vPendingListDownloads.isEmpty())
            startListDownload(vPendingListDownloads.takeFirst());
    });
    task->start();
}

bool TVorlane::ListDownloadProgress(int64_t &received, int64_t &expected) const
{
    received = vMailboxes.ListReceived.load();
    expected = vMailboxes.ListExpected.load();
    return vMailboxes.ListDownloading.load();
}

// ---- Internet search ----

void TVorlane::supersedeSearch()
{
    ++vSearchGeneration;
    for (const QPointer<TVLParser> &thread : std::as_const(vSearchThreads)) {
        if (thread)
            thread->RequestStop();
    }
}

void TVorlane::StartInetSearch(const QString &query)
{
    if (vStopping)
        return;
    const TServices services = ConfiguredServices();
    if (!services.SearchOn()) {
        notice(&TMessages::SM_SEARCHOFF, true);
        return;
    }
    if (services.SearchSite1.isEmpty() || services.SearchSite2.isEmpty())
        notice(&TMessages::SM_SEARCHSITEOFF, false);
    supersedeSearch();
    auto *thread = new TVLParser(query, services, vSearchGeneration, this);
    vSearchThreads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        vSearchThreads.removeAll(thread);
        const quint64 generation = thread->Generation();
        if (vStopping || generation != vSearchGeneration)
            return; // superseded: a newer search or list owns the search list
        auto list = std::make_shared<TFileList>(thread->GetResultList());
        vOutcomes.append([this, list, generation] {
            if (generation != vSearchGeneration)
                return TEventCode(efNone);
            vInetSearchList = std::move(*list);
            vInetSearchList.CurIndex = 0;
            vSearchInetFileIndex = -1; // the old index named an entry of the replaced list
            vMode = bmInternetSearch;
            return TEventCode(efListReplaced);
        });
    });
    thread->start();
}

bool TVorlane::InetSearchRunning() const
{
    for (const QPointer<TVLParser> &thread : vSearchThreads) {
        if (thread && thread->Generation() == vSearchGeneration)
            return true;
    }
    return false;
}

void TVorlane::DeleteInvalidInetSearchRecord()
{
    if (PruneThread || vStopping || vSearchInetFileIndex < 0 ||
        vSearchInetFileIndex >= vInetSearchList.Count())
        return;
    const TFileName &r = vInetSearchList.At(vSearchInetFileIndex);
    const QString address = r.DirName + r.FileName;
    auto size = std::make_shared<std::atomic<int64_t>>(0);
    auto *task = new TNetTask(
        [address, size](const std::atomic<bool> &stop) { *size = GetUrlSize(address, &stop); },
        this);
    PruneThread = task;
    connect(task, &QThread::finished, this, [this, task, size, address] {
        task->deleteLater();
        if (PruneThread == task)
            PruneThread = nullptr;
        if (vStopping)
            return;
        vOutcomes.append([this, size, address] {
            if (size->load() > kLiveResultSize || !removeSearchResult(address))
                return TEventCode(efNone);
            return TEventCode(efDeleteDone);
        });
    });
    task->start();
}

bool TVorlane::removeSearchResult(const QString &address)
{
    // Looked up by address: the list may have been sorted or replaced while the size was asked.
    int removed = -1;
    for (int i = 0; i < vInetSearchList.Count(); ++i) {
        const TFileName &r = vInetSearchList.At(i);
        if (r.DirName.size() + r.FileName.size() == address.size() &&
            r.DirName + r.FileName == address) {
            removed = i;
            break;
        }
    }
    if (removed < 0)
        return false;
    vInetSearchList.ClearRecord(removed);
    vInetSearchList.RefreshList();
    if (removed < vSearchInetFileIndex)
        --vSearchInetFileIndex;
    if (vSearchInetFileIndex >= vInetSearchList.Count())
        vSearchInetFileIndex = 0;
    vInetSearchList.CurIndex = std::max(vSearchInetFileIndex, 0);
    return true;
}

// ---- Notices and the end of the workers ----

void TVorlane::notice(QString TMessages::*message, bool everyTime)
{
    if (!everyTime && vNoticesGiven.contains(message))
        return;
    if (!vNoticesGiven.contains(message))
        vNoticesGiven.append(message);
    vNotices.append(message);
}

QStringList TVorlane::TakeNotices()
{
    QStringList texts;
    for (QString TMessages::*message : std::as_const(vNotices))
        texts << Msg().*message;
    vNotices.clear();
    return texts;
}

void TVorlane::stopInternetWorkers()
{
    stopAccountWorkers();
    vPendingListDownloads.clear();
    vOutcomes.clear();
    QList<QThread *> running;
    if (InetCheckThread) {
        InetCheckThread->RequestStop();
        running << InetCheckThread.data();
    }
    if (CacheRefresherThread) {
        CacheRefresherThread->RequestStop();
        running << CacheRefresherThread.data();
    }
    if (ListDownloadThread) {
        ListDownloadThread->RequestStop();
        running << ListDownloadThread.data();
    }
    if (PruneThread) {
        PruneThread->RequestStop();
        running << PruneThread.data();
    }
    for (const QPointer<TVLParser> &thread : std::as_const(vSearchThreads)) {
        if (thread) {
            thread->RequestStop();
            running << thread.data();
        }
    }
    for (QThread *thread : std::as_const(running))
        thread->wait();
}

} // namespace vorlane

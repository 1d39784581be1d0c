#include "net/InetCatalog.h"

#include "net/UrlReads.h"

#include "base/TextFile.h"
#include "base/TextUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <mutex>

namespace vorlane {

namespace {

// Lists already built from their cache files, by the file's path, with the size and times the
// file had then. Showing the internet lists builds every list again; with this a file that has
// not changed costs one stat and a shared copy instead of parsing its lines, and the refresh
// builds what it wrote on its own worker, so the window's next listing finds it ready. A file is
// only ever replaced by a rename, which gives it new times.
struct TBuiltList {
    qint64 Size = -1;
    QDateTime Modified;
    QDateTime Changed;
    TFileList List;
};

class TBuiltLists {
public:
    TFileList Get(const QString &path)
    {
        const QFileInfo info(path);
        if (!info.isFile())
            return {};
        const qint64 size = info.size();
        const QDateTime modified = info.lastModified();
        const QDateTime changed = info.fileTime(QFileDevice::FileMetadataChangeTime);
        {
            std::lock_guard lock(vMutex);
            const auto it = vLists.constFind(path);
            if (it != vLists.cend() && it->Size == size && it->Modified == modified &&
                it->Changed == changed)
                return it->List;
        }
        TBuiltList built{size, modified, changed, {}};
        QStringList lines;
        if (!ReadTextLines(path, lines))
            return {};
        for (const QString &line : std::as_const(lines))
            built.List.AddNewRecord(line);
        std::lock_guard lock(vMutex);
        if (vLists.size() >= kMaxLists) // files of catalogues no longer read
            vLists.clear();
        vLists.insert(path, built);
        return built.List;
    }

private:
    static constexpr qsizetype kMaxLists = 4096;
    std::mutex vMutex;
    QHash<QString, TBuiltList> vLists;
};

TBuiltLists &builtLists()
{
    static TBuiltLists lists;
    return lists;
}

const QString kAgent = QStringLiteral("VL4Refresher");

// A download of the refresh: whether it counts as a failed refresh (an address that did not
// answer leaves the old file and does not).
bool refreshFailure(TReadResult result)
{
    return result != TReadResult::Done && result != TReadResult::Unreachable;
}

TReadResult download(const QString &address, const QString &file, const std::atomic<bool> *stop)
{
    TTransferControl control;
    control.Cancel = stop;
    control.MaxBytes = kMaxListDownload;
    return DownloadUrl(address, file, kAgent, control);
}

bool stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load();
}

} // namespace

QString CacheFileName(const QString &address)
{
    const QString name = address.mid(address.lastIndexOf(u'/') + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(u'\\') || name.contains(QLatin1String("%2f"), Qt::CaseInsensitive) ||
        name.contains(QLatin1String("%5c"), Qt::CaseInsensitive))
        return {};
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    }
    return name;
}

bool CacheUpToDate(int64_t remoteSize, int64_t localSize)
{
    return remoteSize == 0 || remoteSize == localSize;
}

QString CatalogueIndexPath(const QString &dataDir)
{
    return dataDir + QStringLiteral("VL4Conf/lst.txt");
}

QString CacheFolder(const QString &dataDir)
{
    return dataDir + QStringLiteral("VL4Conf/Cache/");
}

TFileList ReadCachedList(const QString &dataDir, const QString &address)
{
    const QString name = CacheFileName(address);
    TFileList list = name.isEmpty() ? TFileList() : builtLists().Get(CacheFolder(dataDir) + name);
    list.RootDir = address;
    list.Included = false;
    list.CurIndex = 0;
    return list;
}

TRefreshReport RefreshCatalogueCache(const QString &serverName, const QString &dataDir,
                                     const std::atomic<bool> *stop,
                                     const std::function<void(const TRefreshLine &)> &onLine)
{
    TRefreshReport report;
    if (serverName.isEmpty())
        return report;
    const QString index = CatalogueIndexPath(dataDir);
    QDir().mkpath(CacheFolder(dataDir));
    if (!CacheUpToDate(GetUrlSize(serverName, stop), GetFileSize32(index))) {
        if (stopped(stop))
            return report;
        if (download(serverName, index, stop) != TReadResult::Done) {
            report.Failed = true;
            return report;
        }
    }
    QStringList lines;
    if (stopped(stop) || !ReadTextLines(index, lines))
        return report;
    report.IndexRead = true;
    for (const QString &line : std::as_const(lines)) {
        if (stopped(stop))
            break;
        TRefreshLine done;
        done.Line = line;
        done.CacheName = CacheFileName(line);
        if (done.CacheName.isEmpty()) {
            done.Outcome = TRefreshOutcome::Skipped;
        } else {
            const QString file = CacheFolder(dataDir) + done.CacheName;
            if (CacheUpToDate(GetUrlSize(line, stop), GetFileSize32(file))) {
                done.Outcome = TRefreshOutcome::Kept;
            } else {
                const TReadResult result = download(line, file, stop);
                done.Outcome = result == TReadResult::Done ? TRefreshOutcome::Updated
                                                           : TRefreshOutcome::Failed;
                report.Failed = report.Failed || refreshFailure(result);
            }
        }
        if (stopped(stop))
            break;
        if (done.Outcome == TRefreshOutcome::Updated || done.Outcome == TRefreshOutcome::Kept)
            ReadCachedList(dataDir, line); // built here, so that listing them does not stall
        report.Lines.append(done);
        if (onLine)
            onLine(report.Lines.constLast());
    }
    return report;
}

} // namespace vorlane

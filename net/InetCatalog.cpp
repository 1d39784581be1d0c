#include "net/InetCatalog.h"

#include "net/UrlReads.h"

#include "base/TextFile.h"
#include "base/TextUtils.h"

#include <QDir>

namespace vorlane {

namespace {

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
    TFileList list;
    const QString name = CacheFileName(address);
    QStringList lines;
    if (!name.isEmpty() && ReadTextLines(CacheFolder(dataDir) + name, lines)) {
        for (const QString &line : std::as_const(lines))
            list.AddNewRecord(line);
    }
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
        report.Lines.append(done);
        if (onLine)
            onLine(report.Lines.constLast());
    }
    return report;
}

} // namespace vorlane

#pragma once
// The internet catalogue's cache: the index file VL4Conf/lst.txt, one list address per line, and
// one cache file per list in VL4Conf/Cache/, named by the part of its address after the last "/".
// The catalogue server's address (the index file's full address) is "ServerName" of "Main" in
// Config.ini.
//
// Index lines come from the network, so a cache file name is used only when it is a plain file
// name (CacheFileName): no index line can make a download write outside the cache folder.
// Downloads stop at kMaxListDownload and replace a cache file in one rename, so a refresh that
// dies half-way keeps the old file.

#include "base/FileList.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>

namespace vorlane {

// The cache file name of a list address: the part after its last "/". Empty when that part
// names no file of the cache folder: empty, ".", "..", or holding "\", a percent-encoded "/" or
// "\" ("%2F", "%5C" in either case) or a control character. Pure.
QString CacheFileName(const QString &address);

// The refresh's up-to-date rule: a cache file is up to date when the remote size is 0 (not
// given, or not reachable) or equals the local size (-1 for a missing file). So a server that
// sends no length never causes a download by the refresh, and a changed length always does. Pure.
bool CacheUpToDate(int64_t remoteSize, int64_t localSize);

// "VL4Conf/lst.txt" and "VL4Conf/Cache/" under a data folder (ending in "/").
QString CatalogueIndexPath(const QString &dataDir);
QString CacheFolder(const QString &dataDir);

// A list built from a cache file: one network entry per line ("address[?title]", empty lines
// included), RootDir the list's address, cursor 0. Empty when the address names no cache file or
// the file is missing. The file is read as every text file is (base/TextFile.h). Safe on any
// thread; a file whose size and times have not changed since it was last built is not read again
// (the refresh builds the files it keeps or writes, so that listing them on the window's thread
// costs a stat per file).
TFileList ReadCachedList(const QString &dataDir, const QString &address);

// What the refresh did with one index line.
enum class TRefreshOutcome {
    Updated, // downloaded into its cache file
    Kept,    // up to date: nothing downloaded
    Failed,  // the download did not complete; the old cache file stays
    Skipped, // the line names no cache file
};

struct TRefreshLine {
    QString Line;      // the index line
    QString CacheName; // its cache file name (empty when skipped)
    TRefreshOutcome Outcome = TRefreshOutcome::Kept;
};

struct TRefreshReport {
    bool IndexRead = false; // lst.txt was up to date or downloaded, and was read
    // A download failed while writing, broke off or ran over the limit (the index's among them):
    // the in-memory lists are kept. A list whose address did not answer does not count.
    bool Failed = false;
    QList<TRefreshLine> Lines;
};

// The cache refresh: when lst.txt is not up to date with serverName, download it (agent
// "VL4Refresher"); a failure ends the refresh there. Then, for each index line in order, download
// the list into its cache file unless it is up to date. onLine (optional) is called after each
// line. Stops between two requests, and within a second inside one, once *stop is set. Blocking;
// any thread.
TRefreshReport RefreshCatalogueCache(const QString &serverName, const QString &dataDir,
                                     const std::atomic<bool> *stop = nullptr,
                                     const std::function<void(const TRefreshLine &)> &onLine = {});

} // namespace vorlane

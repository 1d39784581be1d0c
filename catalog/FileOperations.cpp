// Copy, move, delete and the duplicate search: the workers and the controller's operations.

#include "catalog/FileOperations.h"
#include "base/FileReplacement.h"
#include "base/TextUtils.h"
#include "catalog/Vorlane.h"
#include "net/UrlReads.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vorlane {

namespace {

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// True when both names lead to one file (the same path, a link, or a hard link).
bool sameFile(const QString &a, const QString &b)
{
    std::error_code ec;
    const bool same = std::filesystem::equivalent(nativePath(a), nativePath(b), ec);
    return !ec && same;
}

} // namespace

QString CopyTargetName(const TFileName &entry)
{
    const QString extension = LowerExtension(entry.FileName);
    QString name = entry.FileName;
    if (!entry.Title.isEmpty()) {
        // A title that already ends in the extension (a link list's title is the file name)
        // does not get it twice.
        const bool hasIt =
            !extension.isEmpty() && entry.Title.endsWith(extension, Qt::CaseInsensitive);
        name = (hasIt ? entry.Title.chopped(extension.size()) : entry.Title) + extension;
    }
    if (extension.isEmpty())
        name += QStringLiteral(".mp3");
    SanitizeFileName(name);
    return name;
}

bool CopyLocalFile(const QString &source, const QString &target, const std::atomic<bool> *stop)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || sameFile(source, target))
        return false;
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QDateTime modified = QFileInfo(source).lastModified();
    TFileReplacement out(target);
    if (!out.Open())
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (stop && stop->load())
            return false;
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.Device().write(buffer.constData(), n) != n)
            return false;
    }
    if (!out.Commit())
        return false;
    // Like the platform's own copy, the copy keeps the time of the source's last change, so date
    // sorting of the destination folder sees the music's age, not the copy's.
    QFile written(target);
    if (modified.isValid() && written.open(QIODevice::Append))
        written.setFileTime(modified, QFileDevice::FileModificationTime);
    return true;
}

bool MoveLocalFile(const QString &source, const QString &target, const std::atomic<bool> *stop)
{
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return false;
    // A rename onto the same file would succeed doing nothing, or (across a hard link) remove
    // the only name the user knows: refuse it.
    if (sameFile(source, target))
        return false;
    std::error_code ec;
    std::filesystem::rename(nativePath(source), nativePath(target), ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link)
        return false;
    return CopyLocalFile(source, target, stop) && QFile::remove(source);
}

bool RecycleFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return false;
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataDir.isEmpty() || !QDir().mkpath(dataDir))
        return false;
    if (!QFile::moveToTrash(path))
        return false;
    const QFileInfo after(path);
    return !after.exists() && !after.isSymLink();
}

namespace {

// Numbers the distinct lower-cased folders. A scan gives all entries of one folder the same
// string, so the folder of most entries is found by its text's address alone.
class FolderIds {
public:
    int idOf(const QString &dir)
    {
        const void *key = dir.constData();
        if (key == lastKey_)
            return lastId_;
        auto byAddress = byAddress_.constFind(key);
        int id;
        if (byAddress != byAddress_.constEnd()) {
            id = *byAddress;
        } else {
            const QString folded = dir.toLower();
            auto byText = byText_.constFind(folded);
            id = byText != byText_.constEnd() ? *byText : int(byText_.size());
            if (byText == byText_.constEnd())
                byText_.insert(folded, id);
            byAddress_.insert(key, id);
        }
        lastKey_ = key;
        lastId_ = id;
        return id;
    }

private:
    QHash<const void *, int> byAddress_;
    QHash<QString, int> byText_;
    const void *lastKey_ = nullptr;
    int lastId_ = -1;
};

} // namespace

namespace {

// The name hashes of a list: those it kept while it was made, else made here, the names of the
// next entries fetched while one is hashed.
const uint64_t *nameHashesOf(const TFileList &list, std::vector<uint64_t> &made)
{
    if (const uint64_t *kept = list.NameHashes())
        return kept;
    constexpr int kAhead = 8;
    made.resize(size_t(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        if (i + kAhead < list.Count())
            __builtin_prefetch(list.At(i + kAhead).FileName.constData());
        made[size_t(i)] = FoldedNameHash(list.At(i).FileName);
    }
    return made.data();
}

} // namespace

TFileList FindDuplicates(const TFileList &source, const TFileList &compared,
                         const std::atomic<bool> *stop)
{
    // For each lower-cased file name of the source: its first entry and folder, and the first
    // entry in a folder other than that one. A compared entry matches the first of the two whose
    // folder differs from its own, which is the first source entry a pairwise scan would meet.
    struct Slot {
        const QChar *name; // the first entry's name, compared without reaching for its record
        int32_t length;
        uint32_t tag;       // high half of the name's hash
        int32_t first = -1; // -1: an empty slot
        int32_t firstDir;
        int32_t other;
    };
    size_t capacity = 16;
    while (capacity < size_t(source.Count()) * 2)
        capacity *= 2;
    std::vector<Slot> table(capacity);
    const size_t mask = capacity - 1;
    FolderIds folders;
    std::vector<uint64_t> madeSource, madeCompared;
    const uint64_t *sourceHashes = nameHashesOf(source, madeSource);
    const uint64_t *comparedHashes = nameHashesOf(compared, madeCompared);

    // Entries go in blocks, and the slots of the next block are fetched while one block is
    // worked on, so the table's cache misses overlap instead of coming one after another.
    constexpr int kBlock = 16;
    auto fetchSlots = [&](const uint64_t *hashes, int from, int count) {
        for (int i = from; i < std::min(from + kBlock, count); ++i)
            __builtin_prefetch(&table[hashes[i] & mask]);
    };
    // Starts the block at `from` (the first one fetches its own slots): returns its end.
    auto enterBlock = [&](const uint64_t *hashes, int from, int count) {
        if (from == 0)
            fetchSlots(hashes, 0, count);
        const int to = std::min(from + kBlock, count);
        fetchSlots(hashes, to, count);
        return to;
    };

    for (int from = 0; from < source.Count(); from += kBlock) {
        if (stop && (from & 4095) == 0 && stop->load())
            return {};
        const int to = enterBlock(sourceHashes, from, source.Count());
        for (int i = from; i < to; ++i) {
            const TFileName &s = source.At(i);
            const uint64_t h = sourceHashes[i];
            const uint32_t tag = uint32_t(h >> 32);
            const int dir = folders.idOf(s.DirName);
            for (size_t at = h & mask;; at = (at + 1) & mask) {
                Slot &slot = table[at];
                if (slot.first < 0) {
                    slot = Slot{
                        s.FileName.constData(), int32_t(s.FileName.size()), tag, i, dir, INT_MAX};
                    break;
                }
                if (slot.tag == tag &&
                    FoldedNamesEqual(QStringView(slot.name, slot.length), s.FileName)) {
                    if (slot.other == INT_MAX && dir != slot.firstDir)
                        slot.other = i;
                    break;
                }
            }
        }
    }

    // A compared entry's probe stops at the first slot with its tag (or an empty one). The names
    // of a block's candidates are fetched when the block is probed and compared one block later.
    std::vector<std::pair<int, int>> hits; // (matching source entry, compared entry)
    constexpr size_t kNone = SIZE_MAX;
    size_t candidates[2][kBlock];
    auto candidateFrom = [&](size_t at, uint32_t tag) {
        for (;; at = (at + 1) & mask) {
            const Slot &slot = table[at];
            if (slot.first < 0)
                return kNone;
            if (slot.tag == tag)
                return at;
        }
    };
    auto verify = [&](int from) {
        const int to = std::min(from + kBlock, compared.Count());
        const size_t *blockCandidates = candidates[(from / kBlock) & 1];
        for (int k = from; k < to; ++k) {
            const uint32_t tag = uint32_t(comparedHashes[k] >> 32);
            for (size_t at = blockCandidates[k - from]; at != kNone;
                 at = candidateFrom((at + 1) & mask, tag)) {
                const Slot &slot = table[at];
                const TFileName &c = compared.At(k);
                if (!FoldedNamesEqual(QStringView(slot.name, slot.length), c.FileName))
                    continue;
                const int match =
                    folders.idOf(c.DirName) != slot.firstDir ? slot.first : slot.other;
                if (match != INT_MAX)
                    hits.emplace_back(match, k);
                break;
            }
        }
    };
    for (int from = 0; from < compared.Count(); from += kBlock) {
        if (stop && (from & 4095) == 0 && stop->load())
            return {};
        const int to = enterBlock(comparedHashes, from, compared.Count());
        size_t *blockCandidates = candidates[(from / kBlock) & 1];
        for (int k = from; k < to; ++k) {
            const uint64_t h = comparedHashes[k];
            const size_t at = candidateFrom(h & mask, uint32_t(h >> 32));
            blockCandidates[k - from] = at;
            if (at != kNone) {
                __builtin_prefetch(table[at].name);
                __builtin_prefetch(compared.At(k).FileName.constData());
            }
        }
        if (from > 0)
            verify(from - kBlock);
    }
    if (compared.Count() > 0)
        verify((compared.Count() - 1) / kBlock * kBlock);
    // The result is in the order of the source matches, and for one match in the compared order
    // the hits were found in: a counting sort on the match keeps that order in linear time.
    std::vector<int> start(size_t(source.Count()) + 1, 0);
    for (const auto &hit : hits)
        ++start[size_t(hit.first) + 1];
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<int> order(hits.size()); // compared entries in result order
    for (const auto &hit : hits)
        order[size_t(start[size_t(hit.first)]++)] = hit.second;

    // A list filled with SetCount and SetRecord builds no duplicate index until something is
    // added to it, so the records go straight into their places.
    TFileList result;
    result.SetCount(int(order.size()));
    // The records are read in the order of the matches, scattered over the compared list, and
    // taking a name touches its text's reference count, which sits just before the characters:
    // the records far enough ahead are fetched first, then the names of those nearer.
    constexpr size_t kRecordAhead = 16, kNameAhead = 8;
    for (size_t j = 0; j < order.size(); ++j) {
        if (j + kRecordAhead < order.size()) {
            const auto *record =
                reinterpret_cast<const char *>(&compared.At(order[j + kRecordAhead]));
            __builtin_prefetch(record);
            __builtin_prefetch(record + sizeof(TFileName) - 1);
        }
        if (j + kNameAhead < order.size()) {
            const auto *text = reinterpret_cast<const char *>(
                compared.At(order[j + kNameAhead]).FileName.constData());
            __builtin_prefetch(text - sizeof(QArrayData));
        }
        const TFileName &c = compared.At(order[j]);
        TFileName record;
        record.FileName = c.FileName;
        record.DirName = c.DirName;
        record.Date = c.Date; // the title stays empty
        result.SetRecord(int(j), std::move(record));
    }
    result.CurIndex = 0;
    return result;
}

// ---- TCopyThread ----

TCopyThread::TCopyThread(const TFileList &list, bool move, const QString &destDir,
                         std::atomic<int> &flag, std::atomic<int> &left,
                         const std::atomic<int> &queuedBehind, QObject *parent)
    : QThread(parent)
    , vMove(move)
    , vDestinationDir(destDir)
    , vList(list)
    , Flag(flag)
    , Left(left)
    , QueuedBehind(queuedBehind)
{
}

TCopyThread::~TCopyThread()
{
    RequestStop();
    wait();
}

void TCopyThread::run()
{
    const int count = vList.Count();
    for (int k = 0; k < count && !vStop; ++k) {
        vFlag = 0;
        vFile = vList.At(k);
        vExistenceFile = vFile.DirName + vFile.FileName;
        vDestinationFile = vDestinationDir + u'/' + CopyTargetName(vFile);
        vFlag = 2;
        bool ok = false;
        if (vExistenceFile.contains(QLatin1String("http"))) {
            // The download replaces the target only when complete; it cannot overwrite its source.
            ok = DownloadUrlToFile(vExistenceFile, vDestinationFile, QStringLiteral("VL4"), &vStop);
        } else if (vMove) {
            ok = MoveLocalFile(vExistenceFile, vDestinationFile, &vStop);
            if (ok)
                vMoved.append(TPathChange{vExistenceFile, vDestinationFile, vDestinationDir});
        } else {
            ok = CopyLocalFile(vExistenceFile, vDestinationFile, &vStop);
        }
        if (ok)
            vFlag = 1;
        vLeft = count - k - 1;
        // The count first: a timer tick that sees the outcome sees the count that goes with it.
        Left = vLeft + QueuedBehind.load();
        Flag = vFlag;
    }
    vList.ClearList();
}

// ---- TFindThread ----

TFindThread::TFindThread(QObject *parent)
    : QThread(parent)
{
}

TFindThread::~TFindThread()
{
    RequestStop();
    wait();
}

void TFindThread::run()
{
    ResultList = FindDuplicates(SourceList, ComparedList, &vStop);
}

// ---- The controller's operations ----

bool TVorlane::RecycleFile(const QString &path)
{
    return vorlane::RecycleFile(path);
}

void TVorlane::CopyFiles(const QList<int> &indexes, int destListIndex)
{
    const TFileList *source = visibleEntryList();
    if (!source || destListIndex < 0 || destListIndex >= vList.size())
        return;
    // The source may be the destination list itself: read a copy while adding to it.
    const TFileList entries = *source;
    TFileList work;
    TFileList &dest = vList[destListIndex];
    const QString destDir = dest.RootDir + u'/';
    for (int index : indexes) {
        if (index < 0 || index >= entries.Count() || entries.At(index).IsEmpty())
            continue;
        const TFileName &entry = entries.At(index);
        work.AddNewRecord(entry);
        // The new entry shows at once, under the name the worker will write.
        dest.AddNewRecord(CopyTargetName(entry), destDir, QString());
    }
    if (work.Count() == 0)
        return;
    vIndexesList = indexes;
    vLastDestDir = dest.RootDir;
    startFileJob(false, TFileJob{std::move(work), dest.RootDir});
}

void TVorlane::MoveFiles(const QList<int> &indexes, int destListIndex)
{
    // The selection names entries of the shown folder list: those are the ones moved.
    if (vMode != bmComputerFiles || destListIndex < 0 || destListIndex >= vList.size() ||
        vVisibleListIndex < 0 || vVisibleListIndex >= vList.size())
        return;
    vIndexesList = indexes;
    TFileList &source = vList[vVisibleListIndex];
    TFileList &dest = vList[destListIndex];
    const QString destDir = dest.RootDir + u'/';
    TFileList work;
    QList<TFileName> added;
    QList<int> removed;
    for (int index : indexes) {
        if (index < 0 || index >= source.Count() || source.At(index).FileName.isEmpty())
            continue;
        const TFileName entry = source.At(index);
        work.AddNewRecord(entry);
        TFileName moved = entry;
        moved.FileName = CopyTargetName(entry);
        moved.DirName = destDir;
        added.append(moved);
        source.ClearRecord(index);
        removed.append(index);
    }
    if (work.Count() == 0)
        return;
    // Added after the source entries are blanked: a move within one folder keeps its entry.
    for (const TFileName &moved : std::as_const(added))
        dest.AddNewRecord(moved);
    vLastDestDir = dest.RootDir;
    startFileJob(true, TFileJob{std::move(work), dest.RootDir});
    source.RefreshList();
    if (vListIndex == vVisibleListIndex)
        followCurrentFolderEntry(removed);
}

void TVorlane::CopyFileFromCache(const TFileName &fName, int destListIndex)
{
    if (destListIndex < 0 || destListIndex >= vList.size() || fName.IsEmpty())
        return;
    TFileName entry = fName;
    SanitizeFileName(entry.Title);
    TFileList work;
    work.AddNewRecord(entry);
    TFileList &dest = vList[destListIndex];
    dest.AddNewRecord(CopyTargetName(entry), dest.RootDir + u'/', QString());
    vLastDestDir = dest.RootDir;
    startFileJob(false, TFileJob{std::move(work), dest.RootDir});
}

void TVorlane::startFileJob(bool move, TFileJob job)
{
    QPointer<TCopyThread> &running = move ? MoveThread : CopyThread;
    if (running) {
        // One worker per kind at a time: the new job waits behind the running one, and its files
        // count in the "left" the running worker reports.
        (move ? vMailboxes.QueuedMoveFiles : vMailboxes.QueuedCopyFiles) += job.List.Count();
        (move ? vPendingMoves : vPendingCopies).append(std::move(job));
        return;
    }
    TFileList &operationList = move ? vMoveOperationList : vCopyOperationList;
    operationList = job.List;
    auto *thread = new TCopyThread(
        job.List, move, job.DestDir, move ? vMailboxes.MoveFlag : vMailboxes.CopyFlag,
        move ? vMailboxes.LeftMoveFiles : vMailboxes.LeftCopyFiles,
        move ? vMailboxes.QueuedMoveFiles : vMailboxes.QueuedCopyFiles, this);
    running = thread;
    connect(thread, &QThread::finished, this,
            [this, thread, move] { fileJobFinished(thread, move); });
    thread->start();
}

void TVorlane::fileJobFinished(TCopyThread *thread, bool move)
{
    thread->deleteLater();
    QPointer<TCopyThread> &running = move ? MoveThread : CopyThread;
    if (running == thread)
        running = nullptr;
    if (move)
        followPathChanges(thread->TakeMoved());
    (move ? vMoveOperationList : vCopyOperationList).ClearList();
    QList<TFileJob> &pending = move ? vPendingMoves : vPendingCopies;
    if (pending.isEmpty() || vStopping)
        return;
    TFileJob next = pending.takeFirst();
    (move ? vMailboxes.QueuedMoveFiles : vMailboxes.QueuedCopyFiles) -= next.List.Count();
    startFileJob(move, std::move(next));
}

bool TVorlane::FileOperationsRunning() const
{
    return CopyThread || MoveThread || !vPendingCopies.isEmpty() || !vPendingMoves.isEmpty();
}

void TVorlane::DeleteFiles(const QList<int> &indexes)
{
    if (vMode != bmComputerFiles || vVisibleListIndex < 0 || vVisibleListIndex >= vList.size() ||
        indexes.isEmpty())
        return;
    vMailboxes.DeleteCompleted = false;
    vIndexesList = indexes;
    TFileList &list = vList[vVisibleListIndex];
    QList<int> removed;
    for (int index : indexes) {
        if (index < 0 || index >= list.Count())
            continue;
        const TFileName &entry = list.At(index);
        if (entry.FileName.isEmpty()) // already deleted (an index given twice)
            continue;
        // An entry whose file could not be recycled stays: the list shows what is on disk.
        if (!RecycleFile(entry.DirName + entry.FileName))
            continue;
        list.ClearRecord(index);
        removed.append(index);
    }
    list.RefreshList();
    if (vListIndex == vVisibleListIndex)
        followCurrentFolderEntry(removed);
    vLastDestDir = list.RootDir;
    vMailboxes.DeleteCompleted = true;
}

int IndexAfterRemoval(int current, const QList<int> &removed, int newCount)
{
    if (newCount <= 0)
        return -1;
    if (current < 0)
        return current;
    if (removed.contains(current))
        return std::min(current, newCount - 1);
    const auto before =
        std::count_if(removed.begin(), removed.end(), [current](int r) { return r < current; });
    return std::min(current - int(before), newCount - 1);
}

void TVorlane::followCurrentFolderEntry(const QList<int> &removed)
{
    if (vListIndex < 0 || vListIndex >= vList.size())
        return;
    TFileList &list = vList[vListIndex];
    vFileIndex = IndexAfterRemoval(vFileIndex, removed, list.Count());
    if (vFileIndex >= 0)
        list.CurIndex = vFileIndex;
    list.CurIndex = std::clamp(list.CurIndex, 0, std::max(list.Count() - 1, 0));
}

void TVorlane::FindCopyes(int comparedListIndex)
{
    if (vMode != bmComputerFiles || FindThread || comparedListIndex < 0 ||
        comparedListIndex >= vList.size() || vListIndex < 0 || vListIndex >= vList.size())
        return;
    vComparedListIndex = comparedListIndex;
    auto *thread = new TFindThread(this);
    thread->AddSourceList(vList.at(vListIndex));
    thread->AddComparedList(vList.at(comparedListIndex));
    FindThread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        vFindResult = thread->GetResultList();
        vFindResultPending = true;
        thread->deleteLater();
        if (FindThread == thread)
            FindThread = nullptr;
        Q_EMIT FindCopyesCompleted();
    });
    thread->start();
}

void TVorlane::TakeFindResult()
{
    if (!vFindResultPending)
        return;
    vFindResultPending = false;
    TFileList result = std::move(vFindResult);
    vFindResult = TFileList();
    if (vComparedListIndex < 0 || vComparedListIndex >= vList.size())
        return; // the compared list was removed meanwhile
    TFileList &compared = vList[vComparedListIndex];
    result.RootDir = compared.RootDir;
    result.Included = compared.Included;
    result.CurIndex = 0;
    compared = std::move(result);
    vListIndex = vVisibleListIndex = vComparedListIndex;
    if (vFileIndex >= compared.Count())
        vFileIndex = -1;
    SetMode(bmComputerFiles);
}

void TVorlane::DropFindResult()
{
    vFindResultPending = false;
    vFindResult = TFileList();
}

void TVorlane::stopWorkers()
{
    vStopping = true;
    stopInternetWorkers();
    vPendingCopies.clear();
    vPendingMoves.clear();
    for (QThread *t :
         {static_cast<QThread *>(CopyThread.data()), static_cast<QThread *>(MoveThread.data()),
          static_cast<QThread *>(FindThread.data())}) {
        if (auto *copy = qobject_cast<TCopyThread *>(t))
            copy->RequestStop();
        else if (auto *find = qobject_cast<TFindThread *>(t))
            find->RequestStop();
    }
    for (QThread *t :
         {static_cast<QThread *>(CopyThread.data()), static_cast<QThread *>(MoveThread.data()),
          static_cast<QThread *>(FindThread.data())}) {
        if (t)
            t->wait();
    }
    // The files a stopped move had already moved are followed now: its finished() may never be
    // delivered.
    if (MoveThread)
        followPathChanges(MoveThread->TakeMoved());
}

} // namespace vorlane

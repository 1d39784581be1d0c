#include "catalog/Vorlane.h"
#include "catalog/FileOperations.h"

#include "base/Messages.h"
#include "base/RecordName.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "net/CloudLink.h"
#include "net/InetCatalog.h"
#include "net/UrlReads.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <sys/statvfs.h>
#else
#include <QStorageInfo>
#endif

namespace vorlane {

namespace {

bool inRange(int index, qsizetype size)
{
    return index >= 0 && index < size;
}

QString decodedName(const QString &fileName)
{
    return QUrl::fromPercentEncoding(fileName.toUtf8());
}

QString header(const QString &text)
{
    return QStringLiteral("---") + text + QStringLiteral("---");
}

} // namespace

int BrowseIndexRule(int index, int lineCount)
{
    if (index >= lineCount - 1 || lineCount < 3)
        return -1;
    return index;
}

TVorlane::TVorlane(QObject *parent)
    : QObject(parent)
{
    vPlayList.resize(1); // no playlists yet, only the spare slot
    vBookmark.resize(1); // one empty bookmark
}

TVorlane::~TVorlane()
{
    stopWorkers();
}

// ---- Modes and list selection ----

void TVorlane::SetMode(TBrowseMode mode)
{
    vMode = mode;
    vFlags = efRefreshView;
    SaveCatalog();
}

int TVorlane::ListIndex() const
{
    switch (vMode) {
    case bmComputerLists:
    case bmComputerFiles: return vVisibleListIndex;
    case bmInternetLists:
    case bmInternetFiles: return vVisibleInetListIndex;
    case bmPlayLists:
    case bmPlayListFiles: return vVisiblePlayListIndex;
    default: return -1;
    }
}

void TVorlane::SetListIndex(int index)
{
    switch (vMode) {
    case bmComputerLists:
    case bmComputerFiles: vVisibleListIndex = index; break;
    case bmInternetLists:
    case bmInternetFiles: vVisibleInetListIndex = index; break;
    default: break;
    }
}

int TVorlane::VisibleListIndex() const
{
    switch (vMode) {
    case bmComputerLists: return vVisibleListIndex;
    case bmInternetLists: return vVisibleInetListIndex;
    case bmPlayLists: return vVisiblePlayListIndex;
    default: return 0;
    }
}

void TVorlane::SetVisibleListIndex(int index)
{
    int *target = nullptr;
    switch (vMode) {
    case bmComputerLists: target = &vVisibleListIndex; break;
    case bmInternetLists: target = &vVisibleInetListIndex; break;
    case bmPlayLists: target = &vVisiblePlayListIndex; break;
    default: return;
    }
    if (*target != index)
        vFlags = efRefreshView;
    *target = index;
}

void TVorlane::ReturnToCurrentDir()
{
    switch (vMode) {
    case bmComputerLists:
        vVisibleListIndex = vListIndex;
        vMode = bmComputerFiles;
        break;
    case bmComputerFiles: vVisibleListIndex = vListIndex; break;
    case bmInternetLists:
        vVisibleInetListIndex = vInetListIndex;
        vMode = bmInternetFiles;
        break;
    case bmInternetFiles: vVisibleInetListIndex = vInetListIndex; break;
    default: break;
    }
    vFlags = efRefreshView;
}

// ---- Entries ----

bool TVorlane::kindOfMode(TBrowseMode mode, EntryKind &kind)
{
    switch (mode) {
    case bmComputerFiles: kind = EntryKind::Folder; return true;
    case bmInternetFiles: kind = EntryKind::Internet; return true;
    case bmInternetSearch: kind = EntryKind::Search; return true;
    case bmPlayListFiles: kind = EntryKind::PlayList; return true;
    default: return false;
    }
}

TFileList *TVorlane::visibleEntryList()
{
    return const_cast<TFileList *>(std::as_const(*this).visibleEntryList());
}

const TFileList *TVorlane::visibleEntryList() const
{
    switch (vMode) {
    case bmComputerFiles:
        return inRange(vVisibleListIndex, vList.size()) ? &vList.at(vVisibleListIndex) : nullptr;
    case bmInternetFiles:
        return inRange(vVisibleInetListIndex, vInetList.size())
                   ? &vInetList.at(vVisibleInetListIndex)
                   : nullptr;
    case bmInternetSearch: return &vInetSearchList;
    case bmPlayListFiles:
        return inRange(vVisiblePlayListIndex, PlayListCount())
                   ? &vPlayList.at(vVisiblePlayListIndex)
                   : nullptr;
    default: return nullptr;
    }
}

const TFileList *TVorlane::currentEntryList(EntryKind kind) const
{
    switch (kind) {
    case EntryKind::Folder:
        return inRange(vListIndex, vList.size()) ? &vList.at(vListIndex) : nullptr;
    case EntryKind::Internet:
        return inRange(vInetListIndex, vInetList.size()) ? &vInetList.at(vInetListIndex) : nullptr;
    case EntryKind::PlayList:
        return inRange(vPlayListIndex, PlayListCount()) ? &vPlayList.at(vPlayListIndex) : nullptr;
    case EntryKind::Search: return &vInetSearchList;
    }
    return nullptr;
}

int TVorlane::currentFileIndex(EntryKind kind) const
{
    switch (kind) {
    case EntryKind::Folder: return vFileIndex;
    case EntryKind::Internet: return vInetFileIndex;
    case EntryKind::PlayList: return vPlayListFileIndex;
    case EntryKind::Search: return vSearchInetFileIndex;
    }
    return -1;
}

int TVorlane::FileIndex() const
{
    EntryKind kind;
    if (!kindOfMode(vMode, kind))
        return -1;
    const TFileList *list = currentEntryList(kind);
    const int index = currentFileIndex(kind);
    if (!list || !inRange(index, list->Count()))
        return -1;
    return index;
}

void TVorlane::SetFileIndex(int index)
{
    EntryKind kind;
    if (!kindOfMode(vMode, kind))
        return;
    TFileList *shown = visibleEntryList();
    if (!shown || !inRange(index, shown->Count()))
        return;
    const bool shownIsCurrent = shown == currentEntryList(kind);
    vFlags = (shownIsCurrent && index == currentFileIndex(kind)) ? efNone : efOpenFile;
    switch (kind) {
    case EntryKind::Folder:
        vListIndex = vVisibleListIndex;
        vFileIndex = index;
        break;
    case EntryKind::Internet:
        vInetListIndex = vVisibleInetListIndex;
        vInetFileIndex = index;
        break;
    case EntryKind::PlayList:
        vPlayListIndex = vVisiblePlayListIndex;
        vPlayListFileIndex = index;
        break;
    case EntryKind::Search: vSearchInetFileIndex = index; break;
    }
    shown->CurIndex = index;
    vLastCurrentKind = kind;
}

void TVorlane::SkipTo(int index)
{
    const TEventCode pending = vFlags;
    SetFileIndex(index);
    vFlags = pending;
}

void TVorlane::Next()
{
    SetFileIndex(FileIndex() + 1);
}

void TVorlane::Prev()
{
    const int index = FileIndex();
    if (index > 0)
        SetFileIndex(index - 1);
}

TFileName TVorlane::CurrentFile() const
{
    EntryKind kind = vLastCurrentKind;
    kindOfMode(vMode, kind);
    const TFileList *list = currentEntryList(kind);
    if (!list)
        return TFileName::ErrorRecord();
    return list->GetRecord(currentFileIndex(kind));
}

TFileName TVorlane::GetFileByIndex(int index) const
{
    EntryKind kind;
    if (vMode == bmPlayListFiles || !kindOfMode(vMode, kind))
        return TFileName::ErrorRecord();
    const TFileList *list = currentEntryList(kind);
    return list ? list->GetRecord(index) : TFileName::ErrorRecord();
}

int TVorlane::FilesCount() const
{
    const TFileList *list = visibleEntryList();
    return list ? list->Count() : 0;
}

int64_t TVorlane::CurFileSize() const
{
    EntryKind kind;
    if (!kindOfMode(vMode, kind))
        return 0;
    const TFileName file = CurrentFile();
    if (file.IsEmpty())
        return 0;
    if (!CurFileSizeUrl().isEmpty())
        return 0;
    return GetFileSize32(file.DirName + file.FileName);
}

QString TVorlane::CurFileSizeUrl() const
{
    EntryKind kind;
    if (!kindOfMode(vMode, kind))
        return {};
    const TFileName file = CurrentFile();
    if (file.IsEmpty())
        return {};
    const bool network = kind == EntryKind::Internet || kind == EntryKind::Search ||
                         file.DirName.contains(QLatin1String("http"));
    return network ? file.DirName + file.FileName : QString();
}

// ---- Browse lists ----

TListData TVorlane::List()
{
    TListData data;
    QStringList &lines = data.List;
    const TMessages &m = Msg();
    switch (vMode) {
    case bmRoot:
        lines = {m.SM_COMPUTER,   m.SM_INTERNET,  m.SM_BOOKMARKS,
                 m.SM_INETSEARCH, m.SM_PLAYLISTS, m.SM_EXIT};
        data.Index = 0;
        break;
    case bmComputerLists:
        lines << header(m.SM_COMPUTER) << DirectoryList();
        data.Index = vVisibleListIndex;
        break;
    case bmComputerFiles: {
        const TFileList *list = visibleEntryList();
        lines << entryListHeader(list);
        if (list) {
            for (int i = 0; i < list->Count(); ++i)
                lines << list->At(i).Text();
        }
        data.Index = list ? list->CurIndex : 0;
        break;
    }
    case bmInternetLists:
        lines << header(m.SM_INTERNET) << LoadInetLists();
        vCacheRefreshed = true;
        data.Index = vVisibleInetListIndex;
        break;
    case bmInternetFiles: {
        if (!vCacheRefreshed || vInetList.isEmpty()) {
            LoadInetLists();
            vCacheRefreshed = true;
        }
        const TFileList *list = visibleEntryList();
        lines << header(m.SM_CATALOG + u' ' + (list ? ListDisplayName(list->RootDir) : QString()));
        if (list) {
            for (int i = 0; i < list->Count(); ++i) {
                const TFileName &r = list->At(i);
                lines << (r.Title.isEmpty() ? decodedName(r.FileName) : r.Title);
            }
        }
        data.Index = list ? list->CurIndex : 0;
        break;
    }
    case bmBookmarks:
        lines << header(m.SM_BOOKMARKS);
        for (const TBookmark &b : std::as_const(vBookmark))
            lines << b.Name;
        data.Index = vCurBookmarkListIndex;
        break;
    case bmInternetSearch:
        lines << m.SM_ENTERSEARCHQUERY;
        for (int i = 0; i < vInetSearchList.Count(); ++i)
            lines << vInetSearchList.At(i).Title;
        data.Index = vInetSearchList.CurIndex;
        break;
    case bmPlayLists:
        lines << header(m.SM_PLAYLISTS) << PlaylistList();
        data.Index = vVisiblePlayListIndex;
        break;
    case bmPlayListFiles: {
        const TFileList *list = visibleEntryList();
        lines << entryListHeader(list);
        if (list) {
            for (int i = 0; i < list->Count(); ++i)
                lines << list->At(i).Title;
        }
        data.Index = list ? list->CurIndex : 0;
        break;
    }
    default: break;
    }
    data.Index = BrowseIndexRule(data.Index, int(lines.size()));
    return data;
}

QString TVorlane::entryListHeader(const TFileList *list) const
{
    const TMessages &m = Msg();
    if (vMode == bmPlayListFiles)
        return header(m.SM_PLAYLISTS + u':' + playListName(vVisiblePlayListIndex));
    return header(m.SM_CATALOG + u' ' + (list ? list->Name() : QString()));
}

TBrowseStamp TVorlane::BrowseStamp() const
{
    TBrowseStamp stamp;
    stamp.Mode = vMode;
    if (vMode != bmComputerFiles && vMode != bmPlayListFiles)
        return stamp;
    const TFileList *list = visibleEntryList();
    if (list)
        stamp.Records = list->Stamp();
    stamp.Header = entryListHeader(list);
    return stamp;
}

bool TVorlane::ChangedListLines(TBrowseStamp &stamp, QList<std::pair<int, QString>> &lines,
                                int &index) const
{
    lines.clear();
    if (stamp.Mode != vMode || (vMode != bmComputerFiles && vMode != bmPlayListFiles))
        return false;
    const TFileList *list = visibleEntryList();
    QList<int> rows;
    if (!list || !list->ChangedSince(stamp.Records, rows))
        return false;
    if (QString now = entryListHeader(list); now != stamp.Header) {
        lines.append({0, now});
        stamp.Header = std::move(now);
    }
    stamp.Records = list->Stamp();
    for (int row : std::as_const(rows)) {
        const TFileName &r = list->At(row);
        lines.append({row + 1, vMode == bmPlayListFiles ? r.Title : r.Text()});
    }
    index = BrowseIndexRule(list->CurIndex, list->Count() + 1);
    return true;
}

QStringList TVorlane::DirectoryList() const
{
    QStringList names;
    names.reserve(vList.size());
    for (const TFileList &list : vList)
        names << list.Name();
    return names;
}

QString TVorlane::playListName(int index) const
{
    if (!inRange(index, PlayListCount()))
        return {};
    const QString root = vPlayList.at(index).RootDir;
    const QString file = root.mid(root.lastIndexOf(u'/') + 1);
    return NameWithoutExtension(file);
}

QStringList TVorlane::PlaylistList() const
{
    QStringList names;
    for (int i = 0; i < PlayListCount(); ++i)
        names << playListName(i);
    return names;
}

void TVorlane::GetAllLists(TListData &computer, TListData &inet, TListData &playlists,
                           TListData &bookmarks)
{
    computer.List = DirectoryList();
    computer.Index = vVisibleListIndex;
    inet.List.clear();
    for (const TFileList &list : std::as_const(vInetList))
        inet.List << list.GetRecord(1).FileName;
    inet.Index = vVisibleInetListIndex;
    playlists.List = PlaylistList();
    playlists.Index = vVisiblePlayListIndex;
    bookmarks.List.clear();
    for (const TBookmark &b : std::as_const(vBookmark))
        bookmarks.List << b.Name;
    bookmarks.Index = vCurBookmarkListIndex;
}

// ---- Folder and internet lists ----

void TVorlane::AddList(const QString &rootDir, bool included, bool fromCache)
{
    if (rootDir.isEmpty())
        return;
    if (vMode == bmComputerFiles) {
        TFileList list;
        list.RootDir = rootDir.size() > 1 && rootDir.endsWith(u'/') ? rootDir.chopped(1) : rootDir;
        list.Included = included;
        list.CreateList(vAudioFilesOnly);
        list.CurIndex = 0;
        vList.append(std::move(list));
        vVisibleListIndex = int(vList.size()) - 1;
        vFlags = efListAdded;
    } else if (vMode == bmInternetLists || vMode == bmInternetFiles) {
        if (fromCache) {
            vInetList.append(ReadCachedList(vProgramDataDir, rootDir));
            vFlags = efListAdded;
        } else {
            startListDownload(rootDir);
        }
    }
}

QStringList TVorlane::LoadInetLists()
{
    vInetList.clear();
    QStringList names;
    ReadTextLines(CatalogueIndexPath(vProgramDataDir), names);
    vInetList.reserve(names.size());
    for (const QString &address : std::as_const(names))
        vInetList.append(ReadCachedList(vProgramDataDir, address));
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = vInetList.at(i).GetRecord(1).FileName;
    return names;
}

void TVorlane::RefreshList(const QString &rootDir, bool included)
{
    if (vMode == bmComputerFiles && !rootDir.isEmpty()) {
        if (!inRange(vVisibleListIndex, vList.size()))
            return;
        TFileList &list = vList[vVisibleListIndex];
        list.RootDir = rootDir.size() > 1 && rootDir.endsWith(u'/') ? rootDir.chopped(1) : rootDir;
        list.Included = included;
        list.CreateList(vAudioFilesOnly);
        list.CurIndex = 0;
        vFlags = efListRescanned;
    } else if (vMode == bmInternetLists) {
        vInetList.clear();
        vFlags = efListRescanned;
    }
}

void TVorlane::RefreshList()
{
    if (vMode == bmInternetLists || vMode == bmInternetFiles) {
        RefreshCache();
        return;
    }
    if (vMode != bmComputerFiles || !inRange(vVisibleListIndex, vList.size()))
        return;
    TFileList &list = vList[vVisibleListIndex];
    list.CreateList(vAudioFilesOnly);
    list.CurIndex = 0;
    vFlags = efListRescanned;
}

void TVorlane::DeleteList()
{
    if (vMode != bmComputerFiles || vList.size() <= 1 || !inRange(vVisibleListIndex, vList.size()))
        return;
    const int removed = vVisibleListIndex;
    vList.removeAt(removed);
    // Keep the current entry where it was: the lists after the removed one moved down.
    if (vListIndex == removed) {
        vListIndex = 0;
        vFileIndex = -1;
    } else if (vListIndex > removed) {
        --vListIndex;
    }
    vVisibleListIndex = std::min(removed, int(vList.size()) - 1);
    vFlags = efListDeleted;
}

void TVorlane::SetAudioFilesOnly(bool audioOnly)
{
    if (audioOnly == vAudioFilesOnly)
        return;
    vAudioFilesOnly = audioOnly;
    for (TFileList &list : vList)
        list.CreateList(vAudioFilesOnly);
    vFlags = efListRescanned;
}

void TVorlane::SetLastDestDir(int folderListIndex)
{
    if (inRange(folderListIndex, vList.size()))
        vLastDestDir = vList.at(folderListIndex).RootDir;
}

int64_t TVorlane::GetCurDestDiskFreeSize()
{
    if (vLastDestDir.isEmpty() && inRange(vListIndex, vList.size()))
        vLastDestDir = vList.at(vListIndex).RootDir;
    if (vLastDestDir.isEmpty())
        return 0;
#if defined(Q_OS_UNIX)
    // Asked of the folder itself, not looked up in the mount table: a chroot or container may
    // list no volume for it there.
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(vLastDestDir).constData(), &fs) != 0)
        return 0;
    return int64_t(fs.f_bavail) * int64_t(fs.f_frsize);
#else
    const QStorageInfo volume(vLastDestDir);
    if (!volume.isValid() || !volume.isReady())
        return 0;
    return std::max<int64_t>(volume.bytesAvailable(), 0);
#endif
}

// ---- Search and order ----

void TVorlane::Find(const QString &key, float ff)
{
    if (key.isEmpty())
        return;
    switch (vMode) {
    case bmComputerFiles:
    case bmInternetFiles:
    case bmPlayListFiles:
        // Only the shown list's cursor moves; the current (playing) entry stays where it is.
        if (TFileList *list = visibleEntryList())
            list->Find(key, ff);
        vFlags = efRefreshView;
        break;
    case bmComputerLists:
    case bmInternetLists:
    case bmPlayLists: {
        QList<TFileList> *lists = &vList;
        int *visible = &vVisibleListIndex;
        TBrowseMode entryMode = bmComputerFiles;
        int count = int(vList.size());
        if (vMode == bmInternetLists) {
            lists = &vInetList;
            visible = &vVisibleInetListIndex;
            entryMode = bmInternetFiles;
            count = int(vInetList.size());
        } else if (vMode == bmPlayLists) {
            lists = &vPlayList;
            visible = &vVisiblePlayListIndex;
            entryMode = bmPlayListFiles;
            count = PlayListCount();
        }
        int i = std::max(*visible, 0);
        for (; i < count; ++i) {
            if ((*lists)[i].Find(key, ff))
                break;
        }
        *visible = i < count ? i : 0;
        SetMode(entryMode);
        break;
    }
    case bmInternetSearch: StartInetSearch(key); break;
    default: break;
    }
}

void TVorlane::AlphabetSorting(bool reverse)
{
    switch (vMode) {
    case bmComputerFiles:
        if (TFileList *list = visibleEntryList())
            list->AlphabetSort(reverse, false);
        break;
    case bmInternetFiles:
    case bmInternetSearch:
    case bmPlayListFiles:
        if (TFileList *list = visibleEntryList())
            list->AlphabetSort(reverse, true);
        break;
    case bmBookmarks:
        // Names as plain text, descending unless reverse (the bookmark list's own convention).
        std::stable_sort(vBookmark.begin(), vBookmark.end(),
                         [reverse](const TBookmark &a, const TBookmark &b) {
                             return reverse ? a.Name < b.Name : b.Name < a.Name;
                         });
        break;
    default: break;
    }
    vFlags = efRefreshView;
}

void TVorlane::DateSorting()
{
    if (vMode == bmComputerFiles || vMode == bmPlayListFiles) {
        if (TFileList *list = visibleEntryList())
            list->DateSort();
    }
    vFlags = efRefreshView;
}

void TVorlane::SwapRecords(int startIndex, const QList<int> &selectedItems)
{
    if (vMode != bmComputerFiles && vMode != bmPlayListFiles)
        return;
    TFileList *list = visibleEntryList();
    if (!list || startIndex + selectedItems.size() > list->Count())
        return;
    for (qsizetype k = 0; k < selectedItems.size(); ++k)
        list->SwapRecord(selectedItems.at(k), startIndex + 1 + int(k));
    vFlags = vMode == bmComputerFiles ? efListChanged : efRefreshView;
}

// ---- External link lists ----

void TVorlane::OpenExtFileList(const QString &source, bool fromClipboard)
{
    QStringList lines;
    if (fromClipboard)
        lines = SplitLines(source);
    else
        ReadTextLines(source, lines);
    TFileList list;
    for (const QString &raw : std::as_const(lines)) {
        const QString link = raw.trimmed();
        if (link.isEmpty())
            continue;
        const qsizetype slash = link.lastIndexOf(u'/');
        TFileName r;
        r.DirName = link.left(slash + 1);
        r.FileName = link.mid(slash + 1);
        r.Title = decodedName(r.FileName);
        list.AddNewRecord(r);
    }
    list.RootDir = fromClipboard ? QStringLiteral("-") : source;
    list.CurIndex = 0;
    supersedeSearch();
    vInetSearchList = std::move(list);
    vSearchInetFileIndex = -1; // the old index named an entry of the replaced list
    vMode = bmInternetSearch;
    vFlags = efListReplaced;
}

// ---- Recorded streams ----

QString TVorlane::GetFNameForRecordedStream(int dirIndex)
{
    if (!inRange(dirIndex, vList.size()))
        return {};
    TFileList &list = vList[dirIndex];
    const QString folder = list.RootDir + u'/';
    const QString name = RecordedStreamName(QDateTime::currentDateTime());
    list.AddNewRecord(name, folder, NameWithoutExtension(name));
    vLastDestDir = folder;
    return folder + name;
}

namespace {

QString recordingNote(const QString &programDataDir)
{
    return programDataDir + QStringLiteral("VL4Conf/Recording.txt");
}

} // namespace

void TVorlane::NoteRecordingStarted(const QString &folder)
{
    if (!vProgramDataDir.isEmpty())
        WriteTextLines(recordingNote(vProgramDataDir), {folder});
    vFlags = efRecordingStarted;
}

void TVorlane::NoteRecordingEnded(bool saved)
{
    if (!vProgramDataDir.isEmpty())
        QFile::remove(recordingNote(vProgramDataDir));
    if (saved)
        vFlags = efRecordingSaved;
}

int TVorlane::RecoverRecordings()
{
    QStringList lines;
    if (vProgramDataDir.isEmpty() || !ReadTextLines(recordingNote(vProgramDataDir), lines))
        return 0;
    int kept = 0;
    for (QString folder : std::as_const(lines)) {
        if (folder.isEmpty())
            continue;
        if (!folder.endsWith(u'/'))
            folder += u'/';
        QDir dir(folder);
        for (const QString &part :
             dir.entryList({QStringLiteral("*.mp3.part")}, QDir::Files | QDir::Hidden)) {
            const QString name =
                RecoveredRecordingName(part, [&dir](const QString &n) { return dir.exists(n); });
            if (name.isEmpty())
                continue;
            if (QFileInfo(dir.filePath(part)).size() == 0) {
                dir.remove(part);
                continue;
            }
            if (!dir.rename(part, name))
                continue;
            ++kept;
            for (TFileList &list : vList) {
                if (list.RootDir + u'/' == folder || list.RootDir == folder) {
                    list.AddNewRecord(name, folder, NameWithoutExtension(name));
                    break;
                }
            }
        }
    }
    NoteRecordingEnded();
    return kept;
}

// ---- Events and settings ----

TEventCode TVorlane::Flags()
{
    // Taking and resetting each mailbox in one step: a status a worker writes meanwhile waits
    // for the next tick instead of being reset unseen.
    const int copy = vMailboxes.CopyFlag.exchange(0);
    const int move = vMailboxes.MoveFlag.exchange(0);
    if (copy == 1)
        vFlags = efCopyStep;
    else if (copy == 2)
        vFlags = efCopyFailed;
    if (move == 1)
        vFlags = efMoveStep;
    else if (move == 2)
        vFlags = efMoveFailed;
    if (vMailboxes.DeleteCompleted.exchange(false))
        vFlags = efDeleteDone;
    while (vFlags == efNone && !vOutcomes.isEmpty())
        vFlags = vOutcomes.takeFirst()();
    const TEventCode code = vFlags;
    vFlags = efNone;
    return code;
}

void TVorlane::SetProgramDataDir(const QString &dir)
{
    vProgramDataDir = dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/';
}

} // namespace vorlane

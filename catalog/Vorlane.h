#pragma once
// TVorlane: the catalogue controller behind the main window.
//
// It owns every list the user can browse (folder lists, internet lists, the search list,
// playlists, bookmarks), knows which kind of list is on screen (the browse mode), which list is
// shown and which entry is current in each kind of list, and performs every catalogue operation.
// It never calls the window: each operation leaves an event code (TEventCode) that the main
// timer takes by reading Flags() every 50 ms and acts on.
//
// Threads: every member is called on the main thread. Workers (copy, move, duplicate search,
// connection check, cache refresh, list download, internet search, upload) write only the atomic
// mailboxes below and their own result lists, which the controller takes over on the main thread
// when they finish. No network wait happens on the main thread: the size of a network entry
// (CurFileSizeUrl) is the caller's to ask on a worker.
//
// The outcome of an internet worker (the connection check, a refresh, a list download, a search,
// a search result's size) waits in a queue until the main timer reads Flags() with no other code
// pending: then the change is made (internet enabled, a list added, the search list replaced, a
// dead result removed, the lists marked stale) and its code returned in the same step, so the
// window sees a change and its code together and no outcome's code is overwritten by another.
//
// Each kind of entry list (folder, internet, playlist, search) keeps its own current list and
// current entry, independent of what is shown: switching modes never loses the playing entry.

#include "base/FileList.h"
#include "catalog/CatalogTypes.h"
#include "tags/TagEditor.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>

namespace vorlane {

// The browse list's selection rule: an index at or past the last entry line, or a list of fewer
// than three lines (header and at most one entry), selects nothing (-1, the header line).
int BrowseIndexRule(int index, int lineCount);

// A search result whose remote size is above this many bytes is kept when it fails to play.
inline constexpr int64_t kLiveResultSize = 50000;

// The status text of an internet list's download: SM_LISTLOAD, then the share done ("40%") when
// the length is known (expected > 0), else the kilobytes received ("120 KB").
QString ListDownloadStatus(int64_t received, int64_t expected);

// What the copy, move and delete workers publish to the controller. Each field has one writer (a
// worker); the main timer reads and resets them through TVorlane::Flags(). A status written twice
// between two ticks shows only the second time: only progress reports are lost that way.
struct TWorkerMailboxes {
    std::atomic<int> CopyFlag{0}; // 0 nothing new, 1 a copied file succeeded, 2 it failed
    std::atomic<int> MoveFlag{0}; // the same for moves
    std::atomic<int> LeftCopyFiles{0};
    std::atomic<int> LeftMoveFiles{0};
    std::atomic<bool> DeleteCompleted{false};
    // Files of copy (move) jobs waiting behind the running one: written by the main thread, read
    // by the running worker so that its "left" count covers the whole queue.
    std::atomic<int> QueuedCopyFiles{0};
    std::atomic<int> QueuedMoveFiles{0};
    // The internet list download of AddList: running, bytes received, announced length (-1 not
    // known). Written by the download worker (ListDownloading by the main thread).
    std::atomic<bool> ListDownloading{false};
    std::atomic<int64_t> ListReceived{0};
    std::atomic<int64_t> ListExpected{-1};
};

// What a batch rename left undone.
struct TRenameTally {
    int Refused = 0; // renames the file system refused: the new name taken or not allowed
    int Outside = 0; // files left alone because they really lie outside the list's folder
};

class TCopyThread;
class TFindThread;
struct TPathChange;
class TNetTask;
class TAccountUploader;
class TVLCacheRefreshThread;
class TVLParser;
struct TMessages;

class TVorlane : public QObject {
    Q_OBJECT

public:
    explicit TVorlane(QObject *parent = nullptr);
    ~TVorlane() override;

    // ---- Modes and list selection ----

    TBrowseMode Mode() const { return vMode; }
    // Switches the browse mode (event 9) and saves the catalogue files (SaveCatalog): every mode
    // change persists folder lists, bookmarks and playlists.
    void SetMode(TBrowseMode mode);

    // The shown list's index in the mode's kind: modes 1-2 folder lists, 3-4 internet lists,
    // 7-8 playlists; -1 in other modes.
    int ListIndex() const;
    // Sets the shown folder list (modes 1, 2) or internet list (modes 3, 4); nothing otherwise.
    void SetListIndex(int index);

    // The list selected in a list-of-lists mode (1, 3, 7); 0 in other modes.
    int VisibleListIndex() const;
    // Modes 1, 3, 7 only: selects the shown list; event 9 when it changed.
    void SetVisibleListIndex(int index);

    // Shows the list of the current entry: mode 1 or 2 -> its folder list in mode 2, mode 3 or 4
    // -> its internet list in mode 4. Event 9 in every mode.
    void ReturnToCurrentDir();

    // ---- Entries ----

    // The current entry's index in its list for modes 2, 4, 8 (the current list of the mode's
    // kind) and 6 (the search list); -1 when there is none or it no longer exists.
    int FileIndex() const;
    // Modes 2, 4, 6, 8: makes entry `index` of the shown list current (event 7), unless it is the
    // current entry of the current list already (event 0: a click on the playing entry does not
    // restart it). Out-of-range values are ignored.
    void SetFileIndex(int index);
    // Makes entry `index` of the current list current, raising no event: the window, opening
    // the entries from the current one on until one opens, steps over those that do not itself.
    // Out-of-range values are ignored.
    void SkipTo(int index);
    // FileIndex + 1 and - 1; nothing at either end of the list.
    void Next();
    void Prev();

    // The current entry: in modes 2, 4, 6, 8 that of the mode's kind; in the other modes that of
    // the kind whose entry was made current last. The error record when there is none.
    TFileName CurrentFile() const;
    // Entry `index` of the current list in modes 2, 4 and 6; the error record otherwise.
    TFileName GetFileByIndex(int index) const;
    // Entries of the shown list in modes 2, 4, 8; of the search list in mode 6; else 0.
    int FilesCount() const;
    // Size in bytes of the current entry when it is a local file; -1 for one that cannot be
    // read; 0 for a network entry and in other modes. Never waits on the network.
    int64_t CurFileSize() const;
    // The address of the current entry when it is a network entry (modes 4, 6, and playlist
    // entries with "http" in their folder), whose size only the server can tell (GetUrlSize,
    // blocking: ask it on a worker); empty otherwise.
    QString CurFileSizeUrl() const;

    // The lines of the browse list for the current mode, and the entry to select.
    TListData List();
    // A stamp of the browse list as List() gives it now.
    TBrowseStamp BrowseStamp() const;
    // In modes 2 and 8, when the shown list's entries have only been replaced (renamed, swapped,
    // cleared) since `stamp` was taken: the lines that changed (0 the header, 1 the first entry)
    // with their texts, and the line List() would select; `stamp` then marks the lines as they are
    // now. False when the lines must be read whole with List(); `lines` is then empty.
    bool ChangedListLines(TBrowseStamp &stamp, QList<std::pair<int, QString>> &lines,
                          int &index) const;
    // One line per folder list: its Name.
    QStringList DirectoryList() const;
    // The playlist names (file names without ".vl3u"), playlists 0 .. count-1.
    QStringList PlaylistList() const;
    // The four groups of the navigator, each with its selected index.
    void GetAllLists(TListData &computer, TListData &inet, TListData &playlists,
                     TListData &bookmarks);

    // ---- Folder lists ----

    // Mode 2: appends a folder list for rootDir (sub-folders when included), scans it and shows it
    // (event 6). Modes 3, 4: appends an internet list read from the cache file of the address
    // rootDir (ReadCachedList, net/InetCatalog.h): with fromCache at once (event 6); without, the
    // cache file is first downloaded on a worker (agent "VL4") when its size differs from the
    // remote one (a remote size of 0 included), and the list is appended when the download has
    // ended, however it ended (event 6 through Flags). One download at a time: later ones wait
    // behind it, in order; ListDownloadProgress tells how far it is. Nothing for an empty rootDir.
    void AddList(const QString &rootDir, bool included, bool fromCache);
    // Mode 2 with a non-empty rootDir: the shown folder list takes the new root and flag and is
    // rescanned (event 10). Mode 3: forgets the internet lists (event 10).
    void RefreshList(const QString &rootDir, bool included);
    // Mode 2: rescans the shown folder list (event 10). Modes 3, 4: RefreshCache.
    void RefreshList();
    // Mode 2: removes the shown folder list (event 8), unless it is the only one left.
    void DeleteList();

    bool AudioFilesOnly() const { return vAudioFilesOnly; }
    // A changed value rescans every folder list (event 10).
    void SetAudioFilesOnly(bool audioOnly);

    // The destination of the free-space report becomes the root of folder list `index`.
    void SetLastDestDir(int folderListIndex);
    QString LastDestDir() const { return vLastDestDir; }
    // Bytes the user may still write on the volume of the last destination folder (the current
    // folder list's root when none was used yet), asked of that folder itself; 0 when it cannot
    // be queried.
    int64_t GetCurDestDiskFreeSize();

    // ---- Search and order ----

    // Finds key (ff 1.0 exact, else fuzzy with threshold ff). Modes 2, 4, 8: moves the shown
    // list's cursor to the hit. Modes 1, 3, 7: tries each list from the shown one on, shows the
    // first list with a hit (list 0 when none has one) in mode 2, 4 or 8. Event 9.
    // Mode 6: starts an internet search for key (StartInetSearch).
    // Nothing for an empty key.
    void Find(const QString &key, float ff);
    // Natural-order sort of the shown list: modes 2 by file name, 4, 6, 8 by title. Mode 5 sorts
    // the bookmarks by name, descending, or ascending when reverse. Event 9.
    void AlphabetSorting(bool reverse);
    // Oldest first, for the shown folder list (mode 2) or playlist (mode 8). Event 9.
    void DateSorting();
    // Drag-and-drop reordering of the shown list in modes 2 and 8: selectedItems[k] is exchanged
    // with entry startIndex + 1 + k. Nothing unless startIndex + count <= the list's count.
    // Event 20 (mode 2) or 9 (mode 8).
    void SwapRecords(int startIndex, const QList<int> &selectedItems);

    // ---- External link lists ----

    // Replaces the search list by the links of a text (fromClipboard) or a text file (one address
    // per line; the title is the decoded file-name part) and shows it in mode 6 (event 15).
    // A search still running is superseded: its result is never taken.
    void OpenExtFileList(const QString &source, bool fromClipboard);

    // ---- Internet catalogue (lists built from the cache only; net/InetCatalog.h) ----

    // Rebuilds the internet lists from VL4Conf/lst.txt and the cache files, one list per index
    // line; returns one display name per index line (the file name of each list's second entry,
    // empty for a list of fewer than two). Reads files only.
    QStringList LoadInetLists();
    // The connection check, on a worker: the catalogue is reachable when its index file
    // (ServerName) answers with a length. Then InetEnabled() becomes true, with event 24 (the
    // window shows SM_INETENABLED and calls RefreshCache); a failed check leaves it false without
    // a word. Nothing while a check runs. With no ServerName the catalogue is off: nothing is
    // asked, and a notice (SM_CATALOGOFF) says so once a run.
    void CheckInetConnection();
    // While InetEnabled() and no refresh runs: brings the cache up to date on a worker
    // (TVLCacheRefreshThread; the two-hour timer and RefreshList in modes 3, 4 call this). At its
    // end event 9; a refresh in which no download failed marks the internet lists stale, so the
    // next listing of an internet list rebuilds them from the cache.
    void RefreshCache();
    bool InetCheckRunning() const;
    bool CacheRefreshRunning() const;
    // An internet worker runs, or an outcome of one waits for Flags().
    bool InternetBusy() const;
    // The internet lists match the cache (false: rebuilt before the next listing).
    bool CacheRefreshed() const { return vCacheRefreshed; }
    // While AddList downloads an internet list: true, with the bytes received and the announced
    // length (-1 not known).
    bool ListDownloadProgress(int64_t &received, int64_t &expected) const;

    // ---- Internet search (net/InetSearch.h) ----

    // Starts a search for query on a worker (TVLParser) with the search sites in force
    // (ConfiguredServices()). When it ends the search list is replaced by its results, in mode 6,
    // cursor 0 (event 15 through Flags). A search started while one runs supersedes it: the older
    // one is stopped and its results are never taken, whichever ends first. With neither site set
    // the search is off: nothing happens and a notice (SM_SEARCHOFF) says so; with one of them
    // unset, a notice (SM_SEARCHSITEOFF) says once a run that it is skipped.
    void StartInetSearch(const QString &query);
    bool InetSearchRunning() const;
    // The current search result failed to play: its remote size is asked on a worker, and when it
    // is at most kLiveResultSize (0 for an address that does not answer) the result leaves the
    // search list; the current index stays on the entry that took its place (0 when it was the
    // last), and event 4 through Flags reloads the view, whose timer then opens that entry. A
    // live result stays, with no event. Nothing while an earlier one is being asked.
    void DeleteInvalidInetSearchRecord();

    // ---- Notices ----

    // Messages for the status line that are not event codes: a service that is off (its
    // Config.ini key empty). The window shows and the call clears them; the texts are in the
    // current language.
    QStringList TakeNotices();

    // ---- Recorded streams ----

    // The file a stopped stream recording is saved as: "dd_mm_yy-hh_mm_ss.mp3" of now in the root
    // folder of folder list `dirIndex`. The entry is added to that list at once and the folder
    // becomes the free-space destination. Empty for a list that does not exist.
    QString GetFNameForRecordedStream(int dirIndex);
    // A recording of a stream is being written into folder (ending in "/"): noted in
    // VL4Conf/Recording.txt until NoteRecordingEnded, so that a crash does not lose it. The
    // start is event 26; an end with the recording saved is event 27.
    void NoteRecordingStarted(const QString &folder);
    void NoteRecordingEnded(bool saved = false);

    // Asks for the browse list to be rebuilt (event 9): the font or the language changed.
    void RefreshView() { vFlags = efRefreshView; }
    // At start: the part files a crash left in the noted folder become recordings
    // (RecoveredRecordingName) and are added to the folder list rooted there; empty part files
    // are removed. The number of recordings kept.
    int RecoverRecordings();

    // ---- Catalogue files (VL4Conf under the data folder; formats in catalog/CatalogFiles.h) ----

    // Rebuilds the folder lists (each rescanned from disk), the bookmarks and the playlists from
    // the three files; the network playlist (playlist 0) starts empty. A missing file leaves its
    // part empty, an incomplete last line group is ignored. Event 9.
    void Load(const QString &flFileName, const QString &bkFileName, const QString &plFileName);
    // Writes the three files and every playlist file (VL4Conf/Playlists/), each replaced in one
    // rename so that a failed write leaves the old file whole. FL.txt is not written for a
    // catalogue without folder lists. False when a write failed.
    bool Save(const QString &flFileName, const QString &bkFileName, const QString &plFileName);
    // Load and Save with VL4Conf/FL.txt, BK.txt and PL.txt of the data folder. SaveCatalog does
    // nothing (false) while no data folder is set or before the catalogue was loaded: mode
    // changes of a start that has not read the files yet must not replace them.
    void LoadCatalog();
    bool SaveCatalog();
    // Takes bookmarks from five-line groups into the array from startIndex + 1 on, skipping one
    // that equals a held bookmark in ListName, FileName and PlayPosition; the array ends after
    // the last one stored. The lines are cleared. Load passes -1 (the file replaces the array).
    void LoadBookmarks(int startIndex, QStringList &lines);

    // ---- Playlists (playlist 0 is the network playlist "MyNetwork.vl3u") ----

    // A new empty playlist `name` ("name.vl3u"), shown (event 21). False when a playlist has
    // that name or the name cannot be a file name; its file is written by the next save.
    bool AddPlayList(const QString &name);
    // Gives playlist `index` (not the network playlist) a new name (event 21). False, with
    // nothing changed, when the name is taken (its own included) or invalid. The playlist is
    // written under the new name before its old file is removed.
    bool RenamePlayList(int index, const QString &name);
    // Removes playlist `index` > 0 and its file (event 21).
    void DeletePlayList(int index);
    // Modes 2, 4, 6, 8: adds the given entries of the shown list to a playlist, except those
    // whose title is part of an entry's text there already (event 22 when one was added).
    void AddFileToPlayList(const QList<int> &indexes, int destPlayListIndex);
    // Mode 8: removes the given entries from the shown playlist (event 20); no file is touched.
    void DeleteFileFromPlayList(const QList<int> &indexes);

    // ---- Bookmarks ----

    // Modes 2, 4, 8: appends a bookmark of the current entry at `position` (its name: the
    // entry's text, bookmarkTime, two spaces) and selects it (event 12). Other modes, or no
    // current entry: nothing, and false.
    bool AddBookmark(int position, const QString &bookmarkTime);
    // `index` is a 1-based line of the bookmark list last read: that bookmark is replaced by
    // one of the current entry (event 12). Line 0, an unknown line or no current entry:
    // nothing, and false.
    bool EditBookmark(int index, int position, const QString &bookmarkTime);
    // Removes the bookmark on 1-based line `index` of the bookmark list last read (event 12).
    void DeleteBookmark(int index);
    // The bookmark list of the current mode: mode 2 the bookmarks of the shown folder list,
    // mode 4 those of the shown internet list (when there are two or more), mode 5 all, mode 8
    // those of entries of the shown playlist; no lines otherwise. Rebuilds the map from lines to
    // bookmarks. Index: the line to select (never -1; 0 without lines).
    TListData BookmarksList();
    // Makes the bookmarked entry current (vBookmark index, or 1-based line of the bookmark list)
    // and returns its play position, -1 when its entry is in no list. Event 13, or 14 when the
    // view must follow (the mode changed, or an internet or playlist entry). Line 0: returns 0.
    int GotoBookmark(int index);
    int GotoBookmarkFromList(int index);

    // ---- Account (file format and steps in catalog/Account.h) ----
    //
    // The account service is on when the account server's "Services" keys are all set
    // (ConfiguredServices()); with one empty every account operation does nothing (false) and a
    // notice (SM_ACCOUNTOFF) says so once a run. The connection each operation opens is its own
    // check of the network: an account does not need the catalogue. Every FTP wait runs on a
    // worker, one account operation at a time (AccountBusy); each worker opens its own session,
    // which logs in once. Logged in, playlist 0 (MyNetwork.vl3u) is the account playlist.

    // Creates the account file on a worker unless it exists. When the account exists afterwards
    // (new or not) AccountCreated() is emitted; a failure is silent.
    bool CreateAccount(const QString &accName);
    // Logs in on a worker. When the account file was read, its entries replace the account
    // playlist (a file of only "Links:" or "0" leaves the playlist as it was), its bookmarks are
    // merged into the bookmarks (LoadBookmarks), LoggedIn() becomes true, and event 23 follows
    // through Flags(). A failed login (no such account, no connection) changes nothing.
    bool LoadFromAccount(const QString &accName);
    // Logged in: saves the account playlist and the bookmarks that point into it on a worker (the
    // file is replaced whole, or not at all), then logs out: the account playlist is emptied
    // unless the connection failed, LoggedIn() becomes false, and event 25 follows through
    // Flags(). The result of the save is SavedToAccount().
    bool SaveToAccount();
    bool SavedToAccount() const { return vAccountSaved; }
    // The same on the caller's thread, waiting for the server, for a session that is ending and
    // cannot wait for event 25: logged in and no account worker running, the account is saved
    // and logged out at once. True when the file was replaced.
    bool SaveToAccountNow();
    // Logged in and some entry of the account playlist is a local file (IsLocalEntry).
    bool CheckLocalFilesInAccount() const;
    // Logged in: uploads the local files of the account playlist to the storage server on
    // TAccountUploader. When it ends, its result list (when it connected) replaces the account
    // playlist and SaveToAccount follows, so the logout ends with event 25 either way. With the
    // storage keys unset, a notice (SM_STORAGEOFF) says so and the logout saves at once.
    bool UploadLocalFilesToAccount();
    bool AccountUploading() const;
    // Logged in: logged out without saving; the account playlist emptied; mode 7 (event 9).
    void DissconnectFromAccount();
    // An account, upload or feedback worker runs, or a logout waits for its event 25.
    bool AccountBusy() const;
    // Appends one message to this computer's feedback file of the day on a worker; emits
    // FeedbackSent() when it was stored, nothing when it failed.
    bool SendFeedback(const QString &text);

    // ---- File operations (workers in catalog/FileOperations.h) ----

    // Copies the given entries of the shown list (modes 2, 4, 6, 8; network entries are
    // downloaded) into folder list destListIndex, which shows the new entries at once. Runs on
    // a worker; each file ends in the copy mailbox (events 2 and 16 through Flags). A copy asked
    // for while one runs waits behind it.
    void CopyFiles(const QList<int> &indexes, int destListIndex);
    // Mode 2: moves the given entries of the shown folder list into folder list destListIndex
    // (events 11 and 17). The entries leave the source list at once; a move asked for while one
    // runs waits behind it.
    void MoveFiles(const QList<int> &indexes, int destListIndex);
    // Mode 2, on the main thread: moves the files of the given entries of the shown folder list
    // to the trash and removes their entries (an entry whose file stays keeps its line). The
    // current entry stays current when it stays; when it went, the entry now standing in its
    // place is current (-1 in an empty list). Completion is event 4 through Flags.
    void DeleteFiles(const QList<int> &indexes);
    // Saves the file being played from the cache (fName: the cache file, the entry's title)
    // into folder list destListIndex, as a copy.
    void CopyFileFromCache(const TFileName &fName, int destListIndex);
    // Mode 2: on a worker, looks for the entries of folder list comparedListIndex that have a
    // namesake in another folder of the current folder list. On completion (main thread)
    // FindCopyesCompleted() is emitted and the result waits for TakeFindResult or DropFindResult.
    // Nothing while a search runs.
    void FindCopyes(int comparedListIndex);
    // The compared folder list becomes the duplicates found, shown and current (mode 2, event 9).
    void TakeFindResult();
    // Forgets the duplicates found; nothing changes.
    void DropFindResult();
    bool FindResultPending() const { return vFindResultPending; }
    // Moves one file to the trash; true when it left its folder.
    static bool RecycleFile(const QString &path);
    // A copy or move is running or waiting.
    bool FileOperationsRunning() const;

    // ---- Naming (mode 2 only; algorithms in catalog/Naming.h) ----
    //
    // The single-file forms work on the current entry of the current folder list; the batch
    // forms on the given entries of the shown folder list. A rename never replaces another file:
    // one the file system refuses leaves the file and its record as they were. Only files that
    // really lie inside the list's folder are renamed or have their tags written (TNamingFence):
    // one reached through a link that leads elsewhere is left alone. Tags are read and written
    // through the controller's own tag editor.

    // Renames the current file to newFileName (in its folder); event 19, or 20 when the caller
    // reopens the playing file itself.
    void Edit(const QString &newFileName, TReopen reopen = TReopen::ByTimer);
    // The name the current file would get by a naming tool (TEditType; other types: its present
    // name), without renaming it. Type 8 instead numbers the whole current list (unless it takes
    // in sub-folders), "01 - " style; a file whose rename is refused, or that lies outside the
    // folder, gets the "[Ошибка]" mark in its record (event 9); the current name is returned.
    QString Edit(int editType);
    // Renames the given files by a naming tool (event 20). Returns what was left undone.
    TRenameTally Edit(const QList<int> &indexes, int editType);
    // In the given files' names, replaces every findString by newString (case-sensitive; names
    // without it are left alone); event 9, or 20 when the caller reopens the playing file
    // itself. Returns what was left undone.
    TRenameTally Edit(const QList<int> &indexes, const QString &findString,
                      const QString &newString, TReopen reopen = TReopen::ByTimer);
    // Tags from the names of the given files ("Artist - Title", track = position in the list + 1),
    // written to both tag versions; event 9, or 20 when the caller reopens the playing file
    // itself. The number of MP3 files whose tags could not be written (read-only, missing,
    // damaged) or were left alone (outside the folder).
    int TagsAutoCreate(const QList<int> &indexes, TReopen reopen = TReopen::ByTimer);
    // Writes track numbers 1.. to the tags of every file of the current folder list, in order.
    // The number of MP3 files whose tags could not be written or were left alone.
    int AutoCreateTagsTrackNumbers();
    // One line per file of folder list listIndex: the template name from its ID3v2 (or ID3v1)
    // tag, empty when the tag gives none; each line ended by CR LF.
    QString GetTagsList(int listIndex, bool id3v2);
    // The controller's tag editor (naming only; the tag panel has its own).
    TTagEditor &TagEditor() { return vTagEditor; }

    // ---- Events ----

    // Takes the pending event: first turns the workers' mailboxes into codes (copy 1 -> 2,
    // 2 -> 16; then move 1 -> 11, 2 -> 17, so a move result wins; then a finished delete -> 4),
    // resets them, returns the code and clears it. Read only by the main timer.
    TEventCode Flags();
    // Stores a follow-up code directly: only the main timer, chaining the code it has just
    // taken to the next one.
    void SetFlags(TEventCode code) { vFlags = code; }

    // ---- Settings ----

    QString ServerName() const { return vServerName; }
    void SetServerName(const QString &name) { vServerName = name; }
    // The data folder, ending in "/"; VL4Conf lives inside it.
    QString ProgramDataDir() const { return vProgramDataDir; }
    void SetProgramDataDir(const QString &dir);
    TTagRenameTemplate TagRenameTemplate() const { return vTagRenameTemplate; }
    void SetTagRenameTemplate(const TTagRenameTemplate &t) { vTagRenameTemplate = t; }
    bool LoggedIn() const { return vLoggedIn; }
    void SetLoggedIn(bool loggedIn) { vLoggedIn = loggedIn; }
    // The catalogue server was found reachable by the connection check.
    bool InetEnabled() const { return vInetEnabled; }
    int CopyCounter() const { return vMailboxes.LeftCopyFiles.load(); }
    int MoveCounter() const { return vMailboxes.LeftMoveFiles.load(); }
    // The mailboxes the workers write.
    TWorkerMailboxes &Mailboxes() { return vMailboxes; }

    // ---- Read access for the windows and tests ----

    int FolderListCount() const { return int(vList.size()); }
    const TFileList &FolderList(int index) const { return vList.at(index); }
    int InetListCount() const { return int(vInetList.size()); }
    const TFileList &InetList(int index) const { return vInetList.at(index); }
    const TFileList &SearchList() const { return vInetSearchList; }
    // Playlists 0 .. PlayListCount()-1 (the spare slot is not counted).
    int PlayListCount() const { return int(vPlayList.size()) - 1; }
    const TFileList &PlayList(int index) const { return vPlayList.at(index); }
    const QList<TBookmark> &Bookmarks() const { return vBookmark; }
    // The selection handed to the last copy, move or delete.
    const QList<int> &IndexesList() const { return vIndexesList; }
    const TFileList &CopyOperationList() const { return vCopyOperationList; }
    const TFileList &MoveOperationList() const { return vMoveOperationList; }
    int CurBookmarkListIndex() const { return vCurBookmarkListIndex; }
    QString CurBookmarkName() const { return vCurBookmarkName; }

Q_SIGNALS:
    // A duplicate search finished; the window asks whether to see the result.
    void FindCopyesCompleted();
    // The account asked for by CreateAccount exists.
    void AccountCreated();
    // The message given to SendFeedback was stored.
    void FeedbackSent();

private:
    struct TFileJob {
        TFileList List;
        QString DestDir;
    };
    enum class EntryKind { Folder, Internet, PlayList, Search };

    TFileList *visibleEntryList();
    // The header line of the browse list in modes 2 and 8 (the shown list's name).
    QString entryListHeader(const TFileList *list) const;
    const TFileList *visibleEntryList() const;
    const TFileList *currentEntryList(EntryKind kind) const;
    int currentFileIndex(EntryKind kind) const;
    static bool kindOfMode(TBrowseMode mode, EntryKind &kind);
    QString playListName(int index) const;
    QString catalogPath(const QString &name) const;
    QString playListPath(int index) const;
    bool writeCatalogFile(const QString &path, const QByteArray &bytes);
    bool writePlayListIndex(const QString &plFileName);
    int findPlayList(const QString &name) const;
    bool currentBookmark(int position, const QString &bookmarkTime, TBookmark &b) const;
    int gotoBookmark(const TBookmark &bookmark, bool fromList);
    void startFileJob(bool move, TFileJob job);
    void fileJobFinished(TCopyThread *thread, bool move);
    void followCurrentFolderEntry(const QList<int> &removed);
    void stopWorkers();
    void stopInternetWorkers();
    void startListDownload(const QString &address);
    void supersedeSearch();
    bool removeSearchResult(const QString &address);
    void notice(QString TMessages::*message, bool everyTime);
    bool accountServiceOn();
    TFileList &accountPlayList();
    void startAccountTask(std::function<void(const std::atomic<bool> &)> work,
                          std::function<void()> done);
    void stopAccountWorkers();
    TFileList *namingList(bool visible);
    // Points the playlists and bookmarks at the files' new paths and saves them (the catalogue
    // files when the catalogue was read; playlist files it does not hold, and BK.txt before it
    // was read, in place). Folder lists are not touched: their owners rescan or update them.
    void followPathChanges(const QList<TPathChange> &changes);
    QString newNameFor(const TFileName &entry, int editType);

    TTagRenameTemplate vTagRenameTemplate;
    TTagEditor vTagEditor;      // naming's own tag editor
    QList<TFileList> vList;     // folder lists
    QList<TFileList> vInetList; // internet catalogue lists
    TFileList vInetSearchList;  // search results or an opened link list
    QList<TFileList> vPlayList; // playlists; always ends with one spare empty slot
    QList<TBookmark> vBookmark; // bookmarks; one empty bookmark at start
    QList<int> vIndexesList;    // the selection handed to the last copy, move or delete
    QList<int> vBookmarksIndexesList;
    TFileList vCopyOperationList; // work lists of the copy and move workers
    TFileList vMoveOperationList;

    int vListIndex = 0; // the list holding the current entry, per kind
    int vInetListIndex = 0;
    int vPlayListIndex = 0;
    int vSearchInetFileIndex = -1;
    int vComparedListIndex = 0;
    int vFileIndex = -1; // the current entry in that list, per kind
    int vInetFileIndex = -1;
    int vPlayListFileIndex = -1;
    int vVisibleListIndex = 0; // the list shown, per kind
    int vVisibleInetListIndex = 0;
    int vVisiblePlayListIndex = 0;
    TBrowseMode vMode = bmRoot;
    EntryKind vLastCurrentKind = EntryKind::Folder;

    TWorkerMailboxes vMailboxes;

    TEventCode vFlags = efRefreshView;
    QString vServerName;
    QString vProgramDataDir;
    int vCurBookmarkListIndex = 0;
    bool vAudioFilesOnly = true;
    bool vInetEnabled = false;
    QString vCurBookmarkName;
    bool vCacheRefreshed = false;
    bool vLoggedIn = false;
    QString vAccountName;
    bool vAccountSaved = false;
    bool vAccountClosing = false; // a save runs or its outcome waits: the logout is under way
    QString vLastDestDir;

    // Workers: the running copy, move and duplicate search (each deletes itself when done), and
    // the copy and move jobs waiting behind the running ones.
    QPointer<TCopyThread> CopyThread;
    QPointer<TCopyThread> MoveThread;
    QPointer<TFindThread> FindThread;
    QList<TFileJob> vPendingCopies;
    QList<TFileJob> vPendingMoves;
    // The catalogue files as last written by Save (bytes and time of change), per path.
    struct TSavedFile {
        QByteArray Bytes;
        QDateTime Modified;
    };
    QHash<QString, TSavedFile> vSavedFiles;
    TFileList vFindResult;
    bool vFindResultPending = false;
    // Internet workers: the running connection check, refresh, list download and search-result
    // size (each deletes itself when done), the list downloads waiting, and every search still
    // running (superseded ones wind down; the newest is last).
    QPointer<TNetTask> InetCheckThread;
    QPointer<TVLCacheRefreshThread> CacheRefresherThread;
    QPointer<TNetTask> ListDownloadThread;
    QStringList vPendingListDownloads;
    QPointer<TNetTask> PruneThread;
    QList<QPointer<TVLParser>> vSearchThreads;
    // The running account operation (create, login, save, feedback) and upload.
    QPointer<TNetTask> AccountThread;
    QPointer<TAccountUploader> UploadToAccountThread;
    quint64 vSearchGeneration = 0; // counts searches started and search lists opened
    // Outcomes of finished internet workers, taken one per Flags() (class comment); each makes
    // its change and returns its event code, efNone when it no longer applies.
    QList<std::function<TEventCode()>> vOutcomes;
    QList<QString TMessages::*> vNotices;      // not yet taken
    QList<QString TMessages::*> vNoticesGiven; // this run
    bool vStopping = false;
    bool vCatalogLoaded = false;
};

} // namespace vorlane

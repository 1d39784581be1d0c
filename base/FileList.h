#pragma once
// Catalogue entries and the lists that hold them.
//
// Every list the program shows or keeps (a folder's audio files, an internet catalogue list,
// search results, a playlist, the work list of a copy) is a TFileList: a counted array of
// TFileName records with a root, a cursor and an include-sub-folders flag. The list line format
// (one entry per line, first line the cursor) is how lists are stored and exchanged.
//
// A TFileList is a value: copying it copies the records (strings are shared). It is not
// thread-safe; its owner (the catalogue controller) uses it from the main thread, and workers get
// copies of their own.

#include <QByteArray>
#include <QHash>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace vorlane {

// A moment in the life of one list's records (TFileList::Stamp): which list, and how many
// records had been replaced in it by then. The default stamp belongs to no list.
struct TListStamp {
    quint64 Shape = 0;
    quint64 Step = 0;
};

// Which records of a list were replaced since a stamp, so that a view of the list can redraw only
// those rows. Anything else (entries added, removed or reordered; the list copied, assigned or
// moved) gives the list a new shape, and stamps of the old shape no longer tell anything. Only the
// latest replacements are remembered.
class TChangeJournal {
public:
    TChangeJournal() = default;
    TChangeJournal(const TChangeJournal &) {}
    TChangeJournal(TChangeJournal &&from) noexcept { from.Reshaped(); }
    TChangeJournal &operator=(const TChangeJournal &)
    {
        Reshaped();
        return *this;
    }
    TChangeJournal &operator=(TChangeJournal &&from) noexcept
    {
        Reshaped();
        from.Reshaped();
        return *this;
    }
    ~TChangeJournal() = default;

    TListStamp Stamp() const;
    void Replaced(int row);
    // Cheap: a new shape number is drawn only when a stamp is next asked for.
    void Reshaped() noexcept
    {
        vShape = 0;
        vReplaced.clear();
    }
    // The rows replaced since `stamp`, ascending, each once; false when the stamp is of another
    // shape or older than what is remembered.
    bool ReplacedSince(const TListStamp &stamp, QList<int> &rows) const;

private:
    static constexpr size_t kRemembered = 256;
    mutable quint64 vShape = 0; // 0: changed in shape since the last stamp
    quint64 vStep = 0;
    quint64 vFloor = 0;                             // replacements up to this step are forgotten
    std::vector<std::pair<quint64, int>> vReplaced; // (step, row)
};

// Whether text holds "http": what makes a list line, or an entry's folder, a network one.
bool HoldsHttp(QStringView text);

// One catalogue entry.
struct TFileName {
    QString FileName; // "Song.mp3"; for a network entry the last segment of its address
    QString DirName;  // "/home/me/Music/" (ends with "/"), or an address up to its last "/"
    QString Title;    // display text: name without extension, or the title a list line carries
    double Date = 0;  // last change of a local file (days since 30 Dec 1899); 0 for network entries

    // What a lookup outside a list gives: empty names, Title "ERROR!!!".
    static TFileName ErrorRecord()
    {
        TFileName r;
        r.Title = QStringLiteral("ERROR!!!");
        return r;
    }
    // A record with an empty FileName counts as empty (no entry).
    bool IsEmpty() const { return FileName.isEmpty(); }
    // Entries whose folder part contains "http" are network entries in list lines.
    bool IsNetwork() const { return HoldsHttp(DirName); }
    // Title, or FileName when the title is empty: what lists show and Find searches.
    const QString &Text() const { return Title.isEmpty() ? FileName : Title; }
};

} // namespace vorlane

// Records may be moved as bytes (as QStrings may): a growing list reallocates in place instead of
// moving each record.
Q_DECLARE_TYPEINFO(vorlane::TFileName, Q_RELOCATABLE_TYPE);

namespace vorlane {

// What the folder scan knows of a folder before it lists it.
struct TFolderFacts {
    int64_t FileSystemType = 0; // statfs f_type; 0 when unknown
    QByteArray RealPath;        // absolute, every link resolved, native bytes; empty when unknown
};

// Whether the folder scan stays out of a folder: one whose entries the kernel makes up (process
// and device tables, control files, mount triggers) instead of files a user keeps. Such trees can
// be endless, loop back on themselves or block a reader. Decided by the file-system type, and by
// the real path lying at or below /proc, /sys or /dev whatever is mounted there (/dev is a
// devtmpfs, whose type reads like any tmpfs). Pure.
bool IsPseudoFolder(const TFolderFacts &facts);

class TFileList {
public:
    QString RootDir;       // folder (no trailing "/"), playlist file name, or list source ("-")
    bool Included = false; // folder lists: the scan descends into sub-folders
    int CurIndex = 0;      // the cursor: last added, set or found entry

    int Count() const { return vCount; }
    // Sets the number of valid records; new slots are empty records.
    void SetCount(int count);

    // RootDir without its extension (unless RootDir is an existing folder, whose dots are part of
    // its name), followed by the SM_WITHINCLUDES message when sub-folders are included.
    QString Name() const;

    // Appends a copy unless a record with the same FileName and the same non-empty DirName is
    // already there. A local record gets the file's modification time as Date; a network record
    // keeps the Date passed in. The cursor moves to the new record.
    void AddNewRecord(const TFileName &record);
    void AddNewRecord(const QString &fileName, const QString &dirName, const QString &title);
    // Adds a network entry from a list line: "address[?title]", split at the address's last "/".
    void AddNewRecord(const QString &link);

    // Empties the list; cursor 0.
    void ClearList();
    // Blanks record Index (its strings) so that RefreshList removes it; the count is unchanged.
    void ClearRecord(int index);
    // Removes record Index, moving later ones down; the cursor goes to Index (clamped to the list).
    void DeleteRecord(int index);
    // Removes every record whose DirName is empty, keeping the order of the rest.
    void RefreshList();

    // A copy of record Index, or the error record (empty names, Title "ERROR!!!") out of range.
    TFileName GetRecord(int index) const;
    // Unchecked access for loops over 0..Count()-1.
    const TFileName &At(int index) const { return vList.at(index); }
    // In range: replaces the record when the given FileName is not empty; the cursor moves to it.
    void SetRecord(int index, const TFileName &record);
    void SetRecord(int index, TFileName &&record);
    // In range: a non-empty fileName replaces FileName and Title (name without extension); a
    // non-empty dirName replaces DirName; the cursor moves to Index.
    void SetRecord(int index, const QString &fileName, const QString &dirName);
    // Exchanges two records; the cursor ends at index2. Out of range: nothing.
    void SwapRecord(int index1, int index2);

    // Empties the list and fills it from a scan of RootDir (sub-folders when Included), keeping
    // only audio files when audioOnly. Only regular files (or links to them) are listed; hidden
    // entries are skipped. A linked folder is followed, but every folder is listed once however
    // many ways lead to it (the root included), so a link loop ends and a second link to a folder
    // adds nothing. The scan never enters a pseudo file system (IsPseudoFolder): a root there
    // gives an empty list.
    // Files whose path holds a line break (CR or LF), or whose name does not come back unchanged
    // from QFile::decodeName and QFile::encodeName, are left out: a list line cannot hold the
    // first, and the program could not open the second by the name it shows. Returns how many
    // files were left out that way. The cursor ends at 0. Stale copies that killed file
    // replacements left in a scanned folder are removed (base/FileReplacement.h).
    int CreateList(bool audioOnly);
    // CreateList's scan without keeping the records: each file's record goes to `take` as the
    // scan meets it, in the order CreateList lists them, and the list is left as it is. The
    // same files are left out and counted, and the same stale copies removed. For a caller
    // that uses each record once (printing a folder's list as it is read).
    int ScanFolder(bool audioOnly, const std::function<void(TFileName &&)> &take) const;

    // Stable sorts in natural order (CompareNatural) of FileName, or of Title when titleSort;
    // ascending, or descending when reverse. Equal keys keep their order.
    void AlphabetSort(bool reverse, bool titleSort);
    // Stable sort by Date, oldest first.
    void DateSort();

    // Searches forward from the cursor and moves it to the hit. ff == 1 is the exact mode (a
    // case-sensitive substring of the entry's text, starting with the entry at the cursor);
    // otherwise the fuzzy mode (share of the query's two-letter pieces found in the lower-cased
    // text, at least ff, starting after the cursor). The search wraps to the start when the cursor
    // is on the last entry. A fuzzy query of fewer than two characters finds nothing.
    bool Find(const QString &query, float ff);

    // Where the records stand now; ChangedSince gives the entries replaced since such a stamp
    // (SetRecord, SwapRecord, ClearRecord), or false after any other change.
    TListStamp Stamp() const { return vJournal.Stamp(); }
    bool ChangedSince(const TListStamp &stamp, QList<int> &rows) const
    {
        return vJournal.ReplacedSince(stamp, rows);
    }

    // FoldedNameHash of every entry's file name, in entry order, made while the names were at hand:
    // kept as a list is scanned, loaded or added to and while it is sorted; nullptr once any
    // other change has been made, until the list is cleared or scanned again.
    const uint64_t *NameHashes() const { return vNameHashesKept ? vNameHashes.data() : nullptr; }

    // One list line per record (no cursor line).
    QStringList GetStringList() const;
    // Appends the entries of a list file and takes its cursor; RootDir becomes the file name.
    // False (and no change) when the file cannot be read.
    bool LoadListFromFile(const QString &fileName);
    // The same from lines in memory; removes the first (cursor) line from the caller's list.
    // RootDir becomes "-".
    void LoadListFromString(QStringList &lines);

    // The list line of a record: the full path of a local entry; address + "?" + title for a
    // network entry.
    static QString RecordToLine(const TFileName &record);
    // Appends one entry line (local or network by the "http" rule); blank lines are skipped.
    void AddListLine(const QString &line);

private:
    // (FileName, DirName) with the folder's hash computed once: a scan adds many names to the
    // same folder.
    struct Key {
        QString FileName;
        QString DirName;
        size_t DirHash;
        bool operator==(const Key &o) const
        {
            return DirHash == o.DirHash && FileName == o.FileName && DirName == o.DirName;
        }
        friend size_t qHash(const Key &k, size_t seed)
        {
            return qHashMulti(seed, k.FileName, k.DirHash);
        }
    };
    static Key keyOf(const TFileName &record, size_t dirHash);
    static Key keyOf(const TFileName &record) { return keyOf(record, qHash(record.DirName)); }

    void indexAdd(const TFileName &record);
    void indexRemove(const TFileName &record);
    void ensureIndex();
    void dropIndex();
    // folderFd: the record's folder, open, for reading the date relative to it; -1 when not.
    void appendChecked(TFileName &&record, size_t dirHash, int folderFd = -1);
    void appendChecked(TFileName &&record)
    {
        const size_t dirHash = qHash(record.DirName);
        appendChecked(std::move(record), dirHash);
    }
    class LastFolder;
    void addListLine(const QString &line, LastFolder &last);
    void appendUnchecked(TFileName &&record);
    void permute(const std::vector<int> &order);
    void keepNameHash(const TFileName &record);
    void dropNameHashes();

    int vCount = 0;
    QList<TFileName> vList;
    // How many valid records carry each (FileName, non-empty DirName): the duplicate rule in
    // constant time per add. Built when an add first needs it and then kept in step by every
    // operation that changes a record; lists filled in bulk (a scan, a result list made with
    // SetCount and SetRecord) do not pay for it until someone adds to them.
    QHash<Key, int> vIndex;
    bool vIndexed = true; // vIndex is up to date (an empty list's empty index is)
    TChangeJournal vJournal;
    std::vector<uint64_t> vNameHashes; // one per entry while vNameHashesKept
    bool vNameHashesKept = true;
};

} // namespace vorlane

#pragma once
// The workers of the file operations: copy and move (TCopyThread) and the duplicate search
// (TFindThread), and the file-level steps they are made of.
//
// Ownership and threads: the catalogue controller creates each worker on the main thread with
// its own copy of the work list, starts it, and takes its outcome on the main thread when the
// thread's finished() signal arrives there (a queued connection). While it runs a worker writes
// only its own fields and the controller's atomic mailboxes it was given. Each worker is deleted
// (deleteLater) once it has finished; RequestStop() makes it stop after the file in work.

#include "base/FileList.h"
#include "catalog/References.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <utility>

namespace vorlane {

// The name a copied or moved entry gets in the destination folder: its title followed by the
// lower-cased extension of its file name (once: a title ending in it is not extended again), or
// its file name when it has no title; ".mp3" added when the file name has no extension (network
// streams); then sanitised for the file system.
QString CopyTargetName(const TFileName &entry);

// Copies a local file, replacing an existing target in one rename (a failure leaves the target
// as it was) and keeping the source's modification time. False when the source cannot be read,
// the target cannot be written, the copy was stopped, or source and target are the same file.
bool CopyLocalFile(const QString &source, const QString &target,
                   const std::atomic<bool> *stop = nullptr);

// Moves a local file, replacing an existing target; across file systems it copies and then
// removes the source. False, with both files untouched, when source and target are the same
// file (a hard link or the same path) or the source is missing.
bool MoveLocalFile(const QString &source, const QString &target,
                   const std::atomic<bool> *stop = nullptr);

// Moves one file to the user's trash. True when the file has left its folder. The user's data
// folder is made first: without it the platform puts a "trash" into the current folder.
bool RecycleFile(const QString &path);

// The entries of `compared` whose lower-cased file name (letter by letter) is that of a `source`
// entry in another (lower-cased) folder, each once, with an empty title, ordered by the first
// source entry they match and then by their order in `compared`. Linear in the two lists' sizes. An
// empty result when stopped.
TFileList FindDuplicates(const TFileList &source, const TFileList &compared,
                         const std::atomic<bool> *stop = nullptr);

// Where the current entry of a list is after the entries at `removed` (old indexes) left it and
// newCount remain: an entry that stays is followed; for one that left, the entry now standing in
// its place (the last one when it was at the end); -1 for an empty list or no current entry.
int IndexAfterRemoval(int current, const QList<int> &removed, int newCount);

// Copies (or moves) the entries of its work list into one folder. Network entries (an address
// with "http") are downloaded. After each file it publishes the files still to do (its own plus
// *queuedBehind, the files of jobs waiting behind it), then the outcome: 1 success, 2 failure;
// the main timer turns them into event codes. A failed file does not stop the others.
class TCopyThread : public QThread {
    Q_OBJECT

public:
    TCopyThread(const TFileList &list, bool move, const QString &destDir, std::atomic<int> &flag,
                std::atomic<int> &left, const std::atomic<int> &queuedBehind,
                QObject *parent = nullptr);
    ~TCopyThread() override;

    bool Move() const { return vMove; }
    QString DestDir() const { return vDestinationDir; }
    // Stops after the file in work (a download or copy in progress is abandoned).
    void RequestStop() { vStop = true; }
    // Once the thread has ended: the files a move moved, old path -> new path, each taken once.
    QList<TPathChange> TakeMoved() { return std::exchange(vMoved, {}); }

protected:
    void run() override;

private:
    QString vExistenceFile;   // source of the file in work
    QString vDestinationFile; // its target
    bool vMove = false;
    int vFlag = 0;             // outcome of the file in work: 0 in progress, 1 success, 2 failure
    QString vDestinationDir;   // target folder, without a trailing "/"
    TFileList vList;           // the work list (the thread's own copy)
    TFileName vFile;           // the entry in work
    QList<TPathChange> vMoved; // the thread's own until it has ended
    int vLeft = 0;             // files still to do after it
    std::atomic<int> &Flag;    // where vFlag is published
    std::atomic<int> &Left;    // where the count left is published
    const std::atomic<int> &QueuedBehind;
    std::atomic<bool> vStop{false};
};

// Looks for the entries of ComparedList that have a namesake in another folder of SourceList.
class TFindThread : public QThread {
    Q_OBJECT

public:
    explicit TFindThread(QObject *parent = nullptr);
    ~TFindThread() override;

    // Before start(): the lists to compare (copies are kept).
    void AddSourceList(const TFileList &list) { SourceList = list; }
    void AddComparedList(const TFileList &list) { ComparedList = list; }
    // After finished(): the duplicates found; the caller takes them over.
    TFileList GetResultList() { return std::move(ResultList); }
    void RequestStop() { vStop = true; }

protected:
    void run() override;

private:
    TFileList SourceList;
    TFileList ComparedList;
    TFileList ResultList;
    std::atomic<bool> vStop{false};
};

} // namespace vorlane

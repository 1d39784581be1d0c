#pragma once
// A complete new version of a file, prepared beside it and put in its place at once.
//
// Open() creates the new version as an unnamed file in the target's folder (O_TMPFILE): until
// Commit() nothing can see it, and nothing is left behind when the process dies. A file system
// without unnamed files gets a named one instead, created exclusively (O_CREAT | O_EXCL) under a
// fresh hidden name `.NAME.vl-XXXXXX`, so it never follows a link nor reuses an existing file.
// The new version gets the target's permission bits, and its owner and group as far as this
// process may give them. Commit() flushes it to disk, links it in under a fresh hidden name and
// renames that over the target: the target is either the old file or the complete new one,
// never a mix. Until Commit() succeeds the target is untouched, and a replacement destroyed
// without a successful Commit() removes what it made.
//
// Two kinds of target cannot be replaced by a rename without changing what the user sees: a file
// with several names (hard links), whose other names would keep the old bytes, and a file whose
// owner or group this process may not give to a new file. Commit() writes the complete new
// version over such a target in place instead, after reserving the room it needs, so that a full
// disk fails before the first old byte is overwritten. A process killed during that copy leaves
// the target neither old nor new.
//
// A target that is a symbolic link is resolved: the link stays and its destination is replaced.
// A target the user may not write (base/RegularFile.h) is refused by Open(), and so is one
// that is not a regular file; a missing target is made by Commit() with mode 0644.
//
// A named copy is locked (flock, exclusive) by its writer for as long as it exists. A process
// killed between naming a copy and the rename leaves it behind; such a copy is stale once nobody
// holds its lock and it is a minute old (a writer still at work keeps it fresh). Open() removes
// the stale copies of its own target; RemoveStaleReplacements those of a whole folder.
//
// One thread at a time per object; the free functions from any thread.

#include <QFile>
#include <QString>

#include <memory>

namespace vorlane {

class TFileReplacement {
public:
    explicit TFileReplacement(const QString &targetPath);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement &) = delete;
    TFileReplacement &operator=(const TFileReplacement &) = delete;

    // Creates the new version, empty. False when the folder does not allow it, or when the
    // target may not be written or is not a regular file.
    bool Open();
    // The new version, open for reading and writing.
    QFile &Device() { return *file_; }
    // Flush, sync and put in place. False leaves the target as it was (except a failure of the
    // copy in place, described above).
    bool Commit();
    // Removes the new version now.
    void Discard();

    // The new version's name; empty while it has none (an unnamed file before Commit()).
    QString TempPath() const { return tempPath_; }
    QString TargetPath() const { return target_; }

private:
    bool linkIn();
    bool writeInPlace();

    QString target_;
    QString tempPath_;
    std::unique_ptr<QFile> file_;
    int fd_ = -1;
};

// The whole file replaced by these bytes in one TFileReplacement (a missing file is made; its
// folder must exist). False leaves the old file as it was.
bool ReplaceFileWith(const QString &path, const QByteArray &bytes);

// Removes the stale copies (see above) left in `folder` by killed writers; how many it removed.
int RemoveStaleReplacements(const QString &folder);
// Whether a file name has the form of a copy (".NAME.vl-XXXXXX"), stale or not: for a folder
// walk that meets names anyway and asks RemoveStaleReplacements only where there are some.
bool IsReplacementCopyName(const char *name);

// Fault injection for tests: replaces rename(2) in Commit(); nullptr restores it.
using TRenameFunction = int (*)(const char *from, const char *to);
void SetRenameFunctionForTesting(TRenameFunction rename);
// For tests: false makes Open() use a named copy, as on a file system without unnamed files.
void SetUnnamedFilesForTesting(bool allowed);

} // namespace vorlane

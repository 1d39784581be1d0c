#pragma once
// A complete new version of a file, written beside it and put in its place with one rename.
//
// The temporary file is created exclusively (O_CREAT | O_EXCL) in the target's folder under a
// fresh hidden name, so it never follows a link nor reuses an existing file; it gets the
// target's permission bits. Commit() flushes it to disk and renames it over the target: the
// target is either the old file or the complete new one, never a mix. Until Commit() succeeds
// the target is untouched, and a replacement destroyed without a successful Commit() removes
// its temporary file. A target that is a symbolic link is resolved: the link stays and its
// destination is replaced.
//
// One thread at a time per object.

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

    // Creates the temporary file. False when the folder does not allow it.
    bool Open();
    // The temporary file, open for reading and writing.
    QFile &Device() { return *file_; }
    // Flush, sync and rename over the target. False leaves the target as it was.
    bool Commit();
    // Removes the temporary file now.
    void Discard();

    QString TempPath() const { return tempPath_; }
    QString TargetPath() const { return target_; }

private:
    QString target_;
    QString tempPath_;
    std::unique_ptr<QFile> file_;
    int fd_ = -1;
};

// Fault injection for tests: replaces rename(2) in Commit(); nullptr restores it.
using TRenameFunction = int (*)(const char *from, const char *to);
void SetRenameFunctionForTesting(TRenameFunction rename);

} // namespace vorlane

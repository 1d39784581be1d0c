#pragma once
// Opening the files a user names or a folder holds, for their tags and their audio.
//
// Such a name may stand for a FIFO (whose open waits for a writer, forever), a device or a
// folder. The file is opened with O_NONBLOCK, so that the open itself never waits, checked with
// fstat, refused when it is not a regular file, and only then switched back to blocking reads
// and writes. Nothing here creates a file.
//
// Opening for writing also asks whether the user may write the file: a file whose mode, owner or
// file system forbids it is refused, and so is a file with no write bit at all even for root,
// who may write anything: its owner made it read-only.
//
// Free functions; any thread.

#include <QHash>
#include <QIODevice>
#include <QSet>
#include <QString>

class QFile;

namespace vorlane {

enum class TFileOpen {
    Ok,
    Missing,     // no such file (or a folder on the way is missing)
    NotRegular,  // a FIFO, socket, device or folder
    NotWritable, // opening for writing: the user may not write it
    Failed,      // any other error (no permission to read, too many open files, ...)
};

// Opens the regular file at `path` into `file` (which owns the descriptor and has no file name
// of its own afterwards: keep `path` for messages). `mode` is QIODevice::ReadOnly or
// QIODevice::ReadWrite; the file is never created or truncated.
TFileOpen OpenRegularFile(QFile &file, const QString &path,
                          QIODevice::OpenMode mode = QIODevice::ReadOnly);

// Whether `path` names a regular file that can be opened for reading, checked without waiting;
// for callers that must hand a name to a library which opens it itself.
TFileOpen CheckRegularFile(const QString &path);

// Whether the user may write the file at `path`, by the rule above.
bool MayWrite(const QString &path);

// The names in `folder` whose bytes do not come back from QFile::decodeName and encodeName (bytes
// that are not text in the system's encoding). A folder listing holds such a name as text that
// names another file, or none: whatever is written under it lands on the wrong file.
QSet<QString> UndecodableNames(const QString &folder);

// UndecodableNames, listed once per folder; for a writer going through a list of files.
// One thread at a time per object.
class TUndecodableNames {
public:
    bool Contains(const QString &folder, const QString &name);

private:
    QHash<QString, QSet<QString>> vFolders;
};

} // namespace vorlane

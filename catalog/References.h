#pragma once
// References that follow a file when the program renames or moves it: the playlist entries and
// bookmarks that name the file's old path are pointed at its new one. Pure functions over values,
// safe from any thread; the controller applies them to what it holds and saves
// (TVorlane::followPathChanges).

#include "base/FileList.h"
#include "catalog/CatalogTypes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace vorlane {

// One file the program renamed or moved.
struct TPathChange {
    QString From;   // full path before ("/home/me/Music/a.mp3")
    QString To;     // full path after
    QString ToRoot; // a move: the folder list it went to (no trailing "/"); empty for a rename
};

// The changes of one operation by old path, taken in the order they were made: a file renamed
// again (a to b, then b to c) is followed to its last path, while a path freed by one file and
// then taken by another (b to c, then a to b) keeps the two files apart.
class TPathChanges {
public:
    TPathChanges() = default;
    explicit TPathChanges(const QList<TPathChange> &changes);
    bool IsEmpty() const { return vByFrom.isEmpty(); }
    // The change of the file at `path`, or nullptr when it did not move.
    const TPathChange *Find(const QString &path) const;

private:
    QHash<QString, TPathChange> vByFrom; // by the path the file had before the operation
    QHash<QString, QString> vFromByTo;   // where each file is now -> its key in vByFrom
};

// Points the local entries of a list at their files' new paths (folder, name and title, which a
// local entry takes from its name). Network entries are never touched. True when one changed.
bool FollowPathChanges(TFileList &list, const TPathChanges &changes);

// The same for bookmarks: folder and name follow the file. A bookmark's list follows it as well:
// its RootDir becomes the new folder when it was the file's folder (a playlist entry's bookmark),
// or the list the file was moved to when the file has left the bookmark's list folder.
bool FollowPathChanges(QList<TBookmark> &bookmarks, const TPathChanges &changes);

// The same for the entry lines of a playlist file (no cursor line): a local line is a full path.
bool FollowPathChanges(QStringList &entryLines, const TPathChanges &changes);

} // namespace vorlane

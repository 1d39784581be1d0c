// Playlist operations of the catalogue controller.

#include "catalog/CatalogFiles.h"
#include "catalog/Vorlane.h"

#include <QFile>

#include <algorithm>

namespace vorlane {

int TVorlane::findPlayList(const QString &name) const
{
    for (int i = 0; i < PlayListCount(); ++i) {
        if (playListName(i) == name)
            return i;
    }
    return -1;
}

bool TVorlane::AddPlayList(const QString &name)
{
    if (!IsValidPlayListName(name) || findPlayList(name) >= 0)
        return false;
    const int index = PlayListCount();
    TFileList &playlist = vPlayList[index]; // the former spare slot
    playlist.ClearList();
    playlist.RootDir = name + QString::fromUtf16(kPlayListExtension);
    playlist.Included = false;
    playlist.CurIndex = 0;
    vPlayList.append(TFileList());
    vVisiblePlayListIndex = index;
    vFlags = efPlayListsChanged;
    return true;
}

bool TVorlane::RenamePlayList(int index, const QString &name)
{
    // The network playlist keeps its name: the account refers to it.
    if (index <= 0 || index >= PlayListCount())
        return false;
    if (!IsValidPlayListName(name) || findPlayList(name) >= 0)
        return false;
    const QString oldPath = playListPath(index);
    vPlayList[index].RootDir = name + QString::fromUtf16(kPlayListExtension);
    // The playlist is on disk under its new name, and the index names it, before the old file
    // goes: a crash in between never loses it.
    if (!vProgramDataDir.isEmpty()) {
        if (writeCatalogFile(playListPath(index), PlayListFileBytes(vPlayList.at(index))) &&
            writePlayListIndex(catalogPath(QStringLiteral("PL.txt")))) {
            QFile::remove(oldPath);
            vSavedFiles.remove(oldPath);
        }
    }
    vFlags = efPlayListsChanged;
    return true;
}

void TVorlane::DeletePlayList(int index)
{
    if (index <= 0 || index >= PlayListCount())
        return;
    const QString path = playListPath(index);
    vPlayList.removeAt(index);
    if (!vProgramDataDir.isEmpty()) {
        writePlayListIndex(catalogPath(QStringLiteral("PL.txt")));
        QFile::remove(path);
        vSavedFiles.remove(path);
    }
    // The current playlist entry stays with its list when an earlier playlist goes.
    if (vPlayListIndex == index) {
        vPlayListIndex = 0;
        vPlayListFileIndex = -1;
    } else if (vPlayListIndex > index) {
        --vPlayListIndex;
    }
    vVisiblePlayListIndex = std::min(vVisiblePlayListIndex, PlayListCount() - 1);
    if (vVisiblePlayListIndex < 0)
        vVisiblePlayListIndex = 0;
    vFlags = efPlayListsChanged;
}

void TVorlane::AddFileToPlayList(const QList<int> &indexes, int destPlayListIndex)
{
    EntryKind kind;
    if (!kindOfMode(vMode, kind) || destPlayListIndex < 0 || destPlayListIndex >= PlayListCount())
        return;
    const TFileList *source = visibleEntryList();
    if (!source)
        return;
    // Adding a playlist's entries to itself reads a copy, not the list being extended.
    const TFileList entries = *source;
    TFileList &dest = vPlayList[destPlayListIndex];
    for (int index : indexes) {
        if (index < 0 || index >= entries.Count())
            continue;
        const TFileName &entry = entries.At(index);
        dest.CurIndex = 0;
        // An entry whose title is already part of an entry's text is taken as already there; an
        // entry without a title is always added (the path rule still drops an exact duplicate).
        if (!entry.Title.isEmpty() && dest.Find(entry.Title, 1.0f))
            continue;
        dest.AddNewRecord(entry);
        vFlags = efAddedToPlaylist;
    }
}

void TVorlane::DeleteFileFromPlayList(const QList<int> &indexes)
{
    if (vMode != bmPlayListFiles)
        return;
    TFileList *playlist = visibleEntryList();
    if (!playlist)
        return;
    for (int index : indexes)
        playlist->ClearRecord(index);
    playlist->RefreshList();
    vFlags = efListChanged;
}

} // namespace vorlane

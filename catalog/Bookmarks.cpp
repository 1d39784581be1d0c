// Bookmark operations of the catalogue controller.

#include "catalog/Vorlane.h"

#include <QSet>

namespace vorlane {

namespace {

QString withoutTrailingSlash(const QString &path)
{
    return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

bool sameRoot(const QString &a, const QString &b)
{
    return withoutTrailingSlash(a) == withoutTrailingSlash(b);
}

} // namespace

bool TVorlane::currentBookmark(int position, const QString &bookmarkTime, TBookmark &b) const
{
    TFileName entry;
    QString root;
    switch (vMode) {
    case bmComputerFiles:
        if (vListIndex < 0 || vListIndex >= vList.size())
            return false;
        entry = vList.at(vListIndex).GetRecord(vFileIndex);
        root = vList.at(vListIndex).RootDir;
        break;
    case bmInternetFiles:
        if (vInetListIndex < 0 || vInetListIndex >= vInetList.size())
            return false;
        entry = vInetList.at(vInetListIndex).GetRecord(vInetFileIndex);
        root = vInetList.at(vInetListIndex).RootDir;
        break;
    case bmPlayListFiles:
        if (vPlayListIndex < 0 || vPlayListIndex >= PlayListCount())
            return false;
        entry = vPlayList.at(vPlayListIndex).GetRecord(vPlayListFileIndex);
        root = entry.DirName;
        break;
    default: return false;
    }
    if (entry.IsEmpty())
        return false;
    b.ListName = entry.DirName;
    b.FileName = entry.FileName;
    b.PlayPosition = position;
    b.Name = entry.Text() + u' ' + bookmarkTime + QStringLiteral("  ");
    b.RootDir = withoutTrailingSlash(root);
    return true;
}

bool TVorlane::AddBookmark(int position, const QString &bookmarkTime)
{
    TBookmark b;
    if (!currentBookmark(position, bookmarkTime, b))
        return false;
    vBookmark.append(b);
    vCurBookmarkListIndex = int(vBookmark.size()) - 1;
    vFlags = efBookmarksChanged;
    return true;
}

bool TVorlane::EditBookmark(int index, int position, const QString &bookmarkTime)
{
    if (index <= 0 || index >= vBookmarksIndexesList.size())
        return false;
    const int target = vBookmarksIndexesList.at(index);
    TBookmark b;
    if (target < 0 || target >= vBookmark.size() || !currentBookmark(position, bookmarkTime, b))
        return false;
    vBookmark[target] = b;
    vCurBookmarkName = b.Name;
    vCurBookmarkListIndex = index;
    vFlags = efBookmarksChanged;
    return true;
}

void TVorlane::DeleteBookmark(int index)
{
    if (index <= 0 || index >= vBookmarksIndexesList.size())
        return;
    const int target = vBookmarksIndexesList.at(index);
    if (target < 0 || target >= vBookmark.size())
        return;
    vBookmark.removeAt(target);
    // The map named the old positions; it is rebuilt when the list is read next.
    const int highest = int(vBookmarksIndexesList.size()) - 1;
    vBookmarksIndexesList.clear();
    if (index < highest)
        vCurBookmarkListIndex = index - 1;
    vFlags = efBookmarksChanged;
}

TListData TVorlane::BookmarksList()
{
    TListData result;
    vBookmarksIndexesList = {-1}; // line numbers are 1-based: element 0 carries no bookmark
    auto add = [&](int i) {
        result.List << vBookmark.at(i).Name;
        vBookmarksIndexesList << i;
    };
    switch (vMode) {
    case bmComputerFiles:
        if (vVisibleListIndex >= 0 && vVisibleListIndex < vList.size()) {
            const QString root = vList.at(vVisibleListIndex).RootDir;
            for (int i = 0; i < vBookmark.size(); ++i) {
                if (sameRoot(vBookmark.at(i).RootDir, root))
                    add(i);
            }
        }
        break;
    case bmInternetFiles:
        if (vInetList.size() >= 2 && vVisibleInetListIndex >= 0 &&
            vVisibleInetListIndex < vInetList.size()) {
            const QString root = vInetList.at(vVisibleInetListIndex).RootDir;
            for (int i = 0; i < vBookmark.size(); ++i) {
                if (sameRoot(vBookmark.at(i).RootDir, root))
                    add(i);
            }
        }
        break;
    case bmBookmarks:
        for (int i = 0; i < vBookmark.size(); ++i)
            add(i);
        break;
    case bmPlayListFiles:
        if (vVisiblePlayListIndex >= 0 && vVisiblePlayListIndex < PlayListCount()) {
            const TFileList &playlist = vPlayList.at(vVisiblePlayListIndex);
            QSet<QString> paths;
            for (int k = 0; k < playlist.Count(); ++k)
                paths.insert(playlist.At(k).DirName + u'\n' + playlist.At(k).FileName);
            for (int i = 0; i < vBookmark.size(); ++i) {
                const TBookmark &b = vBookmark.at(i);
                if (paths.contains(b.ListName + u'\n' + b.FileName))
                    add(i);
            }
        }
        break;
    default: break;
    }
    if (vMode == bmBookmarks)
        result.Index = vCurBookmarkListIndex;
    else
        result.Index = int(result.List.indexOf(vCurBookmarkName));
    if (result.Index == -1)
        result.Index = int(result.List.size()) - 1;
    if (result.Index == -1)
        result.Index = 0;
    return result;
}

int TVorlane::GotoBookmark(int index)
{
    if (index < 0 || index >= vBookmark.size())
        return -1;
    return gotoBookmark(vBookmark.at(index), false);
}

int TVorlane::GotoBookmarkFromList(int index)
{
    if (index == 0)
        return 0;
    if (index < 0 || index >= vBookmarksIndexesList.size())
        return -1;
    const int target = vBookmarksIndexesList.at(index);
    if (target < 0 || target >= vBookmark.size())
        return -1;
    const int position = gotoBookmark(vBookmark.at(target), true);
    vCurBookmarkListIndex = index;
    return position;
}

int TVorlane::gotoBookmark(const TBookmark &bookmark, bool fromList)
{
    // A copy: reading BookmarksList below rebuilds what the caller's reference points into.
    const TBookmark b = bookmark;
    vFlags = efGotoBookmark;
    vCurBookmarkName = b.Name;
    if (vMode == bmBookmarks) {
        if (!b.RootDir.contains(QLatin1String("http:"))) {
            vMode = bmComputerFiles;
        } else if (fromList || vInetEnabled) {
            if (vInetList.size() <= 1) {
                LoadInetLists();
                vCacheRefreshed = true;
            }
            vMode = bmInternetFiles;
        }
        BookmarksList();
        vFlags = efGotoBookmarkShow;
    }

    const QString path = b.ListName + b.FileName;
    auto findIn = [&](const TFileList &list) {
        for (int k = 0; k < list.Count(); ++k) {
            if (list.At(k).DirName + list.At(k).FileName == path)
                return k;
        }
        return -1;
    };
    switch (vMode) {
    case bmComputerFiles:
        for (int i = 0; i < vList.size(); ++i) {
            if (!sameRoot(vList.at(i).RootDir, b.RootDir))
                continue;
            const int k = findIn(vList.at(i));
            if (k < 0)
                continue;
            vListIndex = vVisibleListIndex = i;
            vFileIndex = k;
            vList[i].CurIndex = k;
            vLastCurrentKind = EntryKind::Folder;
            return b.PlayPosition;
        }
        break;
    case bmInternetFiles:
        for (int i = 0; i < vInetList.size(); ++i) {
            if (!sameRoot(vInetList.at(i).RootDir, b.RootDir))
                continue;
            const int k = findIn(vInetList.at(i));
            if (k < 0)
                continue;
            vInetListIndex = vVisibleInetListIndex = i;
            vInetFileIndex = k;
            vInetList[i].CurIndex = k;
            vLastCurrentKind = EntryKind::Internet;
            vFlags = efGotoBookmarkShow;
            return b.PlayPosition;
        }
        break;
    case bmPlayListFiles:
        if (!fromList)
            break;
        for (int i = 0; i < PlayListCount(); ++i) {
            const TFileList &playlist = vPlayList.at(i);
            for (int k = 0; k < playlist.Count(); ++k) {
                if (playlist.At(k).FileName != b.FileName || playlist.At(k).DirName != b.ListName)
                    continue;
                vPlayListIndex = vVisiblePlayListIndex = i;
                vPlayListFileIndex = k;
                vPlayList[i].CurIndex = k;
                vLastCurrentKind = EntryKind::PlayList;
                vFlags = efGotoBookmarkShow;
                return b.PlayPosition;
            }
        }
        break;
    default: break;
    }
    return -1;
}

} // namespace vorlane

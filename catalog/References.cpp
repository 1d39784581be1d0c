// References that follow renamed and moved files.

#include "catalog/References.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "catalog/CatalogFiles.h"
#include "catalog/Naming.h"
#include "catalog/Vorlane.h"

#include <QDir>
#include <QSet>

namespace vorlane {

namespace {

// Folder ("/a/b/", with its "/") and name of a full path.
std::pair<QString, QString> splitPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return {path.left(slash + 1), path.mid(slash + 1)};
}

QString withoutTrailingSlash(const QString &path)
{
    return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

// The list line rule: a line (or folder) holding "http" is a network entry.
bool isNetwork(const QString &text)
{
    return text.contains(QLatin1String("http"));
}

} // namespace

TPathChanges::TPathChanges(const QList<TPathChange> &changes)
{
    for (const TPathChange &c : changes) {
        if (c.From.isEmpty() || c.To.isEmpty() || c.From == c.To)
            continue;
        const auto again = vFromByTo.constFind(c.From);
        if (again != vFromByTo.constEnd()) {
            // The file that an earlier change put at c.From moves on.
            const QString key = again.value();
            vFromByTo.erase(again);
            TPathChange &first = vByFrom[key];
            first.To = c.To;
            if (!c.ToRoot.isEmpty())
                first.ToRoot = c.ToRoot;
            vFromByTo.insert(c.To, key);
            continue;
        }
        vByFrom.insert(c.From, c);
        vFromByTo.insert(c.To, c.From);
    }
}

const TPathChange *TPathChanges::Find(const QString &path) const
{
    const auto it = vByFrom.constFind(path);
    return it == vByFrom.constEnd() ? nullptr : &it.value();
}

bool FollowPathChanges(TFileList &list, const TPathChanges &changes)
{
    if (changes.IsEmpty())
        return false;
    bool changed = false;
    const int cursor = list.CurIndex;
    for (int k = 0; k < list.Count(); ++k) {
        const TFileName &entry = list.At(k);
        if (entry.IsEmpty() || entry.IsNetwork())
            continue;
        const TPathChange *c = changes.Find(entry.DirName + entry.FileName);
        if (!c)
            continue;
        const auto [dir, name] = splitPath(c->To);
        list.SetRecord(k, name, dir);
        changed = true;
    }
    list.CurIndex = cursor;
    return changed;
}

bool FollowPathChanges(QList<TBookmark> &bookmarks, const TPathChanges &changes)
{
    if (changes.IsEmpty())
        return false;
    bool changed = false;
    for (TBookmark &b : bookmarks) {
        if (b.FileName.isEmpty() || isNetwork(b.ListName))
            continue;
        const TPathChange *c = changes.Find(b.ListName + b.FileName);
        if (!c)
            continue;
        const auto [dir, name] = splitPath(c->To);
        // The shown name begins with the entry's title, which a local entry takes from its name.
        const QString oldTitle = NameWithoutExtension(b.FileName) + u' ';
        if (b.Name.startsWith(oldTitle))
            b.Name = NameWithoutExtension(name) + u' ' + b.Name.mid(oldTitle.size());
        if (b.RootDir == withoutTrailingSlash(b.ListName))
            b.RootDir = withoutTrailingSlash(dir);
        else if (!c->ToRoot.isEmpty() && !PathInsideFolder(c->To, b.RootDir))
            b.RootDir = c->ToRoot;
        b.ListName = dir;
        b.FileName = name;
        changed = true;
    }
    return changed;
}

bool FollowPathChanges(QStringList &entryLines, const TPathChanges &changes)
{
    if (changes.IsEmpty())
        return false;
    bool changed = false;
    for (QString &line : entryLines) {
        if (line.isEmpty() || isNetwork(line))
            continue;
        if (const TPathChange *c = changes.Find(line)) {
            line = c->To;
            changed = true;
        }
    }
    return changed;
}

// ---- The controller's side ----

void TVorlane::followPathChanges(const QList<TPathChange> &made)
{
    const TPathChanges changes(made);
    if (changes.IsEmpty())
        return;
    for (int i = 0; i < PlayListCount(); ++i)
        FollowPathChanges(vPlayList[i], changes);
    FollowPathChanges(vBookmark, changes);
    if (vProgramDataDir.isEmpty())
        return;

    QSet<QString> held;
    if (vCatalogLoaded) {
        if (!SaveCatalog())
            qWarning("vorlane: the catalogue files could not all be written");
        for (int i = 0; i < PlayListCount(); ++i)
            held.insert(PlayListFileName(vPlayList.at(i)));
    } else {
        // Nothing read yet (a tool that works on a folder alone): the saved bookmarks follow on
        // disk.
        const QString path = catalogPath(QStringLiteral("BK.txt"));
        QStringList lines;
        if (ReadTextLines(path, lines)) {
            QList<TBookmark> bookmarks = ParseBookmarkLines(lines);
            if (FollowPathChanges(bookmarks, changes))
                writeCatalogFile(path, EncodeTextLines(BookmarkLines(bookmarks)));
        }
    }
    // Playlist files the catalogue does not hold (all of them before it is read, and any the
    // index does not name) are fixed where they lie, line by line; their cursor line stays.
    const QDir folder(catalogPath(QStringLiteral("Playlists")));
    const QString pattern = u'*' + QString::fromUtf16(kPlayListExtension);
    for (const QString &name : folder.entryList({pattern}, QDir::Files)) {
        if (held.contains(name))
            continue;
        const QString path = folder.filePath(name);
        QStringList lines;
        if (!ReadTextLines(path, lines) || lines.isEmpty())
            continue;
        QStringList entries = lines.mid(1);
        if (!FollowPathChanges(entries, changes))
            continue;
        entries.prepend(lines.first());
        writeCatalogFile(path, EncodeTextLines(entries));
    }
}

} // namespace vorlane

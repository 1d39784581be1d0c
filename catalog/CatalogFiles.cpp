// The catalogue files: their line formats, fCheckPLFile, and the controller's Load and Save.

#include "catalog/CatalogFiles.h"
#include "base/FileReplacement.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"
#include "catalog/Vorlane.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringEncoder>

#include <algorithm>
#include <iterator>

namespace vorlane {

namespace {

// Whether a file holds exactly these bytes; read in blocks, so a long playlist is not copied
// whole into memory only to be compared.
bool FileHolds(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    constexpr qint64 kBlock = 256 * 1024;
    QByteArray block(kBlock, Qt::Uninitialized);
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 n = file.read(block.data(), std::min<qint64>(kBlock, bytes.size() - at));
        if (n <= 0 || QByteArrayView(block.constData(), n) != QByteArrayView(bytes).sliced(at, n))
            return false;
        at += n;
    }
    return file.atEnd();
}

// Whether UTF-8 bytes hold U+FFFD. Its first byte is rare in any text, and a byte is found by a
// search over blocks of bytes: much quicker over a long playlist than a search for all three.
bool HoldsReplacementCharacter(QByteArrayView bytes)
{
    for (qsizetype at = bytes.indexOf('\xEF'); at >= 0; at = bytes.indexOf('\xEF', at + 1)) {
        if (bytes.sliced(at).startsWith("\xEF\xBF\xBD"))
            return true;
    }
    return false;
}

int parseInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

// What makes two bookmarks the same when bookmarks are loaded.
struct BookmarkKey {
    QString ListName, FileName;
    int PlayPosition;
    bool operator==(const BookmarkKey &o) const
    {
        return PlayPosition == o.PlayPosition && FileName == o.FileName && ListName == o.ListName;
    }
};

size_t qHash(const BookmarkKey &k, size_t seed)
{
    return qHashMulti(seed, k.ListName, k.FileName, k.PlayPosition);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

bool ParseStoredBool(const QString &text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok);
    return ok ? value != 0 : fallback;
}

QList<TFolderListSetting> ParseFolderListLines(const QStringList &lines, bool &audioFilesOnly)
{
    QList<TFolderListSetting> settings;
    if (lines.isEmpty())
        return settings;
    audioFilesOnly = ParseStoredBool(lines.first(), audioFilesOnly);
    for (qsizetype i = 1; i + 3 <= lines.size(); i += 3) {
        TFolderListSetting s;
        // A group without a folder is kept: dropping it here would drop it from the next save.
        s.RootDir = lines.at(i);
        s.Included = ParseStoredBool(lines.at(i + 1), false);
        s.CurIndex = std::max(parseInt(lines.at(i + 2)), 0); // in memory only; never negative
        settings.append(s);
    }
    return settings;
}

QStringList FolderListLines(bool audioFilesOnly, const QList<TFileList> &lists)
{
    QStringList lines;
    lines.reserve(1 + 3 * lists.size());
    lines << (audioFilesOnly ? QStringLiteral("-1") : QStringLiteral("0"));
    for (const TFileList &list : lists)
        lines << list.RootDir << boolText(list.Included) << QString::number(list.CurIndex);
    return lines;
}

QList<TBookmark> ParseBookmarkLines(const QStringList &lines)
{
    QList<TBookmark> bookmarks;
    for (qsizetype i = 0; i + 5 <= lines.size(); i += 5) {
        TBookmark b;
        b.Name = lines.at(i);
        b.FileName = lines.at(i + 1);
        b.PlayPosition = parseInt(lines.at(i + 2));
        b.ListName = lines.at(i + 3);
        b.RootDir = lines.at(i + 4);
        bookmarks.append(b);
    }
    return bookmarks;
}

QStringList BookmarkLines(const QList<TBookmark> &bookmarks)
{
    QStringList lines;
    lines.reserve(5 * bookmarks.size());
    for (const TBookmark &b : bookmarks)
        lines << b.Name << b.FileName << QString::number(b.PlayPosition) << b.ListName << b.RootDir;
    return lines;
}

qsizetype LinesTextLength(const QStringList &lines)
{
    qsizetype length = 0;
    for (const QString &line : lines)
        length += line.size() + 2;
    return length;
}

QStringList PlayListFileLines(const TFileList &playlist)
{
    QStringList lines = playlist.GetStringList();
    lines.prepend(QString::number(playlist.CurIndex));
    return lines;
}

QByteArray PlayListFileBytes(const TFileList &playlist)
{
    const QString cursor = QString::number(playlist.CurIndex);
    // Room for every entry's title, network entry or not: what is not written is never touched.
    qsizetype units = cursor.size() + 2;
    for (int i = 0; i < playlist.Count(); ++i) {
        const TFileName &r = playlist.At(i);
        units += r.DirName.size() + r.FileName.size() + 3 + r.Title.size();
    }
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray bytes(utf8.requiredSpace(units), Qt::Uninitialized);
    char *out = bytes.data();
    auto endLine = [&out] {
        *out++ = '\r';
        *out++ = '\n';
    };
    out = utf8.appendToBuffer(out, cursor);
    endLine();
    // The list line of each record (TFileList::RecordToLine), encoded in place.
    for (int i = 0; i < playlist.Count(); ++i) {
        const TFileName &r = playlist.At(i);
        out = utf8.appendToBuffer(out, r.DirName);
        out = utf8.appendToBuffer(out, r.FileName);
        if (r.IsNetwork()) {
            *out++ = '?';
            out = utf8.appendToBuffer(out, r.Title);
        }
        endLine();
    }
    bytes.truncate(out - bytes.constData());
    // The encoder writes U+FFFD for a lone surrogate where QString::toUtf8 (which the other files
    // go through) writes "?": such a rare list takes the slow path, so a file is the same
    // whichever way it was made.
    if (HoldsReplacementCharacter(bytes))
        return EncodeTextLines(PlayListFileLines(playlist));
    return bytes;
}

QString PlayListFileName(const TFileList &playlist)
{
    return playlist.RootDir.mid(playlist.RootDir.lastIndexOf(u'/') + 1);
}

bool IsValidPlayListName(const QString &name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    // A lone surrogate would be written as another name than the one the index holds.
    if (!QStringView(name).isValidUtf16())
        return false;
    constexpr qsizetype kMaxFileNameBytes = 255;
    const qsizetype extension = std::size(kPlayListExtension) - 1;
    return name.toUtf8().size() + extension <= kMaxFileNameBytes;
}

bool IsPlayListFileName(const QString &line)
{
    const QString extension = QString::fromUtf16(kPlayListExtension);
    return line.endsWith(extension) && IsValidPlayListName(line.chopped(extension.size()));
}

QStringList PlayListFileNames(const QStringList &lines)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString &line : lines) {
        if (IsPlayListFileName(line) && !seen.contains(line)) {
            seen.insert(line);
            names.append(line);
        }
    }
    return names;
}

void LoadPlayListLines(QStringList &lines, TFileList &playlist)
{
    playlist.LoadListFromString(lines);
    playlist.CurIndex = EntryOfLine(playlist, lines, playlist.CurIndex);
}

int EntryOfLine(const TFileList &list, const QStringList &entryLines, int line)
{
    if (line < 0 || line >= entryLines.size())
        return line;
    for (qsizetype i = line; i < entryLines.size(); ++i) {
        TFileList one; // the record the line makes, by the list's own line rules
        one.AddListLine(entryLines.at(i));
        if (one.Count() == 0)
            continue;
        // The list keeps the first of equal records, in line order: the first match is the one.
        const TFileName &r = one.At(0);
        for (int k = 0; k < list.Count(); ++k) {
            if (list.At(k).FileName == r.FileName && list.At(k).DirName == r.DirName)
                return k;
        }
        return line;
    }
    return list.Count() > 0 ? list.Count() - 1 : line;
}

bool fCheckPLFile(const QString &programDataDir)
{
    const QString conf = programDataDir + QStringLiteral("VL4Conf/");
    const QString network = QString::fromUtf16(kNetworkPlayListFile);
    const QString listFile = conf + QStringLiteral("PL.txt");
    QStringList lines;
    const bool read = ReadTextLines(listFile, lines);
    // The network playlist goes first; a later line naming it again is dropped as a repeat.
    lines.prepend(network);
    const QStringList names = PlayListFileNames(lines);
    // Written back unless the file already holds exactly these bytes: the usual start then
    // costs no synchronised write.
    const QByteArray bytes = EncodeTextLines(names);
    bool same = false;
    if (read && QFileInfo(listFile).size() == bytes.size())
        same = FileHolds(listFile, bytes);
    bool ok = same || WriteTextLines(listFile, names);
    const QString networkFile = conf + QStringLiteral("Playlists/") + network;
    if (!QFileInfo::exists(networkFile))
        ok = WriteTextLines(networkFile, {QStringLiteral("0")}) && ok;
    return ok;
}

// ---- The controller's side ----

QString TVorlane::catalogPath(const QString &name) const
{
    return vProgramDataDir + QStringLiteral("VL4Conf/") + name;
}

QString TVorlane::playListPath(int index) const
{
    return catalogPath(QStringLiteral("Playlists/") + PlayListFileName(vPlayList.at(index)));
}

void TVorlane::Load(const QString &flFileName, const QString &bkFileName, const QString &plFileName)
{
    vSavedFiles.clear(); // what is on disk may differ from what was last written
    QStringList lines;
    ReadTextLines(flFileName, lines);
    const QList<TFolderListSetting> settings = ParseFolderListLines(lines, vAudioFilesOnly);
    vList.clear();
    for (const TFolderListSetting &s : settings) {
        TFileList list;
        list.RootDir = s.RootDir;
        list.Included = s.Included;
        list.CreateList(vAudioFilesOnly);
        list.CurIndex = s.CurIndex;
        vList.append(std::move(list));
    }

    ReadTextLines(bkFileName, lines);
    LoadBookmarks(-1, lines);

    ReadTextLines(plFileName, lines);
    vPlayList.clear();
    // Lines that name no playlist file (a damaged index) are left out: the catalogue never reads
    // or writes a file outside its Playlists folder, nor one for each line of junk.
    for (const QString &name : PlayListFileNames(lines)) {
        TFileList playlist;
        const QString path = catalogPath(QStringLiteral("Playlists/") + name);
        QStringList entries;
        if (ReadTextLines(path, entries))
            LoadPlayListLines(entries, playlist);
        playlist.RootDir = path; // a missing file: the playlist starts empty under its name
        playlist.CurIndex = std::max(playlist.CurIndex, 0);
        vPlayList.append(std::move(playlist));
    }
    vPlayList.append(TFileList()); // the spare slot
    if (PlayListCount() > 0)
        vPlayList[0].ClearList(); // the network playlist is rebuilt empty at every start
    vCatalogLoaded = true;
    vFlags = efRefreshView;
}

void TVorlane::LoadBookmarks(int startIndex, QStringList &lines)
{
    auto keyOf = [](const TBookmark &b) {
        return BookmarkKey{b.ListName, b.FileName, b.PlayPosition};
    };
    // How many held bookmarks carry each key, kept in step as bookmarks are stored and the array
    // is cut back, so each line group is checked in constant time.
    QHash<BookmarkKey, int> held;
    for (const TBookmark &b : std::as_const(vBookmark))
        ++held[keyOf(b)];
    auto release = [&](const TBookmark &b) {
        const auto it = held.find(keyOf(b));
        if (it != held.end() && --it.value() <= 0)
            held.erase(it);
    };

    qsizetype next = std::max(startIndex + 1, 0);
    for (const TBookmark &b : ParseBookmarkLines(lines)) {
        if (held.contains(keyOf(b)))
            continue;
        if (next < vBookmark.size()) {
            release(vBookmark.at(next));
            vBookmark[next] = b;
        } else {
            vBookmark.resize(next + 1);
            vBookmark[next] = b;
        }
        ++held[keyOf(b)];
        for (qsizetype i = next + 1; i < vBookmark.size(); ++i)
            release(vBookmark.at(i));
        vBookmark.resize(next + 1);
        ++next;
    }
    lines.clear();
}

bool TVorlane::writeCatalogFile(const QString &path, const QByteArray &bytes)
{
    // Every mode change saves the whole catalogue, and mostly nothing has changed since the last
    // save: a file whose bytes are the ones last written there, and that nobody has touched
    // since, is left as it is.
    const QFileInfo info(path);
    const auto saved = vSavedFiles.constFind(path);
    if (saved != vSavedFiles.constEnd() && saved->Bytes == bytes && info.isFile() &&
        info.size() == bytes.size() && info.lastModified() == saved->Modified)
        return true;
    vSavedFiles.remove(path);
    // Not known yet (the first save after loading): reading is much cheaper than replacing.
    if (info.isFile() && info.size() == bytes.size()) {
        if (FileHolds(path, bytes)) {
            vSavedFiles.insert(path, TSavedFile{bytes, info.lastModified()});
            return true;
        }
    }
    QDir().mkpath(info.absolutePath());
    if (!ReplaceFileWith(path, bytes))
        return false;
    vSavedFiles.insert(path, TSavedFile{bytes, QFileInfo(path).lastModified()});
    return true;
}

bool TVorlane::Save(const QString &flFileName, const QString &bkFileName, const QString &plFileName)
{
    bool ok = true;
    // A catalogue without folder lists (a start whose FL.txt could not be read) never replaces
    // the file.
    const QStringList folderLines = FolderListLines(vAudioFilesOnly, vList);
    if (LinesTextLength(folderLines) > kMinCatalogText)
        ok = writeCatalogFile(flFileName, EncodeTextLines(folderLines)) && ok;

    // With every bookmark deleted the file is emptied, or the deleted ones would come back.
    const QStringList bookmarkLines = BookmarkLines(vBookmark);
    if (vBookmark.isEmpty() || LinesTextLength(bookmarkLines) > kMinCatalogText)
        ok = writeCatalogFile(bkFileName, EncodeTextLines(bookmarkLines)) && ok;

    ok = writePlayListIndex(plFileName) && ok;
    for (int i = 0; i < PlayListCount(); ++i) {
        if (!IsPlayListFileName(PlayListFileName(vPlayList.at(i))))
            continue;
        ok = writeCatalogFile(playListPath(i), PlayListFileBytes(vPlayList.at(i))) && ok;
    }
    return ok;
}

bool TVorlane::writePlayListIndex(const QString &plFileName)
{
    QStringList names;
    names.reserve(PlayListCount());
    for (int i = 0; i < PlayListCount(); ++i)
        names << PlayListFileName(vPlayList.at(i));
    return writeCatalogFile(plFileName, EncodeTextLines(names));
}

bool TVorlane::SaveCatalog()
{
    if (vProgramDataDir.isEmpty() || !vCatalogLoaded)
        return false;
    return Save(catalogPath(QStringLiteral("FL.txt")), catalogPath(QStringLiteral("BK.txt")),
                catalogPath(QStringLiteral("PL.txt")));
}

void TVorlane::LoadCatalog()
{
    Load(catalogPath(QStringLiteral("FL.txt")), catalogPath(QStringLiteral("BK.txt")),
         catalogPath(QStringLiteral("PL.txt")));
}

} // namespace vorlane

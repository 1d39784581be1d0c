// The catalogue's list files (FL.txt, BK.txt, PL.txt, playlists) from any bytes: the bounded line
// reader, the line-group readers and the list line reader must take anything, and what they read
// must write back to what reads the same again.

#include "base/TextFile.h"
#include "catalog/CatalogFiles.h"
#include "catalog/FileOperations.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    if (!device.open(QIODevice::ReadOnly))
        std::abort();
    QStringList lines;
    ReadTextLines(device, lines);

    // BK.txt: bookmarks survive a write and a read.
    const QList<TBookmark> marks = ParseBookmarkLines(lines);
    if (marks.size() != lines.size() / 5)
        std::abort();
    const QList<TBookmark> again = ParseBookmarkLines(BookmarkLines(marks));
    if (again.size() != marks.size())
        std::abort();
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const TBookmark &a = marks.at(i);
        const TBookmark &b = again.at(i);
        if (a.Name != b.Name || a.FileName != b.FileName || a.PlayPosition != b.PlayPosition ||
            a.ListName != b.ListName || a.RootDir != b.RootDir)
            std::abort();
    }

    // FL.txt: the settings survive a write and a read.
    bool audioOnly = true;
    const QList<TFolderListSetting> settings = ParseFolderListLines(lines, audioOnly);
    QList<TFileList> lists;
    for (const TFolderListSetting &s : settings) {
        // A group with a blank folder is kept as read (a save writes it back); a cursor is never
        // negative in memory.
        if (s.CurIndex < 0)
            std::abort();
        TFileList list;
        list.RootDir = s.RootDir;
        list.Included = s.Included;
        list.CurIndex = s.CurIndex;
        lists.append(list);
    }
    bool audioAgain = !audioOnly;
    const QList<TFolderListSetting> settingsAgain =
        ParseFolderListLines(FolderListLines(audioOnly, lists), audioAgain);
    if (audioAgain != audioOnly || settingsAgain.size() != settings.size())
        std::abort();
    for (qsizetype i = 0; i < settings.size(); ++i) {
        if (settingsAgain.at(i).RootDir != settings.at(i).RootDir ||
            settingsAgain.at(i).Included != settings.at(i).Included ||
            settingsAgain.at(i).CurIndex != settings.at(i).CurIndex)
            std::abort();
    }

    // PL.txt: only playlist file names, each once, and they read back as they were written.
    const QStringList names = PlayListFileNames(lines);
    for (const QString &name : names) {
        if (!IsPlayListFileName(name) || names.count(name) != 1)
            std::abort();
    }
    QByteArray index = EncodeTextLines(names);
    QBuffer indexDevice(&index);
    QStringList indexAgain;
    if (!indexDevice.open(QIODevice::ReadOnly) || ReadTextLines(indexDevice, indexAgain) != 0 ||
        PlayListFileNames(indexAgain) != names)
        std::abort();

    // A playlist file: a cursor on one of its lines lands on an entry; its two encoders agree, and
    // the duplicate search takes it.
    QStringList playlistLines = lines;
    const int saved = lines.isEmpty() ? 0 : lines.first().trimmed().toInt();
    TFileList playlist;
    LoadPlayListLines(playlistLines, playlist);
    if (saved >= 0 && saved < playlistLines.size() && playlist.Count() > 0 &&
        (playlist.CurIndex < 0 || playlist.CurIndex >= playlist.Count()))
        std::abort();
    if (PlayListFileBytes(playlist) != EncodeTextLines(PlayListFileLines(playlist)))
        std::abort();
    if (FindDuplicates(playlist, playlist).Count() > playlist.Count())
        std::abort();
    return 0;
}

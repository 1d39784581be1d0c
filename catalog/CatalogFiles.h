#pragma once
// The catalogue's files under the data folder's VL4Conf folder, as lines of text (reading and
// writing the bytes is base/TextFile.h: UTF-8 without byte-order mark, CR LF, atomic).
//
//   FL.txt   folder lists: line 1 "-1" (audio files only) or "0"; then three lines per list:
//            its root folder, "True" or "False" (sub-folders included), its cursor.
//   BK.txt   bookmarks: five lines each: Name, FileName, PlayPosition, ListName, RootDir.
//   PL.txt   playlist index: one playlist file name per line, "MyNetwork.vl3u" first.
//   Playlists/<name>.vl3u   one playlist in the list line format (cursor line, then entries).
//
// Readers are total: they take whole line groups and ignore an incomplete last group; a line
// that should be a number and is not reads as 0; a damaged (over-long) line reads as an empty
// one, so a folder list whose root it was is left out and the groups after it keep their places.
// Pure functions, safe from any thread.

#include "base/FileList.h"
#include "catalog/CatalogTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vorlane {

inline constexpr char16_t kNetworkPlayListFile[] = u"MyNetwork.vl3u";
inline constexpr char16_t kPlayListExtension[] = u".vl3u";

// The stored settings of one folder list (its entries come from a scan of RootDir).
struct TFolderListSetting {
    QString RootDir;
    bool Included = false;
    int CurIndex = 0;
};

// A stored Boolean: "-1"/"0", "True"/"False" (any case) or any integer (non-zero is true).
// Anything else gives `fallback`.
bool ParseStoredBool(const QString &text, bool fallback);

// FL.txt. An empty file leaves audioFilesOnly unchanged and gives no lists. Every whole group is
// kept as read, one with an empty root folder (a list that scans nothing) included; a negative or
// unreadable cursor reads as 0.
QList<TFolderListSetting> ParseFolderListLines(const QStringList &lines, bool &audioFilesOnly);
QStringList FolderListLines(bool audioFilesOnly, const QList<TFileList> &lists);

// BK.txt.
QList<TBookmark> ParseBookmarkLines(const QStringList &lines);
QStringList BookmarkLines(const QList<TBookmark> &bookmarks);

// The characters a text of these lines takes in a file (each line plus CR LF): the catalogue
// writes FL.txt and BK.txt only when they hold more than kMinCatalogText.
qsizetype LinesTextLength(const QStringList &lines);
inline constexpr qsizetype kMinCatalogText = 10;

// A playlist file: its cursor line, then its entries.
QStringList PlayListFileLines(const TFileList &playlist);
// The same as the bytes of the file (UTF-8, CR LF), made without a list of lines in between.
QByteArray PlayListFileBytes(const TFileList &playlist);

// The file name of a playlist: the last path part of its RootDir ("Rock.vl3u").
QString PlayListFileName(const TFileList &playlist);

// A playlist name the catalogue can store as a file: not empty or blank, not "." or "..", without
// folder separators, control characters or broken UTF-16, and short enough for a file name
// (255 bytes with its extension).
bool IsValidPlayListName(const QString &name);
// A line of PL.txt that names a playlist file: a valid playlist name followed by ".vl3u"
// (exactly). Any other line (damaged, hand-made) names nothing and creates nothing.
bool IsPlayListFileName(const QString &line);
// The playlist files PL.txt lines name, in order, each once.
QStringList PlayListFileNames(const QStringList &lines);

// Fills an empty playlist from the lines of its file (cursor line first), as
// TFileList::LoadListFromString does; the lines left are the entry lines. The saved cursor is
// the number of an entry line: it moves to the entry that line became (EntryOfLine).
void LoadPlayListLines(QStringList &lines, TFileList &playlist);
// Which entry of a list read from entryLines line `line` became: its own, or for a line that
// repeats an earlier one (dropped as a duplicate) that earlier line's; for a line that made none
// (blank or damaged), the next line's, or the last entry when none follows. `line` itself when
// it is not one of the lines.
int EntryOfLine(const TFileList &list, const QStringList &entryLines, int line);

// Prepares the playlist index at start-up, before the catalogue is loaded: PL.txt gets
// "MyNetwork.vl3u" as its first line (an empty or missing index gets just that line) and keeps
// only the lines that name playlist files, each once; a missing Playlists/MyNetwork.vl3u is
// created holding "0". programDataDir ends in "/".
// False when a file could not be written.
bool fCheckPLFile(const QString &programDataDir);

} // namespace vorlane

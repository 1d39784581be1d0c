#include "catalog/CatalogFiles.h"
#include "base/Codepage.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "catalog/Vorlane.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

// A data folder with VL4Conf and two music folders:
//   "rock": a.mp3 b.mp3 c.mp3     "jazz": one.mp3 two.mp3
class CatalogFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        for (const char *f :
             {"rock/a.mp3", "rock/b.mp3", "rock/c.mp3", "jazz/one.mp3", "jazz/two.mp3"})
            ASSERT_TRUE(test::WriteFile(dir.filePath(f), "x"));
        data = dir.path() + '/';
        conf = data + "VL4Conf/";
    }

    // Writes bytes as an older install left them.
    void raw(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(test::WriteFile(conf + name, bytes));
    }
    QStringList lines(const QString &name)
    {
        QStringList l;
        ReadTextLines(conf + name, l);
        return l;
    }
    void load(TVorlane &c)
    {
        c.SetProgramDataDir(data);
        c.LoadCatalog();
    }

    QTemporaryDir dir;
    QString data;
    QString conf;
};

} // namespace

TEST(CatalogFormats, StoredBooleansAndLineGroups)
{
    EXPECT_TRUE(ParseStoredBool("-1", false));
    EXPECT_FALSE(ParseStoredBool("0", true));
    EXPECT_TRUE(ParseStoredBool("True", false));
    EXPECT_FALSE(ParseStoredBool("FALSE", true));
    EXPECT_TRUE(ParseStoredBool("7", false));
    EXPECT_TRUE(ParseStoredBool("maybe", true));
    EXPECT_FALSE(ParseStoredBool("", false));

    bool audio = true;
    // Whole groups only; a group without a folder is kept; a bad cursor reads as 0.
    const QList<TFolderListSetting> lists = ParseFolderListLines(
        {"0", "/m/a", "True", "4", "", "False", "1", "/m/b", "x", "-3", "/m/c", "True"}, audio);
    EXPECT_FALSE(audio);
    ASSERT_EQ(lists.size(), 3);
    EXPECT_EQ(lists[0].RootDir, "/m/a");
    EXPECT_TRUE(lists[0].Included);
    EXPECT_EQ(lists[0].CurIndex, 4);
    EXPECT_TRUE(lists[1].RootDir.isEmpty());
    EXPECT_EQ(lists[1].CurIndex, 1);
    EXPECT_FALSE(lists[2].Included);
    EXPECT_EQ(lists[2].CurIndex, 0);

    const QList<TBookmark> marks =
        ParseBookmarkLines({"N", "f.mp3", "12x", "/d/", "/d", "M", "g.mp3", "5"});
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].PlayPosition, 0);
    EXPECT_EQ(BookmarkLines(marks), QStringList({"N", "f.mp3", "0", "/d/", "/d"}));

    EXPECT_TRUE(IsValidPlayListName("Rock & Roll"));
    for (const char *bad : {"", " ", ".", "..", "a/b", "a\\b", "../x"})
        EXPECT_FALSE(IsValidPlayListName(QString::fromUtf8(bad))) << bad;
}

TEST(CatalogFormats, WhatAnIndexLineMustBeToNameAPlaylistFile)
{
    const QStringList good = {"Rock.vl3u", "Любимое.vl3u", "a.b.vl3u", QString(250, 'x') + ".vl3u"};
    for (const QString &line : good)
        EXPECT_TRUE(IsPlayListFileName(line)) << line.toStdString();
    const QStringList bad = {"Rock",
                             "Rock.VL3U",
                             "Rock.vl3u ",
                             ".vl3u",
                             " .vl3u",
                             "..vl3u",
                             "...vl3u",
                             "a/b.vl3u",
                             "a\\b.vl3u",
                             "a\tb.vl3u",
                             "a\x7f.vl3u",
                             QString::fromUtf16(u"a\u0085.vl3u"),

                             "a" + QString(QChar(0xD800)) + ".vl3u",
                             QString(251, 'x') + ".vl3u"};
    for (const QString &line : bad)
        EXPECT_FALSE(IsPlayListFileName(line)) << line.toStdString();
}

TEST(CatalogFormats, APlaylistCursorStaysOnItsEntryWhenRepeatsAreDropped)
{
    // Entry lines: a, b, a again, blank, c. A cursor on a line that is no entry of its own goes
    // to the entry the line repeats, or to the next one; one on no line stays as it was.
    const int cases[][2] = {{0, 0}, {1, 1}, {2, 0}, {3, 2}, {4, 2}, {9, 9}, {-1, -1}};
    for (const auto &[saved, entry] : cases) {
        QStringList lines = {QString::number(saved),
                             "http://h/a.mp3?A",
                             "http://h/b.mp3?B",
                             "http://h/a.mp3?A again",
                             "",
                             "http://h/c.mp3?C"};
        TFileList playlist;
        LoadPlayListLines(lines, playlist);
        EXPECT_EQ(playlist.Count(), 3);
        EXPECT_EQ(playlist.CurIndex, entry) << saved;
    }
}

TEST_F(CatalogFiles, CheckPLFilePutsTheNetworkPlaylistFirst)
{
    raw("PL.txt", "Rock.vl3u\r\nJazz.vl3u\r\n");
    ASSERT_TRUE(fCheckPLFile(data));
    EXPECT_EQ(lines("PL.txt"), QStringList({"MyNetwork.vl3u", "Rock.vl3u", "Jazz.vl3u"}));
    EXPECT_EQ(test::ReadFile(conf + "Playlists/MyNetwork.vl3u"), "0\r\n");

    // An index that is right stays as it is; an existing network playlist is not replaced.
    raw("Playlists/MyNetwork.vl3u", "0\r\nhttp://h/a.mp3?A\r\n");
    ASSERT_TRUE(fCheckPLFile(data));
    EXPECT_EQ(lines("PL.txt"), QStringList({"MyNetwork.vl3u", "Rock.vl3u", "Jazz.vl3u"}));
    EXPECT_EQ(test::ReadFile(conf + "Playlists/MyNetwork.vl3u"), "0\r\nhttp://h/a.mp3?A\r\n");

    QFile::remove(conf + "PL.txt"); // missing: just the network playlist
    ASSERT_TRUE(fCheckPLFile(data));
    EXPECT_EQ(test::ReadFile(conf + "PL.txt"), "MyNetwork.vl3u\r\n");

    // The right lines in another form (bare LF, no final line end) are still written back in
    // the program's own.
    raw("PL.txt", "MyNetwork.vl3u\nRock.vl3u");
    ASSERT_TRUE(fCheckPLFile(data));
    EXPECT_EQ(test::ReadFile(conf + "PL.txt"), "MyNetwork.vl3u\r\nRock.vl3u\r\n");
}

TEST_F(CatalogFiles, SaveThenLoadGivesTheSameCatalogue)
{
    TVorlane c;
    load(c); // nothing there yet
    c.SetMode(bmComputerFiles);
    c.AddList(dir.filePath("rock"), false, false);
    c.AddList(dir.filePath("jazz"), true, false);
    c.AlphabetSorting(false);
    c.SetFileIndex(1); // jazz, second entry
    c.AddBookmark(4410, "00:01");
    ASSERT_TRUE(c.AddPlayList("MyNetwork"));
    ASSERT_TRUE(c.AddPlayList("Любимое"));
    c.AddFileToPlayList({0, 1}, 1);
    c.OpenExtFileList("http://h/x%20y.mp3\n", true);
    c.AddFileToPlayList({0}, 1);
    c.SetMode(bmComputerLists); // a mode change saves

    EXPECT_EQ(lines("PL.txt"), QStringList({"MyNetwork.vl3u", "Любимое.vl3u"}));
    EXPECT_EQ(lines("FL.txt").mid(0, 4), QStringList({"-1", dir.filePath("rock"), "False", "0"}));
    const QByteArray playlist = test::ReadFile(conf + "Playlists/Любимое.vl3u");
    EXPECT_EQ(playlist, ("2\r\n" + dir.filePath("jazz") + "/one.mp3\r\n" + dir.filePath("jazz") +
                         "/two.mp3\r\nhttp://h/x%20y.mp3?x y.mp3\r\n")
                            .toUtf8());

    TVorlane d;
    load(d);
    EXPECT_EQ(d.Flags(), efRefreshView);
    EXPECT_TRUE(d.AudioFilesOnly());
    ASSERT_EQ(d.FolderListCount(), 2);
    EXPECT_TRUE(d.FolderList(1).Included);
    EXPECT_EQ(d.FolderList(1).CurIndex, 1);
    EXPECT_EQ(d.FolderList(1).Count(), 2);
    ASSERT_EQ(d.PlayListCount(), 2);
    EXPECT_EQ(d.PlaylistList(), QStringList({"MyNetwork", "Любимое"}));
    EXPECT_EQ(d.PlayList(1).Count(), 3);
    EXPECT_EQ(d.PlayList(1).CurIndex, 2);
    EXPECT_EQ(d.PlayList(1).At(2).Title, "x y.mp3");
    // The empty bookmark of a fresh start was saved and is skipped as a duplicate on loading.
    ASSERT_EQ(d.Bookmarks().size(), 1);
    EXPECT_EQ(d.Bookmarks()[0].PlayPosition, 4410);
    EXPECT_EQ(d.Bookmarks()[0].RootDir, dir.filePath("jazz"));
    EXPECT_EQ(d.Bookmarks()[0].Name, "two 00:01  ");
}

TEST_F(CatalogFiles, TheNetworkPlaylistStartsEmpty)
{
    raw("PL.txt", "MyNetwork.vl3u\r\nRock.vl3u\r\n");
    raw("Playlists/MyNetwork.vl3u", "0\r\nhttp://h/a.mp3?A\r\n");
    raw("Playlists/Rock.vl3u", "0\r\nhttp://h/b.mp3?B\r\n");
    TVorlane c;
    load(c);
    ASSERT_EQ(c.PlayListCount(), 2);
    EXPECT_EQ(c.PlayList(0).Count(), 0);
    EXPECT_EQ(c.PlayList(1).Count(), 1);
}

TEST_F(CatalogFiles, FilesOfOlderInstallsInTheLegacyCodePage)
{
    ASSERT_TRUE(SetLegacyCodePage("windows-1251"));
    ASSERT_TRUE(test::WriteFile(dir.filePath("Музыка/песня.mp3"), "x"));
    const QString folder = dir.filePath("Музыка");
    raw("FL.txt", EncodeLegacy("True\r\n" + folder + "\r\nFalse\r\n0\r\n"));
    raw("BK.txt", EncodeLegacy("песня 01:02  \r\nпесня.mp3\r\n1234\r\n" + folder + "/\r\n" +
                               folder + "\r\n"));
    raw("PL.txt", EncodeLegacy("MyNetwork.vl3u\r\nСборник.vl3u\r\n"));
    raw("Playlists/Сборник.vl3u", EncodeLegacy("0\r\n" + folder + "/песня.mp3\r\n"));
    TVorlane c;
    load(c);
    SetLegacyCodePage(QString());

    ASSERT_EQ(c.FolderListCount(), 1);
    EXPECT_EQ(c.FolderList(0).RootDir, folder);
    EXPECT_EQ(c.FolderList(0).Count(), 1);
    ASSERT_EQ(c.Bookmarks().size(), 1);
    EXPECT_EQ(c.Bookmarks()[0].Name, "песня 01:02  ");
    EXPECT_EQ(c.Bookmarks()[0].PlayPosition, 1234);
    EXPECT_EQ(c.PlaylistList(), QStringList({"MyNetwork", "Сборник"}));
    EXPECT_EQ(c.PlayList(1).At(0).FileName, "песня.mp3");

    // Written back in UTF-8 without a byte-order mark.
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_EQ(test::ReadFile(conf + "FL.txt"), ("-1\r\n" + folder + "\r\nFalse\r\n0\r\n").toUtf8());
    EXPECT_EQ(test::ReadFile(conf + "PL.txt"), "MyNetwork.vl3u\r\nСборник.vl3u\r\n");
}

TEST_F(CatalogFiles, MissingAndDamagedFilesGiveAnOrderlyStart)
{
    TVorlane empty;
    load(empty); // no files at all
    EXPECT_EQ(empty.FolderListCount(), 0);
    EXPECT_EQ(empty.PlayListCount(), 0);
    EXPECT_EQ(empty.Bookmarks().size(), 1);
    empty.SetMode(bmComputerFiles);
    EXPECT_EQ(empty.List().List.size(), 1); // the header alone

    // A torn FL.txt and BK.txt: the incomplete last group is ignored; a position that is not a
    // number reads as 0; a group equal to one already held is skipped; binary junk is text.
    raw("FL.txt", "-1\r\n" + dir.filePath("rock").toUtf8() + "\r\nFalse\r\n9\r\n" +
                      dir.filePath("jazz").toUtf8() + "\r\nTrue\r\n");
    raw("BK.txt", QByteArray("a 00:01  \r\na.mp3\r\n10\r\n/r/\r\n/r\r\n") +
                      "dup\r\na.mp3\r\n10\r\n/r/\r\n/r\r\n" + "b\r\nb.mp3\r\nzz\r\n/r/\r\n/r\r\n" +
                      QByteArray("\xff\xfe\x00junk\r\nc.mp3\r\n", 16));
    raw("PL.txt", "MyNetwork.vl3u\r\nGone.vl3u\r\n../../escape.vl3u\r\n\r\nGone.vl3u\r\n");
    TVorlane c;
    load(c);
    ASSERT_EQ(c.FolderListCount(), 1);
    EXPECT_EQ(c.FolderList(0).CurIndex, 9); // kept: the browse list's rule handles the range
    ASSERT_EQ(c.Bookmarks().size(), 2);
    EXPECT_EQ(c.Bookmarks()[0].Name, "a 00:01  ");
    EXPECT_EQ(c.Bookmarks()[1].PlayPosition, 0);
    // A playlist whose file is missing starts empty under its name; unsafe or repeated names of
    // a damaged index are left out.
    EXPECT_EQ(c.PlaylistList(), QStringList({"MyNetwork", "Gone"}));
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_EQ(lines("PL.txt"), QStringList({"MyNetwork.vl3u", "Gone.vl3u"}));
    EXPECT_TRUE(QFileInfo::exists(conf + "Playlists/Gone.vl3u"));
    EXPECT_FALSE(QFileInfo::exists(data + "escape.vl3u"));
}

TEST_F(CatalogFiles, JunkInTheIndexCreatesNoPlaylistFiles)
{
    QByteArray junk; // bytes of a damaged disk: many lines, none a playlist file name
    for (quint32 x = 7; junk.size() < 8192;) {
        x = x * 1103515245u + 12345u;
        junk += char(x >> 16);
    }
    raw("PL.txt", "Rock.vl3u\r\n" + junk + "\r\nRock\r\nRock.vl3u\r\nJazz.vl3u\r\n");
    ASSERT_TRUE(fCheckPLFile(data));
    EXPECT_EQ(lines("PL.txt"), QStringList({"MyNetwork.vl3u", "Rock.vl3u", "Jazz.vl3u"}));
    TVorlane c;
    load(c);
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_EQ(QDir(conf + "Playlists").entryList(QDir::Files),
              QStringList({"Jazz.vl3u", "MyNetwork.vl3u", "Rock.vl3u"}));
}

TEST_F(CatalogFiles, OverLongLinesAreSkippedAndTheLinesAroundThemKept)
{
    const QByteArray damaged(1024 * 1024, 'x');
    const QByteArray rock = dir.filePath("rock").toUtf8();
    const QByteArray jazz = dir.filePath("jazz").toUtf8();
    raw("FL.txt", "-1\r\n" + rock + "\r\nFalse\r\n1\r\n" + damaged + "\r\nTrue\r\n0\r\n" + jazz +
                      "\r\nFalse\r\n1\r\n");
    raw("PL.txt", "MyNetwork.vl3u\r\n" + damaged + ".vl3u\r\nMix.vl3u\r\n");
    // The saved cursor names the fourth entry line: b, behind a damaged line and a repeat.
    raw("Playlists/Mix.vl3u",
        "3\r\nhttp://h/a.mp3?A\r\n" + damaged + "\r\nhttp://h/a.mp3?A\r\nhttp://h/b.mp3?B\r\n");
    TVorlane c;
    load(c);
    // The damaged folder line reads as an empty one: its group stays, scanning nothing.
    ASSERT_EQ(c.FolderListCount(), 3);
    EXPECT_EQ(c.FolderList(0).CurIndex, 1);
    EXPECT_TRUE(c.FolderList(1).RootDir.isEmpty());
    EXPECT_EQ(c.FolderList(1).Count(), 0);
    EXPECT_EQ(c.FolderList(2).RootDir, jazz);
    EXPECT_EQ(c.FolderList(2).CurIndex, 1);
    EXPECT_EQ(c.PlaylistList(), QStringList({"MyNetwork", "Mix"}));
    ASSERT_EQ(c.PlayList(1).Count(), 2);
    EXPECT_EQ(c.PlayList(1).At(c.PlayList(1).CurIndex).FileName, "b.mp3");
}

TEST_F(CatalogFiles, SaveRulesForEmptyParts)
{
    raw("FL.txt", "-1\r\n/old/list\r\nFalse\r\n0\r\n");
    raw("BK.txt", "old\r\nold.mp3\r\n1\r\n/o/\r\n/o\r\n");
    TVorlane c;
    c.SetProgramDataDir(data);
    // Mode changes before the catalogue was read leave the files alone.
    c.SetMode(bmComputerLists);
    EXPECT_FALSE(c.SaveCatalog());
    EXPECT_EQ(test::ReadFile(conf + "BK.txt"), "old\r\nold.mp3\r\n1\r\n/o/\r\n/o\r\n");
    // No folder lists: FL.txt stays. The single empty bookmark is 11 characters: written.
    ASSERT_TRUE(c.Save(conf + "FL.txt", conf + "BK.txt", conf + "PL.txt"));
    EXPECT_EQ(test::ReadFile(conf + "FL.txt"), "-1\r\n/old/list\r\nFalse\r\n0\r\n");
    EXPECT_EQ(test::ReadFile(conf + "BK.txt"), "\r\n\r\n0\r\n\r\n\r\n");
    EXPECT_EQ(test::ReadFile(conf + "PL.txt"), "");

    // Every bookmark deleted: the file is emptied, so they do not come back at the next start.
    c.LoadCatalog();
    c.SetMode(bmBookmarks);
    c.BookmarksList();
    c.DeleteBookmark(1);
    ASSERT_TRUE(c.Bookmarks().isEmpty());
    c.SetMode(bmRoot);
    EXPECT_EQ(test::ReadFile(conf + "BK.txt"), "");

    // A group without a folder, or with a negative cursor, is not dropped by a save.
    raw("FL.txt", "-1\r\n\r\nFalse\r\n2\r\n/old/list\r\nFalse\r\n-4\r\n");
    TVorlane d;
    load(d);
    ASSERT_TRUE(d.SaveCatalog());
    EXPECT_EQ(lines("FL.txt"), QStringList({"-1", "", "False", "2", "/old/list", "False", "0"}));
}

TEST_F(CatalogFiles, AFailedWriteKeepsTheOldFilesAndIsReported)
{
    TVorlane c;
    load(c);
    c.SetMode(bmComputerFiles);
    c.AddList(dir.filePath("rock"), false, false);
    ASSERT_TRUE(c.AddPlayList("MyNetwork"));
    ASSERT_TRUE(c.AddPlayList("Rock"));
    ASSERT_TRUE(c.SaveCatalog());
    const QByteArray fl = test::ReadFile(conf + "FL.txt");

    // A copy that a killed save left behind goes with the next save of its file.
    const QString stale = conf + ".FL.txt.vl-Ab12Cd";
    ASSERT_TRUE(test::WriteFile(stale, "half"));
    ASSERT_TRUE(test::AgeFile(stale, 120));
    // The playlist folder becomes a file: no playlist can be written.
    ASSERT_TRUE(QDir(conf + "Playlists").removeRecursively());
    ASSERT_TRUE(test::WriteFile(conf + "Playlists", "not a folder"));
    c.AddList(dir.filePath("jazz"), false, false);
    EXPECT_FALSE(c.SaveCatalog());
    EXPECT_NE(test::ReadFile(conf + "FL.txt"), fl); // the other files were still written
    EXPECT_EQ(test::ReadFile(conf + "Playlists"), "not a folder");
    // Nothing half-written is left behind, nor what the killed save left.
    EXPECT_EQ(QDir(conf).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"BK.txt", "FL.txt", "PL.txt", "Playlists"}));
}

TEST(LoadBookmarks, AfterAStartIndexSkippingHeldOnes)
{
    TVorlane c;
    QStringList lines = {"A", "a.mp3", "1", "/m/", "/m", "B", "b.mp3", "2", "/m/", "/m"};
    c.LoadBookmarks(-1, lines); // replaces the empty bookmark of a fresh start
    EXPECT_TRUE(lines.isEmpty());
    ASSERT_EQ(c.Bookmarks().size(), 2);
    EXPECT_EQ(c.Bookmarks()[0].Name, "A");

    // The account's bookmarks go after the local ones; one the user has already is skipped.
    lines = {"C", "c.mp3", "3", "http://h/", "http://h", "A again", "a.mp3", "1", "/m/", "/m"};
    c.LoadBookmarks(1, lines);
    ASSERT_EQ(c.Bookmarks().size(), 3);
    EXPECT_EQ(c.Bookmarks()[2].Name, "C");

    // Stored from index 0 on: the array ends after the last bookmark stored.
    lines = {"D", "d.mp3", "4", "/m/", "/m"};
    c.LoadBookmarks(-1, lines);
    ASSERT_EQ(c.Bookmarks().size(), 1);
    EXPECT_EQ(c.Bookmarks()[0].Name, "D");
}

TEST_F(CatalogFiles, UnchangedFilesAreLeftAloneChangedOnesRewritten)
{
    TVorlane c;
    load(c);
    ASSERT_TRUE(c.AddPlayList("MyNetwork"));
    ASSERT_TRUE(c.AddPlayList("Mix"));
    c.OpenExtFileList("http://h/a.mp3\nhttp://h/Я.mp3\n", true);
    c.AddFileToPlayList({0, 1}, 1);
    EXPECT_EQ(PlayListFileBytes(c.PlayList(1)), EncodeTextLines(PlayListFileLines(c.PlayList(1))));
    TFileList odd; // a name with a lone surrogate (from a damaged UTF-16 file) encodes alike
    odd.AddNewRecord(QString("a") + QChar(0xDA0A) + "b.mp3", "http://h/", "t");
    EXPECT_EQ(PlayListFileBytes(odd), EncodeTextLines(PlayListFileLines(odd)));
    ASSERT_TRUE(c.SaveCatalog());
    const QString mix = conf + "Playlists/Mix.vl3u";

    // Someone else changes the file: the next save puts the catalogue's content back.
    ASSERT_TRUE(test::WriteFile(mix, "0\r\nhttp://h/other.mp3?x\r\n"));
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_EQ(test::ReadFile(mix), EncodeTextLines(PlayListFileLines(c.PlayList(1))));
    ASSERT_TRUE(QFile::remove(mix));
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_TRUE(QFileInfo::exists(mix));

    // A change in the catalogue is written; the unchanged network playlist keeps its file.
    const QDateTime network = QFileInfo(conf + "Playlists/MyNetwork.vl3u").lastModified();
    c.SetMode(bmPlayLists);
    c.SetVisibleListIndex(1);
    c.SetMode(bmPlayListFiles);
    c.SetFileIndex(0);
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_TRUE(test::ReadFile(mix).startsWith("0\r\n"));
    c.SetFileIndex(1);
    ASSERT_TRUE(c.SaveCatalog());
    EXPECT_TRUE(test::ReadFile(mix).startsWith("1\r\n"));
    EXPECT_EQ(QFileInfo(conf + "Playlists/MyNetwork.vl3u").lastModified(), network);
}

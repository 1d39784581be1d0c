#include "base/Messages.h"
#include "base/TextFile.h"
#include "catalog/References.h"
#include "catalog/Vorlane.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

// Two folder lists in natural order ("rock": a b c, "jazz": one two) and the network playlist.
class Lists : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        for (const char *f :
             {"rock/a.mp3", "rock/b.mp3", "rock/c.mp3", "jazz/one.mp3", "jazz/two.mp3"})
            ASSERT_TRUE(test::WriteFile(dir.filePath(f), "x"));
        c.SetProgramDataDir(dir.path());
        c.LoadCatalog(); // nothing on disk yet: mode changes save from now on
        c.SetMode(bmComputerFiles);
        for (const char *name : {"rock", "jazz"}) {
            c.AddList(dir.filePath(name), false, false);
            c.AlphabetSorting(false);
        }
        ASSERT_TRUE(c.AddPlayList("MyNetwork"));
        c.Flags();
    }
    void showFolder(int index)
    {
        c.SetMode(bmComputerLists);
        c.SetVisibleListIndex(index);
        c.SetMode(bmComputerFiles);
    }
    void showPlayList(int index)
    {
        c.SetMode(bmPlayLists);
        c.SetVisibleListIndex(index);
        c.SetMode(bmPlayListFiles);
    }
    QString playlistFile(const QString &name) const
    {
        return dir.filePath("VL4Conf/Playlists/" + name + ".vl3u");
    }

    QTemporaryDir dir;
    TVorlane c;
};

} // namespace

TEST_F(Lists, AddRenameAndDeletePlaylists)
{
    EXPECT_TRUE(c.AddPlayList("Rock"));
    EXPECT_EQ(c.Flags(), efPlayListsChanged);
    EXPECT_EQ(c.PlayListCount(), 2);
    c.SetMode(bmPlayLists);
    EXPECT_EQ(c.VisibleListIndex(), 1);
    c.Flags();
    EXPECT_FALSE(c.AddPlayList("Rock")); // a name clash changes nothing
    EXPECT_FALSE(c.AddPlayList("a/b"));  // not a file name
    EXPECT_EQ(c.Flags(), efNone);
    EXPECT_EQ(c.PlayListCount(), 2);

    c.SetMode(bmRoot); // saved
    ASSERT_TRUE(QFileInfo::exists(playlistFile("Rock")));
    // Renaming to its own (or another playlist's) name is refused before anything is deleted.
    EXPECT_FALSE(c.RenamePlayList(1, "Rock"));
    EXPECT_FALSE(c.RenamePlayList(1, "MyNetwork"));
    EXPECT_TRUE(QFileInfo::exists(playlistFile("Rock")));
    EXPECT_FALSE(c.RenamePlayList(0, "Other")); // the network playlist keeps its name
    EXPECT_FALSE(c.RenamePlayList(-1, "Other"));

    EXPECT_TRUE(c.RenamePlayList(1, "Classics"));
    EXPECT_EQ(c.Flags(), efPlayListsChanged);
    EXPECT_EQ(c.PlaylistList(), QStringList({"MyNetwork", "Classics"}));
    EXPECT_FALSE(QFileInfo::exists(playlistFile("Rock")));
    EXPECT_TRUE(QFileInfo::exists(playlistFile("Classics")));
    QStringList index;
    ReadTextLines(dir.filePath("VL4Conf/PL.txt"), index);
    EXPECT_EQ(index, QStringList({"MyNetwork.vl3u", "Classics.vl3u"}));

    c.DeletePlayList(0); // stays
    EXPECT_EQ(c.Flags(), efNone);
    c.DeletePlayList(1);
    EXPECT_EQ(c.Flags(), efPlayListsChanged);
    EXPECT_EQ(c.PlayListCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(playlistFile("Classics")));
    c.DeletePlayList(1); // out of range
    EXPECT_EQ(c.PlayListCount(), 1);
}

TEST_F(Lists, AddingToAPlaylistSkipsTitlesAlreadyThere)
{
    ASSERT_TRUE(c.AddPlayList("Mix"));
    showFolder(0);
    c.AddFileToPlayList({0, 2}, 1); // a, c
    EXPECT_EQ(c.Flags(), efAddedToPlaylist);
    EXPECT_EQ(c.PlayList(1).Count(), 2);
    c.AddFileToPlayList({0}, 1); // "a" is there already
    EXPECT_EQ(c.Flags(), efNone);

    // A title contained in an entry's text counts as there.
    c.OpenExtFileList("http://h/one.mp3\nhttp://h/2.mp3\n", true);
    ASSERT_TRUE(c.AddPlayList("Net"));
    c.SetMode(bmInternetSearch);
    c.AddFileToPlayList({0}, 2);
    EXPECT_EQ(c.PlayList(2).Count(), 1);
    showFolder(1);
    c.AddFileToPlayList({0}, 2); // title "one" is part of "one.mp3"
    EXPECT_EQ(c.PlayList(2).Count(), 1);
    c.AddFileToPlayList({1, 7, -1}, 2); // "two"; out-of-range indexes are ignored
    EXPECT_EQ(c.PlayList(2).Count(), 2);

    c.SetMode(bmComputerLists); // not an entry mode: nothing is added
    c.Flags();
    c.AddFileToPlayList({0}, 1);
    EXPECT_EQ(c.Flags(), efNone);

    showPlayList(1);
    c.DeleteFileFromPlayList({0});
    EXPECT_EQ(c.Flags(), efListChanged);
    ASSERT_EQ(c.PlayList(1).Count(), 1);
    EXPECT_EQ(c.PlayList(1).At(0).FileName, "c.mp3");
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("rock/a.mp3")));
}

TEST_F(Lists, BookmarksPerModeAndTheirLineMap)
{
    EXPECT_EQ(c.BookmarksList().Index, 0); // no lines: index 0

    showFolder(0);
    c.SetFileIndex(1); // rock/b
    c.AddBookmark(100, "00:01");
    EXPECT_EQ(c.Flags(), efBookmarksChanged);
    showFolder(1);
    c.SetFileIndex(0); // jazz/one
    c.AddBookmark(200, "00:02");
    c.AddBookmark(300, "00:03");
    ASSERT_EQ(c.Bookmarks().size(), 4); // after the empty one of a fresh start

    TListData jazz = c.BookmarksList();
    EXPECT_EQ(jazz.List, QStringList({"one 00:02  ", "one 00:03  "}));
    EXPECT_EQ(jazz.Index, 1); // no bookmark chosen yet: the last line

    // Line 2 of the jazz list is bookmark 3; replace it by one at 350.
    c.EditBookmark(2, 350, "00:04");
    EXPECT_EQ(c.Flags(), efBookmarksChanged);
    EXPECT_EQ(c.Bookmarks()[3].PlayPosition, 350);
    EXPECT_EQ(c.CurBookmarkName(), "one 00:04  ");
    jazz = c.BookmarksList();
    EXPECT_EQ(jazz.Index, 1);
    c.EditBookmark(0, 1, "x"); // line 0: nothing
    EXPECT_EQ(c.Flags(), efNone);

    c.SetMode(bmBookmarks);
    TListData all = c.BookmarksList();
    EXPECT_EQ(all.List, QStringList({"", "b 00:01  ", "one 00:02  ", "one 00:04  "}));
    c.DeleteBookmark(1); // the empty one
    EXPECT_EQ(c.Flags(), efBookmarksChanged);
    EXPECT_EQ(c.Bookmarks().size(), 3);
    c.DeleteBookmark(1); // the map was used up: read the list first
    EXPECT_EQ(c.Bookmarks().size(), 3);
    c.BookmarksList();
    c.DeleteBookmark(9);
    c.DeleteBookmark(0);
    EXPECT_EQ(c.Bookmarks().size(), 3);

    // The playlist view lists the bookmarks of its entries.
    ASSERT_TRUE(c.AddPlayList("Jazz"));
    showFolder(1);
    c.AddFileToPlayList({0}, 1);
    showPlayList(1);
    EXPECT_EQ(c.BookmarksList().List, QStringList({"one 00:02  ", "one 00:04  "}));
    c.SetMode(bmRoot);
    EXPECT_TRUE(c.BookmarksList().List.isEmpty());
}

TEST_F(Lists, GotoBookmarkFollowsTheEntry)
{
    showFolder(1);
    c.SetFileIndex(1); // jazz/two
    c.AddBookmark(4242, "00:09");
    showFolder(0);
    c.SetFileIndex(0);
    c.SetMode(bmBookmarks);
    c.BookmarksList();
    c.Flags();

    // From the bookmark view: the mode follows the bookmark, its list and entry become current.
    EXPECT_EQ(c.GotoBookmarkFromList(0), 0);
    EXPECT_EQ(c.GotoBookmarkFromList(2), 4242);
    EXPECT_EQ(c.Flags(), efGotoBookmarkShow);
    EXPECT_EQ(c.Mode(), bmComputerFiles);
    EXPECT_EQ(c.ListIndex(), 1);
    EXPECT_EQ(c.CurrentFile().FileName, "two.mp3");
    EXPECT_EQ(c.CurBookmarkListIndex(), 2);

    // In the folder view itself: event 13, the view stays.
    showFolder(1);
    c.SetFileIndex(0);
    c.Flags();
    EXPECT_EQ(c.GotoBookmark(1), 4242);
    EXPECT_EQ(c.Flags(), efGotoBookmark);
    EXPECT_EQ(c.CurrentFile().FileName, "two.mp3");

    // The file went from the list: -1.
    c.SetFileIndex(1);
    ASSERT_TRUE(QFile::remove(dir.filePath("jazz/two.mp3")));
    c.RefreshList();
    EXPECT_EQ(c.GotoBookmark(1), -1);

    // A network bookmark chosen in the navigator stays in the bookmark view without the
    // internet.
    c.OpenExtFileList("http://h/s.mp3\n", true);
    ASSERT_TRUE(c.AddPlayList("Net"));
    c.AddFileToPlayList({0}, 1);
    showPlayList(1);
    c.SetFileIndex(0);
    c.AddBookmark(5, "00:00");
    EXPECT_EQ(c.Bookmarks().last().RootDir, "http://h");
    c.SetMode(bmBookmarks);
    c.Flags();
    EXPECT_EQ(c.GotoBookmark(int(c.Bookmarks().size()) - 1), -1);
    EXPECT_EQ(c.Mode(), bmBookmarks);
    EXPECT_EQ(c.Flags(), efGotoBookmarkShow);
    c.AddBookmark(5, "00:00"); // not a mode that holds entries: nothing
    EXPECT_EQ(c.Flags(), efNone);
}

TEST_F(Lists, GotoBookmarkFindsPlaylistEntries)
{
    ASSERT_TRUE(c.AddPlayList("Mix"));
    showFolder(0);
    c.AddFileToPlayList({2}, 1);
    showPlayList(1);
    c.SetFileIndex(0);
    c.AddBookmark(77, "00:01");
    EXPECT_EQ(c.Bookmarks().last().RootDir, dir.filePath("rock"));
    showPlayList(0);
    TListData marks = c.BookmarksList();
    EXPECT_TRUE(marks.List.isEmpty());
    showPlayList(1);
    marks = c.BookmarksList();
    ASSERT_EQ(marks.List.size(), 1);
    c.Flags();
    EXPECT_EQ(c.GotoBookmarkFromList(1), 77);
    EXPECT_EQ(c.Flags(), efGotoBookmarkShow);
    EXPECT_EQ(c.CurrentFile().FileName, "c.mp3");
}

TEST_F(Lists, RenamedFilesStayInPlaylistsAndBookmarks)
{
    const QString rock = dir.filePath("rock/");
    ASSERT_TRUE(c.AddPlayList("Mix"));
    showFolder(0);
    c.AddFileToPlayList({0, 1}, 1); // rock/a, rock/b
    c.SetFileIndex(0);
    c.AddBookmark(100, "00:01"); // root: the folder list
    showPlayList(1);
    c.SetFileIndex(0);
    c.AddBookmark(200, "00:02"); // root: the entry's folder
    c.SetMode(bmRoot);           // saved
    // A playlist file the index does not name, so the catalogue does not hold it.
    ASSERT_TRUE(test::WriteFile(playlistFile("Old"),
                                ("3\r\n" + rock + "a.mp3\r\nhttp://127.0.0.1/a.mp3\r\n").toUtf8()));

    showFolder(0);
    c.SetFileIndex(0);
    c.Edit(QStringLiteral("z.mp3"));
    ASSERT_TRUE(QFileInfo::exists(rock + "z.mp3"));

    const TFileList &mix = c.PlayList(1);
    ASSERT_EQ(mix.Count(), 2);
    EXPECT_EQ(mix.At(0).DirName + mix.At(0).FileName, rock + "z.mp3");
    EXPECT_EQ(mix.At(0).Title, "z");
    EXPECT_EQ(mix.At(1).FileName, "b.mp3");
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(playlistFile("Mix"), lines));
    EXPECT_EQ(lines.mid(1), QStringList({rock + "z.mp3", rock + "b.mp3"}));
    ASSERT_TRUE(ReadTextLines(playlistFile("Old"), lines));
    EXPECT_EQ(lines, QStringList({"3", rock + "z.mp3", "http://127.0.0.1/a.mp3"}));
    ASSERT_TRUE(ReadTextLines(dir.filePath("VL4Conf/PL.txt"), lines));
    EXPECT_EQ(lines, QStringList({"MyNetwork.vl3u", "Mix.vl3u"}));

    ASSERT_EQ(c.Bookmarks().size(), 3);
    for (int i : {1, 2}) {
        EXPECT_EQ(c.Bookmarks()[i].ListName, rock);
        EXPECT_EQ(c.Bookmarks()[i].FileName, "z.mp3");
        EXPECT_EQ(c.Bookmarks()[i].RootDir, dir.filePath("rock"));
    }
    EXPECT_EQ(c.Bookmarks()[1].Name, "z 00:01  ");
    ASSERT_TRUE(ReadTextLines(dir.filePath("VL4Conf/BK.txt"), lines));
    EXPECT_EQ(lines.mid(5, 5),
              QStringList({"z 00:01  ", "z.mp3", "100", rock, dir.filePath("rock")}));

    // A batch rename: the bookmark still leads to its file.
    c.Edit(QList<int>{0, 1}, QStringLiteral(".mp3"), QStringLiteral("_x.mp3"));
    EXPECT_EQ(mix.At(1).FileName, "b_x.mp3");
    c.SetMode(bmBookmarks);
    c.BookmarksList();
    EXPECT_EQ(c.GotoBookmarkFromList(2), 100); // line 1 is the empty bookmark of a fresh start
    EXPECT_EQ(c.CurrentFile().FileName, "z_x.mp3");
}

TEST(PathChanges, AFileRenamedTwiceAndAFreedNameAreTold)
{
    // b leaves for c, then a takes b's old name; x goes to y and on to z.
    const TPathChanges changes(
        {{"/m/b", "/m/c", {}}, {"/m/a", "/m/b", {}}, {"/m/x", "/m/y", {}}, {"/m/y", "/m/z", {}}});
    QStringList lines{"/m/a", "/m/b", "/m/x", "/m/y", "http://h/m/a"};
    EXPECT_TRUE(FollowPathChanges(lines, changes));
    // "/m/y" named no file before the batch: it stays.
    EXPECT_EQ(lines, QStringList({"/m/b", "/m/c", "/m/z", "/m/y", "http://h/m/a"}));
    EXPECT_FALSE(FollowPathChanges(lines, TPathChanges()));
}

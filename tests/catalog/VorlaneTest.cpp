#include "catalog/Vorlane.h"
#include "base/Messages.h"
#include "base/TextFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

// A controller with three folder lists over real folders:
//   0 "rock":  a.mp3, b.mp3, c.mp3     1 "jazz": one.mp3     2 "pop": Yellow.mp3, Zebra.mp3
class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        SetMessage("SM_COMPUTER", "Computer");
        SetMessage("SM_CATALOG", "Catalog");
        SetMessage("SM_INTERNET", "Internet");
        SetMessage("SM_BOOKMARKS", "Bookmarks");
        SetMessage("SM_PLAYLISTS", "Playlists");
        SetMessage("SM_INETSEARCH", "Search");
        SetMessage("SM_EXIT", "Exit");
        SetMessage("SM_ENTERSEARCHQUERY", "Enter a query");
        make("rock", {"a.mp3", "b.mp3", "c.mp3"});
        make("jazz", {"one.mp3"});
        make("pop", {"Yellow.mp3", "Zebra.mp3"});
        c.SetProgramDataDir(dir.path());
        c.SetMode(bmComputerFiles);
        for (const char *name : {"rock", "jazz", "pop"})
            c.AddList(dir.filePath(name), false, false);
        c.Flags();
    }
    void TearDown() override { ClearMessages(); }

    void make(const QString &folder, const QStringList &files)
    {
        for (const QString &f : files)
            ASSERT_TRUE(test::WriteFile(dir.filePath(folder + '/' + f), "x"));
    }
    // Shows folder list `index` in mode 2 the way the window does.
    void show(int index)
    {
        c.SetMode(bmComputerLists);
        c.SetVisibleListIndex(index);
        c.SetMode(bmComputerFiles);
    }

    QTemporaryDir dir;
    TVorlane c;
};

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

} // namespace

TEST(BrowseIndexRule, HeaderOnlyOrPastTheEndSelectsNothing)
{
    EXPECT_EQ(BrowseIndexRule(0, 2), -1); // one entry: fewer than three lines
    EXPECT_EQ(BrowseIndexRule(0, 3), 0);
    EXPECT_EQ(BrowseIndexRule(1, 3), 1);
    EXPECT_EQ(BrowseIndexRule(2, 3), -1);
    EXPECT_EQ(BrowseIndexRule(5, 7), 5);
}

TEST(ControllerStart, DefaultsBeforeAnythingIsLoaded)
{
    TVorlane c;
    EXPECT_EQ(c.Mode(), bmRoot);
    EXPECT_EQ(c.Flags(), efRefreshView);
    EXPECT_EQ(c.Flags(), efNone);
    EXPECT_EQ(c.PlayListCount(), 0);
    EXPECT_EQ(c.Bookmarks().size(), 1);
    EXPECT_EQ(c.FileIndex(), -1);
    EXPECT_EQ(c.CurrentFile().Title, QStringLiteral("ERROR!!!"));
}

TEST_F(Controller, BrowseListOfEachMode)
{
    c.SetMode(bmRoot);
    TListData root = c.List();
    EXPECT_EQ(root.List,
              QStringList({"Computer", "Internet", "Bookmarks", "Search", "Playlists", "Exit"}));
    EXPECT_EQ(root.Index, 0);

    c.SetMode(bmComputerLists);
    c.SetVisibleListIndex(1);
    TListData lists = c.List();
    EXPECT_EQ(lists.List, QStringList({"---Computer---", dir.filePath("rock"), dir.filePath("jazz"),
                                       dir.filePath("pop")}));
    EXPECT_EQ(lists.Index, 1);

    c.SetMode(bmComputerFiles);
    TListData files = c.List();
    EXPECT_EQ(files.List.first(), "---Catalog " + dir.filePath("jazz") + "---");
    EXPECT_EQ(files.List.mid(1), QStringList{"one"});
    EXPECT_EQ(files.Index, -1); // one entry: nothing to select

    show(0);
    c.SetFileIndex(2);
    files = c.List();
    EXPECT_EQ(sorted(files.List.mid(1)), QStringList({"a", "b", "c"}));
    EXPECT_EQ(files.Index, 2);

    c.SetMode(bmBookmarks);
    TListData marks = c.List();
    EXPECT_EQ(marks.List, QStringList({"---Bookmarks---", ""}));
    EXPECT_EQ(marks.Index, -1);

    c.SetMode(bmPlayLists);
    EXPECT_EQ(c.List().List, QStringList{"---Playlists---"});
    c.SetMode(bmPlayListFiles); // no playlist yet: the header alone
    TListData playlist = c.List();
    EXPECT_EQ(playlist.List, QStringList{"---Playlists:---"});
    EXPECT_EQ(playlist.Index, -1);

    c.OpenExtFileList("http://h/a%20b.mp3\nhttp://h/x/c.ogg\nftp://h/d.wav\n", true);
    TListData search = c.List();
    EXPECT_EQ(search.List, QStringList({"Enter a query", "a b.mp3", "c.ogg", "d.wav"}));
    EXPECT_EQ(search.Index, 0);
}

TEST_F(Controller, ChangedLinesOfTheShownListSinceAStamp)
{
    show(0);
    c.AlphabetSorting(false);
    c.SetFileIndex(1);
    TBrowseStamp stamp = c.BrowseStamp();
    QList<std::pair<int, QString>> lines;
    int index = -5;
    ASSERT_TRUE(c.ChangedListLines(stamp, lines, index));
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(index, c.List().Index);

    // A rename changes one line; the lines told are those List() now gives.
    c.Edit(QStringLiteral("Renamed.mp3"));
    ASSERT_TRUE(c.ChangedListLines(stamp, lines, index));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[0].second, c.List().List.at(2));
    EXPECT_EQ(lines[0].second, "Renamed");
    EXPECT_EQ(index, c.List().Index);

    // Another language renames the header.
    stamp = c.BrowseStamp();
    SetMessage("SM_CATALOG", "Каталог");
    ASSERT_TRUE(c.ChangedListLines(stamp, lines, index));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], std::make_pair(0, c.List().List.at(0)));
    EXPECT_TRUE(lines[0].second.startsWith("---Каталог "));

    // Another list shown, another mode, a sort: the lines must be read whole.
    stamp = c.BrowseStamp();
    show(1);
    EXPECT_FALSE(c.ChangedListLines(stamp, lines, index));
    show(0);
    stamp = c.BrowseStamp();
    c.AlphabetSorting(true);
    EXPECT_FALSE(c.ChangedListLines(stamp, lines, index));
    stamp = c.BrowseStamp();
    c.SetMode(bmComputerLists);
    EXPECT_FALSE(c.ChangedListLines(stamp, lines, index));
    stamp = c.BrowseStamp();
    EXPECT_FALSE(c.ChangedListLines(stamp, lines, index));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(Controller, FileIndexOpensOnlyANewEntry)
{
    show(0);
    c.SetFileIndex(1);
    EXPECT_EQ(c.Flags(), efOpenFile);
    EXPECT_EQ(c.FileIndex(), 1);
    c.SetFileIndex(1); // a click on the playing entry does not restart it
    EXPECT_EQ(c.Flags(), efNone);

    show(2); // the same index in another list of the same kind opens that entry
    c.Flags();
    c.SetFileIndex(1);
    EXPECT_EQ(c.Flags(), efOpenFile);
    EXPECT_EQ(c.CurrentFile().FileName, c.FolderList(2).At(1).FileName);

    c.SetFileIndex(5); // out of range: ignored, no event
    c.SetFileIndex(-1);
    EXPECT_EQ(c.Flags(), efNone);
    EXPECT_EQ(c.FileIndex(), 1);

    c.SetMode(bmComputerLists); // writing in a list-of-lists mode does nothing
    c.Flags();
    c.SetFileIndex(0);
    EXPECT_EQ(c.Flags(), efNone);
    EXPECT_EQ(c.FileIndex(), -1);
    // The playing entry survives the mode change.
    EXPECT_EQ(c.CurrentFile().FileName, c.FolderList(2).At(1).FileName);
}

TEST_F(Controller, NextAndPrevStopAtTheEnds)
{
    show(2);
    c.SetFileIndex(0);
    c.Prev();
    EXPECT_EQ(c.FileIndex(), 0);
    c.Next();
    EXPECT_EQ(c.FileIndex(), 1);
    c.Flags();
    c.Next();
    EXPECT_EQ(c.FileIndex(), 1);
    EXPECT_EQ(c.Flags(), efNone);
}

TEST_F(Controller, FlagsTurnMailboxesIntoCodesInOrder)
{
    c.SetFlags(efRefreshView);
    c.Mailboxes().CopyFlag = 1;
    c.Mailboxes().MoveFlag = 2;
    EXPECT_EQ(c.Flags(), efMoveFailed); // a move result wins over a copy result
    EXPECT_EQ(c.Mailboxes().CopyFlag.load(), 0);
    EXPECT_EQ(c.Mailboxes().MoveFlag.load(), 0);
    EXPECT_EQ(c.Flags(), efNone);

    c.Mailboxes().CopyFlag = 2;
    EXPECT_EQ(c.Flags(), efCopyFailed);
    c.Mailboxes().CopyFlag = 1;
    EXPECT_EQ(c.Flags(), efCopyStep);
    c.Mailboxes().MoveFlag = 1;
    c.Mailboxes().DeleteCompleted = true;
    EXPECT_EQ(c.Flags(), efDeleteDone); // a finished delete comes last
    EXPECT_FALSE(c.Mailboxes().DeleteCompleted.load());
    c.SetFlags(efListChanged);
    EXPECT_EQ(c.Flags(), efListChanged);
}

TEST_F(Controller, FindAcrossListsOfLists)
{
    c.SetMode(bmComputerLists);
    c.SetVisibleListIndex(0);
    c.Find("Zebra", 1.0f); // only in the third list
    EXPECT_EQ(c.Mode(), bmComputerFiles);
    EXPECT_EQ(c.ListIndex(), 2);
    EXPECT_EQ(c.FolderList(2).At(c.FolderList(2).CurIndex).FileName, "Zebra.mp3");
    EXPECT_EQ(c.Flags(), efRefreshView);

    c.SetMode(bmComputerLists);
    c.SetVisibleListIndex(1);
    c.Find("nowhere", 1.0f);
    EXPECT_EQ(c.Mode(), bmComputerFiles);
    EXPECT_EQ(c.ListIndex(), 0);

    c.Flags();
    c.Find(QString(), 1.0f); // an empty key does nothing
    EXPECT_EQ(c.Flags(), efNone);
}

TEST_F(Controller, FindInAListMovesOnlyTheShownCursor)
{
    show(0);
    c.SetFileIndex(0);
    show(2);
    c.Find("Zeb", 1.0f);
    EXPECT_EQ(c.FolderList(2).At(c.FolderList(2).CurIndex).FileName, "Zebra.mp3");
    // The playing entry of list 0 stays current.
    EXPECT_EQ(c.CurrentFile().DirName, dir.filePath("rock") + '/');
}

TEST_F(Controller, SortingByModeAndTheBookmarkConvention)
{
    show(0);
    c.AlphabetSorting(true);
    EXPECT_EQ(c.FolderList(0).At(0).FileName, "c.mp3");
    c.AlphabetSorting(false);
    EXPECT_EQ(c.FolderList(0).At(0).FileName, "a.mp3");
    EXPECT_EQ(c.Flags(), efRefreshView);

    c.DateSorting();
    EXPECT_EQ(c.Flags(), efRefreshView);

    c.SwapRecords(0, {0}); // entry 0 <-> entry 1
    EXPECT_EQ(c.FolderList(0).At(0).FileName, "b.mp3");
    EXPECT_EQ(c.Flags(), efListChanged);
    c.SwapRecords(2, {0, 1}); // would reach past the end: refused
    EXPECT_EQ(c.Flags(), efNone);
}

TEST_F(Controller, OpenExtFileListReplacesTheSearchList)
{
    const QString file = dir.filePath("links.txt");
    ASSERT_TRUE(
        WriteTextLines(file, {"http://h/1.mp3", "http://h/dir/%D0%AF.mp3", "", "http://h/3.mp3"}));
    c.OpenExtFileList(file, false);
    EXPECT_EQ(c.Mode(), bmInternetSearch);
    EXPECT_EQ(c.Flags(), efListReplaced);
    ASSERT_EQ(c.SearchList().Count(), 3);
    EXPECT_EQ(c.SearchList().CurIndex, 0);
    EXPECT_EQ(c.SearchList().At(1).DirName, "http://h/dir/");
    EXPECT_EQ(c.SearchList().At(1).Title, QStringLiteral("Я.mp3"));
    EXPECT_EQ(c.FileIndex(), -1);
    c.SetFileIndex(0);
    EXPECT_EQ(c.Flags(), efOpenFile);
    EXPECT_EQ(c.CurrentFile().FileName, "1.mp3");
}

TEST_F(Controller, ReturnToCurrentDirShowsThePlayingList)
{
    show(2);
    c.SetFileIndex(0);
    c.SetMode(bmComputerLists);
    c.SetVisibleListIndex(0);
    c.ReturnToCurrentDir();
    EXPECT_EQ(c.Mode(), bmComputerFiles);
    EXPECT_EQ(c.ListIndex(), 2);
    EXPECT_EQ(c.Flags(), efRefreshView);
}

TEST_F(Controller, FolderListOperationsAndTheirCodes)
{
    make("new", {"x.mp3", "y.txt"});
    c.AddList(dir.filePath("new") + '/', true, false);
    EXPECT_EQ(c.Flags(), efListAdded);
    EXPECT_EQ(c.FolderListCount(), 4);
    EXPECT_EQ(c.ListIndex(), 3);
    EXPECT_EQ(c.FolderList(3).RootDir, dir.filePath("new"));
    EXPECT_EQ(c.FilesCount(), 1);

    c.SetAudioFilesOnly(false);
    EXPECT_EQ(c.Flags(), efListRescanned);
    EXPECT_EQ(c.FilesCount(), 2);
    c.SetAudioFilesOnly(false);
    EXPECT_EQ(c.Flags(), efNone);

    make("new", {"z.mp3"});
    c.RefreshList();
    EXPECT_EQ(c.Flags(), efListRescanned);
    EXPECT_EQ(c.FilesCount(), 3);
    c.RefreshList(dir.filePath("jazz"), false);
    EXPECT_EQ(c.FolderList(3).RootDir, dir.filePath("jazz"));
    EXPECT_EQ(c.FilesCount(), 1);

    // The playing entry's list keeps its entry when an earlier list goes.
    show(2);
    c.SetFileIndex(1);
    show(0);
    c.DeleteList();
    EXPECT_EQ(c.Flags(), efListDeleted);
    EXPECT_EQ(c.FolderListCount(), 3);
    c.SetMode(bmComputerFiles);
    EXPECT_EQ(c.CurrentFile().FileName, "Zebra.mp3");
    // The last folder list is never removed.
    c.DeleteList();
    c.DeleteList();
    c.DeleteList();
    EXPECT_EQ(c.FolderListCount(), 1);
    c.AddList(QString(), false, false);
    EXPECT_EQ(c.FolderListCount(), 1);
}

TEST_F(Controller, SizesAndFreeSpace)
{
    show(0);
    c.SetFileIndex(0);
    EXPECT_EQ(c.CurFileSize(), 1);
    EXPECT_GT(c.GetCurDestDiskFreeSize(), 0);
    EXPECT_EQ(c.LastDestDir(), dir.filePath("rock"));
    c.SetLastDestDir(2);
    EXPECT_EQ(c.LastDestDir(), dir.filePath("pop"));
    c.SetMode(bmRoot);
    EXPECT_EQ(c.CurFileSize(), 0);
}

TEST_F(Controller, InternetListsComeFromTheCache)
{
    const QString conf = dir.filePath("VL4Conf/");
    ASSERT_TRUE(
        WriteTextLines(conf + "lst.txt", {"http://srv/lists/Rock.txt", "http://srv/other/Rock.txt",
                                          "http://srv/lists/Empty.txt", "http://srv/lists/"}));
    ASSERT_TRUE(WriteTextLines(conf + "Cache/Rock.txt",
                               {"http://m/Rock%20Radio.mp3?", "http://m/01.mp3?First", ""}));
    c.SetMode(bmInternetLists);
    TListData lists = c.List();
    // The display name of a list is the file name of its second entry.
    EXPECT_EQ(lists.List, QStringList({"---Internet---", "01.mp3", "01.mp3", "", ""}));
    EXPECT_EQ(c.InetListCount(), 4);
    EXPECT_EQ(c.InetList(0).Count(), 3);

    c.SetVisibleListIndex(0);
    c.SetMode(bmInternetFiles);
    TListData files = c.List();
    EXPECT_EQ(files.List.mid(0, 3), QStringList({"---Catalog Rock---", "Rock Radio.mp3", "First"}));
    c.SetFileIndex(1);
    EXPECT_EQ(c.CurrentFile().FileName, "01.mp3");

    TListData computer, inet, playlists, bookmarks;
    c.GetAllLists(computer, inet, playlists, bookmarks);
    EXPECT_EQ(computer.List.size(), 3);
    EXPECT_EQ(inet.List, QStringList({"01.mp3", "01.mp3", "", ""}));
    EXPECT_EQ(bookmarks.List, QStringList{""});
}

TEST_F(Controller, RecordedStreamNameIsListedInTheDestination)
{
    const QString path = c.GetFNameForRecordedStream(1);
    const QString folder = dir.filePath("jazz") + '/';
    ASSERT_TRUE(path.startsWith(folder));
    EXPECT_TRUE(QRegularExpression("^\\d\\d_\\d\\d_\\d\\d-\\d\\d_\\d\\d_\\d\\d\\.mp3$")
                    .match(path.mid(folder.size()))
                    .hasMatch())
        << path.toStdString();
    EXPECT_EQ(c.FolderList(1).Count(), 2);
    EXPECT_EQ(c.FolderList(1).At(1).DirName + c.FolderList(1).At(1).FileName, path);
    EXPECT_EQ(c.LastDestDir(), folder);
    EXPECT_TRUE(c.GetFNameForRecordedStream(7).isEmpty());
}

// A crash while recording leaves "<stamp>.mp3.part": the next start keeps it as a recording,
// listed, under a name that does not overwrite one already there.
TEST_F(Controller, RecordingsCutShortByACrashAreKept)
{
    const QString jazz = dir.filePath("jazz") + '/';
    ASSERT_TRUE(test::WriteFile(jazz + "01_02_26-10_00_00.mp3.part", "audio"));
    ASSERT_TRUE(test::WriteFile(jazz + "01_02_26-10_00_00.mp3", "older"));
    ASSERT_TRUE(test::WriteFile(jazz + "02_02_26-10_00_00.mp3.part", ""));
    ASSERT_TRUE(test::WriteFile(jazz + "notes.mp3.part", "someone else's"));
    c.NoteRecordingStarted(jazz);

    EXPECT_EQ(c.RecoverRecordings(), 1);
    EXPECT_EQ(test::ReadFile(jazz + "01_02_26-10_00_00-2.mp3"), "audio");
    EXPECT_EQ(test::ReadFile(jazz + "01_02_26-10_00_00.mp3"), "older");
    EXPECT_FALSE(QFile::exists(jazz + "02_02_26-10_00_00.mp3.part")) << "empty: nothing to keep";
    EXPECT_TRUE(QFile::exists(jazz + "notes.mp3.part"));
    ASSERT_EQ(c.FolderList(1).Count(), 2);
    EXPECT_EQ(c.FolderList(1).At(1).FileName, "01_02_26-10_00_00-2.mp3");
    EXPECT_EQ(c.RecoverRecordings(), 0) << "the note is gone once the folder was looked at";
}

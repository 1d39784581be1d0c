#include "catalog/FileOperations.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "catalog/Vorlane.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using namespace vorlane;

namespace {

// Runs the event loop (queued completions arrive through it) until `done` or the timeout.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();
    return true;
}

// What the main timer sees: one Flags() read per tick, with the counters read at that tick.
struct Tick {
    int code;
    int copyLeft;
    int moveLeft;
};

std::vector<Tick> runTimer(TVorlane &c, int timeoutMs = 20000)
{
    std::vector<Tick> ticks;
    waitUntil(
        [&] {
            const int code = c.Flags();
            if (code != efNone)
                ticks.push_back({code, c.CopyCounter(), c.MoveCounter()});
            return !c.FileOperationsRunning();
        },
        timeoutMs);
    const int code = c.Flags(); // the outcome of the last file
    if (code != efNone)
        ticks.push_back({code, c.CopyCounter(), c.MoveCounter()});
    return ticks;
}

// Folder lists over real folders, in natural order: 0 "rock" (a b c), 1 "jazz" (one).
class FileOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearMessages();
        for (const char *f : {"rock/a.mp3", "rock/b.mp3", "rock/c.mp3", "jazz/one.mp3"})
            ASSERT_TRUE(test::WriteFile(dir.filePath(f), QByteArray("data of ") + f));
        const QDateTime old = QDateTime::currentDateTime().addDays(-400);
        QFile a(dir.filePath("rock/a.mp3"));
        ASSERT_TRUE(a.open(QIODevice::Append));
        ASSERT_TRUE(a.setFileTime(old, QFileDevice::FileModificationTime));
        c.SetProgramDataDir(dir.path());
        c.SetMode(bmComputerFiles);
        for (const char *name : {"rock", "jazz"}) {
            c.AddList(dir.filePath(name), false, false);
            c.AlphabetSorting(false);
        }
        show(0);
        c.Flags();
    }
    void show(int index)
    {
        c.SetMode(bmComputerLists);
        c.SetVisibleListIndex(index);
        c.SetMode(bmComputerFiles);
    }
    QStringList names(int list) const
    {
        QStringList n;
        for (int i = 0; i < c.FolderList(list).Count(); ++i)
            n << c.FolderList(list).At(i).FileName;
        return n;
    }
    QString path(const char *p) const { return dir.filePath(p); }

    QTemporaryDir dir;
    TVorlane c;
};

} // namespace

TEST(CopyTargetName, TitleLowerExtensionAndSanitising)
{
    auto name = [](const char *file, const char *title) {
        TFileName e;
        e.FileName = QString::fromUtf8(file);
        e.DirName = "/m/";
        e.Title = QString::fromUtf8(title);
        return CopyTargetName(e);
    };
    EXPECT_EQ(name("track01.MP3", "Artist: Song?"), "Artist_ Song_.mp3");
    EXPECT_EQ(name("Song.MP3", ""), "Song.MP3");
    EXPECT_EQ(name("stream", "Radio / Live"), "Radio _ Live.mp3"); // no extension: ".mp3"
    EXPECT_EQ(name("listen", ""), "listen.mp3");
    EXPECT_EQ(name("a%20b.mp3", "a b.MP3"), "a b.mp3"); // a title ending in it: once
}

TEST(FindDuplicates, SameResultAsComparingEveryPair)
{
    // The pairwise definition: for each source entry, each compared entry with the same
    // lower-cased name in another lower-cased folder is added once, in the order met.
    auto pairwise = [](const TFileList &s, const TFileList &k) {
        QStringList out;
        for (int i = 0; i < s.Count(); ++i) {
            for (int j = 0; j < k.Count(); ++j) {
                const TFileName &a = s.At(i);
                const TFileName &b = k.At(j);
                const QString line = b.DirName + b.FileName;
                if (a.FileName.toLower() == b.FileName.toLower() &&
                    a.DirName.toLower() != b.DirName.toLower() && !out.contains(line))
                    out << line;
            }
        }
        return out;
    };
    QRandomGenerator rng(7);
    // Short names, and longer ones whose case differs in plain ASCII, Latin-1 and Cyrillic words.
    const QStringList files = {"a.mp3",
                               "A.mp3",
                               "b.mp3",
                               "c.MP3",
                               "C.mp3",
                               "d.ogg",
                               "Long Song Name.mp3",
                               "LONG SONG NAME.MP3",
                               "Ärger Zone.mp3",
                               "äRGER zONE.mp3",
                               "Песня 01.mp3",
                               "пЕСНЯ 01.MP3"};
    const QStringList dirs = {"/x/", "/X/", "/y/", "/z/sub/"};
    for (int round = 0; round < 200; ++round) {
        TFileList s, k;
        for (int i = 0, n = rng.bounded(12); i < n; ++i)
            s.AddNewRecord(files[rng.bounded(files.size())], dirs[rng.bounded(dirs.size())], "t");
        for (int i = 0, n = rng.bounded(12); i < n; ++i)
            k.AddNewRecord(files[rng.bounded(files.size())], dirs[rng.bounded(dirs.size())], "t");
        auto check = [&](const TFileList &source, const TFileList &compared, const char *what) {
            const TFileList r = FindDuplicates(source, compared);
            QStringList got;
            for (int i = 0; i < r.Count(); ++i) {
                got << r.At(i).DirName + r.At(i).FileName;
                EXPECT_TRUE(r.At(i).Title.isEmpty());
            }
            ASSERT_EQ(got, pairwise(source, compared)) << what << ", round " << round;
        };
        check(s, k, "as added");
        // A list against itself: the entries with a namesake in another folder.
        const TFileList self = FindDuplicates(s, s);
        EXPECT_EQ(self.Count(), pairwise(s, s).size());
        if (s.Count() < 2 || k.Count() < 2)
            continue;
        // Lists keep their names' hashes through sorts and swaps and give them up on edits:
        // either way the search must see the names as they are now.
        TFileList sorted = s, swapped = k, renamed = s, cleared = k;
        sorted.AlphabetSort(round % 2, false);
        swapped.SwapRecord(0, k.Count() - 1);
        renamed.SetRecord(rng.bounded(s.Count()), files[rng.bounded(files.size())], QString());
        cleared.ClearRecord(0);
        cleared.RefreshList();
        check(sorted, swapped, "sorted and swapped");
        check(renamed, k, "renamed");
        check(s, cleared, "one cleared");
        TFileList moreAdded = renamed;
        moreAdded.AddNewRecord(files[rng.bounded(files.size())], "/w/", "t");
        check(moreAdded, k, "added to after a rename");
    }
}

TEST_F(FileOps, CopyShowsTheEntriesAtOnceAndReportsEachFile)
{
    c.CopyFiles({0, 2}, 1);
    EXPECT_EQ(names(1), QStringList({"one.mp3", "a.mp3", "c.mp3"})); // before the files exist
    EXPECT_EQ(c.LastDestDir(), path("jazz"));
    EXPECT_EQ(c.IndexesList(), QList<int>({0, 2}));

    const std::vector<Tick> ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    for (const Tick &t : ticks)
        EXPECT_EQ(t.code, efCopyStep);
    EXPECT_EQ(ticks.back().copyLeft, 0);
    EXPECT_EQ(test::ReadFile(path("jazz/a.mp3")), "data of rock/a.mp3");
    EXPECT_EQ(test::ReadFile(path("jazz/c.mp3")), "data of rock/c.mp3");
    EXPECT_TRUE(QFileInfo::exists(path("rock/a.mp3")));
    // The copy keeps the time of the source's last change.
    EXPECT_EQ(QFileInfo(path("jazz/a.mp3")).lastModified(),
              QFileInfo(path("rock/a.mp3")).lastModified());
    EXPECT_EQ(c.CopyOperationList().Count(), 0);

    c.CopyFiles({}, 1);  // nothing selected: nothing starts
    c.CopyFiles({0}, 5); // no such destination
    EXPECT_FALSE(c.FileOperationsRunning());
}

TEST_F(FileOps, CopyOntoItselfOrFromAMissingFileFails)
{
    // A list copied onto its own folder: the file is neither truncated nor removed.
    c.CopyFiles({0}, 0);
    std::vector<Tick> ticks = runTimer(c);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].code, efCopyFailed);
    EXPECT_EQ(test::ReadFile(path("rock/a.mp3")), "data of rock/a.mp3");

    // The last file fails: the failure is what the timer sees last.
    ASSERT_TRUE(QFile::remove(path("rock/c.mp3")));
    c.CopyFiles({1, 2}, 1);
    ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().code, efCopyFailed);
    EXPECT_EQ(ticks.back().copyLeft, 0);
    EXPECT_TRUE(QFileInfo::exists(path("jazz/b.mp3")));
    EXPECT_FALSE(QFileInfo::exists(path("jazz/c.mp3")));
    EXPECT_TRUE(names(1).contains("c.mp3")); // listed until the folder is rescanned
}

TEST_F(FileOps, CopyOfANetworkEntryDownloadsIt)
{
    QTemporaryDir served;
    ASSERT_TRUE(test::WriteFile(served.filePath("stream"), QByteArray(5000, 's')));
    ASSERT_TRUE(test::WriteFile(served.filePath("Song%20One.mp3"), "song"));
    test::HttpServer http(served.path());
    ASSERT_TRUE(http.Ok());
    c.OpenExtFileList(http.Url("stream") + "\n" + http.Url("Song%2520One.mp3") + "\n" +
                          http.Url("missing.mp3") + "\n",
                      true);
    c.CopyFiles({0, 1, 2}, 1);
    EXPECT_EQ(names(1), QStringList({"one.mp3", "stream.mp3", "Song%20One.mp3", "missing.mp3"}));
    const std::vector<Tick> ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().code, efCopyFailed); // the missing one, last
    EXPECT_EQ(test::ReadFile(path("jazz/stream.mp3")), QByteArray(5000, 's'));
    EXPECT_EQ(test::ReadFile(path("jazz/Song%20One.mp3")), "song");
    EXPECT_FALSE(QFileInfo::exists(path("jazz/missing.mp3")));
    EXPECT_TRUE(http.Requests().join('\n').contains("GET /stream VL4"));
}

TEST_F(FileOps, ASecondCopyWaitsBehindTheRunningOne)
{
    QTemporaryDir served;
    ASSERT_TRUE(test::WriteFile(served.filePath("slow.mp3"), QByteArray(40000, 'w')));
    test::HttpServer http(served.path());
    ASSERT_TRUE(http.Ok());
    // The first copy downloads slowly (about half a second); the second is a local copy.
    c.OpenExtFileList(http.Url("slow/slow.mp3?chunk=4000&delay=0.05") + "\n", true);
    c.CopyFiles({0}, 1);
    const QString slowName = c.FolderList(1).At(1).FileName;
    show(0);
    c.Flags();
    c.CopyFiles({0, 1}, 1);
    EXPECT_TRUE(c.FileOperationsRunning());
    EXPECT_EQ(c.CopyOperationList().Count(), 1); // the running job's list is its own

    waitUntil([] { return false; }, 150);
    EXPECT_FALSE(QFileInfo::exists(path("jazz/a.mp3"))); // still waiting
    const std::vector<Tick> ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    // The download's report counts the files waiting behind it: "finished" (none left) is seen
    // once, at the very end.
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].code, efCopyStep);
        if (i + 1 < ticks.size()) {
            EXPECT_GT(ticks[i].copyLeft, 0) << "tick " << i;
        }
    }
    EXPECT_EQ(ticks.back().copyLeft, 0);
    EXPECT_EQ(test::ReadFile(dir.filePath("jazz/" + slowName)), QByteArray(40000, 'w'));
    EXPECT_EQ(test::ReadFile(path("jazz/a.mp3")), "data of rock/a.mp3");
    EXPECT_EQ(test::ReadFile(path("jazz/b.mp3")), "data of rock/b.mp3");
}

TEST_F(FileOps, MoveTakesTheEntriesAlongAtOnce)
{
    c.SetFileIndex(2); // c is playing
    c.MoveFiles({0, 1}, 1);
    EXPECT_EQ(names(0), QStringList({"c.mp3"}));
    EXPECT_EQ(names(1), QStringList({"one.mp3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(c.FileIndex(), 0); // clamped into the shorter list
    const std::vector<Tick> ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().code, efMoveStep);
    EXPECT_EQ(ticks.back().moveLeft, 0);
    EXPECT_FALSE(QFileInfo::exists(path("rock/a.mp3")));
    EXPECT_EQ(test::ReadFile(path("jazz/b.mp3")), "data of rock/b.mp3");

    // Onto its own folder: refused, the file stays and keeps its line.
    c.MoveFiles({0}, 0);
    const std::vector<Tick> same = runTimer(c);
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(same[0].code, efMoveFailed);
    EXPECT_EQ(test::ReadFile(path("rock/c.mp3")), "data of rock/c.mp3");
    EXPECT_EQ(names(0), QStringList({"c.mp3"}));

    c.SetMode(bmPlayListFiles); // only in the folder view
    c.MoveFiles({0}, 1);
    EXPECT_FALSE(c.FileOperationsRunning());
}

TEST_F(FileOps, DeleteMovesTheSelectionToTheTrash)
{
    // The test's own data folder, not made yet: the trash must not end up in the current folder.
    QTemporaryDir xdg;
    const QString dataHome = xdg.filePath("share");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    const QStringList cwdBefore = QDir::current().entryList();

    c.SetFileIndex(1); // b
    c.DeleteFiles({1, 2});
    qputenv("XDG_DATA_HOME", saved);

    EXPECT_EQ(names(0), QStringList({"a.mp3"}));
    EXPECT_FALSE(QFileInfo::exists(path("rock/b.mp3")));
    EXPECT_EQ(test::ReadFile(dataHome + "/Trash/files/b.mp3"), "data of rock/b.mp3");
    EXPECT_TRUE(QFileInfo::exists(dataHome + "/Trash/files/c.mp3"));
    EXPECT_EQ(QDir::current().entryList(), cwdBefore);
    // The entry now in the current one's place (clamped): a; the timer reloads, then opens it.
    EXPECT_EQ(c.FileIndex(), 0);
    EXPECT_EQ(c.Flags(), efDeleteDone);
    EXPECT_EQ(c.LastDestDir(), path("rock"));
}

TEST_F(FileOps, DeleteKeepsTheCurrentEntryWhenItStays)
{
    c.SetFileIndex(2); // c
    c.DeleteFiles({0});
    EXPECT_EQ(names(0), QStringList({"b.mp3", "c.mp3"}));
    EXPECT_EQ(c.CurrentFile().FileName, "c.mp3");
    EXPECT_EQ(c.Flags(), efDeleteDone);

    // A file that cannot be recycled keeps its line.
    ASSERT_TRUE(QFile::remove(path("rock/b.mp3")));
    c.DeleteFiles({0, 1});
    EXPECT_EQ(names(0), QStringList({"b.mp3"}));
    EXPECT_EQ(c.FileIndex(), 0);

    c.DeleteFiles({0});
    c.DeleteFiles({}); // nothing selected: nothing happens
    c.Flags();
    EXPECT_EQ(c.Flags(), efNone);
    c.SetMode(bmComputerLists);
    c.DeleteFiles({0});
    EXPECT_EQ(names(0).size(), 1);
}

TEST_F(FileOps, DuplicateSearchResultIsTakenOrDropped)
{
    ASSERT_TRUE(test::WriteFile(path("other/A.MP3"), "dup"));
    ASSERT_TRUE(test::WriteFile(path("other/new.mp3"), "x"));
    ASSERT_TRUE(test::WriteFile(path("other/one.mp3"), "dup"));
    c.AddList(path("other"), false, false);
    c.AlphabetSorting(false);
    show(0);
    c.SetFileIndex(0); // rock is the current list

    int completions = 0;
    QObject::connect(&c, &TVorlane::FindCopyesCompleted, [&] { ++completions; });
    c.FindCopyes(2);
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    ASSERT_TRUE(c.FindResultPending());
    c.DropFindResult();
    EXPECT_EQ(names(2).size(), 3);

    c.FindCopyes(2);
    ASSERT_TRUE(waitUntil([&] { return completions == 2; }));
    c.Flags();
    c.TakeFindResult();
    EXPECT_EQ(c.Flags(), efRefreshView);
    EXPECT_EQ(c.Mode(), bmComputerFiles);
    EXPECT_EQ(c.ListIndex(), 2);
    EXPECT_EQ(names(2), QStringList{"A.MP3"}); // "one.mp3" is only in jazz, not in rock
    EXPECT_EQ(c.FolderList(2).RootDir, path("other"));
    EXPECT_EQ(c.FolderList(2).At(0).Title, QString());
    EXPECT_FALSE(c.FindResultPending());
}

TEST_F(FileOps, SavingTheCachedStream)
{
    ASSERT_TRUE(test::WriteFile(path("VL4Conf/Cache/temp.mp3"), "cached"));
    TFileName cached;
    cached.FileName = "temp.mp3";
    cached.DirName = path("VL4Conf/Cache/");
    cached.Title = "Live: Evening";
    c.CopyFileFromCache(cached, 1);
    EXPECT_TRUE(names(1).contains("Live_ Evening.mp3"));
    const std::vector<Tick> ticks = runTimer(c);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().code, efCopyStep);
    EXPECT_EQ(test::ReadFile(path("jazz/Live_ Evening.mp3")), "cached");
}

TEST(FileSteps, LinksToTheSameFileAreNeverOverwritten)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.mp3");
    const QString b = dir.filePath("b.mp3");
    ASSERT_TRUE(test::WriteFile(a, "keep"));
    ASSERT_TRUE(QFile::link(a, b)); // b leads to a
    EXPECT_FALSE(CopyLocalFile(a, b));
    EXPECT_FALSE(MoveLocalFile(a, b));
    EXPECT_FALSE(CopyLocalFile(a, a));
    EXPECT_FALSE(MoveLocalFile(a, a));
    EXPECT_EQ(test::ReadFile(a), "keep");

    // An existing other target is replaced whole.
    const QString c = dir.filePath("c.mp3");
    ASSERT_TRUE(test::WriteFile(c, "older and longer"));
    EXPECT_TRUE(CopyLocalFile(a, c));
    EXPECT_EQ(test::ReadFile(c), "keep");
    EXPECT_FALSE(CopyLocalFile(dir.filePath("none.mp3"), c));
    EXPECT_FALSE(CopyLocalFile(a, dir.filePath("no/such/folder/x.mp3")));
    EXPECT_TRUE(MoveLocalFile(c, dir.filePath("d.mp3")));
    EXPECT_FALSE(QFileInfo::exists(c));
    EXPECT_FALSE(RecycleFile(dir.filePath("none.mp3")));
}

TEST_F(FileOps, MovedFilesStayInPlaylistsAndBookmarks)
{
    // The catalogue was never read (as for a tool working on one folder): the saved playlists and
    // bookmarks are fixed on disk, the playlist in memory in memory.
    const QString rock = path("rock/");
    const QString jazz = path("jazz/");
    ASSERT_TRUE(test::WriteFile(path("VL4Conf/Playlists/Mix.vl3u"),
                                ("1\r\n" + rock + "c.mp3\r\n" + rock + "a.mp3\r\n").toUtf8()));
    ASSERT_TRUE(
        test::WriteFile(path("VL4Conf/BK.txt"),
                        ("a 00:01  \r\na.mp3\r\n100\r\n" + rock + "\r\n" + path("rock") +
                         "\r\nc 00:02  \r\nc.mp3\r\n5\r\n" + rock + "\r\n" + path("rock") + "\r\n")
                            .toUtf8()));
    ASSERT_TRUE(c.AddPlayList("MyNetwork"));
    ASSERT_TRUE(c.AddPlayList("Live"));
    show(0);
    c.AddFileToPlayList({0}, 1);
    c.MoveFiles({0, 1}, 1);
    runTimer(c);
    ASSERT_TRUE(QFileInfo::exists(path("jazz/a.mp3")));

    ASSERT_EQ(c.PlayList(1).Count(), 1);
    EXPECT_EQ(c.PlayList(1).At(0).DirName, jazz);
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(path("VL4Conf/Playlists/Mix.vl3u"), lines));
    EXPECT_EQ(lines, QStringList({"1", rock + "c.mp3", jazz + "a.mp3"}));
    ASSERT_TRUE(ReadTextLines(path("VL4Conf/BK.txt"), lines));
    ASSERT_EQ(lines.size(), 10);
    // The moved file's bookmark now belongs to the folder list it went to.
    EXPECT_EQ(lines.mid(0, 5), QStringList({"a 00:01  ", "a.mp3", "100", jazz, path("jazz")}));
    EXPECT_EQ(lines.mid(5, 5), QStringList({"c 00:02  ", "c.mp3", "5", rock, path("rock")}));
}

#include "base/FileList.h"
#include "base/Codepage.h"
#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtils.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <functional>

using namespace vorlane;

namespace {

TFileName rec(const QString &file, const QString &dir, const QString &title = {})
{
    TFileName r;
    r.FileName = file;
    r.DirName = dir;
    r.Title = title;
    return r;
}

QStringList names(const TFileList &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.At(i).FileName;
    return out;
}

} // namespace

TEST(FileListRecords, DuplicateRuleNeedsSameNameAndNonEmptyFolder)
{
    TFileList list;
    list.AddNewRecord(rec("a.mp3", "/m/"));
    list.AddNewRecord(rec("a.mp3", "/m/"));
    list.AddNewRecord(rec("a.mp3", "/n/"));
    list.AddNewRecord(rec("A.mp3", "/m/"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.CurIndex, 2);
    // Records without a folder are never duplicates of each other.
    list.AddNewRecord(rec("x", ""));
    list.AddNewRecord(rec("x", ""));
    EXPECT_EQ(list.Count(), 5);

    // The index follows records that change or go: a freed key can be added again.
    list.DeleteRecord(0);
    list.AddNewRecord(rec("a.mp3", "/m/"));
    EXPECT_EQ(list.Count(), 5);
    list.SetRecord(0, rec("b.mp3", "/n/"));
    list.AddNewRecord(rec("a.mp3", "/n/"));
    EXPECT_EQ(list.Count(), 6);
    list.ClearRecord(1); // "A.mp3" in "/m/"; compacting also drops the two folderless records
    list.RefreshList();
    EXPECT_EQ(list.Count(), 3);
    list.AddNewRecord(rec("A.mp3", "/m/"));
    EXPECT_EQ(list.Count(), 4);
    list.SetCount(0);
    list.AddNewRecord(rec("b.mp3", "/n/"));
    EXPECT_EQ(list.Count(), 1);

    // A list filled slot by slot still refuses a record it holds.
    TFileList filled;
    filled.SetCount(2);
    filled.SetRecord(0, rec("x.mp3", "/a/"));
    filled.SetRecord(1, rec("y.mp3", "/a/"));
    filled.AddNewRecord(rec("y.mp3", "/a/"));
    EXPECT_EQ(filled.Count(), 2);
    filled.DeleteRecord(1);
    filled.AddNewRecord(rec("y.mp3", "/a/"));
    EXPECT_EQ(filled.Count(), 2);
}

TEST(FileListRecords, EditOperationsAndTheErrorRecord)
{
    TFileList list;
    for (const char *n : {"a", "b", "c", "d"})
        list.AddNewRecord(rec(QString::fromLatin1(n) + ".mp3", "/m/"));

    EXPECT_EQ(list.GetRecord(-1).Title, QStringLiteral("ERROR!!!"));
    EXPECT_EQ(list.GetRecord(4).Title, QStringLiteral("ERROR!!!"));
    EXPECT_TRUE(list.GetRecord(4).IsEmpty());

    list.SetRecord(1, QStringLiteral("B.flac"), QString());
    EXPECT_EQ(list.At(1).Title, QStringLiteral("B"));
    EXPECT_EQ(list.At(1).DirName, QStringLiteral("/m/"));
    EXPECT_EQ(list.CurIndex, 1);
    list.SetRecord(2, rec("", "/x/")); // an empty name changes nothing but the cursor
    EXPECT_EQ(list.At(2).FileName, QStringLiteral("c.mp3"));
    EXPECT_EQ(list.CurIndex, 2);
    list.SetRecord(9, rec("z", "/z/"));
    EXPECT_EQ(list.CurIndex, 2);

    list.SwapRecord(0, 3);
    EXPECT_EQ(names(list), QStringList({"d.mp3", "B.flac", "c.mp3", "a.mp3"}));
    EXPECT_EQ(list.CurIndex, 3);

    list.ClearRecord(1);
    list.ClearRecord(3);
    EXPECT_EQ(list.Count(), 4);
    list.RefreshList();
    EXPECT_EQ(names(list), QStringList({"d.mp3", "c.mp3"}));

    list.DeleteRecord(1); // the last one: the cursor is clamped onto the list
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.CurIndex, 0);
    list.ClearList();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.GetStringList().isEmpty());
}

TEST(FileListSort, NaturalAscendingDescendingAndStable)
{
    TFileList list;
    for (const char *n : {"Track 10", "track 2", "Track 1"})
        list.AddNewRecord(rec(QString::fromLatin1(n), "/m/"));
    list.AlphabetSort(false, false);
    EXPECT_EQ(names(list), QStringList({"Track 1", "track 2", "Track 10"}));
    list.AlphabetSort(true, false);
    EXPECT_EQ(names(list), QStringList({"Track 10", "track 2", "Track 1"}));

    // Equal keys keep their order in both directions.
    TFileList same;
    same.AddNewRecord(rec("1.mp3", "/a/", "Same"));
    same.AddNewRecord(rec("2.mp3", "/a/", "same"));
    same.AddNewRecord(rec("0.mp3", "/a/", "Earlier"));
    same.AddNewRecord(rec("3.mp3", "/a/", "SAME"));
    same.AlphabetSort(false, true);
    EXPECT_EQ(names(same), QStringList({"0.mp3", "1.mp3", "2.mp3", "3.mp3"}));
    same.AlphabetSort(true, true);
    EXPECT_EQ(names(same), QStringList({"1.mp3", "2.mp3", "3.mp3", "0.mp3"}));
}

TEST(FileListSort, DateOldestFirstKeepingTies)
{
    TFileList list;
    const double dates[] = {3, 1, 2, 1};
    for (int i = 0; i < 4; ++i) {
        TFileName r = rec(QString::number(i), "http://h/");
        r.Date = dates[i];
        list.AddNewRecord(r);
    }
    list.DateSort();
    EXPECT_EQ(names(list), QStringList({"1", "3", "2", "0"}));
}

TEST(FileListFind, ExactSearchStartsAtTheCursorAndWraps)
{
    TFileList list;
    for (const char *t : {"Alpha", "Beta", "Gamma", "Delta"})
        list.AddNewRecord(rec(QString::fromLatin1(t) + ".mp3", "/m/", QString::fromLatin1(t)));
    list.CurIndex = 1;
    EXPECT_TRUE(list.Find(QStringLiteral("eta"), 1.0f)); // the entry at the cursor counts
    EXPECT_EQ(list.CurIndex, 1);
    EXPECT_FALSE(list.Find(QStringLiteral("alpha"), 1.0f)); // case-sensitive, and not wrapping
    EXPECT_EQ(list.CurIndex, 3);
    // On the last entry the search starts over at 0.
    EXPECT_TRUE(list.Find(QStringLiteral("Alpha"), 1.0f));
    EXPECT_EQ(list.CurIndex, 0);
    TFileList empty;
    EXPECT_FALSE(empty.Find(QStringLiteral("a"), 1.0f));
}

TEST(FileListFind, FuzzySearchSkipsTheCurrentEntry)
{
    TFileList list;
    for (const char *t : {"Yesterday", "Let It Be", "Yellow Submarine", "Help", "Yesterday Live"})
        list.AddNewRecord(rec(QString::fromLatin1(t) + ".mp3", "/m/", QString::fromLatin1(t)));
    list.CurIndex = 0;
    // "yesterday" -> ye, st, er, da: all four are found in entry 4 only; entry 0 is skipped.
    EXPECT_TRUE(list.Find(QStringLiteral("YESTERDAY"), 0.8f));
    EXPECT_EQ(list.CurIndex, 4);
    // From the last entry the search wraps to 0, which is then the skipped start.
    EXPECT_TRUE(list.Find(QStringLiteral("yesterday"), 0.8f));
    EXPECT_EQ(list.CurIndex, 4);
    list.CurIndex = 0;
    EXPECT_TRUE(list.Find(QStringLiteral("yellow sub"), 0.8f));
    EXPECT_EQ(list.CurIndex, 2);
    // Nothing reaches the threshold; the last entry scored above 0, so the cursor rests there.
    list.CurIndex = 1;
    EXPECT_FALSE(list.Find(QStringLiteral("yeqqqqqq"), 0.8f));
    EXPECT_EQ(list.CurIndex, 4);
    // A one-letter query has no pieces and finds nothing.
    list.CurIndex = 1;
    EXPECT_FALSE(list.Find(QStringLiteral("h"), 0.8f));
    EXPECT_EQ(list.CurIndex, 1);
}

TEST(FileListLines, NetworkLineSplitAndRoundTrip)
{
    EXPECT_TRUE(HoldsHttp(u"hhttp"));
    EXPECT_TRUE(HoldsHttp(u"/home/http"));
    EXPECT_FALSE(HoldsHttp(u"/home/htt"));
    EXPECT_FALSE(HoldsHttp(u"HTTP h"));

    TFileList list;
    const QString line = QStringLiteral("http://example.invalid/dir/song.mp3?My Song");
    list.AddNewRecord(line);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0).DirName, QStringLiteral("http://example.invalid/dir/"));
    EXPECT_EQ(list.At(0).FileName, QStringLiteral("song.mp3"));
    EXPECT_EQ(list.At(0).Title, QStringLiteral("My Song"));
    EXPECT_EQ(list.At(0).Date, 0);
    EXPECT_EQ(list.GetStringList(), QStringList{line});

    list.AddNewRecord(QStringLiteral("http://h/a.mp3?x?y")); // title after the first "?"
    EXPECT_EQ(list.At(1).Title, QStringLiteral("x?y"));
    list.AddNewRecord(QStringLiteral("nohttpslash"));
    EXPECT_EQ(list.At(2).DirName, QStringLiteral("nohttpslash"));
    EXPECT_TRUE(list.At(2).FileName.isEmpty());
    // Without a title the "?" is still written.
    list.AddNewRecord(QStringLiteral("http://h/b.mp3"));
    EXPECT_EQ(list.GetStringList().last(), QStringLiteral("http://h/b.mp3?"));
}

TEST(FileListLines, LocalLinesAndTheFilesTheyAreReadFrom)
{
    QTemporaryDir dir;
    const QString music = dir.filePath(QStringLiteral("Музыка")) + '/';
    ASSERT_TRUE(test::WriteFile(music + "Song.mp3", "x"));
    const QString httpFolder = dir.filePath(QStringLiteral("http files")) + '/';
    ASSERT_TRUE(test::WriteFile(httpFolder + "b.mp3", "x"));

    const QString listFile = dir.filePath(QStringLiteral("list.vl3u"));
    ASSERT_TRUE(WriteTextLines(
        listFile, {"1", music + "Song.mp3", "", httpFolder + "b.mp3", "http://h/x/y.ogg?Y"}));
    TFileList list;
    ASSERT_TRUE(list.LoadListFromFile(listFile));
    EXPECT_EQ(list.RootDir, listFile);
    EXPECT_EQ(list.CurIndex, 1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0).DirName, music);
    EXPECT_EQ(list.At(0).Title, QStringLiteral("Song"));
    EXPECT_GT(list.At(0).Date, 40000);
    // A local path with "http" in it is read as a network line (split at its last "/").
    EXPECT_EQ(list.At(1).Date, 0);
    EXPECT_EQ(list.At(1).FileName, QStringLiteral("b.mp3"));
    EXPECT_EQ(list.GetStringList(),
              QStringList({music + "Song.mp3", httpFolder + "b.mp3?", "http://h/x/y.ogg?Y"}));

    TFileList missing;
    EXPECT_FALSE(missing.LoadListFromFile(dir.filePath(QStringLiteral("nope.vl3u"))));
    EXPECT_EQ(missing.Count(), 0);

    QStringList lines{"not a number", "http://h/1.mp3?", "http://h/2.mp3?"};
    TFileList fromMemory;
    fromMemory.LoadListFromString(lines);
    EXPECT_EQ(lines.size(), 2); // the cursor line is taken off the caller's list
    EXPECT_EQ(fromMemory.CurIndex, 0);
    EXPECT_EQ(fromMemory.RootDir, QStringLiteral("-"));
    EXPECT_EQ(fromMemory.Count(), 2);
}

TEST(FileListLines, RepeatedLinesAndLinesOfOneFolder)
{
    QTemporaryDir dir;
    const QString music = dir.filePath(QStringLiteral("Music")) + '/';
    ASSERT_TRUE(test::WriteFile(music + "a.mp3", "x"));
    ASSERT_TRUE(test::WriteFile(music + "b.mp3", "x"));
    const QString gone = dir.filePath(QStringLiteral("gone")) + '/';
    QStringList lines{"0",
                      music + "a.mp3",
                      music + "b.mp3",
                      music + "a.mp3",
                      music,
                      music + "missing.mp3",
                      gone + "x.mp3",
                      gone + "y.mp3",
                      music + "b.mp3"};
    TFileList list;
    list.LoadListFromString(lines);
    EXPECT_EQ(names(list), QStringList({"a.mp3", "b.mp3", "", "missing.mp3", "x.mp3", "y.mp3"}));
    // Dates are the files' own, however the lines of a folder follow each other; a line naming
    // the folder itself gets the folder's.
    EXPECT_EQ(list.At(0).Date, GetFileDateTime(music + "a.mp3"));
    EXPECT_EQ(list.At(1).Date, GetFileDateTime(music + "b.mp3"));
    EXPECT_EQ(list.At(2).Date, GetFileDateTime(music));
    EXPECT_GT(list.At(2).Date, 40000);
    EXPECT_EQ(list.At(3).Date, 0);
    EXPECT_EQ(list.At(5).Date, 0);
}

TEST(FileListName, ExtensionAndIncludesSuffix)
{
    SetMessage(QStringLiteral("SM_WITHINCLUDES"), QStringLiteral(" (+sub)"));
    TFileList playlist;
    playlist.RootDir = QStringLiteral("Party.vl3u");
    EXPECT_EQ(playlist.Name(), QStringLiteral("Party"));
    QTemporaryDir dir;
    const QString dotted = dir.filePath(QStringLiteral("Rock 2.0"));
    ASSERT_TRUE(QDir().mkpath(dotted));
    TFileList folder;
    folder.RootDir = dotted;
    folder.Included = true;
    EXPECT_EQ(folder.Name(), dotted + " (+sub)");
    ClearMessages();
}

TEST(FolderScan, AudioFilterSubfoldersHiddenAndOrder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(test::WriteFile(root + "/a.MP3", "x"));
    ASSERT_TRUE(test::WriteFile(root + "/b.txt", "x"));
    ASSERT_TRUE(test::WriteFile(root + "/.hidden.mp3", "x"));
    ASSERT_TRUE(test::WriteFile(root + "/sub/c.flac", "x"));
    ASSERT_TRUE(test::WriteFile(root + "/sub/deeper/d.ogg", "x"));
    ASSERT_TRUE(test::WriteFile(root + "/.cache/e.mp3", "x"));

    TFileList list;
    list.RootDir = root;
    list.CreateList(true);
    EXPECT_EQ(names(list), QStringList({"a.MP3"}));
    EXPECT_EQ(list.At(0).DirName, root + '/');
    EXPECT_EQ(list.At(0).Title, QStringLiteral("a"));
    EXPECT_GT(list.At(0).Date, 40000);

    list.CreateList(false);
    EXPECT_EQ(list.Count(), 2);
    // Adding a file the scan listed keeps one record of it.
    list.AddNewRecord(list.GetRecord(1));
    list.AddNewRecord(QStringLiteral("b.txt"), root + '/', QStringLiteral("b"));
    EXPECT_EQ(list.Count(), 2);

    list.Included = true;
    list.CreateList(true);
    QStringList found = names(list);
    found.sort();
    EXPECT_EQ(found, QStringList({"a.MP3", "c.flac", "d.ogg"}));
    EXPECT_EQ(list.CurIndex, 0);

    // A link back up the tree is entered once, not forever.
    ASSERT_TRUE(QFile::link(root, root + "/sub/loop"));
    list.CreateList(true);
    EXPECT_EQ(list.Count(), 3);

    // A copy that a killed tag write left in a scanned folder goes once it is stale.
    const QString stale = root + "/sub/.c.flac.vl-Ab12Cd";
    ASSERT_TRUE(test::WriteFile(stale, "half"));
    ASSERT_TRUE(test::AgeFile(stale, 120));
    list.CreateList(true);
    EXPECT_FALSE(QFile::exists(stale));

    TFileList none;
    none.RootDir = root + "/does-not-exist";
    none.CreateList(true);
    EXPECT_EQ(none.Count(), 0);
}

TEST(FolderScan, ScanFolderHandsOverWhatCreateListKeeps)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char *name : {"a.mp3", "b.txt", "sub/c.ogg", "sub/bad\nname.mp3", "sub/d/e.mp3"})
        ASSERT_TRUE(test::WriteFile(root + '/' + QString::fromUtf8(name), "x"));
    TFileList list;
    list.RootDir = root;
    list.Included = true;
    EXPECT_EQ(list.CreateList(false), 1);

    TFileList scanned;
    scanned.RootDir = root;
    scanned.Included = true;
    QList<TFileName> taken;
    EXPECT_EQ(scanned.ScanFolder(false, [&](TFileName &&r) { taken.append(std::move(r)); }), 1);
    EXPECT_EQ(scanned.Count(), 0);
    ASSERT_EQ(taken.size(), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(TFileList::RecordToLine(taken.at(i)), TFileList::RecordToLine(list.At(i)));
        EXPECT_EQ(taken.at(i).Title, list.At(i).Title);
        EXPECT_EQ(taken.at(i).Date, list.At(i).Date);
    }
}

TEST(FolderScan, PseudoFoldersByTypeOrPlace)
{
    auto at = [](int64_t type, const char *realPath) {
        TFolderFacts f;
        f.FileSystemType = type;
        f.RealPath = realPath;
        return f;
    };
    const int64_t proc = 0x9fa0, cgroup2 = 0x63677270, tmpfs = 0x01021994, ext4 = 0xef53;
    EXPECT_TRUE(IsPseudoFolder(at(proc, "/home/me/mnt/")));    // mounted anywhere
    EXPECT_TRUE(IsPseudoFolder(at(cgroup2, "")));              // real path unknown
    EXPECT_TRUE(IsPseudoFolder(at(tmpfs, "/dev/")));           // devtmpfs reads as tmpfs
    EXPECT_TRUE(IsPseudoFolder(at(tmpfs, "/dev/shm/")));       // below /dev
    EXPECT_TRUE(IsPseudoFolder(at(ext4, "/sys")));             // without the trailing "/"
    EXPECT_FALSE(IsPseudoFolder(at(tmpfs, "/tmp/music/")));    // tmpfs holds real files
    EXPECT_FALSE(IsPseudoFolder(at(ext4, "/devices/music/"))); // only starts like /dev
    EXPECT_FALSE(IsPseudoFolder(at(ext4, "/home/me/proc/")));
}

TEST(TextFiles, EncodingsOnReadAndUtf8CrLfOnWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    const QString cyr = QStringLiteral("Привет");

    ASSERT_TRUE(WriteTextLines(path, {cyr, "b"}));
    EXPECT_EQ(test::ReadFile(path), cyr.toUtf8() + "\r\nb\r\n");

    QStringList lines;
    ASSERT_TRUE(test::WriteFile(path, "\xEF\xBB\xBF" + cyr.toUtf8() + "\nx"));
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, QStringList({cyr, "x"}));

    QByteArray utf16("\xFF\xFE", 2);
    const QString withEnd = cyr + "\r\n";
    for (QChar c : withEnd)
        utf16 += QByteArray(reinterpret_cast<const char *>(&c), 2);
    ASSERT_TRUE(test::WriteFile(path, utf16));
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, QStringList{cyr});

    // Not valid UTF-8: the legacy code page (windows-1251 here) decodes it.
    SetLegacyCodePage(QStringLiteral("windows-1251"));
    ASSERT_TRUE(test::WriteFile(path, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2\r\n")));
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, QStringList{cyr});
    SetLegacyCodePage(QString());

    // A text that begins with a byte-order mark character reads back with it.
    const QStringList marked = {QString(QChar::ByteOrderMark) + "a", "b"};
    ASSERT_TRUE(WriteTextLines(path, marked));
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, marked);

    EXPECT_EQ(SplitLines(QStringLiteral("a\r\n\r\nb\rc")), QStringList({"a", "", "b", "c"}));
    EXPECT_EQ(SplitLines(QStringLiteral("\r\r\na\n\rb\r")), QStringList({"", "", "a", "", "b"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
    EXPECT_FALSE(ReadTextLines(dir.filePath(QStringLiteral("missing")), lines));
}

TEST(TextFiles, OverLongLinesReadEmptyAndTheOthersKeepTheirPlaces)
{
    // At the limit a line is kept, one character more and it is damaged, in any encoding; the
    // long lines cross the reader's 64 KiB blocks.
    const QByteArray atLimit(kMaxListLine, 'a');
    const QString wide(kMaxListLine, QChar(0x0436)); // two bytes each in UTF-8
    QByteArray bytes = "first\r\n" + atLimit + "\r\n" + QByteArray(kMaxListLine + 1, 'b') + "\n" +
                       wide.toUtf8() + "\r" + QByteArray(300000, 'c') + "\r\nlast";
    QBuffer utf8(&bytes);
    ASSERT_TRUE(utf8.open(QIODevice::ReadOnly));
    QStringList lines;
    EXPECT_EQ(ReadTextLines(utf8, lines), 2);
    EXPECT_EQ(lines, QStringList({"first", atLimit, "", wide, "", "last"}));

    // UTF-16 ends lines at 16-bit units only: U+0D0A holds an LF and a CR byte.
    const QString text =
        QString::fromUtf16(u"x\u0D0Ay\r\n") + QString(kMaxListLine + 1, u'z') + "\r\nend";
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QBuffer marked(&utf16);
    ASSERT_TRUE(marked.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadTextLines(marked, lines), 1);
    EXPECT_EQ(lines, QStringList({QString::fromUtf16(u"x\u0D0Ay"), "", "end"}));
}

TEST(FileListStamps, ReplacedEntriesAreToldUntilTheListChangesShape)
{
    TFileList list;
    for (const char *n : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
        list.AddNewRecord(rec(n, "/m/"));
    const TListStamp stamp = list.Stamp();
    QList<int> rows = {99};
    ASSERT_TRUE(list.ChangedSince(stamp, rows));
    EXPECT_TRUE(rows.isEmpty());

    list.SetRecord(2, "z.mp3", QString());
    list.SwapRecord(3, 0);
    list.SetRecord(2, rec("y.mp3", "/m/"));
    ASSERT_TRUE(list.ChangedSince(stamp, rows));
    EXPECT_EQ(rows, (QList<int>{0, 2, 3})); // ascending, each once
    const TListStamp later = list.Stamp();
    list.ClearRecord(1);
    ASSERT_TRUE(list.ChangedSince(later, rows));
    EXPECT_EQ(rows, QList<int>{1});

    // Another list, or a copy, never answers for this one's stamps, even with the same records.
    TFileList copy = list;
    EXPECT_FALSE(copy.ChangedSince(later, rows));
    EXPECT_TRUE(list.ChangedSince(later, rows));
    TFileList moved = std::move(copy);
    EXPECT_FALSE(moved.ChangedSince(later, rows));
    EXPECT_FALSE(TFileList().ChangedSince(TListStamp(), rows));

    // Anything that adds, removes or reorders entries: the stamp tells nothing any more.
    const std::vector<std::function<void(TFileList &)>> reshapes = {
        [](TFileList &l) { l.AddNewRecord(rec("e.mp3", "/m/")); },
        [](TFileList &l) { l.DeleteRecord(0); },
        [](TFileList &l) { l.AlphabetSort(true, false); },
        [](TFileList &l) { l.RefreshList(); }, // drops the cleared entry
        [](TFileList &l) { l.SetCount(2); },
        [](TFileList &l) { l.ClearList(); },
        [](TFileList &l) { l = TFileList(); },
    };
    for (size_t k = 0; k < reshapes.size(); ++k) {
        TFileList l = list;
        const TListStamp s = l.Stamp();
        reshapes[k](l);
        EXPECT_FALSE(l.ChangedSince(s, rows)) << "change " << k;
        EXPECT_TRUE(rows.isEmpty());
    }

    // Only the latest replacements are remembered: a stamp older than those says nothing.
    TFileList many = list;
    const TListStamp old = many.Stamp();
    for (int i = 0; i < 1000; ++i)
        many.SwapRecord(0, 1);
    EXPECT_FALSE(many.ChangedSince(old, rows));
    const TListStamp recent = many.Stamp();
    many.SwapRecord(2, 3);
    ASSERT_TRUE(many.ChangedSince(recent, rows));
    EXPECT_EQ(rows, (QList<int>{2, 3}));
}

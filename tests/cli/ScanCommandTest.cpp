#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

using test::CliResult;
using test::RunCli;

} // namespace

TEST(CliScan, PrintsTheCursorAndOnePathPerLine)
{
    QTemporaryDir dir;
    for (const char *n : {"Track 10.mp3", "track 2.MP3", "Track 1.flac", "notes.txt"})
        ASSERT_TRUE(test::WriteFile(dir.filePath(QString::fromUtf8(n)), "x"));
    ASSERT_TRUE(test::WriteFile(dir.filePath("sub/Песня 3.ogg"), "x"));

    CliResult r = RunCli({"scan", dir.path(), "--sort", "name"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString root = dir.path() + '/';
    EXPECT_EQ(r.out,
              "0\n" + root + "Track 1.flac\n" + root + "track 2.MP3\n" + root + "Track 10.mp3\n");

    r = RunCli({"scan", dir.path(), "--subfolders", "--all-files", "--sort", "name-desc"});
    ASSERT_EQ(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    // Descending natural order of the file names: Cyrillic after Latin, so it comes first.
    EXPECT_EQ(lines.mid(1),
              QStringList({root + "sub/Песня 3.ogg", root + "Track 10.mp3", root + "track 2.MP3",
                           root + "Track 1.flac", root + "notes.txt"}));
}

TEST(CliScan, MissingFolderAndBadArguments)
{
    const CliResult r = RunCli({"scan", "/nonexistent/vorlane-folder"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_EQ(RunCli({"scan"}).code, 2);
    EXPECT_EQ(RunCli({"scan", ".", "--sort", "size"}).code, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).code, 2);
}

TEST(CliScan, AListOfManyBlocksComesWholeSortedOrNot)
{
    QTemporaryDir dir;
    const QString tail = QString(100, u'ж') + QStringLiteral(".mp3");
    for (int i = 0; i < 1500; ++i)
        ASSERT_TRUE(test::WriteFile(dir.filePath(QString::number(i) + tail), "x"));
    const CliResult unsorted = RunCli({"scan", dir.path()});
    const CliResult sorted = RunCli({"scan", dir.path(), "--sort", "name"});
    ASSERT_EQ(unsorted.code, 0) << unsorted.err.toStdString();
    ASSERT_EQ(sorted.code, 0);
    EXPECT_GT(sorted.out.toUtf8().size(), 256 * 1024) << "more than one output block";
    EXPECT_TRUE(unsorted.out.endsWith(u'\n'));
    QStringList lines = unsorted.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1501);
    EXPECT_EQ(lines.first(), QStringLiteral("0"));
    // Unsorted the order is the file system's; the lines are the same.
    QStringList sortedLines = sorted.out.split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    sortedLines.sort();
    EXPECT_EQ(lines, sortedLines);
}

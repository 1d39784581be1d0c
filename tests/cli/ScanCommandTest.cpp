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

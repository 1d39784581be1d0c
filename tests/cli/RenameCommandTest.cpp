#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

using test::CliResult;
using test::RunCli;

QStringList filesIn(const QString &dir)
{
    QStringList n = QDir(dir).entryList(QDir::Files);
    n.sort();
    return n;
}

} // namespace

TEST(CliRename, FormatAndTransliterationInNaturalOrder)
{
    QTemporaryDir dir;
    for (const char *n : {"10_b.mp3", "2_a-remake.MP3", "notes.txt"})
        ASSERT_TRUE(test::WriteFile(dir.filePath(n), "x"));
    CliResult r = RunCli({"rename", dir.path(), "--format"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "2_a-remake.MP3 -> A - Remake.mp3\n10_b.mp3 -> B.mp3\n");
    EXPECT_EQ(filesIn(dir.path()), QStringList({"A - Remake.mp3", "B.mp3", "notes.txt"}));

    r = RunCli({"rename", dir.path(), "--to-cyrillic"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "A - Remake.mp3 -> А - Ремаке.mp3\nB.mp3 -> Б.mp3\n");
    r = RunCli({"rename", dir.path(), "--to-latin"});
    EXPECT_EQ(r.out, "А - Ремаке.mp3 -> a_-_remake.mp3\nБ.mp3 -> b.mp3\n");
}

TEST(CliRename, NumberingReplacingAndSubfolders)
{
    QTemporaryDir dir;
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(test::WriteFile(dir.filePath(QString("Song %1 feat X.mp3").arg(i)), "x"));
    CliResult r = RunCli({"rename", dir.path(), "--number"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.first(), "Song 1 feat X.mp3 -> 01 - Song 1 feat X.mp3");
    EXPECT_EQ(lines.last(), "Song 12 feat X.mp3 -> 12 - Song 12 feat X.mp3");

    r = RunCli({"rename", dir.path(), "--replace", "feat", "ft"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.count('\n'), 12);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("03 - Song 3 ft X.mp3")));

    // A new name that is taken: refused, reported, the file stays.
    ASSERT_TRUE(test::WriteFile(dir.filePath("sub/Take.mp3"), "a"));
    ASSERT_TRUE(test::WriteFile(dir.filePath("sub/Taken.mp3"), "b"));
    r = RunCli({"rename", dir.path(), "--subfolders", "--replace", "Take.", "Taken."});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_EQ(test::ReadFile(dir.filePath("sub/Taken.mp3")), "b");
    r = RunCli({"rename", dir.path(), "--subfolders", "--replace", "Take", "Given"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "sub/Take.mp3 -> sub/Given.mp3\nsub/Taken.mp3 -> sub/Givenn.mp3\n");
    // A list with sub-folders is not numbered.
    r = RunCli({"rename", dir.path(), "--subfolders", "--number"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliRename, NamesFromTagsAndTagsFromNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(test::MakeMedia(dir.filePath("track.mp3"),
                                {"-f", "lavfi", "-i", "sine=duration=0.1", "-c:a", "libmp3lame",
                                 "-id3v2_version", "3", "-write_id3v1", "1", "-metadata",
                                 "artist=Ария", "-metadata", "title=Штиль", "-metadata", "track=4",
                                 "-metadata", "date=1991"}));
    CliResult r = RunCli({"rename", dir.path(), "--from-v2", "--template", "number,name,year"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "track.mp3 -> 4 - Штиль (1991).mp3\n");
    r = RunCli({"rename", dir.path(), "--from-v2"}); // artist and title by default
    EXPECT_EQ(r.out, "4 - Штиль (1991).mp3 -> Ария - Штиль.mp3\n");

    ASSERT_TRUE(QFile::copy(dir.filePath("Ария - Штиль.mp3"), dir.filePath("B - Second.mp3")));
    r = RunCli({"tags", "from-names", dir.path()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "B - Second.mp3 -> track 1, artist B, title Second\n"
                     "Ария - Штиль.mp3 -> track 2, artist Ария, title Штиль\n");
    r = RunCli({"tags", "show", "--json", dir.filePath("B - Second.mp3")});
    const QJsonObject v2 = QJsonDocument::fromJson(r.out.toUtf8()).object().value("v2").toObject();
    EXPECT_EQ(v2.value("artist").toString(), "B");
    EXPECT_EQ(v2.value("title").toString(), "Second");
    EXPECT_EQ(v2.value("track").toString(), "1");
    EXPECT_EQ(v2.value("year").toString(), "1991"); // kept
}

TEST(CliRename, BadArgumentsAndMissingFolders)
{
    QTemporaryDir dir;
    EXPECT_EQ(RunCli({"rename", dir.path()}).code, 2);
    EXPECT_EQ(RunCli({"rename", dir.path(), "--format", "--number"}).code, 2);
    EXPECT_EQ(RunCli({"rename", dir.path(), "--format", "--template", "name"}).code, 2);
    EXPECT_EQ(RunCli({"rename", dir.path(), "--from-v1", "--template", "name,genre"}).code, 2);
    EXPECT_EQ(RunCli({"rename", dir.path(), "--replace", "x"}).code, 2);
    EXPECT_EQ(RunCli({"rename", "/nonexistent/vorlane", "--format"}).code, 1);
    EXPECT_EQ(RunCli({"tags", "from-names"}).code, 2);
    EXPECT_EQ(RunCli({"tags", "from-names", "/nonexistent/vorlane"}).code, 1);
    const CliResult r = RunCli({"rename", dir.path(), "--format"}); // an empty folder
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.isEmpty());
}

#include "catalog/Naming.h"
#include "base/Messages.h"
#include "catalog/Vorlane.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace vorlane;

namespace {

TTagRenameTemplate makeTemplate(bool number, bool artist, bool album, bool name, bool year)
{
    TTagRenameTemplate t;
    t.Number = number;
    t.Artist = artist;
    t.Album = album;
    t.Name = name;
    t.Year = year;
    return t;
}

TTag tagOf(const char *artist, const char *title, const char *track = "", const char *album = "",
           const char *year = "")
{
    TTag t;
    t.Artist = QString::fromUtf8(artist);
    t.Title = QString::fromUtf8(title);
    t.Track = QString::fromUtf8(track);
    t.Album = QString::fromUtf8(album);
    t.Year = QString::fromUtf8(year);
    t.FileType = ".mp3";
    return t;
}

// A short MP3 made by ffmpeg, with its tags written by ffmpeg too (ID3v2.3 and ID3v1), so the
// tags the naming reads do not come from our own writer.
bool taggedMp3(const QString &path, const QStringList &metadata)
{
    QStringList args = {"-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=440:duration=0.1",
                        "-c:a",
                        "libmp3lame",
                        "-id3v2_version",
                        "3",
                        "-write_id3v1",
                        "1"};
    for (const QString &m : metadata)
        args << "-metadata" << m;
    return test::MakeMedia(path, args);
}

// A folder list of the given files in natural order, shown and current in mode 2.
class Naming : public ::testing::Test {
protected:
    void SetUp() override { ClearMessages(); }
    void open(const QString &folder, bool included = false)
    {
        c.SetMode(bmComputerFiles);
        c.AddList(folder, included, false);
        c.AlphabetSorting(false);
        c.SetFileIndex(0);
        c.Flags();
    }
    QStringList names() const
    {
        QStringList n;
        const TFileList &list = c.FolderList(c.FolderListCount() - 1);
        for (int i = 0; i < list.Count(); ++i)
            n << list.At(i).FileName;
        return n;
    }
    QStringList onDisk(const QString &folder) const
    {
        QStringList n = QDir(folder).entryList(QDir::Files);
        n.sort();
        return n;
    }

    QTemporaryDir dir;
    TVorlane c;
};

} // namespace

TEST(NamingRules, NameFromTagByTemplate)
{
    const TTag tag = tagOf("A", "T", "3", "X", "1991");
    EXPECT_EQ(NameFromTag(tag, makeTemplate(false, true, false, true, false)), "A - T.mp3");
    EXPECT_EQ(NameFromTag(tag, makeTemplate(true, true, false, true, false)), "3 - A - T.mp3");
    EXPECT_EQ(NameFromTag(tag, makeTemplate(false, true, true, true, false)), "A, X  - T.mp3");
    EXPECT_EQ(NameFromTag(tag, makeTemplate(false, true, false, true, true)), "A - T (1991).mp3");
    EXPECT_EQ(NameFromTag(tag, makeTemplate(false, false, false, false, true)), ""); // year alone
    EXPECT_EQ(NameFromTag(tag, makeTemplate(false, false, true, true, false)), "X - T.mp3");
    // Empty fields are not taken; an ID3v1 tag without a track reads as "0".
    EXPECT_EQ(NameFromTag(tagOf("", "T", "0"), makeTemplate(true, true, false, true, false)),
              "0 - T.mp3");
    EXPECT_EQ(
        NameFromTag(tagOf("AC/DC", "Who: Me?"), makeTemplate(false, true, false, true, false)),
        "AC_DC - Who_ Me_.mp3");
}

TEST(NamingRules, TemplateSample)
{
    EXPECT_EQ(TemplateSample(makeTemplate(false, true, false, true, false)),
              "John Johnson - My song");
    EXPECT_EQ(TemplateSample(makeTemplate(true, true, true, true, true)),
              "01 - John Johnson, Spring album  - My song (1991)");
    EXPECT_EQ(TemplateSample(makeTemplate(false, false, true, false, false)), "Spring album");
    EXPECT_EQ(TemplateSample(makeTemplate(false, false, false, false, true)), "");
}

TEST(NamingRules, FormatName)
{
    EXPECT_EQ(FormatName("01_my_song-remix.MP3"), "My Song - Remix.mp3");
    EXPECT_EQ(FormatName("07. ДДТ-ОСЕНЬ.mp3"), "Ддт - Осень.mp3");
    EXPECT_EQ(FormatName("a - b.mp3"), "A - B.mp3");
    EXPECT_EQ(FormatName("song-"), "Song -");
    EXPECT_EQ(FormatName("-intro.mp3"), "Intro.mp3"); // leading punctuation goes too
    EXPECT_EQ(FormatName("a b"), "A b");              // the last character stays as it is
    // A name made only of digits and punctuation keeps them (and its extension).
    EXPECT_EQ(FormatName("01.mp3"), "01.mp3");
    EXPECT_EQ(FormatName("2001"), "2001");
    EXPECT_EQ(FormatName(""), "");
}

TEST(NamingRules, NumberingPrefixAndTagsFromNames)
{
    EXPECT_EQ(NumberingPrefix(1, 12), "01 - ");
    EXPECT_EQ(NumberingPrefix(12, 12), "12 - ");
    EXPECT_EQ(NumberingPrefix(9, 9), "9 - ");
    EXPECT_EQ(NumberingPrefix(7, 100), "007 - ");

    TTag t = TagsFromName("Artist - Title.mp3", 5);
    EXPECT_EQ(t.Artist, "Artist");
    EXPECT_EQ(t.Title, "Title");
    EXPECT_EQ(t.Track, "5");
    EXPECT_TRUE(t.Album.isEmpty() && t.Genre.isEmpty() && t.Year.isEmpty());
    t = TagsFromName("Artist-Title.mp3", 1);
    EXPECT_EQ(t.Artist, "Artist");
    EXPECT_EQ(t.Title, "Title");
    t = TagsFromName("Jean-Michel Jarre - Oxygène.mp3", 2); // the first hyphen decides
    EXPECT_EQ(t.Artist, "Jean");
    t = TagsFromName("NoHyphen.mp3", 1); // the whole name is the title; the artist stays
    EXPECT_TRUE(t.Artist.isEmpty());
    EXPECT_EQ(t.Title, "NoHyphen");
}

TEST(NamingRules, PathInsideFolder)
{
    EXPECT_TRUE(PathInsideFolder("/music/sub/a.mp3", "/music"));
    EXPECT_TRUE(PathInsideFolder("/a.mp3", "/"));
    EXPECT_FALSE(PathInsideFolder("/music2/a.mp3", "/music")); // a sibling with a longer name
    EXPECT_FALSE(PathInsideFolder("/music", "/music"));
    EXPECT_FALSE(PathInsideFolder("/", "/"));
    EXPECT_FALSE(PathInsideFolder("", "/music")); // a file that did not resolve
    EXPECT_FALSE(PathInsideFolder("/music/a.mp3", ""));
}

TEST_F(Naming, NamesFromRealTags)
{
    const QString music = dir.filePath("music");
    ASSERT_TRUE(taggedMp3(music + "/track1.mp3",
                          {"artist=A", "title=T", "track=3", "album=X", "date=1991"}));
    ASSERT_TRUE(taggedMp3(music + "/track2.mp3", {"artist=Кино", "title=Время: есть"}));
    ASSERT_TRUE(taggedMp3(music + "/track3.mp3", {}));
    ASSERT_TRUE(test::WriteFile(music + "/track4.ogg", "not an mp3"));
    open(music);
    c.SetTagRenameTemplate(makeTemplate(false, true, false, true, false));

    EXPECT_EQ(c.Edit(etFromTagV2), "A - T.mp3"); // computed only
    EXPECT_TRUE(QFileInfo::exists(music + "/track1.mp3"));
    c.SetTagRenameTemplate(makeTemplate(true, true, true, true, false));
    EXPECT_EQ(c.Edit(etFromTagV2), "3 - A, X  - T.mp3");
    EXPECT_EQ(c.Edit(etFromTagV1), "3 - A, X  - T.mp3");
    c.SetTagRenameTemplate(makeTemplate(false, false, false, false, true));
    EXPECT_EQ(c.Edit(etFromTagV2), ""); // year alone gives no name

    c.SetTagRenameTemplate(makeTemplate(false, true, false, true, false));
    EXPECT_EQ(c.GetTagsList(0, true), "A - T.mp3\r\nКино - Время_ есть.mp3\r\n\r\n\r\n");
    EXPECT_EQ(c.Edit({0, 1, 2, 3}, etFromTagV2).Refused, 0);
    EXPECT_EQ(c.Flags(), efListChanged);
    // No tags, or not an MP3: not renamed.
    EXPECT_EQ(names(),
              QStringList({"A - T.mp3", "Кино - Время_ есть.mp3", "track3.mp3", "track4.ogg"}));
    EXPECT_EQ(onDisk(music),
              QStringList({"A - T.mp3", "track3.mp3", "track4.ogg", "Кино - Время_ есть.mp3"}));
}

TEST_F(Naming, NumberingWidthsAndTheRefusedMark)
{
    const QString twelve = dir.filePath("twelve");
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(test::WriteFile(twelve + QString("/song %1.mp3").arg(QChar('a' + i)), "x"));
    open(twelve);
    EXPECT_EQ(c.Edit(etNumbering), "song a.mp3");
    EXPECT_EQ(c.Flags(), efRefreshView);
    EXPECT_EQ(names().first(), "01 - song a.mp3");
    EXPECT_EQ(names().last(), "12 - song l.mp3");
    EXPECT_TRUE(QFileInfo::exists(twelve + "/07 - song g.mp3"));
    c.Edit(etNumbering); // twice: two prefixes
    EXPECT_EQ(names().first(), "01 - 01 - song a.mp3");

    const QString nine = dir.filePath("nine");
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(test::WriteFile(nine + QString("/t%1.mp3").arg(i), "x"));
    // The name the second file is to get is taken (by a folder): that rename is refused and
    // the record marked; the others go on.
    ASSERT_TRUE(QDir().mkpath(nine + "/2 - t1.mp3"));
    open(nine);
    c.Edit(etNumbering);
    const TFileList &list = c.FolderList(1);
    EXPECT_EQ(list.At(0).FileName, "1 - t0.mp3");
    EXPECT_EQ(list.At(1).FileName, QString("2 - t1.mp3") + QString::fromUtf16(kRenameErrorMark));
    EXPECT_EQ(list.At(1).Title, list.At(1).FileName); // the browse list shows the mark
    EXPECT_EQ(list.At(8).FileName, "9 - t8.mp3");
    EXPECT_TRUE(QFileInfo::exists(nine + "/t1.mp3"));
    EXPECT_TRUE(QFileInfo(nine + "/2 - t1.mp3").isDir());

    // A list that takes in sub-folders is not numbered.
    const QString deep = dir.filePath("deep");
    ASSERT_TRUE(test::WriteFile(deep + "/sub/a.mp3", "x"));
    open(deep, true);
    c.Edit(etNumbering);
    EXPECT_TRUE(QFileInfo::exists(deep + "/sub/a.mp3"));
}

TEST_F(Naming, ReplacingAnExpressionAndRenamingOneFile)
{
    const QString music = dir.filePath("music");
    for (const char *n : {"Song feat X feat Y.mp3", "Song Feat Z.mp3", "Plain.mp3", "Other.mp3"})
        ASSERT_TRUE(test::WriteFile(music + '/' + n, "x"));
    open(music); // Other, Plain, Song feat X feat Y, Song Feat Z
    EXPECT_EQ(c.Edit({0, 1, 2, 3}, "feat", "ft").Refused, 0);
    EXPECT_EQ(c.Flags(), efRefreshView);
    EXPECT_EQ(names(),
              QStringList({"Other.mp3", "Plain.mp3", "Song ft X ft Y.mp3", "Song Feat Z.mp3"}));
    EXPECT_TRUE(QFileInfo::exists(music + "/Song ft X ft Y.mp3"));
    c.Edit({0}, "", "x"); // an empty expression changes nothing
    EXPECT_EQ(names().first(), "Other.mp3");

    c.SetFileIndex(1);
    c.Edit(QString("Simple.mp3"));
    EXPECT_EQ(c.Flags(), efMoveRefresh);
    EXPECT_EQ(c.CurrentFile().FileName, "Simple.mp3");
    EXPECT_EQ(c.CurrentFile().Title, "Simple");
    c.Edit(QString("Other.mp3")); // taken: refused, nothing changes
    c.Edit(QString("../Escape.mp3"));
    EXPECT_EQ(c.CurrentFile().FileName, "Simple.mp3");
    EXPECT_TRUE(QFileInfo::exists(music + "/Simple.mp3"));
    EXPECT_TRUE(QFileInfo::exists(music + "/Other.mp3"));

    EXPECT_EQ(c.Edit(etFormatName), "Simple.mp3");
    EXPECT_EQ(c.Edit(etToCyrillic), "Симпле.mp3");
    EXPECT_EQ(c.Edit(etToLatin), "simple.mp3");
    EXPECT_EQ(c.Edit({2}, etToLatin).Refused, 0);
    EXPECT_EQ(c.FolderList(0).At(2).FileName, "song_ft_x_ft_y.mp3");

    // Outside the folder view nothing happens.
    c.SetMode(bmComputerLists);
    c.Flags();
    EXPECT_EQ(c.Edit(etFormatName), "");
    c.Edit({0}, "O", "0");
    EXPECT_EQ(c.Flags(), efNone);
    EXPECT_TRUE(QFileInfo::exists(music + "/Other.mp3"));
}

TEST_F(Naming, TagsFromNamesAndTrackNumbers)
{
    const QString music = dir.filePath("music");
    const QStringList files = {"1.mp3",       "2.mp3", "3.mp3", "4.mp3", "Artist - Title.mp3",
                               "Untitled.mp3"};
    for (const QString &f : files)
        ASSERT_TRUE(taggedMp3(music + '/' + f, {"album=Kept", "date=2001"}));
    open(music);
    c.TagsAutoCreate({4, 5}); // positions 5 and 6 in the list
    EXPECT_EQ(c.Flags(), efRefreshView);

    TTagEditor editor;
    TTag v2, v1;
    editor.SetFile(music + "/Artist - Title.mp3");
    editor.GetTagV2(v2);
    editor.GetTagV1(v1);
    EXPECT_EQ(v2.Artist, "Artist");
    EXPECT_EQ(v2.Title, "Title");
    EXPECT_EQ(v2.Track, "5");
    EXPECT_EQ(v2.Album, "Kept"); // empty fields leave the tag as it was
    EXPECT_EQ(v1.Artist, "Artist");
    EXPECT_EQ(v1.Track, "5");
    TTag untitled;
    editor.SetFile(music + "/Untitled.mp3");
    editor.GetTagV2(untitled);
    EXPECT_EQ(untitled.Title, "Untitled");
    EXPECT_EQ(untitled.Track, "6");

    c.AutoCreateTagsTrackNumbers();
    for (int k = 0; k < files.size(); ++k) {
        TTag t;
        editor.SetFile(music + '/' + files[k]);
        editor.GetTagV2(t);
        EXPECT_EQ(t.Track, QString::number(k + 1)) << files[k].toStdString();
        editor.GetTagV1(t);
        EXPECT_EQ(t.Track, QString::number(k + 1));
    }
    editor.SetFile(music + "/Artist - Title.mp3");
    editor.GetTagV2(v2);
    EXPECT_EQ(v2.Title, "Title");
}

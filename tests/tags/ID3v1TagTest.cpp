#include "tags/ID3v1Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QBuffer>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::Bytes;
using test::ReadFile;
using test::Scratch;

TID3v1Tag saveAndLoad(const TID3v1Tag &tag, const Scratch &scratch)
{
    const QString path = scratch.Put("a.mp3", test::FakeMpegAudio(2));
    TID3v1Tag copy = tag;
    EXPECT_EQ(copy.SaveToFile(path), 0);
    TID3v1Tag loaded;
    EXPECT_EQ(loaded.LoadFromFile(path), 0);
    return loaded;
}

TEST(ID3v1Tag, RendersTheFixedLayout)
{
    TID3v1Tag tag;
    tag.Title = "Title";
    tag.Artist = "Artist";
    tag.Album = "Album";
    tag.Year = "1999";
    tag.Comment = "Comment";
    tag.Track = 7;
    tag.Genre = "Rock";
    const QByteArray block = tag.Render();
    ASSERT_EQ(block.size(), 128);
    EXPECT_EQ(block.left(8), Bytes("TAGTitle"));
    EXPECT_EQ(block.mid(33, 7), Bytes("Artist\0"));
    EXPECT_EQ(block.mid(63, 5), Bytes("Album"));
    EXPECT_EQ(block.mid(93, 4), Bytes("1999"));
    EXPECT_EQ(block.mid(97, 8), Bytes("Comment\0"));
    EXPECT_EQ(block.mid(125, 3), Bytes("\x00\x07\x11"));
}

TEST(ID3v1Tag, LongCommentLeavesNoRoomForTheTrack)
{
    Scratch scratch;
    for (const int length : {29, 30}) {
        TID3v1Tag tag;
        tag.Comment = QByteArray(length, 'c');
        tag.Track = 9;
        const TID3v1Tag loaded = saveAndLoad(tag, scratch);
        EXPECT_EQ(loaded.Track, 0) << length;
        EXPECT_FALSE(loaded.Revision1) << length;
        EXPECT_EQ(loaded.Comment, QByteArray(length, 'c'));
    }
}

TEST(ID3v1Tag, ShortCommentAndTrackMakeVersion11)
{
    Scratch scratch;
    TID3v1Tag tag;
    tag.Comment = QByteArray(28, 'c');
    tag.Track = 7;
    const TID3v1Tag loaded = saveAndLoad(tag, scratch);
    EXPECT_EQ(loaded.Track, 7);
    EXPECT_TRUE(loaded.Revision1);
    EXPECT_EQ(loaded.Comment, QByteArray(28, 'c'));
}

TEST(ID3v1Tag, GenreNamesAndNumbers)
{
    EXPECT_EQ(ID3v1Genres().size(), 148);
    EXPECT_EQ(ID3v1Genres()[147], "SynthPop");
    EXPECT_EQ(ID3v1GenreNumber("Psychadelic"), 67);
    EXPECT_EQ(ID3v1GenreNumber("Psychedelic"), 67);
    EXPECT_EQ(ID3v1GenreNumber("rock"), 12);
    EXPECT_EQ(ID3v1GenreNumber(""), 12);
    EXPECT_EQ(ID3v1GenreNumber("Rock"), 17);

    QByteArray block = TID3v1Tag().Render();
    block[127] = char(0xFF);
    QBuffer buffer(&block);
    buffer.open(QIODevice::ReadOnly);
    TID3v1Tag tag;
    ASSERT_EQ(tag.LoadFromStream(buffer), 0);
    EXPECT_EQ(tag.Genre, "Other");
}

TEST(ID3v1Tag, FieldsAreCutAtTheirWidthWithoutTerminator)
{
    Scratch scratch;
    TID3v1Tag tag;
    tag.Title = QByteArray(31, 't');
    tag.Year = "20245";
    const TID3v1Tag loaded = saveAndLoad(tag, scratch);
    EXPECT_EQ(loaded.Title, QByteArray(30, 't'));
    EXPECT_EQ(loaded.Year, "2024");
    // Trailing spaces are kept.
    TID3v1Tag spaced;
    spaced.Artist = "Band  ";
    EXPECT_EQ(saveAndLoad(spaced, scratch).Artist, "Band  ");
}

TEST(ID3v1Tag, AppendsOnceThenOverwritesInPlace)
{
    Scratch scratch;
    const QByteArray audio = test::FakeMpegAudio(2);
    const QString path = scratch.Put("a.mp3", audio);
    TID3v1Tag tag;
    tag.Title = "First";
    ASSERT_EQ(tag.SaveToFile(path), 0);
    EXPECT_EQ(QFileInfo(path).size(), audio.size() + 128);
    tag.Title = "Second";
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(bytes.size(), audio.size() + 128);
    EXPECT_EQ(bytes.left(audio.size()), audio);
    EXPECT_EQ(tag.FileName, path);
}

TEST(ID3v1Tag, SavingNeverCreatesAFile)
{
    Scratch scratch;
    TID3v1Tag tag;
    tag.Title = "Only";
    EXPECT_EQ(tag.SaveToFile(scratch.Path("new.mp3")), 3);
    EXPECT_TRUE(scratch.Entries().isEmpty());
}

TEST(ID3v1Tag, LoadResults)
{
    Scratch scratch;
    TID3v1Tag tag;
    EXPECT_EQ(tag.LoadFromFile(scratch.Path("missing.mp3")), 3);
    // Shorter than a tag: no tag, even when it starts with "TAG".
    EXPECT_EQ(tag.LoadFromFile(scratch.Put("short.mp3", "TAGshort")), 65535);
    EXPECT_EQ(tag.LoadFromFile(scratch.Put("plain.mp3", test::FakeMpegAudio(1))), 65535);
    EXPECT_FALSE(tag.Loaded);
    EXPECT_TRUE(tag.FileName.isEmpty());
}

} // namespace
} // namespace vorlane

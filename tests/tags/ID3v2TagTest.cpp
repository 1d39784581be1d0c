#include "tags/ID3v2Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QBuffer>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <zlib.h>

namespace vorlane {
namespace {

using test::Bytes;
using test::ReadFile;
using test::Scratch;

QByteArray syncsafe(uint32_t v)
{
    uint8_t b[4];
    EncodeSyncsafe(v, b);
    return QByteArray(reinterpret_cast<char *>(b), 4);
}

QByteArray frame3(const char *id, const QByteArray &data, const QByteArray &flags = Bytes("\0\0"))
{
    return QByteArray(id, 4) + test::Be32(uint32_t(data.size())) + flags + data;
}

QByteArray frame4(const char *id, const QByteArray &data, const QByteArray &flags = Bytes("\0\0"))
{
    return QByteArray(id, 4) + syncsafe(uint32_t(data.size())) + flags + data;
}

QByteArray tagBytes(int version, const QByteArray &body, int padding = 0, uint8_t flags = 0)
{
    return "ID3" + QByteArray(1, char(version)) + QByteArray(1, '\0') + QByteArray(1, char(flags)) +
           syncsafe(uint32_t(body.size() + padding)) + body + QByteArray(padding, '\0');
}

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

int load(TID3v2Tag &tag, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return tag.LoadFromStream(buffer);
}

TEST(ID3v2Tag, RendersHeaderFramesAndPadding)
{
    TID3v2Tag tag;
    tag.SetUnicodeText("TIT2", "AB");
    tag.SetUnicodeText("TPE1", "C");
    const QByteArray expected =
        Bytes("ID3\x03\x00\x00\x00\x00\x00\x2E") +
        Bytes("TIT2\x00\x00\x00\x09\x00\x00\x01\xFF\xFE\x41\x00\x42\x00\x00\x00") +
        Bytes("TPE1\x00\x00\x00\x07\x00\x00\x01\xFF\xFE\x43\x00\x00\x00") + QByteArray(10, '\0');
    EXPECT_EQ(tag.Render(10), expected);
    EXPECT_EQ(tag.CalculateTagSize(10), uint32_t(expected.size()));
    EXPECT_EQ(tag.CalculateTotalFramesSize(), 16u);
    EXPECT_EQ(tag.FullFrameSize(0), 9u);
}

TEST(ID3v2Tag, LoadsFramesAndPadding)
{
    TID3v2Tag tag;
    const QByteArray body = frame3("TIT2", Bytes("\x00Title")) + frame3("TPE1", Bytes("\x00"
                                                                                      "Artist"));
    ASSERT_EQ(load(tag, tagBytes(3, body, 100) + test::FakeMpegAudio(1)), 0);
    EXPECT_TRUE(tag.Loaded);
    EXPECT_EQ(tag.MajorVersion, 3);
    EXPECT_EQ(tag.Size, uint32_t(10 + body.size() + 100));
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "Title");
    EXPECT_EQ(tag.GetUnicodeText("TPE1"), "Artist");
}

TEST(ID3v2Tag, NoTagAndUnsupportedVersions)
{
    TID3v2Tag tag;
    EXPECT_EQ(load(tag, test::FakeMpegAudio(1)), 1);
    EXPECT_EQ(load(tag, Bytes("ID3\x02\x00\x00\x00\x00\x00\x10TT2\x00\x00\x03\x00"
                              "ab")),
              8);
    EXPECT_EQ(tag.MajorVersion, 2);
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(load(tag, Bytes("ID3\x05\x00\x00\x00\x00\x00\x00")), 8);
    EXPECT_EQ(load(tag, Bytes("ID3\x03\x00")), 65535);
}

TEST(ID3v2Tag, ExtendedHeaders)
{
    const QByteArray frames = frame3("TIT2", Bytes("\x00One")) + frame3("TALB", Bytes("\x00Two"));
    TID3v2Tag tag;
    // Version 2.3: size 6, flags with CRC, padding size, CRC.
    const QByteArray ext3 = Bytes("\x00\x00\x00\x0A\x80\x00\x00\x00\x00\x00\x12\x34\x56\x78");
    ASSERT_EQ(load(tag, tagBytes(3, ext3 + frames, 0, 0x40)), 0);
    EXPECT_TRUE(tag.ExtendedHeader);
    EXPECT_TRUE(tag.ExtendedHeader3.CRCPresent);
    EXPECT_EQ(tag.ExtendedHeader3.Data, Bytes("\x00\x00\x00\x00\x12\x34\x56\x78"));
    EXPECT_EQ(tag.FrameCount(), 2);

    // Version 2.4: CRC and restrictions.
    const QByteArray frames4 = frame4("TIT2", Bytes("\x03One"));
    const QByteArray ext4 = Bytes("\x00\x00\x00\x0E\x01\x30\x05\x01\x02\x03\x04\x05\x01\x2A");
    ASSERT_EQ(load(tag, tagBytes(4, ext4 + frames4, 0, 0x40)), 0);
    EXPECT_TRUE(tag.ExtendedHeader4.CRCPresent);
    EXPECT_TRUE(tag.ExtendedHeader4.TagRestrictions);
    EXPECT_EQ(tag.ExtendedHeader4.ExtendedFlagsDataSize, 8u);
    EXPECT_EQ(tag.ExtendedHeader4.TagRestrictionsData, 0x2A);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "One");

    // The flag without an extended header: the frames start at once.
    ASSERT_EQ(load(tag, tagBytes(3, frames, 10, 0x40)), 0);
    EXPECT_FALSE(tag.ExtendedHeader);
    EXPECT_EQ(tag.FrameCount(), 2);
}

TEST(ID3v2Tag, EmptyAndOversizedFramesAreKeptEmpty)
{
    TID3v2Tag tag;
    const QByteArray body = Bytes("TXXX\x00\x00\x00\x00\x00\x00") + frame3("TIT2", Bytes("\x00T"));
    ASSERT_EQ(load(tag, tagBytes(3, body, 4)), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_TRUE(tag.Frames[0].Stream.isEmpty());
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "T");

    // A frame whose data run past the file ends the walk; nothing is read beyond the file.
    const QByteArray truncated =
        tagBytes(3, frame3("TIT2", Bytes("\x00T")) + Bytes("APIC\x00\x00\x10\x00\x00\x00"
                                                           "abc"));
    ASSERT_EQ(load(tag, truncated), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_TRUE(tag.Frames[1].Stream.isEmpty());
}

TEST(ID3v2Tag, OneStrayWordIsSteppedOver)
{
    TID3v2Tag tag;
    const QByteArray body = frame3("TIT2", Bytes("\x00T")) + "junk" +
                            frame3("TALB", Bytes("\x00"
                                                 "A"));
    ASSERT_EQ(load(tag, tagBytes(3, body)), 0);
    EXPECT_EQ(tag.FrameCount(), 2);
    const QByteArray twice = frame3("TIT2", Bytes("\x00T")) + "junkjunk" +
                             frame3("TALB", Bytes("\x00"
                                                  "A"));
    ASSERT_EQ(load(tag, tagBytes(3, twice)), 0);
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST(ID3v2Tag, PlainFrameSizesInVersion24)
{
    // 200 bytes of data with the size written plain (0x000000C8) rather than syncsafe.
    const QByteArray data = Bytes("\x00") + QByteArray(199, 'p');
    const QByteArray body =
        Bytes("TIT2\x00\x00\x00\xC8\x00\x00") + data + frame4("TPE1", Bytes("\x00P"));
    TID3v2Tag tag;
    ASSERT_EQ(load(tag, tagBytes(4, body, 20)), 0);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.Frames[0].Stream.size(), 200);
    EXPECT_EQ(tag.GetUnicodeText("TPE1"), "P");
}

TEST(ID3v2Tag, Version23UnsynchronisationCoversTheWholeTag)
{
    TID3v2Tag tag;
    // Frame data holding 0xFF 0xE0; the size counts the plain bytes.
    const QByteArray plain =
        frame3("TIT2", Bytes("\x00\xFF\xE0Z")) + frame3("TPE1", Bytes("\x00P"));
    const QByteArray stored = ApplyUnsynchronisationTo(plain);
    ASSERT_NE(stored, plain);
    ASSERT_EQ(load(tag, tagBytes(3, stored, 0, 0x80)), 0);
    EXPECT_TRUE(tag.Unsynchronised);
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.Frames[0].Stream, Bytes("\x00\xFF\xE0Z"));
    EXPECT_EQ(tag.GetUnicodeText("TPE1"), "P");
    // Written back unsynchronised as a whole, flag kept.
    EXPECT_EQ(tag.Render(0), tagBytes(3, stored, 0, 0x80));
}

TEST(ID3v2Tag, Version24UnsynchronisationIsPerFrame)
{
    // The 2.4 frame keeps its stored bytes; text is read through the layer.
    const QByteArray body = Bytes("TIT2\x00\x00\x00\x08\x00\x02\x01\xFF\x00\xFE\x48\x00\x69\x00");
    TID3v2Tag tag;
    ASSERT_EQ(load(tag, tagBytes(4, body)), 0);
    EXPECT_TRUE(tag.Frames[0].Unsynchronised);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "Hi");
    EXPECT_EQ(tag.Render(0), tagBytes(4, body));
}

TEST(ID3v2Tag, CompressedFramesKeepTheirStoredLength)
{
    // Version 2.3: the decompressed size is a plain number, here not syncsafe (0x9B).
    TID3v2Frame f;
    f.Stream = Bytes("\x03") + QByteArray(0x9A, 'q');
    ASSERT_TRUE(f.Compress());
    const QByteArray data = Bytes("\x00\x00\x00\x9B") + f.Stream;
    const QByteArray body = frame3("TIT2", data, Bytes("\x00\x80"));
    TID3v2Tag tag;
    ASSERT_EQ(load(tag, tagBytes(3, body)), 0);
    EXPECT_EQ(tag.Frames[0].DataLengthIndicatorValue, 0x9Bu);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), QString(0x9A, u'q'));
    EXPECT_EQ(tag.Render(0), tagBytes(3, body));
}

TEST(ID3v2Tag, TagAlterFlagAloneIsKept)
{
    const QByteArray body = frame4("TIT2", Bytes("\x03T"), Bytes("\x40\x00"));
    TID3v2Tag tag;
    ASSERT_EQ(load(tag, tagBytes(4, body)), 0);
    EXPECT_TRUE(tag.Frames[0].TagAlterPreservation);
    EXPECT_EQ(tag.Render(0), tagBytes(4, body));
}

TEST(ID3v2Tag, FooterAndExtendedHeaderAreNotWritten)
{
    const QByteArray body = frame4("TIT2", Bytes("\x03T"));
    QByteArray bytes =
        tagBytes(4, body, 0, 0x10 | 0x20) + Bytes("3DI\x04\x00\x30") + syncsafe(body.size());
    TID3v2Tag tag;
    ASSERT_EQ(load(tag, bytes), 0);
    EXPECT_TRUE(tag.FooterPresent);
    EXPECT_EQ(tag.Render(0), tagBytes(4, body, 0, 0x20));
}

TEST(ID3v2Tag, FrameListOperations)
{
    TID3v2Tag tag;
    EXPECT_EQ(tag.AddFrame("TIT2"), 0);
    EXPECT_EQ(tag.AddFrame(TFrameID::FromValue(0x54414C42)), 1); // "TALB"
    EXPECT_EQ(tag.InsertFrame("TPE1", 1), 1);
    EXPECT_EQ(tag.InsertFrame("TIT2", 99), 3);
    EXPECT_EQ(tag.FrameExists("TALB"), 2);
    EXPECT_EQ(tag.FrameExists("TCON"), -1);
    EXPECT_EQ(tag.FrameTypeCount("TIT2"), 2);
    EXPECT_TRUE(tag.DeleteFrame("TIT2"));
    EXPECT_EQ(tag.FrameExists("TIT2"), 2);
    EXPECT_FALSE(tag.DeleteFrame(7));
    EXPECT_FALSE(tag.DeleteFrame("TCON"));
    TID3v2Tag copy;
    tag.MajorVersion = 4;
    tag.PaddingToWrite = 10;
    copy.Assign(tag);
    EXPECT_EQ(copy.FrameCount(), 3);
    EXPECT_EQ(copy.MajorVersion, 4);
    EXPECT_EQ(copy.PaddingToWrite, 10u);
    tag.DeleteAllFrames();
    EXPECT_EQ(tag.FrameCount(), 0);
}

TEST(ID3v2Tag, CrcCoversTheFramesWithoutUnsynchronisation)
{
    TID3v2Tag tag;
    tag.SetUnicodeText("TIT2", QString(QChar(0xFFFF)) + "x");
    const QByteArray frames = tag.Render(0).mid(10);
    const uint32_t expected = uint32_t(
        crc32(0, reinterpret_cast<const Bytef *>(frames.constData()), uInt(frames.size())));
    EXPECT_EQ(tag.CalculateTagCRC32(), expected);
    tag.Unsynchronised = true;
    EXPECT_EQ(tag.CalculateTagCRC32(), expected);
    EXPECT_TRUE(tag.Unsynchronised);
}

// --- Saving to files ---

class ID3v2Save : public ::testing::Test {
protected:
    Scratch scratch;
    QByteArray audio = test::FakeMpegAudio(6);
};

TEST_F(ID3v2Save, AFileWithoutTagGetsOneWithDefaultPadding)
{
    const QString path = scratch.Put("a.mp3", audio);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 1);
    tag.SetUnicodeText("TIT2", "Title");
    const uint32_t needed = tag.CalculateTagSize(0);
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(bytes.size(), qsizetype(needed + 4096) + audio.size());
    EXPECT_EQ(bytes.left(4), Bytes("ID3\x03"));
    EXPECT_EQ(bytes.mid(int(needed + 4096)), audio);
    EXPECT_EQ(tag.PaddingSize, 4096u);
    EXPECT_EQ(scratch.Entries(), QStringList{"a.mp3"}); // no temporary file left
}

TEST_F(ID3v2Save, ShorterTextIsWrittenInPlace)
{
    const QString path =
        scratch.Put("a.mp3", tagBytes(3, frame3("TIT2", Bytes("\x00Long title")), 50) + audio);
    const qint64 size = QFileInfo(path).size();
    const ino_t inode = inodeOf(path);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetText("TIT2", "T");
    ASSERT_EQ(tag.SaveToFile(path), 0);
    EXPECT_EQ(QFileInfo(path).size(), size);
    EXPECT_EQ(tag.PaddingSize, uint32_t(50 + 9));
    const QByteArray bytes = ReadFile(path);
    EXPECT_TRUE(bytes.endsWith(audio));
    TID3v2Tag again;
    ASSERT_EQ(again.LoadFromFile(path), 0);
    EXPECT_EQ(again.GetUnicodeText("TIT2"), "T");
    EXPECT_EQ(inodeOf(path), inode); // the same file, not a replacement
}

TEST_F(ID3v2Save, LongerTextRewritesWithDefaultPadding)
{
    const QString path =
        scratch.Put("a.mp3", tagBytes(3, frame3("TIT2", Bytes("\x00T")), 5) + audio);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetUnicodeText("TIT2", QString(100, u'x'));
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(bytes.size(), qsizetype(tag.CalculateTagSize(4096)) + audio.size());
    EXPECT_TRUE(bytes.endsWith(audio));
    EXPECT_EQ(scratch.Entries(), QStringList{"a.mp3"});
}

TEST_F(ID3v2Save, UnsupportedVersionLeavesTheFileAlone)
{
    const QByteArray original = Bytes("ID3\x02\x00\x00\x00\x00\x00\x10TT2\x00\x00\x03\x00"
                                      "ab") +
                                QByteArray(7, '\0') + audio;
    const QString path = scratch.Put("a.mp3", original);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 8);
    EXPECT_EQ(tag.FileName, path);
    tag.SetUnicodeText("TIT2", "New");
    EXPECT_EQ(tag.SaveToFile(path), 8);
    EXPECT_EQ(ReadFile(path), original);
}

TEST_F(ID3v2Save, NothingToSave)
{
    const QString path = scratch.Put("a.mp3", audio);
    TID3v2Tag tag;
    EXPECT_EQ(tag.SaveToFile(path), 2);
    tag.AddFrame("TIT2");
    EXPECT_EQ(tag.SaveToFile(path), 3);
    EXPECT_EQ(ReadFile(path), audio);
}

TEST_F(ID3v2Save, UnsynchronisedTagKeepsItsFlag)
{
    const QByteArray plain = frame3("TIT2", Bytes("\x00\xFF\xF0"));
    const QString path =
        scratch.Put("a.mp3", tagBytes(3, ApplyUnsynchronisationTo(plain), 64, 0x80) + audio);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetUnicodeText("TALB", QString(QChar(0x00FF)) + QChar(0xFFE0));
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(uint8_t(bytes[5]), 0x80);
    TID3v2Tag again;
    ASSERT_EQ(again.LoadFromFile(path), 0);
    EXPECT_EQ(again.Frames[0].Stream, Bytes("\x00\xFF\xF0"));
    EXPECT_EQ(again.GetUnicodeText("TALB"), QString(QChar(0x00FF)) + QChar(0xFFE0));
    EXPECT_TRUE(bytes.endsWith(audio));
}

TEST_F(ID3v2Save, OldFooterIsNotLeftBehind)
{
    const QByteArray body = frame4("TIT2", Bytes("\x03Title text"));
    const QString path =
        scratch.Put("a.mp3", tagBytes(4, body, 0, 0x10) + Bytes("3DI\x04\x00\x10") +
                                 syncsafe(body.size()) + audio);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetUTF8Text("TIT2", "T");
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(uint8_t(bytes[5]), 0);
    EXPECT_EQ(test::AudioPayload(bytes), audio);
}

TEST_F(ID3v2Save, TagDeclaringMoreThanTheFileIsNeverWritten)
{
    // The header claims 1000 bytes; the file ends after the frames: where is the audio?
    const QByteArray body = frame3("TIT2", Bytes("\x00Title"));
    QByteArray bytes = tagBytes(3, body);
    bytes.replace(6, 4, syncsafe(1000));
    const QString path = scratch.Put("a.mp3", bytes);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "Title");
    tag.SetText("TIT2", "T");
    EXPECT_EQ(tag.SaveToFile(path), TID3v2Tag::kDamagedTag);
    EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(ID3v2Save, ReadOnlyFileIsLeftAlone)
{
    const QString path =
        scratch.Put("a.mp3", tagBytes(3, frame3("TIT2", Bytes("\x00Title")), 20) + audio);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const QByteArray before = ReadFile(path);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetText("TIT2", "New");
    EXPECT_EQ(tag.SaveToFile(path), TID3v2Tag::kNotWritable);
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(ID3v2Save, LinkStaysALink)
{
    const QString real = scratch.Put("real.mp3", audio);
    const QString link = scratch.Path("link.mp3");
    ASSERT_TRUE(QFile::link(real, link));
    TID3v2Tag tag;
    tag.SetText("TIT2", "Through a link");
    ASSERT_EQ(tag.SaveToFile(link), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    TID3v2Tag again;
    ASSERT_EQ(again.LoadFromFile(real), 0);
    EXPECT_EQ(again.GetUnicodeText("TIT2"), "Through a link");
}

TEST_F(ID3v2Save, FileLockedElsewhereIsOnlyWrittenInPlace)
{
    const QString path =
        scratch.Put("a.mp3", tagBytes(3, frame3("TIT2", Bytes("\x00Title")), 20) + audio);
    QFile holder(path);
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(holder.handle(), LOCK_SH), 0);
    TID3v2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(path), 0);
    tag.SetText("TIT2", "T");
    EXPECT_EQ(tag.SaveToFile(path), 0);
    tag.SetText("TIT2", QString(200, u'x'));
    const QByteArray before = ReadFile(path);
    EXPECT_EQ(tag.SaveToFile(path), 10);
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(ID3v2Save, MissingFileIsNotCreated)
{
    TID3v2Tag tag;
    EXPECT_EQ(tag.LoadFromFile(scratch.Path("new.mp3")), 4);
    tag.SetText("TIT2", "New");
    EXPECT_EQ(tag.SaveToFile(scratch.Path("new.mp3")), 4);
    EXPECT_TRUE(scratch.Entries().isEmpty());
}

} // namespace
} // namespace vorlane

#include "tags/ID3v2Frame.h"
#include "tags/ID3v2Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::Bytes;

// A tag holding one frame with the given data, for the text getters.
QString textOf(const QByteArray &data, int version = 3)
{
    TID3v2Tag tag;
    tag.MajorVersion = uint8_t(version);
    tag.Frames.emplace_back(TFrameID("TIT2"));
    tag.Frames.back().Stream = data;
    return tag.GetUnicodeText("TIT2");
}

TEST(ID3v2Frame, TextEncodings)
{
    EXPECT_EQ(textOf(Bytes("\x01\xFF\xFE\x41\x00\x42\x00\x00\x00")), "AB");
    EXPECT_EQ(textOf(Bytes("\x01\xFE\xFF\x00\x41\x00\x42\x00\x00")), "AB");
    EXPECT_EQ(textOf(Bytes("\x02\x00\x41\x00\x42")), "AB");
    EXPECT_EQ(textOf(Bytes("\x03\x41\x42")), "AB");
    EXPECT_EQ(textOf(Bytes("\x03\xD0\x9A\xD0\xB8")), QString::fromUtf8("Ки"));
    EXPECT_EQ(textOf(Bytes("\x00\x41\x42")), "AB");
    // An encoding byte above 3 is read as single-byte text, itself included.
    EXPECT_EQ(textOf(Bytes("\x05\x41\x42")), QString("\x05"
                                                     "AB"));
    // No byte-order mark: no defined byte order, no text.
    EXPECT_EQ(textOf(Bytes("\x01\x41\x00\x42\x00")), "");
    EXPECT_EQ(textOf(QByteArray()), "");
}

TEST(ID3v2Frame, OnlyTheFirstValueIsRead)
{
    EXPECT_EQ(textOf(Bytes("\x00One\0Two")), "One");
    EXPECT_EQ(textOf(Bytes("\x01\xFF\xFE"
                           "A\0\0\0\xFF\xFE"
                           "B\0")),
              "A");
    EXPECT_EQ(textOf(Bytes("\x03One\0Two")), "One");
}

TEST(ID3v2Frame, SetUnicodeTextWritesUtf16WithBom)
{
    TID3v2Tag tag;
    ASSERT_TRUE(tag.SetUnicodeText("TIT2", "AB"));
    EXPECT_EQ(tag.Frames[0].Stream, Bytes("\x01\xFF\xFE\x41\x00\x42\x00\x00\x00"));
    ASSERT_TRUE(tag.SetUnicodeText("TIT2", ""));
    EXPECT_EQ(tag.Frames[0].Stream, Bytes("\x01\xFF\xFE\x00\x00"));
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_FALSE(tag.SetUnicodeText(5, "x"));
}

TEST(ID3v2Frame, FlagWordsOfBothVersions)
{
    TID3v2Frame f;
    f.Flags = 0x4000;
    f.DecodeFlags4();
    EXPECT_TRUE(f.TagAlterPreservation);
    EXPECT_FALSE(f.FileAlterPreservation || f.ReadOnly || f.Compressed || f.Unsynchronised);
    f.EncodeFlags4();
    EXPECT_EQ(f.Flags, 0x4000);

    f.Flags = 0xE0E0;
    f.DecodeFlags3();
    EXPECT_TRUE(f.TagAlterPreservation && f.FileAlterPreservation && f.ReadOnly);
    EXPECT_TRUE(f.Compressed && f.Encrypted && f.GroupingIdentity);
    f.EncodeFlags3();
    EXPECT_EQ(f.Flags, 0xE0E0);

    f.Flags = 0x704F;
    f.DecodeFlags4();
    EXPECT_TRUE(f.GroupingIdentity && f.Compressed && f.Encrypted && f.Unsynchronised &&
                f.DataLengthIndicator);
    f.EncodeFlags4();
    EXPECT_EQ(f.Flags, 0x704F);
}

TEST(ID3v2Frame, HeadersOfBothVersions)
{
    TID3v2Frame f(TFrameID("TIT2"));
    f.Stream = QByteArray(200, 'x');
    f.TagAlterPreservation = true;
    EXPECT_EQ(f.RenderHeader(3), Bytes("TIT2\x00\x00\x00\xC8\x80\x00"));
    EXPECT_EQ(f.RenderHeader(4), Bytes("TIT2\x00\x00\x01\x48\x40\x00"));
    f.GroupingIdentity = true;
    f.GroupIdentifier = 0x21;
    f.DataLengthIndicator = true;
    f.DataLengthIndicatorValue = 300;
    EXPECT_EQ(f.FullSize(4), 205u);
    EXPECT_EQ(f.RenderHeader(4), Bytes("TIT2\x00\x00\x01\x4D\x40\x41\x21\x00\x00\x02\x2C"));
}

TEST(ID3v2Frame, CompressionRoundTrip)
{
    TID3v2Frame f(TFrameID("APIC"));
    const QByteArray plain = QByteArray(5000, 'a') + test::FakeMpegAudio(1);
    f.Stream = plain;
    ASSERT_TRUE(f.Compress());
    EXPECT_TRUE(f.Compressed);
    EXPECT_TRUE(f.DataLengthIndicator);
    EXPECT_EQ(f.DataLengthIndicatorValue, uint32_t(plain.size()));
    EXPECT_NE(f.Stream, plain);
    QByteArray decoded;
    ASSERT_TRUE(f.DecodedData(decoded));
    EXPECT_EQ(decoded, plain);
    ASSERT_TRUE(f.DeCompress());
    EXPECT_EQ(f.Stream, plain);
    EXPECT_FALSE(f.Compressed);

    TID3v2Frame empty;
    EXPECT_FALSE(empty.Compress());
    TID3v2Frame junk;
    junk.Stream = "not a zlib stream";
    junk.Compressed = true;
    EXPECT_FALSE(junk.DeCompress());
    EXPECT_EQ(junk.Stream, "not a zlib stream");
}

TEST(ID3v2Frame, DecompressionStopsAtTheDeclaredLength)
{
    TID3v2Frame f;
    f.Stream = QByteArray(100000, 'z');
    ASSERT_TRUE(f.Compress());
    f.DataLengthIndicatorValue = 155;
    QByteArray decoded;
    ASSERT_TRUE(f.DecodedData(decoded));
    EXPECT_EQ(decoded.size(), 155);

    // A bomb without a declared length stops at the ceiling.
    TID3v2Frame bomb;
    bomb.Stream = QByteArray(40 * 1024 * 1024, '\0');
    ASSERT_TRUE(bomb.Compress());
    bomb.DataLengthIndicator = false;
    ASSERT_TRUE(bomb.DeCompress());
    EXPECT_EQ(bomb.Stream.size(), qsizetype(kMaxDecompressedFrameSize));
}

TEST(ID3v2Frame, Unsynchronisation)
{
    const QByteArray plain = Bytes("\xFF\xE0\x01\xFF\x00\xFF\x1F\xFF");
    const QByteArray applied = ApplyUnsynchronisationTo(plain);
    EXPECT_EQ(applied, Bytes("\xFF\x00\xE0\x01\xFF\x00\x00\xFF\x1F\xFF"));
    EXPECT_EQ(RemoveUnsynchronisationFrom(applied), plain);
    EXPECT_EQ(RemoveUnsynchronisationFrom(Bytes("\xFF\x00\x00")), Bytes("\xFF\x00"));

    TID3v2Frame f;
    f.Stream = plain;
    ASSERT_TRUE(f.ApplyUnsynchronisation());
    EXPECT_TRUE(f.Unsynchronised);
    EXPECT_EQ(f.Stream, applied);
    QByteArray decoded;
    ASSERT_TRUE(f.DecodedData(decoded));
    EXPECT_EQ(decoded, plain);
    ASSERT_TRUE(f.RemoveUnsynchronisation());
    EXPECT_EQ(f.Stream, plain);
}

TEST(ID3v2Frame, IdentifiersAndSyncsafe)
{
    EXPECT_TRUE(TFrameID("W000").IsValid());
    EXPECT_FALSE(TFrameID("Tit2").IsValid());
    EXPECT_FALSE(TFrameID::FromBytes("TI\0T").IsValid());
    EXPECT_EQ(TFrameID::FromValue(0x54495432), TFrameID("TIT2"));
    EXPECT_EQ(TFrameID("TIT2").Value(), 0x54495432u);
    uint8_t b[4];
    EncodeSyncsafe(0x0FFFFFFF, b);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(b), 4), Bytes("\x7F\x7F\x7F\x7F"));
    EXPECT_EQ(DecodeSyncsafe(b), 0x0FFFFFFFu);
    EncodeSyncsafe(1000, b);
    EXPECT_EQ(DecodeSyncsafe(b), 1000u);
}

TEST(ID3v2Frame, SettingTextDropsTheOldEncodingLayers)
{
    TID3v2Tag tag;
    tag.MajorVersion = 4;
    TID3v2Frame f(TFrameID("TIT2"));
    f.Stream = Bytes("\x03old");
    f.Compress();
    f.ApplyUnsynchronisation();
    f.ReadOnly = true;
    tag.Frames.push_back(f);
    ASSERT_TRUE(tag.SetUnicodeText("TIT2", "new"));
    const TID3v2Frame &g = tag.Frames[0];
    EXPECT_FALSE(g.Compressed || g.Unsynchronised || g.DataLengthIndicator);
    EXPECT_TRUE(g.ReadOnly);
    EXPECT_EQ(tag.GetUnicodeText("TIT2"), "new");
}

} // namespace
} // namespace vorlane

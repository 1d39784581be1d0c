#include "tags/Containers.h"
#include "tags/ID3v2Tag.h"

#include "tests/tags/TagsTestHelpers.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace vorlane {
namespace {

using test::ReadFile;
using test::Scratch;

uint32_t le32At(const QByteArray &b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

uint32_t be32At(const QByteArray &b, qsizetype at)
{
    return uint32_t(uint8_t(b[at + 3])) | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at])) << 24;
}

void setRiffSize(QByteArray &wave)
{
    const auto size = uint32_t(wave.size() - 8);
    for (int i = 0; i < 4; ++i)
        wave[4 + i] = char(size >> (8 * i));
}

TContainerLayout inspect(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return InspectContainer(buffer);
}

struct Chunk {
    QByteArray id;
    QByteArray data;
    bool operator==(const Chunk &) const = default;
};

// The chunks of a container, pad bytes skipped.
std::vector<Chunk> chunksOf(const QByteArray &file, bool bigEndian)
{
    std::vector<Chunk> chunks;
    qsizetype pos = 12;
    while (file.size() - pos >= 8) {
        const uint32_t size = bigEndian ? be32At(file, pos + 4) : le32At(file, pos + 4);
        chunks.push_back({file.mid(pos, 4), file.mid(pos + 8, size)});
        pos += 8 + size + (size & 1);
    }
    return chunks;
}

std::vector<Chunk> withoutTagChunks(std::vector<Chunk> chunks)
{
    std::erase_if(chunks, [](const Chunk &c) { return c.id == "id3 " || c.id == "ID3 "; });
    return chunks;
}

QString titleOf(const QString &path)
{
    TID3v2Tag tag;
    return tag.LoadFromFile(path) == 0 ? tag.GetUnicodeText("TIT2") : QStringLiteral("<none>");
}

int saveTitle(const QString &path, const QString &title, uint32_t padding = 4096)
{
    TID3v2Tag tag;
    const int loaded = tag.LoadFromFile(path);
    if (loaded != 0 && loaded != 1)
        return loaded;
    tag.PaddingToWrite = padding;
    tag.SetUnicodeText("TIT2", title);
    return tag.SaveToFile(path);
}

TEST(Containers, WaveGainsATagChunkAfterItsLastChunk)
{
    Scratch scratch;
    const QByteArray wave = test::MakeWave(1000);
    const QString path = scratch.Put("a.wav", wave);
    ASSERT_EQ(saveTitle(path, "Wave title", 100), 0);
    const QByteArray bytes = ReadFile(path);
    const auto chunks = chunksOf(bytes, false);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[2].id, "id3 ");
    const uint32_t chunkSize = le32At(bytes, wave.size() + 4);
    EXPECT_EQ(chunkSize % 2, 0u);
    EXPECT_EQ(le32At(bytes, 4), le32At(wave, 4) + chunkSize + 8);
    EXPECT_EQ(qsizetype(le32At(bytes, 4)) + 8, bytes.size());
    EXPECT_EQ(withoutTagChunks(chunks), chunksOf(wave, false));
    EXPECT_EQ(titleOf(path), "Wave title");
    EXPECT_EQ(scratch.Entries(), QStringList{"a.wav"});
}

TEST(Containers, AiffGetsABigEndianTagChunk)
{
    Scratch scratch;
    const QByteArray aiff = test::MakeAiff(999);
    const QString path = scratch.Put("a.aiff", aiff);
    ASSERT_EQ(saveTitle(path, "AIFF title", 11), 0);
    const QByteArray bytes = ReadFile(path);
    const auto chunks = chunksOf(bytes, true);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[2].id, "ID3 ");
    EXPECT_EQ(qsizetype(be32At(bytes, 4)) + 8, bytes.size());
    EXPECT_EQ(withoutTagChunks(chunks), chunksOf(aiff, true));
    EXPECT_EQ(titleOf(path), "AIFF title");
}

TEST(Containers, OddTagSizeMakesAnEvenChunk)
{
    Scratch scratch;
    const QString path = scratch.Put("a.wav", test::MakeWave(100));
    TID3v2Tag tag;
    tag.PaddingToWrite = 0;
    tag.SetText("TIT2", "odd"); // header 10, frame 14
    tag.SetText("TALB", "xy");  // frame 13: 37 bytes in all
    ASSERT_EQ(tag.CalculateTagSize(0) % 2, 1u);
    ASSERT_EQ(tag.SaveToFile(path), 0);
    const QByteArray bytes = ReadFile(path);
    const TContainerLayout layout = inspect(bytes);
    ASSERT_TRUE(layout.HasTagChunk);
    EXPECT_EQ(layout.TagChunkSize, tag.CalculateTagSize(0) + 1);
    EXPECT_EQ(le32At(bytes, 4) % 2, 0u);
}

TEST(Containers, TagThatFitsIsWrittenInPlace)
{
    Scratch scratch;
    const QString path = scratch.Put("a.wav", test::MakeWave(500));
    ASSERT_EQ(saveTitle(path, "A long first title"), 0);
    const QByteArray before = ReadFile(path);
    ASSERT_EQ(saveTitle(path, "Short"), 0);
    const QByteArray after = ReadFile(path);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(le32At(after, 4), le32At(before, 4));
    EXPECT_EQ(titleOf(path), "Short");
}

TEST(Containers, GrowingTagEnlargesItsChunkAndKeepsWhatFollows)
{
    Scratch scratch;
    // A tag chunk in the middle, a LIST chunk after it.
    QByteArray wave = test::MakeWave(300);
    TID3v2Tag small;
    small.SetText("TIT2", "t");
    const QByteArray tag = small.Render(0);
    QByteArray chunk = "id3 " + QByteArray(4, '\0') + tag;
    chunk[4] = char(tag.size());
    if (tag.size() & 1)
        chunk.append('\0');
    const QByteArray list = QByteArray("LIST") + QByteArray("\x04\x00\x00\x00", 4) + "INFO";
    wave += chunk + list;
    setRiffSize(wave);
    const QString path = scratch.Put("a.wav", wave);

    ASSERT_EQ(saveTitle(path, QString(300, u'L'), 64), 0);
    const QByteArray bytes = ReadFile(path);
    const auto chunks = chunksOf(bytes, false);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[2].id, "id3 ");
    EXPECT_EQ(chunks[3].id, "LIST");
    EXPECT_EQ(withoutTagChunks(chunks), withoutTagChunks(chunksOf(wave, false)));
    EXPECT_EQ(qsizetype(le32At(bytes, 4)) + 8, bytes.size());
    EXPECT_EQ(titleOf(path), QString(300, u'L'));
}

TEST(Containers, OtherRiffFormsAreNotTouched)
{
    Scratch scratch;
    QByteArray avi = test::MakeWave(200);
    avi.replace(8, 4, "AVI ");
    const QString path = scratch.Put("a.avi", avi);
    EXPECT_EQ(saveTitle(path, "x"), 65535);
    EXPECT_EQ(ReadFile(path), avi);
    EXPECT_FALSE(inspect(avi).FormOk);
}

TEST(Containers, MissingPadByteIsToleratedAndRestored)
{
    Scratch scratch;
    // An odd SSND chunk at the end without its pad byte.
    QByteArray aiff = test::MakeAiff(999);
    ASSERT_EQ(aiff.back(), '\0');
    aiff.chop(1);
    const uint32_t form = uint32_t(aiff.size() - 8);
    for (int i = 0; i < 4; ++i)
        aiff[7 - i] = char(form >> (8 * i));
    const TContainerLayout layout = inspect(aiff);
    EXPECT_FALSE(layout.Damaged);
    EXPECT_TRUE(layout.LastChunkLacksPad);
    const QString path = scratch.Put("a.aif", aiff);
    ASSERT_EQ(saveTitle(path, "Padded"), 0);
    const QByteArray bytes = ReadFile(path);
    // The new chunk starts on an even offset, after the restored pad byte.
    EXPECT_EQ(bytes.mid(aiff.size() + 1, 4), "ID3 ");
    EXPECT_EQ(titleOf(path), "Padded");
}

TEST(Containers, Rf64SizeLivesInDs64)
{
    Scratch scratch;
    // RF64 with the header size sentinel and a data chunk sized through ds64.
    QByteArray ds64(28, '\0');
    const int dataBytes = 400;
    QByteArray rf64 = QByteArray("RF64") + QByteArray("\xFF\xFF\xFF\xFF", 4) + "WAVE" + "ds64" +
                      QByteArray("\x1C\x00\x00\x00", 4) + ds64 + "data" +
                      QByteArray("\xFF\xFF\xFF\xFF", 4) + QByteArray(dataBytes, '\x11');
    const quint64 riffSize = quint64(rf64.size() - 8);
    for (int i = 0; i < 8; ++i) {
        rf64[20 + i] = char(riffSize >> (8 * i));
        rf64[28 + i] = char(quint64(dataBytes) >> (8 * i));
    }
    const TContainerLayout layout = inspect(rf64);
    ASSERT_TRUE(layout.Rf64SizeInDs64);
    EXPECT_FALSE(layout.Damaged);
    const QString path = scratch.Put("a.wav", rf64);
    ASSERT_EQ(saveTitle(path, "RF64 title", 10), 0);
    const QByteArray bytes = ReadFile(path);
    EXPECT_EQ(le32At(bytes, 4), 0xFFFFFFFFu);
    EXPECT_EQ(qsizetype(le32At(bytes, 20)) + 8, bytes.size());
    EXPECT_EQ(bytes.mid(rf64.size(), 4), "id3 ");
    EXPECT_EQ(bytes.left(20), rf64.left(20));
    EXPECT_EQ(bytes.mid(28, rf64.size() - 28), rf64.mid(28));
    EXPECT_EQ(titleOf(path), "RF64 title");
}

TEST(Containers, DamagedContainersAreReadButNotRebuilt)
{
    Scratch scratch;
    QByteArray wave = test::MakeWave(100);
    // The data chunk claims far more than the file holds.
    wave[40] = char(0x00);
    wave[41] = char(0x10);
    const TContainerLayout layout = inspect(wave);
    EXPECT_TRUE(layout.Damaged);
    const QString path = scratch.Put("a.wav", wave);
    EXPECT_EQ(saveTitle(path, "x"), 5);
    EXPECT_EQ(ReadFile(path), wave);
}

TEST(Containers, SizesThatContradictTheLayoutAreDamage)
{
    // A container smaller than its own form type, and an RF64 whose "ds64" lies outside the
    // size it gives.
    QByteArray tiny = test::MakeWave(10);
    tiny[4] = 2;
    tiny[5] = tiny[6] = tiny[7] = 0;
    EXPECT_TRUE(inspect(tiny).Damaged);
    QByteArray rf64 = QByteArray("RF64") + QByteArray(4, '\xFF') + "WAVE" + "ds64" +
                      QByteArray("\x1C\x00\x00\x00", 4) + QByteArray(28, '\0');
    rf64[20] = 4; // RIFF size 4: the container ends before "ds64"
    EXPECT_TRUE(inspect(rf64).Damaged);
    QBuffer source(&rf64);
    source.open(QIODevice::ReadOnly);
    QByteArray out;
    QBuffer sink(&out);
    sink.open(QIODevice::WriteOnly);
    qint64 at = 0;
    EXPECT_EQ(AddTagChunk(source, inspect(rf64), 10, 0, sink, at), 5);
    EXPECT_TRUE(out.isEmpty());
}

TEST(Containers, ChunkWithoutTagIsReused)
{
    Scratch scratch;
    QByteArray wave =
        test::MakeWave(100) + QByteArray("id3 ") + QByteArray("\x02\x00\x00\x00", 4) + "ab";
    setRiffSize(wave);
    const QString path = scratch.Put("a.wav", wave);
    EXPECT_EQ(titleOf(path), "<none>");
    ASSERT_EQ(saveTitle(path, "Reused"), 0);
    const auto chunks = chunksOf(ReadFile(path), false);
    EXPECT_EQ(
        std::count_if(chunks.begin(), chunks.end(), [](const Chunk &c) { return c.id == "id3 "; }),
        1);
    EXPECT_EQ(titleOf(path), "Reused");
}

TEST(Containers, ChunkLookup)
{
    QByteArray wave = test::MakeWave(10);
    {
        QBuffer buffer(&wave);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(FindTagChunk(buffer), 0u);
    }
    TID3v2Tag tag;
    tag.SetText("TIT2", "x");
    const QByteArray bytes = tag.Render(0);
    QByteArray withTag =
        wave + "ID3 " + QByteArray(1, char(bytes.size())) + QByteArray(3, '\0') + bytes;
    setRiffSize(withTag);
    QBuffer buffer(&withTag);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(FindTagChunk(buffer), quint64(bytes.size()));
    EXPECT_EQ(buffer.pos(), wave.size() + 8);
}

} // namespace
} // namespace vorlane

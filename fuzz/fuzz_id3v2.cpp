// ID3v2: locating and parsing a tag (plain or inside a container), every typed getter, and the
// round trip through rendering: a tag we render reads back with the same frames.

#include "tags/ID3v2Tag.h"
#include "tags/TagEditor.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace vorlane;

namespace {

void readEverything(const TID3v2Tag &tag)
{
    QString a, b;
    QByteArray bytes;
    uint8_t byte = 0;
    uint32_t u1 = 0, u2 = 0;
    for (int i = 0; i < tag.FrameCount(); ++i) {
        tag.GetUnicodeText(i);
        tag.GetUnicodeCoverPictureStream(i, bytes, a, b, byte);
        tag.GetUnicodeContent(i, a, b);
        tag.GetUnicodeUserDefinedTextInformation(i, a);
        tag.GetUnicodeUserDefinedURLLink(i, a);
        tag.GetPopularimeter(i, a, byte, u1);
        tag.GetUFID(i, a, bytes);
        tag.FullFrameSize(i);
    }
    QStringList list;
    for (const TFrameID id : {TFrameID("TIPL"), TFrameID("TMCL"), TFrameID("IPLS")})
        tag.GetUnicodeListFrame(id, list);
    tag.GetTime("TDRC");
    tag.GetPlayCount("PCNT");
    tag.GetSEBR("SEBR");
    tag.GetSEBRString("SEBR");
    tag.GetSampleCache("SCCH", true, u1, u2, bytes);
    tag.GetSEFC("SEFC");
    tag.GetAlbumColors("COLR", u1, u2);
    tag.GetURL("WOAR");
    tag.GetUnicodeTXXX(QStringLiteral("x"));
    tag.FindUnicodeCommentByDescription(QString());
    tag.CalculateTagCRC32();
    TTag fields;
    ReadTagV2Fields(tag, fields);
}

struct Written {
    TFrameID id;
    QByteArray data;
    uint16_t flags;
    bool operator==(const Written &) const = default;
};

std::vector<Written> writtenFrames(const TID3v2Tag &tag)
{
    std::vector<Written> frames;
    for (TID3v2Frame f : tag.Frames) {
        if (!f.ID.IsValid() || f.Stream.isEmpty())
            continue;
        if (tag.MajorVersion == 3)
            f.EncodeFlags3();
        else
            f.EncodeFlags4();
        frames.push_back({f.ID, f.Stream, f.Flags});
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TID3v2Tag tag;
    if (tag.LoadFromStream(buffer) != 0)
        return 0;
    readEverything(tag);

    // A 2.4 tag flagged as unsynchronised unsynchronises plain frames when written; compare
    // what was written with what reads back.
    QByteArray rendered = tag.Render(16);
    if (rendered.isEmpty())
        return 0;
    QBuffer again(&rendered);
    again.open(QIODevice::ReadOnly);
    TID3v2Tag reread;
    if (reread.LoadFromStream(again) != 0)
        std::abort();
    const QByteArray twice = reread.Render(16);
    if (twice != rendered || writtenFrames(reread).size() != writtenFrames(tag).size())
        std::abort();
    if (!(tag.MajorVersion == 4 && tag.Unsynchronised) &&
        writtenFrames(reread) != writtenFrames(tag))
        std::abort();
    return 0;
}

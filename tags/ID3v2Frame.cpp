#include "tags/ID3v2Frame.h"

#include <zlib.h>

namespace vorlane {

TFrameID TFrameID::FromBytes(const char *four)
{
    TFrameID id;
    for (int i = 0; i < 4; ++i)
        id.Bytes[i] = four[i];
    return id;
}

TFrameID TFrameID::FromString(const QString &text)
{
    const QByteArray latin = text.left(4).toLatin1();
    TFrameID id;
    for (int i = 0; i < latin.size(); ++i)
        id.Bytes[i] = latin[i];
    return id;
}

TFrameID TFrameID::FromValue(uint32_t value)
{
    TFrameID id;
    for (int i = 0; i < 4; ++i)
        id.Bytes[i] = char(value >> (24 - 8 * i));
    return id;
}

uint32_t TFrameID::Value() const
{
    return DecodeBigEndian32(reinterpret_cast<const uint8_t *>(Bytes.data()));
}

bool TFrameID::IsValid() const
{
    for (char c : Bytes) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

uint32_t DecodeSyncsafe(const uint8_t *four)
{
    return (uint32_t(four[0] & 0x7F) << 21) | (uint32_t(four[1] & 0x7F) << 14) |
           (uint32_t(four[2] & 0x7F) << 7) | uint32_t(four[3] & 0x7F);
}

void EncodeSyncsafe(uint32_t value, uint8_t *four)
{
    four[0] = uint8_t((value >> 21) & 0x7F);
    four[1] = uint8_t((value >> 14) & 0x7F);
    four[2] = uint8_t((value >> 7) & 0x7F);
    four[3] = uint8_t(value & 0x7F);
}

uint32_t DecodeBigEndian32(const uint8_t *four)
{
    return (uint32_t(four[0]) << 24) | (uint32_t(four[1]) << 16) | (uint32_t(four[2]) << 8) |
           uint32_t(four[3]);
}

void EncodeBigEndian32(uint32_t value, uint8_t *four)
{
    four[0] = uint8_t(value >> 24);
    four[1] = uint8_t(value >> 16);
    four[2] = uint8_t(value >> 8);
    four[3] = uint8_t(value);
}

QByteArray RemoveUnsynchronisationFrom(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    bool afterFF = false;
    for (char c : bytes) {
        const auto b = uint8_t(c);
        if (!(afterFF && b == 0x00))
            out.append(c);
        afterFF = b == 0xFF;
    }
    return out;
}

QByteArray ApplyUnsynchronisationTo(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 1);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = uint8_t(bytes[i]);
        out.append(char(b));
        if (b == 0xFF && i + 1 < n) {
            const auto next = uint8_t(bytes[i + 1]);
            if (next == 0x00 || next >= 0x20)
                out.append('\0');
        }
    }
    return out;
}

void TID3v2Frame::Clear()
{
    *this = TID3v2Frame();
}

void TID3v2Frame::DecodeFlags3()
{
    TagAlterPreservation = Flags & 0x8000;
    FileAlterPreservation = Flags & 0x4000;
    ReadOnly = Flags & 0x2000;
    Compressed = Flags & 0x0080;
    Encrypted = Flags & 0x0040;
    GroupingIdentity = Flags & 0x0020;
}

void TID3v2Frame::EncodeFlags3()
{
    Flags = (TagAlterPreservation ? 0x8000 : 0) | (FileAlterPreservation ? 0x4000 : 0) |
            (ReadOnly ? 0x2000 : 0) | (Compressed ? 0x0080 : 0) | (Encrypted ? 0x0040 : 0) |
            (GroupingIdentity ? 0x0020 : 0);
}

void TID3v2Frame::DecodeFlags4()
{
    TagAlterPreservation = Flags & 0x4000;
    FileAlterPreservation = Flags & 0x2000;
    ReadOnly = Flags & 0x1000;
    GroupingIdentity = Flags & 0x0040;
    Compressed = Flags & 0x0008;
    Encrypted = Flags & 0x0004;
    Unsynchronised = Flags & 0x0002;
    DataLengthIndicator = Flags & 0x0001;
}

void TID3v2Frame::EncodeFlags4()
{
    Flags = (TagAlterPreservation ? 0x4000 : 0) | (FileAlterPreservation ? 0x2000 : 0) |
            (ReadOnly ? 0x1000 : 0) | (GroupingIdentity ? 0x0040 : 0) | (Compressed ? 0x0008 : 0) |
            (Encrypted ? 0x0004 : 0) | (Unsynchronised ? 0x0002 : 0) |
            (DataLengthIndicator ? 0x0001 : 0);
}

bool TID3v2Frame::Compress()
{
    if (Stream.isEmpty())
        return false;
    uLongf outSize = compressBound(uLong(Stream.size()));
    QByteArray out(qsizetype(outSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &outSize,
                  reinterpret_cast<const Bytef *>(Stream.constData()), uLong(Stream.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return false;
    out.resize(qsizetype(outSize));
    DataLengthIndicatorValue = uint32_t(Stream.size());
    Stream = out;
    Compressed = true;
    DataLengthIndicator = true;
    return true;
}

namespace {

// Inflates a zlib stream, never producing more than `limit` bytes. Output grows as inflate
// delivers it, so a small frame claiming a huge size costs nothing up front.
bool inflateLimited(const QByteArray &in, uint32_t limit, QByteArray &out)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
    zs.avail_in = uInt(in.size());
    out.clear();
    constexpr uint32_t kStep = 64 * 1024;
    bool ok = false;
    for (;;) {
        const uint32_t room = std::min<uint32_t>(kStep, limit - uint32_t(out.size()));
        if (room == 0) {
            ok = true; // the declared length is reached: the rest is not ours to read
            break;
        }
        const qsizetype at = out.size();
        out.resize(at + room);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + at);
        zs.avail_out = room;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(at + (room - zs.avail_out));
        if (rc == Z_STREAM_END) {
            ok = true;
            break;
        }
        if (rc != Z_OK)
            break; // data error, or input ended before the stream did
    }
    inflateEnd(&zs);
    if (!ok)
        out.clear();
    return ok;
}

uint32_t decompressLimit(const TID3v2Frame &frame)
{
    if (frame.DataLengthIndicator && frame.DataLengthIndicatorValue > 0)
        return std::min(frame.DataLengthIndicatorValue, kMaxDecompressedFrameSize);
    return kMaxDecompressedFrameSize;
}

} // namespace

bool TID3v2Frame::DeCompress()
{
    if (Stream.size() <= 4)
        return false;
    QByteArray out;
    if (!inflateLimited(Stream, decompressLimit(*this), out))
        return false;
    Stream = out;
    Compressed = false;
    DataLengthIndicator = false;
    return true;
}

bool TID3v2Frame::RemoveUnsynchronisation()
{
    Stream = RemoveUnsynchronisationFrom(Stream);
    Unsynchronised = false;
    return true;
}

bool TID3v2Frame::ApplyUnsynchronisation()
{
    Stream = ApplyUnsynchronisationTo(Stream);
    Unsynchronised = true;
    return true;
}

bool TID3v2Frame::DecodedData(QByteArray &out) const
{
    out.clear();
    if (Encrypted)
        return false;
    QByteArray data = Unsynchronised ? RemoveUnsynchronisationFrom(Stream) : Stream;
    if (Compressed) {
        if (data.size() <= 4)
            return false;
        return inflateLimited(data, decompressLimit(*this), out);
    }
    out = std::move(data);
    return true;
}

void TID3v2Frame::SetPlainData(const QByteArray &data)
{
    Stream = data;
    Compressed = false;
    Encrypted = false;
    Unsynchronised = false;
    DataLengthIndicator = false;
    DataLengthIndicatorValue = 0;
    // In version 2.4 the group byte lives in the header and stays valid; in 2.3 it was the
    // first data byte, now gone. The tag clears GroupingIdentity for 2.3 frames.
}

uint32_t TID3v2Frame::FullSize(int majorVersion) const
{
    auto size = uint32_t(Stream.size());
    if (majorVersion == 3) {
        if (Compressed)
            size += 4;
    } else {
        size += (Encrypted ? 1 : 0) + (GroupingIdentity ? 1 : 0) + (DataLengthIndicator ? 4 : 0);
    }
    return size;
}

QByteArray TID3v2Frame::RenderHeader(int majorVersion) const
{
    TID3v2Frame flagged = *this;
    uint8_t h[16];
    int n = 10;
    for (int i = 0; i < 4; ++i)
        h[i] = uint8_t(ID.Bytes[i]);
    const uint32_t full = FullSize(majorVersion);
    if (majorVersion == 3) {
        EncodeBigEndian32(full, h + 4);
        flagged.EncodeFlags3();
    } else {
        EncodeSyncsafe(full, h + 4);
        flagged.EncodeFlags4();
    }
    h[8] = uint8_t(flagged.Flags >> 8);
    h[9] = uint8_t(flagged.Flags);
    if (majorVersion == 3) {
        if (Compressed) {
            EncodeBigEndian32(DataLengthIndicatorValue, h + n);
            n += 4;
        }
    } else {
        if (GroupingIdentity)
            h[n++] = GroupIdentifier;
        if (Encrypted)
            h[n++] = EncryptionMethod;
        if (DataLengthIndicator) {
            EncodeSyncsafe(DataLengthIndicatorValue, h + n);
            n += 4;
        }
    }
    return QByteArray(reinterpret_cast<const char *>(h), n);
}

} // namespace vorlane

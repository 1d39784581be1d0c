#include "tags/ID3v2Tag.h"

#include "base/FileReplacement.h"
#include "base/RegularFile.h"
#include "tags/Containers.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cstring>
#include <sys/file.h>
#include <zlib.h>

namespace vorlane {

namespace {

constexpr int kHeaderSize = 10;
// The size field holds 28 bits.
constexpr uint32_t kMaxTagBody = 0x0FFFFFFF;

const uint8_t *bytesAt(const QByteArray &data, qsizetype pos)
{
    return reinterpret_cast<const uint8_t *>(data.constData()) + pos;
}

bool validIdAt(const QByteArray &body, qsizetype pos)
{
    return body.size() - pos >= 4 && TFrameID::FromBytes(body.constData() + pos).IsValid();
}

// Whether a frame ending at `next` is followed by another frame, padding or the tag end.
bool leadsOn(const QByteArray &body, qint64 next)
{
    if (next == body.size())
        return true;
    if (next > body.size())
        return false;
    if (validIdAt(body, qsizetype(next)))
        return true;
    const qsizetype n = std::min<qsizetype>(4, body.size() - qsizetype(next));
    for (qsizetype i = 0; i < n; ++i) {
        if (body[qsizetype(next) + i] != 0)
            return false;
    }
    return true;
}

// Holds an advisory exclusive lock on an open file for as long as it lives.
class ExclusiveLock {
public:
    explicit ExclusiveLock(int fd)
        : fd_(fd)
    {
        locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~ExclusiveLock()
    {
        if (locked_)
            ::flock(fd_, LOCK_UN);
    }
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;
    bool Locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

// The whole size of an ID3v2 tag whose 10-byte header is given (footer included).
uint32_t tagSizeFromHeader(const uint8_t *h)
{
    uint32_t size = DecodeSyncsafe(h + 6) + kHeaderSize;
    if (h[3] >= 4 && (h[5] & 0x10))
        size += kHeaderSize;
    return size;
}

// A size field with a high bit set is no syncsafe number: whatever it meant, it is not known
// where the tag ends and the audio begins.
bool validSyncsafe(const uint8_t *four)
{
    return ((four[0] | four[1] | four[2] | four[3]) & 0x80) == 0;
}

// Whether the tag header `h` describes a tag that fits in the `room` bytes from its start.
bool tagFits(const uint8_t *h, qint64 room)
{
    return validSyncsafe(h + 6) && qint64(tagSizeFromHeader(h)) <= room;
}

// The last check before a rewrite replaces the file: the bytes around the tag (the audio, and
// a container's other chunks) are all still there.
bool keepsAudio(qint64 oldFileSize, qint64 oldTagSize, qint64 newFileSize, qint64 newTagSize)
{
    return newFileSize - newTagSize >= oldFileSize - oldTagSize;
}

int openError(TFileOpen error)
{
    return error == TFileOpen::NotWritable ? TID3v2Tag::kNotWritable : TID3v2Tag::kFileError;
}

} // namespace

void TID3v2Tag::Clear()
{
    Frames.clear();
    FileName.clear();
    Loaded = false;
    MajorVersion = 3;
    MinorVersion = 0;
    Flags = 0;
    Unsynchronised = false;
    ExtendedHeader = false;
    Experimental = false;
    FooterPresent = false;
    Size = 0;
    CodedSize = {};
    PaddingSize = 0;
    PaddingToWrite = 4096;
    ExtendedHeader3 = TID3v2ExtendedHeader3();
    ExtendedHeader4 = TID3v2ExtendedHeader4();
}

int TID3v2Tag::LoadFromFile(const QString &fileName)
{
    Clear();
    QFile file;
    if (OpenRegularFile(file, fileName) != TFileOpen::Ok)
        return kFileError;
    const int result = LoadFromFile(file);
    if (result == kOk || result == kUnsupportedVersion)
        FileName = fileName;
    return result;
}

int TID3v2Tag::LoadFromFile(QFile &file)
{
    if (!file.seek(0)) {
        Clear();
        return kFileError;
    }
    const int result = LoadFromStream(file);
    if (result == kOk || result == kUnsupportedVersion)
        FileName = file.fileName();
    return result;
}

int TID3v2Tag::LoadFromStream(QIODevice &tagStream)
{
    Clear();
    const qint64 start = tagStream.pos();
    char magic[3];
    if (tagStream.read(magic, 3) == 3 && std::memcmp(magic, "ID3", 3) == 0) {
        tagStream.seek(start);
        return parseTag(tagStream, tagStream.size());
    }
    tagStream.seek(start);
    const TContainerLayout layout = InspectContainer(tagStream);
    if (layout.FormOk && layout.HasTagChunk) {
        const qint64 dataAt = layout.TagChunkAt + 8;
        if (layout.TagChunkDataEnd - dataAt >= 3 && tagStream.seek(dataAt) &&
            tagStream.read(magic, 3) == 3 && std::memcmp(magic, "ID3", 3) == 0) {
            tagStream.seek(dataAt);
            return parseTag(tagStream, layout.TagChunkDataEnd);
        }
    }
    tagStream.seek(start);
    return kNoTag;
}

int TID3v2Tag::parseTag(QIODevice &stream, qint64 limit)
{
    const qint64 at = stream.pos();
    uint8_t h[kHeaderSize];
    if (limit - at < kHeaderSize ||
        stream.read(reinterpret_cast<char *>(h), kHeaderSize) != kHeaderSize)
        return kUnexpected;
    MajorVersion = h[3];
    MinorVersion = h[4];
    if (MajorVersion < 3 || MajorVersion > 4)
        return kUnsupportedVersion;
    Flags = h[5];
    Unsynchronised = Flags & 0x80;
    ExtendedHeader = Flags & 0x40;
    Experimental = Flags & 0x20;
    FooterPresent = Flags & 0x10;
    std::memcpy(CodedSize.data(), h + 6, 4);
    Size = DecodeSyncsafe(h + 6) + kHeaderSize;

    // Never read past the file or the chunk, whatever the header declares.
    const qint64 available = limit - (at + kHeaderSize);
    const qint64 bodySize = std::min<qint64>(Size - kHeaderSize, available);
    QByteArray body = stream.read(bodySize);
    // Version 2.3 unsynchronisation covers the whole tag; frame sizes count the plain bytes.
    if (MajorVersion == 3 && Unsynchronised)
        body = RemoveUnsynchronisationFrom(body);

    qsizetype pos = 0;
    if (ExtendedHeader)
        readExtendedHeader(body, pos);
    readFrames(body, pos);
    Loaded = true;
    return kOk;
}

void TID3v2Tag::readExtendedHeader(const QByteArray &body, qsizetype &pos)
{
    // Some writers set the flag without writing an extended header.
    if (validIdAt(body, pos)) {
        ExtendedHeader = false;
        return;
    }
    const qsizetype left = body.size() - pos;
    if (left < 6)
        return;
    const uint8_t *p = bytesAt(body, pos);
    if (MajorVersion == 3) {
        TID3v2ExtendedHeader3 &x = ExtendedHeader3;
        std::memcpy(x.CodedSize.data(), p, 4);
        x.Size = DecodeSyncsafe(p);
        x.Flags = uint16_t((p[4] << 8) | p[5]);
        x.CRCPresent = x.Flags & 0x8000;
        const qsizetype dataSize = std::min<qsizetype>(x.Size >= 2 ? x.Size - 2 : 0, left - 6);
        x.Data = body.mid(pos + 6, dataSize);
        pos += 6 + dataSize;
        return;
    }
    TID3v2ExtendedHeader4 &x = ExtendedHeader4;
    std::memcpy(x.CodedSize.data(), p, 4);
    x.Size = DecodeSyncsafe(p);
    x.FlagBytes = p[4];
    x.Flags = p[5];
    x.TagIsAnUpdate = x.Flags & 0x40;
    x.CRCPresent = x.Flags & 0x20;
    x.TagRestrictions = x.Flags & 0x10;
    // Each set flag carries a length byte and its data: update 0, CRC 5, restrictions 1 byte.
    x.ExtendedFlagsDataSize =
        (x.TagIsAnUpdate ? 1 : 0) + (x.CRCPresent ? 6 : 0) + (x.TagRestrictions ? 2 : 0);
    const qsizetype flagData = std::min<qsizetype>(x.ExtendedFlagsDataSize, left - 6);
    x.ExtendedFlagsData = body.mid(pos + 6, flagData);
    if (x.TagRestrictions && flagData == x.ExtendedFlagsDataSize)
        x.TagRestrictionsData = uint8_t(x.ExtendedFlagsData.back());
    pos += 6 + flagData;
}

void TID3v2Tag::readFrames(const QByteArray &body, qsizetype pos)
{
    const qsizetype end = body.size();
    for (;;) {
        if (!validIdAt(body, pos)) {
            // One stray word is stepped over; a second one ends the frames.
            pos += 4;
            if (!validIdAt(body, pos))
                return;
        }
        if (end - pos < kHeaderSize)
            return;
        const uint8_t *h = bytesAt(body, pos);
        TID3v2Frame frame(TFrameID::FromBytes(body.constData() + pos));
        std::memcpy(frame.CodedSize.data(), h + 4, 4);
        frame.Flags = uint16_t((h[8] << 8) | h[9]);
        const qsizetype dataAt = pos + kHeaderSize;
        uint32_t size;
        if (MajorVersion == 3) {
            size = DecodeBigEndian32(h + 4);
        } else {
            size = DecodeSyncsafe(h + 4);
            // Old writers stored plain 32-bit sizes in version 2.4 tags.
            const uint32_t plain = DecodeBigEndian32(h + 4);
            if (plain != size && !leadsOn(body, qint64(dataAt) + size) &&
                leadsOn(body, qint64(dataAt) + plain))
                size = plain;
        }
        frame.Size = size;
        if (size == 0 || size > Size) {
            // Kept with empty data; the next frame may follow right after this header.
            Frames.push_back(std::move(frame));
            pos = dataAt;
            continue;
        }
        if (qint64(size) > end - dataAt) {
            // The data run past the tag or the file: keep the frame empty and stop.
            Frames.push_back(std::move(frame));
            return;
        }
        qsizetype dataPos = dataAt;
        qint64 remaining = size;
        if (MajorVersion == 3) {
            frame.DecodeFlags3();
            frame.Unsynchronised = false; // already undone over the whole tag
            if (frame.Compressed) {
                if (remaining >= 4) {
                    frame.DataLengthIndicator = true;
                    frame.DataLengthIndicatorValue = DecodeBigEndian32(bytesAt(body, dataPos));
                }
                dataPos += 4;
                remaining -= 4;
            }
        } else {
            frame.DecodeFlags4();
            if (frame.GroupingIdentity) {
                frame.GroupIdentifier = remaining >= 1 ? uint8_t(body[dataPos]) : 0;
                ++dataPos;
                --remaining;
            }
            if (frame.Encrypted) {
                frame.EncryptionMethod = remaining >= 1 ? uint8_t(body[dataPos]) : 0;
                ++dataPos;
                --remaining;
            }
            if (frame.DataLengthIndicator) {
                if (remaining >= 4)
                    frame.DataLengthIndicatorValue = DecodeSyncsafe(bytesAt(body, dataPos));
                dataPos += 4;
                remaining -= 4;
            }
        }
        if (remaining > 0)
            frame.Stream = body.mid(dataPos, remaining);
        Frames.push_back(std::move(frame));
        pos = dataAt + size;
    }
}

QByteArray TID3v2Tag::renderFrameArea() const
{
    QByteArray area;
    qsizetype total = 0;
    for (const TID3v2Frame &f : Frames)
        total += f.Stream.size() + 20;
    area.reserve(total);
    const bool perFrameUnsync = MajorVersion == 4 && Unsynchronised;
    for (const TID3v2Frame &f : Frames) {
        if (!f.ID.IsValid() || f.Stream.isEmpty())
            continue;
        if (perFrameUnsync && !f.Unsynchronised) {
            // A 2.4 tag flagged as unsynchronised promises it for every frame.
            TID3v2Frame copy = f;
            copy.ApplyUnsynchronisation();
            area += copy.RenderHeader(MajorVersion);
            area += copy.Stream;
        } else {
            area += f.RenderHeader(MajorVersion);
            area += f.Stream;
        }
    }
    if (MajorVersion == 3 && Unsynchronised)
        area = ApplyUnsynchronisationTo(area);
    return area;
}

QByteArray TID3v2Tag::renderHeader(uint32_t tagSize) const
{
    uint8_t h[kHeaderSize] = {'I', 'D', '3'};
    h[3] = MajorVersion;
    h[4] = MinorVersion;
    // The extended header and the footer are never written, so neither are their bits.
    h[5] = uint8_t((Unsynchronised ? 0x80 : 0) | (Experimental ? 0x20 : 0));
    EncodeSyncsafe(tagSize - kHeaderSize, h + 6);
    return QByteArray(reinterpret_cast<const char *>(h), kHeaderSize);
}

QByteArray TID3v2Tag::Render(uint32_t paddingSize) const
{
    if (MajorVersion != 3 && MajorVersion != 4)
        return {};
    const QByteArray area = renderFrameArea();
    const quint64 body = quint64(area.size()) + paddingSize;
    if (body > kMaxTagBody)
        return {};
    QByteArray tag = renderHeader(uint32_t(body + kHeaderSize));
    tag.reserve(qsizetype(body) + kHeaderSize);
    tag += area;
    tag.append(qsizetype(paddingSize), '\0');
    return tag;
}

int TID3v2Tag::SaveToStream(QIODevice &tagStream, uint32_t PaddingSizeToWrite)
{
    if (MajorVersion != 3 && MajorVersion != 4)
        return kUnsupportedVersion;
    PaddingSize = PaddingSizeToWrite;
    const QByteArray tag = Render(PaddingSizeToWrite);
    if (tag.isEmpty())
        return kUnexpected;
    std::memcpy(CodedSize.data(), tag.constData() + 6, 4);
    if (tagStream.write(tag) != tag.size())
        return kWriteError;
    return kOk;
}

int TID3v2Tag::SaveToFile(const QString &fileName)
{
    if (Frames.empty())
        return kNoFrames;
    if (CalculateTotalFramesSize() == 0)
        return kAllFramesEmpty;
    if (MajorVersion != 3 && MajorVersion != 4)
        return kUnsupportedVersion;

    // Work on the destination of a link, so the link itself stays.
    const QFileInfo info(fileName);
    QString path = fileName;
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        path = info.canonicalFilePath();
    QFile file;
    const TFileOpen opened = OpenRegularFile(file, path, QIODevice::ReadWrite);
    if (opened != TFileOpen::Ok)
        return openError(opened);
    return saveToOpenFile(file, path);
}

int TID3v2Tag::saveToOpenFile(QFile &file, const QString &path)
{
    ExclusiveLock lock(file.handle());

    const QByteArray area = renderFrameArea();
    if (quint64(area.size()) + PaddingToWrite > kMaxTagBody)
        return kUnexpected;
    const auto needed = uint32_t(area.size() + kHeaderSize);
    const qint64 fileSize = file.size();

    auto writeTagAt = [&](QIODevice &dev, qint64 at, uint32_t padding) -> int {
        if (!dev.seek(at))
            return kWriteError;
        PaddingSize = padding;
        QByteArray tag = renderHeader(needed + padding);
        std::memcpy(CodedSize.data(), tag.constData() + 6, 4);
        tag += area;
        tag.append(qsizetype(padding), '\0');
        return dev.write(tag) == tag.size() ? int(kOk) : int(kWriteError);
    };
    auto inPlace = [&](qint64 at, uint32_t padding) -> int {
        const int rc = writeTagAt(file, at, padding);
        if (!file.flush() && rc == kOk)
            return kWriteError;
        return rc;
    };
    // The complete new file replaces the old one when it holds all the old one's audio.
    auto commit = [&](TFileReplacement &replacement, qint64 oldTagSize) -> int {
        QFile &out = replacement.Device();
        if (!out.flush())
            return kWriteError;
        if (!keepsAudio(fileSize, oldTagSize, out.size(), qint64(needed) + PaddingToWrite))
            return kWriteError;
        return replacement.Commit() ? int(kOk) : int(kWriteError);
    };

    uint8_t head[12] = {};
    const qint64 headSize = file.read(reinterpret_cast<char *>(head), 12);
    const bool container =
        headSize == 12 && (std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "RF64", 4) == 0 ||
                           std::memcmp(head, "FORM", 4) == 0);

    if (!container) {
        uint32_t old = 0;
        if (headSize >= kHeaderSize && std::memcmp(head, "ID3", 3) == 0) {
            if (!tagFits(head, fileSize))
                return kDamagedTag;
            old = tagSizeFromHeader(head);
        }
        if (old > 0 && old >= needed)
            return inPlace(0, old - needed);
        if (!lock.Locked())
            return kNotExclusive;
        TFileReplacement replacement(path);
        if (!replacement.Open())
            return kWriteError;
        int rc = writeTagAt(replacement.Device(), 0, PaddingToWrite);
        if (rc == kOk && !CopyBytes(file, old, fileSize - old, replacement.Device()))
            rc = kWriteError;
        if (rc != kOk)
            return rc;
        return commit(replacement, old);
    }

    file.seek(0);
    const TContainerLayout layout = InspectContainer(file);
    if (!layout.FormOk)
        return kUnexpected;
    uint32_t old = 0;
    if (layout.HasTagChunk) {
        const qint64 dataAt = layout.TagChunkAt + 8;
        const qint64 room = layout.TagChunkDataEnd - dataAt;
        uint8_t h[kHeaderSize];
        if (room >= kHeaderSize && file.seek(dataAt) &&
            file.read(reinterpret_cast<char *>(h), kHeaderSize) == kHeaderSize &&
            std::memcmp(h, "ID3", 3) == 0) {
            if (!tagFits(h, room))
                return kDamagedTag;
            old = tagSizeFromHeader(h);
        }
        if (old > 0 && old >= needed)
            return inPlace(dataAt, old - needed);
    }
    if (!lock.Locked())
        return kNotExclusive;
    TFileReplacement replacement(path);
    if (!replacement.Open())
        return kWriteError;
    qint64 dataAt = 0;
    // A chunk that holds no tag is reused rather than followed by a second tag chunk, which
    // readers would never reach.
    int rc = layout.HasTagChunk
                 ? EnlargeTagChunk(file, layout, needed, PaddingToWrite, old, replacement.Device(),
                                   dataAt)
                 : AddTagChunk(file, layout, needed, PaddingToWrite, replacement.Device(), dataAt);
    if (rc == kOk)
        rc = writeTagAt(replacement.Device(), dataAt, PaddingToWrite);
    if (rc != kOk)
        return rc;
    // The old chunk's pad byte goes with the old tag.
    const qint64 oldPad = layout.HasTagChunk ? layout.TagChunkEnd - layout.TagChunkDataEnd : 0;
    return commit(replacement, qint64(old) + oldPad);
}

int TID3v2Tag::AddFrame(TFrameID FrameID)
{
    Frames.emplace_back(FrameID);
    return int(Frames.size()) - 1;
}

int TID3v2Tag::InsertFrame(TFrameID FrameID, int Position)
{
    if (Position < 0)
        return -1;
    if (Position >= int(Frames.size()))
        return AddFrame(FrameID);
    Frames.insert(Frames.begin() + Position, TID3v2Frame(FrameID));
    return Position;
}

bool TID3v2Tag::DeleteFrame(int FrameIndex)
{
    if (FrameIndex < 0 || FrameIndex >= int(Frames.size()))
        return false;
    Frames.erase(Frames.begin() + FrameIndex);
    return true;
}

bool TID3v2Tag::DeleteFrame(TFrameID FrameID)
{
    return DeleteFrame(FrameExists(FrameID));
}

void TID3v2Tag::DeleteAllFrames()
{
    Frames.clear();
}

int TID3v2Tag::FrameExists(TFrameID FrameID) const
{
    for (size_t i = 0; i < Frames.size(); ++i) {
        if (Frames[i].ID == FrameID)
            return int(i);
    }
    return -1;
}

int TID3v2Tag::FrameTypeCount(TFrameID FrameID) const
{
    int count = 0;
    for (const TID3v2Frame &f : Frames)
        count += f.ID == FrameID ? 1 : 0;
    return count;
}

void TID3v2Tag::Assign(const TID3v2Tag &other)
{
    Clear();
    FileName = other.FileName;
    MajorVersion = other.MajorVersion;
    MinorVersion = other.MinorVersion;
    Flags = other.Flags;
    Unsynchronised = other.Unsynchronised;
    ExtendedHeader = other.ExtendedHeader;
    Experimental = other.Experimental;
    FooterPresent = other.FooterPresent;
    Size = other.Size;
    PaddingSize = other.PaddingSize;
    PaddingToWrite = other.PaddingToWrite;
    Frames = other.Frames;
}

uint32_t TID3v2Tag::CalculateTotalFramesSize() const
{
    quint64 total = 0;
    for (const TID3v2Frame &f : Frames)
        total += quint64(f.Stream.size());
    return uint32_t(std::min<quint64>(total, 0xFFFFFFFFu));
}

uint32_t TID3v2Tag::CalculateTagSize(uint32_t paddingSize) const
{
    const quint64 size = quint64(renderFrameArea().size()) + kHeaderSize + paddingSize;
    return uint32_t(std::min<quint64>(size, 0xFFFFFFFFu));
}

uint32_t TID3v2Tag::FullFrameSize(int FrameIndex) const
{
    const TID3v2Frame *f = frameAt(FrameIndex);
    return f ? f->FullSize(MajorVersion) : 0;
}

uint32_t TID3v2Tag::CalculateTagCRC32() const
{
    TID3v2Tag plain;
    plain.Assign(*this);
    plain.RemoveUnsynchronisationOnAllFrames();
    const QByteArray area = plain.renderFrameArea();
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef *>(area.constData()), uInt(area.size()));
    return uint32_t(crc);
}

bool TID3v2Tag::RemoveUnsynchronisationOnAllFrames()
{
    if (MajorVersion == 4) {
        for (TID3v2Frame &f : Frames) {
            if (f.Unsynchronised)
                f.RemoveUnsynchronisation();
        }
    }
    Unsynchronised = false;
    return true;
}

bool TID3v2Tag::ApplyUnsynchronisationOnAllFrames()
{
    if (MajorVersion == 4) {
        for (TID3v2Frame &f : Frames) {
            if (!f.Unsynchronised)
                f.ApplyUnsynchronisation();
        }
    }
    Unsynchronised = true;
    return true;
}

TID3v2Frame *TID3v2Tag::frameAt(int index)
{
    return index >= 0 && index < int(Frames.size()) ? &Frames[size_t(index)] : nullptr;
}

const TID3v2Frame *TID3v2Tag::frameAt(int index) const
{
    return index >= 0 && index < int(Frames.size()) ? &Frames[size_t(index)] : nullptr;
}

int TID3v2Tag::indexForWrite(TFrameID id)
{
    const int index = FrameExists(id);
    return index >= 0 ? index : AddFrame(id);
}

bool TID3v2Tag::setData(TID3v2Frame *frame, const QByteArray &data)
{
    if (!frame)
        return false;
    frame->SetPlainData(data);
    // A 2.3 group byte sat at the start of the old data.
    if (MajorVersion == 3)
        frame->GroupingIdentity = false;
    return true;
}

} // namespace vorlane

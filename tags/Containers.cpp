#include "tags/Containers.h"

#include <QIODevice>

#include <cstring>

namespace vorlane {

namespace {

constexpr quint64 kMax32 = 0xFFFFFFFFu;

uint32_t read32(const uint8_t *p, bool bigEndian)
{
    if (bigEndian)
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

void write32(uint8_t *p, uint32_t v, bool bigEndian)
{
    for (int i = 0; i < 4; ++i)
        p[bigEndian ? 3 - i : i] = uint8_t(v >> (8 * i));
}

quint64 read64le(const uint8_t *p)
{
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool readAt(QIODevice &dev, qint64 at, void *into, qint64 length)
{
    return dev.seek(at) && dev.read(static_cast<char *>(into), length) == length;
}

bool isTagChunkID(const uint8_t *id)
{
    return std::memcmp(id, "id3 ", 4) == 0 || std::memcmp(id, "ID3 ", 4) == 0;
}

// Restores the device position when the walk is done.
struct PositionKeeper {
    QIODevice &dev;
    qint64 pos;
    ~PositionKeeper() { dev.seek(pos); }
};

bool writeAll(QIODevice &out, const void *data, qint64 length)
{
    return out.write(static_cast<const char *>(data), length) == length;
}

bool writeZeros(QIODevice &out, quint64 count)
{
    static const char zeros[64 * 1024] = {};
    while (count > 0) {
        const qint64 n = qint64(std::min<quint64>(count, sizeof zeros));
        if (!writeAll(out, zeros, n))
            return false;
        count -= quint64(n);
    }
    return true;
}

// Writes the container's new size: in the header, and in "ds64" when the file has one.
bool patchSizes(QIODevice &out, const TContainerLayout &layout, quint64 newSize)
{
    const qint64 back = out.pos();
    uint8_t b[8];
    if (!layout.Rf64SizeInDs64) {
        write32(b, uint32_t(newSize), layout.BigEndian);
        if (!out.seek(layout.Start + 4) || !writeAll(out, b, 4))
            return false;
    }
    if (layout.Ds64RiffSizeAt >= 0) {
        for (int i = 0; i < 8; ++i)
            b[i] = uint8_t(newSize >> (8 * i));
        if (!out.seek(layout.Ds64RiffSizeAt) || !writeAll(out, b, 8))
            return false;
    }
    return out.seek(back);
}

bool writeChunkHeader(QIODevice &out, const QByteArray &id, uint32_t size, bool bigEndian)
{
    uint8_t b[8];
    std::memcpy(b, id.constData(), 4);
    write32(b + 4, size, bigEndian);
    return writeAll(out, b, 8);
}

} // namespace

bool CopyBytes(QIODevice &source, qint64 from, qint64 length, QIODevice &out)
{
    if (length <= 0)
        return true;
    if (!source.seek(from))
        return false;
    QByteArray block;
    constexpr qint64 kBlock = 1 << 20;
    while (length > 0) {
        block = source.read(std::min(length, kBlock));
        if (block.isEmpty())
            return false;
        if (out.write(block) != block.size())
            return false;
        length -= block.size();
    }
    return true;
}

TContainerLayout InspectContainer(QIODevice &stream)
{
    TContainerLayout layout;
    layout.Start = stream.pos();
    layout.FileSize = stream.size();
    PositionKeeper keeper{stream, layout.Start};

    uint8_t head[12];
    if (!readAt(stream, layout.Start, head, 12))
        return layout;
    if (std::memcmp(head, "RIFF", 4) == 0)
        layout.Kind = TContainerKind::Riff;
    else if (std::memcmp(head, "RF64", 4) == 0)
        layout.Kind = TContainerKind::Rf64;
    else if (std::memcmp(head, "FORM", 4) == 0)
        layout.Kind = TContainerKind::Aiff;
    else
        return layout;
    layout.BigEndian = layout.Kind == TContainerKind::Aiff;
    if (layout.Kind == TContainerKind::Aiff)
        layout.FormOk =
            std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0;
    else
        layout.FormOk = std::memcmp(head + 8, "WAVE", 4) == 0;
    if (!layout.FormOk)
        return layout;

    const uint32_t headerSize = read32(head + 4, layout.BigEndian);
    layout.ContainerSize = headerSize;
    qint64 pos = layout.Start + 12;
    bool haveDataSize64 = false;
    quint64 dataSize64 = 0;
    if (layout.Kind == TContainerKind::Rf64) {
        // "ds64": chunk header, RIFF size, data size, sample count (64-bit each), table length.
        uint8_t ds64[8 + 28];
        if (readAt(stream, pos, ds64, sizeof ds64) && std::memcmp(ds64, "ds64", 4) == 0 &&
            read32(ds64 + 4, false) >= 28) {
            layout.Ds64RiffSizeAt = pos + 8;
            dataSize64 = read64le(ds64 + 16);
            haveDataSize64 = true;
            if (headerSize == kMax32) {
                layout.ContainerSize = read64le(ds64 + 8);
                layout.Rf64SizeInDs64 = true;
            }
        } else if (headerSize == kMax32) {
            layout.Damaged = true; // the real size is nowhere to be found
        }
    }

    // Compare in unsigned 64-bit arithmetic: a hostile 64-bit size must not overflow.
    const quint64 room = quint64(layout.FileSize - layout.Start);
    if (layout.ContainerSize > room || room - layout.ContainerSize < 8) {
        layout.Damaged = true;
        layout.ContainerEnd = layout.FileSize;
    } else {
        layout.ContainerEnd = layout.Start + 8 + qint64(layout.ContainerSize);
        if (layout.ContainerSize < 4)
            layout.Damaged = true; // too small for its own form type
    }
    const qint64 bound = layout.ContainerEnd;

    // A chunk header must fit in what is left of the container; subtract so nothing overflows.
    while (pos <= bound && bound - pos >= 8) {
        uint8_t ch[8];
        if (!readAt(stream, pos, ch, 8)) {
            layout.Damaged = true;
            break;
        }
        quint64 size = read32(ch + 4, layout.BigEndian);
        if (layout.Kind == TContainerKind::Rf64 && size == kMax32 && haveDataSize64 &&
            std::memcmp(ch, "data", 4) == 0)
            size = dataSize64;
        const qint64 dataAt = pos + 8;
        const bool tagChunk = isTagChunkID(ch);
        if (size > quint64(bound - dataAt)) {
            // Runs past the container: read what the file holds, but never move such chunks.
            layout.Damaged = true;
            if (tagChunk && !layout.HasTagChunk) {
                layout.HasTagChunk = true;
                layout.TagChunkID = QByteArray(reinterpret_cast<const char *>(ch), 4);
                layout.TagChunkAt = pos;
                layout.TagChunkSize = size;
                layout.TagChunkDataEnd = size > quint64(layout.FileSize - dataAt)
                                             ? layout.FileSize
                                             : dataAt + qint64(size);
                layout.TagChunkEnd = layout.TagChunkDataEnd;
            }
            pos = bound;
            break;
        }
        const qint64 dataEnd = dataAt + qint64(size);
        qint64 end = dataEnd;
        layout.LastChunkLacksPad = false;
        if (size & 1) {
            // The pad byte may stand just outside the declared container; a writer that left it
            // out has the next chunk's first (never zero) byte there instead.
            char pad = 1;
            if (dataEnd < layout.FileSize && readAt(stream, dataEnd, &pad, 1) && pad == 0)
                end = dataEnd + 1;
            else
                layout.LastChunkLacksPad = true;
        }
        if (tagChunk && !layout.HasTagChunk) {
            layout.HasTagChunk = true;
            layout.TagChunkID = QByteArray(reinterpret_cast<const char *>(ch), 4);
            layout.TagChunkAt = pos;
            layout.TagChunkSize = size;
            layout.TagChunkDataEnd = dataEnd;
            layout.TagChunkEnd = end;
        }
        pos = end;
    }
    if (pos < bound)
        layout.Damaged = true; // a few bytes too short for a chunk header are left over
    if (layout.Ds64RiffSizeAt >= 0 && layout.Ds64RiffSizeAt + 8 > pos)
        layout.Damaged = true; // "ds64" is not inside the container it describes
    layout.ListEnd = pos;
    return layout;
}

quint64 FindTagChunk(QIODevice &stream)
{
    const TContainerLayout layout = InspectContainer(stream);
    if (!layout.FormOk || !layout.HasTagChunk)
        return 0;
    const qint64 dataAt = layout.TagChunkAt + 8;
    if (layout.TagChunkDataEnd <= dataAt || !stream.seek(dataAt))
        return 0;
    return quint64(layout.TagChunkDataEnd - dataAt);
}

int AddTagChunk(QIODevice &source, const TContainerLayout &layout, uint32_t needed,
                uint32_t padding, QIODevice &out, qint64 &dataAt)
{
    if (!layout.FormOk)
        return 65535;
    if (layout.Damaged)
        return 5;
    quint64 chunkSize = quint64(needed) + padding;
    chunkSize += chunkSize & 1;
    if (chunkSize > kMax32)
        return 7;
    const qint64 insertAt = layout.ListEnd;
    const int pad = layout.LastChunkLacksPad ? 1 : 0;
    const quint64 newSize = quint64(insertAt + pad - layout.Start) + chunkSize;
    if (!layout.Rf64SizeInDs64 && newSize > kMax32)
        return 7;

    const QByteArray id = layout.Kind == TContainerKind::Aiff ? "ID3 " : "id3 ";
    if (!CopyBytes(source, 0, insertAt, out) || !patchSizes(out, layout, newSize) ||
        (pad && !writeZeros(out, 1)) ||
        !writeChunkHeader(out, id, uint32_t(chunkSize), layout.BigEndian))
        return 6;
    dataAt = out.pos();
    if (!writeZeros(out, chunkSize) ||
        !CopyBytes(source, insertAt, layout.FileSize - insertAt, out))
        return 6;
    return 0;
}

int EnlargeTagChunk(QIODevice &source, const TContainerLayout &layout, uint32_t needed,
                    uint32_t padding, uint32_t oldTagSize, QIODevice &out, qint64 &dataAt)
{
    if (!layout.FormOk || !layout.HasTagChunk)
        return 65535;
    if (layout.Damaged)
        return 5;
    const quint64 oldChunk = layout.TagChunkSize;
    quint64 newChunk = oldChunk - std::min<quint64>(oldTagSize, oldChunk) + needed + padding;
    newChunk += newChunk & 1;
    if (newChunk > kMax32)
        return 7;
    // A pad byte outside the declared container is not part of its size.
    const qint64 oldInside = std::min(layout.TagChunkEnd, layout.ContainerEnd) - layout.TagChunkAt;
    const qint64 growth = qint64(8 + newChunk) - oldInside;
    const quint64 newSize = quint64(qint64(layout.ContainerSize) + growth);
    if (!layout.Rf64SizeInDs64 && newSize > kMax32)
        return 7;

    if (!CopyBytes(source, 0, layout.TagChunkAt, out) || !patchSizes(out, layout, newSize) ||
        !writeChunkHeader(out, layout.TagChunkID, uint32_t(newChunk), layout.BigEndian))
        return 6;
    dataAt = out.pos();
    if (!writeZeros(out, newChunk) ||
        !CopyBytes(source, layout.TagChunkEnd, layout.FileSize - layout.TagChunkEnd, out))
        return 6;
    return 0;
}

} // namespace vorlane

#pragma once
// Where the ID3v2 tag stands in RIFF WAVE, RF64 and AIFF/AIFC files: as the data of an "id3 "
// or "ID3 " chunk (both spellings are found in real files, in both container kinds). This
// module walks the chunk list, finds the tag chunk, and writes a complete new file with a tag
// chunk added or enlarged; TID3v2Tag reads and writes the tag itself at the chunk data.
//
// | Container | Header                                      | Sizes          | New chunk |
// | RIFF      | "RIFF", size, "WAVE"                        | little-endian  | "id3 "    |
// | RF64      | "RF64", size or 0xFFFFFFFF, "WAVE"; "ds64"  | little-endian  | "id3 "    |
// | AIFF      | "FORM", size, "AIFF" or "AIFC"              | big-endian     | "ID3 "    |
//
// A chunk of odd size is followed by a pad byte. Some writers leave it out; a non-zero byte
// where the pad byte should be is taken as the start of the next chunk.
//
// Pure functions over a random-access QIODevice; any thread.

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>

class QIODevice;

namespace vorlane {

enum class TContainerKind { None, Riff, Rf64, Aiff };

// What a walk over a container's chunk list found. Offsets are from the device's start.
struct TContainerLayout {
    TContainerKind Kind = TContainerKind::None; // None: no RIFF/RF64/FORM magic
    bool FormOk = false; // form type "WAVE" (RIFF, RF64) or "AIFF"/"AIFC" (AIFF)
    bool BigEndian = false;
    qint64 Start = 0; // where the container begins
    qint64 FileSize = 0;
    quint64 ContainerSize = 0; // header size field, or the "ds64" RIFF size for RF64
    bool Rf64SizeInDs64 = false;
    qint64 Ds64RiffSizeAt = -1; // offset of the 64-bit RIFF size in "ds64"
    qint64 ContainerEnd = 0;    // Start + 8 + ContainerSize
    // Where the walk ended: the end of the last chunk, its pad byte included.
    qint64 ListEnd = 0;
    bool LastChunkLacksPad = false;
    // A chunk runs past the file or the container, the container runs past the file, or bytes
    // too few for a chunk header remain inside it. Such a file is read, but its chunks are not
    // moved.
    bool Damaged = false;

    bool HasTagChunk = false;
    QByteArray TagChunkID;      // "id3 " or "ID3 " as found
    qint64 TagChunkAt = 0;      // chunk header
    quint64 TagChunkSize = 0;   // size field
    qint64 TagChunkDataEnd = 0; // data end, clamped to the file
    qint64 TagChunkEnd = 0;     // data end plus pad byte when present
};

// Walks the container at the device's current position (which is restored). The walk stops at
// the first tag chunk for reading purposes but records the whole list end for writing.
TContainerLayout InspectContainer(QIODevice &stream);

// The tag chunk's data size, 0 when there is none or the device holds no container of these
// kinds; on success the device stands at the chunk data.
quint64 FindTagChunk(QIODevice &stream);

// Result codes of the chunk writers (the TID3v2Tag save codes of the same numbers):
//   0      done; `dataAt` is the offset of the (zero-filled) chunk data in `out`
//   5      the container is damaged: its chunks are not moved
//   6      writing `out` failed
//   7      a new size does not fit in 32 bits (nothing is written)
//   65535  not a WAVE / AIFF / AIFC container, or a read error
//
// Both write the complete new file into `out` (positioned at 0, empty): `source` with a tag
// chunk of `needed` + `padding` bytes (rounded up to even) added after the last chunk, or with
// the existing tag chunk grown so that it holds that many bytes more than the `oldTagSize`
// bytes of tag it held. The container sizes (and the RF64 "ds64" RIFF size) are fixed.
int AddTagChunk(QIODevice &source, const TContainerLayout &layout, uint32_t needed,
                uint32_t padding, QIODevice &out, qint64 &dataAt);
int EnlargeTagChunk(QIODevice &source, const TContainerLayout &layout, uint32_t needed,
                    uint32_t padding, uint32_t oldTagSize, QIODevice &out, qint64 &dataAt);

// Copies `length` bytes of `source` from `from` to the current position of `out`.
bool CopyBytes(QIODevice &source, qint64 from, qint64 length, QIODevice &out);

} // namespace vorlane

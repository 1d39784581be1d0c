#pragma once
// One frame of an ID3v2 tag: a four-character identifier, the frame flags and the frame data.
//
// The data (`Stream`) are kept exactly as stored in the tag: a compressed or (version 2.4)
// unsynchronised frame keeps its encoded bytes, so a frame nobody touches is written back byte
// for byte. Readers that need the plain bytes use DecodedData(), which undoes both layers on a
// copy. In version 2.3 unsynchronisation belongs to the whole tag (TID3v2Tag::Unsynchronised):
// the tag undoes it over all frames while loading, so 2.3 frame data are plain and the frame's
// own `Unsynchronised` stays false.
//
// Version 2.3 keeps the group and encryption-method bytes at the start of `Stream`; version 2.4
// keeps them in `GroupIdentifier` and `EncryptionMethod`.
//
// A frame is a value owned by its tag; one thread at a time.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace vorlane {

// Decompression never produces more than this, whatever a frame declares.
inline constexpr uint32_t kMaxDecompressedFrameSize = 16u * 1024 * 1024;

// A frame identifier: four raw bytes, compared byte for byte (case-sensitive).
struct TFrameID {
    std::array<char, 4> Bytes{};

    constexpr TFrameID() = default;
    // From a four-letter literal: TFrameID("TIT2").
    constexpr TFrameID(const char (&text)[5]) // NOLINT: implicit on purpose
        : Bytes{text[0], text[1], text[2], text[3]}
    {
    }
    static TFrameID FromBytes(const char *four);
    // The first four bytes of the text (Latin-1), padded with zero bytes.
    static TFrameID FromString(const QString &text);
    // The four bytes as a big-endian number: "TIT2" is 0x54495432.
    static TFrameID FromValue(uint32_t value);
    uint32_t Value() const;

    // Exactly four characters, each "0"-"9" or "A"-"Z".
    bool IsValid() const;
    QByteArray ToByteArray() const { return QByteArray(Bytes.data(), 4); }
    QString ToString() const { return QString::fromLatin1(Bytes.data(), 4); }

    friend bool operator==(const TFrameID &, const TFrameID &) = default;
};

// Syncsafe integers: 4 bytes, 7 bits each, most significant first.
uint32_t DecodeSyncsafe(const uint8_t *four);
void EncodeSyncsafe(uint32_t value, uint8_t *four);
uint32_t DecodeBigEndian32(const uint8_t *four);
void EncodeBigEndian32(uint32_t value, uint8_t *four);

// Unsynchronisation of a byte run. Removing drops every 0x00 that follows a 0xFF; applying
// inserts 0x00 after a 0xFF whose next byte is 0x00 or 0x20 and above (a final 0xFF gets none).
QByteArray RemoveUnsynchronisationFrom(const QByteArray &bytes);
QByteArray ApplyUnsynchronisationTo(const QByteArray &bytes);

class TID3v2Frame {
public:
    TID3v2Frame() = default;
    explicit TID3v2Frame(TFrameID id)
        : ID(id)
    {
    }

    // Empties the data and flags; zeroes ID and Size.
    void Clear();
    void Assign(const TID3v2Frame &other) { *this = other; }

    // Flag word <-> booleans, by the bit table of each version. DecodeFlags3 leaves
    // `Unsynchronised` alone (it is a tag property in version 2.3).
    void DecodeFlags3();
    void EncodeFlags3();
    void DecodeFlags4();
    void EncodeFlags4();

    // zlib, maximum level; the compressed form is kept even when larger. False (frame
    // unchanged) when the data are empty or zlib fails.
    bool Compress();
    // Inflates data longer than 4 bytes, stopping at the declared data length (when one is
    // known) and at kMaxDecompressedFrameSize. False (frame unchanged) on a zlib error.
    bool DeCompress();
    // Rewrite the data and set `Unsynchronised` false / true.
    bool RemoveUnsynchronisation();
    bool ApplyUnsynchronisation();

    // The plain frame data: a copy with unsynchronisation removed and compression undone.
    // False when a layer cannot be undone (or the frame is encrypted); `out` is then empty.
    bool DecodedData(QByteArray &out) const;

    // Replaces the data by plain bytes. The preservation and read-only flags stay; the flags
    // that describe an encoding of the old data (compression, encryption, unsynchronisation,
    // data length, and the 2.3 in-data group byte) are cleared so the new bytes are not
    // misread.
    void SetPlainData(const QByteArray &data);

    // The size field value this frame gets when written in the given major version (3 or 4).
    uint32_t FullSize(int majorVersion) const;
    // Identifier, size, flags and the extra header bytes of the given version (3 or 4); the
    // data follow it.
    QByteArray RenderHeader(int majorVersion) const;

    TFrameID ID;
    uint32_t Size = 0;                  // size field as read
    std::array<uint8_t, 4> CodedSize{}; // size field bytes as stored
    QByteArray Stream;                  // frame data as stored
    uint16_t Flags = 0;
    bool TagAlterPreservation = false;
    bool FileAlterPreservation = false;
    bool ReadOnly = false;
    bool Compressed = false;
    bool Encrypted = false;
    bool GroupingIdentity = false;
    bool Unsynchronised = false;
    bool DataLengthIndicator = false;
    uint8_t GroupIdentifier = 0;
    uint8_t EncryptionMethod = 0;
    // The size of the data when plain. Version 2.4 stores it syncsafe; version 2.3 stores the
    // decompressed size as a plain big-endian number, read and written as such.
    uint32_t DataLengthIndicatorValue = 0;
};

} // namespace vorlane

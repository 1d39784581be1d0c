#pragma once
// One ID3v2 tag (versions 2.3 and 2.4): header, extended header and an ordered list of frames.
//
// Loading finds the tag at the start of a plain file or inside the tag chunk of a RIFF WAVE,
// RF64 or AIFF/AIFC file (tags/Containers.h), reads the whole tag into memory (never more than
// the file holds) and walks its frames there. Frame data are kept as stored (see ID3v2Frame.h);
// version 2.3 tag-wide unsynchronisation is undone over the frame area while loading and applied
// again over the frame area when writing, and `Unsynchronised` keeps the flag.
//
// Saving writes in place when the old tag's space holds the new one (the freed bytes become
// padding); otherwise the whole new file is prepared beside the original and put in its place
// (base/FileReplacement.h), so a failure at any point leaves the original byte for byte, and
// the new file replaces it only when it holds every byte of the old one's audio. New tags are
// version 2.3. Saving never creates a file, and opens only regular files (base/RegularFile.h).
// A tag whose size field is not a syncsafe number, or whose size runs past the end of the file
// (or of its chunk), is damaged: it loads as far as it goes, but SaveToFile leaves such a file
// alone, since where its audio begins is not known.
//
// Result codes of LoadFromFile / LoadFromStream / SaveToFile / SaveToStream:
//   0      success
//   1      no ID3v2 tag found (load)
//   2      save: the tag has no frames
//   3      save: all frames are empty
//   4      the file does not exist, is not a regular file or cannot be opened
//   5      save: error while examining the file or container (also: a damaged container that
//          would need its chunks moved)
//   6      save: write error, or the original could not be replaced by the rewritten copy (also:
//          the copy came out without all of the original's audio)
//   7      save: the container would exceed 32-bit sizes
//   8      unsupported version (load: major version not 3 or 4; save: MajorVersion not 3 or 4)
//   9      save: the file's tag is damaged (see above); nothing is written
//   10     save: the tag must be rewritten but the file cannot be locked exclusively
//   11     save: the user may not write the file (its mode, owner or file system)
//   65535  read error in the header, a container of another kind (RIFF form type not WAVE,
//          FORM type not AIFF/AIFC), or an unexpected error
//
// Frame accessors come in two forms: by identifier (the first frame with that identifier; the
// setters append one when there is none) and by index (nothing happens and false / empty comes
// back for an index out of range). Getters read frames through their unsynchronisation and
// compression layers. A tag is a value owned by its user; one thread at a time.

#include "tags/ID3v2Frame.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class QFile;
class QIODevice;

namespace vorlane {

enum TID3v2ExtendedHeader4TagSizeRestriction {
    NoMoreThan128FramesAnd1MBTotalTagSize,
    NoMoreThan64FramesAnd128KBTotalTagSize,
    NoMoreThan32FramesAnd40KBTotalTagSize,
    NoMoreThan32FramesAnd4KBTotalTagSize,
};
enum TID3v2ExtendedHeader4TextEncodingRestriction {
    NoTextEncodingRestrictions,
    OnlyEncodedWithISO88591OrUTF8,
};
enum TID3v2ExtendedHeader4TextFieldsSizeRestriction {
    NoTextFieldsSizeRestrictions,
    NoStringIsLongerThan1024Characters,
    NoStringIsLongerThan128Characters,
    NoStringIsLongerThan30Characters,
};
enum TID3v2ExtendedHeader4ImageEncodingRestriction {
    NoImageEncodingRestrictions,
    ImagesAreEncodedOnlyWithPNGOrJPEG,
};
enum TID3v2ExtendedHeader4ImageSizeRestriction {
    NoImageSizeRestrictions,
    AllImagesAre256x256PixelsOrSmaller,
    AllImagesAre64x64PixelsOrSmaller,
    AllImagesAreExactly64x64PixelsUnlessRequiredOtherwise,
};

// The extended header of a version 2.3 tag, as read. It is never written.
struct TID3v2ExtendedHeader3 {
    uint32_t Size = 0;
    std::array<uint8_t, 4> CodedSize{};
    QByteArray Data; // padding size and, when present, the CRC
    uint16_t Flags = 0;
    bool CRCPresent = false;
};

// The extended header of a version 2.4 tag, as read. The restriction byte is kept in
// TagRestrictionsData; nothing acts on restrictions, so the enumerated fields stay at their
// defaults. It is never written.
struct TID3v2ExtendedHeader4 {
    uint32_t Size = 0;
    std::array<uint8_t, 4> CodedSize{};
    uint8_t FlagBytes = 0;
    uint8_t Flags = 0;
    uint32_t ExtendedFlagsDataSize = 0;
    QByteArray ExtendedFlagsData;
    bool TagIsAnUpdate = false;
    bool CRCPresent = false;
    bool TagRestrictions = false;
    uint8_t TagRestrictionsData = 0;
    TID3v2ExtendedHeader4TagSizeRestriction TagSizeRestriction =
        NoMoreThan128FramesAnd1MBTotalTagSize;
    TID3v2ExtendedHeader4TextEncodingRestriction TextEncodingRestrictions =
        NoTextEncodingRestrictions;
    TID3v2ExtendedHeader4TextFieldsSizeRestriction TextFieldsSizeRestriction =
        NoTextFieldsSizeRestrictions;
    TID3v2ExtendedHeader4ImageEncodingRestriction ImageEncodingRestriction =
        NoImageEncodingRestrictions;
    TID3v2ExtendedHeader4ImageSizeRestriction ImageSizeRestriction = NoImageSizeRestrictions;
};

class TID3v2Tag {
public:
    enum Result : int {
        kOk = 0,
        kNoTag = 1,
        kNoFrames = 2,
        kAllFramesEmpty = 3,
        kFileError = 4,
        kExamineError = 5,
        kWriteError = 6,
        kTooLarge = 7,
        kUnsupportedVersion = 8,
        kDamagedTag = 9,
        kNotExclusive = 10,
        kNotWritable = 11,
        kUnexpected = 65535,
    };

    TID3v2Tag() { Clear(); }

    void Clear();

    int LoadFromFile(const QString &fileName);
    // The same from a file already open for reading, from its start (its name is stored).
    int LoadFromFile(QFile &file);
    // Reads a tag starting at the device's current position: "ID3" there, or a RIFF/RF64/AIFF
    // container whose tag chunk begins with "ID3". The device must be random-access.
    int LoadFromStream(QIODevice &tagStream);
    int SaveToFile(const QString &fileName);
    // Writes header, frames and `PaddingSizeToWrite` zero bytes at the device's position.
    int SaveToStream(QIODevice &tagStream, uint32_t PaddingSizeToWrite);
    // The bytes SaveToStream writes; empty when MajorVersion is not 3 or 4.
    QByteArray Render(uint32_t paddingSize) const;

    // Frame list operations. Identifiers may be given as "TIT2" or TFrameID::FromValue(...).
    int AddFrame(TFrameID FrameID);
    int InsertFrame(TFrameID FrameID, int Position);
    bool DeleteFrame(int FrameIndex);
    bool DeleteFrame(TFrameID FrameID);
    void DeleteAllFrames();
    int FrameExists(TFrameID FrameID) const;
    int FrameTypeCount(TFrameID FrameID) const;
    int FrameCount() const { return int(Frames.size()); }
    void Assign(const TID3v2Tag &other);

    uint32_t CalculateTotalFramesSize() const;
    uint32_t CalculateTagSize(uint32_t paddingSize) const;
    uint32_t FullFrameSize(int FrameIndex) const;
    // CRC-32 (IEEE 802.3) over the frames as they would be written with unsynchronisation
    // removed from every frame. Changes nothing.
    uint32_t CalculateTagCRC32() const;
    // Version 2.3: the flag belongs to the whole tag (frame data are already plain);
    // version 2.4: each frame's data are rewritten.
    bool RemoveUnsynchronisationOnAllFrames();
    bool ApplyUnsynchronisationOnAllFrames();

    // --- Text frames ---
    QString GetUnicodeText(TFrameID FrameID) const;
    QString GetUnicodeText(int FrameIndex) const;
    // 01 FF FE, UTF-16LE text, 00 00.
    bool SetUnicodeText(TFrameID FrameID, const QString &Text);
    bool SetUnicodeText(int FrameIndex, const QString &Text);
    // 00 and the legacy code page text, no terminator.
    bool SetText(TFrameID FrameID, const QString &Text);
    bool SetText(int FrameIndex, const QString &Text);
    // 03 and UTF-8 text, no terminator.
    bool SetUTF8Text(TFrameID FrameID, const QString &Text);
    bool SetUTF8Text(int FrameIndex, const QString &Text);
    // The legacy code page text only, no encoding byte.
    bool SetRawText(TFrameID FrameID, const QString &Text);
    bool SetRawText(int FrameIndex, const QString &Text);

    // --- Attached pictures ("APIC") ---
    bool GetUnicodeCoverPictureStream(int FrameIndex, QByteArray &PictureStream, QString &MIMEType,
                                      QString &Description, uint8_t &CoverType) const;
    bool SetUnicodeCoverPictureFromStream(int FrameIndex, const QString &Description,
                                          const QByteArray &PictureStream, const QString &MIMEType,
                                          uint8_t CoverType);
    bool SetUnicodeCoverPictureFromFile(int FrameIndex, const QString &Description,
                                        const QString &PictureFileName, const QString &MIMEType,
                                        uint8_t CoverType);

    // --- Content frames: "COMM", "USLT" (language, description, content) ---
    QString GetUnicodeContent(TFrameID FrameID, QString &LanguageID, QString &Description) const;
    QString GetUnicodeContent(int FrameIndex, QString &LanguageID, QString &Description) const;
    bool SetContent(TFrameID FrameID, const QString &Content, const QString &LanguageID,
                    const QString &Description);
    bool SetUTF8Content(TFrameID FrameID, const QString &Content, const QString &LanguageID,
                        const QString &Description);
    bool SetUnicodeContent(TFrameID FrameID, const QString &Content, const QString &LanguageID,
                           const QString &Description);
    bool SetUnicodeContent(int FrameIndex, const QString &Content, const QString &LanguageID,
                           const QString &Description);
    QString GetUnicodeComment(int FrameIndex, QString &LanguageID, QString &Description) const;
    bool SetUnicodeComment(int FrameIndex, const QString &Content, const QString &LanguageID,
                           const QString &Description);
    // Index of the first "COMM" with that description, or -1.
    int FindUnicodeCommentByDescription(const QString &Description) const;
    // Rewrites the "COMM" with that description, or appends one.
    bool SetUnicodeCommentByDescription(const QString &Description, const QString &Content,
                                        const QString &LanguageID);
    QString GetUnicodeLyrics(TFrameID FrameID, QString &LanguageID, QString &Description) const;
    bool SetUnicodeLyrics(TFrameID FrameID, const QString &Lyrics, const QString &LanguageID,
                          const QString &Description);

    // --- Link frames (identifier beginning with "W") ---
    QString GetURL(TFrameID FrameID) const;
    bool SetURL(TFrameID FrameID, const QString &URL);

    // --- User-defined links ("WXXX": encoding, description, URL) ---
    QString GetUnicodeUserDefinedURLLink(TFrameID FrameID, QString &Description) const;
    QString GetUnicodeUserDefinedURLLink(int FrameIndex, QString &Description) const;
    int FindUnicodeUserDefinedURLLinkByDescription(const QString &Description) const;
    bool SetUserDefinedURLLink(TFrameID FrameID, const QString &URL, const QString &Description);
    bool SetUTF8UserDefinedURLLink(TFrameID FrameID, const QString &URL,
                                   const QString &Description);
    bool SetUnicodeUserDefinedURLLink(TFrameID FrameID, const QString &URL,
                                      const QString &Description);
    bool SetUnicodeUserDefinedURLLink(int FrameIndex, const QString &URL,
                                      const QString &Description);
    bool SetUnicodeUserDefinedURLLinkByDescription(const QString &Description, const QString &URL);

    // --- Description/value frames ("TXXX" and the like) ---
    QString GetUnicodeUserDefinedTextInformation(TFrameID FrameID, QString &Description) const;
    QString GetUnicodeUserDefinedTextInformation(int FrameIndex, QString &Description) const;
    bool SetUserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                       const QString &Text);
    bool SetUTF8UserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                           const QString &Text);
    bool SetUnicodeUserDefinedTextInformation(TFrameID FrameID, const QString &Description,
                                              const QString &Text);
    bool SetUnicodeUserDefinedTextInformation(int FrameIndex, const QString &Description,
                                              const QString &Text);
    // Index of the first frame with that identifier and description, or -1.
    int FindCustomFrame(TFrameID FrameID, const QString &Description) const;
    // "TXXX" by index.
    QString GetUnicodeTXXX(int FrameIndex, QString &Description) const;
    bool SetUnicodeTXXX(int FrameIndex, const QString &Description, const QString &Text);
    // "TXXX" by description: the value ("" when missing), the index, and rewrite-or-append.
    QString GetUnicodeTXXX(const QString &Description) const;
    int FindTXXXByDescription(const QString &Description) const;
    bool SetUnicodeTXXXByDescription(const QString &Description, const QString &Text);

    // --- List frames (name=value pairs, e.g. "TIPL", "TMCL", "IPLS") ---
    bool GetUnicodeListFrame(TFrameID FrameID, QStringList &List) const;
    bool SetUnicodeListFrame(TFrameID FrameID, const QStringList &List);

    // --- Date frames, lengths, counters ---
    QDateTime GetTime(TFrameID FrameID) const;
    bool SetTime(TFrameID FrameID, const QDateTime &Time);
    bool SetTLEN(uint64_t LengthMs);
    uint32_t GetPlayCount(TFrameID FrameID) const;
    bool SetPlayCount(TFrameID FrameID, uint32_t PlayCount);

    // --- "POPM": e-mail, rating, play counter ---
    bool GetPopularimeter(int FrameIndex, QString &Email, uint8_t &Rating,
                          uint32_t &PlayCounter) const;
    int FindPopularimeter(const QString &Email) const;
    bool SetPopularimeterByEmail(const QString &Email, uint8_t Rating, uint32_t PlayCounter);
    bool SetPopularimeter(int FrameIndex, const QString &Email, uint8_t Rating,
                          uint32_t PlayCounter);

    // --- "UFID": owner identifier and identifier bytes ---
    bool GetUFID(int FrameIndex, QString &OwnerIdentifier, QByteArray &Identifier) const;
    int FindUFIDByOwnerIdentifier(const QString &OwnerIdentifier) const;
    bool SetUFIDByOwnerIdentifier(const QString &OwnerIdentifier, const QByteArray &Identifier);
    bool SetUFID(int FrameIndex, const QString &OwnerIdentifier, const QByteArray &Identifier);

    // --- Bit-rate frame: a 10-byte extended-precision value (x87 layout, little-endian)
    // followed by its text ---
    double GetSEBR(TFrameID FrameID) const;
    QString GetSEBRString(TFrameID FrameID) const;
    bool SetSEBR(TFrameID FrameID, double Value);

    // --- Sample-cache frame: version, one reserved byte, the value 4, channel count (32-bit
    // little-endian each), then the samples; the frame is stored compressed ---
    bool GetSampleCache(TFrameID FrameID, bool ForceDecompression, uint32_t &Version,
                        uint32_t &Channels, QByteArray &Samples) const;
    bool SetSampleCache(TFrameID FrameID, uint32_t Version, uint32_t Channels,
                        const QByteArray &Samples);

    // --- Sample-count frame: 00 and the decimal count ---
    int64_t GetSEFC(TFrameID FrameID) const;
    bool SetSEFC(TFrameID FrameID, int64_t Count);

    // --- Colour frame: title colour and text colour (32-bit little-endian each) ---
    bool GetAlbumColors(TFrameID FrameID, uint32_t &TitleColor, uint32_t &TextColor) const;
    bool SetAlbumColors(TFrameID FrameID, uint32_t TitleColor, uint32_t TextColor);

    std::array<uint8_t, 4> CodedSize{};
    QString FileName;
    bool Loaded = false;
    uint8_t MajorVersion = 3;
    uint8_t MinorVersion = 0;
    uint8_t Flags = 0;
    bool Unsynchronised = false;
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool FooterPresent = false;
    uint32_t Size = 0;
    std::vector<TID3v2Frame> Frames;
    TID3v2ExtendedHeader3 ExtendedHeader3;
    TID3v2ExtendedHeader4 ExtendedHeader4;
    uint32_t PaddingSize = 0;
    uint32_t PaddingToWrite = 4096;

private:
    int parseTag(QIODevice &stream, qint64 limit);
    void readExtendedHeader(const QByteArray &body, qsizetype &pos);
    void readFrames(const QByteArray &body, qsizetype pos);
    // The frame area as written: every frame with a valid identifier and data, with tag-wide
    // unsynchronisation (2.3) or per-frame unsynchronisation (2.4 flagged tags) applied.
    QByteArray renderFrameArea() const;
    QByteArray renderHeader(uint32_t tagSize) const;
    int saveToOpenFile(QFile &file, const QString &path);

    // Frame for a setter: the first with the identifier, or a new one appended.
    int indexForWrite(TFrameID id);
    TID3v2Frame *frameForWrite(TFrameID id) { return frameAt(indexForWrite(id)); }
    TID3v2Frame *frameAt(int index);
    const TID3v2Frame *frameAt(int index) const;
    bool setData(TID3v2Frame *frame, const QByteArray &data);
};

} // namespace vorlane

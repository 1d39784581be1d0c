#pragma once
// The fixed 128-byte ID3v1 / ID3v1.1 tag in the last 128 bytes of an audio file.
//
// Text fields are kept as the single-byte strings stored in the file (the legacy code page of
// base/Codepage.h); the tag editor converts them to and from Unicode. The genre is kept as
// its name; the number is looked up in the genre table on saving.
//
// Files are opened only when they are regular files (base/RegularFile.h); saving never
// creates one.
//
// Result codes of the load and save operations:
//   0      success
//   3      the file does not exist or is not a regular file; save: it could not be opened
//   4      a read failed (the loaded fields are cleared)
//   5      writing the tag failed
//   11     save: the user may not write the file (its mode, owner or file system)
//   65535  no "TAG" block found (load), or the operation was not completed (an existing file
//          that cannot be opened for reading)
//
// A TID3v1Tag is a plain value owned by its user; one thread at a time.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

class QFile;
class QIODevice;

namespace vorlane {

// The 148 genre names, numbers 0 to 147.
const QStringList &ID3v1Genres();

// The table number of a genre name: exact, case-sensitive match, "Psychadelic" taken as
// "Psychedelic"; 12 ("Other") when there is no match.
uint8_t ID3v1GenreNumber(const QByteArray &name);

class TID3v1Tag {
public:
    enum Result : int {
        kOk = 0,
        kFileError = 3,
        kReadError = 4,
        kWriteError = 5,
        kNotWritable = 11,
        kNoTag = 65535,
    };

    TID3v1Tag() { Clear(); }

    void Clear();

    // Reads the last 128 bytes of the file; stores FileName on success.
    int LoadFromFile(const QString &fileName);
    // The same from a file already open for reading (its name is stored).
    int LoadFromFile(QFile &file);
    // Parses the 128 bytes at the device's current position.
    int LoadFromStream(QIODevice &tagStream);
    // Overwrites the tag at the end of the file, or appends one.
    int SaveToFile(const QString &fileName);
    // The device is positioned 128 bytes before its end (or at 0 when shorter): an old tag there
    // is overwritten, otherwise the tag is appended.
    int SaveToStream(QIODevice &tagStream);

    // The 128 bytes SaveToStream writes.
    QByteArray Render() const;

    QString FileName;
    bool Loaded = false;
    bool Revision1 = false;
    QByteArray Title;   // up to 30 bytes
    QByteArray Artist;  // up to 30 bytes
    QByteArray Album;   // up to 30 bytes
    QByteArray Year;    // up to 4 bytes
    QByteArray Comment; // up to 30 bytes (28 when a track number is stored)
    uint8_t Track = 0;  // 0 = none
    QByteArray Genre;   // genre name
};

} // namespace vorlane

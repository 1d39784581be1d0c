#pragma once
// The tag editor: the one door through which the rest of the program reads and writes tags.
//
// It owns one ID3v1 and one ID3v2 tag, is pointed at one file at a time with SetFile, and
// exchanges the common fields as a TTag of Unicode strings. Only ".mp3" files (any case) are
// edited; for every other file the editor is disabled and its operations do nothing (the
// getters leave the caller's record untouched). Only regular files are read (a FIFO, device or
// folder leaves the editor disabled); a missing file is enabled with empty tags, but no save
// creates it. Save results are kept for the tools that report them: LastSaveResult() and
// LastSaveOk().
//
// | TTag   | ID3v1            | ID3v2                                        |
// | Title  | Title            | "TIT2"                                       |
// | Artist | Artist           | "TPE1"                                       |
// | Album  | Album            | "TALB"                                       |
// | Track  | Track ("0" none) | "TRCK" (taken as it stands, "3/12" included) |
// | Genre  | Genre name       | "TCON" (taken as it stands, "(13)" included) |
// | Year   | Year             | "TYER"; a 2.4 tag: "TDRC" (first 4 characters when read, and
// |        |                  | read when "TYER" is missing)                 |
//
// An empty field in a TTag passed to a setter leaves that field of the tag as it was.
//
// Covers: GetCoverArt scales the first attached picture (JPEG, PNG, BMP or GIF by its MIME
// type) into a display box; without a picture, or with one of another type, the default cover
// (DefCover.png from the program's data folder, then the current folder; a plain generated
// picture when neither has it) is the result.
//
// An editor is used from one thread at a time (QImage work only, no widgets).

#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QImage>
#include <QString>

namespace vorlane {

struct TTag {
    QString Title;
    QString Artist;
    QString Album;
    QString Track;
    QString Genre;
    QString Year;
    QString FileType; // lower-cased extension with its dot, ".mp3"
};

class TTagEditor {
public:
    TTagEditor();

    void SetFile(const QString &ExtCurFile);
    void GetTagV1(TTag &Tag) const;
    void GetTagV2(TTag &Tag) const;
    void SetTagV1(const TTag &NewTag);
    void SetTagV2(const TTag &NewTag);
    void CopyFromTagV1toTagV2();
    void CopyFromTagV2toTagV1();

    // Makes CoverArt for a box of Width x Height pixels.
    void GetCoverArt(int Width, int Height);
    // Replaces the first picture by the image file's bytes (front cover, "Album") and saves the
    // ID3v2 tag. False when disabled or when the file cannot be read as a picture
    // (ReadCoverPicture); then nothing is saved.
    bool SetCoverArt(const QString &FileName);

    bool Enabled() const { return vEnabled; }
    QString CurFile() const { return vCurFile; }
    // Read when first needed: most starts never show a cover, and decoding it is not free.
    const QImage &DefaultCover() const;
    // The code of the last tag save (TID3v1Tag / TID3v2Tag codes); 0 before any.
    int LastSaveResult() const { return vLastSaveResult; }
    // Whether the last save wrote the tag, or had nothing to write (an ID3v2 tag without frames
    // or with empty ones); true before any.
    bool LastSaveOk() const { return vLastSaveOk; }

    TID3v1Tag ID3v1Tag;
    TID3v2Tag ID3v2Tag;
    QImage CoverArt;
    bool RefreshFlag = false;

private:
    void saveTagV2();

    QString vCurFile;
    bool vEnabled = false;
    mutable QImage vDefaultCover;
    mutable bool vDefaultCoverLoaded = false;
    int vLastSaveResult = 0;
    bool vLastSaveOk = true;
};

// Reads a picture file for a cover: its bytes, when it is a regular file whose bytes decode as a
// picture (any format the image plugins know); false otherwise.
bool ReadCoverPicture(const QString &fileName, QByteArray &picture);

// The six TTag fields of an ID3v2 tag, read as the editor reads them (FileType untouched), and
// the non-empty ones written into its frames as the editor writes them. For tools that handle
// tags outside MP3 files (WAVE, AIFF) with the same rules.
void ReadTagV2Fields(const TID3v2Tag &tag, TTag &fields);
void WriteTagV2Fields(TID3v2Tag &tag, const TTag &fields);

// The size a W x H picture gets in a Width x Height box: the longer side fills the box, the
// other keeps the ratio (single precision, rounded to nearest, halves to even).
QSize CoverArtSize(int pictureWidth, int pictureHeight, int Width, int Height);

// The default cover picture: DefCover.png from the data folder, else the current folder, else
// a plain generated picture.
QImage LoadDefaultCover();

} // namespace vorlane

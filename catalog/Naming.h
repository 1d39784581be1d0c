#pragma once
// Tag-driven naming: what a file is called after a naming tool, and what tags a file name gives.
// Pure functions over names and tag fields; the catalogue controller applies them to its folder
// lists and the files on disk (TVorlane::Edit, TagsAutoCreate), within the folder the user chose
// (TNamingFence). Safe from any thread.

#include "catalog/CatalogTypes.h"
#include "tags/TagEditor.h"

#include <QString>

namespace vorlane {

// The naming tools, by the number the windows use.
enum TEditType : int {
    etToCyrillic = 2, // Latin -> Cyrillic transliteration (the extension kept)
    etFormatName = 3, // clean-up of the name (FormatName)
    etToLatin = 5,    // Cyrillic -> Latin transliteration
    etFromTagV1 = 6,  // the name built from the ID3v1 tag by the template
    etFromTagV2 = 7,  // the same from the ID3v2 tag
    etNumbering = 8,  // numbering of the whole list; in the batch form, tags from names
};

// The mark a numbered record gets when its file could not be renamed.
inline constexpr char16_t kRenameErrorMark[] = u"[Ошибка]";

// The file name the template makes of a file's tag fields: the switched-on fields that are not
// empty, as "Track - Artist, Album  - Title (Year)" (the year only after something else),
// followed by tag.FileType, sanitised for the file system. Empty when no field is taken: the
// file is then not renamed.
QString NameFromTag(const TTag &tag, const TTagRenameTemplate &t);

// The template applied to the sample fields "01", "John Johnson", "Spring album", "My song" and
// "1991", without an extension ("John Johnson - My song" for artist and title).
QString TemplateSample(const TTagRenameTemplate &t);

// The clean-up of a file name: lower case, "_" as spaces, the leading run of digits, spaces and
// punctuation up to "9" dropped (never into the extension: a name made only of them keeps it),
// spaces around the first hyphen, and a capital after every space (not for the last character)
// and at the start. "01_my_song-remix.MP3" -> "My Song - Remix.mp3".
QString FormatName(const QString &fileName);

// The numbering prefix of position k (1-based) among `count` files: k padded with zeros to the
// number of digits of count, then " - ". (12 files: "01 - " .. "12 - "; 9 files: "1 - ".)
QString NumberingPrefix(int k, int count);

// The tags a file name gives: the name without its extension split at its first hyphen into
// artist and title (spaces around the hyphen dropped; without a hyphen the whole name is the
// title and the artist stays empty), and the track `track`. Album, genre and year stay empty so
// that the tag keeps them.
TTag TagsFromName(const QString &fileName, int track);

// Whether `path` lies below `root`, both absolute with every link resolved (as
// QFileInfo::canonicalFilePath gives them). A folder is not below itself, nor is "/music2/a"
// below "/music". False when either is empty. Pure.
bool PathInsideFolder(const QString &path, const QString &root);

// The folder within which the naming tools may change files: a folder list's root, with its links
// resolved. A file is admitted when its own real location (links on the way and the file itself
// resolved) lies inside that folder; a file reached through a linked folder that leads elsewhere,
// or a link to a file elsewhere, is not. Reads the file system when made and on each question;
// any thread.
class TNamingFence {
public:
    explicit TNamingFence(const QString &root);
    // False too when the file or the root cannot be resolved (missing, not searchable).
    bool Admits(const QString &path) const;

private:
    QString vRoot; // canonical; empty when the root does not resolve
};

} // namespace vorlane

#pragma once
// Stateless text and file-name helpers shared by the catalogue, the file operations, the naming
// tools and the windows. Every function is total: platform failures give the documented empty
// value, nothing throws. Safe from any thread.

#include <QString>

#include <cstdint>

namespace vorlane {

// Replaces each of  " ? / \ : * < > |  by "_". Nothing else changes.
void SanitizeFileName(QString &name);

// Cyrillic -> Latin file-name transliteration. The result is lower case ("Щука и Ёж.mp3" ->
// "schuka_i_yozh.mp3"): spaces and , ( ) ' " become "_", "&" becomes "_and_", ` ; ъ ь vanish.
QString TranslitToLatin(const QString &text);

// Latin -> Cyrillic transliteration of a file name; the last four characters (the extension) are
// kept as they are, and a text of four characters or fewer is returned unchanged.
// "Shchuka.mp3" -> "Щука.mp3", "Yozh.mp3" -> "Ёж.mp3". Look-aheads never read into the kept tail.
QString TranslitToCyrillic(const QString &text);

// Natural order: case-insensitive, runs of decimal digits compared as numbers (of any length),
// digits before other characters, other characters by UTF-16 code unit. Returns -1, 0 or 1.
// "file2" < "file10"; "File" == "file"; "01" == "1"; "0" < "00"; "a1" < "ab"; "" < "a".
int CompareNatural(const QString &a, const QString &b);

// A key whose plain code-unit comparison orders strings exactly as CompareNatural does:
// compare(NaturalSortKey(a), NaturalSortKey(b)) has the sign of CompareNatural(a, b).
// Sorting by precomputed keys avoids re-lower-casing and re-parsing numbers at every comparison.
QString NaturalSortKey(const QString &text);

// One UTF-16 unit in lower case (the simple, one-to-one mapping), as natural order and the
// fuzzy search compare letters.
char16_t LowerUnit(char16_t c);

// A hash of a name lower-cased unit by unit (LowerUnit), and the matching equality: names that
// differ only in letter case have one hash. For hash joins on file names (the duplicate search).
uint64_t FoldedNameHash(QStringView name);
bool FoldedNamesEqual(QStringView a, QStringView b);

// "a"-"z" -> "A"-"Z", "а"-"я" -> "А"-"Я", "ё" -> "Ё"; any other character unchanged.
QChar fUpCaseRus(QChar c);

// Size in bytes of a readable file; -1 for an empty path or a file that cannot be opened.
// Sizes of 2 GiB and above are clamped to the largest 32-bit value.
int32_t GetFileSize32(const QString &path);

// Last-modified time as a date-time number (days since 30 Dec 1899, local time, fraction = time
// of day); 0 when the file does not exist or has no valid time.
double GetFileDateTime(const QString &path);

// Converts a Unix time (seconds and nanoseconds) to the date-time number above.
double UnixTimeToDateTime(int64_t seconds, int64_t nanoseconds = 0);

// Well-known folders by their classic ids, for the current user; empty when unknown or not
// available. 26 is the application-data folder (where VL4Conf lives when the working folder has
// none), 5 documents, 13 music, 16 desktop, 28 local application data, 40 home.
QString GetSpecialFolder(int folderId);

// This computer's host name; empty when it cannot be read.
QString GetComputerNameStr();

// For bits 0..25 set in the mask, in ascending order, the letters "A" + bit ("AC" for 5).
QString DriveLettersFromMask(uint32_t mask);

// MD5 of the text's UTF-8 bytes as 32 lower-case hexadecimal digits.
QString Md5HexLower(const QString &text);

// The eleven audio extensions a folder scan keeps (".mp3", ".ogg", ".wav", ".mp2", ".mp1",
// ".aiff", ".flac", ".aac", ".m4a", ".m4b", ".wma"): true when the lower-cased extension of the
// file name is one of them.
bool IsAudioFileName(const QString &fileName);

// The file name without its extension (everything from the last "." on); "Song.mp3" -> "Song".
QString NameWithoutExtension(const QString &fileName);

// The extension of the lower-cased file name with its dot ("a.MP3" -> ".mp3"), empty if none.
QString LowerExtension(const QString &fileName);

} // namespace vorlane

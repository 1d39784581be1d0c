#pragma once
// Text files of the program (list files, playlists, catalogue, settings and account files).
// Reading honours a UTF-8 or UTF-16 byte-order mark, else takes the bytes as UTF-8 when they are
// valid UTF-8, else as the legacy code page (files of older installs). Writing is UTF-8 without a
// byte-order mark (unless the text itself begins with that character), every line ended by
// CR LF, and atomic: the old file stays whole until the new one is complete. Safe from any thread.
//
// Reading is bounded: a line longer than the reader's limit is damaged (no list entry, setting or
// text needs one) and reads as an empty line, so that the lines after it keep their places (the
// catalogue files are groups of lines) and every reader skips it as it skips blank lines. The
// file is streamed: such a line is passed over to its line end without being kept or decoded, so
// a file of any size costs no more memory than its good lines.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace vorlane {

// The longest line, in characters (UTF-16 units), of the catalogue's list files: FL.txt, BK.txt,
// PL.txt, playlists, link lists and cached catalogue lists.
inline constexpr qsizetype kMaxListLine = 32 * 1024;

// Bytes of a text file to text, by the rules above (no line limit).
QString DecodeText(const QByteArray &bytes);

// Splits text into lines at CR LF, LF or a lone CR. A final line end does not start an empty
// line; an empty text gives no lines.
QStringList SplitLines(const QString &text);

// The bytes of a device from its current position to its end, in its own encoding, with the
// content of every line of more than maxBytes bytes left out (its line end kept); `damaged` counts
// those lines. Reads in blocks: no more than maxBytes of a long line is ever held.
QByteArray ReadBoundedText(QIODevice &device, qsizetype maxBytes, int *damaged = nullptr);

// The lines of a device's text. A line of more than maxChars characters is damaged and reads as
// an empty line; so does one of more than three bytes a character in the file (what UTF-8 needs
// at most), which is never decoded. Returns the number of damaged lines.
int ReadTextLines(QIODevice &device, QStringList &lines, qsizetype maxChars = kMaxListLine);

// Reads the lines of a text file as above; damaged lines are reported on standard error with the
// file's path. False (and no lines) when the file cannot be opened or read to its end.
bool ReadTextLines(const QString &path, QStringList &lines, qsizetype maxChars = kMaxListLine);

// The bytes WriteTextLines writes for these lines.
QByteArray EncodeTextLines(const QStringList &lines);

// Writes the lines, each ended by CR LF, replacing the file in one rename (missing folders are
// made). False when the folder is not writable or the write fails; the old file is then unchanged.
bool WriteTextLines(const QString &path, const QStringList &lines);

} // namespace vorlane

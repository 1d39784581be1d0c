#pragma once
// Text files of the program (list files, playlists, catalogue and account files).
// Reading honours a UTF-8 or UTF-16 byte-order mark, else takes the bytes as UTF-8 when they are
// valid UTF-8, else as the legacy code page (files of older installs). Writing is UTF-8 without a
// byte-order mark, every line ended by CR LF, and atomic: the old file stays whole until the new
// one is complete. Safe from any thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorlane {

// Bytes of a text file to text, by the rules above.
QString DecodeText(const QByteArray &bytes);

// Splits text into lines at CR LF, LF or a lone CR. A final line end does not start an empty
// line; an empty text gives no lines.
QStringList SplitLines(const QString &text);

// Reads the lines of a text file. False (and no lines) when the file cannot be opened.
bool ReadTextLines(const QString &path, QStringList &lines);

// The bytes WriteTextLines writes for these lines.
QByteArray EncodeTextLines(const QStringList &lines);

// Writes the lines, each ended by CR LF, replacing the file in one rename (missing folders are
// made). False when the folder is not writable or the write fails; the old file is then unchanged.
bool WriteTextLines(const QString &path, const QStringList &lines);

} // namespace vorlane

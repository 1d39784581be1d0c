#pragma once
// The legacy 8-bit code page: what older list files and ID3v1 / encoding-0 tag text are written
// in. It is windows-1251 when the user's locale writes its language in Cyrillic script, otherwise
// windows-1252; the shell may override it from Config.ini ("CodePage" in "Main").
// The setting is read from any thread; set it only at start-up, before workers run.

#include <QByteArray>
#include <QString>

namespace vorlane {

// The code page chosen from the system locale ("windows-1251" or "windows-1252").
QString DefaultLegacyCodePage();

// The code page in use; DefaultLegacyCodePage() until SetLegacyCodePage is called.
QString LegacyCodePage();

// Chooses the code page by name ("windows-1251", "koi8-r", ...). An unknown name is refused
// (false) and the current one stays; an empty name returns to the locale's default.
bool SetLegacyCodePage(const QString &name);

// Bytes in the legacy code page to text, and back. Characters the code page cannot hold are
// written as "?".
QString DecodeLegacy(const QByteArray &bytes);
QByteArray EncodeLegacy(const QString &text);

} // namespace vorlane

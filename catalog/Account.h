#pragma once
// The account service, news and feedback: the account file and its parsing, the steps each
// operation takes on an FTP session (net/FtpClient.h), the local files' upload and the news cache.
//
// An account is a login and a password the server never sees: their account name (AccountName)
// names a file "<name>.txt" in the folder "Services/VLAccounts" of the account server. The file:
//   Links:
//   <cursor of the account playlist>
//   <the playlist's entries in the list line format, one per line>
//   Bookmarks:
//   <five lines per bookmark: Name, FileName, PlayPosition, ListName, RootDir>
// every line ended by CR LF. A new account's file is the text "0" alone.
//
// The pure functions are safe from any thread. The blocking ones run on the thread that owns the
// session they are given (the controller's workers, or vorlane-cli's main thread).

#include "base/FileList.h"
#include "catalog/CatalogTypes.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace vorlane {

class TFtpClient;

inline constexpr char16_t kAccountFolder[] = u"Services/VLAccounts";
inline constexpr char16_t kFeedbackFolder[] = u"Services/VLFeedback";
inline constexpr char16_t kStorageFolder[] = u"/public_http";
// The line that ends the account playlist and begins the bookmarks.
inline constexpr char16_t kBookmarksLine[] = u"Bookmarks:";

// Md5HexLower of login + "_" + password (UTF-8): 32 lower-case hexadecimal digits.
QString AccountName(const QString &login, const QString &password);

// An entry whose folder has no network scheme ("http://", "ftp://", ...): a file on this computer.
bool IsLocalEntry(const TFileName &entry);

// Text for the servers' files: in the legacy code page, as other installs read it; in UTF-8 when
// the text holds a character the code page lacks, which it would turn into "?". Readers take
// both (DecodeText).
QByteArray EncodeServiceText(const QString &text);

// The account file of a playlist and the bookmarks: only those bookmarks that point to an entry
// of the playlist (same FileName, ListName equal to its DirName), once for each such entry.
QByteArray AccountFileBytes(const TFileList &playlist, const QList<TBookmark> &bookmarks);

// What an account file brings.
struct TAccountContent {
    bool HasLinks = false;     // the links part had more than its first line
    TFileList PlayList;        // with the file's cursor; RootDir "MyNetwork.vl3u" when HasLinks
    QStringList BookmarkLines; // the lines after "Bookmarks:", five per bookmark
};
// The links part ends at the first line that is exactly "Bookmarks:" (so an entry holding the
// word stays an entry); a text without that line is all links and no bookmarks. Of the links
// part the first line ("Links:") is dropped and the next is the cursor.
TAccountContent ParseAccountText(const QString &text);

// ---- Blocking steps on a session; each connects, works and disconnects ----

// How a login ended.
enum class TAccountRead {
    Loaded,    // the account file was read
    NoAccount, // the server answered, and has no account of that name
    Failed,    // no connection, no listing, or the file broke off
};

// Creates the account file (the text "0") unless a file of that name exists in the absolute
// folder "/Services/VLAccounts" (names compared without regard to case), which is left as it is.
// True when the account exists afterwards.
bool CreateAccountFile(TFtpClient &account, const QString &accountName);
// Reads the account file from "Services/VLAccounts" of the login folder.
TAccountRead ReadAccountFile(TFtpClient &account, const QString &accountName, QString &text);
// Replaces the account file with bytes, through a temporary file renamed over it: a connection
// lost on the way leaves the old file whole. False when it was not replaced.
bool WriteAccountFile(TFtpClient &account, const QString &accountName, const QByteArray &bytes);

// The storage name of a local file: account + "_" + TranslitToLatin(fileName); empty when that is
// not a plain remote name (IsPlainRemoteName).
QString StorageFileName(const QString &account, const QString &fileName);

// What an upload of the local files made of the playlist.
struct TUploadResult {
    bool Connected = false; // false: nothing was tried, List is empty
    TFileList List;         // every entry, in order: uploaded ones point to the web folder
    int Uploaded = 0;
};
// Uploads the local entries of playlist to the storage folder "/public_http" (STOR, replacing a
// file of the same name), each under StorageFileName; an uploaded entry's DirName becomes
// webFolder and its FileName the storage name. The first upload that fails (or a stop) ends the
// uploading: that entry and every later one go into the result unchanged, so no entry is lost.
TUploadResult UploadLocalFiles(TFtpClient &storage, const TFileList &playlist,
                               const QString &account, const QString &webFolder,
                               const std::atomic<bool> *stop = nullptr);

// ---- Feedback ----

// computer + "_" + date as "yyyy-MM-dd" + ".txt"; "/" in the computer name becomes "_".
QString FeedbackFileName(const QString &computer, const QDate &day);
// LF, CR, the date and time ("yyyy-MM-dd HH:mm:ss"), " - ", the message.
QString FeedbackRecord(const QDateTime &when, const QString &message);
// Appends the record to today's feedback file of this computer in "Services/VLFeedback"
// (APPE creates it). True when it was stored.
bool SendFeedbackMessage(TFtpClient &account, const QString &computer, const QDateTime &when,
                         const QString &message);

// ---- News ----

// site + "/Services/news/news_" + language + ".txt"; empty without a site.
QString NewsAddress(const QString &site, const QString &language);
// The news cache: reads the cached text into `cached` (empty when missing), then fetches the
// news into cacheFile when the server gives a length that differs from the cached file's size
// (sent with the agent name `agent`). True when a new text was fetched; `cached` then holds it.
bool RefreshNews(const QString &address, const QString &cacheFile, const QString &agent,
                 QString &cached, const std::atomic<bool> *stop = nullptr);

} // namespace vorlane

#pragma once
// An FTP session with one server (the account and storage services): passive mode, binary
// transfers, user name and password from the "Services" settings (net/Services.h).
//
// A session holds one libcurl handle from Connect to Disconnect and every command goes over its
// one connection, so a session logs in once however many files it moves (libcurl logs in again
// only when the server has dropped the connection). Paths are relative to the login folder,
// absolute when they begin with "/"; every name in them is sent as UTF-8.
//
// Blocking. A session is used by one thread at a time: the thread that runs the operation it
// belongs to. A set cancel flag (SetCancel) ends a transfer within a second.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>

namespace vorlane {

struct TServices;
struct TFtpTransfer;

// Where and as whom a session logs in.
struct TFtpSettings {
    QString Server; // the server's address: the ftp scheme, its host and an optional port
    QString User;
    QString Password;

    // All three are given: with one empty the service is off.
    bool IsSet() const { return !Server.isEmpty() && !User.isEmpty() && !Password.isEmpty(); }
};

TFtpSettings AccountFtpSettings(const TServices &services);
TFtpSettings StorageFtpSettings(const TServices &services);

// A name that may be used as one remote file name: not empty, not "." or "..", and free of "/",
// "\", CR, LF and NUL. Names from a server's listing and names the program makes up are checked
// with it before they are used, so neither can lead out of the folder meant.
bool IsPlainRemoteName(const QString &name);

// Downloads into memory stop at this size: the account and news files are small.
inline constexpr int64_t kMaxFtpDownload = int64_t(32) << 20;

class TFtpClient {
public:
    explicit TFtpClient(TFtpSettings settings);
    ~TFtpClient();
    TFtpClient(const TFtpClient &) = delete;
    TFtpClient &operator=(const TFtpClient &) = delete;

    const TFtpSettings &Settings() const { return vSettings; }
    // Transfers end (with a failure) once *cancel is true; nullptr: never.
    void SetCancel(const std::atomic<bool> *cancel) { vCancel = cancel; }

    // Logs in. False when the settings are not all given, the server cannot be reached (in
    // kConnectTimeoutSeconds) or refuses the login; the session is then not connected.
    bool Connect();
    bool Connected() const { return vHandle != nullptr; }
    // Logs out and closes the connection; nothing when not connected.
    void Disconnect();

    // The names in a folder (NLST), without those that are not plain names (IsPlainRemoteName).
    bool List(const QString &folder, QStringList &names);
    // A remote file into memory (RETR); false, with data empty, when it is missing, larger than
    // kMaxFtpDownload or the transfer broke.
    bool Download(const QString &path, QByteArray &data);
    // Stores data as the remote file (STOR): a file of that name is replaced.
    bool Upload(const QString &path, const QByteArray &data);
    // Stores a local file as the remote file (STOR); false when the local file cannot be read.
    bool UploadFile(const QString &path, const QString &localFile);
    // Stores data under a temporary name beside the remote file, then renames it over the file
    // (RNFR/RNTO). Until the rename the old file is whole; a transfer that breaks off leaves it
    // as it was.
    bool UploadReplacing(const QString &path, const QByteArray &data);
    // Adds data to the end of the remote file, which is created when missing (APPE).
    bool Append(const QString &path, const QByteArray &data);
    // Creates a folder (MKD); true also when it exists already.
    bool MakeFolder(const QString &path);
    // The size of a remote file (SIZE); -1 when it is missing or the server cannot tell.
    int64_t Size(const QString &path);

    // What the last failed operation met, for messages.
    QString LastError() const { return vLastError; }

private:
    struct THandle;
    bool perform(const QString &path, bool folder, TFtpTransfer &transfer);

    TFtpSettings vSettings;
    std::unique_ptr<THandle> vHandle;
    const std::atomic<bool> *vCancel = nullptr;
    QString vLastError;
};

} // namespace vorlane

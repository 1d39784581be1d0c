#include "net/FtpClient.h"

#include "net/CurlHandle.h"
#include "net/Services.h"
#include "net/UrlReads.h"

#include <QBuffer>
#include <QFile>
#include <QUrl>

namespace vorlane {

TFtpSettings AccountFtpSettings(const TServices &services)
{
    return {services.AccountServer, services.AccountUser, services.AccountPassword};
}

TFtpSettings StorageFtpSettings(const TServices &services)
{
    return {services.StorageServer, services.StorageUser, services.StoragePassword};
}

bool IsPlainRemoteName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    }
    return true;
}

struct TFtpClient::THandle {
    net::CurlEasy Easy;
};

// What one command sends or receives, and how it ended.
struct TFtpTransfer {
    QIODevice *Source = nullptr; // upload: read from here
    QByteArray *Sink = nullptr;  // download or listing: appended here
    bool NoBody = false;         // no data connection: login, folder and size commands
    bool Append = false;
    bool ListOnly = false;
    bool CreateFolders = false;
    QList<QByteArray> PostQuote; // commands sent in the file's folder after it succeeded
    const std::atomic<bool> *Cancel = nullptr;
    bool TooLarge = false;
    bool Cancelled = false;
    int64_t Received = 0;
};

namespace {

size_t receive(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<TFtpTransfer *>(user);
    const size_t bytes = size * count;
    if (!t->Sink)
        return bytes;
    // Subtract, so that a server sending without end cannot overflow the sum.
    if (int64_t(bytes) > kMaxFtpDownload - t->Received) {
        t->TooLarge = true;
        return 0;
    }
    t->Sink->append(data, qsizetype(bytes));
    t->Received += int64_t(bytes);
    return bytes;
}

size_t discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

size_t send(char *buffer, size_t size, size_t count, void *user)
{
    auto *t = static_cast<TFtpTransfer *>(user);
    const qint64 read = t->Source->read(buffer, qint64(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
}

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *t = static_cast<TFtpTransfer *>(user);
    if (t->Cancel && t->Cancel->load(std::memory_order_relaxed))
        t->Cancelled = true;
    return t->Cancelled ? 1 : 0;
}

// The address of a path on the server: each name percent-encoded; a leading "/" is the server's
// root ("%2F"), otherwise the path starts in the login folder.
QByteArray addressOf(const QString &server, const QString &path, bool folder)
{
    QByteArray address = server.toUtf8() + '/';
    QString rest = path;
    if (rest.startsWith(u'/')) {
        address += "%2F";
        while (rest.startsWith(u'/'))
            rest.remove(0, 1);
    }
    const QStringList names = rest.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            address += '/';
        address += QUrl::toPercentEncoding(names.at(i));
    }
    if (folder && !names.isEmpty())
        address += '/';
    return address;
}

// The folder and the name of a file path: "a/b/c.txt" -> "a/b", "c.txt".
void splitPath(const QString &path, QString &folder, QString &name)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    folder = slash < 0 ? QString() : path.left(slash + 1);
    name = path.mid(slash + 1);
}

} // namespace

TFtpClient::TFtpClient(TFtpSettings settings)
    : vSettings(std::move(settings))
{
}

TFtpClient::~TFtpClient()
{
    Disconnect();
}

bool TFtpClient::Connect()
{
    if (vHandle)
        return true;
    if (!vSettings.IsSet()) {
        vLastError = QStringLiteral("the service is not configured");
        return false;
    }
    net::CurlEasy easy = net::NewCurlEasy();
    if (!easy) {
        vLastError = QStringLiteral("libcurl cannot be loaded");
        return false;
    }
    vHandle = std::make_unique<THandle>();
    vHandle->Easy = std::move(easy);
    TFtpTransfer login;
    login.NoBody = true;
    if (!perform(QString(), true, login)) {
        vHandle.reset();
        return false;
    }
    return true;
}

void TFtpClient::Disconnect()
{
    vHandle.reset(); // the handle's cleanup sends QUIT on the connection it holds
}

bool TFtpClient::perform(const QString &path, bool folder, TFtpTransfer &t)
{
    if (!vHandle) {
        vLastError = QStringLiteral("not connected");
        return false;
    }
    const net::TCurlLibrary *curl = net::CurlLibrary();
    CURL *h = vHandle->Easy.get();
    // A reset keeps the handle's connection: the next command goes over it without a new login.
    curl->EasyReset(h);
    const QByteArray url = addressOf(vSettings.Server, path, folder);
    const QByteArray user = vSettings.User.toUtf8();
    const QByteArray password = vSettings.Password.toUtf8();
    curl->EasySetopt(h, CURLOPT_URL, url.constData());
    curl->EasySetopt(h, CURLOPT_USERNAME, user.constData());
    curl->EasySetopt(h, CURLOPT_PASSWORD, password.constData());
    curl->EasySetopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    curl->EasySetopt(h, CURLOPT_NOSIGNAL, 1L);
    curl->EasySetopt(h, CURLOPT_CONNECTTIMEOUT, long(kConnectTimeoutSeconds));
    curl->EasySetopt(h, CURLOPT_FTP_RESPONSE_TIMEOUT, 60L);
    // Stall guard: a server that moves nothing for a minute is gone.
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
    curl->EasySetopt(h, CURLOPT_TRANSFERTEXT, 0L); // TYPE I
    curl->EasySetopt(h, CURLOPT_WRITEFUNCTION, receive);
    curl->EasySetopt(h, CURLOPT_WRITEDATA, &t);
    // Without a header function libcurl prints made-up header lines of NOBODY requests.
    curl->EasySetopt(h, CURLOPT_HEADERFUNCTION, discard);
    t.Cancel = vCancel;
    curl->EasySetopt(h, CURLOPT_NOPROGRESS, 0L);
    curl->EasySetopt(h, CURLOPT_XFERINFOFUNCTION, progress);
    curl->EasySetopt(h, CURLOPT_XFERINFODATA, &t);
    if (t.NoBody)
        curl->EasySetopt(h, CURLOPT_NOBODY, 1L);
    if (t.ListOnly)
        curl->EasySetopt(h, CURLOPT_DIRLISTONLY, 1L);
    if (t.Sink && !t.ListOnly)
        curl->EasySetopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMaxFtpDownload));
    if (t.Source) {
        curl->EasySetopt(h, CURLOPT_UPLOAD, 1L);
        curl->EasySetopt(h, CURLOPT_READFUNCTION, send);
        curl->EasySetopt(h, CURLOPT_READDATA, &t);
        curl->EasySetopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(t.Source->size()));
        if (t.Append)
            curl->EasySetopt(h, CURLOPT_APPEND, 1L);
    }
    if (t.CreateFolders)
        curl->EasySetopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR));
    net::CurlSlist postQuote;
    for (const QByteArray &command : std::as_const(t.PostQuote))
        net::AppendHeader(postQuote, command.constData());
    if (postQuote)
        curl->EasySetopt(h, CURLOPT_POSTQUOTE, postQuote.get());
    const CURLcode rc = curl->EasyPerform(h);
    // The list dies with this call: the handle must not keep a pointer to it.
    curl->EasySetopt(h, CURLOPT_POSTQUOTE, static_cast<curl_slist *>(nullptr));
    if (rc == CURLE_OK)
        return true;
    if (t.Cancelled)
        vLastError = QStringLiteral("cancelled");
    else if (t.TooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        vLastError = QStringLiteral("the file is too large");
    else
        vLastError = QString::fromUtf8(curl->EasyStrerror(rc));
    return false;
}

bool TFtpClient::List(const QString &folder, QStringList &names)
{
    names.clear();
    QByteArray listing;
    TFtpTransfer t;
    t.Sink = &listing;
    t.ListOnly = true;
    if (!perform(folder, true, t))
        return false;
    for (const QByteArray &line : listing.split('\n')) {
        QString name = QString::fromUtf8(line);
        if (name.endsWith(u'\r'))
            name.chop(1);
        if (IsPlainRemoteName(name))
            names << name;
    }
    return true;
}

bool TFtpClient::Download(const QString &path, QByteArray &data)
{
    data.clear();
    TFtpTransfer t;
    t.Sink = &data;
    if (perform(path, false, t))
        return true;
    data.clear();
    return false;
}

bool TFtpClient::Upload(const QString &path, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    TFtpTransfer t;
    t.Source = &buffer;
    return perform(path, false, t);
}

bool TFtpClient::UploadFile(const QString &path, const QString &localFile)
{
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        vLastError = file.errorString();
        return false;
    }
    TFtpTransfer t;
    t.Source = &file;
    return perform(path, false, t);
}

bool TFtpClient::UploadReplacing(const QString &path, const QByteArray &data)
{
    QString folder;
    QString name;
    splitPath(path, folder, name);
    if (!IsPlainRemoteName(name)) {
        vLastError = QStringLiteral("not a file name: ") + name;
        return false;
    }
    const QString temporary = name + QStringLiteral(".uploading");
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    TFtpTransfer t;
    t.Source = &buffer;
    // Sent in the file's folder once the whole text is stored, and only then.
    t.PostQuote << "RNFR " + temporary.toUtf8() << "RNTO " + name.toUtf8();
    return perform(folder + temporary, false, t);
}

bool TFtpClient::Append(const QString &path, const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    TFtpTransfer t;
    t.Source = &buffer;
    t.Append = true;
    return perform(path, false, t);
}

bool TFtpClient::MakeFolder(const QString &path)
{
    QString parent;
    QString name;
    QString trimmed = path;
    while (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    splitPath(trimmed, parent, name);
    if (!IsPlainRemoteName(name)) {
        vLastError = QStringLiteral("not a folder name: ") + name;
        return false;
    }
    // libcurl changes into each folder of the path and creates (MKD) the one it cannot enter.
    // A quoted MKD would run in whatever folder the reused connection was left in.
    TFtpTransfer make;
    make.NoBody = true;
    make.CreateFolders = true;
    return perform(trimmed, true, make);
}

int64_t TFtpClient::Size(const QString &path)
{
    TFtpTransfer t;
    t.NoBody = true;
    if (!perform(path, false, t))
        return -1;
    curl_off_t length = -1;
    if (net::CurlLibrary()->EasyGetinfo(vHandle->Easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                                        &length) != CURLE_OK)
        return -1;
    return length >= 0 ? int64_t(length) : -1;
}

} // namespace vorlane

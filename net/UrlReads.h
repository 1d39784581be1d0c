#pragma once
// The plain network reads every internet feature uses: the size of a remote file, its download
// into a local file, and a web page read into memory. HTTP(S) and FTP through libcurl; nothing is
// served from a cache, a connection that cannot be made gives up after kConnectTimeoutSeconds
// and a server that sends nothing for a minute is given up too. Cloud-storage addresses carry
// their Referer header (net/CloudLink.h) on size and download requests. Blocking; callable from
// any thread (each call uses its own connection). A set cancel flag ends a transfer within a
// second, whether or not bytes are flowing.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>

namespace vorlane {

inline constexpr int kConnectTimeoutSeconds = 10;
// Catalogue index and list downloads stop here: no list needs more, and a server that sends
// without end must not fill the disk.
inline constexpr int64_t kMaxListDownload = int64_t(32) << 20;
// Search result pages are read up to this size.
inline constexpr int64_t kMaxPageRead = int64_t(8) << 20;

// The remote size in bytes: the Content-Length of an HTTP answer, the SIZE of an FTP file.
// 0 when the address cannot be reached, answers with an error status, gives no length, or the
// read was cancelled. Sent with the agent name "GetUrlSize"; redirects are followed.
int64_t GetUrlSize(const QString &url, const std::atomic<bool> *cancel = nullptr);

// How a download ended.
enum class TReadResult {
    Done,        // the whole resource is in the file
    Unreachable, // no answer, an error status, or a redirect not followed: nothing was received
    Broken,      // the transfer broke off after it had begun
    TooLarge,    // longer than the limit (announced or received)
    WriteFailed, // the local file could not be made or written
    Cancelled,
};

// What a caller may hand a download: a stop flag, a size limit and counters for progress.
struct TTransferControl {
    const std::atomic<bool> *Cancel = nullptr;
    int64_t MaxBytes = 0;                     // 0: no limit
    std::atomic<int64_t> *Received = nullptr; // bytes so far, updated as they arrive
    std::atomic<int64_t> *Expected = nullptr; // the announced length once known, else -1
};

// Stores the resource at url in fileName, sent with the given agent name; redirects are
// followed. The file is replaced only by a complete download, in one rename: whatever else
// happens, fileName is left as it was.
TReadResult DownloadUrl(const QString &url, const QString &fileName, const QString &agent,
                        const TTransferControl &control = {});
// DownloadUrl(...) == Done.
bool DownloadUrlToFile(const QString &url, const QString &fileName, const QString &agent,
                       const std::atomic<bool> *cancel = nullptr);

// The address as sent: every character but the unreserved ones and the separators of an address
// (":/?@!$&'()*+,;=[]") is percent-encoded from its UTF-8 bytes, "%" and "#" included (a query
// typed by a user is text, not an escape or a fragment).
QByteArray PercentEncodeAddress(const QString &address);

// A web page request of the internet search.
struct TPageRequest {
    QString Address;              // percent-encoded whole before it is sent
    bool FollowRedirects = false; // a redirect not followed fails the request
    int64_t MaxBytes = kMaxPageRead;
    const std::atomic<bool> *Cancel = nullptr;
};

// GETs a page with the headers "Accept-Charset: utf-8" and "Content-Type:
// application/x-www-form-urlencoded". True with the body when the answer is a success (2xx);
// false on any error: no connection, a time-out, another status, a redirect not followed, a
// body over the limit, a cancel.
bool ReadPage(const TPageRequest &request, QByteArray &body);

} // namespace vorlane

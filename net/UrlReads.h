#pragma once
// The two plain network reads every internet feature uses: the size of a remote file and its
// download into a local file. HTTP(S) and FTP through libcurl; redirects are followed, nothing is
// served from a cache, a connection that cannot be made gives up after kConnectTimeoutSeconds.
// Cloud-storage addresses carry their Referer header (net/CloudLink.h). Blocking; callable from
// any thread (each call uses its own connection).

#include <QString>

#include <atomic>
#include <cstdint>

namespace vorlane {

inline constexpr int kConnectTimeoutSeconds = 10;

// The remote size in bytes: the Content-Length of an HTTP answer, the SIZE of an FTP file.
// 0 when the address cannot be reached, answers with an error status, or gives no length.
// Sent with the agent name "GetUrlSize".
int64_t GetUrlSize(const QString &url);

// Stores the resource at url in fileName, sent with the given agent name. True on success.
// The file is replaced only by a complete download: when the address cannot be opened, answers
// with an error status, the transfer breaks off or the file cannot be written, the result is
// false and fileName is left as it was. Setting *cancel stops the transfer (result false).
bool DownloadUrlToFile(const QString &url, const QString &fileName, const QString &agent,
                       const std::atomic<bool> *cancel = nullptr);

} // namespace vorlane

#include "net/UrlReads.h"

#include "net/CloudLink.h"
#include "net/CurlHandle.h"

#include "base/FileReplacement.h"

namespace vorlane {

namespace {

// Options shared by both reads; the headers must outlive the transfer.
void prepare(CURL *h, const QByteArray &url, const QByteArray &agent, net::CurlSlist &headers)
{
    const net::TCurlLibrary *curl = net::CurlLibrary();
    curl->EasySetopt(h, CURLOPT_URL, url.constData());
    curl->EasySetopt(h, CURLOPT_USERAGENT, agent.constData());
    curl->EasySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl->EasySetopt(h, CURLOPT_MAXREDIRS, 10L);
    curl->EasySetopt(h, CURLOPT_CONNECTTIMEOUT, long(kConnectTimeoutSeconds));
    curl->EasySetopt(h, CURLOPT_NOSIGNAL, 1L);
    curl->EasySetopt(h, CURLOPT_FAILONERROR, 1L); // an error status is a failed read
    // Stall guard: a server that sends nothing for a minute is gone.
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
    // Never an answer from a cache on the way.
    net::AppendHeader(headers, "Cache-Control: no-cache");
    net::AppendHeader(headers, "Pragma: no-cache");
    const QString referer = CloudRefererLine(QString::fromUtf8(url));
    if (!referer.isEmpty())
        net::AppendHeader(headers, referer.toUtf8().constData());
    curl->EasySetopt(h, CURLOPT_HTTPHEADER, headers.get());
}

size_t discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

struct DownloadSink {
    QFile *file;
    const std::atomic<bool> *cancel;
    bool writeFailed = false;
};

size_t writeToFile(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<DownloadSink *>(user);
    const size_t bytes = size * count;
    if (sink->cancel && sink->cancel->load(std::memory_order_relaxed))
        return 0; // makes curl stop with a write error
    if (sink->file->write(data, qint64(bytes)) != qint64(bytes)) {
        sink->writeFailed = true;
        return 0;
    }
    return bytes;
}

} // namespace

int64_t GetUrlSize(const QString &url)
{
    net::CurlEasy h = net::NewCurlEasy();
    if (!h || url.isEmpty())
        return 0;
    const net::TCurlLibrary *curl = net::CurlLibrary();
    net::CurlSlist headers;
    const QByteArray u = url.toUtf8();
    prepare(h.get(), u, QByteArrayLiteral("GetUrlSize"), headers);
    curl->EasySetopt(h.get(), CURLOPT_NOBODY, 1L);
    curl->EasySetopt(h.get(), CURLOPT_WRITEFUNCTION, discard);
    curl->EasySetopt(h.get(), CURLOPT_HEADERFUNCTION, discard);
    curl->EasySetopt(h.get(), CURLOPT_TIMEOUT, 60L);
    if (curl->EasyPerform(h.get()) != CURLE_OK)
        return 0;
    curl_off_t length = -1;
    if (curl->EasyGetinfo(h.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
        return 0;
    return length > 0 ? int64_t(length) : 0;
}

bool DownloadUrlToFile(const QString &url, const QString &fileName, const QString &agent,
                       const std::atomic<bool> *cancel)
{
    net::CurlEasy h = net::NewCurlEasy();
    if (!h || url.isEmpty() || fileName.isEmpty())
        return false;
    const net::TCurlLibrary *curl = net::CurlLibrary();
    TFileReplacement file(fileName);
    if (!file.Open())
        return false;
    net::CurlSlist headers;
    const QByteArray u = url.toUtf8();
    const QByteArray a = agent.toUtf8();
    prepare(h.get(), u, a, headers);
    DownloadSink sink{&file.Device(), cancel};
    curl->EasySetopt(h.get(), CURLOPT_WRITEFUNCTION, writeToFile);
    curl->EasySetopt(h.get(), CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl->EasyPerform(h.get());
    if (rc != CURLE_OK || sink.writeFailed)
        return false;
    return file.Commit();
}

} // namespace vorlane

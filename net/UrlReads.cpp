#include "net/UrlReads.h"

#include "net/CloudLink.h"
#include "net/CurlHandle.h"

#include "base/FileReplacement.h"

#include <cstring>

namespace vorlane {

namespace {

// Options every read shares.
void prepareCommon(CURL *h, const QByteArray &url, const QByteArray &agent)
{
    const net::TCurlLibrary *curl = net::CurlLibrary();
    curl->EasySetopt(h, CURLOPT_URL, url.constData());
    curl->EasySetopt(h, CURLOPT_USERAGENT, agent.constData());
    curl->EasySetopt(h, CURLOPT_CONNECTTIMEOUT, long(kConnectTimeoutSeconds));
    curl->EasySetopt(h, CURLOPT_NOSIGNAL, 1L);
    curl->EasySetopt(h, CURLOPT_FAILONERROR, 1L); // an error status is a failed read
    // Stall guard: a server that sends nothing for a minute is gone.
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl->EasySetopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
}

// Options of the size and download reads; the headers must outlive the transfer.
void prepareFileRead(CURL *h, const QByteArray &url, const QByteArray &agent,
                     net::CurlSlist &headers)
{
    const net::TCurlLibrary *curl = net::CurlLibrary();
    prepareCommon(h, url, agent);
    curl->EasySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl->EasySetopt(h, CURLOPT_MAXREDIRS, 10L);
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

// What the transfer callbacks share with the caller.
struct Sink {
    QIODevice *file = nullptr;    // the download target, or
    QByteArray *memory = nullptr; // the page being read
    const std::atomic<bool> *cancel = nullptr;
    int64_t maxBytes = 0;
    std::atomic<int64_t> *received = nullptr;
    std::atomic<int64_t> *expected = nullptr;
    int64_t count = 0;
    bool writeFailed = false;
    bool tooLarge = false;
    bool cancelled = false;
};

bool cancelled(Sink *sink)
{
    if (sink->cancel && sink->cancel->load(std::memory_order_relaxed))
        sink->cancelled = true;
    return sink->cancelled;
}

size_t take(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const size_t bytes = size * count;
    if (cancelled(sink))
        return 0; // makes curl stop with a write error
    // Subtract, so that a hostile length cannot overflow the sum.
    if (sink->maxBytes > 0 && int64_t(bytes) > sink->maxBytes - sink->count) {
        sink->tooLarge = true;
        return 0;
    }
    if (sink->file) {
        if (sink->file->write(data, qint64(bytes)) != qint64(bytes)) {
            sink->writeFailed = true;
            return 0;
        }
    } else {
        sink->memory->append(data, qsizetype(bytes));
    }
    sink->count += int64_t(bytes);
    if (sink->received)
        sink->received->store(sink->count, std::memory_order_relaxed);
    return bytes;
}

// Called about once a second even while nothing arrives: the cancel flag is seen on a stall too.
int progress(void *user, curl_off_t dltotal, curl_off_t, curl_off_t, curl_off_t)
{
    auto *sink = static_cast<Sink *>(user);
    if (sink->expected && dltotal > 0)
        sink->expected->store(int64_t(dltotal), std::memory_order_relaxed);
    return cancelled(sink) ? 1 : 0;
}

void watch(CURL *h, Sink &sink)
{
    const net::TCurlLibrary *curl = net::CurlLibrary();
    curl->EasySetopt(h, CURLOPT_NOPROGRESS, 0L);
    curl->EasySetopt(h, CURLOPT_XFERINFOFUNCTION, progress);
    curl->EasySetopt(h, CURLOPT_XFERINFODATA, &sink);
    if (sink.maxBytes > 0)
        curl->EasySetopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(sink.maxBytes));
}

bool unreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("-._~:/?@!$&'()*+,;=[]", c) != nullptr;
}

} // namespace

int64_t GetUrlSize(const QString &url, const std::atomic<bool> *cancel)
{
    net::CurlEasy h = net::NewCurlEasy();
    if (!h || url.isEmpty())
        return 0;
    const net::TCurlLibrary *curl = net::CurlLibrary();
    net::CurlSlist headers;
    const QByteArray u = url.toUtf8();
    prepareFileRead(h.get(), u, QByteArrayLiteral("GetUrlSize"), headers);
    Sink sink;
    sink.cancel = cancel;
    watch(h.get(), sink);
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

TReadResult DownloadUrl(const QString &url, const QString &fileName, const QString &agent,
                        const TTransferControl &control)
{
    net::CurlEasy h = net::NewCurlEasy();
    if (!h || url.isEmpty())
        return TReadResult::Unreachable;
    if (fileName.isEmpty())
        return TReadResult::WriteFailed;
    const net::TCurlLibrary *curl = net::CurlLibrary();
    TFileReplacement file(fileName);
    if (!file.Open())
        return TReadResult::WriteFailed;
    net::CurlSlist headers;
    const QByteArray u = url.toUtf8();
    const QByteArray a = agent.toUtf8();
    prepareFileRead(h.get(), u, a, headers);
    Sink sink;
    sink.file = &file.Device();
    sink.cancel = control.Cancel;
    sink.maxBytes = control.MaxBytes;
    sink.received = control.Received;
    sink.expected = control.Expected;
    if (sink.received)
        sink.received->store(0);
    if (sink.expected)
        sink.expected->store(-1);
    watch(h.get(), sink);
    curl->EasySetopt(h.get(), CURLOPT_WRITEFUNCTION, take);
    curl->EasySetopt(h.get(), CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl->EasyPerform(h.get());
    if (sink.cancelled)
        return TReadResult::Cancelled;
    if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return TReadResult::TooLarge;
    if (sink.writeFailed)
        return TReadResult::WriteFailed;
    if (rc != CURLE_OK)
        return sink.count == 0 ? TReadResult::Unreachable : TReadResult::Broken;
    return file.Commit() ? TReadResult::Done : TReadResult::WriteFailed;
}

bool DownloadUrlToFile(const QString &url, const QString &fileName, const QString &agent,
                       const std::atomic<bool> *cancel)
{
    TTransferControl control;
    control.Cancel = cancel;
    return DownloadUrl(url, fileName, agent, control) == TReadResult::Done;
}

QByteArray PercentEncodeAddress(const QString &address)
{
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = address.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool ReadPage(const TPageRequest &request, QByteArray &body)
{
    body.clear();
    net::CurlEasy h = net::NewCurlEasy();
    if (!h || request.Address.isEmpty())
        return false;
    const net::TCurlLibrary *curl = net::CurlLibrary();
    const QByteArray u = PercentEncodeAddress(request.Address);
    prepareCommon(h.get(), u, QByteArrayLiteral("VL4"));
    curl->EasySetopt(h.get(), CURLOPT_FOLLOWLOCATION, request.FollowRedirects ? 1L : 0L);
    curl->EasySetopt(h.get(), CURLOPT_MAXREDIRS, 10L);
    curl->EasySetopt(h.get(), CURLOPT_TIMEOUT, 120L);
    net::CurlSlist headers;
    net::AppendHeader(headers, "Accept-Charset: utf-8");
    net::AppendHeader(headers, "Content-Type: application/x-www-form-urlencoded");
    curl->EasySetopt(h.get(), CURLOPT_HTTPHEADER, headers.get());
    Sink sink;
    sink.memory = &body;
    sink.cancel = request.Cancel;
    sink.maxBytes = request.MaxBytes;
    watch(h.get(), sink);
    curl->EasySetopt(h.get(), CURLOPT_WRITEFUNCTION, take);
    curl->EasySetopt(h.get(), CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl->EasyPerform(h.get());
    long status = 0;
    curl->EasyGetinfo(h.get(), CURLINFO_RESPONSE_CODE, &status);
    // A redirect that is not followed arrives as a finished answer with a 3xx status.
    if (rc != CURLE_OK || sink.cancelled || sink.tooLarge || status < 200 || status > 299) {
        body.clear();
        return false;
    }
    return true;
}

} // namespace vorlane

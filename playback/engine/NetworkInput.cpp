#include "playback/engine/NetworkInput.h"
#include "net/CurlHandle.h"

#include <QList>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
}

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace vorlane::engine {

namespace {

// A live stream keeps this much behind the reader; older bytes are dropped.
constexpr qint64 kLiveWindow = 4 * 1024 * 1024;
// How long the server may send nothing before the download gives up (seconds).
constexpr long kStallSeconds = 10;

} // namespace

QString NetworkInput::UrlOf(const QString &address)
{
    const qsizetype end = address.indexOf(u'\r');
    return (end < 0 ? address : address.left(end)).trimmed();
}

NetworkInput::NetworkInput(const QString &address, DownloadCallback callback)
    : callback_(std::move(callback))
{
    const QStringList lines = address.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QByteArray url = lines.isEmpty() ? QByteArray() : lines.first().trimmed().toUtf8();
    QList<QByteArray> headers;
    for (qsizetype i = 1; i < lines.size(); ++i)
        headers.append(lines[i].toUtf8());
    thread_ = std::thread(&NetworkInput::Run, this, std::move(url), std::move(headers));
}

NetworkInput::~NetworkInput()
{
    Abort();
    if (thread_.joinable())
        thread_.join();
}

QString NetworkInput::Error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

void NetworkInput::Abort()
{
    abort_ = true;
    std::lock_guard lock(mutex_);
    cv_.notify_all();
}

void NetworkInput::Interrupt()
{
    interrupt_ = true;
    std::lock_guard lock(mutex_);
    cv_.notify_all();
}

QByteArray NetworkInput::WaitAll(int timeoutMs, qint64 limit)
{
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                 [&] { return finished_ || abort_ || data_.size() >= limit; });
    return data_.left(limit);
}

QString FirstPlaylistEntry(const QString &address, int timeoutMs)
{
    // A playlist is a short text; anything longer is not read to its end.
    constexpr qint64 kLimit = 64 * 1024;
    NetworkInput input(address, {});
    const QByteArray text = input.WaitAll(timeoutMs, kLimit);
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1String("http://")) ||
            line.startsWith(QLatin1String("https://")) || line.startsWith(QLatin1String("ftp://")))
            return line;
    }
    return {};
}

bool NetworkInput::Seekable()
{
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return headersSeen_ || finished_ || abort_; });
    return total_.load() > 0;
}

void NetworkInput::Run(QByteArray url, QList<QByteArray> headers)
{
    const net::TCurlLibrary *lib = net::CurlLibrary();
    net::CurlEasy curl = net::NewCurlEasy();
    net::CurlSlist list;
    char errbuf[CURL_ERROR_SIZE] = {};
    CURLcode rc = CURLE_FAILED_INIT;
    if (curl) {
        for (const QByteArray &h : headers)
            net::AppendHeader(list, h.constData());
        CURL *c = curl.get();
        curl_ = c;
        const auto setopt = lib->EasySetopt;
        setopt(c, CURLOPT_URL, url.constData());
        setopt(c, CURLOPT_HTTPHEADER, list.get());
        setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        setopt(c, CURLOPT_NOSIGNAL, 1L);
        setopt(c, CURLOPT_FAILONERROR, 1L);
        setopt(c, CURLOPT_CONNECTTIMEOUT, kStallSeconds);
        setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        setopt(c, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
        setopt(c, CURLOPT_USERAGENT, "Vorlane");
        setopt(c, CURLOPT_WRITEFUNCTION, &NetworkInput::OnWrite);
        setopt(c, CURLOPT_WRITEDATA, this);
        setopt(c, CURLOPT_NOPROGRESS, 0L);
        setopt(c, CURLOPT_XFERINFOFUNCTION, &NetworkInput::OnProgress);
        setopt(c, CURLOPT_XFERINFODATA, this);
        setopt(c, CURLOPT_ERRORBUFFER, errbuf);
        rc = lib->EasyPerform(c);
    }
    {
        std::lock_guard lock(mutex_);
        if (rc != CURLE_OK) {
            error_ = errbuf[0] ? QString::fromUtf8(errbuf)
                     : lib     ? QString::fromUtf8(lib->EasyStrerror(rc))
                               : QStringLiteral("libcurl cannot be loaded");
            failed_ = true;
        }
        headersSeen_ = true;
        finished_ = true;
        cv_.notify_all();
    }
    if (callback_)
        callback_(nullptr, rc == CURLE_OK ? 0 : -1);
}

size_t NetworkInput::OnWrite(char *data, size_t size, size_t count, void *p)
{
    auto *self = static_cast<NetworkInput *>(p);
    if (self->abort_)
        return 0; // stops the transfer
    const size_t n = size * count;
    {
        std::lock_guard lock(self->mutex_);
        if (!self->headersSeen_) {
            curl_off_t len = -1;
            if (net::CurlLibrary()->EasyGetinfo(self->curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                                                &len) == CURLE_OK &&
                len > 0)
                self->total_ = len;
            self->headersSeen_ = true;
        }
        self->data_.append(data, static_cast<qsizetype>(n));
        // A live stream keeps a bounded window behind the reader.
        if (self->total_ <= 0 && self->data_.size() > 2 * kLiveWindow) {
            const qint64 keepFrom = std::max(self->base_, self->readPos_ - kLiveWindow);
            const qint64 drop =
                std::min<qint64>(keepFrom - self->base_, self->data_.size() - kLiveWindow);
            if (drop > 0) {
                self->data_.remove(0, drop);
                self->base_ += drop;
            }
        }
        self->downloaded_ += static_cast<qint64>(n);
        self->cv_.notify_all();
    }
    if (self->callback_)
        self->callback_(data, static_cast<qint64>(n));
    return n;
}

int NetworkInput::OnProgress(void *p, int64_t dltotal, int64_t, int64_t, int64_t)
{
    auto *self = static_cast<NetworkInput *>(p);
    if (dltotal > 0 && self->total_ <= 0)
        self->total_ = dltotal;
    return self->abort_ ? 1 : 0;
}

int NetworkInput::Read(uint8_t *buf, int size)
{
    std::unique_lock lock(mutex_);
    if (readPos_ < base_)
        readPos_ = base_; // a live stream paused too long: go on from the oldest byte kept
    cv_.wait(lock,
             [&] { return abort_ || interrupt_ || finished_ || base_ + data_.size() > readPos_; });
    if (interrupt_.exchange(false) && base_ + data_.size() <= readPos_)
        return AVERROR_EXIT;
    const qint64 avail = base_ + data_.size() - readPos_;
    if (abort_ || avail <= 0) {
        if (failed_ && !abort_)
            return AVERROR(EIO);
        return AVERROR_EOF;
    }
    const int n = static_cast<int>(std::min<qint64>(avail, size));
    std::memcpy(buf, data_.constData() + (readPos_ - base_), static_cast<size_t>(n));
    readPos_ += n;
    return n;
}

int64_t NetworkInput::Seek(int64_t offset, int whence)
{
    const qint64 total = total_.load();
    if (whence & AVSEEK_SIZE)
        return total > 0 ? total : -1;
    whence &= ~AVSEEK_FORCE;
    std::lock_guard lock(mutex_);
    qint64 target = offset;
    if (whence == SEEK_CUR)
        target = readPos_ + offset;
    else if (whence == SEEK_END) {
        if (total <= 0)
            return -1;
        target = total + offset;
    } else if (whence != SEEK_SET)
        return -1;
    if (target < base_ || (total > 0 && target > total) || (total <= 0 && target != readPos_))
        return -1;
    if (opening_ && target > base_ + data_.size() && !finished_)
        return -1;
    readPos_ = target;
    return target;
}

} // namespace vorlane::engine

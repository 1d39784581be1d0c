#pragma once
// The bytes of a network source: libcurl downloads them on the download thread into memory while
// the decoder reads from the same data through an AVIOContext.
//
// Every received block, and then the end (data == nullptr), goes to the download callback on the
// download thread. A source of known size keeps all its bytes, so it can seek back; a source of
// unknown size (a live stream) keeps a bounded window and cannot seek. Reads wait for bytes not
// downloaded yet; a seek past the downloaded part fails while the source is being opened (the
// demuxer's look for a trailing tag must not stall the open) and otherwise waits at the next read.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vorlane::engine {

// Called on the download thread with each block; at the end once with data == nullptr and
// size 0 when everything arrived, -1 when the download failed or was stopped.
using DownloadCallback = std::function<void(const char *data, qint64 size)>;

class NetworkInput {
public:
    // `address` is the URL, optionally followed by CR LF and request-header lines ending in CR LF.
    NetworkInput(const QString &address, DownloadCallback callback);
    ~NetworkInput();
    NetworkInput(const NetworkInput &) = delete;
    NetworkInput &operator=(const NetworkInput &) = delete;

    static QString UrlOf(const QString &address);

    // Waits until the download ends (or `timeoutMs` passes) and returns its first `limit` bytes.
    QByteArray WaitAll(int timeoutMs, qint64 limit);

    // Total size in bytes, -1 while unknown or for a source without a length.
    qint64 Total() const { return total_.load(); }
    qint64 Downloaded() const { return downloaded_.load(); }
    // The download has ended (completely or not).
    bool Finished() const { return finished_.load(); }
    // The download ended with an error (curl's message in Error()).
    bool Failed() const { return failed_.load(); }
    QString Error() const;
    // Known size: seekable. Waits until the size is known or the download ends.
    bool Seekable();

    void SetOpening(bool opening) { opening_ = opening; }
    // Wakes every waiting read (which then returns end of data) and stops the download.
    void Abort();
    // Makes a read that is waiting give up once (used when playback stops).
    void Interrupt();

    // AVIOContext callbacks.
    int Read(uint8_t *buf, int size);
    int64_t Seek(int64_t offset, int whence);

private:
    void Run(QByteArray url, QList<QByteArray> headers);
    static size_t OnWrite(char *data, size_t size, size_t count, void *self);
    static int OnProgress(void *self, int64_t, int64_t, int64_t, int64_t);

    DownloadCallback callback_;
    mutable std::mutex mutex_; // guards data_, base_, readPos_, error_, headersSeen_
    std::condition_variable cv_;
    QByteArray data_; // bytes [base_, base_ + data_.size()) of the source
    qint64 base_ = 0;
    qint64 readPos_ = 0;
    bool headersSeen_ = false;
    QString error_;
    std::atomic<qint64> total_{-1};
    std::atomic<qint64> downloaded_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> failed_{false};
    std::atomic<bool> abort_{false};
    std::atomic<bool> interrupt_{false};
    std::atomic<bool> opening_{true};
    void *curl_ = nullptr; // the download thread's handle, for reading the announced size
    std::thread thread_;
};

// The first http, https or ftp address listed by an M3U playlist at `address` (its extra header
// lines go with the request); empty when the playlist cannot be read or lists none.
QString FirstPlaylistEntry(const QString &address, int timeoutMs = 10000);

} // namespace vorlane::engine

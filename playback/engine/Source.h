#pragma once
// A decode-only source: a local file or a network address decoded by FFmpeg into interleaved
// float frames at the source's own rate and channel count, with the effect chain applied.
//
// Positions and lengths are byte counts of the decoded audio as interleaved signed 16-bit PCM
// (frames × channels × 2). Seeks are sample-exact (the decoder goes back a little and discards
// forward to the target), except for WMA, whose timestamps are only accurate to ~90 ms.
//
// Threads: Read, SetPosition and the getters are called from one thread at a time (the owner
// serialises them); Effects() may be used from any thread; the download callback runs on the
// download thread.

#include "playback/engine/Effects.h"
#include "playback/engine/NetworkInput.h"

#include <QString>

#include <memory>

namespace vorlane::engine {

class Source {
public:
    ~Source();
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;

    // Opens a local file. Null (and a one-line reason in *error) when no audio could be decoded.
    static std::unique_ptr<Source> OpenFile(const QString &path, QString *error = nullptr);
    // Opens an http, https or ftp address (request-header lines may follow it, each after CR LF).
    // The download runs on its own thread; `callback` gets every block and the end. Blocks until
    // enough has arrived to know the format.
    static std::unique_ptr<Source> OpenUrl(const QString &address, DownloadCallback callback,
                                           QString *error = nullptr);

    int Rate() const;
    int Channels() const;
    // Decoded length in bytes; 0 for a live stream. Becomes exact once the end has been decoded.
    qint64 Length() const;
    // Bytes delivered by Read since the start (or the last seek target).
    qint64 Position() const;
    // Exact seeks land on the very sample (playback). Coarse seeks are for measuring: they decode
    // only a short run-in before the target and accept a demuxer that lands after it; a target
    // a little ahead of the position is reached by decoding forward without a seek.
    enum class Seek { Exact, Coarse };
    // Seeks to a byte position (rounded down to a whole frame). False when the source cannot
    // seek (a live stream) or the position lies beyond the end.
    bool SetPosition(qint64 bytes, Seek mode = Seek::Exact);
    // Decodes up to `frames` frames into `out` (interleaved floats). 0 at the end.
    int Read(float *out, int frames);
    bool AtEnd() const;

    double BytesToSeconds(qint64 bytes) const;
    qint64 SecondsToBytes(double seconds) const;
    qint64 BytesPerFrame() const { return static_cast<qint64>(Channels()) * 2; }

    // Size of the encoded source in bytes (a network source's announced size, 0 when unknown).
    qint64 SourceSize() const;
    // Bytes downloaded so far; for a local file its size.
    qint64 Downloaded() const;
    bool IsNetwork() const;
    // Nominal bit rate of the encoded stream in kbit/s, 0 when unknown.
    int NominalBitRate() const;
    QString CodecName() const;

    EffectChain &Effects();

    // Makes a read that waits for network data give up (playback is stopping).
    void Interrupt();

    struct Impl;

private:
    explicit Source(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace vorlane::engine

#pragma once
// A playable stream: a decode source followed by the tempo stage, with volume, output and the
// analysis of what is playing (levels, spectrum, wave data).
//
// Threads. The owner (the player, on the main thread) calls every public member. With a device
// output, a producer thread per playing stream reads the source and the tempo stage into a short
// queue (about 0.25 s), and SDL's audio thread pulls from that queue; a network source's
// download runs on its own thread inside the source. With the null output there are no threads:
// Pull() produces on the caller's thread.
//
// States follow the usual player: Stopped (never started, stopped, or played to the end),
// Playing, Paused.

#include "playback/engine/Output.h"
#include "playback/engine/Source.h"
#include "playback/engine/Tempo.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vorlane::engine {

enum class StreamState { Stopped = 0, Playing = 1, Paused = 3 };

class Stream {
public:
    static constexpr int kFftBins = 1024;
    static constexpr int kWaveBytes = 2048;

    Stream(std::unique_ptr<Source> source, OutputKind output);
    ~Stream();
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;

    Source &GetSource() { return *source_; }

    // Starts or resumes (restart false: playing goes on from the current position). False when
    // no output could be opened or the stream has already played to its end.
    bool Play();
    // Pauses a playing stream; a paused one stays paused.
    void Pause();
    // Stops output and the producer; the position stays where the sound was.
    void Stop();
    StreamState State() const { return state_.load(); }
    // True once the last sample of the source has been pulled.
    bool Ended() const { return ended_.load(); }

    qint64 Length() const { return source_->Length(); }
    // Byte position (source bytes) of the sound being pulled now.
    qint64 Position() const;
    // Seeks the source; queued sound is dropped. False when the source cannot seek there.
    bool SetPosition(qint64 bytes);
    double BytesToSeconds(qint64 bytes) const { return source_->BytesToSeconds(bytes); }

    // Volume: 0 silent, 1 unchanged, above 1 louder. A slide moves linearly over `ms`.
    void SetVolume(float volume);
    void SlideVolume(float target, int ms);
    float Volume() const;
    bool VolumeSliding() const;

    // Tempo change in percent (−50…+100), pitch kept.
    void SetTempo(double percent);
    double Tempo() const { return tempo_.Percent(); }
    double RateRatio() const { return tempo_.Ratio(); }

    // Peak of the last 20 ms per channel, 0..32768: left in the low word, right in the high word
    // (a mono stream reports the same value twice).
    uint32_t Level() const;
    // 1024 magnitudes of a 2048-point FFT (Hann window) of the last sound; a full-scale sine
    // peaks near 1.0. False while nothing plays.
    bool Spectrum(float *bins) const;
    // The last 2048 bytes of sound as interleaved signed 16-bit samples.
    bool Wave(char *bytes) const;

    // Fills `frames` interleaved frames with what plays next (silence when nothing does).
    // Device output: SDL's thread calls it. Null output: the stream's holder calls it.
    // Returns how many frames carry sound (the rest is silence).
    int Pull(float *out, int frames);
    int Channels() const { return channels_; }
    int Rate() const { return rate_; }

private:
    struct Block {
        std::vector<float> samples;
        size_t offset = 0;    // frames already pulled
        int64_t srcStart = 0; // source frames this block came from
        int64_t srcEnd = 0;
    };

    // Reads one piece of the source through the tempo stage into the queue; false at the end.
    bool Produce();
    void ProducerLoop();
    void StopProducer();
    void Remember(const float *s, int frames);

    std::unique_ptr<Source> source_;
    const OutputKind outputKind_;
    const int rate_;
    const int channels_;
    engine::Tempo tempo_;

    std::mutex sourceMutex_; // guards source_ reads and seeks, tempo_ processing, the buffers
    std::atomic<bool> producerEnd_{false};
    std::vector<float> readBuf_, tempoBuf_;

    mutable std::mutex queueMutex_; // guards queue_, queuedFrames_, heardFrame_
    std::condition_variable queueCv_;
    std::deque<Block> queue_;
    int64_t queuedFrames_ = 0;
    int64_t heardFrame_ = 0;

    mutable std::mutex volumeMutex_; // guards the five volume fields
    double volume_ = 1.0, slideFrom_ = 1.0, slideTo_ = 1.0;
    int64_t slideDone_ = 0, slideFrames_ = 0;

    mutable std::mutex historyMutex_; // guards history_, historyPos_, historyFilled_
    std::vector<float> history_;      // the last kHistory frames pulled, as a ring
    size_t historyPos_ = 0;
    size_t historyFilled_ = 0;

    std::atomic<StreamState> state_{StreamState::Stopped};
    std::atomic<bool> ended_{false};
    std::atomic<bool> stopProducer_{false};
    std::thread producer_;
    std::unique_ptr<DeviceOutput> device_;
};

} // namespace vorlane::engine

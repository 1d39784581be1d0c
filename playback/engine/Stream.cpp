#include "playback/engine/Stream.h"

#include "playback/engine/FFmpeg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vorlane::engine {

namespace {

// Frames read from the source per step: small enough for prompt effect changes.
constexpr int kChunk = 1024;
// The producer keeps about this much sound queued ahead of the output.
constexpr double kQueueSeconds = 0.25;
constexpr size_t kHistoryFrames = 2048;
constexpr int kFftSize = 2048;

} // namespace

Stream::Stream(std::unique_ptr<Source> source, OutputKind output)
    : source_(std::move(source))
    , outputKind_(output)
    , rate_(source_->Rate())
    , channels_(source_->Channels())
    , tempo_(rate_, channels_)
    , history_(kHistoryFrames * static_cast<size_t>(channels_), 0.0f)
{
    heardFrame_ = source_->Position() / source_->BytesPerFrame();
}

Stream::~Stream()
{
    Stop();
}

bool Stream::Play()
{
    if (ended_)
        return false;
    if (state_ == StreamState::Playing)
        return true;
    if (outputKind_ == OutputKind::Device) {
        // SDL devices carry at most 8 channels; the stream's frames must match the device's.
        if (channels_ > 8)
            return false;
        if (!device_) {
            device_ = DeviceOutput::Open(rate_, channels_, [this](float *o, int n) { Pull(o, n); });
            if (!device_)
                return false;
        }
        if (!producer_.joinable()) {
            stopProducer_ = false;
            producer_ = std::thread(&Stream::ProducerLoop, this);
        }
        state_ = StreamState::Playing;
        device_->SetPaused(false);
        return true;
    }
    state_ = StreamState::Playing;
    return true;
}

void Stream::Pause()
{
    if (state_ != StreamState::Playing)
        return;
    state_ = StreamState::Paused;
    if (device_)
        device_->SetPaused(true);
}

void Stream::Stop()
{
    state_ = StreamState::Stopped;
    device_.reset(); // waits for a running callback
    StopProducer();
}

void Stream::StopProducer()
{
    if (!producer_.joinable())
        return;
    stopProducer_ = true;
    source_->Interrupt();
    {
        std::lock_guard lock(queueMutex_);
        queueCv_.notify_all();
    }
    producer_.join();
}

bool Stream::Produce()
{
    std::lock_guard lock(sourceMutex_);
    if (producerEnd_)
        return false;
    readBuf_.resize(static_cast<size_t>(kChunk) * channels_);
    const int64_t start = source_->Position() / source_->BytesPerFrame();
    const int got = source_->Read(readBuf_.data(), kChunk);
    const int64_t end = source_->Position() / source_->BytesPerFrame();
    tempoBuf_.clear();
    if (got > 0)
        tempo_.Process(readBuf_.data(), got, tempoBuf_);
    if (got == 0) {
        if (!source_->AtEnd())
            return false; // interrupted: nothing to add now
        tempo_.Flush(tempoBuf_);
        producerEnd_ = true;
    }
    std::lock_guard qlock(queueMutex_);
    if (!tempoBuf_.empty()) {
        Block b;
        b.samples = std::move(tempoBuf_); // the next Produce starts a new one
        tempoBuf_.clear();
        b.srcStart = start;
        b.srcEnd = end;
        queuedFrames_ += static_cast<int64_t>(b.samples.size() / channels_);
        queue_.push_back(std::move(b));
    } else if (producerEnd_ && queue_.empty()) {
        heardFrame_ = end;
    }
    return !producerEnd_;
}

void Stream::ProducerLoop()
{
    const int64_t maxQueued = static_cast<int64_t>(rate_ * kQueueSeconds);
    while (!stopProducer_) {
        {
            std::unique_lock lock(queueMutex_);
            queueCv_.wait(lock, [&] {
                return stopProducer_ || (queuedFrames_ < maxQueued && !producerEnd_);
            });
        }
        if (stopProducer_)
            break;
        Produce();
    }
}

int Stream::Pull(float *out, int frames)
{
    int done = 0;
    if (state_ == StreamState::Playing) {
        while (done < frames) {
            std::unique_lock lock(queueMutex_);
            if (queue_.empty()) {
                lock.unlock();
                if (outputKind_ == OutputKind::Null && !producerEnd_) {
                    const bool more = Produce();
                    std::lock_guard check(queueMutex_);
                    if (more || !queue_.empty())
                        continue;
                }
                break;
            }
            Block &b = queue_.front();
            const size_t total = b.samples.size() / channels_;
            const size_t n = std::min(total - b.offset, static_cast<size_t>(frames - done));
            std::memcpy(out + static_cast<size_t>(done) * channels_,
                        b.samples.data() + b.offset * channels_, n * channels_ * sizeof(float));
            b.offset += n;
            done += static_cast<int>(n);
            queuedFrames_ -= static_cast<int64_t>(n);
            heardFrame_ = b.srcStart + static_cast<int64_t>((b.srcEnd - b.srcStart) *
                                                            static_cast<double>(b.offset) / total);
            if (b.offset >= total)
                queue_.pop_front();
            queueCv_.notify_all();
        }
        if (done < frames && producerEnd_) {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) {
                ended_ = true;
                state_ = StreamState::Stopped;
            }
        }
    }
    std::fill(out + static_cast<size_t>(done) * channels_,
              out + static_cast<size_t>(frames) * channels_, 0.0f);
    if (done > 0)
        Remember(out, done);

    std::lock_guard lock(volumeMutex_);
    if (slideFrames_ == 0 && volume_ == 1.0)
        return done;
    for (int f = 0; f < done; ++f) {
        if (slideFrames_ > 0) {
            ++slideDone_;
            volume_ = slideFrom_ +
                      (slideTo_ - slideFrom_) * static_cast<double>(slideDone_) / slideFrames_;
            if (slideDone_ >= slideFrames_) {
                volume_ = slideTo_;
                slideFrames_ = 0;
            }
        }
        const float v = static_cast<float>(volume_);
        for (int c = 0; c < channels_; ++c)
            out[static_cast<size_t>(f) * channels_ + c] *= v;
    }
    return done;
}

void Stream::Remember(const float *s, int frames)
{
    std::lock_guard lock(historyMutex_);
    const size_t ch = static_cast<size_t>(channels_);
    historyFilled_ = std::min(kHistoryFrames, historyFilled_ + static_cast<size_t>(frames));
    // Only the last kHistoryFrames frames stay in the ring; they go in at most two runs.
    size_t left = static_cast<size_t>(frames);
    if (left > kHistoryFrames) {
        s += (left - kHistoryFrames) * ch;
        left = kHistoryFrames;
    }
    while (left > 0) {
        const size_t run = std::min(left, kHistoryFrames - historyPos_);
        std::memcpy(history_.data() + historyPos_ * ch, s, run * ch * sizeof(float));
        historyPos_ = (historyPos_ + run) % kHistoryFrames;
        s += run * ch;
        left -= run;
    }
}

qint64 Stream::Position() const
{
    std::lock_guard lock(queueMutex_);
    return heardFrame_ * source_->BytesPerFrame();
}

bool Stream::SetPosition(qint64 bytes)
{
    std::lock_guard lock(sourceMutex_);
    if (!source_->SetPosition(bytes))
        return false;
    tempo_.Reset();
    producerEnd_ = false;
    std::lock_guard qlock(queueMutex_);
    queue_.clear();
    queuedFrames_ = 0;
    heardFrame_ = source_->Position() / source_->BytesPerFrame();
    ended_ = false;
    queueCv_.notify_all();
    return true;
}

void Stream::SetVolume(float volume)
{
    std::lock_guard lock(volumeMutex_);
    volume_ = std::max(0.0f, volume);
    slideFrames_ = 0;
}

void Stream::SlideVolume(float target, int ms)
{
    std::lock_guard lock(volumeMutex_);
    slideFrom_ = volume_;
    slideTo_ = std::max(0.0f, target);
    slideDone_ = 0;
    slideFrames_ = static_cast<int64_t>(ms) * rate_ / 1000;
    if (slideFrames_ <= 0)
        volume_ = slideTo_;
}

float Stream::Volume() const
{
    std::lock_guard lock(volumeMutex_);
    return static_cast<float>(volume_);
}

bool Stream::VolumeSliding() const
{
    std::lock_guard lock(volumeMutex_);
    return slideFrames_ > 0;
}

void Stream::SetTempo(double percent)
{
    tempo_.SetPercent(percent);
}

uint32_t Stream::Level() const
{
    std::lock_guard lock(historyMutex_);
    if (state_ != StreamState::Playing)
        return 0;
    const size_t n = std::min(historyFilled_, static_cast<size_t>(rate_ / 50));
    float peak[2] = {0, 0};
    for (size_t i = 1; i <= n; ++i) {
        const size_t frame = (historyPos_ + kHistoryFrames - i) % kHistoryFrames;
        const float *s = history_.data() + frame * channels_;
        peak[0] = std::max(peak[0], std::fabs(s[0]));
        peak[1] = std::max(peak[1], std::fabs(s[channels_ > 1 ? 1 : 0]));
    }
    auto word = [](float p) {
        return static_cast<uint32_t>(std::lround(std::min(p, 1.0f) * 32768.0f));
    };
    return word(peak[0]) | (word(peak[1]) << 16);
}

bool Stream::Spectrum(float *bins) const
{
    std::fill(bins, bins + kFftBins, 0.0f);
    if (state_ != StreamState::Playing)
        return false;
    AVTXContext *ctx = nullptr;
    av_tx_fn fn = nullptr;
    const float scale = 1.0f;
    if (av_tx_init(&ctx, &fn, AV_TX_FLOAT_RDFT, 0, kFftSize, &scale, 0) < 0)
        return false;
    ff::TxPtr tx(ctx);
    ff::AvBuffer<float> in(static_cast<float *>(av_malloc(sizeof(float) * (kFftSize + 2))));
    ff::AvBuffer<AVComplexFloat> spec(
        static_cast<AVComplexFloat *>(av_malloc(sizeof(AVComplexFloat) * (kFftSize / 2 + 1))));
    if (!in || !spec)
        return false;
    {
        std::lock_guard lock(historyMutex_);
        for (int i = 0; i < kFftSize; ++i) {
            const size_t frame = (historyPos_ + static_cast<size_t>(i)) % kHistoryFrames;
            float sum = 0;
            for (int c = 0; c < channels_; ++c)
                sum += history_[frame * channels_ + c];
            const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kFftSize);
            in[i] = static_cast<float>(w * sum / channels_);
        }
    }
    fn(tx.get(), spec.get(), in.get(), sizeof(float));
    // A Hann window sums to N/2; a sine of amplitude A gives A·N/4 at its bin.
    const float norm = 4.0f / kFftSize;
    for (int k = 0; k < kFftBins; ++k)
        bins[k] = std::hypot(spec[k].re, spec[k].im) * norm;
    return true;
}

bool Stream::Wave(char *bytes) const
{
    std::memset(bytes, 0, kWaveBytes);
    if (state_ != StreamState::Playing)
        return false;
    std::lock_guard lock(historyMutex_);
    const size_t samples = kWaveBytes / 2;
    const size_t frames = samples / channels_;
    std::array<int16_t, kWaveBytes / 2> out{};
    for (size_t i = 0; i < frames; ++i) {
        const size_t frame = (historyPos_ + kHistoryFrames - frames + i) % kHistoryFrames;
        for (int c = 0; c < channels_; ++c) {
            const float v = std::clamp(history_[frame * channels_ + c], -1.0f, 1.0f);
            out[i * channels_ + c] = static_cast<int16_t>(std::lround(v * 32767.0f));
        }
    }
    std::memcpy(bytes, out.data(), kWaveBytes);
    return true;
}

} // namespace vorlane::engine

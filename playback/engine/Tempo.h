#pragma once
// The tempo stage: changes speed by −50…+100 % keeping the pitch (libavfilter's atempo). At 0 %
// it passes samples through untouched until a tempo is first set; from then on it stays in the
// chain (at 1.0) so that returning to 0 % does not jump.
//
// One thread at a time (the stream's producer); SetPercent may be called from any thread and
// takes effect at the next Process.

#include <QString>

#include <atomic>
#include <memory>
#include <vector>

namespace vorlane::engine {

class Tempo {
public:
    Tempo(int rate, int channels);
    ~Tempo();
    Tempo(const Tempo &) = delete;
    Tempo &operator=(const Tempo &) = delete;

    // Clamped to −50…+100.
    void SetPercent(double percent);
    double Percent() const { return percent_.load(); }
    // Playback speed relative to the source: 1 + percent / 100.
    double Ratio() const { return 1.0 + percent_.load() / 100.0; }

    // Appends the output for `frames` interleaved input frames to `out`.
    void Process(const float *in, int frames, std::vector<float> &out);
    // Appends what the stage still holds at the end of the source.
    void Flush(std::vector<float> &out);
    // Forgets held samples (after a seek).
    void Reset();

private:
    bool Build();
    void Drain(std::vector<float> &out);

    struct Graph;
    const int rate_;
    const int channels_;
    std::atomic<double> percent_{0.0};
    double applied_ = 0.0;
    bool active_ = false;
    std::unique_ptr<Graph> graph_;
    int64_t pts_ = 0;
};

} // namespace vorlane::engine

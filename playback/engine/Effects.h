#pragma once
// The effects a decode source can carry: parametric EQ bands, an echo and a compressor, run in
// priority order (lower first; equal priorities in the order attached) on interleaved float
// samples before the tempo stage.
//
// Every change is click-free: an attached effect fades in from neutral, a removed one fades out
// before it leaves the chain, and new parameters are reached by short ramps (EQ gain, echo mix,
// the compressor's threshold, ratio and gain) or crossfades (echo delay). Thread use:
// Attach/Remove/Get/Set from any thread; Process from the source's reading thread. One mutex guards
// the effect list and every effect's state.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace vorlane::engine {

// A peaking filter: centre in Hz, width in semitones, gain in dB (0 leaves the sound as it is).
struct EqParams {
    float center = 1000.0f;
    float bandwidth = 12.0f;
    float gain = 0.0f;
};

// Echo: mix is the wet share in percent (0 dry only, 100 echo only); feedback in percent; the
// delays in ms per side; with panDelay each repeat crosses to the other side.
struct EchoParams {
    float wetDryMix = 50.0f;
    float feedback = 50.0f;
    float leftDelay = 500.0f;
    float rightDelay = 500.0f;
    bool panDelay = false;
};

// Compressor: gain in dB after compression, attack/release in ms, threshold in dB below full
// scale, ratio (n:1), pre-delay in ms between the level crossing the threshold and the start of
// the attack (the sound itself is not delayed).
struct CompressorParams {
    float gain = 0.0f;
    float attack = 10.0f;
    float release = 200.0f;
    float threshold = -20.0f;
    float ratio = 3.0f;
    float predelay = 4.0f;
};

using FxParams = std::variant<EqParams, EchoParams, CompressorParams>;

// Handle of an attached effect; 0 is never a valid handle.
using FxHandle = std::uint32_t;

class EffectChain {
public:
    EffectChain(int rate, int channels);
    ~EffectChain();
    EffectChain(const EffectChain &) = delete;
    EffectChain &operator=(const EffectChain &) = delete;

    FxHandle Attach(const FxParams &params, int priority);
    // False when the handle is not attached.
    bool Remove(FxHandle handle);
    std::optional<FxParams> Get(FxHandle handle) const;
    // False when the handle is unknown or the parameters are of another effect type.
    bool Set(FxHandle handle, const FxParams &params);
    // Number of effects in the chain (fading-out ones included).
    int Count() const;

    // Runs the chain in place over `frames` interleaved frames.
    void Process(float *samples, int frames);
    // Forgets echo tails and filter memories (after a seek).
    void Clear();

    class Effect;

private:
    const int rate_;
    const int channels_;
    mutable std::mutex mutex_; // guards effects_, nextHandle_ and every effect's state
    std::vector<std::unique_ptr<Effect>> effects_;
    FxHandle nextHandle_ = 1;
};

} // namespace vorlane::engine

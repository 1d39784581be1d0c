#include "playback/engine/Effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlane::engine {

namespace {

// Length of every fade and ramp: short enough to feel immediate, long enough not to click.
constexpr double kRampSeconds = 0.02;
// Filter coefficients follow a gain ramp in steps of this many frames.
constexpr int kEqStep = 32;
// The longest echo delay the lines are sized for.
constexpr double kMaxEchoSeconds = 2.0;

int RampFrames(int rate)
{
    return std::max(1, static_cast<int>(rate * kRampSeconds));
}

} // namespace

class EffectChain::Effect {
public:
    Effect(FxHandle h, int prio, int rate, int channels)
        : handle(h)
        , priority(prio)
        , rate_(rate)
        , channels_(channels)
        , fadeStep_(1.0 / RampFrames(rate))
    {
    }
    virtual ~Effect() = default;

    virtual FxParams Params() const = 0;
    virtual bool SetParams(const FxParams &p) = 0;
    // Fully wet processing in place.
    virtual void Run(float *s, int frames) = 0;
    virtual void Clear() = 0;

    // Runs the effect with its attach/remove fade; true when a removal has faded out.
    bool Process(float *s, int frames, std::vector<float> &dry)
    {
        if (fade_ >= 1.0 && !removing) {
            Run(s, frames);
            return false;
        }
        const size_t n = static_cast<size_t>(frames) * channels_;
        dry.assign(s, s + n);
        Run(s, frames);
        const double target = removing ? 0.0 : 1.0;
        for (int f = 0; f < frames; ++f) {
            if (fade_ < target)
                fade_ = std::min(target, fade_ + fadeStep_);
            else if (fade_ > target)
                fade_ = std::max(target, fade_ - fadeStep_);
            const float w = static_cast<float>(fade_);
            for (int c = 0; c < channels_; ++c) {
                const size_t i = static_cast<size_t>(f) * channels_ + c;
                s[i] = dry[i] + w * (s[i] - dry[i]);
            }
        }
        return removing && fade_ <= 0.0;
    }

    const FxHandle handle;
    const int priority;
    bool removing = false;

protected:
    const int rate_;
    const int channels_;

private:
    const double fadeStep_;
    double fade_ = 0.0;
};

namespace {

// A peaking biquad (the usual audio-EQ cookbook form) whose gain moves in short ramps.
class EqEffect final : public EffectChain::Effect {
public:
    EqEffect(FxHandle h, int prio, int rate, int channels, const EqParams &p)
        : Effect(h, prio, rate, channels)
        , p_(p)
        , gainNow_(p.gain)
        , state_(static_cast<size_t>(channels) * 2, 0.0)
    {
        Design(gainNow_);
    }

    FxParams Params() const override { return p_; }
    bool SetParams(const FxParams &fx) override
    {
        const auto *p = std::get_if<EqParams>(&fx);
        if (!p)
            return false;
        const bool shape = p->center != p_.center || p->bandwidth != p_.bandwidth;
        p_ = *p;
        rampLeft_ = RampFrames(rate_) / kEqStep + 1;
        gainStep_ = (p_.gain - gainNow_) / rampLeft_;
        if (shape)
            Design(gainNow_);
        return true;
    }

    void Run(float *s, int frames) override
    {
        for (int start = 0; start < frames; start += kEqStep) {
            if (rampLeft_ > 0) {
                --rampLeft_;
                gainNow_ = rampLeft_ == 0 ? p_.gain : gainNow_ + gainStep_;
                Design(gainNow_);
            }
            const int n = std::min(kEqStep, frames - start);
            for (int c = 0; c < channels_; ++c) {
                double z1 = state_[c * 2], z2 = state_[c * 2 + 1];
                float *x = s + static_cast<size_t>(start) * channels_ + c;
                for (int i = 0; i < n; ++i, x += channels_) {
                    const double in = *x;
                    const double out = b0_ * in + z1;
                    z1 = b1_ * in - a1_ * out + z2;
                    z2 = b2_ * in - a2_ * out;
                    *x = static_cast<float>(out);
                }
                state_[c * 2] = z1;
                state_[c * 2 + 1] = z2;
            }
        }
    }

    void Clear() override { std::fill(state_.begin(), state_.end(), 0.0); }

private:
    void Design(double gainDb)
    {
        // A centre at or above Nyquist has no meaning at this rate: keep it just below.
        const double f0 = std::clamp<double>(p_.center, 1.0, rate_ * 0.49);
        const double octaves = std::clamp<double>(p_.bandwidth, 0.1, 36.0) / 12.0;
        const double w0 = 2.0 * std::numbers::pi * f0 / rate_;
        const double sn = std::sin(w0), cs = std::cos(w0);
        const double alpha = sn * std::sinh(std::log(2.0) / 2.0 * octaves * w0 / sn);
        const double a = std::pow(10.0, gainDb / 40.0);
        const double a0 = 1.0 + alpha / a;
        b0_ = (1.0 + alpha * a) / a0;
        b1_ = -2.0 * cs / a0;
        b2_ = (1.0 - alpha * a) / a0;
        a1_ = -2.0 * cs / a0;
        a2_ = (1.0 - alpha / a) / a0;
    }

    EqParams p_;
    double gainNow_;
    double gainStep_ = 0.0;
    int rampLeft_ = 0;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    std::vector<double> state_; // z1, z2 per channel
};

// A feedback delay line per channel. The mix ramps; a new delay is reached by crossfading the
// old tap into the new one so the echo does not jump.
class EchoEffect final : public EffectChain::Effect {
public:
    EchoEffect(FxHandle h, int prio, int rate, int channels, const EchoParams &p)
        : Effect(h, prio, rate, channels)
        , p_(Clamp(p))
    {
        size_t size = 1;
        while (size < static_cast<size_t>(rate * kMaxEchoSeconds) + 2)
            size <<= 1;
        mask_ = size - 1;
        lines_.assign(static_cast<size_t>(channels) * size, 0.0f);
        mixNow_ = p_.wetDryMix / 100.0;
        for (int c = 0; c < 2; ++c)
            tapNow_[c] = tapOld_[c] = DelayFrames(c);
    }

    FxParams Params() const override { return p_; }
    bool SetParams(const FxParams &fx) override
    {
        const auto *p = std::get_if<EchoParams>(&fx);
        if (!p)
            return false;
        p_ = Clamp(*p);
        for (int c = 0; c < 2; ++c) {
            if (DelayFrames(c) != tapNow_[c]) {
                tapOld_[c] = tapNow_[c];
                tapNow_[c] = DelayFrames(c);
                xfadeLeft_ = RampFrames(rate_);
            }
        }
        return true;
    }

    void Run(float *s, int frames) override
    {
        const double mixTarget = p_.wetDryMix / 100.0;
        const double mixStep = 1.0 / RampFrames(rate_);
        const float fb = p_.feedback / 100.0f;
        const bool pan = p_.panDelay && channels_ == 2;
        const size_t size = mask_ + 1;
        const int ramp = RampFrames(rate_);
        float taps[8] = {};
        for (int f = 0; f < frames; ++f, ++write_) {
            if (mixNow_ < mixTarget)
                mixNow_ = std::min(mixTarget, mixNow_ + mixStep);
            else if (mixNow_ > mixTarget)
                mixNow_ = std::max(mixTarget, mixNow_ - mixStep);
            const float t = xfadeLeft_ > 0 ? 1.0f - static_cast<float>(xfadeLeft_) / ramp : 1.0f;
            if (xfadeLeft_ > 0)
                --xfadeLeft_;
            float *x = s + static_cast<size_t>(f) * channels_;
            for (int c = 0; c < channels_ && c < 8; ++c) {
                const float *line = lines_.data() + c * size;
                const int side = c == 0 ? 0 : 1;
                const float now = line[(write_ - tapNow_[side]) & mask_];
                taps[c] =
                    t >= 1.0f ? now : now * t + line[(write_ - tapOld_[side]) & mask_] * (1 - t);
            }
            const float mix = static_cast<float>(mixNow_);
            // The line fills gradually at first, so the first echo swells in instead of
            // starting with a jump.
            const float feed = written_ < ramp ? static_cast<float>(written_++) / ramp : 1.0f;
            for (int c = 0; c < channels_ && c < 8; ++c) {
                const float back = pan && c < 2 ? taps[1 - c] : taps[c];
                lines_[c * size + (write_ & mask_)] = x[c] * feed + fb * back;
                x[c] = x[c] * (1.0f - mix) + taps[c] * mix;
            }
        }
    }

    void Clear() override
    {
        std::fill(lines_.begin(), lines_.end(), 0.0f);
        written_ = 0;
    }

private:
    static EchoParams Clamp(EchoParams p)
    {
        p.wetDryMix = std::clamp(p.wetDryMix, 0.0f, 100.0f);
        p.feedback = std::clamp(p.feedback, 0.0f, 100.0f);
        p.leftDelay = std::clamp(p.leftDelay, 1.0f, static_cast<float>(kMaxEchoSeconds * 1000));
        p.rightDelay = std::clamp(p.rightDelay, 1.0f, static_cast<float>(kMaxEchoSeconds * 1000));
        return p;
    }
    size_t DelayFrames(int side) const
    {
        const float ms = side == 0 ? p_.leftDelay : p_.rightDelay;
        return std::max<size_t>(1, static_cast<size_t>(std::lround(ms * rate_ / 1000.0)));
    }

    EchoParams p_;
    size_t mask_ = 0;
    size_t write_ = 0;
    std::vector<float> lines_;
    double mixNow_ = 0.0;
    size_t tapNow_[2] = {1, 1};
    size_t tapOld_[2] = {1, 1};
    int xfadeLeft_ = 0;
    int written_ = 0;
};

// A peak compressor with linked channels. The detector looks at the sound `predelay` ms late, so
// the gain reduction starts that long after the level crosses the threshold. A new threshold,
// ratio or make-up gain is reached by a short ramp of the curve itself: a step in the curve would
// be a step in the gain, which clicks on loud sound.
class CompressorEffect final : public EffectChain::Effect {
public:
    CompressorEffect(FxHandle h, int prio, int rate, int channels, const CompressorParams &p)
        : Effect(h, prio, rate, channels)
    {
        Apply(p);
        now_ = target_;
        thresholdLin_ = std::pow(10.0, now_.thresholdDb / 20.0);
    }

    FxParams Params() const override { return p_; }
    bool SetParams(const FxParams &fx) override
    {
        const auto *p = std::get_if<CompressorParams>(&fx);
        if (!p)
            return false;
        Apply(*p);
        rampLeft_ = RampFrames(rate_);
        return true;
    }

    void Run(float *s, int frames) override
    {
        const size_t hist = history_.size();
        for (int f = 0; f < frames; ++f) {
            if (rampLeft_ > 0)
                StepCurve();
            float *x = s + static_cast<size_t>(f) * channels_;
            float peak = 0.0f;
            for (int c = 0; c < channels_; ++c)
                peak = std::max(peak, std::fabs(x[c]));
            history_[histPos_] = peak;
            const float level = history_[(histPos_ + 1) % hist]; // predelay frames ago
            histPos_ = (histPos_ + 1) % hist;
            const double coef = level > env_ ? attackCoef_ : releaseCoef_;
            env_ = coef * env_ + (1.0 - coef) * level;
            double gainDb = now_.makeupDb;
            if (env_ > thresholdLin_) {
                const double envDb = 20.0 * std::log10(env_);
                gainDb += (envDb - now_.thresholdDb) * (now_.slope - 1.0);
            }
            const float g =
                gainDb == 0.0 ? 1.0f : static_cast<float>(std::pow(10.0, gainDb / 20.0));
            for (int c = 0; c < channels_; ++c)
                x[c] *= g;
        }
    }

    void Clear() override
    {
        std::fill(history_.begin(), history_.end(), 0.0f);
        env_ = 0.0;
    }

private:
    // The static curve: above the threshold the level rises by `slope` (1 / ratio) dB per dB.
    struct Curve {
        double thresholdDb = 0;
        double slope = 1;
        double makeupDb = 0;
    };

    void Apply(CompressorParams p)
    {
        p.ratio = std::clamp(p.ratio, 1.0f, 100.0f);
        p.threshold = std::clamp(p.threshold, -96.0f, 0.0f);
        p.attack = std::clamp(p.attack, 0.01f, 500.0f);
        p.release = std::clamp(p.release, 1.0f, 5000.0f);
        p.predelay = std::clamp(p.predelay, 0.0f, 100.0f);
        p_ = p;
        attackCoef_ = std::exp(-1000.0 / (p.attack * rate_));
        releaseCoef_ = std::exp(-1000.0 / (p.release * rate_));
        target_ = Curve{p.threshold, 1.0 / p.ratio, p.gain};
        thresholdLin_ = std::pow(10.0, now_.thresholdDb / 20.0);
        const size_t want = static_cast<size_t>(p.predelay * rate_ / 1000.0) + 1;
        if (want != history_.size()) {
            history_.assign(want, 0.0f);
            histPos_ = 0;
        }
    }

    // One frame of the ramp: the remaining distance shrinks linearly to zero.
    void StepCurve()
    {
        const double k = 1.0 / rampLeft_--;
        now_.thresholdDb += (target_.thresholdDb - now_.thresholdDb) * k;
        now_.slope += (target_.slope - now_.slope) * k;
        now_.makeupDb += (target_.makeupDb - now_.makeupDb) * k;
        thresholdLin_ = std::pow(10.0, now_.thresholdDb / 20.0);
    }

    CompressorParams p_;
    double attackCoef_ = 0, releaseCoef_ = 0, thresholdLin_ = 1;
    Curve target_; // the curve of p_
    Curve now_;    // the curve in use, ramping towards target_
    int rampLeft_ = 0;
    std::vector<float> history_;
    size_t histPos_ = 0;
    double env_ = 0.0;
};

} // namespace

EffectChain::EffectChain(int rate, int channels)
    : rate_(rate)
    , channels_(channels)
{
}

EffectChain::~EffectChain() = default;

FxHandle EffectChain::Attach(const FxParams &params, int priority)
{
    std::lock_guard lock(mutex_);
    const FxHandle h = nextHandle_++;
    std::unique_ptr<Effect> fx;
    if (const auto *eq = std::get_if<EqParams>(&params))
        fx = std::make_unique<EqEffect>(h, priority, rate_, channels_, *eq);
    else if (const auto *echo = std::get_if<EchoParams>(&params))
        fx = std::make_unique<EchoEffect>(h, priority, rate_, channels_, *echo);
    else
        fx = std::make_unique<CompressorEffect>(h, priority, rate_, channels_,
                                                std::get<CompressorParams>(params));
    auto at =
        std::upper_bound(effects_.begin(), effects_.end(), priority,
                         [](int p, const std::unique_ptr<Effect> &e) { return p < e->priority; });
    effects_.insert(at, std::move(fx));
    return h;
}

bool EffectChain::Remove(FxHandle handle)
{
    std::lock_guard lock(mutex_);
    for (auto &e : effects_) {
        if (e->handle == handle && !e->removing) {
            e->removing = true;
            return true;
        }
    }
    return false;
}

std::optional<FxParams> EffectChain::Get(FxHandle handle) const
{
    std::lock_guard lock(mutex_);
    for (const auto &e : effects_) {
        if (e->handle == handle && !e->removing)
            return e->Params();
    }
    return std::nullopt;
}

bool EffectChain::Set(FxHandle handle, const FxParams &params)
{
    std::lock_guard lock(mutex_);
    for (auto &e : effects_) {
        if (e->handle == handle && !e->removing)
            return e->SetParams(params);
    }
    return false;
}

int EffectChain::Count() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(effects_.size());
}

void EffectChain::Process(float *samples, int frames)
{
    std::lock_guard lock(mutex_);
    if (effects_.empty() || frames <= 0)
        return;
    thread_local std::vector<float> dry;
    for (auto it = effects_.begin(); it != effects_.end();) {
        if ((*it)->Process(samples, frames, dry))
            it = effects_.erase(it);
        else
            ++it;
    }
}

void EffectChain::Clear()
{
    std::lock_guard lock(mutex_);
    for (auto &e : effects_)
        e->Clear();
}

} // namespace vorlane::engine

#include "playback/SoundEffects.h"

#include "playback/engine/Stream.h"

namespace vorlane {

namespace {

// Priorities: equaliser bands first, then the echo, then the compressor.
constexpr int kEqPriority = 1;
constexpr int kEchoPriority = 2;
constexpr int kCompressorPriority = 3;

engine::EffectChain *ChainOf(const std::weak_ptr<engine::Stream> &channel)
{
    const auto stream = channel.lock();
    return stream ? &stream->GetSource().Effects() : nullptr;
}

} // namespace

TEqualizer::TEqualizer() = default;

void TEqualizer::SetChannel(const std::shared_ptr<engine::Stream> &Channel)
{
    vChannel = Channel;
    FX.fill(0);
    if (!Channel)
        vEnabled = false;
}

void TEqualizer::Refresh()
{
    if (!vEnabled)
        return;
    Reset();
    engine::EffectChain *chain = ChainOf(vChannel);
    if (!chain)
        return;
    for (int i = 0; i < kBands; ++i)
        FX[i] = chain->Attach(engine::EqParams{vFrequency[i], vBandWidth, 0.0f}, kEqPriority);
    for (int i = 0; i < kBands; ++i) {
        auto params = chain->Get(FX[i]);
        if (!params)
            continue;
        auto eq = std::get<engine::EqParams>(*params);
        eq.gain = 15.0f - vGain[i];
        chain->Set(FX[i], eq);
    }
}

void TEqualizer::Reset()
{
    engine::EffectChain *chain = ChainOf(vChannel);
    for (engine::FxHandle &h : FX) {
        if (h != 0 && chain)
            chain->Remove(h);
        h = 0;
    }
}

void TEqualizer::ChangeBandGain(int BandNum, float Gain)
{
    if (BandNum < 0 || BandNum >= kBands)
        return;
    vGain[BandNum] = Gain;
    if (!vEnabled)
        return;
    engine::EffectChain *chain = ChainOf(vChannel);
    if (!chain || FX[BandNum] == 0)
        return;
    auto params = chain->Get(FX[BandNum]);
    if (!params)
        return;
    auto eq = std::get<engine::EqParams>(*params);
    eq.gain = 15.0f - Gain;
    chain->Set(FX[BandNum], eq);
}

void TEqualizer::SetPowerEQEnabled(bool Value)
{
    vBandWidth = Value ? 12.0f : 1.0f;
    vPowerEQStatus = Value;
    Reset();
    Refresh();
}

// Echo ---------------------------------------------------------------------------------------

void TEchoProcessor::SetChannel(const std::shared_ptr<engine::Stream> &Channel)
{
    vChannel = Channel;
    FX = 0;
    if (!Channel)
        vEnabled = false;
}

engine::EchoParams TEchoProcessor::Params() const
{
    return engine::EchoParams{vLevel, vFeedback, vDelay, vDelay, false};
}

void TEchoProcessor::Refresh()
{
    if (!vEnabled)
        return;
    Reset();
    if (engine::EffectChain *chain = ChainOf(vChannel))
        FX = chain->Attach(Params(), kEchoPriority);
}

void TEchoProcessor::Reset()
{
    if (FX != 0) {
        if (engine::EffectChain *chain = ChainOf(vChannel))
            chain->Remove(FX);
    }
    FX = 0;
}

void TEchoProcessor::SetEnabled(bool Value)
{
    if (Value) {
        vEnabled = true;
        Refresh();
    } else {
        Reset();
        vEnabled = false;
    }
}

void TEchoProcessor::Update()
{
    if (!vEnabled || FX == 0)
        return;
    engine::EffectChain *chain = ChainOf(vChannel);
    if (!chain)
        return;
    auto params = chain->Get(FX);
    if (!params)
        return;
    auto echo = std::get<engine::EchoParams>(*params);
    echo.wetDryMix = vLevel;
    echo.leftDelay = echo.rightDelay = vDelay;
    chain->Set(FX, echo);
}

void TEchoProcessor::SetDelay(float Value)
{
    vDelay = Value;
    Update();
}

void TEchoProcessor::SetLevel(float Value)
{
    vLevel = Value;
    Update();
}

// Compressor ---------------------------------------------------------------------------------

void TCompressProcessor::SetChannel(const std::shared_ptr<engine::Stream> &Channel)
{
    vChannel = Channel;
    FX = 0;
    if (!Channel)
        vEnabled = false;
}

engine::CompressorParams TCompressProcessor::Params() const
{
    return engine::CompressorParams{0.0f, 10.0f, 200.0f, vLevel, vRatio, 4.0f};
}

void TCompressProcessor::Refresh()
{
    if (!vEnabled)
        return;
    Reset();
    if (engine::EffectChain *chain = ChainOf(vChannel))
        FX = chain->Attach(Params(), kCompressorPriority);
}

void TCompressProcessor::Reset()
{
    if (FX != 0) {
        if (engine::EffectChain *chain = ChainOf(vChannel))
            chain->Remove(FX);
    }
    FX = 0;
}

void TCompressProcessor::SetEnabled(bool Value)
{
    if (Value) {
        vEnabled = true;
        Refresh();
    } else {
        Reset();
        vEnabled = false;
    }
}

void TCompressProcessor::Update()
{
    if (!vEnabled || FX == 0)
        return;
    engine::EffectChain *chain = ChainOf(vChannel);
    if (!chain)
        return;
    auto params = chain->Get(FX);
    if (!params)
        return;
    auto comp = std::get<engine::CompressorParams>(*params);
    comp.threshold = vLevel;
    comp.ratio = vRatio;
    chain->Set(FX, comp);
}

void TCompressProcessor::SetLevel(float Value)
{
    vLevel = Value;
    Update();
}

void TCompressProcessor::SetRatio(float Value)
{
    vRatio = Value;
    Update();
}

// Settings ----------------------------------------------------------------------------------

void ApplySoundProc(const TSoundProcSettings &Settings, TEqualizer &Equalizer, TEchoProcessor &Echo,
                    TCompressProcessor &Compressor)
{
    const TEqSliders sliders = EqPresetSliders(Settings.EqMode, Settings.Band);
    for (int i = 0; i < TEqualizer::kBands; ++i)
        Equalizer.ChangeBandGain(i, static_cast<float>(sliders[i]));
    Equalizer.SetEnabled(Settings.EqEnabled);
    // Switching the power attaches the bands anew when the equaliser is on, and removes them
    // when it is off.
    Equalizer.SetPowerEQEnabled(true);

    Echo.SetDelay(static_cast<float>(Settings.EchoDelay));
    Echo.SetLevel(static_cast<float>(Settings.EchoLevel));
    // Switching on again would attach a second echo with empty delay lines: only a change counts.
    if (Echo.Enabled() != Settings.EchoEnabled || (Settings.EchoEnabled && Echo.FX == 0))
        Echo.SetEnabled(Settings.EchoEnabled);

    Compressor.SetRatio(static_cast<float>(Settings.CompressorRatio));
    Compressor.SetLevel(static_cast<float>(Settings.CompressorLevel));
    if (Compressor.Enabled() != Settings.CompressorEnabled ||
        (Settings.CompressorEnabled && Compressor.FX == 0))
        Compressor.SetEnabled(Settings.CompressorEnabled);
}

} // namespace vorlane

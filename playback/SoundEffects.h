#pragma once
// The three effect processors the player owns: a ten-band equaliser, an echo and a compressor.
// Each keeps its settings while files come and go, and attaches its engine effect to the stream
// the player hands it (the effects run on the stream's decoding source, before the tempo stage).
//
// Main thread only. The stream is held weakly: once the player frees it, every call is a no-op
// until the next SetChannel. The engine changes effects without clicks (an attached effect fades
// in, a removed one fades out, a new setting is reached by a short ramp), so no muting or pausing
// is needed around any change: a slider moved while the file plays is heard at once.

#include "base/PlayerRules.h"
#include "playback/engine/Effects.h"

#include <array>
#include <memory>

namespace vorlane {

namespace engine {
class Stream;
}

class TEqualizer {
public:
    static constexpr int kBands = 10;
    TEqualizer();

    // A null stream also switches the equaliser off.
    void SetChannel(const std::shared_ptr<engine::Stream> &Channel);
    // Attaches one band per frequency with the current gains, when enabled.
    void Refresh();
    // Removes the attached bands.
    void Reset();
    // Stores a slider position (0 top … 30 bottom; gain = 15 − position dB) and, when enabled,
    // updates that band.
    void ChangeBandGain(int BandNum, float Gain);

    bool Enabled() const { return vEnabled; }
    // Only stores the flag; the player's RefreshEffect attaches or removes.
    void SetEnabled(bool Value) { vEnabled = Value; }
    bool PowerEQEnabled() const { return vPowerEQStatus; }
    // Bandwidth 12 semitones (on) or 1 (off), then the bands are attached anew.
    void SetPowerEQEnabled(bool Value);

    std::array<engine::FxHandle, kBands> FX{};
    std::array<float, kBands> vFrequency{80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    float vBandWidth = 1;
    std::array<float, kBands> vGain{};
    std::weak_ptr<engine::Stream> vChannel;
    bool vPowerEQStatus = false;
    bool vEnabled = false;
};

class TEchoProcessor {
public:
    TEchoProcessor() = default;

    void SetChannel(const std::shared_ptr<engine::Stream> &Channel);
    void Refresh();
    void Reset();

    bool Enabled() const { return vEnabled; }
    // True stores the flag and attaches; false removes and stores.
    void SetEnabled(bool Value);
    float Delay() const { return vDelay; }
    // Milliseconds, both sides.
    void SetDelay(float Value);
    float Level() const { return vLevel; }
    // Wet/dry mix in percent.
    void SetLevel(float Value);

    engine::FxHandle FX = 0;
    bool vEnabled = false;
    float vLevel = 30;
    float vFeedback = 50;
    float vDelay = 1;
    std::weak_ptr<engine::Stream> vChannel;

private:
    engine::EchoParams Params() const;
    void Update();
};

class TCompressProcessor {
public:
    TCompressProcessor() = default;

    void SetChannel(const std::shared_ptr<engine::Stream> &Channel);
    void Refresh();
    void Reset();

    bool Enabled() const { return vEnabled; }
    void SetEnabled(bool Value);
    float Level() const { return vLevel; }
    // Threshold in dB (a negative number).
    void SetLevel(float Value);
    float Ratio() const { return vRatio; }
    void SetRatio(float Value);

    engine::FxHandle FX = 0;
    bool vEnabled = false;
    float vLevel = 0;
    float vRatio = 0;
    std::weak_ptr<engine::Stream> vChannel;

private:
    engine::CompressorParams Params() const;
    void Update();
};

// Brings the three processors to the "SoundProc" settings of Config.ini, as the start applies
// them: the equaliser's power on (whatever was saved), its ten bands from the chosen preset (EqMode
// over the user preset Band), its switch from EqEnabled; the echo's and the compressor's switches
// and values. Before the first Play it only stores them (Play attaches); on a playing chain every
// change is heard at once.
void ApplySoundProc(const TSoundProcSettings &Settings, TEqualizer &Equalizer, TEchoProcessor &Echo,
                    TCompressProcessor &Compressor);

} // namespace vorlane

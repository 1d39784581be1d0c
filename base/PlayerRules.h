#pragma once
// Decisions of the player's windows that need no engine: the equaliser presets and the sound
// settings of Config.ini, the visual indicator's view cycle, and the position math of the waveform
// strip. They live here, below both the window and the engine, so the window uses them without
// loading the engine and the engine applies the same table. Pure functions; any thread.

#include <QtGlobal>

#include <array>
#include <optional>

namespace vorlane {

// ---- Sound processing ----------------------------------------------------------------------

constexpr int kEqBands = 10;
using TEqSliders = std::array<int, kEqBands>;

// The "SoundProc" section of Config.ini as numbers: slider positions and switches as the sound
// window holds them. Band: the user preset, 0 (top, +15 dB) to 30 (bottom, −15 dB), 15 flat.
// CompressorLevel is the threshold as the compressor holds it (negative dB).
struct TSoundProcSettings {
    bool EqEnabled = false;
    bool PowerEqEnabled = true; // written, never read: the start switches the power on
    bool EchoEnabled = false;
    int EchoDelay = 1;
    int EchoLevel = 1;
    bool CompressorEnabled = false;
    int CompressorRatio = 1;
    int CompressorLevel = 1;
    TEqSliders Band{15, 15, 15, 15, 15, 15, 15, 15, 15, 15};
    int EqMode = 0;
};

// Positions of the preset control: 0 the user's own sliders, then the four built-in presets.
enum class TEqPreset { User = 0, AudioBook = 1, Bass = 2, Quiet = 3, Rock = 4 };
constexpr int kEqPresetCount = 5;

// The message key of a preset's name ("SM_EQPRESETSUSER" ...); "" for a position out of range.
const char *EqPresetNameKey(int preset);

// The ten slider positions a preset sets; position 0 (and any position out of range) gives
// `user`.
TEqSliders EqPresetSliders(int preset, const TEqSliders &user);

// What the sound window shows of the equaliser: the preset control, the ten sliders and the
// user's own preset.
struct TEqPanel {
    int preset = 0;
    TEqSliders sliders{15, 15, 15, 15, 15, 15, 15, 15, 15, 15};
    TEqSliders user{15, 15, 15, 15, 15, 15, 15, 15, 15, 15};
};

// A band slider released at `position`: the sliders become the user preset and the preset control
// returns to the user preset. A band out of range changes nothing.
TEqPanel ReleaseBandSlider(TEqPanel panel, int band, int position);
// The preset control moved to `preset`: the sliders take that preset's positions (the caller then
// applies every band).
TEqPanel ChoosePreset(TEqPanel panel, int preset);

// ---- Visual indicator ----------------------------------------------------------------------

// 0 the title, 1 spectrum, 2 oscilloscope, 3 VU meter.
constexpr int kVisModes = 4;
// The view a click shows next: 0 → 1 → 2 → 3 → 0; a stored value out of range counts as 0.
int NextVisMode(int mode);

// ---- Waveform strip ------------------------------------------------------------------------

// Bytes of the stream per pixel column of a strip `width` pixels wide: size div width (0 when the
// file is shorter than the strip or the width is not positive).
qint64 PeaksStep(qint64 size, int width);
// The column of the play position's cursor; none when the step is 0 (a file too short for the
// strip, or nothing open), so no cursor is drawn.
std::optional<int> PeaksCursorColumn(qint64 position, qint64 size, int width);
// The byte position a click at column x seeks to: step × x.
qint64 PeaksSeekTarget(qint64 size, int width, int x);

} // namespace vorlane

#include "base/PlayerRules.h"

namespace vorlane {

namespace {

constexpr TEqSliders kBuiltInPresets[] = {
    {24, 21, 17, 14, 13, 16, 17, 18, 18, 19}, // audiobook
    {9, 13, 13, 15, 16, 18, 20, 21, 21, 18},  // bass
    {24, 21, 10, 12, 14, 17, 17, 20, 19, 18}, // quiet
    {13, 15, 11, 12, 14, 17, 20, 24, 21, 18}, // rock
};

} // namespace

const char *EqPresetNameKey(int preset)
{
    static const char *const names[kEqPresetCount] = {"SM_EQPRESETSUSER", "SM_EQPRESETSAUDIOBOOK",
                                                      "SM_EQPRESETSBASS", "SM_EQPRESETSQUIET",
                                                      "SM_EQPRESETSROCK"};
    return preset >= 0 && preset < kEqPresetCount ? names[preset] : "";
}

TEqSliders EqPresetSliders(int preset, const TEqSliders &user)
{
    if (preset <= 0 || preset >= kEqPresetCount)
        return user;
    return kBuiltInPresets[preset - 1];
}

TEqPanel ReleaseBandSlider(TEqPanel panel, int band, int position)
{
    if (band < 0 || band >= kEqBands)
        return panel;
    panel.sliders[band] = position;
    panel.user = panel.sliders;
    panel.preset = static_cast<int>(TEqPreset::User);
    return panel;
}

TEqPanel ChoosePreset(TEqPanel panel, int preset)
{
    panel.preset = preset;
    panel.sliders = EqPresetSliders(preset, panel.user);
    return panel;
}

int NextVisMode(int mode)
{
    return mode >= 0 && mode < kVisModes - 1 ? mode + 1 : mode == kVisModes - 1 ? 0 : 1;
}

qint64 PeaksStep(qint64 size, int width)
{
    return width > 0 && size > 0 ? size / width : 0;
}

std::optional<int> PeaksCursorColumn(qint64 position, qint64 size, int width)
{
    const qint64 step = PeaksStep(size, width);
    if (step == 0)
        return std::nullopt;
    return static_cast<int>(qBound<qint64>(0, position, size) / step);
}

qint64 PeaksSeekTarget(qint64 size, int width, int x)
{
    return PeaksStep(size, width) * qMax(0, x);
}

} // namespace vorlane

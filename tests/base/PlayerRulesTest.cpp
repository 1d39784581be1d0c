// The player windows' pure rules: presets, the view cycle, the strip's math.

#include "base/PlayerRules.h"

#include <gtest/gtest.h>

using namespace vorlane;

namespace {

const TEqSliders kFlat{15, 15, 15, 15, 15, 15, 15, 15, 15, 15};

TEST(EqPresets, MovingABandSliderReturnsToTheUserPresetWithTheSliders)
{
    TEqPanel panel;
    panel = ChoosePreset(panel, static_cast<int>(TEqPreset::Bass));
    EXPECT_EQ(panel.sliders, (TEqSliders{9, 13, 13, 15, 16, 18, 20, 21, 21, 18}));
    EXPECT_EQ(panel.user, kFlat) << "choosing a built-in preset keeps the user's own";

    panel = ReleaseBandSlider(panel, 0, 30);
    EXPECT_EQ(panel.preset, static_cast<int>(TEqPreset::User));
    const TEqSliders moved{30, 13, 13, 15, 16, 18, 20, 21, 21, 18};
    EXPECT_EQ(panel.sliders, moved);
    EXPECT_EQ(panel.user, moved);

    panel = ChoosePreset(panel, static_cast<int>(TEqPreset::Rock));
    panel = ChoosePreset(panel, static_cast<int>(TEqPreset::User));
    EXPECT_EQ(panel.sliders, moved) << "the user preset is what the sliders were";
}

TEST(EqPresets, OutOfRangePositions)
{
    const TEqSliders user{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(EqPresetSliders(5, user), user) << "a stored EqMode out of range";
    EXPECT_EQ(EqPresetSliders(-1, user), user);
    EXPECT_STREQ(EqPresetNameKey(1), "SM_EQPRESETSAUDIOBOOK");
    EXPECT_EQ(ReleaseBandSlider(TEqPanel{}, 10, 0).sliders, kFlat) << "no band 10";
}

TEST(VisMode, CyclesThroughTheFourViews)
{
    EXPECT_EQ(NextVisMode(0), 1);
    EXPECT_EQ(NextVisMode(2), 3);
    EXPECT_EQ(NextVisMode(3), 0);
    EXPECT_EQ(NextVisMode(7), 1) << "an unknown stored view counts as the title";
    EXPECT_EQ(NextVisMode(-1), 1);
}

TEST(PeaksStrip, CursorAndClickPositions)
{
    EXPECT_EQ(PeaksCursorColumn(5000, 8000, 800), 500);
    EXPECT_EQ(PeaksSeekTarget(8000, 800, 500), 5000);
    // 8005 bytes over 800 columns: the step is 10, the rest of the division is not sought.
    EXPECT_EQ(PeaksSeekTarget(8005, 800, 799), 7990);
    EXPECT_EQ(PeaksCursorColumn(100, 799, 800), std::nullopt) << "shorter than the strip";
    EXPECT_EQ(PeaksCursorColumn(0, 0, 800), std::nullopt) << "nothing open";
    EXPECT_EQ(PeaksSeekTarget(799, 800, 400), 0);
    EXPECT_EQ(PeaksCursorColumn(100, 8000, 0), std::nullopt) << "a strip with no width";
}

} // namespace

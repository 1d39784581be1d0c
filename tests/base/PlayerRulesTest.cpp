// The player windows' pure rules: presets, the view cycle, the strip's math, the mini player.

#include "base/PlayerRules.h"
#include "base/MiniPlayerRules.h"

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

TEST(MiniPlayer, SnapsBackInsideTheWorkArea)
{
    const QRect work(0, 0, 1920, 1050);
    const QSize size(488, 33);
    EXPECT_EQ(MiniPlayerHome(work, size), QPoint(1432, 1017));
    EXPECT_EQ(MiniPlayerMoved(QRect(QPoint(1500, 100), size), work), QPoint(1432, 100))
        << "past the right edge";
    EXPECT_EQ(MiniPlayerMoved(QRect(QPoint(100, 1040), size), work), QPoint(100, 1017))
        << "past the bottom";
    EXPECT_EQ(MiniPlayerMoved(QRect(QPoint(1432, 1017), size), work), QPoint(1432, 1017))
        << "touching the corner stays";
    EXPECT_EQ(MiniPlayerMoved(QRect(QPoint(-40, -20), size), work), QPoint(0, -20))
        << "the left edge stops it; the top is free";
    EXPECT_EQ(MiniPlayerActivated(QRect(QPoint(1500, 500), size), work), QPoint(1432, 1017))
        << "activated outside: back home";
    EXPECT_EQ(MiniPlayerMoved(QRect(QPoint(2000, 10), size), QRect(1920, 0, 1280, 1024)),
              QPoint(2000, 10))
        << "a second screen's work area";
}

TEST(MiniPlayer, ShowsOnlyWithTheOptionAndFadesByItsSteps)
{
    EXPECT_FALSE(MiniPlayerShown(false, true)) << "minimised with the option off";
    EXPECT_TRUE(MiniPlayerShown(true, true));
    EXPECT_FALSE(MiniPlayerShown(true, false));

    int opacity = 50;
    int steps = 0;
    for (; opacity < 249; ++steps)
        opacity = MiniPlayerFadeStep(opacity, true);
    EXPECT_EQ(opacity, 254);
    EXPECT_EQ(steps, 34) << "about 3.4 s from the dimmest";
    EXPECT_EQ(MiniPlayerFadeStep(254, true), 254);
    for (steps = 0; opacity > 50; ++steps)
        opacity = MiniPlayerFadeStep(opacity, false);
    EXPECT_EQ(steps, 204);
    EXPECT_EQ(MiniPlayerFadeStep(50, false), 50);
}

} // namespace

// Where the mini player stands and how it fades.

#include "app/player/MiniPlayerRules.h"

#include <gtest/gtest.h>

using namespace vorlane;

namespace {

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

// The sleep timer on a fake clock (milliseconds passed in).

#include "app/tools/SleepTimer.h"

#include <gtest/gtest.h>

using namespace vorlane;

namespace {

using Kind = TSleepEvent::Kind;
constexpr qint64 kMinute = TSleepTimer::kMinuteMs;

TEST(SleepTimer, WarnsAMinuteBeforeAndActsOnce)
{
    TSleepTimer timer;
    EXPECT_EQ(timer.Minutes(), 30);
    EXPECT_FALSE(timer.ApplyEnabled()) << "no action chosen yet";
    timer.EditMinutes("3");
    timer.ChooseAction(TSleepAction::StopPlayback);
    EXPECT_TRUE(timer.ApplyEnabled());
    const qint64 t0 = 1000;
    timer.Apply(t0);
    EXPECT_FALSE(timer.ApplyEnabled());

    EXPECT_TRUE(timer.Due(t0 + 2 * kMinute - 1).empty());
    const auto warning = timer.Due(t0 + 2 * kMinute);
    ASSERT_EQ(warning.size(), 1u);
    EXPECT_EQ(warning[0].kind, Kind::Warning);
    EXPECT_EQ(warning[0].action, TSleepAction::StopPlayback);
    EXPECT_TRUE(timer.Due(t0 + 3 * kMinute - 1).empty()) << "the warning comes once";

    const auto action = timer.Due(t0 + 3 * kMinute);
    ASSERT_EQ(action.size(), 1u);
    EXPECT_EQ(action[0].kind, Kind::Action);
    EXPECT_EQ(timer.Minutes(), 1);
    EXPECT_EQ(timer.MinutesText(), "1");
    EXPECT_TRUE(timer.ApplyEnabled());
    EXPECT_EQ(timer.Action(), TSleepAction::StopPlayback) << "the action stays chosen";
    EXPECT_TRUE(timer.Due(t0 + 10 * kMinute).empty());
}

TEST(SleepTimer, OneMinuteGivesNoWarning)
{
    TSleepTimer timer;
    timer.EditMinutes("1");
    timer.ChooseAction(TSleepAction::PowerDown);
    timer.Apply(0);
    EXPECT_TRUE(timer.Due(kMinute - 1).empty());
    const auto events = timer.Due(kMinute);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, Kind::Action);
    EXPECT_EQ(events[0].action, TSleepAction::PowerDown);
}

TEST(SleepTimer, ALateTickGetsTheWarningBeforeTheAction)
{
    TSleepTimer timer;
    timer.EditMinutes("2");
    timer.ChooseAction(TSleepAction::CloseProgram);
    timer.Apply(0);
    const auto events = timer.Due(5 * kMinute);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Warning);
    EXPECT_EQ(events[1].kind, Kind::Action);
}

TEST(SleepTimer, DisableStopsBothAndReapplyStartsFromNow)
{
    TSleepTimer timer;
    timer.ChooseAction(TSleepAction::StopPlayback);
    timer.Apply(0);
    timer.Disable();
    EXPECT_TRUE(timer.ApplyEnabled());
    EXPECT_TRUE(timer.Due(60 * kMinute).empty());

    timer.Apply(10 * kMinute);
    EXPECT_TRUE(timer.Due(39 * kMinute - 1).empty()) << "30 minutes from the second apply";
    EXPECT_EQ(timer.Due(39 * kMinute).size(), 1u);
}

TEST(SleepTimer, MinutesField)
{
    TSleepTimer timer;
    EXPECT_EQ(timer.EditMinutes("0"), "1");
    EXPECT_EQ(timer.EditMinutes(""), "1");
    timer.StepDown();
    EXPECT_EQ(timer.Minutes(), 1) << "never below 1";
    timer.StepUp();
    EXPECT_EQ(timer.MinutesText(), "2");
    EXPECT_EQ(timer.EditMinutes("99999999999"), "2") << "too large: the last value stays";
    EXPECT_EQ(timer.EditMinutes("-5"), "2");
    EXPECT_EQ(timer.EditMinutes("45"), "45");
    EXPECT_EQ(timer.Minutes(), 45);
}

} // namespace

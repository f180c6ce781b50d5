#include "app/GameClock.h"
#include "app/GameTimer.h"

#include <gtest/gtest.h>

namespace {
class GameClockTest : public ::testing::Test {
protected:
    void SetUp() override { GameClock::Reset(); }
};
} // namespace

TEST_F(GameClockTest, GameTimeMovesOnlyWhenAdvanced)
{
    const auto t0 = GameClock::Now();
    EXPECT_EQ(GameClock::Now(), t0);
    GameClock::AdvanceSeconds(2.5);
    EXPECT_FLOAT_EQ(SecondsSince(t0), 2.5f);
    EXPECT_FLOAT_EQ(WholeSecondsSince(t0), 2.0f); // truncated, not rounded
    GameClock::AdvanceSeconds(0.49);
    EXPECT_FLOAT_EQ(WholeSecondsSince(t0), 2.0f);
    GameClock::AdvanceSeconds(0.01);
    EXPECT_FLOAT_EQ(WholeSecondsSince(t0), 3.0f);
    // Time never runs backwards.
    GameClock::AdvanceSeconds(-1.0);
    EXPECT_FLOAT_EQ(SecondsSince(t0), 3.0f);
}

TEST_F(GameClockTest, ManySmallFramesAddUpToTheirSum)
{
    // A long session of 240 fps frames must not drift from the time they add up to.
    const auto t0 = GameClock::Now();
    for (int i = 0; i < 240 * 600; ++i)
        GameClock::AdvanceSeconds(1.0f / 240.0f);
    EXPECT_NEAR(SecondsSince(t0), 600.0f, 1e-3f);
}

TEST_F(GameClockTest, TimerComparesWholeSecondsLikeTheGame)
{
    GameTimer timer;
    EXPECT_FALSE(timer.started);
    timer.Start();
    GameClock::AdvanceSeconds(5.9);
    // "More than 5.0 whole seconds" needs 6 whole seconds.
    EXPECT_FALSE(timer.WholeSeconds() > 5.0f);
    GameClock::AdvanceSeconds(0.1);
    EXPECT_TRUE(timer.WholeSeconds() > 5.0f);
    EXPECT_NEAR(timer.Seconds(), 6.0f, 1e-4f);
    timer.Stop();
    EXPECT_FALSE(timer.started);
}

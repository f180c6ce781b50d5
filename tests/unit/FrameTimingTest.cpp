#include "app/FrameTiming.h"
#include "app/Launcher.h"

#include <gtest/gtest.h>

TEST(FrameTiming, DeltaIsClampedToATenth)
{
    EXPECT_FLOAT_EQ(FrameDeltaSeconds(1000, 1099), 0.099f);
    EXPECT_FLOAT_EQ(FrameDeltaSeconds(1000, 1250), 0.1f);
    EXPECT_FLOAT_EQ(FrameDeltaSeconds(500, 500), 0.0f); // a frame under 1 ms
    // The first frame measures from 0: start-up time, clamped.
    EXPECT_FLOAT_EQ(FrameDeltaSeconds(0, 4000), 0.1f);
    // The tick counter wraps after 49 days; the unsigned difference still gives 16 ms.
    EXPECT_FLOAT_EQ(FrameDeltaSeconds(0xFFFFFFF8u, 8u), 0.016f);
}

TEST(FrameTiming, CapFollowsThePresentMode)
{
    EXPECT_EQ(FrameCapForPresentMode(VK_PRESENT_MODE_IMMEDIATE_KHR), 130u);
    EXPECT_EQ(FrameCapForPresentMode(VK_PRESENT_MODE_MAILBOX_KHR), 130u);
    EXPECT_EQ(FrameCapForPresentMode(VK_PRESENT_MODE_FIFO_KHR), 0u);
    EXPECT_EQ(FrameCapForPresentMode(VK_PRESENT_MODE_FIFO_RELAXED_KHR), 0u);
    EXPECT_EQ(FrameCapForPresentMode(VK_PRESENT_MODE_SHARED_DEMAND_REFRESH_KHR), 80u);
    EXPECT_EQ(FrameBudgetMs(130), 7u);
    EXPECT_EQ(FrameBudgetMs(80), 12u);
    EXPECT_EQ(FrameBudgetMs(0), 0u);
}

TEST(FrameTiming, CapSleepsWhatIsLeftOfTheBudget)
{
    EXPECT_EQ(FrameCapDelayMs(7, 100, 103), 4u);
    EXPECT_EQ(FrameCapDelayMs(7, 100, 100), 7u); // never more than the budget
    EXPECT_EQ(FrameCapDelayMs(7, 100, 120), 0u); // a slow frame does not sleep
}

TEST(Launcher, StartGameClampsToTheMinimumOnly)
{
    int w = 1920, h = 1080;
    ClampResolution(w, h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    w = 800, h = 600;
    ClampResolution(w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    w = 1000, h = 2000;
    ClampResolution(w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 2000);
    w = -5, h = -7;
    ClampResolution(w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    // 65536 would wrap to a zero-sized window in the 16-bit window record.
    w = 65536, h = 70000;
    ClampResolution(w, h);
    EXPECT_EQ(w, MaxWindowSize);
    EXPECT_EQ(h, MaxWindowSize);
    EXPECT_EQ(static_cast<uint16_t>(w), w);
}

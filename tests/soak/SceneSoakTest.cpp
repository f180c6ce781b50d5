// Restart after restart through the pause menu over the renderer without a GPU: every heap
// allocation a scene makes must go with it, so the count of live allocations comes back to the
// same figure after each restart. Links the program's counting allocation operator.
#include "app/AllocationCounter.h"
#include "support/SceneDriver.h"
#include "support/UiFrames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int Restarts = 100;

// A few frames of play, then Escape and the pause menu's Restart, as a player does it; the new
// scene is built the way the application builds it.
void PlayThenRestart(SceneDriver& d, UiFrames& ui)
{
    for (int i = 0; i < 5; ++i) {
        d.Step();
        ui.Frame(d.Scene());
    }
    d.Tap(SDL_SCANCODE_ESCAPE);
    ui.Frame(d.Scene());
    ui.ClickMenuButton(d.Scene(), "Restart");
    ASSERT_TRUE(d.Scene().restartRequested);
    d.Rebuild();
}

} // namespace

TEST(SceneSoak, LiveAllocationsComeBackAfterEveryRestart)
{
    SceneDriver d;
    UiFrames ui(1280.0f, 720.0f);
    // The first restarts grow what lives for the process (the UI's buffers at their high-water
    // mark, the pack's checked state): the figure after them is the one every later restart keeps.
    for (int i = 0; i < 2; ++i)
        PlayThenRestart(d, ui);
    std::vector<int64_t> figures;
    figures.reserve(Restarts); // before the baseline: the record itself must not count
    const int64_t settled = LiveAllocationCount();
    for (int i = 0; i < Restarts; ++i) {
        PlayThenRestart(d, ui);
        if (HasFatalFailure())
            return;
        figures.push_back(LiveAllocationCount());
    }
    std::printf("    live allocations after restart 1: %lld, after restart %d: %lld\n",
                static_cast<long long>(figures.front()), Restarts, static_cast<long long>(figures.back()));
    for (int i = 0; i < Restarts; ++i)
        ASSERT_EQ(figures[static_cast<size_t>(i)], settled) << "restart " << i + 1 << " left allocations behind";
}

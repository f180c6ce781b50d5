// A steady frame of play makes no heap allocation: the scene's update and render and its HUD,
// with every zombie chasing, the gun firing, the crosshair and the damage border drawn. Counted
// by the game's own allocation operator, which this program links.
#include "app/AllocationCounter.h"
#include "support/ChaseScene.h"
#include "support/UiFrames.h"

#include <gtest/gtest.h>
#include <imgui.h>

TEST(SteadyFrame, MakesNoHeapAllocation)
{
    // The UI library's memory through operator new, as the game sets it, so it is counted too.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* p, void*) { ::operator delete(p); });
    UiFrames ui(1280.0f, 720.0f);
    ChaseScene chase(true);
    // Buffers grow to their high-water mark in the first frames (the UI's draw lists, the sort).
    for (int i = 0; i < 300; ++i)
        chase.Frame(true);
    const uint64_t before = AllocationCount();
    constexpr int Frames = 600;
    for (int i = 0; i < Frames; ++i)
        chase.Frame(true);
    EXPECT_EQ(AllocationCount() - before, 0u) << "over " << Frames << " frames of play";
}

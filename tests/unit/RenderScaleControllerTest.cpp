#include "renderer/RenderScaleController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double Target = 1.0 / 30.0;

// A pixel-bound frame: a fixed part plus a part that grows with the pixels (s squared).
std::function<double(float)> Load(double fixedSeconds, double fullScaleSeconds)
{
    return [=](float s) { return fixedSeconds + fullScaleSeconds * double(s) * double(s); };
}

// Runs `seconds` of frames of the load; answers the scale of every frame.
std::vector<float> Play(RenderScaleController& controller, const std::function<double(float)>& load, double seconds)
{
    std::vector<float> scales;
    for (double t = 0.0; t < seconds;) {
        const double frame = load(controller.Scale());
        t += frame;
        scales.push_back(controller.Update(frame));
    }
    return scales;
}

int Changes(const std::vector<float>& scales)
{
    int changes = 0;
    for (size_t i = 1; i < scales.size(); ++i)
        changes += scales[i] != scales[i - 1];
    return changes;
}

} // namespace

TEST(RenderScaleController, SettlesUnderASteadyLoadWithinTheTargetBand)
{
    // At s = 1 this frame takes 60 ms: the scale that holds 33 ms lies between the bounds.
    RenderScaleController controller(Target);
    const auto load = Load(0.004, 0.056);
    Play(controller, load, 10.0);
    const float settled = controller.Scale();
    const std::vector<float> later = Play(controller, load, 20.0);
    EXPECT_EQ(Changes(later), 0);
    EXPECT_GT(settled, RenderScaleController::MinScale);
    EXPECT_LT(settled, RenderScaleController::MaxScale);
    EXPECT_LE(load(settled), 1.10 * Target);
    // One step up would be over the raise threshold: it holds the largest scale that fits.
    EXPECT_GE(load(settled + RenderScaleController::Step), 0.90 * Target);
}

TEST(RenderScaleController, LowersWithinAFrameOfASpikeAndRaisesOnlyAfterASecondOfCalm)
{
    RenderScaleController controller(Target);
    EXPECT_EQ(controller.Update(0.020), 1.0f);
    const float afterSpike = controller.Update(0.100);
    EXPECT_LT(afterSpike, 1.0f) << "a frame three times the target lowers the scale at once";
    EXPECT_GE(afterSpike, RenderScaleController::MinScale);

    // Calm frames: the first after the change is ignored, then a second's worth before one step.
    double calm = 0.0;
    int frames = 0;
    while (controller.Update(0.010) == afterSpike && frames < 1000) {
        calm += 0.010;
        ++frames;
    }
    EXPECT_NEAR(calm, 1.0, 0.0201);
    EXPECT_FLOAT_EQ(controller.Scale(), afterSpike + RenderScaleController::Step);
}

TEST(RenderScaleController, IgnoresTheFrameAfterAChange)
{
    RenderScaleController controller(Target);
    const float lowered = controller.Update(0.050);
    ASSERT_LT(lowered, 1.0f);
    // The next frame was recorded at the old scale: even a long one does not lower again.
    EXPECT_EQ(controller.Update(0.200), lowered);
    EXPECT_LT(controller.Update(0.200), lowered);
}

TEST(RenderScaleController, DoesNotFlipBetweenTwoStepsUnderALoadBetweenThem)
{
    // Under 90 % at 0.70, over 110 % at 0.75: a load that is not pixel-bound (a jump at 0.75,
    // as when the working set leaves a cache). It may retry now and then, never every second.
    RenderScaleController controller(Target, 0.7f);
    const auto load = [](float s) { return s > 0.72f ? 0.040 : 0.029; };
    const std::vector<float> scales = Play(controller, load, 60.0);
    EXPECT_LE(Changes(scales), 10);
    int atLower = 0;
    for (float s : scales)
        atLower += std::fabs(s - 0.7f) < 1e-4f;
    EXPECT_GT(atLower, int(scales.size() * 9 / 10));
}

TEST(RenderScaleController, HoldsItsBounds)
{
    RenderScaleController heavy(Target);
    Play(heavy, [](float) { return 1.0; }, 20.0);
    EXPECT_EQ(heavy.Scale(), RenderScaleController::MinScale);

    RenderScaleController light(Target, 0.5f);
    const std::vector<float> scales = Play(light, [](float) { return 0.001; }, 60.0);
    EXPECT_EQ(light.Scale(), RenderScaleController::MaxScale);
    for (float s : scales) {
        EXPECT_GE(s, RenderScaleController::MinScale);
        EXPECT_LE(s, RenderScaleController::MaxScale);
    }
    light.Reset(3.0f);
    EXPECT_EQ(light.Scale(), RenderScaleController::MaxScale);

    // The player's render scale is a bound too: down to the grid, at once, and never raised past.
    light.SetCeiling(0.73f);
    EXPECT_FLOAT_EQ(light.Scale(), 0.7f);
    for (float s : Play(light, [](float) { return 0.001; }, 10.0))
        EXPECT_LE(s, 0.7f);
    light.SetCeiling(1.0f);
    Play(light, [](float) { return 0.001; }, 10.0);
    EXPECT_EQ(light.Scale(), RenderScaleController::MaxScale);
    light.SetCeiling(std::nanf(""));
    for (float s : Play(light, [](float) { return 0.001; }, 10.0))
        EXPECT_LE(s, RenderScaleController::MaxScale);
}

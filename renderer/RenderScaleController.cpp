// The render-scale controller's rules; the reason for each constant sits beside it.
#include "renderer/RenderScaleController.h"

#include <algorithm>
#include <cmath>

namespace {

// A frame over 110 % of the target is a real overrun, not the jitter of a steady frame.
constexpr double LowerAbove = 1.10;
// Frames under 90 % leave room for one step up: a step adds at most about 21 % of the pixels
// (0.5 -> 0.55), which a pixel-bound frame at 90 % absorbs without crossing 110 %.
constexpr double RaiseBelow = 0.90;
// A second of calm frames before a step up: long enough to ride out a quiet moment between
// bursts of work, short enough to regain sharpness soon after the load goes.
constexpr double CalmSecondsToRaise = 1.0;
// A step that failed waits twice as long each time, up to half a minute: a retry now and then
// finds the load gone, without a visible flip every second.
constexpr double MaxFailedWaitSeconds = 32.0;
// Lowering aims this far under the target: the frame's fixed costs do not shrink with the pixels.
constexpr double LowerMargin = 0.9;

// Scales are kept on the step grid, so that "the same level" compares exactly.
float Snap(float s)
{
    return std::round(s / RenderScaleController::Step) * RenderScaleController::Step;
}

} // namespace

RenderScaleController::RenderScaleController(double targetSeconds, float startScale)
    : target(targetSeconds), scale(Bounded(Snap(startScale)))
{
}

float RenderScaleController::Bounded(float s) const
{
    return std::clamp(s, MinScale, ceiling);
}

void RenderScaleController::Reset(float next)
{
    scale = Bounded(Snap(next));
    calmSeconds = 0.0;
    ignoreNext = false;
    failedScale = 0.0f;
    failedWaitSeconds = 0.0;
    justRaised = false;
}

void RenderScaleController::SetCeiling(float most)
{
    // Down to the grid, so that the controller never draws above what the player chose; a
    // ceiling that is not a number is none (the clamp would pass it through and lift every bound).
    ceiling = std::isnan(most) ? MaxScale : std::clamp(std::floor(most / Step + 1e-3f) * Step, MinScale, MaxScale);
    if (scale > ceiling)
        ChangeTo(ceiling);
}

void RenderScaleController::ChangeTo(float next)
{
    next = Bounded(next);
    calmSeconds = 0.0;
    if (next == scale)
        return;
    scale = next;
    ignoreNext = true;
}

float RenderScaleController::Update(double frameSeconds)
{
    if (ignoreNext) {
        ignoreNext = false;
        return scale;
    }
    if (frameSeconds > LowerAbove * target) {
        if (justRaised) {
            failedWaitSeconds = failedScale == scale ? std::min(failedWaitSeconds * 2.0, MaxFailedWaitSeconds)
                                                     : 2.0 * CalmSecondsToRaise;
            failedScale = scale;
            // The level below held before the raise: back to it, not lower.
            justRaised = false;
            ChangeTo(Snap(scale - Step));
            return scale;
        }
        // The pixels scale with s squared: the scale whose frame would sit under the target,
        // rounded down to the grid, and at least one step down.
        const double wanted = scale * std::sqrt(LowerMargin * target / frameSeconds);
        const float stepped = std::floor(float(wanted) / Step + 1e-3f) * Step;
        ChangeTo(std::min(stepped, Snap(scale - Step)));
        return scale;
    }
    justRaised = false;
    if (frameSeconds >= RaiseBelow * target || scale >= ceiling) {
        calmSeconds = 0.0;
        return scale;
    }
    calmSeconds += frameSeconds;
    const float next = Bounded(Snap(scale + Step));
    const double wait = next == failedScale ? failedWaitSeconds : CalmSecondsToRaise;
    if (calmSeconds >= wait) {
        ChangeTo(next);
        justRaised = true;
    }
    return scale;
}

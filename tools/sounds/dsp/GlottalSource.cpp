#include "tools/sounds/dsp/GlottalSource.h"
#include "tools/sounds/dsp/Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void GlottalSource::StartCycle(float frequencyHz)
{
    const float period = (1.0f + shape_.jitter * noise_.White()) / std::max(frequencyHz, 1.0f);
    step_ = 1.0f / (period * SampleRate);
    oddCycle_ = !oddCycle_;
    amplitude_ = std::max(0.0f, 1.0f + shape_.shimmer * noise_.White());
    if (oddCycle_) {
        amplitude_ *= 1.0f - shape_.subharmonic;
    }
}

float GlottalSource::Flow(float phase) const
{
    // Rosenberg pulse: two thirds of the open phase opening (raised cosine), one third closing
    // (quarter cosine, the steep closure that excites the vocal tract), then closed.
    const float open = shape_.openQuotient * 2.0f / 3.0f;
    const float close = shape_.openQuotient / 3.0f;
    constexpr float pi = std::numbers::pi_v<float>;
    if (phase < open) {
        return 0.5f * (1.0f - std::cos(pi * phase / open));
    }
    if (phase < open + close) {
        return std::cos(0.5f * pi * (phase - open) / close);
    }
    return 0.0f;
}

float GlottalSource::Next(float frequencyHz)
{
    if (phase_ >= 1.0f) {
        phase_ -= std::floor(phase_);
        StartCycle(frequencyHz);
    }
    const float flow = amplitude_ * Flow(phase_);
    phase_ += step_;
    // Radiation at the lips differentiates the flow; the scale keeps a pulse's slope near 1
    // whatever the pitch.
    const float out = (flow - lastFlow_) / (step_ * 8.0f);
    lastFlow_ = flow;
    return out;
}

#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void OnePole::SetCutoff(float cutoffHz)
{
    // Impulse-invariant pole: the smoothing factor reaches 1 - 1/e of a step in 1/(2 pi fc) s.
    const float f = std::clamp(cutoffHz, 1.0f, 0.49f * SampleRate);
    coefficient_ = 1.0f - std::exp(-2.0f * std::numbers::pi_v<float> * f / SampleRate);
}

float OnePole::LowPass(float x)
{
    state_ += coefficient_ * (x - state_);
    return state_;
}

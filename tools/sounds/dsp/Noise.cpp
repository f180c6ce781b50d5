#include "tools/sounds/dsp/Noise.h"

#include <cmath>

float Noise::Unit()
{
    // 24 bits fill a float's mantissa exactly, so the result never rounds up to 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

int Noise::Index(int count)
{
    const int i = static_cast<int>(Unit() * static_cast<float>(count));
    return i < count ? i : count - 1;
}

float Noise::ExponentialGap(float ratePerSecond)
{
    return -std::log(1.0f - Unit()) / ratePerSecond;
}

float BrownNoise::Next()
{
    // The leak keeps the walk from drifting off (a pole just inside the unit circle, corner
    // near 7 Hz); the gain brings its level back to roughly that of white noise.
    constexpr float leak = 0.999f;
    constexpr float gain = 0.06f;
    state_ = leak * state_ + gain * noise_.White();
    return state_;
}

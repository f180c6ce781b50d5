#include "tools/sounds/dsp/Oscillator.h"
#include "tools/sounds/dsp/Signal.h"

#include <cmath>
#include <numbers>

float Oscillator::Sine(float frequencyHz)
{
    const float y = static_cast<float>(std::sin(2.0 * std::numbers::pi * phase_));
    phase_ += static_cast<double>(frequencyHz) / SampleRate;
    phase_ -= std::floor(phase_);
    return y;
}

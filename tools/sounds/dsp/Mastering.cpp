#include "tools/sounds/dsp/Mastering.h"
#include "tools/sounds/dsp/Biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <stdexcept>

void RemoveDc(Signal& signal)
{
    if (signal.empty()) {
        return;
    }
    // 20 Hz is below anything a game speaker plays, and above the drift a sum of decaying
    // partials and brown noise can leave.
    Biquad highPass(Biquad::Kind::HighPass, 20.0f, ButterworthQ);
    for (float& s : signal) {
        s = highPass.Process(s);
    }
    const double mean = std::accumulate(signal.begin(), signal.end(), 0.0) / static_cast<double>(signal.size());
    for (float& s : signal) {
        s -= static_cast<float>(mean);
    }
}

void ApplyFades(Signal& signal, float fadeInSeconds, float fadeOutSeconds)
{
    const std::size_t n = signal.size();
    const std::size_t in = std::min(SamplesFor(fadeInSeconds), n);
    const std::size_t out = std::min(SamplesFor(fadeOutSeconds), n);
    for (std::size_t i = 0; i < in; ++i) {
        signal[i] *= 0.5f - 0.5f * std::cos(std::numbers::pi_v<float> * static_cast<float>(i) / in);
    }
    for (std::size_t i = 0; i < out; ++i) {
        // i = 0 is the very last sample, which ends exactly at zero.
        signal[n - 1 - i] *= 0.5f - 0.5f * std::cos(std::numbers::pi_v<float> * static_cast<float>(i) / out);
    }
}

void NormalisePeak(Signal& signal, float peak)
{
    float largest = 0.0f;
    for (float s : signal) {
        if (!std::isfinite(s)) {
            throw std::invalid_argument("cannot normalise a sound holding NaN or infinity");
        }
        largest = std::max(largest, std::fabs(s));
    }
    if (largest == 0.0f) {
        throw std::invalid_argument("cannot normalise a silent sound");
    }
    const float gain = peak / largest;
    for (float& s : signal) {
        s *= gain;
    }
}

void Master(Signal& signal, const MasteringSettings& settings)
{
    RemoveDc(signal);
    ApplyFades(signal, settings.fadeIn, settings.fadeOut);
    NormalisePeak(signal, settings.peak);
}

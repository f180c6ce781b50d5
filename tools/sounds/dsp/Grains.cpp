#include "tools/sounds/dsp/Grains.h"
#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Oscillator.h"

#include <algorithm>
#include <cmath>

Signal BubbleBlip(float frequencyHz, float rise)
{
    // Damping of a bubble ringing at f: viscous and thermal losses, 0.043 f + 0.0014 f^1.5 per
    // second; the pitch rises by a tenth of that rate (both from van den Doel, 2005).
    const float damping = 0.043f * frequencyHz + 0.0014f * std::pow(frequencyHz, 1.5f);
    const float glide = 0.1f * damping * rise;
    // Ring until the decay reaches -60 dB (ln 1000 = 6.9 time constants).
    const std::size_t length = SamplesFor(6.9 / damping);
    Signal out(length);
    Oscillator osc;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        // A 1 ms onset ramp, so a blip starting at full amplitude does not click.
        const float onset = std::min(1.0f, t / 0.001f);
        out[i] = onset * std::exp(-damping * t) * osc.Sine(frequencyHz * (1.0f + glide * t));
    }
    return out;
}

Signal NoiseGrain(Noise& noise, float centreHz, float q, float decay)
{
    const std::size_t length = SamplesFor(6.9 * decay);
    Signal out(length);
    Biquad band(Biquad::Kind::BandPass, centreHz, q);
    float peak = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        out[i] = band.Process(noise.White()) * std::exp(-t / decay);
        peak = std::max(peak, std::fabs(out[i]));
    }
    if (peak > 0.0f) {
        for (float& s : out) {
            s /= peak;
        }
    }
    return out;
}

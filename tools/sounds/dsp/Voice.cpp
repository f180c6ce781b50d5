#include "tools/sounds/dsp/Voice.h"
#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Oscillator.h"

#include <algorithm>
#include <cmath>

namespace {

Vowel VowelAt(const std::vector<VowelKey>& keys, float time)
{
    if (time <= keys.front().time) {
        return keys.front().vowel;
    }
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (time < keys[i].time) {
            const float t = (time - keys[i - 1].time) / (keys[i].time - keys[i - 1].time);
            return Vowel::Blend(keys[i - 1].vowel, keys[i].vowel, t);
        }
    }
    return keys.back().vowel;
}

} // namespace

Signal Speak(const VoiceSettings& settings, std::uint32_t seed)
{
    Noise noise(seed);
    GlottalSource glottis(settings.glottis, seed + 1);
    BrownNoise drift(seed + 2);
    OnePole driftSmoother(3.0f); // pitch wanders at a few hertz, like an unsteady larynx
    OnePole breathShaper(1500.0f);
    OnePole darken(settings.brightness);
    Oscillator flutter;
    // Aspiration: 1.5 to 6 kHz, where breath and a torn throat's hiss sit in recorded voices.
    Biquad hissLow(Biquad::Kind::HighPass, 1500.0f, ButterworthQ);
    Biquad hissHigh(Biquad::Kind::LowPass, 6000.0f, ButterworthQ);
    Noise turbulence(seed + 3);
    OnePole puff(60.0f); // the pulses' energy, smoothed to a breathing rhythm
    const std::size_t length = SamplesFor(settings.duration);
    Signal hiss(length);
    FormantFilter tract(settings.vowels.front().vowel.Lengthened(settings.tractLength));

    // Formants are re-designed every 64 samples (1.5 ms), far faster than a mouth moves.
    constexpr std::size_t tractUpdate = 64;
    Signal out(length);
    for (std::size_t i = 0; i < length; ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        if (i % tractUpdate == 0) {
            tract.SetVowel(VowelAt(settings.vowels, t).Lengthened(settings.tractLength));
        }
        const float wobble = 1.0f + settings.wander * driftSmoother.LowPass(drift.Next()) * 4.0f;
        const float f0 = std::max(20.0f, settings.pitch.At(t) * wobble);
        const float pulse = glottis.Next(f0);
        // Breath is loudest while the folds are open, so it rides on the pulses' energy.
        const float breath =
            settings.breath * breathShaper.LowPass(noise.White()) * (0.4f + std::min(1.0f, std::fabs(pulse)));
        float y = tract.Process(pulse + breath * 4.0f);
        if (settings.roughnessHz > 0.0f) {
            y *= 1.0f - settings.roughnessDepth * (0.5f + 0.5f * flutter.Sine(settings.roughnessHz));
        }
        out[i] = darken.LowPass(y) * settings.loudness.At(t);
        const float airflow = puff.LowPass(std::fabs(pulse));
        hiss[i] = hissHigh.Process(hissLow.Process(turbulence.White())) * (0.3f + airflow) * settings.loudness.At(t);
    }
    if (settings.aspiration > 0.0f) {
        // Scaled against the voice, so the setting reads as a share whatever the vowel and pitch.
        double voiced = 0.0, noisy = 0.0;
        for (std::size_t i = 0; i < length; ++i) {
            voiced += static_cast<double>(out[i]) * out[i];
            noisy += static_cast<double>(hiss[i]) * hiss[i];
        }
        const float gain = noisy > 0.0 ? settings.aspiration * static_cast<float>(std::sqrt(voiced / noisy)) : 0.0f;
        for (std::size_t i = 0; i < length; ++i) {
            out[i] += gain * hiss[i];
        }
    }
    return out;
}

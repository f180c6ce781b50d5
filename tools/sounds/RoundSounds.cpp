#include "tools/sounds/RoundSounds.h"
#include "tools/sounds/dsp/Envelope.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Oscillator.h"

#include <array>
#include <cmath>

namespace {

// One inharmonic partial of a struck bell: ratio to the strike note, level, and ring time.
struct Partial {
    float ratio;
    float level;
    float decay; // seconds per e-fold
};

// Minor-third bell: hum an octave down, the prime, a minor third (the dark, ominous colour),
// fifth, nominal, and the inharmonic upper partials (a brief clang) that make it metal. Higher partials die
// sooner, so the stroke starts bright and leaves the low hum.
constexpr std::array<Partial, 12> BellPartials{{
    {0.5f, 0.7f, 1.6f},
    {1.0f, 1.0f, 1.1f},
    {1.183f, 0.7f, 0.9f},
    {1.506f, 0.35f, 0.7f},
    {2.0f, 0.9f, 0.7f},
    {2.514f, 0.45f, 0.45f},
    {2.662f, 0.4f, 0.4f},
    {3.011f, 0.3f, 0.3f},
    {4.166f, 0.22f, 0.2f},
    {5.433f, 0.15f, 0.14f},
    {6.796f, 0.1f, 0.08f},
    {8.215f, 0.07f, 0.06f},
}};

// The hammer's clang: high, closely spaced modes of the rim (2.3 to 4 kHz), gone within a
// quarter of a second, that give the stroke its metal edge.
constexpr std::array<Partial, 4> ClangPartials{{
    {15.7f, 0.7f, 0.12f},
    {18.3f, 0.55f, 0.1f},
    {22.9f, 0.5f, 0.08f},
    {27.4f, 0.35f, 0.06f},
}};

} // namespace

// Ominous bell toll on D3 (147 Hz): twelve inharmonic partials, each doubled 0.7 Hz sharp for a
// slow beating shimmer, struck by a short dull thud of noise, sagging 1% in pitch as it rings.
Signal RoundChange()
{
    constexpr float strike = 146.8f; // D3: low and dark, yet its partials reach small speakers
    constexpr float beat = 0.7f;     // Hz between a partial and its twin: the bell's slow warble
    Noise noise(901);
    OnePole strikeTone(1500.0f);
    std::array<Oscillator, BellPartials.size()> partials;
    std::array<Oscillator, BellPartials.size()> twins;
    std::array<Oscillator, ClangPartials.size()> clangs;
    Signal out(SamplesFor(2.0));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        const float sag = 1.0f - 0.01f * (1.0f - std::exp(-t / 0.5f));
        float y = 0.0f;
        for (std::size_t k = 0; k < BellPartials.size(); ++k) {
            const Partial& p = BellPartials[k];
            const float f = strike * p.ratio * sag;
            const float ring = Envelope::AttackDecay(t, 0.004f, p.decay);
            y += p.level * ring * (partials[k].Sine(f) + 0.3f * twins[k].Sine(f + beat));
        }
        float clang = 0.0f;
        for (std::size_t k = 0; k < ClangPartials.size(); ++k) {
            const Partial& p = ClangPartials[k];
            clang += p.level * Envelope::AttackDecay(t, 0.001f, p.decay) * clangs[k].Sine(strike * p.ratio);
        }
        out[i] = 0.25f * (y + clang) +
                 0.6f * strikeTone.LowPass(noise.White()) * Envelope::AttackDecay(t, 0.001f, 0.012f) * 3.0f;
    }
    return out;
}

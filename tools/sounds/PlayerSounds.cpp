#include "tools/sounds/PlayerSounds.h"
#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Envelope.h"
#include "tools/sounds/dsp/Grains.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Oscillator.h"
#include "tools/sounds/dsp/Voice.h"

#include <cmath>
#include <cstdint>

namespace {

// What makes one footstep differ from another: the same boot never lands twice the same way.
struct Step {
    std::uint32_t seed;
    float thumpHz;    // heel impact pitch
    float thumpDecay; // seconds per e-fold of the heel's ring: harder or softer ground
    float grit;       // centre of the crunch's grains, Hz
    float crunchTime; // seconds the heel's crunch lasts
    float toeDelay;   // seconds from heel to toe
    float toeLevel;   // toe crunch relative to the heel's
    float rustle;     // level of grass brushing the boot
    float click;      // level of the heel's first click
};

// Crunch: grains of grit breaking under the sole, dense at first and thinning out.
void Crunch(Signal& out, Noise& noise, float start, float length, float grit, float level)
{
    constexpr float startRate = 900.0f; // grains per second at first contact
    for (float t = noise.ExponentialGap(startRate); t < length; t += noise.ExponentialGap(startRate)) {
        const float density = 1.0f - t / length;
        if (noise.Unit() > density) {
            continue; // thinning the process instead of changing its rate keeps it Poisson
        }
        const float centre = grit * noise.Range(0.6f, 1.8f);
        MixInto(out, NoiseGrain(noise, centre, 2.0f, noise.Range(0.0005f, 0.002f)), SamplesFor(start + t),
                level * density * noise.Range(0.25f, 0.9f));
    }
}

// Footstep on dirt and grass: a bright click of the heel's first contact, a low heel thump (sine
// falling to 60% of its pitch plus a puff of low brown noise), a gritty crunch of tiny noise
// grains, a softer toe crunch a few hundredths later, and a faint brush of grass.
Signal Footstep(const Step& step)
{
    Noise noise(step.seed);
    BrownNoise earth(step.seed + 1);
    OnePole earthTone(300.0f);
    Biquad grass(Biquad::Kind::HighPass, 4000.0f, ButterworthQ);
    Oscillator thump;
    Signal out(SamplesFor(step.toeDelay + step.crunchTime + 0.06));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        const float f = step.thumpHz * (0.6f + 0.4f * std::exp(-t / 0.02f));
        const float heel = thump.Sine(f) * Envelope::AttackDecay(t, 0.002f, step.thumpDecay);
        const float soil = earthTone.LowPass(earth.Next()) * Envelope::AttackDecay(t, 0.001f, 0.02f);
        const float brush = grass.Process(noise.White()) * Envelope::AttackDecay(t - 0.005f, 0.008f, 0.04f);
        out[i] = 0.8f * heel + 1.8f * soil + step.rustle * brush;
    }
    Crunch(out, noise, 0.002f, step.crunchTime, step.grit, 0.6f);
    Crunch(out, noise, step.toeDelay, 0.6f * step.crunchTime, step.grit * 1.15f, step.toeLevel);
    // The heel's first contact: a click of grit and sole, the step's sharp, bright edge.
    MixInto(out, NoiseGrain(noise, 1.5f * step.grit, 0.8f, 0.002f), 0, step.click);
    return out;
}

} // namespace

// Struck: a dull body blow (sine 110 Hz falling to 55, a burst of low noise) and a short
// forced, breathy "uh!" grunt (a steady voice falling from 150 to 105 Hz through an "uh" vowel).
Signal PlayerHit()
{
    Noise noise(501);
    OnePole blowTone(500.0f);
    Oscillator body;
    Signal out(SamplesFor(0.4));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        const float f = 55.0f + 55.0f * std::exp(-t / 0.03f);
        out[i] = body.Sine(f) * Envelope::AttackDecay(t, 0.002f, 0.035f) +
                 0.8f * blowTone.LowPass(noise.White()) * Envelope::AttackDecay(t, 0.001f, 0.02f) * 4.0f;
    }
    VoiceSettings grunt;
    grunt.duration = 0.32f;
    grunt.pitch = Envelope(150.0f).To(0.32f, 105.0f, -1.5f);
    grunt.loudness = Envelope(0.0f).To(0.015f, 1.0f).To(0.08f, 0.8f).To(0.32f, 0.0f, -2.0f);
    grunt.vowels = {{0.0f, Vowels::Uh}, {0.25f, Vowels::Er}};
    grunt.glottis = {0.55f, 0.02f, 0.06f, 0.0f};
    grunt.breath = 0.3f; // the blow knocks the air out
    grunt.brightness = 5000.0f;
    grunt.aspiration = 0.4f;
    MixInto(out, Speak(grunt, 502), SamplesFor(0.02), 4.0f);
    return out;
}

Signal Walk1()
{
    return Footstep({601, 82.0f, 0.028f, 2600.0f, 0.10f, 0.055f, 0.6f, 0.05f, 5.0f});
}
Signal Walk2()
{
    return Footstep({602, 68.0f, 0.022f, 3100.0f, 0.12f, 0.065f, 0.5f, 0.08f, 3.5f});
}
Signal Walk3()
{
    return Footstep({603, 95.0f, 0.032f, 2300.0f, 0.09f, 0.05f, 0.7f, 0.04f, 4.5f});
}
Signal Walk4()
{
    return Footstep({604, 58.0f, 0.018f, 3600.0f, 0.13f, 0.07f, 0.45f, 0.1f, 3.2f});
}

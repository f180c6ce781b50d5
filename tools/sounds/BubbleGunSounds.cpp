#include "tools/sounds/BubbleGunSounds.h"
#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Envelope.h"
#include "tools/sounds/dsp/Grains.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Oscillator.h"

#include <cmath>

namespace {

// Scatters bubble blips as a Poisson process between two times; pitch is drawn log-uniformly
// in [lowHz, highHz], and bigger (lower) bubbles are louder, as in real bubbling liquid.
void ScatterBubbles(Signal& out, Noise& noise, float from, float to, float ratePerSecond, float lowHz, float highHz,
                    const Envelope& level)
{
    for (float t = from + noise.ExponentialGap(ratePerSecond); t < to; t += noise.ExponentialGap(ratePerSecond)) {
        const float f = lowHz * std::pow(highHz / lowHz, noise.Unit());
        const float size = std::sqrt(lowHz / f);
        MixInto(out, BubbleBlip(f, noise.Range(0.5f, 2.0f)), SamplesFor(t),
                level.At(t) * size * noise.Range(0.4f, 1.0f));
    }
}

} // namespace

// Pneumatic 'tchwup': a sharp crack of air, a low sine thump sweeping down from 260 Hz, a puff
// of air through a closing band-pass, the bubble leaving the muzzle with a rising blip, then a
// few small bubbles wobbling off into a wet tail.
Signal GunShot()
{
    Noise noise(101);
    Signal out(SamplesFor(0.45));
    Oscillator thump;
    Biquad puff;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        // The pitch falls to 70 Hz with a 25 ms time constant: the "wup" of air leaving a tube.
        const float f = 70.0f + 190.0f * std::exp(-t / 0.025f);
        const float body = thump.Sine(f) * Envelope::AttackDecay(t, 0.003f, 0.045f);
        puff.Design(Biquad::Kind::BandPass, 500.0f + 1300.0f * std::exp(-t / 0.02f), 1.2f);
        const float air = puff.Process(noise.White()) * Envelope::AttackDecay(t, 0.001f, 0.025f);
        out[i] = body + 0.7f * air;
    }
    // The bubble detaching from the muzzle: one bright blip, glide exaggerated.
    MixInto(out, BubbleBlip(850.0f, 3.0f), SamplesFor(0.006), 0.45f);
    const Envelope tail = Envelope(0.7f).To(0.35f, 0.15f, -2.0f);
    ScatterBubbles(out, noise, 0.04f, 0.33f, 30.0f, 450.0f, 1300.0f, tail);
    // The valve's crack: air snapping out of the muzzle in a few milliseconds, the bright edge
    // that an ear places the shot by.
    MixInto(out, NoiseGrain(noise, 4500.0f, 0.7f, 0.005f), 0, 2.5f);
    return out;
}

// Bubble bursting into fire: a sharp wet pop (a bright crack and a high noise snap over a low
// thump), a splash of many quick droplet blips and spray, then a swelling whoosh of flame
// (noise through a band-pass that opens upwards) dying into a low roar.
Signal BulletExplode()
{
    Noise noise(202);
    BrownNoise rumble(203);
    Signal out(SamplesFor(0.9));
    Oscillator thump;
    Biquad snap(Biquad::Kind::HighPass, 1200.0f, ButterworthQ);
    Biquad spray(Biquad::Kind::BandPass, 3500.0f, 0.8f);
    Biquad flame;
    OnePole roarTone(400.0f);
    OnePole flutter(12.0f); // flames waver at around ten hertz
    // Flame: nothing for 30 ms, swells to full by 0.22 s, then burns down to nothing.
    const Envelope flameLevel = Envelope(0.0f).To(0.03f, 0.0f).To(0.22f, 1.0f, 2.0f).To(0.9f, 0.0f, -1.5f);
    const Envelope flameColour = Envelope(250.0f).To(0.25f, 1400.0f, -2.0f).To(0.9f, 500.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(SecondsOf(i));
        const float pop = snap.Process(noise.White()) * Envelope::AttackDecay(t, 0.0005f, 0.008f);
        const float low = thump.Sine(50.0f + 80.0f * std::exp(-t / 0.03f)) * Envelope::AttackDecay(t, 0.002f, 0.06f);
        const float wet = spray.Process(noise.White()) * Envelope::AttackDecay(t, 0.003f, 0.07f);
        flame.Design(Biquad::Kind::BandPass, flameColour.At(t), 1.0f);
        const float waver = 1.0f + 6.0f * flutter.LowPass(noise.White());
        const float fire = flame.Process(noise.White()) * 1.6f + roarTone.LowPass(rumble.Next()) * 0.8f;
        out[i] = 1.0f * pop + 0.8f * low + 0.35f * wet + 1.2f * fire * flameLevel.At(t) * waver;
    }
    const Envelope droplets = Envelope(0.5f).To(0.25f, 0.05f, -2.0f);
    ScatterBubbles(out, noise, 0.005f, 0.25f, 120.0f, 600.0f, 3000.0f, droplets);
    // The skin tearing: a crack brighter and sooner than the pop's body.
    MixInto(out, NoiseGrain(noise, 5000.0f, 0.7f, 0.002f), 0, 1.5f);
    return out;
}

// Burning liquid bubbling: a steady stream of bubbles of many sizes (300 Hz to 1.4 kHz) popping
// at random over a low simmering rumble and a faint sizzle.
Signal Bubbling()
{
    Noise noise(303);
    BrownNoise simmer(304);
    OnePole simmerTone(250.0f);
    Signal out(SamplesFor(1.8));
    // The burning film on top sizzles: a faint hiss at 3 to 6 kHz, wavering like the flames,
    // that lets an ear place the puddle.
    Biquad sizzleLow(Biquad::Kind::HighPass, 3000.0f, ButterworthQ);
    Biquad sizzleHigh(Biquad::Kind::LowPass, 6000.0f, ButterworthQ);
    OnePole flutter(10.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float waver = 1.0f + 5.0f * flutter.LowPass(noise.White());
        out[i] = 0.12f * simmerTone.LowPass(simmer.Next()) +
                 0.2f * waver * sizzleHigh.Process(sizzleLow.Process(noise.White()));
    }
    // Rises over the first 0.15 s (the puddle lands), keeps up, then thins out at the end.
    const Envelope level = Envelope(0.4f).To(0.15f, 1.0f).To(1.3f, 1.0f).To(1.8f, 0.2f);
    ScatterBubbles(out, noise, 0.0f, 1.75f, 28.0f, 300.0f, 1400.0f, level);
    return out;
}

// Crackling fire: a wavering low roar with a faint hiss, peppered with sharp crackles
// (single noise grains at 1.5 to 6 kHz) and a few louder snaps; steady from end to end so that
// repeats every 0.3 s run together.
Signal Burning()
{
    Noise noise(404);
    BrownNoise roar(405);
    OnePole roarTone(600.0f);
    OnePole flutter(8.0f);
    Biquad hiss(Biquad::Kind::BandPass, 2500.0f, 0.5f);
    Signal out(SamplesFor(0.5));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float waver = 1.0f + 5.0f * flutter.LowPass(noise.White());
        out[i] = 0.12f * roarTone.LowPass(roar.Next()) * waver + 0.03f * hiss.Process(noise.White());
    }
    // About 60 crackles a second; one in six is a louder, lower snap.
    for (float t = noise.ExponentialGap(60.0f); t < 0.49f; t += noise.ExponentialGap(60.0f)) {
        const bool snap = noise.Unit() < 1.0f / 6.0f;
        const float centre = snap ? noise.Range(1200.0f, 2500.0f) : noise.Range(2000.0f, 6000.0f);
        const float decay = snap ? noise.Range(0.003f, 0.006f) : noise.Range(0.0006f, 0.002f);
        const float gain = snap ? noise.Range(0.7f, 1.0f) : noise.Range(0.15f, 0.5f);
        MixInto(out, NoiseGrain(noise, centre, 1.5f, decay), SamplesFor(t), gain);
    }
    return out;
}

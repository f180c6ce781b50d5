// Synthesis building blocks: filter responses, envelope shapes, the voice source, grains and
// the mastering chain.
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Envelope.h"
#include "tools/sounds/dsp/FormantFilter.h"
#include "tools/sounds/dsp/GlottalSource.h"
#include "tools/sounds/dsp/Grains.h"
#include "tools/sounds/dsp/Mastering.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/OnePole.h"
#include "tools/sounds/dsp/Oscillator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Gain of a filter at `hz`, measured: the RMS ratio of a sine after and before it, skipping
// the first 0.1 s while the filter settles.
template <class Filter> float MeasuredGain(Filter filter, float hz)
{
    Oscillator osc;
    Signal in, out;
    for (std::size_t i = 0; i < SamplesFor(0.5); ++i) {
        const float x = osc.Sine(hz);
        const float y = filter(x);
        if (i >= SamplesFor(0.1)) {
            in.push_back(x);
            out.push_back(y);
        }
    }
    return Rms(out) / Rms(in);
}

float Db(float gain)
{
    return 20.0f * std::log10(gain);
}

} // namespace

TEST(SoundDsp, BiquadResponsesMatchTheirDesign)
{
    Biquad low(Biquad::Kind::LowPass, 1000.0f, ButterworthQ);
    EXPECT_NEAR(Db(low.MagnitudeAt(1000.0f)), -3.01f, 0.05f);
    EXPECT_NEAR(Db(low.MagnitudeAt(50.0f)), 0.0f, 0.05f);
    // Second order: 12 dB per octave, so about -24 dB two octaves above the corner.
    EXPECT_NEAR(Db(low.MagnitudeAt(4000.0f)), -24.0f, 1.5f);
    for (float hz : {200.0f, 1000.0f, 4000.0f}) {
        EXPECT_NEAR(Db(MeasuredGain([&](float x) { return low.Process(x); }, hz)), Db(low.MagnitudeAt(hz)), 0.2f)
            << hz << " Hz";
    }

    Biquad high(Biquad::Kind::HighPass, 500.0f, ButterworthQ);
    EXPECT_NEAR(Db(high.MagnitudeAt(500.0f)), -3.01f, 0.05f);
    EXPECT_LT(high.MagnitudeAt(10.0f), 0.001f);
    EXPECT_NEAR(MeasuredGain([&](float x) { return high.Process(x); }, 5000.0f), 1.0f, 0.02f);

    Biquad band(Biquad::Kind::BandPass, 2000.0f, 4.0f);
    EXPECT_NEAR(band.MagnitudeAt(2000.0f), 1.0f, 0.01f);
    // Bandwidth 500 Hz: the half-power points straddle the centre.
    EXPECT_LT(band.MagnitudeAt(1500.0f), 0.75f);
    EXPECT_LT(band.MagnitudeAt(2600.0f), 0.75f);
    EXPECT_LT(band.MagnitudeAt(200.0f), 0.05f);

    Biquad peak(Biquad::Kind::Peaking, 800.0f, 1.0f, 6.0f);
    EXPECT_NEAR(Db(peak.MagnitudeAt(800.0f)), 6.0f, 0.05f);
    EXPECT_NEAR(Db(peak.MagnitudeAt(20000.0f)), 0.0f, 0.3f);
}

TEST(SoundDsp, BiquadSurvivesSweepsBeyondNyquist)
{
    // Recipes sweep corners from envelopes; a corner past Nyquist must not blow the filter up.
    Biquad f;
    Noise noise(1);
    float largest = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        f.Design(Biquad::Kind::BandPass, static_cast<float>(i) * 2.0f, 3.0f);
        largest = std::max(largest, std::fabs(f.Process(noise.White())));
    }
    EXPECT_TRUE(std::isfinite(largest));
    EXPECT_LT(largest, 10.0f);
}

TEST(SoundDsp, OnePoleIsASixDbPerOctaveSplit)
{
    OnePole lp(500.0f);
    EXPECT_NEAR(Db(MeasuredGain([&](float x) { return lp.LowPass(x); }, 500.0f)), -3.0f, 0.3f);
    OnePole lp2(500.0f);
    EXPECT_NEAR(Db(MeasuredGain([&](float x) { return lp2.LowPass(x); }, 5000.0f)), -20.0f, 1.0f);
    OnePole hp(500.0f);
    EXPECT_GT(MeasuredGain([&](float x) { return hp.HighPass(x); }, 8000.0f), 0.95f);
    OnePole hp2(500.0f);
    EXPECT_LT(MeasuredGain([&](float x) { return hp2.HighPass(x); }, 50.0f), 0.15f);
    OnePole dc(500.0f);
    float y = 1.0f;
    for (int i = 0; i < 2000; ++i) {
        y = dc.HighPass(1.0f);
    }
    EXPECT_NEAR(y, 0.0f, 1e-4f);
}

TEST(SoundDsp, EnvelopeFollowsItsBreakpointsAndBends)
{
    const Envelope e = Envelope(0.0f).To(0.1f, 1.0f).To(0.5f, 0.2f).To(1.0f, 0.2f);
    EXPECT_FLOAT_EQ(e.At(-1.0f), 0.0f);
    EXPECT_FLOAT_EQ(e.At(0.05f), 0.5f);
    EXPECT_FLOAT_EQ(e.At(0.1f), 1.0f);
    EXPECT_NEAR(e.At(0.3f), 0.6f, 1e-5f);
    EXPECT_FLOAT_EQ(e.At(0.75f), 0.2f);
    EXPECT_FLOAT_EQ(e.At(5.0f), 0.2f);
    EXPECT_FLOAT_EQ(e.Duration(), 1.0f);

    // A negative bend falls fast first (a natural decay), a positive one slowly first; both
    // still end exactly on the breakpoint and stay monotonic.
    const Envelope fast = Envelope(1.0f).To(1.0f, 0.0f, -4.0f);
    const Envelope slow = Envelope(1.0f).To(1.0f, 0.0f, 4.0f);
    EXPECT_LT(fast.At(0.5f), 0.5f - 0.3f);
    EXPECT_GT(slow.At(0.5f), 0.5f + 0.3f);
    EXPECT_NEAR(fast.At(0.999999f), 0.0f, 1e-4f);
    float previous = 2.0f;
    for (float t = 0.0f; t <= 1.0f; t += 0.01f) {
        EXPECT_LE(fast.At(t), previous);
        previous = fast.At(t);
    }
    EXPECT_THROW(Envelope(0.0f).To(0.5f, 1.0f).To(0.4f, 0.0f), std::invalid_argument);
    EXPECT_FLOAT_EQ(Envelope().At(0.3f), 0.0f);
}

TEST(SoundDsp, AttackDecayRisesSmoothlyThenFallsByTimeConstant)
{
    EXPECT_FLOAT_EQ(Envelope::AttackDecay(-0.01f, 0.01f, 0.1f), 0.0f);
    EXPECT_FLOAT_EQ(Envelope::AttackDecay(0.0f, 0.01f, 0.1f), 0.0f);
    EXPECT_NEAR(Envelope::AttackDecay(0.005f, 0.01f, 0.1f), std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(Envelope::AttackDecay(0.01f, 0.01f, 0.1f), 1.0f, 1e-6f);
    EXPECT_NEAR(Envelope::AttackDecay(0.11f, 0.01f, 0.1f), std::exp(-1.0f), 1e-5f);
}

TEST(SoundDsp, NoiseIsSeededBoundedAndPoisson)
{
    Noise a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const float x = a.White();
        EXPECT_EQ(x, b.White());
        differs |= x != c.White();
        EXPECT_GE(x, -1.0f);
        EXPECT_LT(x, 1.0f);
    }
    EXPECT_TRUE(differs);
    Noise gaps(9);
    double sum = 0.0;
    for (int i = 0; i < 20000; ++i) {
        sum += gaps.ExponentialGap(50.0f);
    }
    EXPECT_NEAR(sum / 20000.0, 1.0 / 50.0, 0.001);
    Noise pick(10);
    for (int i = 0; i < 1000; ++i) {
        const int k = pick.Index(3);
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 3);
    }
}

TEST(SoundDsp, GlottalSourceSpeaksAtItsPitch)
{
    for (float f0 : {70.0f, 110.0f, 180.0f}) {
        GlottalSource source({0.6f, 0.02f, 0.1f, 0.0f}, 3);
        Signal s;
        for (std::size_t i = 0; i < SamplesFor(0.5); ++i) {
            s.push_back(source.Next(f0));
        }
        EXPECT_NEAR(MedianPitch(s, 0.05, 0.45, 40.0f, 400.0f), f0, 0.03f * f0) << f0 << " Hz";
        EXPECT_NEAR(Mean(s), 0.0f, 0.01f); // a derivative of a closed flow carries no DC
        EXPECT_GT(Peak(s), 0.5f);
        EXPECT_LT(Peak(s), 2.0f);
    }
}

TEST(SoundDsp, FormantFilterResonatesAtTheVowelsFormants)
{
    const FormantFilter ah(Vowels::Ah);
    EXPECT_GT(ah.MagnitudeAt(730.0f), 0.9f);
    EXPECT_LT(ah.MagnitudeAt(300.0f), 0.3f);
    EXPECT_GT(ah.MagnitudeAt(1090.0f), ah.MagnitudeAt(1800.0f) * 3.0f);

    // A longer throat moves every formant down by the same factor.
    const Vowel deep = Vowels::Ah.Lengthened(1.25f);
    EXPECT_FLOAT_EQ(deep.frequency[0], 730.0f / 1.25f);
    EXPECT_FLOAT_EQ(deep.frequency[2], 2440.0f / 1.25f);
    const FormantFilter deepAh(deep);
    EXPECT_GT(deepAh.MagnitudeAt(584.0f), 0.9f);

    const Vowel half = Vowel::Blend(Vowels::Oo, Vowels::Ah, 0.5f);
    EXPECT_FLOAT_EQ(half.frequency[0], (300.0f + 730.0f) / 2.0f);
    EXPECT_FLOAT_EQ(Vowel::Blend(Vowels::Oo, Vowels::Ah, 1.0f).frequency[1], 1090.0f);
}

TEST(SoundDsp, BubbleBlipRingsUpwardAndDies)
{
    const Signal blip = BubbleBlip(600.0f, 1.0f);
    EXPECT_GT(Peak(blip), 0.5f);
    EXPECT_LE(Peak(blip), 1.0f);
    EXPECT_EQ(blip.front(), 0.0f);
    EXPECT_LT(std::fabs(blip.back()), 0.002f);
    // The pitch glides up as the bubble shrinks.
    const float early = PitchAt(blip, 0.0, 0.01, 300.0f, 2000.0f);
    const float late = PitchAt(blip, 0.03, 0.01, 300.0f, 2000.0f);
    EXPECT_NEAR(early, 600.0f, 30.0f);
    EXPECT_GT(late, early * 1.03f);

    // Bigger (lower) bubbles ring longer.
    EXPECT_GT(BubbleBlip(300.0f, 1.0f).size(), BubbleBlip(1200.0f, 1.0f).size());

    Noise noise(4);
    const Signal grain = NoiseGrain(noise, 3000.0f, 2.0f, 0.002f);
    EXPECT_NEAR(Peak(grain), 1.0f, 1e-5f);
    EXPECT_GT(BandEnergyFraction(grain, 1500.0f, 6000.0f), 0.7f);
}

TEST(SoundDsp, MasteringCentresFadesAndNormalises)
{
    Signal s(SamplesFor(0.5));
    Oscillator osc;
    for (float& x : s) {
        x = 0.3f + 2.0f * osc.Sine(440.0f); // offset and too loud
    }
    Master(s, {0.891f, 0.002f, 0.015f});
    EXPECT_NEAR(Peak(s), 0.891f, 1e-5f);
    EXPECT_NEAR(Mean(s), 0.0f, 0.002f);
    EXPECT_EQ(s.front(), 0.0f);
    EXPECT_EQ(s.back(), 0.0f);
    // The fades are short: full level is back within a few milliseconds of either end.
    EXPECT_GT(RmsBetween(s, 0.01, 0.03), 0.55f);
    EXPECT_GT(RmsBetween(s, 0.47, 0.48), 0.55f);
    EXPECT_LT(std::fabs(s[SamplesFor(0.0005)]), 0.891f * 0.2f);

    Signal silent(1000, 0.0f);
    EXPECT_THROW(NormalisePeak(silent, 0.9f), std::invalid_argument);
    Signal broken(1000, 0.1f);
    broken[500] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(NormalisePeak(broken, 0.9f), std::invalid_argument);

    // Fades longer than the sound stay inside it and still land on zero at both ends.
    Signal tiny{0.5f, -0.25f, 0.5f};
    ApplyFades(tiny, 1.0f, 1.0f);
    EXPECT_EQ(tiny.front(), 0.0f);
    EXPECT_EQ(tiny.back(), 0.0f);
}

// The measurements behind the sound balance tests (FFT high band, BS.1770 loudness, attack
// time, take distances) read known signals right; otherwise the content would pass or fail for
// the wrong reasons.
#include "tools/sounds/Loudness.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/Spectrum.h"
#include "tools/sounds/TakeDistance.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/Oscillator.h"

#include "support/TestTones.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Signal WhiteNoise(double seconds, std::uint32_t seed)
{
    Noise noise(seed);
    Signal s(SamplesFor(seconds));
    for (float& x : s) {
        x = noise.White();
    }
    return s;
}

} // namespace

TEST(SoundMeasures, HighBandShareSplitsAtTheCutoff)
{
    EXPECT_LT(HighBandShare(Tone(1000.0f, 0.5)), 0.001f);
    EXPECT_GT(HighBandShare(Tone(4000.0f, 0.5)), 0.999f);
    // White noise spreads evenly up to Nyquist: the share is the band's width over it.
    EXPECT_NEAR(HighBandShare(WhiteNoise(1.0, 1)), (22050.0f - 2000.0f) / 22050.0f, 0.01f);
    EXPECT_NEAR(HighBandShare(WhiteNoise(1.0, 1), 11025.0f), 0.5f, 0.01f);
    // Mixed at equal power, a low and a high tone split it evenly.
    Signal both = Tone(500.0f, 0.5);
    const Signal high = Tone(5000.0f, 0.5);
    for (std::size_t i = 0; i < both.size(); ++i) {
        both[i] += high[i];
    }
    EXPECT_NEAR(HighBandShare(both), 0.5f, 0.01f);
    EXPECT_EQ(HighBandShare(Signal(1000, 0.0f)), 0.0f);
}

TEST(SoundMeasures, LoudnessFollowsTheReferenceMeter)
{
    // BS.1770's calibration: a full-scale 1 kHz sine in one front channel reads -3.01 LUFS.
    EXPECT_NEAR(IntegratedLoudness(Tone(1000.0f, 1.0)), -3.01, 0.1);
    // Half the amplitude, 6 dB less.
    EXPECT_NEAR(IntegratedLoudness(Tone(1000.0f, 1.0, 0.5f)), -9.03, 0.1);
    // K-weighting: a 100 Hz tone counts for less than a 1 kHz one, a 4 kHz tone for more.
    EXPECT_LT(IntegratedLoudness(Tone(100.0f, 1.0)), -3.5);
    EXPECT_GT(IntegratedLoudness(Tone(4000.0f, 1.0)), -2.0);
    // A 0.2 s sound is measured as the 0.4 s block that holds it: half the energy, 3 dB down.
    EXPECT_NEAR(IntegratedLoudness(Tone(1000.0f, 0.2)), -6.02, 0.2);
    EXPECT_TRUE(std::isinf(IntegratedLoudness(Signal(SamplesFor(0.5), 0.0f))));
}

TEST(SoundMeasures, AttackTimeOfRampsAndSteps)
{
    // A linear 20 ms swell: 10% to 90% of it takes 16 ms (1 ms windows smear each end a little).
    Signal swell = Tone(1000.0f, 0.3);
    for (std::size_t i = 0; i < SamplesFor(0.02); ++i) {
        swell[i] *= static_cast<float>(SecondsOf(i) / 0.02);
    }
    EXPECT_NEAR(AttackTime(swell), 0.016, 0.0015);
    // A step: within one window.
    EXPECT_LE(AttackTime(Tone(1000.0f, 0.3)), 0.001);
    // Silence first does not count: attack is measured from the onset.
    Signal late(SamplesFor(0.1), 0.0f);
    late.insert(late.end(), swell.begin(), swell.end());
    EXPECT_NEAR(AttackTime(late), AttackTime(swell), 0.0005);
}

TEST(SoundMeasures, TakeDistancesIgnoreLevelAndSeeColourAndShape)
{
    const Signal noise = WhiteNoise(0.5, 2);
    Signal quieter = noise;
    for (float& x : quieter) {
        x *= 0.25f;
    }
    EXPECT_LT(SpectralDistance(noise, quieter), 0.01f);
    EXPECT_LT(EnvelopeDistance(noise, quieter), 0.01f);
    // A tone puts all its energy in one band, noise in every band.
    EXPECT_GT(SpectralDistance(noise, Tone(1000.0f, 0.5)), 20.0f);
    // Steady noise against noise that fades out over its length: same colour, other shape.
    Signal fading = noise;
    for (std::size_t i = 0; i < fading.size(); ++i) {
        fading[i] *= static_cast<float>(std::pow(0.001, static_cast<double>(i) / fading.size()));
    }
    // Weighting one noise's samples unevenly only shuffles the few bins of the lowest bands.
    EXPECT_LT(SpectralDistance(noise, fading), 2.5f);
    EXPECT_GT(EnvelopeDistance(noise, fading), 15.0f);
    // A longer take is silent where the shorter one has ended.
    Signal longer = noise;
    longer.insert(longer.end(), noise.begin(), noise.end());
    EXPECT_GT(EnvelopeDistance(noise, longer), 20.0f);
}

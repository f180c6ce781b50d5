// The measurements that check generated sounds: they must read known signals right, or the
// content tests would pass or fail for the wrong reasons.
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/Oscillator.h"

#include "support/TestTones.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SoundAnalysis, LevelsOfASine)
{
    const Signal s = Tone(440.0f, 1.0, 0.5f);
    EXPECT_NEAR(Peak(s), 0.5f, 1e-3f);
    EXPECT_NEAR(Rms(s), 0.5f / std::sqrt(2.0f), 1e-3f);
    EXPECT_NEAR(Mean(s), 0.0f, 1e-3f);
    EXPECT_NEAR(RmsBetween(s, 0.25, 0.5), Rms(s), 1e-3f);
    EXPECT_EQ(RmsBetween(s, 0.5, 0.5), 0.0f);
    EXPECT_EQ(RmsBetween(s, 2.0, 3.0), 0.0f); // past the end
    EXPECT_EQ(Rms(Signal{}), 0.0f);
}

TEST(SoundAnalysis, EnergyInTimeAndFrequency)
{
    Signal s = Tone(300.0f, 1.0);
    for (std::size_t i = SamplesFor(0.5); i < s.size(); ++i) {
        s[i] *= 0.5f; // second half a quarter of the power
    }
    EXPECT_NEAR(EnergyFractionBefore(s, 0.5), 0.8f, 0.01f);
    EXPECT_NEAR(EnergyFractionBefore(s, 10.0), 1.0f, 1e-6f);

    EXPECT_GT(BandEnergyFraction(Tone(300.0f, 1.0), 0.0f, 1000.0f), 0.98f);
    EXPECT_LT(BandEnergyFraction(Tone(5000.0f, 1.0), 0.0f, 1000.0f), 0.01f);
    EXPECT_GT(BandEnergyFraction(Tone(5000.0f, 1.0), 2000.0f, SampleRate), 0.98f);
    EXPECT_NEAR(SpectralCentroid(Tone(1000.0f, 1.0)), 1000.0f, 150.0f);
    EXPECT_GT(SpectralCentroid(Tone(4000.0f, 1.0)), 3000.0f);

    const std::vector<float> profile = OctaveProfile(Tone(250.0f, 1.0));
    ASSERT_EQ(profile.size(), OctaveCentres().size());
    EXPECT_NEAR(profile[2], 0.0f, 1.0f); // 250 Hz is the third band's centre
    EXPECT_LT(profile[5], -30.0f);
}

TEST(SoundAnalysis, PitchOfHarmonicAndMissingFundamentalTones)
{
    EXPECT_NEAR(PitchAt(Tone(100.0f, 0.5), 0.1, 0.05, 40.0f, 400.0f), 100.0f, 0.5f);
    // A buzz of harmonics 2..6 of 80 Hz is heard (and measured) at 80 Hz, not at 160.
    Signal buzz(SamplesFor(0.5), 0.0f);
    for (int k = 2; k <= 6; ++k) {
        const Signal h = Tone(80.0f * static_cast<float>(k), 0.5, 1.0f / static_cast<float>(k));
        for (std::size_t i = 0; i < buzz.size(); ++i) {
            buzz[i] += h[i];
        }
    }
    EXPECT_NEAR(MedianPitch(buzz, 0.0, 0.45, 40.0f, 400.0f), 80.0f, 1.0f);
    // Noise has no pitch.
    Noise noise(5);
    Signal hiss(SamplesFor(0.5));
    for (float& x : hiss) {
        x = noise.White();
    }
    EXPECT_EQ(MedianPitch(hiss, 0.0, 0.45, 40.0f, 400.0f), 0.0f);
    // A window running past the end is not measured.
    EXPECT_EQ(PitchAt(Tone(100.0f, 0.1), 0.08, 0.05, 40.0f, 400.0f), 0.0f);
}

TEST(SoundAnalysis, RunsEnvelopesAndTransients)
{
    Signal s(1000, 0.1f);
    s[10] = s[11] = s[12] = 1.0f;
    s[500] = -1.0f;
    EXPECT_EQ(LongestRunAtOrAbove(s, 0.999f), 3u);
    EXPECT_EQ(LongestRunAtOrAbove(s, 2.0f), 0u);

    const std::vector<float> env = RmsEnvelope(Tone(200.0f, 1.0), 0.1);
    EXPECT_EQ(env.size(), 10u);
    EXPECT_NEAR(env[4], 1.0f / std::sqrt(2.0f), 0.01f);

    // Five clicks over a quiet hum are five transients; the steady hum alone is none.
    Signal clicks = Tone(100.0f, 1.0, 0.01f);
    EXPECT_EQ(CountTransients(clicks, 3.0f, 0.05f), 0);
    for (int k = 1; k <= 5; ++k) {
        const std::size_t at = SamplesFor(0.15 * k);
        for (std::size_t i = 0; i < SamplesFor(0.004); ++i) {
            clicks[at + i] += (i % 2 ? 0.8f : -0.8f);
        }
    }
    EXPECT_EQ(CountTransients(clicks, 3.0f, 0.05f), 5);
}

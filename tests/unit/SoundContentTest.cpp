// The game's sounds as the game gets them: out of the pack, decoded by libsndfile from memory,
// then checked by numbers for level, cleanliness and for being the sound their name promises.
#include "PackSounds.h"
#include "tools/sounds/SoundAnalysis.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <string>

namespace {

using packsounds::GainInGame;
using packsounds::Samples;
using packsounds::Seconds;
const auto& SoundNames = packsounds::Names;

// Largest normalised cross-correlation of two sounds within +-20 ms of alignment: near 1 for
// copies, shifted copies and copies at another level.
float Likeness(const Signal& a, const Signal& b)
{
    const std::ptrdiff_t maxShift = static_cast<std::ptrdiff_t>(SamplesFor(0.02));
    const double ea = std::inner_product(a.begin(), a.end(), a.begin(), 0.0);
    const double eb = std::inner_product(b.begin(), b.end(), b.begin(), 0.0);
    float best = 0.0f;
    for (std::ptrdiff_t shift = -maxShift; shift <= maxShift; shift += 2) {
        double xy = 0.0;
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(0, -shift);
             i < static_cast<std::ptrdiff_t>(a.size()) && i + shift < static_cast<std::ptrdiff_t>(b.size()); ++i) {
            xy += static_cast<double>(a[static_cast<std::size_t>(i)]) * b[static_cast<std::size_t>(i + shift)];
        }
        best = std::max(best, static_cast<float>(std::fabs(xy) / std::sqrt(ea * eb)));
    }
    return best;
}

// Two sounds that are not the same take twice: their waveforms do not line up (likeness below
// `maxLikeness`), and they differ audibly in length, pitch or colour.
void ExpectDistinct(const std::string& a, const std::string& b, float maxLikeness, float minCentroidShift)
{
    SCOPED_TRACE(a + " vs " + b);
    EXPECT_LT(Likeness(Samples(a), Samples(b)), maxLikeness);
    const float ca = SpectralCentroid(Samples(a));
    const float cb = SpectralCentroid(Samples(b));
    const double lengthShift = std::fabs(Seconds(a) - Seconds(b));
    const float colourShift = std::fabs(ca - cb) / std::min(ca, cb);
    const float pa = MedianPitch(Samples(a), 0.0, Seconds(a), 40.0f, 400.0f);
    const float pb = MedianPitch(Samples(b), 0.0, Seconds(b), 40.0f, 400.0f);
    const float pitchShift = std::fabs(pa - pb) / std::max(1.0f, std::min(pa, pb));
    EXPECT_TRUE(lengthShift >= 0.1 || colourShift >= minCentroidShift || pitchShift >= 0.08f)
        << "length differs by " << lengthShift << " s, centroid by " << colourShift * 100.0f << "%, pitch by "
        << pitchShift * 100.0f << "%";
}

} // namespace

TEST(SoundContent, EverySoundIsAShortMonoPcmWavInThePack)
{
    for (const std::string& name : SoundNames) {
        SCOPED_TRACE(name);
        const packsounds::Decoded& s = packsounds::Sound(name);
        EXPECT_EQ(s.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(s.channels, 1); // positional playback needs mono
        EXPECT_TRUE(s.sampleRate == 44100 || s.sampleRate == 22050) << s.sampleRate;
        EXPECT_GE(s.Seconds(), 0.05);
        EXPECT_LE(s.Seconds(), 2.0);
    }
}

TEST(SoundContent, EverySoundIsNormalisedCentredAndClickFree)
{
    for (const std::string& name : SoundNames) {
        SCOPED_TRACE(name);
        const Signal& s = Samples(name);
        ASSERT_GT(s.size(), 100u);
        const float peak = Peak(s);
        EXPECT_LE(peak, 1.0f);
        // Levelled by loudness (SoundBalance), never over full scale at the game's playback gain,
        // and not so far under it that the 16-bit steps start to show.
        const float heard = peak * GainInGame(name);
        EXPECT_GE(heard, 0.1f);
        EXPECT_LE(heard, 1.0f) << "overdrives the mix at the game's playback gain";
        EXPECT_GT(20.0f * std::log10(Rms(s) / peak), -30.0f) << "little more than silence";
        EXPECT_LE(LongestRunAtOrAbove(s, 0.99f), 1u) << "clipped";
        EXPECT_LT(std::fabs(Mean(s)), 0.002f) << "DC offset";
        // Starts and stops at rest: no step for the speaker to click on.
        EXPECT_LT(std::fabs(s.front()), 0.002f);
        EXPECT_LT(std::fabs(s.back()), 0.002f);
        EXPECT_LT(Peak(Signal(s.begin(), s.begin() + 8)), 0.05f);
        EXPECT_LT(Peak(Signal(s.end() - 8, s.end())), 0.05f);
    }
}

TEST(SoundContent, GunShotIsAPopWithACrack)
{
    const Signal& s = Samples("GunShot");
    EXPECT_LT(Seconds("GunShot"), 1.0);
    EXPECT_GT(EnergyFractionBefore(s, 0.25 * Seconds("GunShot")), 0.7f) << "energy not front-loaded";
    const std::vector<float> env = RmsEnvelope(s, 0.01);
    EXPECT_LT(std::max_element(env.begin(), env.end()) - env.begin(), 5) << "loudest after 50 ms";
    // A bubble's pop under the crack of air (SoundBalance checks the crack): the low thump
    // still carries most of the energy.
    EXPECT_GT(BandEnergyFraction(s, 0.0f, 1000.0f), 0.5f);
    // The wet tail is still there after the pop.
    EXPECT_GT(RmsBetween(s, 0.1, 0.25), 0.05f * RmsBetween(s, 0.0, 0.05));
}

TEST(SoundContent, GroansAreLowVoicedAndDistinct)
{
    for (const char* name : {"ZombieNormal1", "ZombieNormal2", "ZombieNormal3"}) {
        SCOPED_TRACE(name);
        const Signal& s = Samples(name);
        EXPECT_GE(Seconds(name), 0.8);
        EXPECT_GT(BandEnergyFraction(s, 0.0f, 1000.0f), 0.8f);
        const float pitch = MedianPitch(s, 0.0, Seconds(name), 40.0f, 400.0f);
        EXPECT_GE(pitch, 50.0f);
        EXPECT_LE(pitch, 160.0f);
    }
    ExpectDistinct("ZombieNormal1", "ZombieNormal2", 0.5f, 0.1f);
    ExpectDistinct("ZombieNormal1", "ZombieNormal3", 0.5f, 0.1f);
    ExpectDistinct("ZombieNormal2", "ZombieNormal3", 0.5f, 0.1f);
}

TEST(SoundContent, ZombieAttackIsALoudBrightSnarl)
{
    const Signal& s = Samples("ZombieAttack2");
    EXPECT_GE(Seconds("ZombieAttack2"), 0.4);
    // Sustained and dense, unlike a pop: RMS within 14 dB of the peak.
    EXPECT_GT(Rms(s) / Peak(s), 0.2f);
    EXPECT_LT(EnergyFractionBefore(s, 0.25 * Seconds("ZombieAttack2")), 0.6f);
    // Harsher than any idle groan.
    for (const char* groan : {"ZombieNormal1", "ZombieNormal2", "ZombieNormal3"}) {
        EXPECT_GT(SpectralCentroid(s), 1.3f * SpectralCentroid(Samples(groan))) << groan;
    }
}

TEST(SoundContent, DeathCriesFallInPitch)
{
    for (const char* name : {"ZombieDeath1", "ZombieDeath2"}) {
        SCOPED_TRACE(name);
        const double length = Seconds(name);
        EXPECT_GE(length, 0.8);
        const float early = MedianPitch(Samples(name), 0.0, length / 3.0, 40.0f, 400.0f);
        const float late = MedianPitch(Samples(name), 2.0 * length / 3.0, length, 40.0f, 400.0f);
        ASSERT_GT(early, 0.0f) << "no voice at the start";
        ASSERT_GT(late, 0.0f) << "no voice at the end";
        EXPECT_GT(early, 1.25f * late);
    }
    ExpectDistinct("ZombieDeath1", "ZombieDeath2", 0.5f, 0.1f);
}

TEST(SoundContent, PlayerHitIsAThudWithAGrunt)
{
    const Signal& s = Samples("PlayerHit");
    EXPECT_LT(Seconds("PlayerHit"), 0.8);
    EXPECT_GT(EnergyFractionBefore(s, 0.1), 0.5f);
    EXPECT_GT(BandEnergyFraction(s, 0.0f, 250.0f), 0.2f) << "no body blow";
    // Once the blow has died down, a voice at a man's pitch remains.
    const float grunt = MedianPitch(s, 0.12, 0.3, 40.0f, 400.0f);
    EXPECT_GE(grunt, 90.0f);
    EXPECT_LE(grunt, 200.0f);
}

TEST(SoundContent, FootstepsAreShortGrittyThumpsAndAllDifferent)
{
    const std::array<const char*, 4> steps{"Walk1", "Walk2", "Walk3", "Walk4"};
    for (const char* name : steps) {
        SCOPED_TRACE(name);
        const Signal& s = Samples(name);
        EXPECT_LT(Seconds(name), 0.5); // two fall in every walk cycle
        EXPECT_GT(EnergyFractionBefore(s, 0.1), 0.8f);
        EXPECT_GT(BandEnergyFraction(s, 0.0f, 250.0f), 0.3f) << "no thump";
        EXPECT_GT(BandEnergyFraction(s, 2000.0f, SampleRate), 0.05f) << "no grit";
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        for (std::size_t j = i + 1; j < steps.size(); ++j) {
            // Every heel strike starts as a few cycles of a low thump, so steps line up more than
            // voices do; a copy would still come out near 1.
            ExpectDistinct(steps[i], steps[j], 0.75f, 0.05f);
        }
    }
}

TEST(SoundContent, BubblingIsManyPopsSpreadOverTime)
{
    const Signal& s = Samples("Bubbling");
    EXPECT_GE(Seconds("Bubbling"), 1.0);
    EXPECT_GE(CountTransients(s, 2.0f, 0.1f), 8);
    EXPECT_LT(EnergyFractionBefore(s, 0.25 * Seconds("Bubbling")), 0.5f);
    EXPECT_GT(BandEnergyFraction(s, 250.0f, 2000.0f), 0.6f) << "bubbles ring between a few hundred hertz and 2 kHz";
}

TEST(SoundContent, BulletExplodePopsThenWhooshes)
{
    const Signal& s = Samples("BulletExplode");
    const std::vector<float> env = RmsEnvelope(s, 0.01);
    EXPECT_LT(std::max_element(env.begin(), env.begin() + 10) - env.begin(), 3) << "no sharp pop";
    // The flame swells up after the pop: a second maximum well after it.
    EXPECT_GT(RmsBetween(s, 0.15, 0.3), 0.5f * RmsBetween(s, 0.0, 0.05));
    EXPECT_GT(RmsBetween(s, 0.15, 0.3), 2.0f * RmsBetween(s, 0.05, 0.1));
    EXPECT_GT(BandEnergyFraction(s, 2000.0f, SampleRate), 0.1f) << "no hiss of spray and flame";
}

TEST(SoundContent, BurningCracklesSteadilyAcrossItsRepeat)
{
    const Signal& s = Samples("Burning");
    // Repeats every 0.3 s: shorter would leave gaps between repeats.
    EXPECT_GE(Seconds("Burning"), 0.3);
    EXPECT_LE(Seconds("Burning"), 1.0);
    EXPECT_GT(Peak(s) / Rms(s), 6.0f) << "no crackles standing out of the roar";
    EXPECT_GT(BandEnergyFraction(s, 2000.0f, SampleRate), 0.25f);
    const double half = Seconds("Burning") / 2.0;
    const float first = RmsBetween(s, 0.03, half);
    const float second = RmsBetween(s, half, 2.0 * half - 0.03);
    EXPECT_LT(std::max(first, second) / std::min(first, second), 2.5f) << "not steady enough to repeat";
}

TEST(SoundContent, RoundChangeRingsOnAtOneLowPitch)
{
    const Signal& s = Samples("RoundChange");
    EXPECT_GE(Seconds("RoundChange"), 1.0);
    EXPECT_GT(RmsBetween(s, 0.8, 1.0), 0.2f * RmsBetween(s, 0.0, 0.2)) << "dies too soon for a bell";
    const float early = PitchAt(s, 0.3, 0.05, 40.0f, 400.0f);
    const float late = PitchAt(s, 1.2, 0.05, 40.0f, 400.0f);
    EXPECT_GT(early, 0.0f);
    EXPECT_LT(early, 200.0f);
    EXPECT_NEAR(late, early, 0.03f * early);
}

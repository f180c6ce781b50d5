// What lets a player tell the game's sounds apart and place them, measured on the sounds in the
// pack: voices carry breath and rasp in the high band like speech, shots and impacts start with
// a bright crack, the takes of one sound differ, and each class of sounds is evenly loud at the
// volume the game plays it.
#include "PackSounds.h"
#include "tools/sounds/Loudness.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/Spectrum.h"
#include "tools/sounds/TakeDistance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using packsounds::Samples;

// The zombies' voices: what a crowd of them says must sit at one level.
const std::vector<std::string> ZombieVoices{"ZombieNormal1", "ZombieNormal2", "ZombieNormal3",
                                            "ZombieAttack2", "ZombieDeath1",  "ZombieDeath2"};
// Every voice, the player's grunt included.
std::vector<std::string> Voices()
{
    std::vector<std::string> v = ZombieVoices;
    v.push_back("PlayerHit");
    return v;
}
const std::vector<std::string> Impacts{"GunShot", "BulletExplode", "Walk1", "Walk2", "Walk3", "Walk4"};
const std::vector<std::string> Effects{"GunShot", "Bubbling", "PlayerHit", "RoundChange", "BulletExplode",
                                       "Burning", "Walk1",    "Walk2",     "Walk3",       "Walk4"};

double LoudnessInGame(const std::string& name)
{
    return IntegratedLoudness(Samples(name)) + 20.0 * std::log10(packsounds::GainInGame(name));
}

// Largest minus smallest in-game loudness over `names` is at most `spread` dB.
void ExpectEvenLoudness(const std::vector<std::string>& names, double spread)
{
    double lo = 1e9, hi = -1e9;
    std::string readings;
    for (const std::string& name : names) {
        const double l = LoudnessInGame(name);
        readings += name + " " + std::to_string(l) + " LUFS; ";
        lo = std::min(lo, l);
        hi = std::max(hi, l);
    }
    EXPECT_LE(hi - lo, spread) << readings;
}

void ExpectDifferentTakes(const std::string& a, const std::string& b)
{
    SCOPED_TRACE(a + " vs " + b);
    // 3 dB of average colour difference across the third-octave bands is plainly heard; the
    // loudness contours must differ by more than the ear's few-dB tolerance on a repeat.
    EXPECT_GE(SpectralDistance(Samples(a), Samples(b)), 3.0f);
    EXPECT_GE(EnvelopeDistance(Samples(a), Samples(b)), 6.0f);
}

} // namespace

TEST(SoundBalance, VoicesCarryBreathAndRaspLikeSpeech)
{
    // Speech keeps a few percent of its energy above 2 kHz (fricatives, breath, the third and
    // fourth formants); much less is a hum, much more a hiss.
    for (const std::string& name : Voices()) {
        const float share = HighBandShare(Samples(name));
        EXPECT_GE(share, 0.03f) << name;
        EXPECT_LE(share, 0.15f) << name;
    }
}

TEST(SoundBalance, EverySoundReachesTheBandEarsPlaceItBy)
{
    // Front and back, near and far are heard above 2 kHz: a sound with nothing there (a bubbling
    // hum, a bell's low partials alone) cannot be placed.
    for (const std::string& name : packsounds::Names) {
        EXPECT_GE(HighBandShare(Samples(name)), 0.02f) << name;
    }
}

TEST(SoundBalance, ShotsAndImpactsStartWithABrightCrack)
{
    for (const std::string& name : Impacts) {
        SCOPED_TRACE(name);
        const Signal& s = Samples(name);
        EXPECT_LT(AttackTime(s), 0.005);
        EXPECT_GE(HighBandShare(s), 0.10f);
        // The brightness is in the crack: the first 10 ms are brighter than the whole.
        const Signal onset(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(SamplesFor(0.01)));
        EXPECT_GT(HighBandShare(onset), HighBandShare(s));
    }
}

TEST(SoundBalance, TakesOfOneSoundDifferInColourAndShape)
{
    ExpectDifferentTakes("ZombieNormal1", "ZombieNormal2");
    ExpectDifferentTakes("ZombieNormal1", "ZombieNormal3");
    ExpectDifferentTakes("ZombieNormal2", "ZombieNormal3");
    ExpectDifferentTakes("ZombieDeath1", "ZombieDeath2");
}

TEST(SoundBalance, ZombieVoicesAreEvenlyLoud)
{
    ExpectEvenLoudness(ZombieVoices, 2.0);
}

TEST(SoundBalance, EffectsAreEvenlyLoudAtTheGamesVolumes)
{
    ExpectEvenLoudness(Effects, 3.0);
}

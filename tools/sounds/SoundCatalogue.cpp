#include "tools/sounds/SoundCatalogue.h"
#include "tools/sounds/BubbleGunSounds.h"
#include "tools/sounds/Loudness.h"
#include "tools/sounds/PlayerSounds.h"
#include "tools/sounds/RoundSounds.h"
#include "tools/sounds/ZombieSounds.h"

#include <cmath>

namespace {

// "BulletExplode" and "Burning" are played at gain 2.0. Mastered 6 dB down (peak 0.5), they just
// reach full scale at that gain instead of overdriving the mix by 5 dB when heard up close.
constexpr float LoudPlaybackGain = 2.0f;
constexpr float LoudPeak = 0.5f;
constexpr MasteringSettings ForLoudPlayback{LoudPeak};

// A bell rings on: a long fade lets its tail die away instead of stopping.
constexpr MasteringSettings BellTail{DefaultPeak, 0.002f, 0.35f};
// Fire loops every 0.3 s over itself; softer edges keep the seams from ticking.
constexpr MasteringSettings LoopEdges{LoudPeak, 0.01f, 0.03f};

} // namespace

const std::vector<SoundRecipe>& SoundCatalogue()
{
    static const std::vector<SoundRecipe> catalogue{
        {"GunShot", GunShot, EffectLoudness, {}},
        {"Bubbling", Bubbling, EffectLoudness, {}},
        {"PlayerHit", PlayerHit, EffectLoudness, {}},
        {"ZombieAttack2", ZombieAttack2, VoiceLoudness, {}},
        {"ZombieNormal1", ZombieNormal1, VoiceLoudness, {}},
        {"ZombieNormal2", ZombieNormal2, VoiceLoudness, {}},
        {"ZombieNormal3", ZombieNormal3, VoiceLoudness, {}},
        {"ZombieDeath1", ZombieDeath1, VoiceLoudness, {}},
        {"ZombieDeath2", ZombieDeath2, VoiceLoudness, {}},
        {"RoundChange", RoundChange, EffectLoudness, BellTail},
        {"BulletExplode", BulletExplode, EffectLoudness, ForLoudPlayback, LoudPlaybackGain},
        {"Burning", Burning, EffectLoudness, LoopEdges, LoudPlaybackGain},
        {"Walk1", Walk1, EffectLoudness, {}},
        {"Walk2", Walk2, EffectLoudness, {}},
        {"Walk3", Walk3, EffectLoudness, {}},
        {"Walk4", Walk4, EffectLoudness, {}},
    };
    return catalogue;
}

Signal RenderSound(const SoundRecipe& recipe)
{
    Signal s = recipe.make();
    Master(s, recipe.mastering);
    // Mastered to its peak, the sound is as loud as it can be; bring it down to its class.
    const double heard = IntegratedLoudness(s) + 20.0 * std::log10(recipe.playbackGain);
    if (heard > recipe.loudness) {
        const float gain = static_cast<float>(std::pow(10.0, (recipe.loudness - heard) / 20.0));
        for (float& x : s) {
            x *= gain;
        }
    }
    return s;
}

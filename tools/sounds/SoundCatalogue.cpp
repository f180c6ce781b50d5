#include "tools/sounds/SoundCatalogue.h"
#include "tools/sounds/BubbleGunSounds.h"
#include "tools/sounds/PlayerSounds.h"
#include "tools/sounds/RoundSounds.h"
#include "tools/sounds/ZombieSounds.h"

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
        {"GunShot", GunShot, {}},
        {"Bubbling", Bubbling, {}},
        {"PlayerHit", PlayerHit, {}},
        {"ZombieAttack2", ZombieAttack2, {}},
        {"ZombieNormal1", ZombieNormal1, {}},
        {"ZombieNormal2", ZombieNormal2, {}},
        {"ZombieNormal3", ZombieNormal3, {}},
        {"ZombieDeath1", ZombieDeath1, {}},
        {"ZombieDeath2", ZombieDeath2, {}},
        {"RoundChange", RoundChange, BellTail},
        {"BulletExplode", BulletExplode, ForLoudPlayback, LoudPlaybackGain},
        {"Burning", Burning, LoopEdges, LoudPlaybackGain},
        {"Walk1", Walk1, {}},
        {"Walk2", Walk2, {}},
        {"Walk3", Walk3, {}},
        {"Walk4", Walk4, {}},
    };
    return catalogue;
}

Signal RenderSound(const SoundRecipe& recipe)
{
    Signal s = recipe.make();
    Master(s, recipe.mastering);
    return s;
}

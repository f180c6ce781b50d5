// The game's sounds as the game gets them: out of the pack, decoded by libsndfile from memory.
// Decoded once per test program and shared by every sound content test.
#pragma once

#include "tools/sounds/dsp/Signal.h"

#include <array>
#include <string>

namespace packsounds {

// Every sound the scene loads, in its load order.
inline const std::array<std::string, 16> Names{"GunShot",       "Bubbling",      "PlayerHit",     "ZombieAttack2",
                                               "ZombieNormal1", "ZombieNormal2", "ZombieNormal3", "ZombieDeath1",
                                               "ZombieDeath2",  "RoundChange",   "BulletExplode", "Burning",
                                               "Walk1",         "Walk2",         "Walk3",         "Walk4"};

struct Decoded {
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    Signal samples;
    double Seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

const Decoded& Sound(const std::string& name);
inline const Signal& Samples(const std::string& name)
{
    return Sound(name).samples;
}
inline double Seconds(const std::string& name)
{
    return Sound(name).Seconds();
}

// The default volume the game plays a sound at: the player sets 2.0 on these two sources.
inline float GainInGame(const std::string& name)
{
    return name == "BulletExplode" || name == "Burning" ? 2.0f : 1.0f;
}

} // namespace packsounds

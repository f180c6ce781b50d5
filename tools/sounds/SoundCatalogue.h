// Every sound the game loads, by its asset name, with the recipe that synthesises it and the
// level it is mastered to.
#pragma once

#include "tools/sounds/dsp/Mastering.h"
#include "tools/sounds/dsp/Signal.h"

#include <string>
#include <vector>

struct SoundRecipe {
    std::string name;
    Signal (*make)();
    // Integrated loudness (LUFS, ITU-R BS.1770) heard at the game's playback gain. A sound whose
    // peak would pass the mastering peak at that loudness stays at the peak, quieter.
    double loudness;
    MasteringSettings mastering;
    // Gain the game plays the sound at; the recipe's peak leaves room for it.
    float playbackGain = 1.0f;
};

// In the order the scene loads them.
const std::vector<SoundRecipe>& SoundCatalogue();

// Loudness of the sounds of one class, so that none of them stands out of the others: every
// zombie voice, and every effect at the gain the game plays it. A few dB under the -23 to -24
// LUFS a game's whole mix aims at, so that a crowd of 24 groaning zombies with fire and a burst
// still adds up to less than full scale (about -3 dBFS at its peak).
inline constexpr double VoiceLoudness = -27.0;
inline constexpr double EffectLoudness = -25.0;

// The recipe's raw sound, mastered: ready to write.
Signal RenderSound(const SoundRecipe& recipe);

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
    MasteringSettings mastering;
    // Gain the game plays the sound at; the recipe's peak leaves room for it.
    float playbackGain = 1.0f;
};

// In the order the scene loads them.
const std::vector<SoundRecipe>& SoundCatalogue();

// The recipe's raw sound, mastered: ready to write.
Signal RenderSound(const SoundRecipe& recipe);

// The zombie: a lanky man gone bad, about 173 cm as he stands hunched (head forward, knees bent,
// one shoulder dropped), with long thin arms reaching forward in the bind pose and clawed hands,
// a torn plaid shirt over pale green skin, trousers ripped off one shin, bare feet.
#pragma once

#include "tools/models/CharacterDesign.h"

class ZombieDesign {
public:
    // Ragged holes in the clothes: where noise(p * HoleScale) rises above HoleLevel.
    static constexpr float HoleScale = 0.16f;
    static constexpr float ShirtHoleLevel = 0.38f;
    static constexpr float TrouserHoleLevel = 0.5f;

    static CharacterDesign Build();
};

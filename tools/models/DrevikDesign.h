// Drevik, the survivor: about 180 cm, feet at y = 0, facing +Z, in a canvas field jacket with a
// backpack, cargo trousers and boots, holding the bubble gun in front of his chest in the bind
// pose (both hands on its grips), which is what the first-person camera sees.
#pragma once

#include "tools/models/CharacterDesign.h"

class DrevikDesign {
public:
    // Where the gun's model origin sits in Drevik's bind pose (cm, model space).
    static constexpr glm::vec3 GunOrigin{-12.0f, 146.5f, 42.0f};

    static CharacterDesign Build();
};

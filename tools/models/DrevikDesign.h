// Drevik, the survivor: about 180 cm, feet at y = 0, facing +Z, in a canvas field jacket with a
// backpack, cargo trousers and boots, holding the bubble gun in front of his chest in the bind
// pose (both hands on its grips), which is what the first-person camera sees.
#pragma once

#include "tools/models/CharacterDesign.h"

class DrevikDesign {
public:
    // Where the gun's model origin sits in Drevik's bind pose (cm, model space). The first-person
    // camera sits at the eyes, 3 cm to their left: from there the gun is held low on the right and
    // far enough out that its rear housing does not fill the view (under 5% of a 16:9 frame), yet
    // the point the bubble starts from stays inside the frame through a whole stride.
    static constexpr glm::vec3 GunOrigin{-16.0f, 144.5f, 50.0f};

    static CharacterDesign Build();
};

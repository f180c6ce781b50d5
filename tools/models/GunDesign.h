// The bubble gun, designed in centimetres with the muzzle towards +Z and up +Y (the player's
// frame when he holds it), together with the two hands that hold it. The game places the gun at
// the midpoint of the hand bones plus 8 cm forward and turns its model 90 degrees about +Y, so
// the model is written with its muzzle along -X, in units of 9 cm (drawn at scale 0.09).
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/HandBuilder.h"

struct GunHold {
    HandStyle rearStyle, frontStyle; // right hand on the rear grip, left hand on the front grip
    HandLayout rear, front;          // in gun design space
    glm::vec3 origin;                // the model's origin in design space
};

class GunDesign {
public:
    static constexpr float UnitCm = 9.0f;        // one model unit at the game's 0.09 scale, in cm
    static constexpr float HoldForwardCm = 8.0f; // the game's offset from the hands' midpoint

    static GunHold Hold();
    // The gun's shape in design space (charts included); not skinned.
    static CharacterDesign Build(const GunHold& hold);
    // Design-space point or direction to model space.
    static glm::vec3 ToModel(const glm::vec3& design, const GunHold& hold);
    static glm::vec3 DirectionToModel(const glm::vec3& d) { return {-d.z, d.y, d.x}; }
};

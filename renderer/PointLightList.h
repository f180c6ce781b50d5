// The point lights one draw loops over: the scene's lights whose reach touches the draw's bounds,
// in ascending index order (the order the shaders summed all of them in), packed for the push
// constants.
#pragma once

#include "app/Lights.h"

#include <cstdint>

// Four 8-bit indices to a word: twelve slots in three words hold every light.
inline constexpr int PointLightIndexWords = 3;
static_assert(MaxPointLights <= PointLightIndexWords * 4 && MaxPointLights <= 256);

struct PointLightList {
    uint32_t count = 0;
    uint32_t indices[PointLightIndexWords] = {}; // index n in byte n % 4 of word n / 4

    // Every light: what a draw takes when nothing limits its lights.
    static PointLightList All();
    void Add(uint32_t light);
    uint32_t Index(uint32_t n) const { return (indices[n / 4] >> (8 * (n % 4))) & 0xFFu; }
};
static_assert(sizeof(PointLightList) == 16);

// The lights whose reach (PointLightReach at the surface's gain) touches the bounding sphere
// (xyz centre, w radius, world space).
PointLightList PointLightsTouching(const PointLight (&lights)[MaxPointLights], float surfaceGain,
                                   const glm::vec4& bounds);

// The point lights one draw loops over: the scene's lights whose reach touches the draw's bounds,
// in ascending index order (the order the shaders summed all of them in), packed for the push
// constants.
#pragma once

#include "app/Lights.h"

#include <array>
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

// A light's position and reach (w): PointLightReach, infinity for a light without a finite one.
using PointLightSpheres = std::array<glm::vec4, MaxPointLights>;

// The lights whose reach sphere touches the bounding sphere (xyz centre, w radius, world space).
PointLightList PointLightsTouching(const PointLightSpheres& lights, const glm::vec4& bounds);

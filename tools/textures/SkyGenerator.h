// The night sky box: six cube faces painted from each pixel's view direction (world space, +Y
// up), so the faces meet without seams and every star exists once on the sphere.
#pragma once

#include "tools/textures/CubeMapFace.h"
#include "tools/textures/Image.h"

#include <glm/vec3.hpp>

#include <vector>

struct Star {
    glm::vec3 direction; // unit
    glm::vec3 colour;    // linear peak radiance
    float spread;        // angular standard deviation of its glow, radians
};

// Starless sky along a unit direction, in linear light: blue-black, lighter toward the horizon,
// faint airglow and the milky band above it, dark land below.
glm::vec3 SkyBackground(const glm::vec3& direction);

// Every star of the sky, the same for every face; fixed seed.
std::vector<Star> MakeStars();

// One face, `size` x `size`, RGB sRGB, with every star whose glow reaches it.
Image GenerateSkyFace(CubeFace face, int size, const std::vector<Star>& stars);

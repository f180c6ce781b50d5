// The moon's surface as an equirectangular sRGB map for the UV sphere: u is longitude (the left
// and right edges meet), v runs from one pole (row 0) to the other. Every pixel is computed from
// its point on the unit sphere, so the map has no seam in u and converges cleanly at the poles.
#pragma once

#include "tools/textures/Image.h"

#include <glm/vec3.hpp>

// Point on the unit sphere for equirectangular coordinates u, v in [0, 1]; v = 0 is the +Y pole.
glm::vec3 EquirectangularDirection(float u, float v);

// Highland albedo with dark maria, craters with bright rims and a few ray systems. RGB.
Image GenerateMoon(int width, int height);

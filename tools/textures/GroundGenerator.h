// The arena ground: packed night-time dirt with pebbles, cracks and patches of dark grass, as a
// tileable sRGB colour map and its matching tangent-space normal map.
#pragma once

#include "tools/textures/Image.h"

struct GroundTextures {
    Image colour; // RGB, sRGB
    Image normal; // RGB, tangent space
};

// `size` x `size` pixels; every layer is periodic over the tile, so copies meet without a seam.
GroundTextures GenerateGround(int size);

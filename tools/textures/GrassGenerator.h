// The grass tuft's billboard textures. The tuft's crossed quads span the whole UV square with a
// top-left origin, so image row 0 is the top of the tuft and the blades rise from the bottom row.
#pragma once

#include "tools/textures/Image.h"

struct GrassTextures {
    Image diffuse; // RGBA, sRGB: blade green, darker at the base; alpha repeats the mask
    Image normal;  // RGB, tangent space: each blade rounded across its width
    Image alpha;   // RGBA, every channel the coverage: white opaque blade, black transparent
};

GrassTextures GenerateGrass(int size);

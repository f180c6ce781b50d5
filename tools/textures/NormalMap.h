// Tangent-space normal maps. x follows +u (image columns, left to right) and y follows +v (image
// rows, top to bottom): the game's UVs have a top-left origin and the imported tangent frame
// follows them. z points out of the surface. Each channel stores (n + 1) / 2, so a flat surface is
// rgb(128, 128, 255).
#pragma once

#include "tools/textures/HeightField.h"
#include "tools/textures/Image.h"

#include <glm/vec3.hpp>

#include <cstdint>

glm::vec3 DecodeNormal(const uint8_t* rgb);
// Normalises `n` and writes it to the first three channels.
void StoreNormal(uint8_t* rgb, glm::vec3 n);

// RGB normal map of a height field that repeats across its edges. Heights are in pixel widths
// times `strength`: a slope of 1 tilts the normal by 45 degrees.
Image NormalMapFromHeights(const HeightField& heights, float strength);

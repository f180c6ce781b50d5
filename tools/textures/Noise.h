// Deterministic hashing and noise for the texture generators: fields on the unit square that
// wrap at u = 1 and v = 1 (tiled textures), and fields of a 3D point (sphere and sky maps, which
// are seamless because neighbouring pixels sample neighbouring points).
#pragma once

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstdint>

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
// Uniform in [0, 1), a pure function of its arguments.
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);

// Perlin fbm over the unit square, periodic with period 1 in u and v. `period` lattice cells span
// the tile at the first octave and double per octave; period << (octaves - 1) must be a power of
// two no larger than 256. Normalised by the amplitude sum: about [-0.6, 0.6], mean 0.
float TileableFbm(float u, float v, int period, int octaves, float gain, int seed);

struct CellSample {
    float f1 = 0.0f;        // distance to the nearest feature point, in cells
    float f2 = 0.0f;        // distance to the second nearest
    uint32_t cellId = 0;    // wrapped cell of the nearest point: equal across tile seams
    glm::vec2 offset{0.0f}; // from the nearest point to the sample, in cells
};

// Worley noise with one jittered point per cell of a period x period grid wrapped over the unit
// square. f2 - f1 is small along the borders between cells (cracks).
CellSample TileableCells(float u, float v, int period, uint32_t seed);

// Perlin fbm of a 3D point (lacunarity 2): about [-0.6, 0.6], mean 0.
float Fbm3(const glm::vec3& p, int octaves, float gain, int seed);

float SmoothStep(float edge0, float edge1, float x);

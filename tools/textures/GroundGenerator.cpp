#include "tools/textures/GroundGenerator.h"

#include "tools/textures/Colour.h"
#include "tools/textures/HeightField.h"
#include "tools/textures/Noise.h"
#include "tools/textures/NormalMap.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Seeds of the independent layers; any distinct values do.
enum Seed : int { WarpU = 1, WarpV, Macro, Detail, Grain, Grass, GrassEdge, CrackWidth, CrackJitter, Tint, Speckle };
enum CellSeed : uint32_t { BigCracks = 11, SmallCracks = 12, Pebbles = 13, Gravel = 14, GrassClumps = 15 };

struct Pebble {
    float coverage = 0.0f; // 1 inside the stone, antialiased at its rim
    float dome = 0.0f;     // 0 at the rim, 1 at the top
    float shadow = 0.0f;   // contact darkening of the dirt around it
    uint32_t id = 0;
};

// A rounded stone in some cells of a wrapped grid: `presence` of the cells hold one, with a radius
// between minRadius and maxRadius (in cells) and a rim wobbled by noise so they are not circles.
Pebble PebbleAt(float u, float v, int period, uint32_t seed, float presence, float minRadius, float maxRadius,
                float pixelInCells)
{
    const CellSample cell = TileableCells(u, v, period, seed);
    Pebble p;
    p.id = cell.cellId;
    if (HashUnit(seed, cell.cellId, 3) >= presence)
        return p;
    const float radius = minRadius + (maxRadius - minRadius) * HashUnit(seed, cell.cellId, 4);
    // Squash and turn each stone a little: elliptic distance in a rotated frame.
    const float angle = 6.2831853f * HashUnit(seed, cell.cellId, 5);
    const float squash = 0.65f + 0.35f * HashUnit(seed, cell.cellId, 6);
    const float ca = std::cos(angle), sa = std::sin(angle);
    const glm::vec2 local(ca * cell.offset.x + sa * cell.offset.y, (-sa * cell.offset.x + ca * cell.offset.y) / squash);
    // The wobble's lattice must be a power of two to wrap; 128 cells is about one stone across.
    const float wobble = 1.0f + 0.18f * TileableFbm(u, v, 128, 2, 0.5f, static_cast<int>(seed));
    const float d = glm::length(local) * wobble;
    p.coverage = SmoothStep(radius + pixelInCells, radius - pixelInCells, d);
    p.dome = std::sqrt(std::max(0.0f, 1.0f - (d / radius) * (d / radius)));
    p.shadow = SmoothStep(radius * 1.6f, radius, d) * (1.0f - p.coverage);
    return p;
}

// Darkness of a crack: 1 on a cell border of a warped Worley grid, fading within `width` cells.
float CrackAt(float u, float v, int period, uint32_t seed, float width)
{
    const CellSample cell = TileableCells(u, v, period, seed);
    return 1.0f - SmoothStep(0.0f, width, cell.f2 - cell.f1);
}

} // namespace

GroundTextures GenerateGround(int size)
{
    GroundTextures out{Image(size, size, 3), Image(size, size, 3)};
    HeightField heights(size, size);
    const float pixel = 1.0f / static_cast<float>(size);

    const glm::vec3 darkDirt = FromSrgb(58, 48, 40);
    const glm::vec3 lightDirt = FromSrgb(118, 101, 82);
    const glm::vec3 greyDirt = FromSrgb(92, 88, 82);
    const glm::vec3 crackColour = FromSrgb(24, 19, 16);
    const glm::vec3 darkGrass = FromSrgb(17, 27, 14);
    const glm::vec3 lightGrass = FromSrgb(46, 62, 30);
    // Stones of three kinds: warm sandstone, cool granite grey and dark flint.
    const glm::vec3 stones[3] = {FromSrgb(122, 104, 84), FromSrgb(104, 106, 108), FromSrgb(62, 60, 58)};

    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) * pixel;
            const float v = (static_cast<float>(y) + 0.5f) * pixel;

            // A gentle domain warp so patches and cracks meander instead of following the lattice.
            const float wu = u + 0.04f * TileableFbm(u, v, 4, 4, 0.5f, WarpU);
            const float wv = v + 0.04f * TileableFbm(u, v, 4, 4, 0.5f, WarpV);

            const float macro = TileableFbm(u, v, 4, 5, 0.55f, Macro);
            const float detail = TileableFbm(u, v, 32, 3, 0.55f, Detail);
            const float grain = TileableFbm(u, v, 128, 2, 0.5f, Grain);
            const float tint = TileableFbm(u, v, 8, 3, 0.5f, Tint);

            // Grass grows in low-frequency blobs whose borders are frayed by fine noise.
            const float grassField =
                TileableFbm(wu, wv, 4, 4, 0.5f, Grass) + 0.22f * TileableFbm(u, v, 64, 2, 0.5f, GrassEdge);
            const float grass = SmoothStep(0.10f, 0.20f, grassField);

            // Cracks: borders of large warped cells with finer cells inside them; their width
            // swells and vanishes along the way so the ground is not a tiled net.
            const float jitterU = wu + 0.012f * TileableFbm(u, v, 32, 3, 0.5f, CrackJitter);
            const float jitterV = wv + 0.012f * TileableFbm(v, u, 32, 3, 0.5f, CrackJitter);
            const float widthField = SmoothStep(-0.05f, 0.25f, TileableFbm(u, v, 8, 3, 0.5f, CrackWidth));
            const float crack = std::max(CrackAt(jitterU, jitterV, 4, BigCracks, 0.05f * widthField),
                                         0.6f * CrackAt(jitterU, jitterV, 16, SmallCracks, 0.07f * widthField)) *
                                (1.0f - grass);

            // Stones on a 40 x 40 grid (a quarter to two thirds of a cell across) and finer gravel on
            // a 110 x 110 grid, fewer where the grass is.
            const Pebble pebble = PebbleAt(u, v, 40, Pebbles, 0.26f * (1.0f - 0.7f * grass), 0.12f, 0.34f, 40 * pixel);
            const Pebble gravel = PebbleAt(u, v, 110, Gravel, 0.3f * (1.0f - grass), 0.12f, 0.28f, 110 * pixel);

            // Grass texture seen from above: small clumps of lighter and darker blades.
            const CellSample clump = TileableCells(u, v, 160, GrassClumps);
            const float clumpShade = HashUnit(GrassClumps, clump.cellId) * SmoothStep(0.7f, 0.1f, clump.f1);

            // Sand-grain speckle at the scale of a few texels.
            const float speckle = TileableFbm(u, v, 256, 1, 0.5f, Speckle);

            // Dirt: broad light and dark areas, a cooler grey cast in places, fine grain.
            float dirtShade =
                std::clamp(0.5f + 0.9f * macro + 0.6f * detail + 0.5f * grain + 0.35f * speckle, 0.0f, 1.0f);
            glm::vec3 colour = glm::mix(darkDirt, lightDirt, dirtShade);
            colour = glm::mix(colour, greyDirt * (0.6f + 0.7f * dirtShade), SmoothStep(-0.2f, 0.3f, tint) * 0.55f);
            colour = glm::mix(colour, crackColour, crack);
            colour *= 1.0f - 0.45f * pebble.shadow - 0.3f * gravel.shadow;

            // Each stone: its kind, its own brightness, darker toward its rim, mottled on top.
            const glm::vec3 stoneColour = stones[Hash(Pebbles, pebble.id, 8) % 3] *
                                          (0.6f + 0.5f * HashUnit(Pebbles, pebble.id, 7)) *
                                          (0.5f + 0.5f * pebble.dome) * (1.0f + 0.8f * speckle + 0.5f * grain);
            const glm::vec3 gravelColour = stones[Hash(Gravel, gravel.id, 8) % 3] *
                                           (0.5f + 0.5f * HashUnit(Gravel, gravel.id, 7)) *
                                           (0.6f + 0.4f * gravel.dome) * (1.0f + 0.5f * speckle);
            colour = glm::mix(colour, gravelColour, gravel.coverage);

            const glm::vec3 grassColour =
                glm::mix(darkGrass, lightGrass, std::clamp(0.35f + 0.8f * clumpShade + 1.2f * grain, 0.0f, 1.0f));
            colour = glm::mix(colour, grassColour, grass * (0.85f + 0.15f * clumpShade));
            colour = glm::mix(colour, stoneColour, pebble.coverage);

            uint8_t* rgb = out.colour.Pixel(x, y);
            for (int c = 0; c < 3; ++c)
                rgb[c] = ToSrgbByte(
                    colour[c], Dither(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(c)));

            // Relief in pixel widths: stones stand proud, cracks cut in, grass clumps are tufty.
            heights.At(x, y) = 5.0f * detail + 1.0f * grain - 3.0f * crack + 5.0f * pebble.dome * pebble.coverage +
                               2.0f * gravel.dome * gravel.coverage + grass * 2.5f * clumpShade;
        }
    }
    out.normal = NormalMapFromHeights(heights, 1.0f);
    return out;
}

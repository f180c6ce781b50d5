#include "tools/textures/Noise.h"

#include <stb_perlin.h>

#include <cmath>
#include <initializer_list>
#include <limits>

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    // lowbias32 finaliser over a running combination: good avalanche, cheap, platform-independent.
    uint32_t h = 0x9E3779B9u;
    for (uint32_t x : {a, b, c, d}) {
        h ^= x + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h ^= h >> 16;
        h *= 0x21F0AAADu;
        h ^= h >> 15;
        h *= 0x735A2D97u;
        h ^= h >> 15;
    }
    return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    // The top 24 bits fill a float's mantissa exactly, so the result never rounds up to 1.
    return static_cast<float>(Hash(a, b, c, d) >> 8) * (1.0f / 16777216.0f);
}

float TileableFbm(float u, float v, int period, int octaves, float gain, int seed)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    int cells = period;
    for (int i = 0; i < octaves; ++i) {
        // Each octave is its own permutation (seed) on its own z slice, so octaves do not align.
        const int octaveSeed = (seed * 61 + i * 17) & 255;
        const float z = 0.37f + 1.73f * static_cast<float>(i);
        sum += amplitude * stb_perlin_noise3_seed(u * static_cast<float>(cells), v * static_cast<float>(cells), z,
                                                  cells, cells, 0, octaveSeed);
        norm += amplitude;
        amplitude *= gain;
        cells *= 2;
    }
    return sum / norm;
}

CellSample TileableCells(float u, float v, int period, uint32_t seed)
{
    const float px = u * static_cast<float>(period);
    const float py = v * static_cast<float>(period);
    const int cx = static_cast<int>(std::floor(px));
    const int cy = static_cast<int>(std::floor(py));
    CellSample s;
    s.f1 = s.f2 = std::numeric_limits<float>::max();
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            // Hash the wrapped cell so the points repeat with the tile; measure in unwrapped space.
            const uint32_t wx = static_cast<uint32_t>(((gx % period) + period) % period);
            const uint32_t wy = static_cast<uint32_t>(((gy % period) + period) % period);
            const uint32_t id = wy * static_cast<uint32_t>(period) + wx;
            // One hash gives both jitters, 16 bits each: ample for a point inside its cell.
            const uint32_t h = Hash(seed, id);
            const glm::vec2 point(static_cast<float>(gx) + static_cast<float>(h & 0xFFFFu) * (1.0f / 65536.0f),
                                  static_cast<float>(gy) + static_cast<float>(h >> 16) * (1.0f / 65536.0f));
            const glm::vec2 offset = glm::vec2(px, py) - point;
            const float d = offset.x * offset.x + offset.y * offset.y; // squared until the end
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.cellId = id;
                s.offset = offset;
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    s.f1 = std::sqrt(s.f1);
    s.f2 = std::sqrt(s.f2);
    return s;
}

float Fbm3(const glm::vec3& p, int octaves, float gain, int seed)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f, frequency = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        const int octaveSeed = (seed * 61 + i * 17) & 255;
        sum +=
            amplitude * stb_perlin_noise3_seed(p.x * frequency, p.y * frequency, p.z * frequency, 0, 0, 0, octaveSeed);
        norm += amplitude;
        amplitude *= gain;
        frequency *= 2.0f;
    }
    return sum / norm;
}

float SmoothStep(float edge0, float edge1, float x)
{
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

// Small procedural helpers the painters share: fractal noise over stb_perlin, smooth steps,
// stitched seams and woven fabric heights.
#pragma once

#include <glm/glm.hpp>
#include <stb_perlin.h>

#include <algorithm>
#include <cmath>

namespace paint {

inline float Noise(const glm::vec3& p)
{
    return stb_perlin_noise3(p.x, p.y, p.z, 0, 0, 0);
}

// Fractal noise in about [-1, 1].
inline float Fbm(const glm::vec3& p, int octaves)
{
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    glm::vec3 q = p;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise(q);
        norm += amp;
        amp *= 0.5f;
        q = q * 2.03f + glm::vec3(7.1f, 3.3f, 1.7f);
    }
    return sum / norm;
}

inline float Smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// 1 on a band of half-width `w` around 0, fading over `soft`.
inline float Band(float x, float w, float soft)
{
    return 1.0f - Smooth(w, w + soft, std::abs(x));
}

// Stitches along a seam at distance `across` from its line, running along `along`.
inline float Stitches(float along, float across, float pitch)
{
    const float dash = Band(std::fmod(std::abs(along), pitch) - pitch * 0.5f, pitch * 0.28f, pitch * 0.08f);
    return dash * Band(across, 0.06f, 0.05f);
}

// Plain-weave fabric height in [0, 1] from chart coordinates (model units) and a thread pitch.
inline float Weave(const glm::vec2& c, float pitch)
{
    const float a = std::sin(c.x * 6.2831853f / pitch), b = std::sin(c.y * 6.2831853f / pitch);
    const bool cell = (static_cast<int>(std::floor(c.x / pitch)) + static_cast<int>(std::floor(c.y / pitch))) & 1;
    return 0.5f + 0.5f * (cell ? std::abs(a) : std::abs(b)) * 0.8f;
}

// Diagonal twill (denim, cargo cloth).
inline float Twill(const glm::vec2& c, float pitch)
{
    const float d = (c.x + c.y) / pitch;
    return 0.5f + 0.5f * std::sin(d * 6.2831853f);
}

inline glm::vec3 Mix(const glm::vec3& a, const glm::vec3& b, float t)
{
    return a + (b - a) * std::clamp(t, 0.0f, 1.0f);
}

} // namespace paint

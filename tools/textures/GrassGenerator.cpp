#include "tools/textures/GrassGenerator.h"

#include "tools/textures/Colour.h"
#include "tools/textures/Noise.h"
#include "tools/textures/NormalMap.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr uint32_t GrassSeed = 0x6A55u;
// Enough blades for a full tuft; few enough that each one reads on its own.
constexpr int BladeCount = 22;

// One blade in pixels: its centre line leaves the bottom edge at baseX and curves sideways by
// `bend` at the tip, as bend * t^curve with t from 0 (base) to 1 (tip).
struct Blade {
    float baseX;
    float baseHalfWidth;
    float tipY;
    float bend;
    float curve;
    float shade; // brightness of this blade relative to the others
    float hue;   // 0 fresh green, 1 drier yellow-green
};

std::vector<Blade> MakeBlades(int size)
{
    const float s = static_cast<float>(size);
    std::vector<Blade> blades;
    for (int i = 0; i < BladeCount; ++i) {
        const auto r = [i](uint32_t k) { return HashUnit(GrassSeed, static_cast<uint32_t>(i), k); };
        Blade b;
        // Bases crowd toward the middle like a real tuft, never closer than 6% to the sides.
        b.baseX = s * (0.5f + 0.38f * (r(1) + r(2) - 1.0f));
        b.baseHalfWidth = s * (0.018f + 0.022f * r(3));
        b.tipY = s * (0.03f + 0.42f * r(4));
        // Blades lean away from the middle, with a random share leaning the other way.
        const float outward = b.baseX < 0.5f * s ? -1.0f : 1.0f;
        b.bend = s * (0.04f + 0.22f * r(5)) * (r(6) < 0.25f ? -outward : outward);
        b.curve = 1.6f + 1.2f * r(7);
        b.shade = 0.75f + 0.4f * r(8);
        b.hue = r(9);
        blades.push_back(b);
    }
    // Tall blades first, so the short ones stand in front of them.
    std::sort(blades.begin(), blades.end(), [](const Blade& a, const Blade& b) { return a.tipY < b.tipY; });
    return blades;
}

// Blade colour at height t (0 base, 1 tip) in linear light.
glm::vec3 BladeColour(float t, float hue)
{
    const glm::vec3 base = FromSrgb(18, 34, 12);
    const glm::vec3 middle = FromSrgb(52, 100, 30);
    const glm::vec3 tip = glm::mix(FromSrgb(92, 138, 48), FromSrgb(138, 140, 62), hue);
    return t < 0.45f ? glm::mix(base, middle, SmoothStep(0.0f, 0.45f, t))
                     : glm::mix(middle, tip, SmoothStep(0.45f, 1.0f, t));
}

} // namespace

GrassTextures GenerateGrass(int size)
{
    GrassTextures out{Image(size, size, 4), Image(size, size, 3), Image(size, size, 4)};
    const std::vector<Blade> blades = MakeBlades(size);
    const float bottom = static_cast<float>(size);

    for (int y = 0; y < size; ++y) {
        const float py = static_cast<float>(y) + 0.5f;
        // Transparent texels carry the colour of the tuft at that height, so filtering at the
        // blade edges does not pull in black.
        glm::vec3 colour = BladeColour(std::clamp((bottom - py) / bottom * 1.4f, 0.0f, 1.0f), 0.3f) * 0.8f;
        for (int x = 0; x < size; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            glm::vec3 pixelColour = colour;
            glm::vec3 normal(0.0f, 0.0f, 1.0f);
            float alpha = 0.0f;
            for (size_t i = 0; i < blades.size(); ++i) {
                const Blade& b = blades[i];
                if (py < b.tipY)
                    continue;
                const float length = bottom - b.tipY;
                const float t = (bottom - py) / length;
                const float centre = b.baseX + b.bend * std::pow(t, b.curve);
                // Sideways drift of the centre per pixel of height; a leaning blade is wider per row.
                const float slope = b.bend * b.curve * std::pow(t, b.curve - 1.0f) / length;
                const float halfWidth = b.baseHalfWidth * std::pow(1.0f - t, 0.6f) * std::sqrt(1.0f + slope * slope);
                const float dx = px - centre;
                const float coverage = std::clamp(halfWidth - std::fabs(dx) + 0.5f, 0.0f, 1.0f);
                if (coverage <= 0.0f)
                    continue;
                const float across = std::clamp(dx / std::max(halfWidth, 0.5f), -1.0f, 1.0f);

                // Lengthwise veins, a lighter midrib and darker edges.
                const float veins = Fbm3(glm::vec3(across * 4.0f, t * 30.0f, static_cast<float>(i) * 7.3f), 3, 0.5f, 5);
                const float rib = std::exp(-across * across / 0.02f);
                const float rim = std::sqrt(1.0f - across * across);
                const glm::vec3 bladeColour =
                    BladeColour(t, b.hue) * b.shade * (0.82f + 0.5f * veins + 0.18f * rib) * (0.7f + 0.3f * rim);

                // A rounded blade: the normal turns toward the edges, across the centre line.
                const glm::vec2 acrossDir = glm::normalize(glm::vec2(1.0f, slope));
                const float tilt = 0.8f * across;
                const glm::vec3 bladeNormal(acrossDir.x * tilt, acrossDir.y * tilt, std::sqrt(1.0f - tilt * tilt));

                pixelColour = glm::mix(pixelColour, bladeColour, coverage);
                normal = glm::mix(normal, bladeNormal, coverage);
                alpha += coverage * (1.0f - alpha);
            }

            uint8_t* d = out.diffuse.Pixel(x, y);
            const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
            for (int c = 0; c < 3; ++c)
                d[c] = ToSrgbByte(pixelColour[c], Dither(ux, uy, static_cast<uint32_t>(c)));
            const uint8_t a = ToByte(alpha, 0.0f);
            d[3] = a;
            StoreNormal(out.normal.Pixel(x, y), normal);
            uint8_t* m = out.alpha.Pixel(x, y);
            m[0] = m[1] = m[2] = m[3] = a;
        }
    }
    return out;
}

#include "tools/textures/MoonGenerator.h"

#include "tools/textures/Colour.h"
#include "tools/textures/Noise.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float Pi = 3.14159265f;
constexpr uint32_t MoonSeed = 0x300Eu;

struct Crater {
    glm::vec3 centre;
    float radius;    // angular, radians
    float freshness; // young craters are brighter and some throw rays
    bool rays;
    glm::vec3 east; // tangent frame at the centre, for the ray pattern around it
    glm::vec3 north;
    float reach; // cosine of the widest angle the crater affects
};

glm::vec3 RandomDirection(uint32_t i)
{
    const float z = 2.0f * HashUnit(MoonSeed, i, 1) - 1.0f;
    const float phi = 2.0f * Pi * HashUnit(MoonSeed, i, 2);
    const float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
    return {r * std::cos(phi), z, r * std::sin(phi)};
}

// A few large basins, more medium craters and many small pits: crater sizes follow a steep power
// law on the real moon, and the counts per band here mimic it.
std::vector<Crater> MakeCraters()
{
    struct Band {
        int count;
        float minRadius, maxRadius;
    };
    const Band bands[] = {{12, 0.07f, 0.15f}, {110, 0.022f, 0.06f}, {1600, 0.007f, 0.02f}};
    std::vector<Crater> craters;
    uint32_t index = 0;
    for (const Band& band : bands) {
        for (int i = 0; i < band.count; ++i, ++index) {
            Crater c;
            c.centre = RandomDirection(index);
            c.radius = band.minRadius + (band.maxRadius - band.minRadius) * HashUnit(MoonSeed, index, 3);
            c.freshness = HashUnit(MoonSeed, index, 4);
            c.rays = band.maxRadius < 0.1f && HashUnit(MoonSeed, index, 5) < 0.05f;
            const glm::vec3 helper = std::fabs(c.centre.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
            c.east = glm::normalize(glm::cross(helper, c.centre));
            c.north = glm::cross(c.centre, c.east);
            // Rays reach about ten radii; the ejecta blanket without rays about two and a half.
            c.reach = std::cos(c.radius * (c.rays ? 10.0f : 2.5f));
            craters.push_back(c);
        }
    }
    return craters;
}

// Relief of a crater at normalised distance r (1 = rim): a bowl below the surroundings, a raised
// rim and a rampart that fades outside it.
float CraterHeight(float r)
{
    if (r < 1.0f)
        return -1.0f + 1.25f * r * r;
    return 0.25f * std::exp(-(r - 1.0f) * (r - 1.0f) / 0.08f);
}

// Albedo change a crater makes at normalised distance r: a darker floor with a small central peak
// on larger craters, a bright rim and, on young craters, a bright ejecta blanket.
float CraterAlbedo(float r, float freshness, bool large)
{
    const float floorDark = r < 1.0f ? -0.08f - 0.08f * SmoothStep(0.9f, 0.3f, r) * (1.0f - freshness) : 0.0f;
    const float peak = large ? 0.12f * std::exp(-r * r / 0.015f) : 0.0f;
    const float rim = (0.08f + 0.14f * freshness) * std::exp(-(r - 1.0f) * (r - 1.0f) / 0.01f);
    const float ejecta = r > 1.0f ? 0.10f * freshness * freshness * std::exp(-(r - 1.0f) / 0.5f) : 0.0f;
    return floorDark + peak + rim + ejecta;
}

} // namespace

glm::vec3 EquirectangularDirection(float u, float v)
{
    const float longitude = 2.0f * Pi * u;
    const float latitude = Pi * (0.5f - v);
    return {std::cos(latitude) * std::cos(longitude), std::sin(latitude), std::cos(latitude) * std::sin(longitude)};
}

Image GenerateMoon(int width, int height)
{
    Image image(width, height, 3);
    const std::vector<Crater> craters = MakeCraters();
    const glm::vec3 highland = FromSrgb(182, 178, 170);
    const glm::vec3 mare = FromSrgb(104, 104, 110);
    // Crater relief is shaded by a low sun from the same side in every crater's local frame.
    const glm::vec2 sun = glm::normalize(glm::vec2(-0.6f, 0.8f));

    // Each row only visits the craters whose reach spans its latitude.
    std::vector<std::vector<const Crater*>> rowCraters(static_cast<size_t>(height));
    for (const Crater& c : craters) {
        const float latitude = std::asin(std::clamp(c.centre.y, -1.0f, 1.0f));
        const float reach = std::acos(c.reach);
        const int first = static_cast<int>(std::floor((0.5f - (latitude + reach) / Pi) * static_cast<float>(height)));
        const int last = static_cast<int>(std::ceil((0.5f - (latitude - reach) / Pi) * static_cast<float>(height)));
        for (int y = std::max(first, 0); y <= std::min(last, height - 1); ++y)
            rowCraters[static_cast<size_t>(y)].push_back(&c);
    }

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const glm::vec3 p = EquirectangularDirection((static_cast<float>(x) + 0.5f) / static_cast<float>(width),
                                                         (static_cast<float>(y) + 0.5f) / static_cast<float>(height));
            // Maria: large smooth lowlands with ragged, soft shores and mottled interiors.
            const float mariaField = Fbm3(p * 1.4f + glm::vec3(3.1f), 6, 0.6f, 21);
            const float mariaShare = SmoothStep(0.0f, 0.22f, mariaField);
            const float mottle = Fbm3(p * 5.0f, 5, 0.6f, 22);
            const float grain = Fbm3(p * 48.0f, 3, 0.5f, 23);

            float brightness = 1.0f + 0.4f * mottle + 0.15f * grain;
            for (const Crater* c : rowCraters[static_cast<size_t>(y)]) {
                const float cosAngle = glm::dot(p, c->centre);
                if (cosAngle < c->reach)
                    continue;
                const float r = std::acos(std::min(cosAngle, 1.0f)) / c->radius;
                // Lava flooded most older craters in the maria: only fresh ones show there.
                const float survival = 1.0f - mariaShare * (1.0f - c->freshness) * 0.85f;
                const glm::vec3 toward = p - c->centre * cosAngle;
                const float e = glm::dot(toward, c->east), n = glm::dot(toward, c->north);
                const float len = std::max(std::sqrt(e * e + n * n), 1e-7f);
                const glm::vec2 radial(e / len, n / len);
                const float slope = (CraterHeight(r + 0.01f) - CraterHeight(r - 0.01f)) / 0.02f;
                const float relief = -0.12f * slope * glm::dot(radial, sun);
                brightness += survival * (CraterAlbedo(r, c->freshness, c->radius > 0.05f) + relief);
                if (c->rays && r > 1.0f) {
                    // Streaks around the crater: noise on the circle of directions, sharpened.
                    const float streak =
                        Fbm3(glm::vec3(radial.x * 3.0f, radial.y * 3.0f, c->radius * 50.0f), 3, 0.6f, 24);
                    brightness += 0.6f * std::pow(std::max(0.0f, streak + 0.05f), 1.5f) * std::exp(-(r - 1.0f) / 3.0f);
                }
            }
            const glm::vec3 colour = glm::mix(highland, mare, mariaShare) * std::max(brightness, 0.2f);
            uint8_t* rgb = image.Pixel(x, y);
            for (int c = 0; c < 3; ++c)
                rgb[c] = ToSrgbByte(
                    colour[c], Dither(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(c)));
        }
    }
    return image;
}

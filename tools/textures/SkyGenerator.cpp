#include "tools/textures/SkyGenerator.h"

#include "tools/textures/Colour.h"
#include "tools/textures/Noise.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr float Pi = 3.14159265f;
constexpr uint32_t SkySeed = 0x5C1Eu; // any fixed value: the same stars in every build
// The galactic plane, tilted so the band arches across the sky rather than lying on the horizon.
const glm::vec3 BandNormal = glm::normalize(glm::vec3(0.35f, 0.55f, 0.75f));
constexpr float BandHalfWidth = 0.22f; // sine of the angle from the band's centre line

// Stars, the band and airglow fade into the haze near the horizon.
float Visibility(float elevation)
{
    return SmoothStep(-0.01f, 0.25f, elevation);
}

// Land silhouette: low hills whose height (as sine of elevation) varies with azimuth.
float HorizonLine(const glm::vec3& d)
{
    const float h = std::sqrt(d.x * d.x + d.z * d.z);
    if (h < 1e-4f)
        return 0.0f;
    const float hills = Fbm3(glm::vec3(d.x / h * 2.5f, 0.0f, d.z / h * 2.5f), 4, 0.55f, 31);
    return 0.01f + 0.05f * std::max(0.0f, hills + 0.15f);
}

glm::vec3 BandGlow(const glm::vec3& d)
{
    const float offset = glm::dot(d, BandNormal);
    const float core = std::exp(-offset * offset / (BandHalfWidth * BandHalfWidth));
    if (core < 1e-3f)
        return glm::vec3(0.0f);
    const float clouds = 0.5f + 1.1f * Fbm3(d * 6.0f, 6, 0.6f, 32);
    // Dark dust lanes split the band along its middle.
    const float lane =
        std::exp(-(offset + 0.03f) * (offset + 0.03f) / 0.0025f) * SmoothStep(-0.1f, 0.2f, Fbm3(d * 3.0f, 4, 0.5f, 33));
    const float glow = core * std::max(0.0f, clouds) * (1.0f - 0.75f * lane);
    return FromSrgb(70, 74, 92) * glow;
}

} // namespace

glm::vec3 SkyBackground(const glm::vec3& d)
{
    const float e = d.y;
    const glm::vec3 zenith = FromSrgb(3, 4, 11);
    const glm::vec3 middle = FromSrgb(8, 12, 28);
    const glm::vec3 horizon = FromSrgb(26, 34, 58);
    const float up = std::clamp(e, 0.0f, 1.0f);
    // The horizon glow is gone about 17 degrees up (sine 0.3); from there the sky deepens to the zenith.
    glm::vec3 sky = up < 0.3f ? glm::mix(horizon, middle, SmoothStep(0.0f, 0.3f, up))
                              : glm::mix(middle, zenith, SmoothStep(0.3f, 1.0f, up));
    // Airglow: broad, faint brightness patches.
    sky *= 0.85f + 0.5f * std::max(0.0f, Fbm3(d * 1.8f, 3, 0.5f, 34) + 0.2f);
    sky += BandGlow(d) * Visibility(e);

    const float land = HorizonLine(d);
    if (e < land) {
        // Dark land, a touch lighter where it meets the haze, mottled by fields and woods; the
        // hill edge is antialiased.
        const float mottle = 1.0f + 1.3f * Fbm3(d * 5.0f, 4, 0.55f, 35);
        const glm::vec3 ground =
            glm::mix(FromSrgb(8, 9, 12), FromSrgb(16, 18, 24), SmoothStep(-0.4f, land, e)) * mottle;
        return glm::mix(ground, sky, SmoothStep(land - 0.003f, land, e));
    }
    return sky;
}

std::vector<Star> MakeStars()
{
    std::vector<Star> stars;
    // Field stars everywhere; more, fainter ones crowd the band.
    constexpr uint32_t FieldStars = 6000;
    constexpr uint32_t BandStars = 3500;
    const glm::vec3 bandU = glm::normalize(glm::cross(BandNormal, glm::vec3(0, 1, 0)));
    const glm::vec3 bandV = glm::cross(BandNormal, bandU);
    for (uint32_t i = 0; i < FieldStars + BandStars; ++i) {
        glm::vec3 dir;
        if (i < FieldStars) {
            const float z = 2.0f * HashUnit(SkySeed, i, 1) - 1.0f;
            const float phi = 2.0f * Pi * HashUnit(SkySeed, i, 2);
            const float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
            dir = {r * std::cos(phi), z, r * std::sin(phi)};
        } else {
            const float phi = 2.0f * Pi * HashUnit(SkySeed, i, 2);
            // Sum of uniforms: a bell-shaped offset across the band.
            const float across =
                BandHalfWidth * (HashUnit(SkySeed, i, 3) + HashUnit(SkySeed, i, 4) + HashUnit(SkySeed, i, 5) - 1.5f);
            dir = glm::normalize(bandU * std::cos(phi) + bandV * std::sin(phi) + BandNormal * across);
        }
        // Stellar magnitudes: each step of one magnitude brighter has about a third as many stars
        // (counts grow as 10^(0.5 m)), from magnitude 6 (faintest drawn) up to about -1.
        const float magnitude = std::max(-1.0f, 6.0f + 2.0f * std::log10(std::max(HashUnit(SkySeed, i, 6), 1e-6f)));
        const float flux = std::pow(10.0f, -0.4f * (magnitude - 6.0f));
        const float faintest = i < FieldStars ? 0.018f : 0.012f;
        // Colour temperature from blue-white to orange.
        const float temperature = HashUnit(SkySeed, i, 7);
        const glm::vec3 tint = temperature < 0.3f   ? glm::vec3(0.75f, 0.85f, 1.2f)
                               : temperature < 0.8f ? glm::vec3(1.0f)
                                                    : glm::vec3(1.2f, 0.95f, 0.7f);
        // Bright stars also spread wider; one face texel spans about 0.0039 rad at the face centre.
        const float spread = 0.0017f * (1.0f + 0.22f * std::log10(flux));
        stars.push_back({dir, tint * std::min(faintest * flux, 2.5f), spread});
    }
    return stars;
}

Image GenerateSkyFace(CubeFace face, int size, const std::vector<Star>& stars)
{
    std::vector<glm::vec3> radiance(static_cast<size_t>(size) * static_cast<size_t>(size));
    std::vector<glm::vec3> directions(radiance.size());
    const float texel = 1.0f / static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x);
            directions[i] = glm::normalize(CubeFaceDirection(face, (static_cast<float>(x) + 0.5f) * texel,
                                                             (static_cast<float>(y) + 0.5f) * texel));
            radiance[i] = SkyBackground(directions[i]);
        }
    }

    // Each star is splatted where its glow lands on this face, measured as an angle on the sphere,
    // so a star on an edge spreads over both faces exactly as one star.
    const glm::vec3 axis = CubeFaceDirection(face, 0.5f, 0.5f);
    const float faceSize = static_cast<float>(size);
    for (const Star& star : stars) {
        // Anything nearer the plane than this lies far beyond the face; the window test skips it anyway.
        if (glm::dot(star.direction, axis) <= 0.3f)
            continue;
        const float visible = star.direction.y > HorizonLine(star.direction) ? Visibility(star.direction.y) : 0.0f;
        if (visible <= 0.0f)
            continue;
        const glm::vec2 st = CubeFacePlaneCoord(face, star.direction) * faceSize;
        // The glow is cut at six spreads, where even the brightest star has faded below one
        // step of the darkest sky. Texels shrink to a third of the centre's angle at the corners
        // and the face spans two plane units, so that is 6 * spread * size * 3 / 2 texels.
        const int reach = static_cast<int>(std::ceil(9.0f * star.spread * faceSize)) + 1;
        const int cx = static_cast<int>(std::floor(st.x)), cy = static_cast<int>(std::floor(st.y));
        if (cx + reach < 0 || cy + reach < 0 || cx - reach >= size || cy - reach >= size)
            continue;
        const float inverseVariance = 0.5f / (star.spread * star.spread);
        for (int y = std::max(0, cy - reach); y <= std::min(size - 1, cy + reach); ++y) {
            for (int x = std::max(0, cx - reach); x <= std::min(size - 1, cx + reach); ++x) {
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x);
                const glm::vec3 chord = directions[i] - star.direction;
                radiance[i] += star.colour * (visible * std::exp(-glm::dot(chord, chord) * inverseVariance));
            }
        }
    }

    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const glm::vec3& c = radiance[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)];
            uint8_t* rgb = image.Pixel(x, y);
            for (int k = 0; k < 3; ++k)
                rgb[k] = ToSrgbByte(c[k], Dither(static_cast<uint32_t>(face) * 4096u + static_cast<uint32_t>(x),
                                                 static_cast<uint32_t>(y), static_cast<uint32_t>(k)));
        }
    }
    return image;
}

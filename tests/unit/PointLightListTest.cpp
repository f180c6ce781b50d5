// Which point lights a draw loops over: each light's reach from its own attenuation terms, and
// the lights whose reach touches a draw's bounds, packed as the shaders read them.
#include "renderer/PointLightList.h"
#include "renderer/PointLightReach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

PointLight Light(glm::vec3 colour, float constant, float linear, float quadratic)
{
    PointLight light;
    light.colour = glm::vec4(colour, 1.0f);
    light.constant = constant;
    light.linear = linear;
    light.quadratic = quadratic;
    return light;
}

float Contribution(float peak, const PointLight& light, float distance)
{
    return peak / (light.constant + light.linear * distance + light.quadratic * distance * distance);
}

constexpr float Infinite = std::numeric_limits<float>::infinity();

} // namespace

TEST(PointLightReach, EndsWhereTheBrightestChannelFallsUnderHalfAnEightBitStep)
{
    // The arena's terms and its brightest colour: the light carries far past the 36 m arena.
    const PointLight game = Light(glm::vec3(2.0f, 1.0f, 0.5f), 1.0f, 0.09f, 0.032f);
    const float reach = PointLightReach(game);
    EXPECT_NEAR(Contribution(2.0f, game, reach), 0.5f / 255.0f, 1e-7f);
    EXPECT_GT(Contribution(2.0f, game, reach * 0.999f), 0.5f / 255.0f);
    EXPECT_NEAR(reach, 177.05f, 0.01f);

    // The ambient term is attenuated the same way and adds to the direct light; a glossy surface
    // multiplies the direct light.
    PointLight ambient = Light(glm::vec3(0.1f), 1.0f, 0.0f, 4.0f);
    ambient.ambient = glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(PointLightReach(ambient), std::sqrt(((0.1f + 1.0f) * 510.0f - 1.0f) / 4.0f), 1e-3f);
    EXPECT_NEAR(PointLightReach(ambient, 50.0f), std::sqrt(((0.1f * 50.0f + 1.0f) * 510.0f - 1.0f) / 4.0f), 1e-2f);

    // Linear fall-off alone.
    EXPECT_NEAR(PointLightReach(Light(glm::vec3(1.0f), 2.0f, 0.5f, 0.0f)), (510.0f - 2.0f) / 0.5f, 1e-2f);
    // Dark at the light itself, or no light at all: reaches nothing.
    EXPECT_EQ(PointLightReach(Light(glm::vec3(0.001f), 1.0f, 0.1f, 0.1f)), 0.0f);
    EXPECT_EQ(PointLightReach(PointLight{}), Infinite) << "a zero record has no distance term";
}

TEST(PointLightReach, IsInfiniteWithoutAFallingAttenuation)
{
    EXPECT_EQ(PointLightReach(Light(glm::vec3(1.0f), 1.0f, 0.0f, 0.0f)), Infinite);
    EXPECT_EQ(PointLightReach(Light(glm::vec3(1.0f), 1.0f, 0.1f, -0.01f)), Infinite) << "grows again far away";
    EXPECT_EQ(PointLightReach(Light(glm::vec3(1.0f), 1.0f, std::nanf(""), 0.1f)), Infinite);
    EXPECT_EQ(PointLightReach(Light(glm::vec3(Infinite), 1.0f, 0.1f, 0.1f)), Infinite);
}

TEST(PointLightList, PacksFourIndicesToAWordInOrder)
{
    const PointLightList all = PointLightList::All();
    ASSERT_EQ(all.count, uint32_t(MaxPointLights));
    for (uint32_t n = 0; n < all.count; ++n)
        EXPECT_EQ(all.Index(n), n);
    EXPECT_EQ(all.indices[0], 0x03020100u) << "light n in byte n % 4 of word n / 4, as the shaders unpack it";
    EXPECT_EQ(all.indices[2], 0x00000908u);

    PointLightList some;
    some.Add(9);
    some.Add(3);
    EXPECT_EQ(some.count, 2u);
    EXPECT_EQ(some.indices[0], 0x00000309u);
}

TEST(PointLightList, ListsTheLightsWhoseReachTouchesTheBoundsInAscendingOrder)
{
    const glm::vec4 bounds(10.0f, 0.0f, 0.0f, 2.0f);
    // Quadratic fall-off alone, bright enough to reach 5 at a gain of 1: 2 * 510 / d^2 = 1 at d = 5.
    PointLight lights[MaxPointLights];
    for (PointLight& light : lights) {
        light = Light(glm::vec3(25.0f / 510.0f), 0.0f, 0.0f, 1.0f);
        light.position = glm::vec4(1000.0f, 0.0f, 0.0f, 1.0f); // far away
    }
    lights[1].position = glm::vec4(10.0f, 6.99f, 0.0f, 1.0f); // 6.99 from the centre: reach 5 + radius 2 touches
    lights[2].position = glm::vec4(10.0f, 0.0f, 7.01f, 1.0f); // just out of touch
    lights[4] = Light(glm::vec3(1.0f), 1.0f, 0.0f, 0.0f);     // no finite reach: on every list
    lights[4].position = glm::vec4(-1e6f, 0.0f, 0.0f, 1.0f);
    lights[7].colour = glm::vec4(0.0f); // reaching nothing, but inside the bounds
    lights[7].position = glm::vec4(10.0f, 0.0f, 0.0f, 1.0f);

    const PointLightList list = PointLightsTouching(lights, 1.0f, bounds);
    ASSERT_EQ(list.count, 3u);
    EXPECT_EQ(list.Index(0), 1u);
    EXPECT_EQ(list.Index(1), 4u);
    EXPECT_EQ(list.Index(2), 7u);

    // Four times the gain doubles the quadratic reach: light 2 then touches, the far ones not.
    EXPECT_EQ(PointLightsTouching(lights, 4.0f, bounds).count, 4u);
    // Bounds that are not finite (a degenerate transform) keep every light rather than none.
    EXPECT_EQ(PointLightsTouching(lights, 1.0f, glm::vec4(std::nanf(""))).count, uint32_t(MaxPointLights));
}

namespace {

// The shaders' ShadeLight over the light's radiance, for a white dielectric or metal: what the
// gain must bound.
float ShadedShare(const glm::vec3& n, const glm::vec3& v, const glm::vec3& l, float roughness, float metallic)
{
    const float pi = 3.14159265f;
    const float nDotL = std::max(glm::dot(n, l), 0.0f);
    if (nDotL <= 0.0f)
        return 0.0f;
    const glm::vec3 h = glm::normalize(v + l);
    const float nDotV = std::max(glm::dot(n, v), 0.0f), nDotH = std::max(glm::dot(n, h), 0.0f);
    const float r = std::max(roughness, 0.089f), alpha2 = r * r * r * r;
    const float d = nDotH * nDotH * (alpha2 - 1.0f) + 1.0f;
    const float distribution = alpha2 / (pi * d * d);
    const float k = (r + 1.0f) * (r + 1.0f) / 8.0f;
    const float g = nDotV / (nDotV * (1.0f - k) + k) * nDotL / (nDotL * (1.0f - k) + k);
    const float f0 = 0.04f + (1.0f - 0.04f) * metallic;
    const float fresnel =
        f0 + (1.0f - f0) * std::pow(std::clamp(1.0f - std::max(glm::dot(h, v), 0.0f), 0.0f, 1.0f), 5.0f);
    const float specular = distribution * g * fresnel / std::max(4.0f * nDotV * nDotL, 1e-4f);
    return ((1.0f - fresnel) * (1.0f - metallic) / pi + specular) * nDotL;
}

} // namespace

TEST(PointLightReach, SurfaceGainBoundsWhatTheShadingReturnsOfALight)
{
    const glm::vec3 n(0.0f, 0.0f, 1.0f);
    uint32_t state = 12345u; // a fixed LCG: the same directions every run
    auto uniform = [&] {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / float(1u << 24);
    };
    auto hemisphere = [&] {
        const float z = uniform(), phi = 6.2831853f * uniform(), s = std::sqrt(1.0f - z * z);
        return glm::vec3(s * std::cos(phi), s * std::sin(phi), z);
    };
    for (float roughness : {0.0f, 0.1f, 0.3f, 0.6f, 1.0f}) {
        const float gain = SurfaceLightGain(roughness);
        float largest = 0.0f;
        for (int i = 0; i < 200000; ++i) {
            const glm::vec3 v = hemisphere(), l = hemisphere();
            // Half the samples at the mirror direction, where the highlight peaks.
            const glm::vec3 light = (i % 2) ? l : glm::reflect(-v, n);
            for (float metallic : {0.0f, 1.0f})
                largest = std::max(largest, ShadedShare(n, v, light, roughness, metallic));
        }
        EXPECT_LE(largest, gain * 1.0001f) << "roughness " << roughness;
        // Not loose past a few times the worst case found: the lists would keep lights for nothing.
        EXPECT_GE(largest * 8.0f, gain) << "roughness " << roughness;
    }
    EXPECT_EQ(SurfaceLightGain(1.0f), 1.0f) << "never under the light's own colour";
    EXPECT_FLOAT_EQ(SurfaceLightGain(0.0f), SurfaceLightGain(0.089f)) << "the shaders' floor on roughness";
}

// Which point lights a draw loops over: each light's reach from its own attenuation terms, and
// the lights whose reach touches a draw's bounds, packed as the shaders read them.
#include "renderer/PointLightList.h"
#include "renderer/PointLightReach.h"

#include <gtest/gtest.h>

#include <cmath>
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

    // A brighter ambient term governs: it is attenuated the same way.
    PointLight ambient = Light(glm::vec3(0.1f), 1.0f, 0.0f, 4.0f);
    ambient.ambient = glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(PointLightReach(ambient), std::sqrt((255.0f * 2.0f - 1.0f) / 4.0f), 1e-3f);

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
    PointLightSpheres lights;
    for (glm::vec4& light : lights)
        light = glm::vec4(1000.0f, 0.0f, 0.0f, 5.0f); // far away
    lights[1] = glm::vec4(10.0f, 6.99f, 0.0f, 5.0f);   // 6.99 from the centre: reach 5 + radius 2 touches
    lights[2] = glm::vec4(10.0f, 0.0f, 7.01f, 5.0f);   // just out of touch
    lights[4] = glm::vec4(-1e6f, 0.0f, 0.0f, Infinite); // no finite reach: on every list
    lights[7] = glm::vec4(10.0f, 0.0f, 0.0f, 0.0f);    // reaching nothing, but inside the bounds

    const PointLightList list = PointLightsTouching(lights, bounds);
    ASSERT_EQ(list.count, 3u);
    EXPECT_EQ(list.Index(0), 1u);
    EXPECT_EQ(list.Index(1), 4u);
    EXPECT_EQ(list.Index(2), 7u);

    // Bounds that are not finite (a degenerate transform) keep every light rather than none.
    EXPECT_EQ(PointLightsTouching(lights, glm::vec4(std::nanf(""))).count, uint32_t(MaxPointLights));
}

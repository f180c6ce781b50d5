#include "tools/textures/GrassGenerator.h"
#include "tools/textures/GroundGenerator.h"
#include "tools/textures/MoonGenerator.h"
#include "tools/textures/SkyGenerator.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr int FaceSize = 64;

// Brightness a star list adds to one face over the starless sky.
double StarLight(CubeFace face, const std::vector<Star>& stars)
{
    const Image lit = GenerateSkyFace(face, FaceSize, stars);
    const Image dark = GenerateSkyFace(face, FaceSize, {});
    double sum = 0.0;
    for (size_t i = 0; i < lit.Bytes().size(); ++i)
        sum += static_cast<double>(lit.Bytes()[i]) - static_cast<double>(dark.Bytes()[i]);
    return sum;
}

// A star wide enough to cover a few texels of a 64-texel face.
Star TestStar(glm::vec3 direction)
{
    return {glm::normalize(direction), glm::vec3(0.5f), 0.03f};
}

float Luminance(glm::vec3 c)
{
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}

} // namespace

// +X and +Z mirror each other across the plane x = z, so a star on their shared edge must give
// both the same light: it is drawn whole, once, split over the seam.
TEST(TextureSky, AStarOnAnEdgeOrCornerIsSharedByItsFaces)
{
    const std::vector<Star> edge = {TestStar({1.0f, 0.6f, 1.0f})};
    const double px = StarLight(CubeFace::PositiveX, edge), pz = StarLight(CubeFace::PositiveZ, edge);
    EXPECT_GT(px, 500.0);
    EXPECT_NEAR(px, pz, 0.05 * px);
    EXPECT_EQ(StarLight(CubeFace::NegativeX, edge), 0.0);

    const std::vector<Star> corner = {TestStar({1.0f, 1.0f, 1.0f})};
    const double cx = StarLight(CubeFace::PositiveX, corner);
    EXPECT_GT(cx, 200.0);
    EXPECT_NEAR(StarLight(CubeFace::PositiveY, corner), cx, 0.05 * cx);
    EXPECT_NEAR(StarLight(CubeFace::PositiveZ, corner), cx, 0.05 * cx);
}

TEST(TextureSky, NoStarsBelowTheHorizon)
{
    EXPECT_GT(StarLight(CubeFace::PositiveZ, {TestStar({0.0f, 0.5f, 1.0f})}), 500.0);
    EXPECT_EQ(StarLight(CubeFace::PositiveZ, {TestStar({0.0f, -0.3f, 1.0f})}), 0.0);
}

TEST(TextureSky, BackgroundIsANightGradient)
{
    const glm::vec3 zenith = SkyBackground({0.0f, 1.0f, 0.0f});
    float horizon = 0.0f, ground = 0.0f;
    for (float a = 0.0f; a < 6.28f; a += 0.3f) {
        horizon += Luminance(SkyBackground(glm::normalize(glm::vec3(std::cos(a), 0.12f, std::sin(a))))) / 21.0f;
        ground += Luminance(SkyBackground(glm::normalize(glm::vec3(std::cos(a), -0.3f, std::sin(a))))) / 21.0f;
    }
    EXPECT_LT(Luminance(zenith), 0.5f * horizon);
    EXPECT_LT(ground, horizon);
    EXPECT_GT(zenith.b, zenith.r); // blue-black, not grey
    EXPECT_LT(horizon, 0.05f);     // night: the brightest sky stays dim
}

TEST(TextureSky, StarsAreUnitDirectionsMostlyFaint)
{
    const std::vector<Star> stars = MakeStars();
    ASSERT_GT(stars.size(), 2000u);
    size_t bright = 0;
    for (const Star& s : stars) {
        EXPECT_NEAR(glm::length(s.direction), 1.0f, 1e-4f);
        bright += Luminance(s.colour) > 0.5f ? 1 : 0;
    }
    EXPECT_GT(bright, 0u);
    EXPECT_LT(bright, stars.size() / 20);
}

TEST(TextureGrass, MaskIsRepeatedInEveryChannelAndTheDiffuseAlpha)
{
    const GrassTextures grass = GenerateGrass(64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint8_t* m = grass.alpha.Pixel(x, y);
            EXPECT_TRUE(m[0] == m[1] && m[1] == m[2] && m[2] == m[3]) << x << "," << y;
            EXPECT_EQ(grass.diffuse.Pixel(x, y)[3], m[0]);
        }
    }
}

TEST(TextureGenerators, FixedSeedsGiveTheSameBytes)
{
    EXPECT_EQ(GenerateGround(32).colour.Bytes(), GenerateGround(32).colour.Bytes());
    EXPECT_EQ(GenerateGrass(32).diffuse.Bytes(), GenerateGrass(32).diffuse.Bytes());
    EXPECT_EQ(GenerateMoon(64, 32).Bytes(), GenerateMoon(64, 32).Bytes());
}

TEST(TextureMoon, EquirectangularMapClosesAroundTheSphere)
{
    const glm::vec3 pole = EquirectangularDirection(0.3f, 0.0f);
    EXPECT_NEAR(pole.y, 1.0f, 1e-6f);
    EXPECT_NEAR(EquirectangularDirection(0.7f, 1.0f).y, -1.0f, 1e-6f);
    const glm::vec3 a = EquirectangularDirection(0.0f, 0.4f), b = EquirectangularDirection(1.0f, 0.4f);
    EXPECT_LT(glm::length(a - b), 1e-5f);
    EXPECT_NEAR(glm::length(EquirectangularDirection(0.37f, 0.61f)), 1.0f, 1e-5f);
}

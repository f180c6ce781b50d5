#include "tools/textures/Colour.h"
#include "tools/textures/HeightField.h"
#include "tools/textures/Noise.h"
#include "tools/textures/NormalMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

TEST(TextureNoise, TileableFbmRepeatsAndVaries)
{
    float lo = 1.0f, hi = -1.0f;
    for (float u = -0.3f; u < 1.0f; u += 0.07f) {
        for (float v = -0.2f; v < 1.0f; v += 0.09f) {
            const float f = TileableFbm(u, v, 4, 5, 0.5f, 3);
            EXPECT_NEAR(f, TileableFbm(u + 1.0f, v, 4, 5, 0.5f, 3), 1e-4f);
            EXPECT_NEAR(f, TileableFbm(u, v + 1.0f, 4, 5, 0.5f, 3), 1e-4f);
            EXPECT_NEAR(f, TileableFbm(u - 1.0f, v - 2.0f, 4, 5, 0.5f, 3), 1e-4f);
            lo = std::min(lo, f);
            hi = std::max(hi, f);
        }
    }
    EXPECT_GT(hi - lo, 0.3f);
    // Continuous across the seam, not merely equal at whole periods.
    EXPECT_NEAR(TileableFbm(0.9999f, 0.4f, 8, 4, 0.5f, 1), TileableFbm(0.0f, 0.4f, 8, 4, 0.5f, 1), 0.01f);
    EXPECT_NE(TileableFbm(0.3f, 0.4f, 8, 4, 0.5f, 1), TileableFbm(0.3f, 0.4f, 8, 4, 0.5f, 2));
}

TEST(TextureNoise, TileableCellsRepeatWithTheTile)
{
    std::set<uint32_t> cells;
    for (float u = 0.01f; u < 1.0f; u += 0.013f) {
        const CellSample a = TileableCells(u, 0.37f, 6, 9);
        const CellSample b = TileableCells(u + 1.0f, 0.37f - 1.0f, 6, 9);
        EXPECT_NEAR(a.f1, b.f1, 1e-4f);
        EXPECT_NEAR(a.f2, b.f2, 1e-4f);
        EXPECT_EQ(a.cellId, b.cellId);
        EXPECT_LE(a.f1, a.f2);
        EXPECT_LT(a.f1, 1.5f); // a point in one of the nine nearest cells is never that far
        cells.insert(a.cellId);
    }
    EXPECT_GE(cells.size(), 5u); // a row across the tile passes about six cells
    // The nearest point is the same on both sides of the seam.
    EXPECT_EQ(TileableCells(0.9999f, 0.5f, 6, 9).cellId, TileableCells(0.0001f, 0.5f, 6, 9).cellId);
}

TEST(TextureNoise, HashUnitIsUniformInTheUnitInterval)
{
    double sum = 0.0;
    float lo = 1.0f, hi = 0.0f;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const float h = HashUnit(7, static_cast<uint32_t>(i));
        lo = std::min(lo, h);
        hi = std::max(hi, h);
        sum += h;
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LT(hi, 1.0f);
    EXPECT_NEAR(sum / n, 0.5, 0.01);
    EXPECT_NE(HashUnit(1, 2), HashUnit(2, 1));
}

TEST(TextureNoise, SrgbEncodingAndDitherKeepTheAverage)
{
    for (float c = 0.0f; c <= 1.0f; c += 0.05f)
        EXPECT_NEAR(SrgbToLinear(LinearToSrgb(c)), c, 1e-5f);
    EXPECT_EQ(ToSrgbByte(0.5f, 0.0f), 188); // linear half grey is sRGB 0.7354
    EXPECT_EQ(ToSrgbByte(2.0f, 0.9f), 255);
    EXPECT_EQ(ToSrgbByte(-1.0f, -0.9f), 0);
    // A level between two bytes comes out as their mix, in proportion: no banding.
    const float level = 40.3f / 255.0f;
    double sum = 0.0;
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        sum += ToByte(level, Dither(static_cast<uint32_t>(i), 5));
    EXPECT_NEAR(sum / n, 40.3, 0.05);
}

TEST(TextureNormalMap, FlatIsStraightUpAndSlopesLeanDownhill)
{
    HeightField flat(8, 8);
    const Image up = NormalMapFromHeights(flat, 1.0f);
    EXPECT_EQ(up.Pixel(3, 3)[0], 128);
    EXPECT_EQ(up.Pixel(3, 3)[1], 128);
    EXPECT_EQ(up.Pixel(3, 3)[2], 255);

    // Rising to the right by one pixel width per pixel: 45 degrees, leaning toward -x.
    HeightField rampX(8, 8), rampY(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            rampX.At(x, y) = static_cast<float>(x);
            rampY.At(x, y) = static_cast<float>(y);
        }
    const glm::vec3 nx = DecodeNormal(NormalMapFromHeights(rampX, 1.0f).Pixel(3, 4));
    EXPECT_NEAR(nx.x, -0.7071f, 0.01f);
    EXPECT_NEAR(nx.y, 0.0f, 0.01f);
    EXPECT_NEAR(nx.z, 0.7071f, 0.01f);
    // Rising down the rows: y follows v, which grows downward.
    const glm::vec3 ny = DecodeNormal(NormalMapFromHeights(rampY, 2.0f).Pixel(4, 3));
    EXPECT_NEAR(ny.y, -2.0f / std::sqrt(5.0f), 0.01f);
    EXPECT_NEAR(ny.x, 0.0f, 0.01f);
}

TEST(TextureNormalMap, ABumpOnTheCornerShowsOnAllFourSides)
{
    HeightField bump(16, 16);
    bump.At(0, 0) = 4.0f;
    const Image map = NormalMapFromHeights(bump, 1.0f);
    EXPECT_GT(DecodeNormal(map.Pixel(1, 0)).x, 0.5f);   // right of the bump: leans right
    EXPECT_LT(DecodeNormal(map.Pixel(15, 0)).x, -0.5f); // across the left edge: leans left
    EXPECT_GT(DecodeNormal(map.Pixel(0, 1)).y, 0.5f);
    EXPECT_LT(DecodeNormal(map.Pixel(0, 15)).y, -0.5f);
}

// The generated textures as the game gets them: bytes from the pack in the run directory, decoded
// by stb_image to 8-bit RGBA exactly as the texture loader does.
#include "support/PackImage.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

float ColourDistance(const uint8_t* a, const uint8_t* b)
{
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

// Mean colour step between column x0 and column x1 (or rows, when `rows`).
float LineDistance(const PackImage& image, int a, int b, bool rows)
{
    const int n = rows ? image.width : image.height;
    double sum = 0.0;
    for (int k = 0; k < n; ++k)
        sum += rows ? ColourDistance(image.At(k, a), image.At(k, b)) : ColourDistance(image.At(a, k), image.At(b, k));
    return static_cast<float>(sum / n);
}

// Seam between the last and the first line compared with the steps between neighbouring lines
// inside the image and with lines half an image apart.
void ExpectTiles(const PackImage& image, bool rows, const std::string& what)
{
    const int n = rows ? image.height : image.width;
    const float seam = LineDistance(image, n - 1, 0, rows);
    double inner = 0.0, far = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
        inner += LineDistance(image, i, i + 1, rows) / (n - 1);
        far += LineDistance(image, i, (i + n / 2) % n, rows) / (n - 1);
    }
    EXPECT_LT(seam, 1.3 * inner + 0.5) << what << (rows ? " top/bottom" : " left/right");
    EXPECT_LT(seam, 0.6 * far) << what;
}

void ExpectNormalMap(const PackImage& map, const PackImage* mask, const std::string& what)
{
    size_t tilted = 0, counted = 0;
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            const glm::vec3 n = map.Normal(x, y);
            ASSERT_NEAR(glm::length(n), 1.0f, 0.03f) << what << " at " << x << "," << y;
            ASSERT_GT(n.z, 0.2f) << what << " at " << x << "," << y;
            if (!mask || mask->At(x, y)[0] > 128) {
                ++counted;
                tilted += n.z < 0.97f ? 1 : 0;
            }
        }
    }
    EXPECT_GT(tilted, counted / 5) << what << " has too little relief";
}

struct Expected {
    const char* name;
    int width, height;
};

} // namespace

TEST(TextureContent, EveryTextureIsInThePackAtItsSize)
{
    const Expected all[] = {{"GroundTexture", 1024, 1024},
                            {"GroundNormalTexture", 1024, 1024},
                            {"GrassDiffuseTexture", 512, 512},
                            {"GrassNormalTexture", 512, 512},
                            {"GrassAlphaTexture", 512, 512},
                            {"MoonTexture", 1024, 512},
                            {"SkyBoxpx", 512, 512},
                            {"SkyBoxnx", 512, 512},
                            {"SkyBoxpy", 512, 512},
                            {"SkyBoxny", 512, 512},
                            {"SkyBoxpz", 512, 512},
                            {"SkyBoxnz", 512, 512}};
    for (const Expected& e : all) {
        const PackImage image = LoadPackImage(e.name);
        EXPECT_EQ(image.width, e.width) << e.name;
        EXPECT_EQ(image.height, e.height) << e.name;
        // No flat colour: 16 x 16 block means (which average the dither away) must differ.
        std::vector<double> blocks;
        for (int by = 0; by + 16 <= image.height; by += 16) {
            for (int bx = 0; bx + 16 <= image.width; bx += 16) {
                double sum = 0.0;
                for (int y = by; y < by + 16; ++y)
                    for (int x = bx; x < bx + 16; ++x)
                        sum += image.Luma(x, y);
                blocks.push_back(sum / 256.0);
            }
        }
        double mean = 0.0, variance = 0.0;
        for (double b : blocks)
            mean += b / static_cast<double>(blocks.size());
        for (double b : blocks)
            variance += (b - mean) * (b - mean) / static_cast<double>(blocks.size());
        EXPECT_GT(std::sqrt(variance), 1.0) << e.name;
    }
}

TEST(TextureContent, NormalMapsAreUnitVectorsOutOfTheSurface)
{
    ExpectNormalMap(LoadPackImage("GroundNormalTexture"), nullptr, "GroundNormalTexture");
    const PackImage mask = LoadPackImage("GrassAlphaTexture");
    const PackImage grass = LoadPackImage("GrassNormalTexture");
    ExpectNormalMap(grass, &mask, "GrassNormalTexture");
    // Rounded blades: normals lean both ways across them; the gaps between blades are flat.
    size_t left = 0, right = 0, blade = 0;
    for (int y = 0; y < grass.height; ++y) {
        for (int x = 0; x < grass.width; ++x) {
            const glm::vec3 n = grass.Normal(x, y);
            if (mask.At(x, y)[0] > 250) {
                ++blade;
                left += n.x < -0.2f ? 1 : 0;
                right += n.x > 0.2f ? 1 : 0;
            } else if (mask.At(x, y)[0] == 0) {
                ASSERT_GT(n.z, 0.98f) << x << "," << y;
            }
        }
    }
    EXPECT_GT(left, blade / 8);
    EXPECT_GT(right, blade / 8);
}

TEST(TextureContent, GrassMaskHasBladesRisingFromTheBottomEdge)
{
    const PackImage mask = LoadPackImage("GrassAlphaTexture");
    size_t opaque = 0, clear = 0;
    for (size_t i = 0; i < mask.pixels.size(); i += 4) {
        opaque += mask.pixels[i] >= 250 ? 1 : 0;
        clear += mask.pixels[i] <= 5 ? 1 : 0;
    }
    const size_t total = mask.pixels.size() / 4;
    EXPECT_GT(opaque, total / 10);
    EXPECT_GT(clear, total / 5);

    // Several separate blades stand on the bottom row (row 0 is the top of the tuft).
    int runs = 0, covered = 0;
    bool inside = false;
    for (int x = 0; x < mask.width; ++x) {
        const bool solid = mask.At(x, mask.height - 1)[0] >= 250;
        covered += solid ? 1 : 0;
        runs += solid && !inside ? 1 : 0;
        inside = solid;
    }
    EXPECT_GE(runs, 3);
    EXPECT_GT(covered, mask.width / 10);
    // Blades thin out upward: the top row is open sky.
    int topCovered = 0;
    for (int x = 0; x < mask.width; ++x)
        topCovered += mask.At(x, 0)[0] > 128 ? 1 : 0;
    EXPECT_LT(topCovered, covered / 4);
}

TEST(TextureContent, GrassIsGreenAndDarkerAtTheBase)
{
    const PackImage diffuse = LoadPackImage("GrassDiffuseTexture");
    const PackImage mask = LoadPackImage("GrassAlphaTexture");
    double base = 0.0, upper = 0.0;
    size_t baseCount = 0, upperCount = 0, green = 0;
    for (int y = 0; y < diffuse.height; ++y) {
        for (int x = 0; x < diffuse.width; ++x) {
            if (mask.At(x, y)[0] < 250)
                continue;
            const uint8_t* p = diffuse.At(x, y);
            green += p[1] > p[0] && p[1] > p[2] ? 1 : 0;
            if (y >= diffuse.height * 9 / 10) {
                base += diffuse.Luma(x, y);
                ++baseCount;
            } else if (y < diffuse.height / 2) {
                upper += diffuse.Luma(x, y);
                ++upperCount;
            }
        }
    }
    ASSERT_GT(baseCount, 0u);
    ASSERT_GT(upperCount, 0u);
    EXPECT_LT(base / baseCount, 0.7 * upper / upperCount);
    EXPECT_GT(green, (baseCount + upperCount) * 9 / 10);
}

TEST(TextureContent, GroundTilesAcrossBothEdges)
{
    for (const char* name : {"GroundTexture", "GroundNormalTexture"}) {
        const PackImage ground = LoadPackImage(name);
        ExpectTiles(ground, false, name);
        ExpectTiles(ground, true, name);
    }
}

TEST(TextureContent, MoonHasCratersAndClosesAroundTheSphere)
{
    const PackImage moon = LoadPackImage("MoonTexture");
    // Maria against highlands: a wide spread of brightness.
    std::vector<float> luma;
    for (int y = 0; y < moon.height; y += 2)
        for (int x = 0; x < moon.width; x += 2)
            luma.push_back(moon.Luma(x, y));
    std::sort(luma.begin(), luma.end());
    EXPECT_GT(luma[luma.size() * 95 / 100] - luma[luma.size() * 5 / 100], 50.0f);

    // Craters: most 16 x 16 windows away from the poles hold a rim or a floor.
    int windows = 0, detailed = 0;
    for (int y = moon.height / 4; y + 16 <= moon.height * 3 / 4; y += 16) {
        for (int x = 0; x + 16 <= moon.width; x += 16) {
            float lo = 255.0f, hi = 0.0f;
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i) {
                    lo = std::min(lo, moon.Luma(x + i, y + j));
                    hi = std::max(hi, moon.Luma(x + i, y + j));
                }
            ++windows;
            detailed += hi - lo > 25.0f ? 1 : 0;
        }
    }
    EXPECT_GT(detailed, windows / 3);

    ExpectTiles(moon, false, "MoonTexture");
    // A pole row circles a point of the sphere a fraction of a texel wide: it must change far
    // more smoothly along its length than the equator does, not pinch into streaks.
    auto rowStep = [&moon](int y) {
        double sum = 0.0;
        for (int x = 0; x < moon.width; ++x)
            sum += std::fabs(moon.Luma(x, y) - moon.Luma((x + 1) % moon.width, y));
        return sum / moon.width;
    };
    const double equator = rowStep(moon.height / 2);
    EXPECT_LT(rowStep(0), 0.5 * equator);
    EXPECT_LT(rowStep(moon.height - 1), 0.5 * equator);
}

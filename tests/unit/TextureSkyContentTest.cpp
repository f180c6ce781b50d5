// The six sky faces from the pack, decoded as the cube-map loader does, checked as one sphere.
#include "support/PackImage.h"
#include "tools/textures/CubeMapFace.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

std::array<PackImage, 6> LoadFaces()
{
    std::array<PackImage, 6> faces;
    for (CubeFace face : AllCubeFaces)
        faces[static_cast<size_t>(face)] = LoadPackImage("SkyBox" + CubeFaceCode(face));
    return faces;
}

float MeanLuma(const PackImage& image, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            sum += image.Luma(x, y);
    return static_cast<float>(sum / ((x1 - x0) * (y1 - y0)));
}

} // namespace

// Texel `depth` steps inward from `edge` (0 left, 1 right, 2 top, 3 bottom) at position k along it;
// a negative depth lies beyond the edge and is looked up on the neighbouring face.
float LumaNearEdge(const std::array<PackImage, 6>& faces, CubeFace face, int edge, int k, int depth)
{
    const int n = faces[0].width;
    const int x = edge == 0 ? depth : edge == 1 ? n - 1 - depth : k;
    const int y = edge == 2 ? depth : edge == 3 ? n - 1 - depth : k;
    if (depth >= 0)
        return faces[static_cast<size_t>(face)].Luma(x, y);
    const CubeFaceCoord c = CubeFaceOf(glm::normalize(CubeFaceDirection(face, (x + 0.5f) / n, (y + 0.5f) / n)));
    EXPECT_NE(c.face, face);
    return faces[static_cast<size_t>(c.face)].Luma(std::clamp(static_cast<int>(c.s * n), 0, n - 1),
                                                   std::clamp(static_cast<int>(c.t * n), 0, n - 1));
}

// Blocks of 8 x 4 texels along every border are compared with the blocks just across the seam
// (on the neighbouring face, found through the cube-map convention) and with the blocks just
// inward on their own face. Block means ignore dither; the sky's gradient, airglow and band must
// continue across a seam as smoothly as they do inside a face.
TEST(TextureSkyContent, FacesMeetWithoutSeams)
{
    const std::array<PackImage, 6> faces = LoadFaces();
    const int n = faces[0].width;
    for (const PackImage& f : faces) {
        ASSERT_EQ(f.width, n);
        ASSERT_EQ(f.height, n);
    }
    constexpr int Along = 8, Depth = 4;
    double across = 0.0, inward = 0.0;
    for (CubeFace face : AllCubeFaces) {
        for (int edge = 0; edge < 4; ++edge) {
            for (int k0 = 0; k0 < n; k0 += Along) {
                double border = 0.0, beyond = 0.0, inside = 0.0;
                for (int k = k0; k < k0 + Along; ++k) {
                    for (int d = 0; d < Depth; ++d) {
                        border += LumaNearEdge(faces, face, edge, k, d);
                        beyond += LumaNearEdge(faces, face, edge, k, -1 - d);
                        inside += LumaNearEdge(faces, face, edge, k, Depth + d);
                    }
                }
                across += std::fabs(border - beyond) / (Along * Depth);
                inward += std::fabs(border - inside) / (Along * Depth);
            }
        }
    }
    EXPECT_LT(across, 1.2 * inward) << "block steps summed across seams " << across << ", inside faces " << inward;
}

TEST(TextureSkyContent, NightSkyDarkerAtTheZenithAndBelowTheHorizon)
{
    const std::array<PackImage, 6> faces = LoadFaces();
    const int n = faces[0].width;
    const float zenith = MeanLuma(faces[static_cast<size_t>(CubeFace::PositiveY)], n / 3, n / 3, 2 * n / 3, 2 * n / 3);
    const float nadir = MeanLuma(faces[static_cast<size_t>(CubeFace::NegativeY)], 0, 0, n, n);
    float horizon = 0.0f, ground = 0.0f;
    for (CubeFace face : {CubeFace::PositiveX, CubeFace::NegativeX, CubeFace::PositiveZ, CubeFace::NegativeZ}) {
        // Rows just above the middle look a few degrees over the horizon; the bottom rows look down.
        horizon += MeanLuma(faces[static_cast<size_t>(face)], 0, n / 2 - n / 12, n, n / 2 - n / 24) / 4.0f;
        ground += MeanLuma(faces[static_cast<size_t>(face)], 0, 3 * n / 4, n, n) / 4.0f;
    }
    EXPECT_LT(zenith, horizon);
    EXPECT_LT(ground, horizon);
    EXPECT_LT(nadir, horizon);
    EXPECT_LT(horizon, 70.0f); // a night sky, not a day sky
    const uint8_t* deep = faces[static_cast<size_t>(CubeFace::PositiveY)].At(n / 2, n / 2);
    EXPECT_GE(deep[2], deep[0]); // blue-black
}

TEST(TextureSkyContent, StarsOfVariedBrightnessAboveTheHorizonOnly)
{
    const std::array<PackImage, 6> faces = LoadFaces();
    const int n = faces[0].width;
    std::vector<float> peaks;
    int below = 0;
    for (CubeFace face : AllCubeFaces) {
        const PackImage& f = faces[static_cast<size_t>(face)];
        for (int y = 1; y + 1 < n; ++y) {
            for (int x = 1; x + 1 < n; ++x) {
                const float l = f.Luma(x, y);
                // A star: a local maximum standing well above its surroundings two texels away.
                if (l < f.Luma(x - 1, y) || l < f.Luma(x + 1, y) || l < f.Luma(x, y - 1) || l < f.Luma(x, y + 1))
                    continue;
                const float around = (f.Luma(std::max(x - 2, 0), y) + f.Luma(std::min(x + 2, n - 1), y) +
                                      f.Luma(x, std::max(y - 2, 0)) + f.Luma(x, std::min(y + 2, n - 1))) /
                                     4.0f;
                if (l - around < 25.0f)
                    continue;
                if (CubeFaceDirection(face, (x + 0.5f) / n, (y + 0.5f) / n).y < 0.0f)
                    ++below;
                else
                    peaks.push_back(l);
            }
        }
    }
    EXPECT_EQ(below, 0);
    ASSERT_GT(peaks.size(), 300u);
    std::sort(peaks.begin(), peaks.end());
    EXPECT_GT(peaks.back() - peaks.front(), 100.0f); // faint and bright stars
    EXPECT_LT(peaks[peaks.size() / 2], 200.0f);      // most of them faint
}

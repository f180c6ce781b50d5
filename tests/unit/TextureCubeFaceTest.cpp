#include "tools/textures/CubeMapFace.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include <algorithm>

namespace {

void ExpectDirection(CubeFace face, float s, float t, glm::vec3 expected)
{
    const glm::vec3 d = CubeFaceDirection(face, s, t);
    EXPECT_NEAR(d.x, expected.x, 1e-6f) << CubeFaceCode(face) << " s=" << s << " t=" << t;
    EXPECT_NEAR(d.y, expected.y, 1e-6f) << CubeFaceCode(face) << " s=" << s << " t=" << t;
    EXPECT_NEAR(d.z, expected.z, 1e-6f) << CubeFaceCode(face) << " s=" << s << " t=" << t;
}

} // namespace

// Corners of each face from the Vulkan cube-map face selection table: (s, t) = (0, 0) is the first
// texel of the face's first row.
TEST(TextureCubeFace, CornersFollowTheVulkanFaceTable)
{
    ExpectDirection(CubeFace::PositiveX, 0, 0, {1, 1, 1});
    ExpectDirection(CubeFace::PositiveX, 1, 1, {1, -1, -1});
    ExpectDirection(CubeFace::NegativeX, 0, 0, {-1, 1, -1});
    ExpectDirection(CubeFace::NegativeX, 1, 0, {-1, 1, 1});
    ExpectDirection(CubeFace::PositiveY, 0, 0, {-1, 1, -1});
    ExpectDirection(CubeFace::PositiveY, 0, 1, {-1, 1, 1});
    ExpectDirection(CubeFace::NegativeY, 0, 0, {-1, -1, 1});
    ExpectDirection(CubeFace::NegativeY, 1, 1, {1, -1, -1});
    ExpectDirection(CubeFace::PositiveZ, 0, 0, {-1, 1, 1});
    ExpectDirection(CubeFace::PositiveZ, 1, 1, {1, -1, 1});
    ExpectDirection(CubeFace::NegativeZ, 0, 0, {1, 1, -1});
    ExpectDirection(CubeFace::NegativeZ, 1, 1, {-1, -1, -1});
}

TEST(TextureCubeFace, CodesAndLayerOrderMatchTheSkyBoxAssets)
{
    const char* const codes[] = {"px", "nx", "py", "ny", "pz", "nz"};
    for (size_t i = 0; i < AllCubeFaces.size(); ++i) {
        EXPECT_EQ(static_cast<size_t>(AllCubeFaces[i]), i);
        EXPECT_EQ(CubeFaceCode(AllCubeFaces[i]), codes[i]);
    }
}

TEST(TextureCubeFace, FaceOfInvertsFaceDirectionInsideEveryFace)
{
    for (CubeFace face : AllCubeFaces) {
        for (float s = 0.05f; s < 1.0f; s += 0.1f) {
            for (float t = 0.05f; t < 1.0f; t += 0.1f) {
                const CubeFaceCoord c = CubeFaceOf(glm::normalize(CubeFaceDirection(face, s, t)));
                EXPECT_EQ(c.face, face);
                EXPECT_NEAR(c.s, s, 1e-5f);
                EXPECT_NEAR(c.t, t, 1e-5f);
            }
        }
    }
}

// Stepping just past any edge lands on the neighbouring face right at its own edge, and the
// direction there is continuous: adjacent faces agree about their shared border.
TEST(TextureCubeFace, EveryEdgeContinuesOnItsNeighbour)
{
    for (CubeFace face : AllCubeFaces) {
        for (int edge = 0; edge < 4; ++edge) {
            for (float k = 0.1f; k < 1.0f; k += 0.2f) {
                const float s = edge == 0 ? -0.001f : edge == 1 ? 1.001f : k;
                const float t = edge == 2 ? -0.001f : edge == 3 ? 1.001f : k;
                const glm::vec3 beyond = glm::normalize(CubeFaceDirection(face, s, t));
                const CubeFaceCoord n = CubeFaceOf(beyond);
                EXPECT_NE(n.face, face);
                const float distanceToEdge = std::min(std::min(n.s, 1.0f - n.s), std::min(n.t, 1.0f - n.t));
                EXPECT_LT(distanceToEdge, 0.002f) << CubeFaceCode(face) << " edge " << edge;
                const glm::vec3 back = glm::normalize(CubeFaceDirection(n.face, n.s, n.t));
                EXPECT_LT(glm::length(back - beyond), 1e-5f);
            }
        }
    }
}

// The sky is painted with +Y up: the first row of every side face looks up, the top face is +Y.
TEST(TextureCubeFace, SideFacesHaveTheSkyInTheirFirstRow)
{
    for (CubeFace face : {CubeFace::PositiveX, CubeFace::NegativeX, CubeFace::PositiveZ, CubeFace::NegativeZ}) {
        EXPECT_GT(CubeFaceDirection(face, 0.5f, 0.0f).y, 0.9f);
        EXPECT_LT(CubeFaceDirection(face, 0.5f, 1.0f).y, -0.9f);
    }
    EXPECT_EQ(CubeFaceOf({0.1f, 1.0f, -0.2f}).face, CubeFace::PositiveY);
    EXPECT_EQ(CubeFaceOf({0.1f, -1.0f, -0.2f}).face, CubeFace::NegativeY);
}

TEST(TextureCubeFace, PlaneCoordReachesBeyondTheFace)
{
    // (2, 0, 1) meets the +Z plane at x = 2, a full face width right of the face's right edge
    // (s = 1), where stars just across a seam are projected.
    const glm::vec2 st = CubeFacePlaneCoord(CubeFace::PositiveZ, {2.0f, 0.0f, 1.0f});
    EXPECT_NEAR(st.x, 1.5f, 1e-6f);
    EXPECT_NEAR(st.y, 0.5f, 1e-6f);
    const glm::vec2 below = CubeFacePlaneCoord(CubeFace::NegativeY, {0.0f, -1.0f, -3.0f});
    EXPECT_NEAR(below.x, 0.5f, 1e-6f);
    EXPECT_NEAR(below.y, 2.0f, 1e-6f); // -Y: tc = -rz
}

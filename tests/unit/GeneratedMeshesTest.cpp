// The scene's generated meshes as the game loads them from the pack: sizes the game relies on,
// outward counter-clockwise winding, and UV layouts (tiling ground, grass mask square, moon).
#include "GeneratedModelSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace modeltest;

namespace {

const char* const MeshNames[] = {"Cube", "Sphere", "Cylinder", "HalfSphere", "Triangle", "Plane", "Grass", "BubbleGun"};

} // namespace

TEST(GeneratedMeshes, LoadWithUnitNormalsAndTangents)
{
    for (const char* name : MeshNames) {
        const auto mesh = Mesh(name);
        ASSERT_FALSE(mesh->vertices.empty()) << name;
        EXPECT_FALSE(mesh->isAnimated) << name;
        for (const Vertex& v : mesh->vertices) {
            ASSERT_NEAR(glm::length(v.normal), 1.0f, 1e-3f) << name;
            ASSERT_GT(glm::length(v.tangent), 0.5f) << name << ": UVs missing or degenerate";
        }
    }
}

TEST(GeneratedMeshes, ClosedMeshesFaceOutwards)
{
    const std::pair<const char*, double> volumes[] = {
        {"Cube", 8.0}, {"Sphere", 4.18879}, {"Cylinder", 6.28319}, {"HalfSphere", 2.0944}, {"BubbleGun", -1.0}};
    for (const auto& [name, volume] : volumes) {
        const auto mesh = Mesh(name);
        const double v = SignedVolume(*mesh);
        EXPECT_GT(v, 0.0) << name << " is wound inside out";
        if (volume > 0.0) {
            EXPECT_NEAR(v, volume, volume * 0.02) << name;
        }
        // The gun is meshed from a distance field: the grid leaves a few slivers folded in its tightest creases.
        EXPECT_GE(WindingAgreement(*mesh), std::string(name) == "BubbleGun" ? 0.99 : 1.0) << name;
    }
}

TEST(GeneratedMeshes, UvsReadUnmirroredFromOutside)
{
    for (const char* name : MeshNames)
        EXPECT_GE(UnmirroredUvShare(*Mesh(name)), 0.995) << name;
}

TEST(GeneratedMeshes, CubeSpansTheUnitBoxWithFlatFaces)
{
    const auto cube = Mesh("Cube");
    const Box bounds = Bounds(*cube);
    EXPECT_EQ(bounds.lo, glm::vec3(-1.0f));
    EXPECT_EQ(bounds.hi, glm::vec3(1.0f));
    ForEachTriangle(*cube, [](const Vertex& a, const Vertex& b, const Vertex& c) {
        const glm::vec3 face = glm::normalize(glm::cross(b.position - a.position, c.position - a.position));
        for (const Vertex* v : {&a, &b, &c}) {
            EXPECT_NEAR(glm::distance(v->normal, face), 0.0f, 1e-5f); // flat shading
            EXPECT_NEAR(glm::dot(v->position, face), 1.0f, 1e-5f);    // on its face of the box
            EXPECT_TRUE(v->texCoords.x == 0.0f || v->texCoords.x == 1.0f);
            EXPECT_TRUE(v->texCoords.y == 0.0f || v->texCoords.y == 1.0f);
        }
    });
}

TEST(GeneratedMeshes, SphereHasRadiusOneAndEquirectangularUvs)
{
    const auto sphere = Mesh("Sphere");
    for (const Vertex& v : sphere->vertices) {
        ASSERT_NEAR(glm::length(v.position), 1.0f, 1e-5f);
        // v = 0 at the north pole, 1 at the south.
        EXPECT_NEAR(v.texCoords.y, 0.5f - std::asin(std::clamp(v.position.y, -1.0f, 1.0f)) / 3.14159265f, 1e-4f);
        if (std::abs(v.position.y) < 0.99f && v.texCoords.x > 0.0f && v.texCoords.x < 1.0f) {
            // u turns east from +Z: a quarter turn lies on +X.
            const float u = std::atan2(v.position.x, v.position.z) / 6.2831853f;
            EXPECT_NEAR(v.texCoords.x, u < 0.0f ? u + 1.0f : u, 1e-4f);
        }
    }
}

TEST(GeneratedMeshes, PlaneLiesOnTheGroundFacingUpAndTiles)
{
    const auto plane = Mesh("Plane");
    const Box b = Bounds(*plane);
    EXPECT_EQ(b.lo, glm::vec3(-1.0f, 0.0f, -1.0f));
    EXPECT_EQ(b.hi, glm::vec3(1.0f, 0.0f, 1.0f));
    glm::vec2 lo(1e9f), hi(-1e9f);
    for (const Vertex& v : plane->vertices) {
        EXPECT_EQ(v.normal, glm::vec3(0, 1, 0));
        lo = glm::min(lo, v.texCoords);
        hi = glm::max(hi, v.texCoords);
    }
    // Drawn 72 m wide: the ground texture must repeat many times across it.
    EXPECT_GE(hi.x - lo.x, 8.0f);
    EXPECT_GE(hi.y - lo.y, 8.0f);
    EXPECT_EQ(WindingAgreement(*plane), 1.0);
}

TEST(GeneratedMeshes, GrassTuftStandsTwoUnitsOnItsBaseWithWholeMaskSquares)
{
    const auto grass = Mesh("Grass");
    const Box b = Bounds(*grass);
    EXPECT_FLOAT_EQ(b.lo.y, 0.0f);
    EXPECT_NEAR(b.hi.y, 2.0f, 0.2f);
    EXPECT_GT(b.hi.x - b.lo.x, 1.5f);
    EXPECT_GT(b.hi.z - b.lo.z, 1.5f);
    for (const Vertex& v : grass->vertices) {
        // The alpha mask's top row is UV row 0: tips at v = 0, roots at v = 1.
        EXPECT_NEAR(v.texCoords.y, 1.0f - v.position.y / b.hi.y, 1e-5f);
        EXPECT_TRUE(v.texCoords.x == 0.0f || v.texCoords.x == 1.0f);
        EXPECT_GT(v.normal.y, 0.0f); // lit from above, not edge-on
    }
    EXPECT_EQ(WindingAgreement(*grass), 1.0);
}

TEST(GeneratedMeshes, TriangleFacesFrontCounterClockwise)
{
    const auto tri = Mesh("Triangle");
    ASSERT_EQ(tri->indices.size(), 3u);
    ForEachTriangle(*tri, [](const Vertex& a, const Vertex& b, const Vertex& c) {
        EXPECT_GT(glm::cross(b.position - a.position, c.position - a.position).z, 0.0f);
    });
}

TEST(GeneratedMeshes, GunIsThreeAndAHalfUnitsLongWithTheGripBehindAndBelow)
{
    const auto gun = Mesh("BubbleGun");
    const Box b = Bounds(*gun);
    EXPECT_NEAR(b.hi.x - b.lo.x, 3.5f, 0.25f);
    EXPECT_LT(b.hi.y - b.lo.y, 2.5f);
    EXPECT_LT(b.hi.z - b.lo.z, 1.2f);
    // The muzzle points along -X, so the pistol grip (the lowest point) sits in the rear (+X) half.
    const Vertex* lowest = &gun->vertices[0];
    for (const Vertex& v : gun->vertices)
        if (v.position.y < lowest->position.y)
            lowest = &v;
    EXPECT_GT(lowest->position.x, 0.5f * (b.lo.x + b.hi.x));
}

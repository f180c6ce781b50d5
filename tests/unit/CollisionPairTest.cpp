// The exact pair tests and the closest-point routines: contact, normal direction and depth for
// touching, overlapping and separated pairs, and the degenerate cases.
#include "collision/PairTests.h"
#include "support/CollisionHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace COLLISION;
using testing_collision::ExpectVec3Near;
using testing_collision::MakeCapsule;
using testing_collision::MakeCube;
using testing_collision::MakeOBB;
using testing_collision::MakeSphere;
using testing_collision::MakeTriangle;

namespace {

const float Root2 = std::sqrt(2.0f);

// A large triangle in the y = 0 plane around the origin; its normal is +Y.
std::shared_ptr<Triangle> Floor()
{
    return MakeTriangle({-5, 0, -5}, {0, 0, 5}, {5, 0, -5});
}

} // namespace

TEST(ClosestPoints, TriangleRegions)
{
    const glm::vec3 a(0, 0, 0), b(4, 0, 0), c(0, 0, 4);
    ExpectVec3Near(ClosestPointOnTriangle({-1, 2, -1}, a, b, c), a);
    ExpectVec3Near(ClosestPointOnTriangle({6, 1, -1}, a, b, c), b);
    ExpectVec3Near(ClosestPointOnTriangle({-1, 1, 6}, a, b, c), c);
    ExpectVec3Near(ClosestPointOnTriangle({2, 3, -2}, a, b, c), {2, 0, 0}); // edge ab
    ExpectVec3Near(ClosestPointOnTriangle({-2, 3, 1}, a, b, c), {0, 0, 1}); // edge ac
    ExpectVec3Near(ClosestPointOnTriangle({3, -1, 3}, a, b, c), {2, 0, 2}); // edge bc
    ExpectVec3Near(ClosestPointOnTriangle({1, 5, 1}, a, b, c), {1, 0, 1});  // face
}

TEST(ClosestPoints, OrientedBoxClampsAlongEachAxis)
{
    const auto box = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0});
    // Along +X the turned box reaches its edge at sqrt(2).
    ExpectVec3Near(ClosestPointOnOBB({3, 0, 0}, box->Box()), {Root2, 0, 0});
    ExpectVec3Near(ClosestPointOnOBB({0.2f, 0.5f, 0.1f}, box->Box()), {0.2f, 0.5f, 0.1f}); // inside: itself
    ExpectVec3Near(ClosestPointOnOBB({0, 4, 0}, *box), {0, 1, 0});
}

TEST(ClosestPoints, SegmentsCrossingParallelAndDegenerate)
{
    // Crossing segments, one above the other.
    SegmentClosestPoints s = ClosestPointsOfSegments({-1, 0, 0}, {1, 0, 0}, {0, 1, -1}, {0, 1, 1});
    EXPECT_FLOAT_EQ(s.s, 0.5f);
    EXPECT_FLOAT_EQ(s.t, 0.5f);
    ExpectVec3Near(s.c1, {0, 0, 0});
    ExpectVec3Near(s.c2, {0, 1, 0});
    EXPECT_FLOAT_EQ(s.distanceSquared, 1.0f);

    // Parallel: the first segment's start is taken.
    s = ClosestPointsOfSegments({0, 0, 0}, {0, 2, 0}, {3, 0, 0}, {3, 2, 0});
    EXPECT_FLOAT_EQ(s.s, 0.0f);
    EXPECT_FLOAT_EQ(s.distanceSquared, 9.0f);

    // Beyond the end of the second segment: t clamps to 1 and s is recomputed.
    s = ClosestPointsOfSegments({5, -1, 0}, {5, 1, 0}, {0, 0, 0}, {2, 0, 0});
    EXPECT_FLOAT_EQ(s.t, 1.0f);
    EXPECT_FLOAT_EQ(s.s, 0.5f);
    EXPECT_FLOAT_EQ(s.distanceSquared, 9.0f);

    // Both points, and a point against a segment.
    s = ClosestPointsOfSegments({1, 1, 1}, {1, 1, 1}, {1, 1, 4}, {1, 1, 4});
    EXPECT_FLOAT_EQ(s.s, 0.0f);
    EXPECT_FLOAT_EQ(s.t, 0.0f);
    EXPECT_FLOAT_EQ(s.distanceSquared, 9.0f);
    s = ClosestPointsOfSegments({1, 3, 0}, {1, 3, 0}, {0, 0, 0}, {4, 0, 0});
    EXPECT_FLOAT_EQ(s.t, 0.25f);
    EXPECT_FLOAT_EQ(s.distanceSquared, 9.0f);
}

TEST(SphereSphereTest, TouchingOverlappingCoincidentAndApart)
{
    Collision c;
    EXPECT_TRUE(SphereSphere(*MakeSphere({2, 0, 0}, 1), *MakeSphere({0, 0, 0}, 1), c)); // exactly touching
    EXPECT_TRUE(c.hit);
    EXPECT_FLOAT_EQ(c.depth, 0.0f);
    ExpectVec3Near(c.normal, {1, 0, 0}); // from the other sphere to this one

    EXPECT_TRUE(SphereSphere(*MakeSphere({0, 0, 0}, 1), *MakeSphere({0, 1.5f, 0}, 1), c));
    ExpectVec3Near(c.normal, {0, -1, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.5f);

    EXPECT_TRUE(SphereSphere(*MakeSphere({3, 3, 3}, 1), *MakeSphere({3, 3, 3}, 0.5f), c));
    ExpectVec3Near(c.normal, {1, 0, 0});
    EXPECT_FLOAT_EQ(c.depth, 1.5f);

    EXPECT_FALSE(SphereSphere(*MakeSphere({2.01f, 0, 0}, 1), *MakeSphere({0, 0, 0}, 1), c));
    EXPECT_FALSE(c.hit);
}

TEST(SphereTriangleTest, NormalPointsFromSphereToTriangle)
{
    Collision c;
    EXPECT_TRUE(SphereTriangle(*MakeSphere({0, 0.5f, 0}, 1), *Floor(), c));
    ExpectVec3Near(c.normal, {0, -1, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
    EXPECT_TRUE(SphereTriangle(*MakeSphere({0, -1, 0}, 1), *Floor(), c)); // touching from below
    ExpectVec3Near(c.normal, {0, 1, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.0f);
    EXPECT_FALSE(SphereTriangle(*MakeSphere({0, 1.5f, 0}, 1), *Floor(), c));
    EXPECT_FALSE(c.hit);
}

TEST(SphereBoxTest, NormalTowardsBoxAndCentreInside)
{
    const auto box = MakeCube({0, 0, 0}, {1, 1, 1});
    Collision c;
    EXPECT_TRUE(SphereBox(*MakeSphere({1.5f, 0, 0}, 1), *box, c));
    ExpectVec3Near(c.normal, {-1, 0, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
    EXPECT_TRUE(SphereBox(*MakeSphere({0, 0, 2}, 1), *box, c)); // touching a face
    EXPECT_FLOAT_EQ(c.depth, 0.0f);
    EXPECT_FALSE(SphereBox(*MakeSphere({2.5f, 0, 0}, 1), *box, c));
    EXPECT_FALSE(c.hit);

    // A centre inside: depth is the radius and the normal keeps what the record held.
    Collision fresh;
    EXPECT_TRUE(SphereBox(*MakeSphere({0.2f, 0.1f, 0}, 0.4f), *box, fresh));
    EXPECT_FLOAT_EQ(fresh.depth, 0.4f);
    ExpectVec3Near(fresh.normal, {0, 0, 0});
    Collision used;
    used.normal = {0, 0, 1};
    EXPECT_TRUE(SphereBox(*MakeSphere({0.2f, 0.1f, 0}, 0.4f), *box, used));
    ExpectVec3Near(used.normal, {0, 0, 1});
}

TEST(SphereOBBTest, TurnedBoxNormalAndDepth)
{
    const auto box = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0});
    Collision c;
    EXPECT_TRUE(SphereOBB(*MakeSphere({2, 0, 0}, 1), *box, c));
    ExpectVec3Near(c.normal, {-1, 0, 0});
    EXPECT_NEAR(c.depth, 1.0f - (2.0f - Root2), 1e-5f);
    EXPECT_FALSE(SphereOBB(*MakeSphere({3, 0, 0}, 1), *box, c));
    // Centre inside: no direction, so +X.
    EXPECT_TRUE(SphereOBB(*MakeSphere({0, 0, 0}, 0.5f), *box, c));
    ExpectVec3Near(c.normal, {1, 0, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
}

TEST(SphereCapsuleTest, SideEndCapAndApart)
{
    const auto capsule = MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f);
    Collision c;
    EXPECT_TRUE(SphereCapsule(*MakeSphere({1, 1, 0}, 1), *capsule, c));
    ExpectVec3Near(c.normal, {1, 0, 0}); // from the capsule to the sphere
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
    EXPECT_TRUE(SphereCapsule(*MakeSphere({0, 3.2f, 0}, 1), *capsule, c)); // beyond the top end
    ExpectVec3Near(c.normal, {0, 1, 0});
    EXPECT_NEAR(c.depth, 0.3f, 1e-5f);
    EXPECT_TRUE(SphereCapsule(*MakeSphere({0, -1.5f, 0}, 1), *capsule, c)); // touching the bottom
    EXPECT_NEAR(c.depth, 0.0f, 1e-6f);
    EXPECT_FALSE(SphereCapsule(*MakeSphere({2.1f, 1, 0}, 1), *capsule, c));
    EXPECT_FALSE(c.hit);
}

TEST(BoxBoxTest, LeastOverlapAxisAndSign)
{
    const auto self = MakeCube({0, 0, 0}, {1, 1, 1});
    Collision c;
    EXPECT_TRUE(BoxBox(*self, *MakeCube({1.5f, 0.2f, 0}, {1, 1, 1}), c));
    ExpectVec3Near(c.normal, {1, 0, 0}); // from this box to the other
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
    EXPECT_TRUE(BoxBox(*self, *MakeCube({0, -1.5f, 0}, {1, 1, 1}), c));
    ExpectVec3Near(c.normal, {0, -1, 0});
    EXPECT_FLOAT_EQ(c.depth, 0.5f);
    // Equal overlaps on x and y, larger on z: y wins.
    EXPECT_TRUE(BoxBox(*self, *MakeCube({1, 1, 0}, {1, 1, 1}), c));
    ExpectVec3Near(c.normal, {0, 1, 0});
    EXPECT_FLOAT_EQ(c.depth, 1.0f);
    // Faces that only touch do not overlap.
    EXPECT_FALSE(BoxBox(*self, *MakeCube({2, 0, 0}, {1, 1, 1}), c));
    EXPECT_FALSE(c.hit);
}

TEST(CapsuleBoxTest, NormalFromCapsuleTowardsBox)
{
    const auto box = MakeCube({0, 0, 0}, {1, 1, 1});
    Collision c;
    EXPECT_TRUE(CapsuleBox(*MakeCapsule({1.3f, -0.5f, 0}, {1.3f, 0.5f, 0}, 0.5f), *box, c));
    ExpectVec3Near(c.normal, {-1, 0, 0});
    EXPECT_NEAR(c.depth, 0.2f, 1e-5f);
    EXPECT_TRUE(CapsuleBox(*MakeCapsule({0, 1.5f, 0}, {0, 3, 0}, 0.5f), *box, c)); // standing on top, touching
    ExpectVec3Near(c.normal, {0, -1, 0});
    EXPECT_NEAR(c.depth, 0.0f, 1e-6f);
    EXPECT_FALSE(CapsuleBox(*MakeCapsule({1.6f, -0.5f, 0}, {1.6f, 0.5f, 0}, 0.5f), *box, c));
    EXPECT_FALSE(c.hit);
}

TEST(CapsuleBoxTest, AnEndInsideLeavesThroughTheNearestFaceAndClearsTheBox)
{
    // A walker whose lower end got 0.2 into a wall block near its +z face, under its top: the way
    // out is back through +z (0.7), not over the top (1.0) and never along +-x by the radius.
    const auto wall = MakeCube({0, 0, 0}, {1, 1, 1});
    struct Case {
        glm::vec3 a, b;
        glm::vec3 normal;
        float depth;
    } cases[] = {
        {{0, 0.5f, 0.8f}, {0, 2.5f, 0.8f}, {0, 0, -1}, 0.7f},       // +z face
        {{-0.9f, 0.5f, 0}, {-0.9f, 2.5f, 0}, {1, 0, 0}, 0.6f},      // -x face
        {{0.2f, 0.9f, 0.1f}, {0.2f, 2.9f, 0.1f}, {0, -1, 0}, 0.6f}, // just under the top: up
    };
    for (const Case& k : cases) {
        const auto capsule = MakeCapsule(k.a, k.b, 0.5f);
        Collision c;
        ASSERT_TRUE(CapsuleBox(*capsule, *wall, c));
        ExpectVec3Near(c.normal, k.normal);
        EXPECT_NEAR(c.depth, k.depth, 1e-5f);
        // The capsule's response (position -= normal * depth) leaves it just touching.
        const auto moved = MakeCapsule(k.a - c.normal * c.depth, k.b - c.normal * c.depth, 0.5f);
        Collision after;
        if (CapsuleBox(*moved, *wall, after)) {
            EXPECT_NEAR(after.depth, 0.0f, 1e-4f);
        }
    }
}

TEST(CapsuleTriangleTest, EndsEdgesToleranceAndPiercing)
{
    Collision c;
    // An end just above the face.
    EXPECT_TRUE(CapsuleTriangle(*MakeCapsule({0, 0.3f, 0}, {0, 1.3f, 0}, 0.5f), *Floor(), c));
    ExpectVec3Near(c.normal, {0, 1, 0}); // from the triangle to the capsule
    EXPECT_NEAR(c.depth, 0.2f, 1e-5f);

    // Beside an edge, in the plane: 0.05 beyond a radius of 0.05 is within the squared slack.
    const auto t = MakeTriangle({0, 0, 0}, {4, 0, 0}, {0, 0, 4});
    EXPECT_TRUE(CapsuleTriangle(*MakeCapsule({1, 0, -0.1f}, {3, 0, -0.1f}, 0.05f), *t, c));
    ExpectVec3Near(c.normal, {0, 0, -1});
    EXPECT_EQ(c.depth, 0.0f); // touching within the slack never pulls the capsule in
    EXPECT_FALSE(CapsuleTriangle(*MakeCapsule({1, 0, -0.12f}, {3, 0, -0.12f}, 0.05f), *t, c));
    // With a radius of 0.5 the slack is a hair under 0.01 of distance.
    EXPECT_TRUE(CapsuleTriangle(*MakeCapsule({1, 0, -0.509f}, {3, 0, -0.509f}, 0.5f), *t, c));
    EXPECT_FALSE(CapsuleTriangle(*MakeCapsule({1, 0, -0.511f}, {3, 0, -0.511f}, 0.5f), *t, c));

    // A segment that pierces the face far from every end and edge: out to the side holding more
    // of it, by the radius plus the other end's distance, so the capsule clears the face.
    EXPECT_TRUE(CapsuleTriangle(*MakeCapsule({0, 0.6f, 0}, {0, -3, 0}, 0.5f), *Floor(), c));
    ExpectVec3Near(c.normal, {0, -1, 0});
    EXPECT_NEAR(c.depth, 1.1f, 1e-5f);
    EXPECT_TRUE(CapsuleTriangle(*MakeCapsule({0, -0.6f, 0}, {0, 3, 0}, 0.5f), *Floor(), c));
    ExpectVec3Near(c.normal, {0, 1, 0});
    EXPECT_NEAR(c.depth, 1.1f, 1e-5f);
    // Piercing the plane outside the triangle, and far above it.
    EXPECT_FALSE(CapsuleTriangle(*MakeCapsule({10, 0.6f, 0}, {10, -3, 0}, 0.5f), *Floor(), c));
    EXPECT_FALSE(CapsuleTriangle(*MakeCapsule({0, 2, 0}, {0, 3, 0}, 0.5f), *Floor(), c));
    EXPECT_FALSE(c.hit);
}

TEST(CapsuleOBBTest, NormalFromBoxToCapsule)
{
    const auto box = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0});
    Collision c;
    EXPECT_TRUE(CapsuleOBB(*MakeCapsule({1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, 0.5f), box->Box(), c));
    ExpectVec3Near(c.normal, {1, 0, 0});
    EXPECT_NEAR(c.depth, 0.5f - (1.8f - Root2), 1e-5f);
    // The first end is far off, but the box point nearest it projects onto the segment's near end.
    EXPECT_TRUE(CapsuleOBB(*MakeCapsule({0, 5, 0}, {0, 1.3f, 0}, 0.5f), box->Box(), c));
    ExpectVec3Near(c.normal, {0, 1, 0});
    EXPECT_NEAR(c.depth, 0.2f, 1e-5f);
    EXPECT_FALSE(CapsuleOBB(*MakeCapsule({2, -0.5f, 0}, {2, 0.5f, 0}, 0.5f), box->Box(), c));
    EXPECT_FALSE(c.hit);
}

TEST(CapsuleOBBTest, AnEndInsideLeavesThroughTheNearestFace)
{
    const auto box = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0});
    const glm::vec3 u0 = box->u0;
    const glm::vec3 a = 0.8f * u0 + glm::vec3(0, 0.5f, 0);
    Collision c;
    ASSERT_TRUE(CapsuleOBB(*MakeCapsule(a, a + glm::vec3(0, 2, 0), 0.5f), box->Box(), c));
    ExpectVec3Near(c.normal, u0); // from the box to the capsule, along the face's normal
    EXPECT_NEAR(c.depth, 0.7f, 1e-5f);
    const glm::vec3 moved = a + c.normal * c.depth;
    Collision after;
    if (CapsuleOBB(*MakeCapsule(moved, moved + glm::vec3(0, 2, 0), 0.5f), box->Box(), after)) {
        EXPECT_NEAR(after.depth, 0.0f, 1e-4f);
    }
}

TEST(CapsuleCapsuleTest, NormalFromThisToOther)
{
    const auto a = MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f);
    Collision c;
    EXPECT_TRUE(CapsuleCapsule(*a, *MakeCapsule({0.8f, 0, 0}, {0.8f, 2, 0}, 0.5f), c));
    ExpectVec3Near(c.normal, {1, 0, 0});
    EXPECT_NEAR(c.depth, 0.2f, 1e-5f);
    EXPECT_TRUE(CapsuleCapsule(*a, *MakeCapsule({-1, 1, -1}, {-1, 1, 1}, 0.5f), c)); // crossing, touching
    ExpectVec3Near(c.normal, {-1, 0, 0});
    EXPECT_NEAR(c.depth, 0.0f, 1e-6f);
    EXPECT_FALSE(CapsuleCapsule(*a, *MakeCapsule({1.1f, 0, 0}, {1.1f, 2, 0}, 0.5f), c));
    EXPECT_FALSE(c.hit);
}

TEST(RayTests, SphereBoxAndCapsule)
{
    const auto sphere = MakeSphere({0, 0, 0}, 1);
    EXPECT_TRUE(RaySphere(Ray({-5, 0, 0}, {1, 0, 0}), *sphere));
    EXPECT_TRUE(RaySphere(Ray({-5, 1, 0}, {1, 0, 0}), *sphere)); // grazing
    EXPECT_FALSE(RaySphere(Ray({-5, 1.01f, 0}, {1, 0, 0}), *sphere));
    // Starting outside and pointing away misses even though the line crosses the sphere.
    EXPECT_FALSE(RaySphere(Ray({-5, 0, 0}, {-1, 0, 0}), *sphere));
    EXPECT_TRUE(RaySphere(Ray({0.5f, 0, 0}, {1, 0, 0}), *sphere)); // starting inside

    const auto box = MakeCube({0, 0, 0}, {1, 1, 1});
    EXPECT_TRUE(RayBox(Ray({-5, 0.5f, 0}, {1, 0, 0}), *box));
    EXPECT_TRUE(RayBox(Ray({-5, -5, 0}, glm::normalize(glm::vec3(1, 1, 0))), *box));
    EXPECT_FALSE(RayBox(Ray({-5, 0, 0}, {-1, 0, 0}), *box));
    EXPECT_FALSE(RayBox(Ray({-5, 2, 0}, {1, 0, 0}), *box)); // parallel to the y slab, outside it
    EXPECT_FALSE(RayBox(Ray({-5, -2.5f, 0}, glm::normalize(glm::vec3(1, 1, 0))), *box)); // passes above
    EXPECT_TRUE(RayBox(Ray({0, 0, 0}, {0, 0, 1}), *box));

    const auto capsule = MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f);
    EXPECT_TRUE(CapsuleRay(*capsule, Ray({-5, 1, 0}, {1, 0, 0})));
    EXPECT_TRUE(CapsuleRay(*capsule, Ray({-5, 1, 0.45f}, {1, 0, 0})));
    EXPECT_FALSE(CapsuleRay(*capsule, Ray({-5, 1, 0.6f}, {1, 0, 0})));
    EXPECT_FALSE(CapsuleRay(*capsule, Ray({-5, 1, 0}, {-1, 0, 0})));
}

TEST(TriangleBoxTest, EveryKindOfSeparatingAxis)
{
    const auto box = MakeCube({0, 0, 0}, {1, 1, 1});
    EXPECT_TRUE(TriangleBox(*MakeTriangle({-3, 0, -3}, {0, 0, 3}, {3, 0, -3}), *box));  // cutting through
    EXPECT_TRUE(TriangleBox(*MakeTriangle({1, 0, 0}, {3, 0, 0}, {3, 2, 0}), *box));     // a vertex on a face
    EXPECT_FALSE(TriangleBox(*MakeTriangle({1.5f, 0, 0}, {3, 0, 0}, {3, 2, 0}), *box)); // beyond a face
    // A large triangle whose plane x + y + z = 3.5 passes just beyond the corner (1, 1, 1).
    EXPECT_FALSE(TriangleBox(*MakeTriangle({3.5f, 10, -10}, {3.5f, -10, 10}, {-16.5f, 10, 10}), *box));
    EXPECT_TRUE(TriangleBox(*MakeTriangle({2.5f, 10, -10}, {2.5f, -10, 10}, {-17.5f, 10, 10}), *box));
    // Off the edge at x = y = 1: only the cross product of Z with the long edge separates.
    EXPECT_FALSE(TriangleBox(*MakeTriangle({2.2f, 0.5f, 0}, {0.5f, 2.2f, 0}, {2.2f, 2.2f, 0}), *box));
    EXPECT_TRUE(TriangleBox(*MakeTriangle({1.8f, 0.1f, 0}, {0.1f, 1.8f, 0}, {1.8f, 1.8f, 0}), *box));
}

TEST(OBBOBBTest, FaceAndEdgeSeparation)
{
    const OrientedBox unit;
    EXPECT_TRUE(OBBOBB(unit, MakeOBB({2.3f, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0})->Box()));
    EXPECT_FALSE(OBBOBB(unit, MakeOBB({2.5f, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0})->Box()));
    // Edge against edge: a turned about Z, b about Y; only their edges' cross product separates.
    const OrientedBox a = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 0, 1})->Box();
    EXPECT_TRUE(OBBOBB(a, MakeOBB({2.8f, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0})->Box()));
    EXPECT_FALSE(OBBOBB(a, MakeOBB({2.9f, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0})->Box()));
    // Parallel boxes exactly face to face still touch.
    EXPECT_TRUE(OBBOBB(unit, BoxOf(*MakeCube({2, 0, 0}, {1, 1, 1}))));
}

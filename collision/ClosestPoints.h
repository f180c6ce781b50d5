// Closest-point routines shared by the pair tests.
#pragma once

#include <glm/glm.hpp>

namespace COLLISION {

// Single-precision machine epsilon: below this a length or a denominator counts as zero.
inline constexpr float Epsilon = 1.1920929e-7f;

// An oriented box as plain data: what the oriented-box tests read from an OBB or a Cube.
struct OrientedBox {
    glm::vec3 centre{0.0f};
    glm::vec3 axes[3]{{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}; // unit axes
    glm::vec3 halfExtents{1.0f};
};

// Closest points of segments p1-q1 and p2-q2: c1 = p1 + s (q1 - p1), c2 = p2 + t (q2 - p2).
struct SegmentClosestPoints {
    float s = 0.0f;
    float t = 0.0f;
    glm::vec3 c1{0.0f};
    glm::vec3 c2{0.0f};
    float distanceSquared = 0.0f;
};

// Point of triangle abc nearest p (Voronoi regions of the vertices, edges and face).
glm::vec3 ClosestPointOnTriangle(const glm::vec3& p, const glm::vec3& a, const glm::vec3& b, const glm::vec3& c);
// Point of the box nearest p: p's offset clamped along each axis.
glm::vec3 ClosestPointOnOBB(const glm::vec3& p, const OrientedBox& box);
// Zero-length segments are points.
SegmentClosestPoints ClosestPointsOfSegments(const glm::vec3& p1, const glm::vec3& q1, const glm::vec3& p2,
                                             const glm::vec3& q2);

// How to clear a capsule (segment a-b, `radius`) out of a box it pierces: the outward normal of
// the face that needs the shortest move, and that move's length, which leaves the whole capsule
// outside the face's plane.
struct FacePush {
    glm::vec3 direction{1.0f, 0.0f, 0.0f};
    float depth = 0.0f;
};
FacePush NearestFacePush(const glm::vec3& a, const glm::vec3& b, float radius, const OrientedBox& box);

// d / |d|, or +X when d has no length (coincident points must still push somewhere).
inline glm::vec3 UnitOrX(const glm::vec3& d, float length)
{
    return length > Epsilon ? d / length : glm::vec3(1.0f, 0.0f, 0.0f);
}

} // namespace COLLISION

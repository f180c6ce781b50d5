// Pair tests that involve a capsule (the player's and the zombies' bodies).
#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"

#include <algorithm>
#include <cmath>

namespace COLLISION {

namespace {

// Squared-distance slack of the capsule-triangle test: 0.05 past the radius still touches.
constexpr float TriangleContactSlack = 0.01f;
// How far the capsule-ray test follows the ray.
constexpr float RayReach = 1.0e6f;

// Parameter in [0, 1] of the point of segment a-b nearest p; a zero-length segment is its start.
float SegmentParameter(const glm::vec3& p, const glm::vec3& a, const glm::vec3& b)
{
    const glm::vec3 ab = b - a;
    const float lengthSquared = glm::dot(ab, ab);
    if (lengthSquared <= 0.0f)
        return 0.0f;
    return glm::clamp(glm::dot(p - a, ab) / lengthSquared, 0.0f, 1.0f);
}

void Fill(Collision& out, const glm::vec3& d, float depth)
{
    out.hit = true;
    out.normal = UnitOrX(d, glm::length(d));
    out.depth = depth;
}

} // namespace

bool SphereCapsule(const Sphere& sphere, const Capsule& capsule, Collision& out)
{
    out.hit = false;
    const glm::vec3& a = capsule.pointA;
    const glm::vec3& b = capsule.pointB;
    const glm::vec3& c = sphere.centre;
    const glm::vec3 ab = b - a;
    const glm::vec3 p = a + SegmentParameter(c, a, b) * ab;

    const float e = glm::dot(c - a, ab);
    const float lengthSquared = glm::dot(ab, ab);
    float distanceSquared;
    if (e <= 0.0f)
        distanceSquared = glm::dot(c - a, c - a);
    else if (e >= lengthSquared)
        distanceSquared = glm::dot(c - b, c - b);
    else // rounding can take the difference a hair below zero
        distanceSquared = std::max(0.0f, glm::dot(c - a, c - a) - e * e / lengthSquared);

    const float reach = sphere.radius + capsule.radius;
    if (reach * reach < distanceSquared)
        return false;
    Fill(out, c - p, reach - std::sqrt(distanceSquared));
    return true;
}

bool CapsuleBox(const Capsule& capsule, const Cube& box, Collision& out)
{
    out.hit = false;
    const glm::vec3& a = capsule.pointA;
    const glm::vec3& b = capsule.pointB;
    const glm::vec3 clampedA = glm::clamp(a, box.Min(), box.Max());
    const glm::vec3 p = a + SegmentParameter(clampedA, a, b) * (b - a);
    const glm::vec3 q = glm::clamp(p, box.Min(), box.Max());
    const float distanceSquared = glm::dot(p - q, p - q);
    if (capsule.radius * capsule.radius < distanceSquared)
        return false;
    if (distanceSquared <= Epsilon) {
        // The segment itself is inside: a push along "nowhere" (+x by the radius) would shove the
        // capsule sideways whatever the wall, so it leaves through the nearest face instead. The
        // normal points towards the box, as in the touching case.
        const FacePush push = NearestFacePush(a, b, capsule.radius, BoxOf(box));
        out.hit = true;
        out.normal = -push.direction;
        out.depth = push.depth;
        return true;
    }
    Fill(out, clampedA - p, capsule.radius - std::sqrt(distanceSquared));
    return true;
}

bool CapsuleTriangle(const Capsule& capsule, const Triangle& triangle, Collision& out)
{
    out.hit = false;
    const glm::vec3& t0 = triangle.vertex0;
    const glm::vec3& t1 = triangle.vertex1;
    const glm::vec3& t2 = triangle.vertex2;
    const glm::vec3& a = capsule.pointA;
    const glm::vec3& b = capsule.pointB;
    const float r = capsule.radius;

    // Candidate pairs (capsule point, triangle point): the two ends, then the three edges.
    glm::vec3 capsulePoint[5];
    glm::vec3 trianglePoint[5];
    float distanceSquared[5];
    capsulePoint[0] = a;
    trianglePoint[0] = ClosestPointOnTriangle(a, t0, t1, t2);
    capsulePoint[1] = b;
    trianglePoint[1] = ClosestPointOnTriangle(b, t0, t1, t2);
    const glm::vec3 edges[3][2] = {{t0, t1}, {t1, t2}, {t2, t0}};
    for (int i = 0; i < 3; ++i) {
        const SegmentClosestPoints s = ClosestPointsOfSegments(a, b, edges[i][0], edges[i][1]);
        capsulePoint[2 + i] = s.c1;
        trianglePoint[2 + i] = s.c2;
    }
    for (int i = 0; i < 5; ++i)
        distanceSquared[i] = glm::dot(capsulePoint[i] - trianglePoint[i], capsulePoint[i] - trianglePoint[i]);
    const int nearest = static_cast<int>(std::min_element(distanceSquared, distanceSquared + 5) - distanceSquared);
    const float minimum = distanceSquared[nearest];
    if (minimum <= r * r + TriangleContactSlack) {
        // Within the slack band beyond the radius it touches without overlapping: no push.
        Fill(out, capsulePoint[nearest] - trianglePoint[nearest], std::max(0.0f, r - std::sqrt(minimum)));
        return true;
    }

    // The segment may pierce the face far from every edge and end.
    const glm::vec3 cross = glm::cross(t1 - t0, t2 - t0);
    const float crossLength = glm::length(cross);
    if (crossLength <= Epsilon)
        return false; // a degenerate triangle has no face
    const glm::vec3 n = cross / crossLength;
    const float sA = glm::dot(a - t0, n);
    const float sB = glm::dot(b - t0, n);
    if (!((sA <= r || sB <= r) && (sA >= -r || sB >= -r)) || sA == sB)
        return false;
    const glm::vec3 p = a + (sA / (sA - sB)) * (b - a);
    const glm::vec3 pa = t0 - p;
    const glm::vec3 pb = t1 - p;
    const glm::vec3 pc = t2 - p;
    const float ab = glm::dot(pa, pb);
    const float ac = glm::dot(pa, pc);
    const float bc = glm::dot(pb, pc);
    if (bc * ac - glm::dot(pc, pc) * ab < 0.0f || ab * bc - ac * glm::dot(pb, pb) < 0.0f)
        return false;
    out.hit = true;
    if ((sA > 0.0f) == (sB > 0.0f)) {
        // Both ends on one side: push that way until the nearer end is a radius off the face.
        out.normal = sA > 0.0f ? n : -n;
        out.depth = std::max(0.0f, r - std::min(std::abs(sA), std::abs(sB)));
    } else {
        // Through the plane: out to the side that holds more of the segment, far enough to carry
        // the other end back over the face plus a radius.
        const bool aSide = std::abs(sA) >= std::abs(sB);
        out.normal = (aSide ? sA : sB) > 0.0f ? n : -n;
        out.depth = r + std::abs(aSide ? sB : sA);
    }
    return true;
}

bool CapsuleOBB(const Capsule& capsule, const OrientedBox& box, Collision& out)
{
    out.hit = false;
    const glm::vec3& a = capsule.pointA;
    const glm::vec3& b = capsule.pointB;
    const float rr = capsule.radius * capsule.radius;
    for (const glm::vec3& end : {a, b}) {
        const glm::vec3 q = ClosestPointOnOBB(end, box);
        const glm::vec3 p = a + SegmentParameter(q, a, b) * (b - a);
        const glm::vec3 onBox = ClosestPointOnOBB(p, box);
        const float distanceSquared = glm::dot(p - onBox, p - onBox);
        if (rr >= distanceSquared) {
            if (distanceSquared <= Epsilon) {
                // The segment is inside: out through the nearest face (the normal points from
                // the box to the capsule).
                const FacePush push = NearestFacePush(a, b, capsule.radius, box);
                out.hit = true;
                out.normal = push.direction;
                out.depth = push.depth;
                return true;
            }
            Fill(out, p - onBox, capsule.radius - std::sqrt(distanceSquared));
            return true;
        }
    }
    return false;
}

bool CapsuleCapsule(const Capsule& a, const Capsule& b, Collision& out)
{
    out.hit = false;
    const SegmentClosestPoints s = ClosestPointsOfSegments(a.pointA, a.pointB, b.pointA, b.pointB);
    const float reach = a.radius + b.radius;
    if (reach * reach < s.distanceSquared)
        return false;
    const glm::vec3 d = s.c2 - s.c1;
    Fill(out, d, reach - glm::length(d));
    return true;
}

bool CapsuleRay(const Capsule& capsule, const Ray& ray)
{
    const SegmentClosestPoints s =
        ClosestPointsOfSegments(capsule.pointA, capsule.pointB, ray.origin, ray.origin + RayReach * ray.direction);
    return capsule.radius * capsule.radius >= s.distanceSquared && s.t >= 0.0f;
}

} // namespace COLLISION

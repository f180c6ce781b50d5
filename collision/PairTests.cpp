// Pair tests of spheres, boxes, triangles and rays (the capsule pairs live in CapsulePairTests.cpp).
#include "collision/PairTests.h"

#include "collision/Cube.h"
#include "collision/OBB.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace COLLISION {

OrientedBox BoxOf(const Cube& box)
{
    return {box.centre, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, box.halfExtents};
}

bool SphereSphere(const Sphere& a, const Sphere& b, Collision& out)
{
    out.hit = false;
    const glm::vec3 d = a.centre - b.centre;
    const float distanceSquared = glm::dot(d, d);
    const float reach = a.radius + b.radius;
    if (reach * reach < distanceSquared)
        return false;
    const float distance = std::sqrt(distanceSquared);
    out.hit = true;
    out.normal = distanceSquared > Epsilon ? d / distance : glm::vec3(1.0f, 0.0f, 0.0f);
    out.depth = reach - distance;
    return true;
}

bool SphereTriangle(const Sphere& sphere, const Triangle& triangle, Collision& out)
{
    out.hit = false;
    const glm::vec3 q = ClosestPointOnTriangle(sphere.centre, triangle.vertex0, triangle.vertex1, triangle.vertex2);
    const glm::vec3 d = q - sphere.centre;
    const float distanceSquared = glm::dot(d, d);
    if (sphere.radius * sphere.radius < distanceSquared)
        return false;
    const float distance = std::sqrt(distanceSquared);
    out.hit = true;
    out.normal = UnitOrX(d, distance);
    out.depth = sphere.radius - distance;
    return true;
}

bool SphereBox(const Sphere& sphere, const Cube& box, Collision& out)
{
    out.hit = false;
    const glm::vec3 q = glm::clamp(sphere.centre, box.Min(), box.Max());
    const glm::vec3 d = q - sphere.centre;
    const float distanceSquared = glm::dot(d, d);
    if (sphere.radius * sphere.radius < distanceSquared)
        return false;
    const float distance = std::sqrt(distanceSquared);
    out.hit = true;
    // A centre inside the box has no way out to report: the normal stays as the caller left it.
    if (distanceSquared > Epsilon)
        out.normal = d / distance;
    out.depth = sphere.radius - distance;
    return true;
}

bool SphereOBB(const Sphere& sphere, const OBB& box, Collision& out)
{
    out.hit = false;
    const glm::vec3 q = ClosestPointOnOBB(sphere.centre, box.Box());
    const glm::vec3 d = q - sphere.centre;
    const float distanceSquared = glm::dot(d, d);
    if (sphere.radius * sphere.radius < distanceSquared)
        return false;
    const float distance = std::sqrt(distanceSquared);
    out.hit = true;
    out.normal = distanceSquared > Epsilon ? d / distance : glm::vec3(1.0f, 0.0f, 0.0f);
    out.depth = sphere.radius - distance;
    return true;
}

bool BoxBox(const Cube& self, const Cube& other, Collision& out)
{
    out.hit = false;
    const glm::vec3 overlap = (other.halfExtents + self.halfExtents) - glm::abs(other.centre - self.centre);
    if (overlap.x <= 0.0f || overlap.y <= 0.0f || overlap.z <= 0.0f)
        return false;
    int axis = 2;
    if (overlap.y > overlap.x && overlap.z > overlap.x)
        axis = 0;
    else if (overlap.z > overlap.y)
        axis = 1;
    out.hit = true;
    out.normal = glm::vec3(0.0f);
    out.normal[axis] = self.centre[axis] > other.centre[axis] ? -1.0f : 1.0f;
    out.depth = overlap[axis];
    return true;
}

bool RayHitsSphere(const glm::vec3& origin, const glm::vec3& direction, const glm::vec3& centre, float radius)
{
    const glm::vec3 m = origin - centre;
    const float b = glm::dot(m, direction);
    const float c = glm::dot(m, m) - radius * radius;
    // Starting outside and pointing away: the line may cross the sphere behind the origin.
    if (c > 0.0f && b > 0.0f)
        return false;
    return b * b - c >= 0.0f;
}

bool RaySphere(const Ray& ray, const Sphere& sphere)
{
    return RayHitsSphere(ray.origin, ray.direction, sphere.centre, sphere.radius);
}

bool RayBox(const Ray& ray, const Cube& box)
{
    const glm::vec3 lo = box.Min();
    const glm::vec3 hi = box.Max();
    float tmin = 0.0f;
    float tmax = FLT_MAX;
    for (int i = 0; i < 3; ++i) {
        if (std::abs(ray.direction[i]) < Epsilon) {
            if (ray.origin[i] < lo[i] || ray.origin[i] > hi[i])
                return false;
            continue;
        }
        float t1 = (lo[i] - ray.origin[i]) / ray.direction[i];
        float t2 = (hi[i] - ray.origin[i]) / ray.direction[i];
        if (t1 > t2)
            std::swap(t1, t2);
        tmin = std::max(tmin, t1);
        tmax = std::min(tmax, t2);
        if (tmin > tmax)
            return false;
    }
    return true;
}

bool TriangleBox(const Triangle& triangle, const Cube& box)
{
    const glm::vec3 c = 0.5f * (box.Min() + box.Max());
    const glm::vec3 e = 0.5f * (box.Max() - box.Min());
    const glm::vec3 v[3] = {triangle.vertex0 - c, triangle.vertex1 - c, triangle.vertex2 - c};
    const glm::vec3 edges[3] = {v[1] - v[0], v[2] - v[1], v[0] - v[2]};

    // Cross products of the box axes with the edges.
    for (int i = 0; i < 3; ++i) {
        glm::vec3 boxAxis(0.0f);
        boxAxis[i] = 1.0f;
        for (const glm::vec3& edge : edges) {
            const glm::vec3 axis = glm::cross(boxAxis, edge);
            const float p0 = glm::dot(v[0], axis);
            const float p1 = glm::dot(v[1], axis);
            const float p2 = glm::dot(v[2], axis);
            const float r = e.x * std::abs(axis.x) + e.y * std::abs(axis.y) + e.z * std::abs(axis.z);
            if (std::max(-std::max({p0, p1, p2}), std::min({p0, p1, p2})) > r)
                return false;
        }
    }
    // The box's face normals.
    for (int i = 0; i < 3; ++i) {
        if (std::min({v[0][i], v[1][i], v[2][i]}) > e[i] || std::max({v[0][i], v[1][i], v[2][i]}) < -e[i])
            return false;
    }
    // The triangle's plane.
    const glm::vec3 n = glm::cross(edges[0], edges[1]);
    return std::abs(glm::dot(n, v[0])) <= e.x * std::abs(n.x) + e.y * std::abs(n.y) + e.z * std::abs(n.z);
}

bool OBBOBB(const OrientedBox& a, const OrientedBox& b)
{
    float R[3][3];
    float absR[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            R[i][j] = glm::dot(a.axes[i], b.axes[j]);
            // Near-parallel edges give a cross product close to zero: the epsilon keeps that
            // axis from reporting a false separation.
            absR[i][j] = std::abs(R[i][j]) + Epsilon;
        }
    const glm::vec3 offset = b.centre - a.centre;
    const float t[3] = {glm::dot(offset, a.axes[0]), glm::dot(offset, a.axes[1]), glm::dot(offset, a.axes[2])};
    const glm::vec3& ea = a.halfExtents;
    const glm::vec3& eb = b.halfExtents;

    for (int i = 0; i < 3; ++i) {
        const float rb = eb[0] * absR[i][0] + eb[1] * absR[i][1] + eb[2] * absR[i][2];
        if (std::abs(t[i]) > ea[i] + rb)
            return false;
    }
    for (int j = 0; j < 3; ++j) {
        const float ra = ea[0] * absR[0][j] + ea[1] * absR[1][j] + ea[2] * absR[2][j];
        if (std::abs(t[0] * R[0][j] + t[1] * R[1][j] + t[2] * R[2][j]) > ra + eb[j])
            return false;
    }
    for (int i = 0; i < 3; ++i) {
        const int i1 = (i + 1) % 3;
        const int i2 = (i + 2) % 3;
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3;
            const int j2 = (j + 2) % 3;
            const float ra = ea[i1] * absR[i2][j] + ea[i2] * absR[i1][j];
            const float rb = eb[j1] * absR[i][j2] + eb[j2] * absR[i][j1];
            if (std::abs(t[i2] * R[i1][j] - t[i1] * R[i2][j]) > ra + rb)
                return false;
        }
    }
    return true;
}

} // namespace COLLISION

// The exact pair tests. Record-filling tests set out.hit = false first and, on contact, fill
// hit, normal and depth; contact is inclusive (touching counts). The comment on each test says
// which way its normal points. Yes/no tests write nothing. Nothing here moves a volume: the pair
// table behind BoundingVolume::CollideWith applies the trigger rule and the push-out.
#pragma once

#include "collision/ClosestPoints.h"
#include "collision/Collision.h"

namespace COLLISION {

class Sphere;
class Triangle;
class Cube;
class OBB;
class Capsule;
class Ray;

// A Cube seen as an oriented box with the world axes.
OrientedBox BoxOf(const Cube& box);

// Normal from b to a.
bool SphereSphere(const Sphere& a, const Sphere& b, Collision& out);
// Normal from the sphere to the triangle.
bool SphereTriangle(const Sphere& sphere, const Triangle& triangle, Collision& out);
// Normal from the sphere to the box; a centre inside the box leaves the normal as it was.
bool SphereBox(const Sphere& sphere, const Cube& box, Collision& out);
// Normal from the sphere to the box.
bool SphereOBB(const Sphere& sphere, const OBB& box, Collision& out);
// Normal from the capsule to the sphere.
bool SphereCapsule(const Sphere& sphere, const Capsule& capsule, Collision& out);
// Normal from `self` to `other` along the axis of least overlap (ties go to the later axis).
bool BoxBox(const Cube& self, const Cube& other, Collision& out);
// Normal from the capsule towards the box.
bool CapsuleBox(const Capsule& capsule, const Cube& box, Collision& out);
// Normal from the triangle to the capsule.
bool CapsuleTriangle(const Capsule& capsule, const Triangle& triangle, Collision& out);
// Normal from the box to the capsule.
bool CapsuleOBB(const Capsule& capsule, const OrientedBox& box, Collision& out);
// Normal from a to b.
bool CapsuleCapsule(const Capsule& a, const Capsule& b, Collision& out);

// Yes/no tests.
// A ray from `origin` along `direction` (taken as unit length) against a sphere.
bool RayHitsSphere(const glm::vec3& origin, const glm::vec3& direction, const glm::vec3& centre, float radius);
bool RaySphere(const Ray& ray, const Sphere& sphere);
bool RayBox(const Ray& ray, const Cube& box);
bool CapsuleRay(const Capsule& capsule, const Ray& ray);
bool TriangleBox(const Triangle& triangle, const Cube& box);
bool OBBOBB(const OrientedBox& a, const OrientedBox& b);

} // namespace COLLISION

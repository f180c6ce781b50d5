#include "collision/Capsule.h"

#include "collision/Cube.h"
#include "collision/OBB.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"
#include "scene/components/TransformComponent.h"

namespace COLLISION {

// The grid's sphere: half the segment plus the radius with half of it again as slack.
constexpr float GridRadiusFactor = 1.5f;

Capsule::Capsule() : BoundingVolume(CapsuleShape), displayTransform(std::make_shared<TransformComponent>()) {}

float Capsule::GetBoundingRadius() const
{
    return 0.5f * glm::length(pointB - pointA) + GridRadiusFactor * radius;
}

void Capsule::SetPosition(const glm::vec3& position)
{
    const glm::vec3 shift = position - GetCenter();
    baseA += shift;
    baseB += shift;
    SetOrientation(orientation);
}

void Capsule::SetOrientation(const glm::quat& q)
{
    orientation = q;
    const glm::mat3 rotation = glm::mat3_cast(q);
    const glm::vec3 c = GetCenter();
    pointA = rotation * (baseA - c) + c;
    pointB = rotation * (baseB - c) + c;
    displayTransform->rotation = q;
    displayTransform->position = c;
    displayTransform->scale = glm::vec3(radius, 0.5f * glm::length(pointB - pointA), radius);
}

bool Capsule::CollideWithSphere(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Sphere>(other, ownerTransform, out, -1.0f,
                           [this](const Sphere& o, Collision& c) { return SphereCapsule(o, *this, c); });
}

bool Capsule::CollideWithTriangle(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Triangle>(other, ownerTransform, out, +1.0f,
                             [this](const Triangle& o, Collision& c) { return CapsuleTriangle(*this, o, c); });
}

bool Capsule::CollideWithCube(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Cube>(other, ownerTransform, out, -1.0f,
                         [this](const Cube& o, Collision& c) { return CapsuleBox(*this, o, c); });
}

bool Capsule::CollideWithOBB(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<OBB>(other, ownerTransform, out, +1.0f,
                        [this](const OBB& o, Collision& c) { return CapsuleOBB(*this, o.Box(), c); });
}

bool Capsule::CollideWithCapsule(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Capsule>(other, ownerTransform, out, -1.0f,
                            [this](const Capsule& o, Collision& c) { return CapsuleCapsule(*this, o, c); });
}

bool Capsule::CollideWithRay(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* ray = dynamic_cast<Ray*>(other);
    return ray && CapsuleRay(*this, *ray);
}

} // namespace COLLISION

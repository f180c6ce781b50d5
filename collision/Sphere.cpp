#include "collision/Sphere.h"

#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/OBB.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "collision/Triangle.h"
#include "scene/components/TransformComponent.h"

namespace COLLISION {

// The grid files a sphere with half a radius of slack.
constexpr float GridRadiusFactor = 1.5f;

Sphere::Sphere() : BoundingVolume(SphereShape), displayTransform(std::make_shared<TransformComponent>(centre)) {}

float Sphere::GetBoundingRadius() const
{
    return GridRadiusFactor * radius;
}

void Sphere::SetPosition(const glm::vec3& position)
{
    centre = position;
    displayTransform->position = position;
}

bool Sphere::CollideWithSphere(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Sphere>(other, ownerTransform, out, +1.0f,
                           [this](const Sphere& o, Collision& c) { return SphereSphere(*this, o, c); });
}

bool Sphere::CollideWithTriangle(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Triangle>(other, ownerTransform, out, -1.0f,
                             [this](const Triangle& o, Collision& c) { return SphereTriangle(*this, o, c); });
}

bool Sphere::CollideWithCube(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Cube>(other, ownerTransform, out, -1.0f,
                         [this](const Cube& o, Collision& c) { return SphereBox(*this, o, c); });
}

bool Sphere::CollideWithOBB(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<OBB>(other, ownerTransform, out, -1.0f,
                        [this](const OBB& o, Collision& c) { return SphereOBB(*this, o, c); });
}

bool Sphere::CollideWithCapsule(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Capsule>(other, ownerTransform, out, +1.0f,
                            [this](const Capsule& o, Collision& c) { return SphereCapsule(*this, o, c); });
}

bool Sphere::CollideWithRay(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* ray = dynamic_cast<Ray*>(other);
    return ray && RaySphere(*ray, *this);
}

} // namespace COLLISION

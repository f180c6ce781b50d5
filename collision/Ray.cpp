#include "collision/Ray.h"

#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/PairTests.h"
#include "collision/Sphere.h"
#include "scene/components/TransformComponent.h"

namespace COLLISION {

Ray::Ray() : BoundingVolume(RayShape), displayTransform(std::make_shared<TransformComponent>(origin)) {}

Ray::Ray(const glm::vec3& origin, const glm::vec3& direction) : Ray()
{
    this->direction = direction;
    SetPosition(origin);
}

void Ray::SetPosition(const glm::vec3& position)
{
    origin = position;
    displayTransform->position = position;
}

bool Ray::CollideWithSphere(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* sphere = dynamic_cast<Sphere*>(other);
    return sphere && RaySphere(*this, *sphere);
}

bool Ray::CollideWithTriangle(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

bool Ray::CollideWithCube(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* box = dynamic_cast<Cube*>(other);
    return box && RayBox(*this, *box);
}

bool Ray::CollideWithOBB(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

bool Ray::CollideWithCapsule(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* capsule = dynamic_cast<Capsule*>(other);
    return capsule && CapsuleRay(*capsule, *this);
}

// A ray query meets its own grid object; two rays never touch.
bool Ray::CollideWithRay(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

} // namespace COLLISION

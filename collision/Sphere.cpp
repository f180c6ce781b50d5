#include "collision/Sphere.h"

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

} // namespace COLLISION

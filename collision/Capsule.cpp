#include "collision/Capsule.h"

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

} // namespace COLLISION

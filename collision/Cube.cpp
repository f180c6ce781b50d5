#include "collision/Cube.h"

#include "scene/components/TransformComponent.h"

namespace COLLISION {

// The grid files a box by its corner distance with half of it again as slack.
constexpr float GridRadiusFactor = 1.5f;

Cube::Cube() : BoundingVolume(CubeShape), displayTransform(std::make_shared<TransformComponent>(centre)) {}

float Cube::GetBoundingRadius() const
{
    return GridRadiusFactor * glm::length(halfExtents);
}

void Cube::SetPosition(const glm::vec3& position)
{
    centre = position;
    displayTransform->position = position;
}

} // namespace COLLISION

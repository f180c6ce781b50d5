#include "collision/Triangle.h"

#include "scene/components/TransformComponent.h"

#include <algorithm>

namespace COLLISION {

Triangle::Triangle() : BoundingVolume(TriangleShape), displayTransform(std::make_shared<TransformComponent>()) {}

Triangle::Triangle(const glm::vec3& v0, const glm::vec3& v1, const glm::vec3& v2) : Triangle()
{
    vertex0 = v0;
    vertex1 = v1;
    vertex2 = v2;
    displayTransform->position = GetCenter();
}

float Triangle::GetBoundingRadius() const
{
    const glm::vec3 c = GetCenter();
    return std::max({glm::length(vertex0 - c), glm::length(vertex1 - c), glm::length(vertex2 - c)});
}

void Triangle::SetPosition(const glm::vec3& position)
{
    const glm::vec3 shift = position - GetCenter();
    vertex0 += shift;
    vertex1 += shift;
    vertex2 += shift;
    displayTransform->position = position;
}

} // namespace COLLISION

#include "collision/Ray.h"

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

} // namespace COLLISION

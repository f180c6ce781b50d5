#include "collision/OBB.h"

#include "scene/components/TransformComponent.h"

namespace COLLISION {

OBB::OBB() : BoundingVolume(OBBShape), displayTransform(std::make_shared<TransformComponent>(centre)) {}

OBB::OBB(const glm::vec3& centre, const glm::vec3& u0, const glm::vec3& u1, const glm::vec3& u2,
         const glm::vec3& halfExtents)
    : OBB()
{
    this->u0 = u0;
    this->u1 = u1;
    this->u2 = u2;
    this->halfExtents = halfExtents;
    SetPosition(centre);
}

void OBB::SetPosition(const glm::vec3& position)
{
    centre = position;
    displayTransform->position = position;
}

} // namespace COLLISION

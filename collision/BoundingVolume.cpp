#include "collision/BoundingVolume.h"

#include "scene/components/TransformComponent.h"

namespace COLLISION {

bool BoundingVolume::CollideWith(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    using Slot = bool (BoundingVolume::*)(BoundingVolume*, TransformComponent*, Collision*);
    // Indexed by ShapeType: the order of the slots is fixed by the shape values.
    static constexpr Slot slots[] = {
        &BoundingVolume::CollideWithSphere, &BoundingVolume::CollideWithTriangle, &BoundingVolume::CollideWithCube,
        &BoundingVolume::CollideWithOBB,    &BoundingVolume::CollideWithCapsule,  &BoundingVolume::CollideWithRay,
    };
    if (!other || other->shapeType < 0 || other->shapeType > RayShape)
        return false;
    return (this->*slots[other->shapeType])(other, ownerTransform, out);
}

void BoundingVolume::Push(TransformComponent& transform, const glm::vec3& by)
{
    transform.position += by;
}

} // namespace COLLISION

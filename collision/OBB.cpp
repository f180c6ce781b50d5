#include "collision/OBB.h"

#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/Sphere.h"
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

bool OBB::CollideWithSphere(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* sphere = dynamic_cast<Sphere*>(other);
    Collision unused;
    return sphere && SphereOBB(*sphere, *this, unused);
}

bool OBB::CollideWithTriangle(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

bool OBB::CollideWithCube(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* box = dynamic_cast<Cube*>(other);
    return box && OBBOBB(Box(), BoxOf(*box));
}

bool OBB::CollideWithOBB(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* box = dynamic_cast<OBB*>(other);
    return box && OBBOBB(Box(), box->Box());
}

bool OBB::CollideWithCapsule(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* capsule = dynamic_cast<Capsule*>(other);
    Collision unused;
    return capsule && CapsuleOBB(*capsule, Box(), unused);
}

bool OBB::CollideWithRay(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

} // namespace COLLISION

#include "collision/Cube.h"

#include "collision/Capsule.h"
#include "collision/OBB.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"
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

bool Cube::CollideWithSphere(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Sphere>(other, ownerTransform, out, +1.0f,
                           [this](const Sphere& o, Collision& c) { return SphereBox(o, *this, c); });
}

bool Cube::CollideWithTriangle(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* triangle = dynamic_cast<Triangle*>(other);
    if (!triangle || BothSolid(*triangle))
        return false;
    return TriangleBox(*triangle, *this);
}

bool Cube::CollideWithCube(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Cube>(other, ownerTransform, out, -1.0f,
                         [this](const Cube& o, Collision& c) { return BoxBox(*this, o, c); });
}

bool Cube::CollideWithOBB(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* box = dynamic_cast<OBB*>(other);
    if (!box || BothSolid(*box))
        return false;
    return OBBOBB(BoxOf(*this), box->Box());
}

bool Cube::CollideWithCapsule(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    return Resolve<Capsule>(other, ownerTransform, out, +1.0f,
                            [this](const Capsule& o, Collision& c) { return CapsuleBox(o, *this, c); });
}

bool Cube::CollideWithRay(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* ray = dynamic_cast<Ray*>(other);
    return ray && RayBox(*ray, *this);
}

} // namespace COLLISION

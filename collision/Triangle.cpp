#include "collision/Triangle.h"

#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/PairTests.h"
#include "collision/Sphere.h"
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

bool Triangle::CollideWithSphere(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* sphere = dynamic_cast<Sphere*>(other);
    Collision unused;
    return sphere && SphereTriangle(*sphere, *this, unused);
}

bool Triangle::CollideWithTriangle(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

bool Triangle::CollideWithCube(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* box = dynamic_cast<Cube*>(other);
    return box && TriangleBox(*this, *box);
}

bool Triangle::CollideWithOBB(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

bool Triangle::CollideWithCapsule(BoundingVolume* other, TransformComponent*, Collision*)
{
    auto* capsule = dynamic_cast<Capsule*>(other);
    Collision unused;
    return capsule && CapsuleTriangle(*capsule, *this, unused);
}

bool Triangle::CollideWithRay(BoundingVolume*, TransformComponent*, Collision*)
{
    return false;
}

} // namespace COLLISION

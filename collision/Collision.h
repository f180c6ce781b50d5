// The contact record a pair test fills, and the volume kinds whose values index the pair tests.
#pragma once

#include <glm/glm.hpp>

namespace COLLISION {

// Fixed values: they index the pair table of BoundingVolume::CollideWith.
enum ShapeType : int {
    SphereShape = 0,
    TriangleShape = 1,
    CubeShape = 2,
    OBBShape = 3,
    CapsuleShape = 4,
    RayShape = 5,
};

struct Collision {
    glm::vec3 normal{0.0f}; // unit contact direction; its sense depends on the pair
    float depth = 0.0f;     // overlap along normal
    bool hit = false;
};

} // namespace COLLISION

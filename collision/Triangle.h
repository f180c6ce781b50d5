// A triangle volume. No actor builds one; it is an operand of the pair tests. As the querying
// side it only answers yes or no and never pushes.
#pragma once

#include "collision/BoundingVolume.h"

namespace COLLISION {

class Triangle : public BoundingVolume {
public:
    glm::vec3 vertex0{0.0f};
    glm::vec3 vertex1{0.0f};
    glm::vec3 vertex2{0.0f};
    std::shared_ptr<TransformComponent> displayTransform; // at the centroid

    Triangle();
    Triangle(const glm::vec3& v0, const glm::vec3& v1, const glm::vec3& v2);

    // Farthest vertex from the centroid.
    float GetBoundingRadius() const override;
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    glm::vec3 GetCenter() const override { return (vertex0 + vertex1 + vertex2) / 3.0f; }
    // Translates the vertices so that the centroid lands on `position`.
    void SetPosition(const glm::vec3& position) override;
};

} // namespace COLLISION

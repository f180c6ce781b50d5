// An axis-aligned box volume: walls, the ground, the fire puddle.
#pragma once

#include "collision/BoundingVolume.h"

namespace COLLISION {

class Cube : public BoundingVolume {
public:
    glm::vec3 centre{0.0f};
    glm::vec3 halfExtents{1.0f};
    std::shared_ptr<TransformComponent> displayTransform;

    Cube();

    glm::vec3 Min() const { return centre - halfExtents; }
    glm::vec3 Max() const { return centre + halfExtents; }

    float GetBoundingRadius() const override;
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    glm::vec3 GetCenter() const override { return centre; }
    void SetPosition(const glm::vec3& position) override;
};

} // namespace COLLISION

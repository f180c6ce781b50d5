// A sphere volume: the hand hitboxes, the bubble and other probes.
#pragma once

#include "collision/BoundingVolume.h"

namespace COLLISION {

class Sphere : public BoundingVolume {
public:
    glm::vec3 centre{0.0f};
    float radius = 1.0f;
    std::shared_ptr<TransformComponent> displayTransform;

    Sphere();

    float GetBoundingRadius() const override;
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    glm::vec3 GetCenter() const override { return centre; }
    void SetPosition(const glm::vec3& position) override;
};

} // namespace COLLISION

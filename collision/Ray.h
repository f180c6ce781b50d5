// A ray volume: starts at `origin` and runs without end along `direction`. No actor builds one;
// the grid's ray query tests it against every filed object. It answers yes or no and never pushes.
#pragma once

#include "collision/BoundingVolume.h"

namespace COLLISION {

class Ray : public BoundingVolume {
public:
    glm::vec3 origin{0.0f};
    glm::vec3 direction{0.0f, 0.0f, 1.0f};
    std::shared_ptr<TransformComponent> displayTransform; // at the origin

    Ray();
    Ray(const glm::vec3& origin, const glm::vec3& direction);

    // Zero: a ray object has no extent, which is what routes it to the grid's ray query.
    float GetBoundingRadius() const override { return 0.0f; }
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    glm::vec3 GetCenter() const override { return origin; }
    void SetPosition(const glm::vec3& position) override;
};

} // namespace COLLISION

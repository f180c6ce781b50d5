// A capsule volume (a segment swept by a radius): the player's and the zombies' bodies.
#pragma once

#include "collision/BoundingVolume.h"

#include <glm/gtc/quaternion.hpp>

namespace COLLISION {

class Capsule : public BoundingVolume {
public:
    glm::vec3 pointA{0.0f}; // world segment ends, after rotation
    glm::vec3 pointB{0.0f};
    glm::vec3 baseA{0.0f}; // segment ends before rotation
    glm::vec3 baseB{0.0f};
    float radius = 0.0f;
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f}; // w, x, y, z
    std::shared_ptr<TransformComponent> displayTransform;

    Capsule();

    float GetBoundingRadius() const override;
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    // Midpoint of the unrotated ends (the rotation pivots about it).
    glm::vec3 GetCenter() const override { return 0.5f * (baseA + baseB); }
    // Translates both ends and keeps the orientation.
    void SetPosition(const glm::vec3& position) override;
    // Rotates the base ends about their midpoint into pointA/pointB and updates the display.
    void SetOrientation(const glm::quat& q);
};

} // namespace COLLISION

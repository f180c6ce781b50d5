// Position, scale and rotation of an actor (or of a collision volume's display).
#pragma once

#include "assets/Component.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

class TransformComponent : public Component {
public:
    glm::vec3 position{0.0f};
    glm::vec3 scale{1.0f};
    glm::quat rotation{1.0f, 0.0f, 0.0f, 0.0f}; // w, x, y, z

    TransformComponent() = default;
    explicit TransformComponent(const glm::vec3& position);
    // Note the argument order: position, rotation, scale.
    TransformComponent(const glm::vec3& position, const glm::quat& rotation, const glm::vec3& scale);

    // T(position) x R(rotation) x S(scale).
    glm::mat4 GetModelMatrix() const;
};

#include "scene/components/TransformComponent.h"

#include "math/MathUtils.h"

TransformComponent::TransformComponent(const glm::vec3& position) : position(position) {}

TransformComponent::TransformComponent(const glm::vec3& position, const glm::quat& rotation, const glm::vec3& scale)
    : position(position), scale(scale), rotation(rotation)
{
}

glm::mat4 TransformComponent::GetModelMatrix() const { return ModelMatrix(position, rotation, scale); }

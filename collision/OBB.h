// An oriented box volume. No actor builds one; it is an operand of the pair tests. As the
// querying side it only answers yes or no and never pushes.
#pragma once

#include "collision/BoundingVolume.h"
#include "collision/PairTests.h"

namespace COLLISION {

class OBB : public BoundingVolume {
public:
    glm::vec3 centre{0.0f};
    glm::vec3 u0{1.0f, 0.0f, 0.0f}; // unit axes
    glm::vec3 u1{0.0f, 1.0f, 0.0f};
    glm::vec3 u2{0.0f, 0.0f, 1.0f};
    glm::vec3 halfExtents{1.0f}; // half size along u0, u1, u2
    std::shared_ptr<TransformComponent> displayTransform;

    OBB();
    OBB(const glm::vec3& centre, const glm::vec3& u0, const glm::vec3& u1, const glm::vec3& u2,
        const glm::vec3& halfExtents);

    OrientedBox Box() const { return {centre, {u0, u1, u2}, halfExtents}; }

    float GetBoundingRadius() const override { return glm::length(halfExtents); }
    std::shared_ptr<TransformComponent> GetTransform() const override { return displayTransform; }
    glm::vec3 GetCenter() const override { return centre; }
    void SetPosition(const glm::vec3& position) override;
};

inline glm::vec3 ClosestPointOnOBB(const glm::vec3& p, const OBB& box)
{
    return ClosestPointOnOBB(p, box.Box());
}

} // namespace COLLISION

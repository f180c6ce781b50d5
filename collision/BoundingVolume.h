// Base of the collision volumes: the operations the grid and the collision components call, and
// the one entry to the pair tests, which picks the test from the two volumes' shape types.
#pragma once

#include "collision/Collision.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>

class TransformComponent;

namespace COLLISION {

class BoundingVolume {
public:
    int32_t shapeType;
    bool isTrigger = true; // a trigger only reports; two solid volumes also push apart

    explicit BoundingVolume(int32_t shapeType) : shapeType(shapeType) {}
    virtual ~BoundingVolume() = default;
    BoundingVolume(const BoundingVolume&) = delete;
    BoundingVolume& operator=(const BoundingVolume&) = delete;

    // Radius of the sphere the grid files this volume with.
    virtual float GetBoundingRadius() const = 0;
    // The transform the volume is drawn with; its position is the volume's grid position.
    virtual std::shared_ptr<TransformComponent> GetTransform() const = 0;
    virtual glm::vec3 GetCenter() const = 0;
    virtual void SetPosition(const glm::vec3& position) = 0;
    virtual bool IsTrigger() const { return isTrigger; }
    virtual void SetTrigger(bool trigger) { isTrigger = trigger; }

    // The pair test of this volume against `other`, looked up by the two kinds: false for a kind
    // outside ShapeType and for a pair with no test. When neither volume is a trigger and they
    // touch, ownerTransform (the owning actor's transform, may be null) is moved out of `other`.
    // `out` may be null when the caller wants only the answer.
    bool CollideWith(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out);
};

} // namespace COLLISION

// Base of the collision volumes: the operations the grid and the collision components call, and
// one pair-test slot per volume kind, laid out so that slot "CollideWith<kind of other>" can be
// picked from the other volume's shape type.
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

    // Pair tests of this volume against `other`. When neither volume is a trigger and they touch,
    // ownerTransform (the owning actor's transform, may be null) is moved out of `other`. `out`
    // may be null when the caller wants only the answer.
    virtual bool CollideWithSphere(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;
    virtual bool CollideWithTriangle(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;
    virtual bool CollideWithCube(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;
    virtual bool CollideWithOBB(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;
    virtual bool CollideWithCapsule(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;
    virtual bool CollideWithRay(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out) = 0;

    // The double dispatch: the CollideWith* slot for other's shape type; false for an unknown kind.
    bool CollideWith(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out);

protected:
    // The record-filling slot pattern: run `test` against `other` seen as an Other and, when the
    // pair touched and neither side is a trigger, move the owner by sign * normal * depth.
    template <class Other, class Test>
    bool Resolve(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out, float sign, Test test)
    {
        auto* typed = dynamic_cast<Other*>(other);
        if (!typed)
            return false; // only a broken dispatch gets here
        Collision scratch;
        Collision& c = out ? *out : scratch;
        const bool contact = test(*typed, c);
        if (contact && BothSolid(*typed) && ownerTransform)
            Push(*ownerTransform, sign * c.normal * c.depth);
        return contact;
    }
    bool BothSolid(const BoundingVolume& other) const { return !IsTrigger() && !other.IsTrigger(); }

private:
    static void Push(TransformComponent& transform, const glm::vec3& by);
};

} // namespace COLLISION

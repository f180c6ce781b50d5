// A bounding volume attached to an actor: keeps it at the actor's position and runs the exact
// pair test (with push-out of solid pairs) for the grid.
#pragma once

#include "assets/Component.h"
#include "collision/Collision.h"

#include <glm/glm.hpp>

#include <functional>
#include <memory>

class TransformComponent;
namespace COLLISION {
class BoundingVolume;
}

class ICollisionComponent : public Component {
public:
    // Exact test against another component's volume; see CollideWithVolume.
    virtual bool CollideWithComponent(std::shared_ptr<ICollisionComponent> other, COLLISION::Collision* record,
                                      std::function<void()> first, std::function<void()> second) = 0;
    // Dispatches on other's shape; on contact runs first() then second(). A solid pair moves
    // this component's transform out of `other`.
    virtual bool CollideWithVolume(COLLISION::BoundingVolume* other, COLLISION::Collision* record,
                                   std::function<void()> first, std::function<void()> second) = 0;
    // Places the volume at transform position + offset.
    virtual void UpdateVolume() = 0;
    virtual void SetTransform(std::shared_ptr<TransformComponent> transform) = 0;
    virtual void SetOffset(const glm::vec3& offset) = 0;
    virtual std::shared_ptr<COLLISION::BoundingVolume> GetBoundingVolume() = 0;
    // The volume without a reference-count round trip, for the grid's per-candidate path; it lives
    // as long as this component.
    virtual COLLISION::BoundingVolume* Volume() { return GetBoundingVolume().get(); }
    virtual std::shared_ptr<TransformComponent> GetTransform() = 0;
};

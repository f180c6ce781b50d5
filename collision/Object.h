// An actor's entry in the hierarchical grid: a bounding sphere filed in one bucket of one level.
#pragma once

#include "collision/Collision.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Actor;
class ICollisionComponent;
class Object;
class TransformComponent;

// Called with (querying object, found object, contact record).
using CollisionCallback = std::function<void(Object&, Object&, COLLISION::Collision&)>;

// The text of the std::logic_error thrown when the grid meets an object whose owner is gone.
// Nothing catches it.
inline constexpr const char* NullOwnerMessage =
    "You are trying to access a null actor, but the actor you pass in should delete the instance of this class in "
    "its destructor before it dies...";

// What one candidate pair of a grid query carries into the exact test: the zeroed record and the
// two follow-up actions (the querier's callback, then the found object's), no-ops by default.
struct PairCallback {
    COLLISION::Collision record{};
    std::function<void()> first = [] {};
    std::function<void()> second = [] {};
};

// Object tags.
enum ObjectTag : int32_t {
    PlayerTag = 0,
    ZombieBodyTag = 1,
    RayTag = 2,
    GroundTag = 3,
    ProjectileTag = 4, // the player's bubble and puddle, the zombies' hand spheres
    SceneryTag = 5,
};

namespace COLLISION {
class BoundingVolume;
}

class Object {
public:
    // The fields a grid query reads for every object it walks come first, so that one walk step
    // usually touches one cache line: the list link, and the filed copy of the object's sphere.
    Object* next = nullptr;
    // Centre and bounding radius as they were when the object was last filed or moved; the
    // query tests these instead of reading the transform and the volume behind two pointers.
    glm::vec3 filedCentre{0.0f};
    float filedRadius = 0.0f;
    int32_t tag;
    bool notifyWhenHit = true;
    Actor* owner;
    COLLISION::BoundingVolume* filedVolume = nullptr; // the owner's volume, looked up when filed

    std::vector<int32_t> ignoreTags;
    std::shared_ptr<TransformComponent> transform; // the owner's volume display transform
    Object* prev = nullptr;
    // Every filed object of the grid in one list, for queries that span more cells than there are objects.
    Object* filedPrev = nullptr;
    Object* filedNext = nullptr;
    int32_t bucket = -1;
    int32_t level = -1;
    float cellSize = -1.0f;
    float radius = 0.0f;
    CollisionCallback onCollision;

    // Reads the owner's collision component: its volume must be sized before this is built. A null
    // owner throws std::logic_error(NullOwnerMessage); one without a collision component,
    // std::runtime_error.
    Object(int tag, Actor* owner, CollisionCallback onCollision);
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    bool IsFiled() const { return level >= 0; }
    // The owner's collision component, as the owner resolved it when it was added; null without
    // an owner.
    ICollisionComponent* Collider() const;
    bool Ignores(int32_t otherTag) const
    {
        return std::find(ignoreTags.begin(), ignoreTags.end(), otherTag) != ignoreTags.end();
    }
};

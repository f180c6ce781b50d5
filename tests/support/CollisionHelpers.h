// Builders for collision volumes, colliding actors and a scoped process-wide grid used by the
// collision tests.
#pragma once

#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "collision/Cube.h"
#include "collision/HGrid.h"
#include "collision/OBB.h"
#include "collision/Object.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"
#include "scene/actors/DynamicActor.h"
#include "scene/components/TransformComponent.h"

#include <gtest/gtest.h>

#include <memory>

namespace testing_collision {

inline void ExpectVec3Near(const glm::vec3& actual, const glm::vec3& expected, float eps = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

inline std::shared_ptr<COLLISION::Sphere> MakeSphere(const glm::vec3& centre, float radius, bool trigger = false)
{
    auto s = std::make_shared<COLLISION::Sphere>();
    s->radius = radius;
    s->SetPosition(centre);
    s->SetTrigger(trigger);
    return s;
}

inline std::shared_ptr<COLLISION::Cube> MakeCube(const glm::vec3& centre, const glm::vec3& halfExtents,
                                                 bool trigger = false)
{
    auto c = std::make_shared<COLLISION::Cube>();
    c->halfExtents = halfExtents;
    c->SetPosition(centre);
    c->SetTrigger(trigger);
    return c;
}

// A capsule whose ends are a and b as given (no rotation).
inline std::shared_ptr<COLLISION::Capsule> MakeCapsule(const glm::vec3& a, const glm::vec3& b, float radius,
                                                       bool trigger = false)
{
    auto c = std::make_shared<COLLISION::Capsule>();
    c->baseA = a;
    c->baseB = b;
    c->radius = radius;
    c->SetOrientation(glm::quat(1.0f, 0.0f, 0.0f, 0.0f));
    c->SetTrigger(trigger);
    return c;
}

inline std::shared_ptr<COLLISION::Triangle> MakeTriangle(const glm::vec3& v0, const glm::vec3& v1, const glm::vec3& v2,
                                                         bool trigger = false)
{
    auto t = std::make_shared<COLLISION::Triangle>(v0, v1, v2);
    t->SetTrigger(trigger);
    return t;
}

// A box turned by `degrees` about `axis`.
inline std::shared_ptr<COLLISION::OBB> MakeOBB(const glm::vec3& centre, const glm::vec3& halfExtents, float degrees,
                                               const glm::vec3& axis, bool trigger = false)
{
    const glm::mat3 r = glm::mat3_cast(glm::angleAxis(glm::radians(degrees), glm::normalize(axis)));
    auto o = std::make_shared<COLLISION::OBB>(centre, r[0], r[1], r[2], halfExtents);
    o->SetTrigger(trigger);
    return o;
}

// Installs a fresh process-wide grid for the scope and restores the previous one. Declare it
// before any actor so the actors leave the grid before it goes.
class GridScope {
public:
    GridScope() : previous_(grid) { grid = owned_.get(); }
    ~GridScope() { grid = previous_; }
    GridScope(const GridScope&) = delete;
    GridScope& operator=(const GridScope&) = delete;
    HGrid& operator*() { return *owned_; }
    HGrid* operator->() { return owned_.get(); }

private:
    std::unique_ptr<HGrid> owned_ = std::make_unique<HGrid>();
    HGrid* previous_;
};

// A DynamicActor with a transform at `position` and a collision component of volume kind T.
template <class T> std::unique_ptr<DynamicActor> MakeColliderActor(const glm::vec3& position, bool trigger = true)
{
    auto transform = std::make_shared<TransformComponent>(position);
    auto collision = std::make_shared<CollisionComponent<T>>(trigger, glm::vec3(0.0f), nullptr);
    return std::make_unique<DynamicActor>(nullptr, nullptr, nullptr, transform, collision, nullptr);
}

template <class T> std::shared_ptr<T> VolumeOf(const Actor& actor)
{
    return actor.GetComponent<CollisionComponent<T>>()->volume;
}

} // namespace testing_collision

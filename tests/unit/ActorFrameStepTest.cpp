// What actors do each frame with the engine's collision side: the frustum test, the collider
// and grid-cell updates of dynamic actors, the collision binding at construction, and leaving
// the grid on destruction.
#include "scene/actors/StaticActor.h"
#include "scene/camera/Camera.h"
#include "scene/components/AnimationComponent.h"
#include "support/CollisionHelpers.h"

#include <gtest/gtest.h>

using namespace testing_collision;

namespace {

// A small sphere actor (radius 0.3, grid level 0) with its grid object built but not filed.
std::unique_ptr<DynamicActor> SmallSphereActor(const glm::vec3& position, int tag)
{
    auto actor = MakeColliderActor<COLLISION::Sphere>(position);
    VolumeOf<COLLISION::Sphere>(*actor)->radius = 0.3f;
    actor->gridObject = std::make_unique<Object>(tag, actor.get(), nullptr);
    return actor;
}

// A camera whose six planes all face +Z through z = 0, so only z decides visibility.
Camera CameraFacingPlusZ()
{
    Camera camera(nullptr, 0.0f);
    for (FrustumPlane& plane : camera.planes)
        plane = {{0.0f, 0.0f, 1.0f}, 0.0f};
    return camera;
}

} // namespace

TEST(ActorFrameStep, FrustumCountsASphereTouchingAPlaneAsInside)
{
    const Camera camera = CameraFacingPlusZ();
    StaticActor actor(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(actor.IsInFrustum(&camera, {0, 0, -2.0f}, 2.0f)); // exactly its radius behind
    EXPECT_TRUE(actor.visible);
    EXPECT_FALSE(actor.IsInFrustum(&camera, {0, 0, -2.01f}, 2.0f));
    EXPECT_FALSE(actor.visible);
    EXPECT_TRUE(actor.IsInFrustum(&camera, {0, 0, 5.0f}, 0.0f));
    EXPECT_TRUE(actor.visible);

    // The last plane alone can reject.
    Camera oneBad = CameraFacingPlusZ();
    oneBad.planes[Camera::PlaneBottom] = {{0.0f, 1.0f, 0.0f}, 10.0f};
    EXPECT_FALSE(actor.IsInFrustum(&oneBad, {0, 0, 5.0f}, 1.0f));
}

TEST(ActorFrameStep, DynamicUpdateMovesColliderAndGridCell)
{
    GridScope g;
    auto actor = SmallSphereActor({1, 1, 1}, PlayerTag);
    g->AddObject(*actor->gridObject);
    const int before = actor->gridObject->bucket;

    auto transform = actor->GetComponent<TransformComponent>();
    transform->position = {-12, 1, 1}; // cell (-12, 1, 1) of level 1 (cells of 1 m)
    actor->Update(0.016f);
    ExpectVec3Near(VolumeOf<COLLISION::Sphere>(*actor)->centre, {-12, 1, 1});
    // The grid reads the volume's display transform, which the collider update moved.
    ExpectVec3Near(actor->gridObject->transform->position, {-12, 1, 1});
    ASSERT_EQ(actor->gridObject->level, 1);
    EXPECT_EQ(actor->gridObject->bucket, HGrid::Hash(-12, 1, 1, 1));
    EXPECT_NE(actor->gridObject->bucket, before);
    EXPECT_EQ(g->buckets[HGrid::Hash(-12, 1, 1, 1)].head, actor->gridObject.get());
    EXPECT_EQ(g->buckets[before].head, nullptr);
    EXPECT_EQ(g->objectsAtLevel[1], 1);
}

TEST(ActorFrameStep, DynamicUpdateWithoutGridObjectOrColliderIsSkipped)
{
    GridScope g;
    DynamicActor bare(nullptr, nullptr, nullptr, std::make_shared<TransformComponent>(), nullptr, nullptr);
    bare.Update(0.016f); // no collider, no grid object: nothing to do

    // A built but unfiled object stays unfiled.
    auto actor = SmallSphereActor({1, 1, 1}, PlayerTag);
    actor->Update(0.016f);
    EXPECT_FALSE(actor->gridObject->IsFiled());
    EXPECT_EQ(g->occupiedLevelsMask, 0u);
}

TEST(ActorFrameStep, StaticActorNeverMovesItsVolume)
{
    auto transform = std::make_shared<TransformComponent>(glm::vec3(2, 0, 0));
    auto collision = std::make_shared<CollisionComponent<COLLISION::Cube>>(false, glm::vec3(0.0f), nullptr);
    StaticActor wall(nullptr, nullptr, nullptr, transform, collision, nullptr);
    ExpectVec3Near(collision->volume->centre, {2, 0, 0});
    transform->position = {9, 9, 9};
    wall.Update(0.016f);
    ExpectVec3Near(collision->volume->centre, {2, 0, 0});
    // Only an explicit collider update follows the transform.
    wall.UpdateCollider();
    ExpectVec3Near(collision->volume->centre, {9, 9, 9});
}

TEST(ActorFrameStep, CollisionBindingKeepsAGivenTransformOrTakesTheActors)
{
    auto own = std::make_shared<TransformComponent>(glm::vec3(1, 2, 3));
    auto unbound = std::make_shared<CollisionComponent<COLLISION::Capsule>>(false, glm::vec3(0, 1, 0), nullptr);
    DynamicActor a(nullptr, nullptr, nullptr, own, unbound, nullptr);
    EXPECT_EQ(unbound->GetTransform(), own);
    ExpectVec3Near(unbound->volume->GetCenter(), {1, 3, 3});
    EXPECT_EQ(a.GetComponent<ICollisionComponent>(), unbound);

    auto other = std::make_shared<TransformComponent>(glm::vec3(-5, 0, 0));
    auto bound = std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), other);
    StaticActor b(nullptr, nullptr, nullptr, std::make_shared<TransformComponent>(), bound, nullptr);
    EXPECT_EQ(bound->GetTransform(), other);
    ExpectVec3Near(bound->volume->centre, {-5, 0, 0});

    // Components keep the documented order: transform before collision.
    ASSERT_EQ(a.components.size(), 2u);
    EXPECT_EQ(a.components[0], own);
}

TEST(ActorFrameStep, StepsTheFirstColliderAndAnimationAddedUntilTheComponentsAreCleared)
{
    auto own = std::make_shared<TransformComponent>(glm::vec3(1, 2, 3));
    auto first = std::make_shared<CollisionComponent<COLLISION::Capsule>>(false, glm::vec3(0.0f), own);
    auto second = std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), own);
    // Ten ticks a second over a ten-tick loop.
    auto clip = std::make_shared<Animation>(nullptr, 10.0f, 10, NodeData{}, std::unordered_map<int, Bone>{});
    auto animation = std::make_shared<AnimationComponent>(clip, 1.0f);
    Actor actor;
    actor.AddComponent<ICollisionComponent>(first);
    actor.AddComponent<CollisionComponent<COLLISION::Sphere>>(second); // a second collider is not the frame's
    actor.AddComponent<AnimationComponent>(animation);
    EXPECT_EQ(actor.Collider(), first.get());
    EXPECT_EQ(actor.Collider(), actor.GetComponent<ICollisionComponent>().get());
    EXPECT_EQ(actor.Animator(), animation.get());

    own->position = {4, 5, 6};
    actor.UpdateCollider();
    actor.Update(0.5f);
    ExpectVec3Near(first->volume->GetCenter(), {4, 5, 6});
    ExpectVec3Near(second->volume->centre, {1, 2, 3});
    EXPECT_FLOAT_EQ(animation->currentTime, 5.0f);

    // Cleared, the actor steps nothing, though the components live on elsewhere.
    actor.ClearComponents();
    EXPECT_TRUE(actor.components.empty());
    EXPECT_EQ(actor.Collider(), nullptr);
    EXPECT_EQ(actor.Animator(), nullptr);
    own->position = {7, 8, 9};
    actor.UpdateCollider();
    actor.Update(0.5f);
    ExpectVec3Near(first->volume->GetCenter(), {4, 5, 6});
    EXPECT_FLOAT_EQ(animation->currentTime, 5.0f);
}

TEST(ActorFrameStep, DestroyingAnActorTakesItsObjectOutOfTheGrid)
{
    GridScope g;
    auto stays = SmallSphereActor({1, 1, 1}, SceneryTag);
    auto goes = SmallSphereActor({1.5f, 1, 1}, SceneryTag);
    g->AddObject(*stays->gridObject);
    g->AddObject(*goes->gridObject);
    const int bucket = stays->gridObject->bucket;
    ASSERT_EQ(g->buckets[bucket].head, goes->gridObject.get());
    goes.reset();
    EXPECT_EQ(g->buckets[bucket].head, stays->gridObject.get());
    EXPECT_EQ(stays->gridObject->prev, nullptr);
    EXPECT_EQ(stays->gridObject->next, nullptr);
    EXPECT_EQ(g->objectsAtLevel[stays->gridObject->level], 1);
    stays.reset();
    EXPECT_EQ(g->buckets[bucket].head, nullptr);
    EXPECT_EQ(g->occupiedLevelsMask, 0u);

    // An actor whose object was never filed is destroyed without touching the grid.
    auto unfiled = SmallSphereActor({1, 1, 1}, SceneryTag);
    unfiled.reset();
    EXPECT_EQ(g->objectsAtLevel[0], 0);
}

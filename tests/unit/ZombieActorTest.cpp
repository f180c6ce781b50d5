// Zombies in a running Scene0: the state machine's edges, the chase, the swing that hurts once,
// death and the return to the pool; and the hand sphere probe.
#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "collision/HGrid.h"
#include "collision/Sphere.h"
#include "game/actors/SphereActor.h"
#include "game/actors/State.h"
#include "renderer/AssetRegistry.h"
#include "scene/components/AnimationComponent.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

namespace {

const glm::vec3 PlayerStart(17.0f, 0.0f, 15.0f);

float FlatDistance(const glm::vec3& a, const glm::vec3& b)
{
    return glm::distance(glm::vec2(a.x, a.z), glm::vec2(b.x, b.z));
}

bool Playing(const ZombieActor& z, const char* clip)
{
    return z.Animator().currentAnimation == assetRegistry->GetAnimation(clip);
}

// Runs until the zombie reaches the state, at most `frames` frames.
bool RunUntilState(SceneDriver& d, const ZombieActor& z, uint8_t state, int frames = 600)
{
    for (int i = 0; i < frames; ++i) {
        if (z.currentState->id == state)
            return true;
        d.Step();
    }
    return z.currentState->id == state;
}

} // namespace

TEST(ZombieStates, SpawnedZombieSeeksOnItsFirstUpdateAndWalksAtDifficultyZero)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& z = d.SpawnAt(0, glm::vec3(17.0f, 0.0f, 25.0f));
    EXPECT_EQ(z.currentState->id, ZombieActor::IdleId);
    d.Step();
    EXPECT_EQ(z.currentState->id, ZombieActor::SeekId);
    EXPECT_TRUE(Playing(z, "ZombieWalking"));
    EXPECT_FLOAT_EQ(z.Animator().speed, 1.3f);
    EXPECT_LT(z.Transform().position.z, 25.0f);
    // Facing the player: the model's front (+Z) points at him.
    const glm::vec3 front = z.Transform().rotation * glm::vec3(0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(front.z, -1.0f, 1e-3f);
}

TEST(ZombieStates, RunsAtDifficultyTwo)
{
    SceneDriver d;
    d.StopSpawning();
    roundDifficulty = 2;
    ZombieActor& z = d.SpawnAt(0, glm::vec3(17.0f, 0.0f, 25.0f));
    d.Step();
    EXPECT_EQ(z.currentState->id, ZombieActor::SeekId);
    EXPECT_TRUE(Playing(z, "ZombieRun"));
    EXPECT_FLOAT_EQ(z.moveFactor, 1.0f);
    EXPECT_FLOAT_EQ(z.attackRange, 2.3f);
}

TEST(ZombieStates, ExactlyAttackRangeKeepsSeeking)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& z = d.SpawnAt(0, glm::vec3(17.0f, 0.0f, 25.0f));
    d.Step();
    ASSERT_EQ(z.currentState->id, ZombieActor::SeekId);
    z.Transform().position = PlayerStart + glm::vec3(0.0f, 0.0f, 2.0f);
    ASSERT_EQ(glm::distance(z.Transform().position, d.Player().Transform().position), 2.0f);
    d.Step();
    EXPECT_EQ(z.currentState->id, ZombieActor::SeekId);
    d.Step(); // it stepped closer than 2.0 on the previous frame
    EXPECT_EQ(z.currentState->id, ZombieActor::AttackId);
    EXPECT_TRUE(Playing(z, "ZombieAttack"));
    EXPECT_FALSE(z.Animator().loop);
}

TEST(ZombieStates, AttackingZombieNeverCloserThanOneAndHitsOncePerSwing)
{
    SceneDriver d;
    d.StopSpawning();
    PlayerActor& p = d.Player();
    // In front of him (the camera looks along -Z), within the swing's reach.
    ZombieActor& z = d.SpawnAt(0, PlayerStart + glm::vec3(0.0f, 0.0f, -1.3f));
    ASSERT_TRUE(RunUntilState(d, z, ZombieActor::AttackId, 10));

    // First swing: one hit of 25, however long the sphere overlaps him.
    int frames = 0;
    while (p.health == 100.0f && z.currentState->id == ZombieActor::AttackId && frames++ < 600) {
        d.Step();
        EXPECT_GE(FlatDistance(z.Transform().position, p.Transform().position), 1.0f - 1e-4f);
    }
    ASSERT_FLOAT_EQ(p.health, 75.0f) << "the swing never reached the player";
    EXPECT_TRUE(z.hitLanded);
    while (z.currentState->id == ZombieActor::AttackId && frames++ < 600) {
        d.Step();
        EXPECT_FLOAT_EQ(p.health, 75.0f);
        EXPECT_GE(FlatDistance(z.Transform().position, p.Transform().position), 1.0f - 1e-4f);
    }
    // Attack -> Seek after the swing, then Attack again re-arms the hit.
    ASSERT_EQ(z.currentState->id, ZombieActor::SeekId);
    ASSERT_TRUE(RunUntilState(d, z, ZombieActor::AttackId, 10));
    EXPECT_FALSE(z.hitLanded);
    for (int i = 0; i < 600 && p.health == 75.0f; ++i)
        d.Step();
    EXPECT_FLOAT_EQ(p.health, 50.0f);
}

TEST(ZombieStates, SwingFromOutOfViewReachesLikeOneInView)
{
    SceneDriver d;
    d.StopSpawning();
    PlayerActor& p = d.Player();
    // Behind him: the frustum test leaves it invisible, so the animation step skips its bones.
    ZombieActor& z = d.SpawnAt(0, PlayerStart + glm::vec3(0.0f, 0.0f, 1.3f));
    ASSERT_TRUE(RunUntilState(d, z, ZombieActor::AttackId, 10));
    glm::vec3 lowest = z.HandPosition();
    glm::vec3 highest = lowest;
    for (int i = 0; i < 600 && p.health == 100.0f; ++i) {
        d.Step();
        EXPECT_FALSE(z.visible);
        if (z.Animator().currentTime > 3.0f) {
            lowest = glm::min(lowest, z.HandPosition());
            highest = glm::max(highest, z.HandPosition());
        }
    }
    EXPECT_FLOAT_EQ(p.health, 75.0f);
    EXPECT_GT(highest.y - lowest.y, 0.3f); // the hand swung instead of hanging where it last was
}

TEST(ZombieStates, KilledMidSwingGoesToDeadAtOnce)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& z = d.SpawnAt(0, PlayerStart + glm::vec3(0.0f, 0.0f, 1.8f));
    ASSERT_TRUE(RunUntilState(d, z, ZombieActor::AttackId, 10));
    d.Step();
    ASSERT_FALSE(z.Animator().finished);
    z.dead = true;
    d.Step();
    EXPECT_EQ(z.currentState->id, ZombieActor::DeadId);
    EXPECT_TRUE(Playing(z, "ZombieDeath"));
    EXPECT_TRUE(z.skipCulling);
    EXPECT_TRUE(z.Capsule().IsTrigger()); // corpses stop blocking
}

TEST(ZombieStates, PlayerDeathSendsEveryZombieIdle)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& near = d.SpawnAt(0, PlayerStart + glm::vec3(0.0f, 0.0f, 1.8f));
    ZombieActor& far = d.SpawnAt(1, PlayerStart + glm::vec3(8.0f, 0.0f, 0.0f));
    ASSERT_TRUE(RunUntilState(d, near, ZombieActor::AttackId, 10));
    ASSERT_EQ(far.currentState->id, ZombieActor::SeekId);
    d.Player().TakeDamage(false, 100.0f);
    d.Step(); // the player dies in his update, after the zombies' transitions ran
    d.Step();
    EXPECT_EQ(near.currentState->id, ZombieActor::IdleId);
    EXPECT_EQ(far.currentState->id, ZombieActor::IdleId);
    d.RunFor(2.0f);
    EXPECT_EQ(near.currentState->id, ZombieActor::IdleId);
    EXPECT_EQ(far.currentState->id, ZombieActor::IdleId);
    EXPECT_TRUE(Playing(far, "ZombieIdle"));
}

TEST(ZombieLifecycle, SevenSecondsAfterDeathBackInThePool)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& z = d.SpawnAt(3, glm::vec3(8.0f, 0.0f, 8.0f));
    d.Step();
    z.dead = true;
    d.Step(0.1f); // death seen: the timer starts
    ASSERT_EQ(z.currentState->id, ZombieActor::DeadId);
    z.Animator().speed = 0.001f; // a death clip that has not finished by then
    d.RunFor(6.8f, 0.1f);
    EXPECT_FALSE(z.hidden);
    EXPECT_FALSE(z.available);
    d.Step(0.1f);
    d.Step(0.1f);
    EXPECT_TRUE(z.hidden);
    EXPECT_TRUE(z.available);
    EXPECT_EQ(z.Transform().position, glm::vec3(0.0f, -1000.0f, 0.0f));

    // Spawned again: alive, solid and idle.
    z.Spawn(glm::vec3(20.0f, 0.0f, 20.0f));
    EXPECT_FALSE(z.dead);
    EXPECT_FALSE(z.hidden);
    EXPECT_FALSE(z.Capsule().IsTrigger());
    EXPECT_EQ(z.currentState->id, ZombieActor::IdleId);
    d.Step();
    EXPECT_EQ(z.currentState->id, ZombieActor::SeekId);
}

TEST(ZombieLifecycle, DeathClipEndDeactivates)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& z = d.SpawnAt(2, glm::vec3(8.0f, 0.0f, 8.0f));
    d.Step();
    z.dead = true;
    for (int i = 0; i < 600 && z.active; ++i)
        d.Step();
    EXPECT_FALSE(z.active);
    EXPECT_TRUE(z.Animator().finished);
    EXPECT_FALSE(z.available); // still lying there until its seven seconds are up
}

TEST(ZombieLifecycle, SpawnedZombiesAreSolidAndPushEachOtherApart)
{
    SceneDriver d;
    d.StopSpawning();
    ZombieActor& a = d.SpawnAt(0, glm::vec3(8.0f, 0.0f, 25.0f));
    ZombieActor& b = d.SpawnAt(1, glm::vec3(8.3f, 0.0f, 25.0f));
    d.RunFor(0.5f);
    EXPECT_GE(FlatDistance(a.Transform().position, b.Transform().position), 0.9f);
}

TEST(SphereProbe, SizedFiledAndMovedWithItsTransform)
{
    SceneDriver d;
    int contacts = 0;
    SphereActor sphere(glm::vec3(100.0f, 0.0f, 100.0f), 0.2f,
                       [&](Object&, Object&, COLLISION::Collision&) { ++contacts; });
    ASSERT_NE(sphere.gridObject, nullptr);
    EXPECT_FLOAT_EQ(sphere.gridObject->radius, 0.3f);
    EXPECT_EQ(sphere.gridObject->tag, ProjectileTag);
    grid->AddObject(*sphere.gridObject);
    EXPECT_EQ(sphere.gridObject->level, 1); // diameter 0.6: cells of 1 m

    const int bucket = sphere.gridObject->bucket;
    sphere.Transform().position = glm::vec3(-200.0f, 3.0f, 40.0f);
    sphere.Update(0.016f);
    auto volume =
        std::dynamic_pointer_cast<COLLISION::Sphere>(sphere.GetComponent<ICollisionComponent>()->GetBoundingVolume());
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->centre, glm::vec3(-200.0f, 3.0f, 40.0f));
    EXPECT_TRUE(volume->IsTrigger());
    EXPECT_NE(sphere.gridObject->bucket, bucket);
    EXPECT_EQ(contacts, 0); // moving runs no contact test

    // Its query against a solid wall reports but pushes nothing.
    sphere.Transform().position = glm::vec3(0.0f, 0.5f, 10.0f);
    sphere.Update(0.016f);
    HGrid::CheckObjAgainstGrid(sphere.gridObject.get());
    EXPECT_GT(contacts, 0);
    EXPECT_EQ(sphere.Transform().position, glm::vec3(0.0f, 0.5f, 10.0f));
}

TEST(SphereProbe, UpdateWithoutGridObjectFails)
{
    SceneDriver d;
    SphereActor sphere(glm::vec3(0.0f), 0.2f, nullptr);
    sphere.gridObject.reset();
    try {
        sphere.Update(0.016f);
        ADD_FAILURE() << "updated without a grid object";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "grid object null");
    }
}

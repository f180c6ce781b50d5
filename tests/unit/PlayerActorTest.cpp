// The player in a running Scene0: walking and walls, facing, shooting a bubble that bursts into
// a burning puddle, kills, burns, regeneration and death.
#include "collision/CollisionComponent.h"
#include "game/actors/State.h"
#include "renderer/AssetRegistry.h"
#include "scene/components/AnimationComponent.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

namespace {

glm::vec3 Flat(const glm::vec3& v)
{
    return glm::vec3(v.x, 0.0f, v.z);
}

// Walls stand 1 m tall and the gun is carried higher: the player steps up to the wall row at
// z = 0 and aims a little down, so the bubble meets the wall rather than flying over it.
void AimAtSouthWall(SceneDriver& d)
{
    d.Player().Transform().position = glm::vec3(17.0f, 0.0f, 6.0f);
    d.LookAtYaw(0.0f);
    d.Cam().pitch = 8.0f;
}

// Shoots where the camera looks and waits until the puddle has landed.
void ShootAndLand(SceneDriver& d)
{
    d.Step();
    d.Click();
    ASSERT_TRUE(d.Player().shotActive);
    for (int i = 0; i < 120 && !d.Player().puddleLanded; ++i)
        d.Step();
    ASSERT_TRUE(d.Player().puddleLanded) << "the bubble never burst";
}

} // namespace

TEST(PlayerWalk, ForwardAtMoveSpeedAndFacingTheCamera)
{
    SceneDriver d;
    d.StopSpawning();
    d.LookAtYaw(30.0f);
    const glm::vec3 start = d.Player().Transform().position;
    d.Key(SDL_SCANCODE_W, true);
    d.RunFor(1.0f);
    const glm::vec3 moved = d.Player().Transform().position - start;
    EXPECT_NEAR(glm::length(moved), 7.0f, 0.05f);
    const glm::vec3 forward = glm::normalize(Flat(d.Cam().Forward()));
    EXPECT_NEAR(glm::dot(glm::normalize(moved), forward), 1.0f, 1e-4f);
    EXPECT_EQ(d.Player().Transform().position.y, 0.0f);
    EXPECT_TRUE(d.Player().Animator().currentAnimation == assetRegistry->GetAnimation("DrevikWalk"));

    // The model's front (+Z) turns to the camera's horizontal forward.
    const glm::vec3 front = d.Player().Transform().rotation * glm::vec3(0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(glm::dot(front, forward), 1.0f, 1e-4f);
}

TEST(PlayerWalk, ForwardAndBackCancel)
{
    SceneDriver d;
    d.StopSpawning();
    const glm::vec3 start = d.Player().Transform().position;
    d.Key(SDL_SCANCODE_W, true);
    d.Key(SDL_SCANCODE_S, true);
    d.RunFor(1.0f);
    EXPECT_EQ(d.Player().Transform().position, start);
    EXPECT_TRUE(d.Player().Animator().currentAnimation == assetRegistry->GetAnimation("DrevikIdle"));
}

TEST(PlayerWalk, DiagonalIsNotFaster)
{
    SceneDriver d;
    d.StopSpawning();
    const glm::vec3 start = d.Player().Transform().position;
    d.Key(SDL_SCANCODE_W, true);
    d.Key(SDL_SCANCODE_D, true);
    d.RunFor(1.0f);
    const glm::vec3 moved = d.Player().Transform().position - start;
    EXPECT_NEAR(glm::length(moved), 7.0f, 0.05f);
    EXPECT_NEAR(moved.x, -moved.z, 1e-3f); // along (1, 0, -1) at yaw 0
}

TEST(PlayerWalk, WallsStopHim)
{
    SceneDriver d;
    d.StopSpawning();
    d.LookAtYaw(-90.0f); // facing -X: the wall row at x = 0 spans x from -1 to 1
    ASSERT_NEAR(d.Cam().Forward().x, -1.0f, 1e-5f);
    d.Key(SDL_SCANCODE_W, true);
    float closest = 100.0f;
    for (int i = 0; i < 4 * 60; ++i) {
        d.Step();
        closest = std::min(closest, d.Player().Transform().position.x);
    }
    // The capsule (radius 0.45) rests against the wall face. The push-out works on the collider
    // placed before the walk, so he may overlap by two frames' steps, never more.
    EXPECT_GT(closest, 1.0f + 0.45f - 2.0f * 7.0f / 60.0f - 0.01f);
    EXPECT_LT(d.Player().Transform().position.x, 2.0f);
}

TEST(PlayerShot, BubbleBurstsOnTheWallAndThePuddleLands)
{
    SceneDriver d;
    d.StopSpawning();
    AimAtSouthWall(d);
    d.Step();
    d.Click();
    PlayerActor& p = d.Player();
    ASSERT_TRUE(p.shotActive);
    EXPECT_TRUE(p.bubbleFlying);
    EXPECT_FALSE(p.bubble->hidden);
    const GameClock::TimePoint shot = p.shotTime;

    // A second click within the shot's five seconds does nothing.
    d.Step();
    const glm::vec3 inFlight = p.bubble->GetComponent<TransformComponent>()->position;
    d.Click();
    EXPECT_EQ(p.shotTime, shot);
    EXPECT_EQ(p.bubble->GetComponent<TransformComponent>()->position, inFlight);

    for (int i = 0; i < 60 && !p.puddleActive; ++i)
        d.Step();
    ASSERT_TRUE(p.puddleActive) << "the bubble never burst";
    EXPECT_TRUE(p.bubble->hidden);
    EXPECT_FALSE(p.puddle->hidden);
    const glm::vec3 burst = p.puddle->GetComponent<TransformComponent>()->position;
    EXPECT_LT(burst.z, 2.0f);
    EXPECT_GT(burst.z, 0.5f);
    EXPECT_GT(burst.y, 0.2f); // it burst in the air and falls from there

    for (int i = 0; i < 30 && !p.puddleLanded; ++i)
        d.Step();
    ASSERT_TRUE(p.puddleLanded);
    d.Step();
    EXPECT_FLOAT_EQ(p.puddle->GetComponent<TransformComponent>()->position.y, 0.01f);
    for (Actor* bubble : p.bubbleParticles)
        EXPECT_FALSE(bubble->hidden);

    // Five seconds after the shot it is all over and the gun is ready again.
    d.RunFor(5.0f);
    EXPECT_FALSE(p.shotActive);
    EXPECT_TRUE(p.puddle->hidden);
    for (Actor* bubble : p.bubbleParticles)
        EXPECT_TRUE(bubble->hidden);
    d.Click();
    EXPECT_TRUE(p.shotActive);
}

TEST(PlayerShot, BubbleBurstsOnTheFloor)
{
    SceneDriver d;
    d.StopSpawning();
    d.Cam().pitch = 60.0f; // looking down
    ASSERT_LT(d.Cam().Forward().y, -0.5f);
    ShootAndLand(d);
    const glm::vec3 puddle = d.Player().puddle->GetComponent<TransformComponent>()->position;
    EXPECT_LT(glm::distance(Flat(puddle), Flat(d.Player().Transform().position)), 3.0f);
}

TEST(PlayerShot, PuddleKillsAZombieThatWalksInOnce)
{
    SceneDriver d;
    d.StopSpawning();
    AimAtSouthWall(d);
    ShootAndLand(d);
    const glm::vec3 puddle = d.Player().puddle->GetComponent<TransformComponent>()->position;

    // The player stands off to one side; the zombie comes at him through the puddle.
    d.Player().Transform().position = glm::vec3(puddle.x + 6.0f, 0.0f, 2.0f);
    ZombieActor& z = d.SpawnAt(0, glm::vec3(puddle.x - 5.0f, 0.0f, 2.0f));
    for (int i = 0; i < 150 && !z.dead; ++i)
        d.Step();
    ASSERT_TRUE(z.dead) << "the zombie crossed the puddle alive";
    EXPECT_LT(z.Transform().position.x, puddle.x);
    EXPECT_EQ(d.Player().killCount, 1);
    d.RunFor(1.0f);
    EXPECT_EQ(d.Player().killCount, 1);
    EXPECT_EQ(z.currentState->id, ZombieActor::DeadId);
}

TEST(PlayerShot, PuddleBurnsThePlayerStandingInIt)
{
    SceneDriver d;
    d.StopSpawning();
    AimAtSouthWall(d);
    ShootAndLand(d);
    PlayerActor& p = d.Player();
    ASSERT_FLOAT_EQ(p.health, 100.0f);
    p.Transform().position = Flat(p.puddle->GetComponent<TransformComponent>()->position);
    d.Step();
    d.Step();
    const float afterTwo = p.health;
    EXPECT_LT(afterTwo, 100.0f);
    EXPECT_FALSE(p.firstBurnPending);
    d.RunFor(0.5f);
    EXPECT_NEAR(p.health, afterTwo - 30 * 0.2f, 1e-3f);
    EXPECT_FALSE(p.dead);
}

TEST(PlayerHealth, RegeneratesAfterThreeQuietSecondsToExactlyFull)
{
    SceneDriver d;
    d.StopSpawning();
    PlayerActor& p = d.Player();
    p.TakeDamage(false, 25.0f);
    EXPECT_FLOAT_EQ(p.health, 75.0f);
    d.RunFor(2.9f, 0.1f);
    EXPECT_FLOAT_EQ(p.health, 75.0f);
    // 30 points a second once the three quiet seconds are over.
    d.RunFor(0.6f, 0.1f);
    EXPECT_NEAR(p.health, 75.0f + 30.0f * 0.5f, 0.05f);
    d.RunFor(10.0f, 0.1f);
    EXPECT_EQ(p.health, 100.0f);
}

TEST(PlayerHealth, ExactlyZeroKillsHimAndStopsHim)
{
    SceneDriver d;
    d.StopSpawning();
    PlayerActor& p = d.Player();
    p.TakeDamage(false, 60.0f);
    p.TakeDamage(false, 40.0f);
    ASSERT_EQ(p.health, 0.0f);
    d.Step();
    EXPECT_TRUE(p.dead);
    EXPECT_TRUE(p.gun->hidden);
    EXPECT_TRUE(p.Animator().currentAnimation == assetRegistry->GetAnimation("DrevikDeath"));
    EXPECT_FALSE(p.Animator().loop);

    p.moveKeys[PlayerActor::Forward] = true;
    const glm::vec3 at = p.Transform().position;
    d.RunFor(1.0f, 0.1f);
    EXPECT_EQ(p.Transform().position, at);
    EXPECT_EQ(p.health, 0.0f); // no regeneration once dead
}

TEST(PlayerCamera, FollowsTheEyesSlightlyLeft)
{
    SceneDriver d;
    d.StopSpawning();
    d.Step();
    const glm::vec3 eye = d.Player().cameraTarget->position;
    EXPECT_GT(eye.y, 1.2f);
    EXPECT_LT(eye.y, 2.0f);
    EXPECT_LT(glm::distance(Flat(eye), Flat(d.Player().Transform().position)), 0.5f);
    EXPECT_NEAR(glm::distance(d.Cam().offset, glm::vec3(0.0f)), 0.03f, 1e-6f);
    const glm::vec3 gun = d.Player().GunPosition();
    EXPECT_GT(gun.y, 0.5f);
    EXPECT_LT(gun.y, 1.8f);
}

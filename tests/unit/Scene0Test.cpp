// Scene0 over a NullRenderer: what construction builds, the round and spawn schedule, input and
// pausing, the transparent sort, restart and teardown.
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "game/SoundManager.h"
#include "game/actors/SphereActor.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/ShaderComponent.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <vector>

namespace {

constexpr float SpawnDt = 0.05f; // exact in nanoseconds, so whole-second edges land on a frame

int CountCells(const Scene0& scene, uint8_t code)
{
    return static_cast<int>(std::count(std::begin(scene.levelMap), std::end(scene.levelMap), code));
}

bool AtSpawnPoint(const Scene0& scene, const glm::vec3& p)
{
    for (const glm::vec3& s : scene.spawnPoints)
        if (p == s)
            return true;
    return false;
}

} // namespace

TEST(Scene0Construction, ListsHoldEveryActorInOrder)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    const int walls = CountCells(s, WallCell);
    const int grass = CountCells(s, GrassCell);
    EXPECT_EQ(walls, 4 * 17);
    EXPECT_EQ(s.levelMap[0], WallCell);
    EXPECT_EQ(s.levelMap[1 * LevelSize + 4], GrassCell);
    EXPECT_EQ(s.levelMap[1 * LevelSize + 1], EmptyCell);

    // player, bubble, gun, 10 markers, spot marker, moon, 24 zombies, ground, walls
    ASSERT_EQ(s.actors.size(), static_cast<size_t>(3 + 10 + 1 + 1 + ZombiePoolSize + 1 + walls));
    EXPECT_EQ(s.actors[0], s.player);
    EXPECT_EQ(s.actors[1], s.player->bubble);
    EXPECT_EQ(s.actors[2], s.player->gun);
    for (int i = 0; i < MaxPointLights; ++i)
        EXPECT_EQ(s.actors[3 + i], s.pointLightMarkers[i]);
    EXPECT_EQ(s.actors[13], s.spotLightMarker);
    for (int i = 0; i < ZombiePoolSize; ++i)
        EXPECT_EQ(s.actors[15 + i], s.zombiePool[i]);
    ASSERT_NE(s.actors[39]->gridObject, nullptr);
    EXPECT_EQ(s.actors[39]->gridObject->tag, GroundTag);
    EXPECT_EQ(s.actors.back()->gridObject->tag, SceneryTag);

    ASSERT_EQ(s.transparentActors.size(), static_cast<size_t>(BubbleParticleCount + 1 + grass));
    for (int i = 0; i < BubbleParticleCount; ++i) {
        EXPECT_EQ(s.transparentActors[i], s.player->bubbleParticles[i]);
        EXPECT_TRUE(s.transparentActors[i]->hidden);
    }
    EXPECT_EQ(s.transparentActors[BubbleParticleCount], s.player->puddle);

    // Every colliding actor is filed in the grid.
    for (const Actor* actor : s.actors)
        EXPECT_TRUE(!actor->gridObject || actor->gridObject->IsFiled());
}

TEST(Scene0Construction, StartsRoundOneWithAParkedPool)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    EXPECT_EQ(s.round, 1);
    EXPECT_EQ(s.zombiesThisRound, 6u);
    EXPECT_EQ(s.zombiesSpawned, 0u);
    EXPECT_FLOAT_EQ(s.spawnInterval, 4.4f);
    EXPECT_EQ(roundDifficulty, 0);
    EXPECT_TRUE(s.inputEnabled);
    EXPECT_FALSE(s.paused);
    for (const ZombieActor* z : s.zombiePool) {
        EXPECT_TRUE(z->hidden);
        EXPECT_TRUE(z->available);
        EXPECT_FALSE(z->active);
    }
    EXPECT_EQ(zombieAttackSpheres.size(), static_cast<size_t>(ZombiePoolSize));
    EXPECT_EQ(d.Player().Transform().position, glm::vec3(17.0f, 0.0f, 15.0f));
    EXPECT_FLOAT_EQ(d.Player().health, 100.0f);
}

TEST(Scene0Construction, LightsAreInsideTheArena)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    for (int i = 0; i < MaxPointLights; ++i) {
        const PointLight& l = s.pointLights[i];
        EXPECT_GE(l.position.x, 1.5f);
        EXPECT_LT(l.position.x, 32.5f);
        EXPECT_GE(l.position.y, 1.0f);
        EXPECT_LT(l.position.y, 3.0f);
        EXPECT_EQ(l.position.w, 1.0f);
        EXPECT_GE(l.colour.r, 0.2f);
        EXPECT_LT(l.colour.r, 2.0f);
        EXPECT_EQ(glm::vec3(s.pointLightMarkers[i]->colour), glm::vec3(l.colour));
    }
    EXPECT_NEAR(s.spotLight.cutOff, std::cos(glm::radians(30.0f)), 1e-6f);
    EXPECT_EQ(s.directionalLights[0].direction, glm::vec4(1.0f, -1.0f, 0.7f, 0.0f));
}

TEST(Scene0Construction, TheSeedAloneDecidesWhatTheSceneDraws)
{
    // The lights drawn while the scene is built, then ten seconds of play: the zombies sent out,
    // where they chase, and where the lights wandered.
    const auto run = [](SceneDriver& d) {
        std::vector<glm::vec4> drawn;
        const auto lights = [&] {
            for (const PointLight& l : d.Scene().pointLights) {
                drawn.push_back(l.position);
                drawn.push_back(l.colour);
            }
        };
        lights();
        d.RunFor(10.0f, SpawnDt);
        for (int i = 0; i < ZombiePoolSize; ++i)
            drawn.push_back(glm::vec4(d.Zombie(i).Transform().position, d.Zombie(i).active ? 1.0f : 0.0f));
        lights();
        return drawn;
    };
    SceneDriver d(7);
    const std::vector<glm::vec4> first = run(d);
    // Draws made before a scene is built must not change what it draws.
    std::rand();
    RandomGenerator()();
    d.Rebuild(7);
    EXPECT_EQ(run(d), first);
    d.Rebuild(8);
    EXPECT_NE(run(d), first);
}

TEST(Scene0Construction, ShadersExistWithoutVulkan)
{
    SceneDriver d;
    for (const char* name :
         {"SkyBoxShader", "BaseShader", "PBRShader", "AnimPBRShader", "CollisionShader", "BillBoardPBRShader"})
        EXPECT_NE(assetRegistry->GetShader(name), nullptr) << name;
    EXPECT_TRUE(assetRegistry->GetShader("BillBoardPBRShader")->usesSortedList);
    EXPECT_FALSE(assetRegistry->GetShader("PBRShader")->usesSortedList);
}

TEST(Scene0Rounds, RoundOneSpawnsSixZombiesOnTheSchedule)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    d.Step(SpawnDt); // the first update starts the spawn timer
    const GameClock::TimePoint timerStart = GameClock::Now();

    uint32_t seen = 0;
    GameClock::TimePoint lastSpawn = timerStart;
    while (s.zombiesSpawned < 6 && SecondsSince(timerStart) < 60.0f) {
        d.Step(SpawnDt);
        if (s.zombiesSpawned == seen)
            continue;
        ASSERT_EQ(s.zombiesSpawned, seen + 1);
        // The timer restarts on the call after a spawn: 5 whole seconds from then (4.4 rounds up).
        const float waited = SecondsSince(lastSpawn);
        EXPECT_NEAR(waited, seen == 0 ? 5.0f : 5.0f + SpawnDt, 1e-3f) << "spawn " << seen + 1;
        const ZombieActor& z = d.Zombie(static_cast<int>(seen));
        EXPECT_TRUE(z.active);
        EXPECT_FALSE(z.available);
        EXPECT_FALSE(z.hidden);
        EXPECT_TRUE(AtSpawnPoint(s, z.Transform().position));
        lastSpawn = GameClock::Now();
        ++seen;
    }
    EXPECT_EQ(s.zombiesSpawned, 6u);
    d.RunFor(12.0f, SpawnDt);
    EXPECT_EQ(s.zombiesSpawned, 6u);
    EXPECT_FALSE(d.Zombie(6).active);
}

TEST(Scene0Rounds, KillingTheRoundStartsTheNextWithItsDifficulty)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    struct Expect {
        uint16_t round;
        uint32_t zombies;
        uint8_t difficulty;
        float interval;
    };
    const Expect table[] = {{2, 8, 1, 4.0f},   {3, 10, 2, 3.0f},  {4, 12, 2, 3.0f}, {5, 14, 2, 3.0f},
                            {6, 16, 3, 2.8f},  {7, 18, 3, 2.8f},  {8, 20, 3, 2.8f}, {9, 22, 3, 2.8f},
                            {10, 24, 3, 2.8f}, {11, 24, 4, 2.4f}, {12, 24, 4, 2.4f}};
    for (const Expect& e : table) {
        s.zombiesSpawned = s.zombiesThisRound;
        d.Player().killCount = static_cast<int32_t>(s.zombiesThisRound);
        d.Step();
        EXPECT_EQ(s.round, e.round);
        EXPECT_EQ(s.zombiesThisRound, e.zombies);
        EXPECT_EQ(roundDifficulty, e.difficulty);
        EXPECT_FLOAT_EQ(s.spawnInterval, e.interval);
        EXPECT_EQ(d.Player().killCount, 0);
        EXPECT_EQ(s.zombiesSpawned, 0u);
    }
}

TEST(Scene0Rounds, BusyPoolDelaysTheSpawnUntilAZombieIsFree)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    for (ZombieActor* z : s.zombiePool)
        z->available = false;
    d.RunFor(8.0f, SpawnDt);
    EXPECT_EQ(s.zombiesSpawned, 0u);
    // The timer kept running: the zombie that comes back spawns on the very next frame.
    d.Zombie(5).available = true;
    d.Step(SpawnDt);
    EXPECT_EQ(s.zombiesSpawned, 1u);
    EXPECT_TRUE(d.Zombie(5).active);
}

TEST(Scene0Rounds, RestartBuildsAFreshSceneAtRoundOne)
{
    SceneDriver d;
    const glm::vec4 firstColour = d.Scene().pointLights[0].colour;
    d.Player().killCount = 6;
    d.Step();
    ASSERT_EQ(d.Scene().round, 2);
    d.Player().health = 40.0f;

    d.Rebuild(2); // a restart seeds afresh
    Scene0& s = d.Scene();
    EXPECT_EQ(s.round, 1);
    EXPECT_EQ(roundDifficulty, 0);
    EXPECT_FLOAT_EQ(d.Player().health, 100.0f);
    EXPECT_NE(s.pointLights[0].colour, firstColour);
    EXPECT_EQ(zombieAttackSpheres.size(), static_cast<size_t>(ZombiePoolSize));
    EXPECT_EQ(d.renderer.releases, 1);
    d.RunFor(1.0f);
    EXPECT_EQ(s.round, 1);
}

TEST(Scene0Rounds, TeardownReleasesServicesAndChecksTheHandSpheres)
{
    {
        SceneDriver d;
        d.RunFor(0.5f);
    }
    EXPECT_TRUE(zombieAttackSpheres.empty());
    EXPECT_EQ(grid, nullptr);
    EXPECT_EQ(assetRegistry, nullptr);
    EXPECT_EQ(strayAttackSpheres, 0u);
    EXPECT_TRUE(CheckAttackSpheresCleared());

    zombieAttackSpheres.push_back(nullptr); // a sphere whose zombie was never destroyed
    EXPECT_FALSE(CheckAttackSpheresCleared()) << "a stray hand sphere went unnoticed";
    EXPECT_EQ(strayAttackSpheres, 1u);
    EXPECT_TRUE(zombieAttackSpheres.empty()) << "reported once; the next scene starts clean";
    EXPECT_TRUE(CheckAttackSpheresCleared());
    EXPECT_EQ(strayAttackSpheres, 0u);
}

TEST(Scene0Rounds, ATeardownThatFindsAStrayHandSphereReportsItWithoutThrowing)
{
    EXPECT_TRUE(std::is_nothrow_destructible_v<Scene0>);
    SceneDriver d;
    zombieAttackSpheres.push_back(nullptr); // left behind by a zombie that was never destroyed
    EXPECT_NO_THROW(delete d.scene.release()); // as the application deletes it
    EXPECT_EQ(strayAttackSpheres, 1u) << "the stray hand sphere went unreported";
    // Everything the scene owned is gone, the grid included.
    EXPECT_EQ(grid, nullptr);
    EXPECT_EQ(assetRegistry, nullptr);
    EXPECT_EQ(soundManager, nullptr);
    EXPECT_TRUE(zombieAttackSpheres.empty());
}

TEST(Scene0Input, MouseTurnsTheCameraWithThePitchClamped)
{
    SceneDriver d;
    d.MouseMotion(30, -20);
    EXPECT_FLOAT_EQ(d.Cam().yaw, 3.0f);
    EXPECT_FLOAT_EQ(d.Cam().pitch, -2.0f);
    d.MouseMotion(0, 10000);
    EXPECT_FLOAT_EQ(d.Cam().pitch, 88.0f);
}

TEST(Scene0Input, KeysSetAndClearTheMoveKeys)
{
    SceneDriver d;
    const SDL_Scancode keys[4] = {SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D};
    for (int i = 0; i < 4; ++i) {
        d.Key(keys[i], true);
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(d.Player().moveKeys[j], j <= i) << i << " " << j;
    }
    d.Key(SDL_SCANCODE_A, false);
    EXPECT_FALSE(d.Player().moveKeys[PlayerActor::Left]);
    EXPECT_TRUE(d.Player().moveKeys[PlayerActor::Forward]);
}

TEST(Scene0Input, EscapePausesFreezesAndResumes)
{
    SceneDriver d;
    d.StopSpawning();
    d.Key(SDL_SCANCODE_W, true);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(d.Scene().paused);
    for (bool key : d.Player().moveKeys)
        EXPECT_FALSE(key);

    // While paused: input is ignored, keys stay clear and nothing moves.
    const glm::vec3 before = d.Player().Transform().position;
    d.Key(SDL_SCANCODE_D, true);
    d.MouseMotion(100, 100);
    d.Click();
    d.RunFor(1.0f);
    for (bool key : d.Player().moveKeys)
        EXPECT_FALSE(key);
    EXPECT_EQ(d.Cam().yaw, 0.0f);
    EXPECT_FALSE(d.Player().shotActive);
    EXPECT_EQ(d.Player().Transform().position, before);

    d.Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(d.Scene().paused);
    d.Key(SDL_SCANCODE_W, true);
    d.RunFor(0.5f);
    EXPECT_GT(glm::distance(d.Player().Transform().position, before), 3.0f);
}

TEST(Scene0Input, EscapeWhileDeadDoesNothing)
{
    SceneDriver d;
    d.StopSpawning();
    d.Player().TakeDamage(false, 100.0f);
    d.Step();
    ASSERT_TRUE(d.Player().dead);
    d.Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(d.Scene().paused);
    d.MouseMotion(50, 0);
    EXPECT_EQ(d.Cam().yaw, 0.0f);
}

TEST(Scene0Render, PuddleFirstThenBackToFront)
{
    SceneDriver d;
    d.StopSpawning();
    d.LookAtYaw(37.0f);
    d.Step();
    const Scene0& s = d.Scene();
    ASSERT_EQ(s.transparentActors.front(), s.player->puddle);
    const glm::vec3 eye = s.camera->GetPosition();
    float previous = INFINITY;
    for (size_t i = 1; i < s.transparentActors.size(); ++i) {
        const float distance = glm::distance(eye, s.transparentActors[i]->GetComponent<TransformComponent>()->position);
        EXPECT_LE(distance, previous) << "position " << i;
        previous = distance;
    }
    EXPECT_EQ(d.renderer.drawnFrames, 1);
}

TEST(Scene0Render, LightWanderMovesOneLightAndItsMarker)
{
    SceneDriver d;
    d.StopSpawning();
    Scene0& s = d.Scene();
    d.Step(0.1f);
    d.RunFor(5.9f, 0.1f);
    EXPECT_FALSE(s.wanderMoving); // whole seconds must exceed 5
    d.Step(0.1f);
    ASSERT_TRUE(s.wanderMoving);
    const int i = s.wanderLight;
    const float before = glm::distance(glm::vec3(s.pointLights[i].position), s.wanderTarget);
    d.RunFor(1.0f, 0.1f);
    const glm::vec3 now(s.pointLights[i].position);
    EXPECT_LT(glm::distance(now, s.wanderTarget), before * 0.2f);
    EXPECT_EQ(s.pointLightMarkers[i]->GetComponent<TransformComponent>()->position, now);
    EXPECT_EQ(s.pointLights[i].position.w, 1.0f);
}

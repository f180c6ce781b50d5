// Gameplay on game time: a pause (Escape, a lost window) stops every timer; burning, healing and
// the bubble's flight come out the same at any frame rate; walls and crowds never push the player
// out of the arena. All through Scene0 over the NullRenderer.
#include "collision/Object.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "scene/components/TransformComponent.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

glm::vec3 BubblePosition(const SceneDriver& d)
{
    return d.Player().bubble->GetComponent<TransformComponent>()->position;
}

// The player on the arena's west side, looking east along +x across its whole width.
void AimEast(SceneDriver& d)
{
    d.Player().Transform().position = glm::vec3(4.0f, 0.0f, 17.0f);
    d.LookAtYaw(90.0f);
}

// Runs at `dt` until the bubble bursts (or `seconds` pass); returns the burst point.
bool FlyUntilBurst(SceneDriver& d, float dt, float seconds, glm::vec3& burst)
{
    PlayerActor& p = d.Player();
    for (float t = 0.0f; t < seconds; t += dt) {
        d.Step(dt);
        if (p.puddleActive) {
            burst = BubblePosition(d);
            return true;
        }
    }
    return false;
}

// Inner faces of the border walls: wall blocks of half size 1 stand at x or z = 0 and 34.
constexpr float ArenaInnerMin = 1.0f;
constexpr float ArenaInnerMax = 33.0f;
constexpr float PlayerRadius = 0.45f;
constexpr float ZombieRadius = 0.5f;

// At the end of every frame a capsule stays clear of the walls (2 cm of rounding allowed).
bool InsideArena(const glm::vec3& p, float radius = PlayerRadius)
{
    const float lo = ArenaInnerMin + radius - 0.02f;
    const float hi = ArenaInnerMax - radius + 0.02f;
    return p.x > lo && p.x < hi && p.z > lo && p.z < hi;
}

} // namespace

TEST(GameTimePause, SixtySecondsPausedChangeNothingAndEveryTimerGoesOnWhereItStopped)
{
    SceneDriver d;
    Scene0& s = d.Scene();
    PlayerActor& p = d.Player();
    ZombieActor& z = d.SpawnAt(0, glm::vec3(3.0f, 0.0f, 30.0f));
    d.Player().Transform().position = glm::vec3(17.0f, 0.0f, 6.0f);
    d.LookAtYaw(0.0f);
    d.Cam().pitch = 8.0f; // at the south wall, close by
    d.RunFor(1.0f, 0.1f);
    ASSERT_TRUE(z.groanTimer.started);
    p.TakeDamage(false, 25.0f);
    d.Click();
    ASSERT_TRUE(p.shotActive);
    d.Step(0.1f);

    const uint32_t spawned = s.zombiesSpawned;
    const float spawnSeconds = s.spawnTimer.Seconds();
    const int32_t groanDelay = z.groanDelay;
    const float groanSeconds = z.groanTimer.Seconds();
    const float shotAge = SecondsSince(p.shotTime);
    const glm::vec3 zombieAt = z.Transform().position;

    d.Tap(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(s.paused);
    d.RunFor(60.0f, 0.1f); // a minute of frames behind the menu
    EXPECT_EQ(z.Transform().position, zombieAt);
    d.Tap(SDL_SCANCODE_ESCAPE);
    ASSERT_FALSE(s.paused);
    d.Step(0.1f);

    // One frame of game time has passed since the pause, not sixty seconds.
    EXPECT_EQ(s.zombiesSpawned, spawned) << "a zombie spawned at once";
    EXPECT_NEAR(s.spawnTimer.Seconds(), spawnSeconds + 0.1f, 1e-3f);
    EXPECT_TRUE(p.shotActive) << "the shot expired during the pause";
    EXPECT_FALSE(p.puddle->hidden);
    EXPECT_NEAR(SecondsSince(p.shotTime), shotAge + 0.1f, 1e-3f);
    EXPECT_TRUE(z.groanTimer.started) << "the zombie groaned at once";
    EXPECT_EQ(z.groanDelay, groanDelay);
    EXPECT_NEAR(z.groanTimer.Seconds(), groanSeconds + 0.1f, 1e-3f);
    EXPECT_LT(glm::distance(z.Transform().position, zombieAt), 1.0f);

    // Regeneration still waits out its three quiet seconds (0.2 s have passed in game time).
    EXPECT_FLOAT_EQ(p.health, 75.0f);
    d.RunFor(2.5f, 0.1f);
    EXPECT_FLOAT_EQ(p.health, 75.0f);
    d.RunFor(1.0f, 0.1f);
    EXPECT_GT(p.health, 75.0f);
}

TEST(GameTimePause, LosingTheWindowPausesUntilHeResumes)
{
    for (const SDL_WindowEventID lost :
         {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_HIDDEN}) {
        SCOPED_TRACE(static_cast<int>(lost));
        SceneDriver d;
        d.Key(SDL_SCANCODE_W, true);
        d.Step();
        d.Window(lost);
        ASSERT_TRUE(d.Scene().paused);
        EXPECT_FALSE(d.Player().moveKeys[PlayerActor::Forward]);

        const GameClock::TimePoint at = GameClock::Now();
        const glm::vec3 standing = d.Player().Transform().position;
        d.RunFor(5.0f);
        d.Window(SDL_WINDOWEVENT_RESTORED);
        d.Window(SDL_WINDOWEVENT_SHOWN);
        d.Window(SDL_WINDOWEVENT_FOCUS_GAINED);
        d.RunFor(1.0f);
        // Back in the window, the game still waits behind its menu.
        EXPECT_TRUE(d.Scene().paused);
        EXPECT_EQ(GameClock::Now(), at);
        EXPECT_EQ(d.Player().Transform().position, standing);

        d.Tap(SDL_SCANCODE_ESCAPE);
        EXPECT_FALSE(d.Scene().paused);
        d.Step(0.1f);
        EXPECT_NEAR(SecondsSince(at), 0.1f, 1e-4f);
    }
}

TEST(GameTimePause, TheLaunchersLastWindowEventsDoNotPauseTheGame)
{
    SceneDriver d;
    // The launcher's window, closed as the game starts, reports itself hidden and left.
    for (const SDL_WindowEventID what :
         {SDL_WINDOWEVENT_HIDDEN, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_CLOSE, SDL_WINDOWEVENT_LEAVE})
        d.Window(what, 1);
    EXPECT_FALSE(d.Scene().paused);
    const GameClock::TimePoint at = GameClock::Now();
    d.Step(0.1f);
    EXPECT_NEAR(SecondsSince(at), 0.1f, 1e-4f);
}

TEST(GameTimePause, HeldEscapeTogglesOnce)
{
    SceneDriver d;
    d.Key(SDL_SCANCODE_ESCAPE, true);
    ASSERT_TRUE(d.Scene().paused);
    for (int i = 0; i < 30; ++i) {
        d.Key(SDL_SCANCODE_ESCAPE, true, true); // the keyboard's auto-repeat
        d.Step();
        EXPECT_TRUE(d.Scene().paused) << "repeat " << i;
    }
    d.Key(SDL_SCANCODE_ESCAPE, false);
    d.Key(SDL_SCANCODE_ESCAPE, true);
    EXPECT_FALSE(d.Scene().paused);
    d.Key(SDL_SCANCODE_ESCAPE, true, true);
    EXPECT_FALSE(d.Scene().paused);
}

namespace {

struct HealthSample {
    float burning; // 2.5 s into standing in his own puddle
    float burnt;   // after the shot ended, before healing starts
    float healing; // well into the regeneration after it
};

// He takes a 25-point hit, shoots at his own feet and stands in the fire until the shot ends,
// then heals. The same script at any frame rate.
HealthSample BurnAndHeal(float fps)
{
    SceneDriver d;
    d.StopSpawning();
    PlayerActor& p = d.Player();
    d.LookAtYaw(0.0f);
    d.Cam().pitch = 80.0f; // at his feet
    const float dt = 1.0f / fps;
    double t = 0.0;
    const auto runTo = [&](double until) {
        while (t + 0.5 * dt < until) {
            d.Step(dt);
            t += dt;
        }
    };
    HealthSample sample{};
    runTo(0.5);
    p.TakeDamage(false, 25.0f);
    d.Click();
    runTo(3.0);
    sample.burning = p.health;
    runTo(8.0);
    sample.burnt = p.health;
    runTo(10.0);
    sample.healing = p.health;
    return sample;
}

} // namespace

TEST(GameTimeRates, BurningAndHealingAreTheSameAtEveryFrameRate)
{
    const HealthSample reference = BurnAndHeal(60.0f);
    // The script must really burn and really heal, or the comparison proves nothing.
    ASSERT_LT(reference.burning, 65.0f);
    ASSERT_LT(reference.burnt, reference.burning - 20.0f);
    ASSERT_GT(reference.healing, reference.burnt + 30.0f);
    ASSERT_LT(reference.healing, 95.0f);
    for (const float fps : {15.0f, 30.0f, 60.0f, 130.0f, 240.0f}) {
        const HealthSample s = BurnAndHeal(fps);
        std::printf("    %3.0f fps: health %.2f while burning, %.2f burnt, %.2f while healing\n", fps, s.burning,
                    s.burnt, s.healing);
        EXPECT_NEAR(s.burning, reference.burning, 0.02f * reference.burning) << fps << " fps";
        EXPECT_NEAR(s.burnt, reference.burnt, 0.02f * reference.burnt) << fps << " fps";
        EXPECT_NEAR(s.healing, reference.healing, 0.02f * reference.healing) << fps << " fps";
    }
}

TEST(GameTimeRates, ZombieChaseEndsInTheSamePlaceAtEveryFrameRate)
{
    std::vector<glm::vec3> ends;
    for (const float fps : {10.0f, 60.0f, 240.0f}) {
        SceneDriver d;
        d.StopSpawning();
        roundDifficulty = 4; // the fastest chase
        ZombieActor& z = d.SpawnAt(0, glm::vec3(30.0f, 0.0f, 30.0f));
        d.RunFor(0.3f, 1.0f / fps);
        ends.push_back(z.Transform().position);
    }
    for (const glm::vec3& end : ends)
        EXPECT_LT(glm::distance(end, ends[1]), 0.25f) << end.x << ", " << end.z;
}

TEST(BubbleSweep, HitsAZombieAtAnyRangeAtTenFramesASecond)
{
    for (const float range : {3.0f, 5.0f, 7.5f, 10.0f, 13.3f, 16.0f, 20.0f}) {
        SCOPED_TRACE(range);
        SceneDriver d;
        d.StopSpawning();
        AimEast(d);
        d.Step(0.1f);
        const glm::vec3 gun = d.Player().GunPosition();
        ZombieActor& z = d.SpawnAt(0, glm::vec3(gun.x + range, 0.0f, gun.z));
        d.Click();
        bool burst = false;
        for (int frame = 0; frame < 20 && !burst; ++frame) {
            // The bubble meets the zombie where it stood when the frame began: the player moves first.
            const float zx = z.Transform().position.x;
            d.Step(0.1f);
            burst = d.Player().puddleActive;
            if (burst) {
                // On the zombie's near side: its capsule (radius 0.5) plus the bubble's (0.3).
                const float bx = d.Player().puddle->GetComponent<TransformComponent>()->position.x;
                EXPECT_LT(bx, zx);
                EXPECT_GT(bx, zx - 0.5f - 0.3f - 0.05f);
            }
        }
        EXPECT_TRUE(burst) << "the bubble flew through the zombie";
    }
}

TEST(BubbleSweep, BurstsAtTheWallNeverBeyondAndTheSameAtTenAndAt130Fps)
{
    std::vector<glm::vec3> bursts;
    for (const float dt : {0.1f, 1.0f / 130.0f, 0.1f, 1.0f / 130.0f}) {
        SceneDriver d;
        d.StopSpawning();
        AimEast(d);
        // Close enough to meet the 2 m wall below its top when aiming a little down; the second
        // pair starts a little closer, so the wall is met at another point of a frame's step.
        d.Player().Transform().position.x = bursts.size() >= 2 ? 25.1f : 24.0f;
        d.Cam().pitch = 6.5f;
        d.RunFor(1.0f, dt);
        d.Click();
        glm::vec3 burst;
        ASSERT_TRUE(FlyUntilBurst(d, dt, 2.0f, burst)) << "the bubble left the arena";
        // The bubble (radius 0.3) touches the east wall's inner face and goes no further.
        EXPECT_LE(burst.x, ArenaInnerMax - 0.3f + 0.01f);
        EXPECT_GT(burst.x, ArenaInnerMax - 0.3f - 0.05f);
        bursts.push_back(burst);
    }
    EXPECT_LT(glm::distance(bursts[0], bursts[1]), 0.1f);
    EXPECT_LT(glm::distance(bursts[2], bursts[3]), 0.1f);
}

TEST(WallPushOut, WalkingDiagonallyIntoACornerForTenSecondsAtTenFps)
{
    for (const float yaw : {-45.0f, 45.0f, 135.0f, -135.0f}) {
        SCOPED_TRACE(yaw);
        SceneDriver d;
        d.StopSpawning();
        d.Player().Transform().position = glm::vec3(17.0f, 0.0f, 17.0f);
        d.LookAtYaw(yaw);
        d.Key(SDL_SCANCODE_W, true);
        for (int frame = 0; frame < 50 + 100; ++frame) { // across the arena, then 10 s in the corner
            d.Step(0.1f);
            ASSERT_TRUE(InsideArena(d.Player().Transform().position))
                << "frame " << frame << " at " << d.Player().Transform().position.x << ", "
                << d.Player().Transform().position.z;
        }
        // He ends in the corner, held off both walls by his radius.
        const glm::vec3 at = d.Player().Transform().position;
        EXPECT_NEAR(std::min(at.x - ArenaInnerMin, ArenaInnerMax - at.x), PlayerRadius, 0.05f);
        EXPECT_NEAR(std::min(at.z - ArenaInnerMin, ArenaInnerMax - at.z), PlayerRadius, 0.05f);
    }
}

TEST(WallPushOut, ZombiesCrowdingHimAgainstAWallPushNeitherHimNorEachOtherIntoIt)
{
    SceneDriver d;
    d.StopSpawning();
    roundDifficulty = 4;
    PlayerActor& p = d.Player();
    p.Transform().position = glm::vec3(17.0f, 0.0f, 2.0f);
    d.LookAtYaw(0.0f); // into the south wall
    d.Key(SDL_SCANCODE_W, true);
    for (int i = 0; i < 12; ++i)
        d.SpawnAt(i, glm::vec3(12.0f + static_cast<float>(i), 0.0f, 4.0f + static_cast<float>(i % 3)));
    for (int frame = 0; frame < 100; ++frame) {
        p.health = 100.0f; // he must stay on his feet to keep pushing
        d.Step(0.1f);
        ASSERT_TRUE(InsideArena(p.Transform().position))
            << "frame " << frame << " at " << p.Transform().position.x << ", " << p.Transform().position.z;
        for (int i = 0; i < 12; ++i) {
            const glm::vec3 at = d.Zombie(i).Transform().position;
            ASSERT_TRUE(InsideArena(at, ZombieRadius))
                << "zombie " << i << ", frame " << frame << " at " << at.x << ", " << at.z;
        }
    }
}

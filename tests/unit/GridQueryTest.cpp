// Grid queries: the broad phase against a brute-force sphere test on random scenes, shared
// buckets across levels, self and ignored tags, callbacks and push-out, and the ray query.
#include "support/GridProbes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace testing_collision;

namespace {

using Scene = std::vector<std::unique_ptr<DynamicActor>>;

// Radii spread log-uniformly so objects land on levels 0 to 6; positions on both sides of zero.
Scene RandomScene(uint32_t seed, int count, PairLog& log)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-60.0f, 60.0f);
    std::uniform_real_distribution<float> logRadius(std::log(0.2f), std::log(30.0f));
    Scene scene;
    for (int i = 0; i < count; ++i) {
        const glm::vec3 p(coord(rng), coord(rng) * 0.25f, coord(rng));
        scene.push_back(MakeProbe(p, std::exp(logRadius(rng)), SceneryTag, log.Recorder()));
        scene.back()->gridObject->notifyWhenHit = false; // one report per candidate: the querier's
        grid->AddObject(*scene.back()->gridObject);
    }
    return scene;
}

} // namespace

TEST(GridQuery, MatchesBruteForceOnRandomScenes)
{
    for (uint32_t seed : {1u, 7u, 2024u}) {
        SCOPED_TRACE(seed);
        GridScope g;
        PairLog log;
        Scene scene = RandomScene(seed, 300, log);
        uint32_t levels = 0;
        for (const auto& a : scene)
            levels |= 1u << a->gridObject->level;
        EXPECT_GE(__builtin_popcount(levels), 5); // the scene really spans several levels

        for (const auto& a : scene)
            HGrid::CheckObjAgainstGrid(a->gridObject);

        std::map<std::pair<const Actor*, const Actor*>, int> expected;
        for (const auto& a : scene)
            for (const auto& b : scene) {
                if (a == b)
                    continue;
                const glm::vec3 d = a->gridObject->transform->position - b->gridObject->transform->position;
                const float reach = VolumeOf<AlwaysTouchingSphere>(*b)->GetBoundingRadius() + a->gridObject->radius;
                if (glm::dot(d, d) <= reach * reach)
                    expected[{a.get(), b.get()}] = 1; // found exactly once by a's query
            }
        EXPECT_GT(expected.size(), 100u);
        EXPECT_EQ(log.pairs, expected);
    }
}

TEST(GridQuery, SharedBucketAcrossLevelsIsWalkedOnce)
{
    // A level-0 cell and a level-1 cell near the origin that share a bucket.
    const glm::ivec3 cell0(0, 5, 0), cell1(-1, -5, 0);
    ASSERT_EQ(HGrid::Hash(cell0.x, cell0.y, cell0.z, 0), HGrid::Hash(cell1.x, cell1.y, cell1.z, 1));

    GridScope g;
    PairLog log;
    // Cell centres (cells away from zero are [k, k+1) times the size; cell 0 spans both sides).
    auto centre = [](int k, float size) { return (static_cast<float>(k) + (k < 0 ? -0.5f : 0.5f)) * size; };
    auto small = MakeProbe({centre(cell0.x, 5), centre(cell0.y, 5), centre(cell0.z, 5)}, 0.5f, SceneryTag, nullptr);
    auto medium = MakeProbe({centre(cell1.x, 10), centre(cell1.y, 10), centre(cell1.z, 10)}, 1.0f, SceneryTag, nullptr);
    auto querier = MakeProbe({0, 0, 0}, 60.0f, PlayerTag, log.Recorder());
    g->AddObject(*small->gridObject);
    g->AddObject(*medium->gridObject);
    g->AddObject(*querier->gridObject);
    ASSERT_EQ(small->gridObject->level, 0);
    ASSERT_EQ(medium->gridObject->level, 1);
    ASSERT_EQ(small->gridObject->bucket, medium->gridObject->bucket);

    HGrid::CheckObjAgainstGrid(querier->gridObject);
    EXPECT_EQ(log.pairs.size(), 2u);
    EXPECT_EQ((log.pairs[{querier.get(), small.get()}]), 1);
    EXPECT_EQ((log.pairs[{querier.get(), medium.get()}]), 1);
}

TEST(GridQuery, NeverSelfAndIgnoredTagsOnlyOnTheQueriersSide)
{
    GridScope g;
    PairLog log;
    auto player = MakeProbe({0, 0, 0}, 1.0f, PlayerTag, log.Recorder());
    auto zombie = MakeProbe({0.5f, 0, 0}, 1.0f, ZombieBodyTag, log.Recorder());
    zombie->gridObject->ignoreTags = {PlayerTag};
    g->AddObject(*player->gridObject);
    g->AddObject(*zombie->gridObject);

    HGrid::CheckObjAgainstGrid(zombie->gridObject);
    EXPECT_TRUE(log.pairs.empty()); // the zombie's own query skips the player and itself

    HGrid::CheckObjAgainstGrid(player->gridObject);
    // The player's query finds the zombie; both callbacks hear (player, zombie).
    EXPECT_EQ(log.pairs.size(), 1u);
    EXPECT_EQ((log.pairs[{player.get(), zombie.get()}]), 2);
}

TEST(GridQuery, CallbacksRunQuerierFirstAndRespectNotifyWhenHit)
{
    GridScope g;
    std::vector<std::string> calls;
    auto named = [&calls](std::string name) {
        return [&calls, name](Object& querier, Object& found, COLLISION::Collision& record) {
            calls.push_back(name + ":" + std::to_string(querier.tag) + ">" + std::to_string(found.tag) +
                            (record.hit ? "" : "?"));
        };
    };
    // Solid spheres, so the record carries a real contact.
    auto a = MakeColliderActor<COLLISION::Sphere>({0, 0, 0}, false);
    auto b = MakeColliderActor<COLLISION::Sphere>({1.5f, 0, 0}, false);
    a->gridObject = new Object(PlayerTag, a.get(), named("a"));
    b->gridObject = new Object(SceneryTag, b.get(), named("b"));
    g->AddObject(*a->gridObject);
    g->AddObject(*b->gridObject);

    HGrid::CheckObjAgainstGrid(a->gridObject);
    EXPECT_EQ(calls, (std::vector<std::string>{"a:0>5", "b:0>5"}));
    // Only the querier's owner was pushed out; its volume follows on the next update.
    ExpectVec3Near(a->GetComponent<TransformComponent>()->position, {-0.5f, 0, 0});
    ExpectVec3Near(b->GetComponent<TransformComponent>()->position, {1.5f, 0, 0});

    calls.clear();
    b->gridObject->notifyWhenHit = false;
    a->GetComponent<TransformComponent>()->position = {0, 0, 0};
    a->UpdateCollider();
    HGrid::CheckObjAgainstGrid(a->gridObject);
    EXPECT_EQ(calls, (std::vector<std::string>{"a:0>5"}));

    // An object without a callback still pushes and still notifies the other side.
    calls.clear();
    b->gridObject->notifyWhenHit = true;
    a->gridObject->onCollision = nullptr;
    HGrid::CheckObjAgainstGrid(a->gridObject);
    EXPECT_EQ(calls, (std::vector<std::string>{"b:0>5"}));

    // Apart: nothing runs.
    calls.clear();
    a->GetComponent<TransformComponent>()->position = {10, 0, 0};
    a->Update(0.0f);
    HGrid::CheckObjAgainstGrid(a->gridObject);
    EXPECT_TRUE(calls.empty());
}

TEST(GridQuery, ObjectWithoutOwnerEndsTheQuery)
{
    GridScope g;
    auto a = MakeProbe({0, 0, 0}, 1.0f, PlayerTag, nullptr);
    auto b = MakeProbe({0.5f, 0, 0}, 1.0f, SceneryTag, nullptr);
    g->AddObject(*a->gridObject);
    g->AddObject(*b->gridObject);
    b->gridObject->owner = nullptr;
    try {
        HGrid::CheckObjAgainstGrid(a->gridObject);
        ADD_FAILURE() << "expected the null-actor failure";
    } catch (const char* text) {
        EXPECT_STREQ(text, NullOwnerMessage);
    }
    EXPECT_THROW(Object(PlayerTag, nullptr, nullptr), const char*);
    // An owner without a collision component cannot make a grid object.
    DynamicActor bare(nullptr, nullptr, nullptr, std::make_shared<TransformComponent>(), nullptr, nullptr);
    EXPECT_THROW(Object(PlayerTag, &bare, nullptr), std::runtime_error);
}

namespace {

std::unique_ptr<DynamicActor> MakeRay(const glm::vec3& origin, const glm::vec3& direction, CollisionCallback cb)
{
    auto actor = MakeColliderActor<COLLISION::Ray>(origin);
    VolumeOf<COLLISION::Ray>(*actor)->direction = direction;
    actor->gridObject = new Object(RayTag, actor.get(), std::move(cb));
    return actor;
}

} // namespace

TEST(GridRay, HitsEveryFiledSphereAlongTheRayExceptIgnoredTags)
{
    GridScope g;
    PairLog log;
    auto ahead = MakeProbe({10, 0, 0}, 1.0f, SceneryTag, log.Recorder());
    auto farAhead = MakeProbe({900, 0.5f, 0}, 1.0f, SceneryTag, log.Recorder()); // distance does not matter
    auto behind = MakeProbe({-10, 0, 0}, 1.0f, SceneryTag, log.Recorder());
    auto aside = MakeProbe({10, 3, 0}, 1.0f, SceneryTag, log.Recorder());
    auto ignored = MakeProbe({20, 0, 0}, 1.0f, ZombieBodyTag, log.Recorder());
    auto big = MakeProbe({50, 0, 20}, 40.0f, SceneryTag, log.Recorder()); // a high level
    auto ray = MakeRay({0, 0, 0}, {1, 0, 0}, log.Recorder());
    ray->gridObject->ignoreTags = {ZombieBodyTag};
    for (auto* a : {ahead.get(), farAhead.get(), behind.get(), aside.get(), ignored.get(), big.get(), ray.get()})
        g->AddObject(*a->gridObject);
    EXPECT_FLOAT_EQ(ray->gridObject->radius, 0.0f);

    HGrid::CheckObjAgainstGrid(ray->gridObject);
    // Each hit runs the ray's callback and the found object's, both with (ray, found).
    const std::map<std::pair<const Actor*, const Actor*>, int> expected{
        {{ray.get(), ahead.get()}, 2}, {{ray.get(), farAhead.get()}, 2}, {{ray.get(), big.get()}, 2}};
    EXPECT_EQ(log.pairs, expected);
}

TEST(GridRay, ObjectWithoutOwnerOnTheRayThrowsTheNullActorText)
{
    GridScope g;
    auto target = MakeProbe({10, 0, 0}, 1.0f, SceneryTag, nullptr);
    auto ray = MakeRay({0, 0, 0}, {1, 0, 0}, nullptr);
    g->AddObject(*target->gridObject);
    g->AddObject(*ray->gridObject);
    target->gridObject->owner = nullptr;
    try {
        HGrid::CheckObjAgainstGrid(ray->gridObject);
        ADD_FAILURE() << "expected the null-actor failure";
    } catch (const char* text) {
        EXPECT_STREQ(text, "You are trying to access a null actor, but the actor you pass in should delete the "
                           "instance of this class in its destructor before it dies...");
    }
}

TEST(GridQuery, OversizedObjectIsFoundAcrossTopLevelCells)
{
    GridScope g;
    PairLog log;
    // Centre in top-level cell 0; the probe sits past the cell boundary at 2560 but inside its reach.
    auto huge = MakeProbe({2500, 0, 0}, 700.0f, SceneryTag, log.Recorder());
    auto probe = MakeProbe({3195, 0, 0}, 1.0f, SceneryTag, log.Recorder());
    g->AddObject(*huge->gridObject);
    g->AddObject(*probe->gridObject);
    ASSERT_EQ(huge->gridObject->level, HGrid::MaxLevels - 1);
    HGrid::CheckObjAgainstGrid(probe->gridObject);
    HGrid::CheckObjAgainstGrid(huge->gridObject);
    EXPECT_EQ((log.pairs[{probe.get(), huge.get()}]), 2);
    EXPECT_EQ((log.pairs[{huge.get(), probe.get()}]), 2);
}

// Grid queries: the broad phase against a brute-force sphere test on random scenes, shared
// buckets across levels, self and ignored tags, callbacks and push-out, and the ray query.
#include "support/GridProbes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

using namespace testing_collision;

namespace {

using Scene = std::vector<std::unique_ptr<DynamicActor>>;
using Pairs = std::map<std::pair<const Actor*, const Actor*>, int>;

void File(Scene& scene, const glm::vec3& p, float gridRadius, PairLog& log)
{
    scene.push_back(MakeProbe(p, gridRadius, SceneryTag, log.Recorder()));
    scene.back()->gridObject->notifyWhenHit = false; // one report per candidate: the querier's
    grid->AddObject(*scene.back()->gridObject);
}

// Radii spread log-uniformly so objects land on levels 0 to 7; positions on both sides of zero.
Scene MixedScene(uint32_t seed, int count, PairLog& log)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-60.0f, 60.0f);
    std::uniform_real_distribution<float> logRadius(std::log(0.2f), std::log(30.0f));
    Scene scene;
    for (int i = 0; i < count; ++i)
        File(scene, {coord(rng), coord(rng) * 0.25f, coord(rng)}, std::exp(logRadius(rng)), log);
    return scene;
}

// Characters, props and walls of the game's sizes in a square of `side` metres centred on the
// origin, 0 to 3 m high: dense for a small side, sparse (the game's density) for a large one.
Scene FlatScene(uint32_t seed, int count, float side, PairLog& log)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    Scene scene;
    for (int i = 0; i < count; ++i) {
        const glm::vec3 p((u(rng) - 0.5f) * side, 3.0f * u(rng), (u(rng) - 0.5f) * side);
        const float kind = u(rng);
        File(scene, p, kind < 0.05f ? 2.6f : kind < 0.5f ? 1.25f : 0.2f + 0.6f * u(rng), log);
    }
    return scene;
}

// Centres on the half-metre lattice (a boundary of every level's cells) and radii of 0.25, 0.5
// and 1: many pairs touch exactly, right on the cells' edges, on both sides of zero.
Scene LatticeScene(uint32_t seed, int count, PairLog& log)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> step(-12, 12);
    std::uniform_int_distribution<int> size(0, 2);
    Scene scene;
    for (int i = 0; i < count; ++i) {
        const glm::vec3 p(0.5f * static_cast<float>(step(rng)), 0.5f * static_cast<float>(step(rng)),
                          0.5f * static_cast<float>(step(rng)));
        File(scene, p, 0.25f * static_cast<float>(1 << size(rng)), log);
    }
    return scene;
}

// Every ordered pair whose spheres pass the grid's test, as the all-pairs check finds them.
Pairs AllPairs(const Scene& scene)
{
    Pairs expected;
    for (const auto& a : scene)
        for (const auto& b : scene) {
            if (a == b)
                continue;
            const glm::vec3 d = a->gridObject->transform->position - b->gridObject->transform->position;
            const float reach = VolumeOf<COLLISION::Sphere>(*b)->GetBoundingRadius() + a->gridObject->radius;
            if (glm::dot(d, d) <= reach * reach)
                expected[{a.get(), b.get()}] = 1; // found exactly once by a's query
        }
    return expected;
}

// One query per object must report exactly the all-pairs contacts, each once.
void ExpectQueriesMatchAllPairs(const Scene& scene, PairLog& log)
{
    log.pairs.clear();
    for (const auto& a : scene)
        HGrid::CheckObjAgainstGrid(a->gridObject.get());
    const Pairs expected = AllPairs(scene);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(log.pairs.size(), expected.size());
    EXPECT_TRUE(log.pairs == expected);
}

} // namespace

TEST(GridQuery, MatchesAllPairsOnMixedScenes)
{
    for (uint32_t seed : {1u, 7u, 2024u}) {
        SCOPED_TRACE(seed);
        GridScope g;
        PairLog log;
        Scene scene = MixedScene(seed, 300, log);
        uint32_t levels = 0;
        for (const auto& a : scene)
            levels |= 1u << a->gridObject->level;
        EXPECT_GE(__builtin_popcount(levels), 5); // the scene really spans several levels
        ExpectQueriesMatchAllPairs(scene, log);
        EXPECT_GT(log.pairs.size(), 100u);
    }
}

TEST(GridQuery, MatchesAllPairsAtSeveralSizesAndDensities)
{
    struct Case {
        int count;
        float side;
    };
    // Dense arenas from a handful to thousands of objects, and the game's sparse density.
    for (const Case c : {Case{30, 36.0f}, Case{300, 36.0f}, Case{3000, 36.0f}, Case{2000, 150.0f}}) {
        SCOPED_TRACE(testing::Message() << c.count << " objects, " << c.side << " m");
        GridScope g;
        PairLog log;
        Scene scene = FlatScene(static_cast<uint32_t>(c.count), c.count, c.side, log);
        ExpectQueriesMatchAllPairs(scene, log);
    }
}

TEST(GridQuery, MatchesAllPairsWithCentresOnCellBoundaries)
{
    GridScope g;
    PairLog log;
    Scene scene = LatticeScene(99u, 1500, log);
    ExpectQueriesMatchAllPairs(scene, log);
}

TEST(GridQuery, MatchesAllPairsAfterObjectsMoveBetweenCells)
{
    for (uint32_t seed : {3u, 11u}) {
        SCOPED_TRACE(seed);
        GridScope g;
        PairLog log;
        Scene scene = FlatScene(seed, 1500, 60.0f, log);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> step(-4.0f, 4.0f);
        for (int round = 0; round < 3; ++round) {
            // Half the objects step up to 4 m in any direction, across cells and across zero.
            for (size_t i = round % 2; i < scene.size(); i += 2) {
                auto transform = scene[i]->GetComponent<TransformComponent>();
                transform->position += glm::vec3(step(rng), step(rng) * 0.25f, step(rng));
                scene[i]->Update(0.0f); // the collider follows, then the grid cell
            }
            ExpectQueriesMatchAllPairs(scene, log);
        }
    }
}

TEST(GridQuery, MatchesAllPairsWhileAFewObjectsMoveLeaveAndComeBackBetweenQueries)
{
    // A few changes a round, as in a game frame: moves across cells, an object leaving (one just
    // moved or one left alone, in turn) and, now and then, one that left filed again.
    GridScope g;
    PairLog log;
    Scene scene = FlatScene(5u, 900, 50.0f, log);
    ExpectQueriesMatchAllPairs(scene, log);
    std::mt19937 rng(5u);
    std::uniform_real_distribution<float> step(-4.0f, 4.0f);
    Scene removed;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        for (int k = 0; k < 7; ++k) {
            auto& actor = scene[(static_cast<size_t>(round) * 37u + static_cast<size_t>(k) * 101u) % scene.size()];
            actor->GetComponent<TransformComponent>()->position += glm::vec3(step(rng), 0.0f, step(rng));
            actor->Update(0.0f);
        }
        if (round % 3 == 2 && !removed.empty()) {
            grid->AddObject(*removed.back()->gridObject);
            scene.push_back(std::move(removed.back()));
            removed.pop_back();
        } else {
            const size_t leaving = (static_cast<size_t>(round) * 37u + (round % 2 ? 500u : 0u)) % scene.size();
            grid->RemoveObject(*scene[leaving]->gridObject);
            removed.push_back(std::move(scene[leaving]));
            scene.erase(scene.begin() + static_cast<std::ptrdiff_t>(leaving));
        }
        ExpectQueriesMatchAllPairs(scene, log);
    }
}

TEST(GridQuery, ACallbackThatMovesTheFoundObjectAwayDoesNotReportItTwice)
{
    GridScope g;
    const auto filler = FileFarFiller(*g, 2000); // so the query walks cells
    auto querier = MakeProbe({0.5f, 0.5f, 0.5f}, 0.5f, PlayerTag, nullptr);
    auto found = MakeProbe({0.9f, 0.5f, 0.5f}, 0.5f, SceneryTag, nullptr);
    g->AddObject(*querier->gridObject);
    g->AddObject(*found->gridObject);
    // Each contact pushes the found object a cell along +z, into the next bucket, ahead of the walk.
    int contacts = 0;
    querier->gridObject->onCollision = [&](Object&, Object& other, COLLISION::Collision&) {
        ++contacts;
        other.transform->position.z += 1.0f;
        grid->MoveObject(other);
    };
    HGrid::CheckObjAgainstGrid(querier->gridObject.get());
    EXPECT_EQ(contacts, 1); // met again at its new place, it no longer touches
    EXPECT_EQ(found->gridObject->bucket, HGrid::Hash(0, 0, 1, 1));
    HGrid::CheckObjAgainstGrid(querier->gridObject.get());
    EXPECT_EQ(contacts, 1); // 1.0 along z and 0.4 along x apart, reaching 0.67
}

TEST(GridQuery, MovingWithinItsCellIsSeenByTheNextQuery)
{
    // Two passes: the mover heads its bucket, then sits behind another object in it.
    for (bool behind : {false, true}) {
        SCOPED_TRACE(behind);
        GridScope g;
        const auto filler = FileFarFiller(*g, 2000); // so the query walks cells
        PairLog log;
        auto querier = MakeProbe({0.5f, 0.5f, 0.5f}, 0.3f, PlayerTag, log.Recorder());
        auto mover = MakeProbe({3.9f, 0.5f, 0.5f}, 1.5f, SceneryTag, nullptr); // level 3, cell (0, 0, 0)
        auto other = MakeProbe({3.5f, 3.5f, 3.5f}, 1.5f, SceneryTag, nullptr);
        g->AddObject(*querier->gridObject);
        if (behind)
            g->AddObject(*mover->gridObject);
        g->AddObject(*other->gridObject);
        if (!behind)
            g->AddObject(*mover->gridObject);
        ASSERT_EQ(mover->gridObject->level, 3);
        ASSERT_EQ(other->gridObject->bucket, mover->gridObject->bucket);
        ASSERT_EQ(g->buckets[mover->gridObject->bucket].head,
                  behind ? other->gridObject.get() : mover->gridObject.get());

        HGrid::CheckObjAgainstGrid(querier->gridObject.get());
        EXPECT_TRUE(log.pairs.empty()); // 3.4 apart, reaching 1.8

        const int bucket = mover->gridObject->bucket;
        mover->GetComponent<TransformComponent>()->position = {1.5f, 0.5f, 0.5f}; // same cell, 1.0 apart
        mover->Update(0.0f);
        ASSERT_EQ(mover->gridObject->bucket, bucket);
        HGrid::CheckObjAgainstGrid(querier->gridObject.get());
        EXPECT_EQ((log.pairs[{querier.get(), mover.get()}]), 1);
        EXPECT_EQ(log.pairs.size(), 1u);
    }
}

TEST(GridQuery, AVolumeThatOutgrowsItsLevelIsFiledHigherWhenItMoves)
{
    GridScope g;
    const auto filler = FileFarFiller(*g, 2000);
    PairLog log;
    auto querier = MakeProbe({0.5f, 0.5f, 0.5f}, 0.3f, PlayerTag, log.Recorder());
    auto grower = MakeProbe({3.7f, 0.5f, 0.5f}, 0.4f, SceneryTag, nullptr);
    g->AddObject(*querier->gridObject);
    g->AddObject(*grower->gridObject);
    ASSERT_EQ(grower->gridObject->level, 1);
    HGrid::CheckObjAgainstGrid(querier->gridObject.get());
    EXPECT_TRUE(log.pairs.empty());

    // Now reaching 3, it touches the querier 3.2 away: far outside what level 1 promises.
    VolumeOf<COLLISION::Sphere>(*grower)->radius = 3.0f / 1.5f;
    grower->Update(0.0f);
    EXPECT_EQ(grower->gridObject->level, 4); // diameter 6: cells of 8
    EXPECT_EQ(g->objectsAtLevel[1], 2001); // the filler and the querier
    EXPECT_EQ(g->objectsAtLevel[4], 1);
    HGrid::CheckObjAgainstGrid(querier->gridObject.get());
    EXPECT_EQ((log.pairs[{querier.get(), grower.get()}]), 1);
}

TEST(GridQuery, SharedBucketAcrossLevelsIsWalkedOnce)
{
    // A level-1 cell and a level-2 cell that share a bucket, as close together as a small search
    // finds: the hash adds z after mixing x, y and the level, so z picks the pair up.
    struct Pick {
        glm::ivec3 cell1, cell2;
        float distance = 1.0e9f;
    } pick;
    auto centre = [](const glm::ivec3& c, float size) { return (glm::vec3(c) + 0.5f) * size; };
    for (int x1 = -8; x1 < 8; ++x1)
        for (int y1 = -8; y1 < 8; ++y1)
            for (int x2 = -4; x2 < 4; ++x2)
                for (int y2 = -4; y2 < 4; ++y2) {
                    const int d = HGrid::Hash(x2, y2, 0, 2) - HGrid::Hash(x1, y1, 0, 1);
                    const int z1 = d > HGrid::NumBuckets / 2 ? d - HGrid::NumBuckets
                                                            : d < -HGrid::NumBuckets / 2 ? d + HGrid::NumBuckets : d;
                    const glm::ivec3 c1(x1, y1, z1), c2(x2, y2, 0);
                    const float distance = glm::length(centre(c1, 1.0f) - centre(c2, 2.0f));
                    if (distance < pick.distance)
                        pick = {c1, c2, distance};
                }
    ASSERT_EQ(HGrid::Hash(pick.cell1.x, pick.cell1.y, pick.cell1.z, 1),
              HGrid::Hash(pick.cell2.x, pick.cell2.y, pick.cell2.z, 2));
    ASSERT_LT(pick.distance, 16.0f);

    GridScope g;
    const auto filler = FileFarFiller(*g, 12000); // more objects than the query covers cells
    PairLog log;
    const glm::vec3 small = centre(pick.cell1, 1.0f), medium = centre(pick.cell2, 2.0f);
    auto a = MakeProbe(small, 0.4f, SceneryTag, nullptr);  // level 1
    auto b = MakeProbe(medium, 0.9f, SceneryTag, nullptr); // level 2
    auto querier = MakeProbe(0.5f * (small + medium), 0.5f * pick.distance + 0.1f, PlayerTag, log.Recorder());
    g->AddObject(*a->gridObject);
    g->AddObject(*b->gridObject);
    g->AddObject(*querier->gridObject);
    ASSERT_EQ(a->gridObject->level, 1);
    ASSERT_EQ(b->gridObject->level, 2);
    ASSERT_EQ(a->gridObject->bucket, b->gridObject->bucket);

    HGrid::CheckObjAgainstGrid(querier->gridObject.get());
    EXPECT_EQ(g->buckets[a->gridObject->bucket].stamp, g->tick); // reached through the cells
    EXPECT_EQ(log.pairs.size(), 2u);
    EXPECT_EQ((log.pairs[{querier.get(), a.get()}]), 1);
    EXPECT_EQ((log.pairs[{querier.get(), b.get()}]), 1);
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

    HGrid::CheckObjAgainstGrid(zombie->gridObject.get());
    EXPECT_TRUE(log.pairs.empty()); // the zombie's own query skips the player and itself

    HGrid::CheckObjAgainstGrid(player->gridObject.get());
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
    a->gridObject = std::make_unique<Object>(PlayerTag, a.get(), named("a"));
    b->gridObject = std::make_unique<Object>(SceneryTag, b.get(), named("b"));
    g->AddObject(*a->gridObject);
    g->AddObject(*b->gridObject);

    HGrid::CheckObjAgainstGrid(a->gridObject.get());
    EXPECT_EQ(calls, (std::vector<std::string>{"a:0>5", "b:0>5"}));
    // Only the querier's owner was pushed out; its volume follows on the next update.
    ExpectVec3Near(a->GetComponent<TransformComponent>()->position, {-0.5f, 0, 0});
    ExpectVec3Near(b->GetComponent<TransformComponent>()->position, {1.5f, 0, 0});

    calls.clear();
    b->gridObject->notifyWhenHit = false;
    a->GetComponent<TransformComponent>()->position = {0, 0, 0};
    a->UpdateCollider();
    HGrid::CheckObjAgainstGrid(a->gridObject.get());
    EXPECT_EQ(calls, (std::vector<std::string>{"a:0>5"}));

    // An object without a callback still pushes and still notifies the other side.
    calls.clear();
    b->gridObject->notifyWhenHit = true;
    a->gridObject->onCollision = nullptr;
    HGrid::CheckObjAgainstGrid(a->gridObject.get());
    EXPECT_EQ(calls, (std::vector<std::string>{"b:0>5"}));

    // Apart: nothing runs.
    calls.clear();
    a->GetComponent<TransformComponent>()->position = {10, 0, 0};
    a->Update(0.0f);
    HGrid::CheckObjAgainstGrid(a->gridObject.get());
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
        HGrid::CheckObjAgainstGrid(a->gridObject.get());
        ADD_FAILURE() << "expected the null-actor failure";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), NullOwnerMessage);
    }
    EXPECT_THROW(Object(PlayerTag, nullptr, nullptr), std::logic_error);
    // An owner without a collision component cannot make a grid object.
    DynamicActor bare(nullptr, nullptr, nullptr, std::make_shared<TransformComponent>(), nullptr, nullptr);
    EXPECT_THROW(Object(PlayerTag, &bare, nullptr), std::runtime_error);
}

namespace {

std::unique_ptr<DynamicActor> MakeRay(const glm::vec3& origin, const glm::vec3& direction, CollisionCallback cb)
{
    auto actor = MakeColliderActor<COLLISION::Ray>(origin);
    VolumeOf<COLLISION::Ray>(*actor)->direction = direction;
    actor->gridObject = std::make_unique<Object>(RayTag, actor.get(), std::move(cb));
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

    HGrid::CheckObjAgainstGrid(ray->gridObject.get());
    // Each hit runs the ray's callback and the found object's, both with (ray, found).
    const std::map<std::pair<const Actor*, const Actor*>, int> expected{
        {{ray.get(), ahead.get()}, 2}, {{ray.get(), farAhead.get()}, 2}, {{ray.get(), big.get()}, 2}};
    EXPECT_EQ(log.pairs, expected);
}

TEST(GridRay, MatchesABruteForceCheckOfTheFiledSpheres)
{
    for (uint32_t seed : {4u, 9u}) {
        SCOPED_TRACE(seed);
        GridScope g;
        PairLog log;
        Scene scene = MixedScene(seed, 300, log);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        // A third of the volumes moved since they were filed, as within a frame before the grid
        // hears of it: the ray walks where they were filed, then tests where they are.
        for (size_t i = 0; i < scene.size(); i += 3)
            VolumeOf<COLLISION::Sphere>(*scene[i])->SetPosition(scene[i]->gridObject->filedCentre +
                                                                8.0f * glm::vec3(u(rng), u(rng), u(rng)));
        auto ray = MakeRay({0, 0, 0}, {1, 0, 0}, log.Recorder());
        g->AddObject(*ray->gridObject);
        const auto volume = VolumeOf<COLLISION::Ray>(*ray);

        int startsInside = 0;
        for (int r = 0; r < 40; ++r) {
            volume->SetPosition(glm::vec3(60.0f * u(rng), 15.0f * u(rng), 60.0f * u(rng)));
            volume->direction = glm::normalize(glm::vec3(u(rng), 0.3f * u(rng), u(rng)));
            Pairs expected;
            for (const auto& a : scene) {
                const Object& o = *a->gridObject;
                const auto sphere = VolumeOf<COLLISION::Sphere>(*a);
                const glm::vec3 d = volume->origin - o.filedCentre;
                startsInside += glm::dot(d, d) < o.filedRadius * o.filedRadius ? 1 : 0;
                if (COLLISION::RayHitsSphere(volume->origin, volume->direction, o.filedCentre, o.filedRadius) &&
                    COLLISION::RayHitsSphere(volume->origin, volume->direction, sphere->centre, sphere->radius))
                    expected[{ray.get(), a.get()}] = 1; // the scene's objects hear nothing back
            }
            log.pairs.clear();
            HGrid::CheckObjAgainstGrid(ray->gridObject.get());
            EXPECT_TRUE(log.pairs == expected) << "ray " << r << ": " << log.pairs.size() << " reported, "
                                               << expected.size() << " expected";
        }
        EXPECT_GT(startsInside, 10); // rays that start inside objects are checked too
    }
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
        HGrid::CheckObjAgainstGrid(ray->gridObject.get());
        ADD_FAILURE() << "expected the null-actor failure";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "You are trying to access a null actor, but the actor you pass in should delete the "
                               "instance of this class in its destructor before it dies...");
    }
}

TEST(GridQuery, OversizedObjectIsFoundAcrossTopLevelCells)
{
    GridScope g;
    PairLog log;
    // Centre in top-level cell 0; the probe sits past the cell boundary at 16384 but inside its reach.
    auto huge = MakeProbe({16000, 0, 0}, 10000.0f, SceneryTag, log.Recorder());
    auto probe = MakeProbe({25999, 0, 0}, 1.0f, SceneryTag, log.Recorder());
    const auto filler = FileFarFiller(*g, 1000); // so the probe's query walks cells
    g->AddObject(*huge->gridObject);
    g->AddObject(*probe->gridObject);
    ASSERT_EQ(huge->gridObject->level, HGrid::MaxLevels - 1);
    HGrid::CheckObjAgainstGrid(probe->gridObject.get());
    HGrid::CheckObjAgainstGrid(huge->gridObject.get());
    EXPECT_EQ((log.pairs[{probe.get(), huge.get()}]), 2);
    EXPECT_EQ((log.pairs[{huge.get(), probe.get()}]), 2);
}

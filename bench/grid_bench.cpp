// Broad phase cost per frame: one grid query per object against an all-pairs sphere check, on
// arena-sized scenes of 30, 300 and 3000 colliders. Counts heap allocations inside the timed
// loop (the game wants none per frame) and prints brute/grid per size.
#include "app/AllocationCounter.h"
#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "collision/Cube.h"
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "collision/Sphere.h"
#include "math/MathUtils.h"
#include "scene/actors/DynamicActor.h"
#include "scene/components/TransformComponent.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The game's ground is 36 m square centred on (9, 0, 9); colliders stand up to 3 m high.
constexpr float ArenaMin = -9.0f;
constexpr float ArenaMax = 27.0f;
constexpr float MaxHeight = 3.0f;

// A scene of trigger colliders (so nothing moves between frames) filed in its own grid.
class BenchScene {
public:
    std::vector<std::unique_ptr<DynamicActor>> actors;
    uint64_t contacts = 0;

    explicit BenchScene(int count)
    {
        grid = &grid_;
        std::mt19937 rng(12345u);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        auto range = [&](float a, float b) { return a + (b - a) * u(rng); };
        for (int i = 0; i < count; ++i) {
            const glm::vec3 p(range(ArenaMin, ArenaMax), range(0.0f, MaxHeight), range(ArenaMin, ArenaMax));
            const float kind = u(rng);
            if (kind < 0.02f) // a few walls and large props
                actors.push_back(Box(p, {range(2.0f, 8.0f), range(1.0f, 2.0f), 0.5f}));
            else if (kind < 0.5f) // characters: upright capsules of the zombies' size
                actors.push_back(Capsule(p, range(0.3f, 0.6f)));
            else if (kind < 0.85f)
                actors.push_back(Sphere(p, range(0.3f, 1.5f)));
            else
                actors.push_back(Box(p, glm::vec3(range(0.3f, 1.5f))));
            CollisionCallback count = [this](Object&, Object&, COLLISION::Collision&) { ++contacts; };
            actors.back()->gridObject = new Object(SceneryTag, actors.back().get(), std::move(count));
            grid_.AddObject(*actors.back()->gridObject);
        }
    }
    ~BenchScene()
    {
        actors.clear(); // leave the grid before it goes
        grid = nullptr;
    }
    BenchScene(const BenchScene&) = delete;
    BenchScene& operator=(const BenchScene&) = delete;

private:
    HGrid grid_;

    static std::unique_ptr<DynamicActor> Attach(const glm::vec3& p, std::shared_ptr<ICollisionComponent> collision)
    {
        return std::make_unique<DynamicActor>(nullptr, nullptr, nullptr, std::make_shared<TransformComponent>(p),
                                              std::move(collision), nullptr);
    }
    static std::unique_ptr<DynamicActor> Sphere(const glm::vec3& p, float radius)
    {
        auto c = std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), nullptr);
        c->volume->radius = radius;
        return Attach(p, c);
    }
    static std::unique_ptr<DynamicActor> Box(const glm::vec3& p, const glm::vec3& halfExtents)
    {
        auto c = std::make_shared<CollisionComponent<COLLISION::Cube>>(true, glm::vec3(0.0f), nullptr);
        c->volume->halfExtents = halfExtents;
        return Attach(p, c);
    }
    static std::unique_ptr<DynamicActor> Capsule(const glm::vec3& p, float radius)
    {
        auto c = std::make_shared<CollisionComponent<COLLISION::Capsule>>(true, glm::vec3(0.0f), nullptr);
        c->volume->radius = radius;
        c->volume->baseA = {0.0f, -0.5f, 0.0f};
        c->volume->baseB = {0.0f, 0.5f, 0.0f};
        c->volume->SetOrientation(c->volume->orientation);
        return Attach(p, c);
    }
};

struct PairContext {
    Object* querier;
    Object* found;
    COLLISION::Collision* record;
};

// The grid's exact step for one candidate, as the baseline runs it.
void ExactTest(Object& obj, Object& found, ICollisionComponent& component, COLLISION::BoundingVolume* volume)
{
    PairCallback pair;
    PairContext context{&obj, &found, &pair.record};
    if (obj.onCollision)
        pair.first = [ctx = &context] { ctx->querier->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
    if (found.onCollision && found.notifyWhenHit)
        pair.second = [ctx = &context] { ctx->found->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
    component.CollideWithVolume(volume, &pair.record, pair.first, pair.second);
}

// The all-pairs baseline: each object's component and volume are looked up once per frame, then
// every ordered pair gets the grid's sphere check and each candidate the same exact test.
void BruteForceFrame(BenchScene& scene, std::vector<ICollisionComponent*>& components,
                     std::vector<COLLISION::BoundingVolume*>& volumes)
{
    const size_t n = scene.actors.size();
    for (size_t i = 0; i < n; ++i) {
        components[i] = scene.actors[i]->GetComponent<ICollisionComponent>().get();
        volumes[i] = components[i]->GetBoundingVolume().get();
    }
    for (size_t i = 0; i < n; ++i) {
        Object& obj = *scene.actors[i]->gridObject;
        const glm::vec3 p = obj.transform->position;
        for (size_t j = 0; j < n; ++j) {
            if (i == j)
                continue;
            Object& o = *scene.actors[j]->gridObject;
            const glm::vec3 d = p - o.transform->position;
            const float reach = volumes[j]->GetBoundingRadius() + obj.radius;
            if (glm::dot(d, d) <= reach * reach)
                ExactTest(obj, o, *components[i], volumes[j]);
        }
    }
}

void GridFrame(BenchScene& scene)
{
    for (const auto& actor : scene.actors)
        HGrid::CheckObjAgainstGrid(actor->gridObject);
}

// Untimed: how many objects the buckets of one query hold on average, i.e. how much of the scene
// the grid still visits.
double WalkedPerQuery(BenchScene& scene)
{
    uint64_t walked = 0;
    for (const auto& actor : scene.actors) {
        HGrid::CheckObjAgainstGrid(actor->gridObject);
        for (int b = 0; b < HGrid::NumBuckets; ++b)
            if (grid->timeStamp[b] == grid->tick)
                for (const Object* o = grid->objectBucket[b]; o; o = o->next)
                    ++walked;
    }
    return static_cast<double>(walked) / static_cast<double>(scene.actors.size());
}

void Report(benchmark::State& state, BenchScene& scene, uint64_t allocations)
{
    const double queries = static_cast<double>(state.iterations()) * static_cast<double>(scene.actors.size());
    state.counters["allocs_per_query"] = static_cast<double>(allocations) / queries;
    state.counters["contacts_per_frame"] =
        static_cast<double>(scene.contacts) / static_cast<double>(state.iterations());
}

void BM_GridFrame(benchmark::State& state)
{
    const uint64_t beforeSetup = AllocationCount();
    BenchScene scene(static_cast<int>(state.range(0)));
    // Shows the counter is live: building the scene allocates.
    state.counters["setup_allocs"] = static_cast<double>(AllocationCount() - beforeSetup);
    GridFrame(scene); // warm the caches outside the count
    scene.contacts = 0;
    const uint64_t before = AllocationCount();
    for (auto _ : state)
        GridFrame(scene);
    Report(state, scene, AllocationCount() - before);
    state.counters["walked_per_query"] = WalkedPerQuery(scene);
}

void BM_BruteForceFrame(benchmark::State& state)
{
    BenchScene scene(static_cast<int>(state.range(0)));
    std::vector<ICollisionComponent*> components(scene.actors.size());
    std::vector<COLLISION::BoundingVolume*> volumes(scene.actors.size());
    BruteForceFrame(scene, components, volumes);
    scene.contacts = 0;
    const uint64_t before = AllocationCount();
    for (auto _ : state)
        BruteForceFrame(scene, components, volumes);
    Report(state, scene, AllocationCount() - before);
}

BENCHMARK(BM_GridFrame)->Arg(30)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BruteForceFrame)->Arg(30)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);

// Prints the usual table and keeps each run's time per frame for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    struct Row {
        double microseconds = 0.0; // wall clock
        double cpuMicroseconds = 0.0;
        double allocsPerQuery = 0.0;
        double contacts = 0.0;
    };
    std::map<std::string, std::map<int64_t, Row>> rows; // benchmark -> objects -> row

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            const int64_t objects = std::stoll(run.run_name.args);
            Row& row = rows[name][objects];
            row.microseconds = run.GetAdjustedRealTime(); // the runs report in microseconds
            row.cpuMicroseconds = run.GetAdjustedCPUTime();
            row.allocsPerQuery = run.counters.at("allocs_per_query");
            row.contacts = run.counters.at("contacts_per_frame");
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nper frame (one query per object), microseconds; brute/grid on wall and CPU time\n");
    std::printf("objects  grid wall  grid cpu  brute wall  brute cpu  ratio wall  ratio cpu  grid allocs/query  "
                "contacts/frame grid, brute\n");
    for (const auto& [objects, g] : reporter.rows["BM_GridFrame"]) {
        const auto found = reporter.rows["BM_BruteForceFrame"].find(objects);
        if (found == reporter.rows["BM_BruteForceFrame"].end())
            continue;
        const SummaryReporter::Row& b = found->second;
        std::printf("%7lld  %9.1f  %8.1f  %10.1f  %9.1f  %10.2f  %9.2f  %17.3f  %.0f, %.0f\n",
                    static_cast<long long>(objects), g.microseconds, g.cpuMicroseconds, b.microseconds,
                    b.cpuMicroseconds, b.microseconds / g.microseconds, b.cpuMicroseconds / g.cpuMicroseconds,
                    g.allocsPerQuery, g.contacts, b.contacts);
    }
    return 0;
}

// Broad phase cost per frame: one grid query per object against an all-pairs sphere check, on
// two kinds of scene. The arena scene packs 30, 300 and 3000 colliders into the game's 36 m
// arena; the game-density scene keeps the game's own colliders per square metre (its walls,
// characters, hand spheres and ground) and grows the world with the count, up to 30 000. Counts
// heap allocations inside the timed loop (the game wants none per frame) and prints brute/grid
// per size, the grid's cost per object, and the goals each figure is held to.
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

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The game's ground is 36 m square centred on (9, 0, 9); colliders stand up to 3 m high.
constexpr float ArenaMin = -9.0f;
constexpr float ArenaMax = 27.0f;
constexpr float MaxHeight = 3.0f;

// The game's colliders on its 36 m square: 68 wall blocks, 24 zombies with 24 hand spheres, the
// player, his bubble and puddle, and the ground.
constexpr float GameArea = 36.0f * 36.0f;
constexpr int GameWalls = 68;
constexpr int GameCharacters = 25;
constexpr int GameSmallSpheres = 26;
constexpr int GameColliders = GameWalls + GameCharacters + GameSmallSpheres + 1;
constexpr float GameDensity = static_cast<float>(GameColliders) / GameArea; // colliders per square metre

// GameDensityInSpaceOrder is the same world with its colliders created (and so allocated and
// queried) in rows of 8 m strips: a diagnostic of how much of the cost per object is memory that
// does not follow space.
enum class Layout { Arena, GameDensity, GameDensityInSpaceOrder };

// A scene of trigger colliders (so nothing moves between frames) filed in its own grid.
class BenchScene {
public:
    std::vector<std::unique_ptr<DynamicActor>> actors;
    uint64_t contacts = 0;

    BenchScene(Layout layout, int count)
    {
        grid = grid_.get();
        if (layout == Layout::Arena)
            BuildArena(count);
        else
            BuildGameDensity(count, layout == Layout::GameDensityInSpaceOrder);
        for (const auto& actor : actors) {
            CollisionCallback onContact = [this](Object&, Object&, COLLISION::Collision&) { ++contacts; };
            actor->gridObject = std::make_unique<Object>(SceneryTag, actor.get(), std::move(onContact));
            grid_->AddObject(*actor->gridObject);
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
    std::unique_ptr<HGrid> grid_ = std::make_unique<HGrid>(); // too large for the stack

    void BuildArena(int count)
    {
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
        }
    }

    // The game's mix at the game's density: 2 m wall blocks on the level's 2 m lattice, standing
    // capsules, hand-sized spheres at hand height, and one ground box under the whole world.
    void BuildGameDensity(int count, bool inSpaceOrder)
    {
        enum Kind { WallBlock, Character, HandSphere, Ground };
        struct Placement {
            Kind kind;
            glm::vec3 p;
            float size;
        };
        std::vector<Placement> placements;
        std::mt19937 rng(4242u);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        const float side = std::sqrt(static_cast<float>(count) / GameDensity);
        auto range = [&](float a, float b) { return a + (b - a) * u(rng); };
        const int movers = count - 1;
        const int walls = movers * GameWalls / (GameColliders - 1);
        const int characters = movers * GameCharacters / (GameColliders - 1);
        const int lattice = std::max(1, static_cast<int>(side / 2.0f));
        std::set<std::pair<int, int>> taken;
        for (int i = 0; i < walls; ++i) {
            std::pair<int, int> cell;
            do
                cell = {static_cast<int>(u(rng) * lattice), static_cast<int>(u(rng) * lattice)};
            while (!taken.insert(cell).second && taken.size() < static_cast<size_t>(lattice) * lattice);
            placements.push_back({WallBlock, {2.0f * cell.first, 0.0f, 2.0f * cell.second}, 1.0f});
        }
        for (int i = 0; i < characters; ++i)
            placements.push_back({Character, {range(0.0f, side), 1.0f, range(0.0f, side)}, 0.5f});
        for (int i = walls + characters; i < movers; ++i) {
            const glm::vec3 p(range(0.0f, side), range(0.8f, 1.8f), range(0.0f, side));
            placements.push_back({HandSphere, p, range(0.2f, 0.3f)});
        }
        placements.push_back({Ground, {0.5f * side, 0.0f, 0.5f * side}, 0.5f * side});
        if (inSpaceOrder)
            std::stable_sort(placements.begin(), placements.end(), [](const Placement& a, const Placement& b) {
                const int stripA = static_cast<int>(a.p.x / 8.0f), stripB = static_cast<int>(b.p.x / 8.0f);
                return stripA != stripB ? stripA < stripB : a.p.z < b.p.z;
            });
        for (const Placement& placed : placements)
            switch (placed.kind) {
            case WallBlock:
                actors.push_back(Box(placed.p, glm::vec3(placed.size)));
                break;
            case Character:
                actors.push_back(Capsule(placed.p, placed.size));
                break;
            case HandSphere:
                actors.push_back(Sphere(placed.p, placed.size));
                break;
            case Ground:
                actors.push_back(Box(placed.p, {placed.size, 0.0f, placed.size}));
                break;
            }
    }

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

void NoAction() {}

// The grid's exact step for one candidate, as the baseline runs it: the same zeroed record and
// actions, built in place of the arguments as the grid builds them, so both sides pay the same
// for the contacts they find.
void ExactTest(Object& obj, Object& found, ICollisionComponent& component, COLLISION::BoundingVolume* volume)
{
    COLLISION::Collision record{};
    PairContext context{&obj, &found, &record};
    std::function<void()> first = NoAction;
    std::function<void()> second = NoAction;
    if (obj.onCollision)
        first = [ctx = &context] { ctx->querier->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
    if (found.onCollision && found.notifyWhenHit)
        second = [ctx = &context] { ctx->found->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
    component.CollideWithVolume(volume, &record, std::move(first), std::move(second));
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
        HGrid::CheckObjAgainstGrid(actor->gridObject.get());
}

// Untimed: how many buckets one query walks and how many objects they hold on average, i.e. how
// much of the scene the grid still visits. Sampled over evenly spread queriers: each sample scans
// every bucket. Queries that test every object directly stamp no bucket and count as none.
struct WalkCounts {
    double buckets = 0.0;
    double objects = 0.0;
};

WalkCounts WalkedPerQuery(BenchScene& scene)
{
    constexpr size_t MaxSamples = 200;
    const size_t step = std::max<size_t>(1, scene.actors.size() / MaxSamples);
    uint64_t buckets = 0;
    uint64_t objects = 0;
    uint64_t samples = 0;
    for (size_t i = 0; i < scene.actors.size(); i += step, ++samples) {
        HGrid::CheckObjAgainstGrid(scene.actors[i]->gridObject.get());
        for (int b = 0; b < HGrid::NumBuckets; ++b)
            if (grid->buckets[b].stamp == grid->tick) {
                ++buckets;
                for (const Object* o = grid->buckets[b].head; o; o = o->next)
                    ++objects;
            }
    }
    const double n = static_cast<double>(samples);
    return {static_cast<double>(buckets) / n, static_cast<double>(objects) / n};
}

void Report(benchmark::State& state, BenchScene& scene, uint64_t allocations)
{
    const double queries = static_cast<double>(state.iterations()) * static_cast<double>(scene.actors.size());
    state.counters["allocs_per_query"] = static_cast<double>(allocations) / queries;
    state.counters["contacts_per_frame"] =
        static_cast<double>(scene.contacts) / static_cast<double>(state.iterations());
}

void GridBenchmark(benchmark::State& state, Layout layout)
{
    const uint64_t beforeSetup = AllocationCount();
    BenchScene scene(layout, static_cast<int>(state.range(0)));
    // Shows the counter is live: building the scene allocates.
    state.counters["setup_allocs"] = static_cast<double>(AllocationCount() - beforeSetup);
    GridFrame(scene); // warm the caches outside the count
    scene.contacts = 0;
    const uint64_t before = AllocationCount();
    for (auto _ : state)
        GridFrame(scene);
    Report(state, scene, AllocationCount() - before);
    const WalkCounts walked = WalkedPerQuery(scene);
    state.counters["buckets_per_query"] = walked.buckets;
    state.counters["walked_per_query"] = walked.objects;
}

// The game-density scene with its characters and hand spheres walking: each frame every one of
// them steps 5 cm (about 3 m/s at 60 frames a second) and is re-filed before the queries run, so
// the frame pays for the moves and the re-filing, as the game does.
void MovingGridBenchmark(benchmark::State& state)
{
    BenchScene scene(Layout::GameDensity, static_cast<int>(state.range(0)));
    std::vector<std::pair<DynamicActor*, glm::vec3>> walkers; // actor, step per frame
    std::mt19937 rng(77u);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
    for (const auto& actor : scene.actors)
        if (actor->gridObject->level < 3) { // not the wall blocks nor the ground
            const float a = angle(rng);
            walkers.emplace_back(actor.get(), 0.05f * glm::vec3(std::cos(a), 0.0f, std::sin(a)));
        }
    int frame = 0;
    auto step = [&] {
        // Back and forth over 2 m, so the scene keeps its density.
        const float direction = (frame++ / 40) % 2 == 0 ? 1.0f : -1.0f;
        for (auto& [actor, stepBy] : walkers) {
            actor->GetComponent<TransformComponent>()->position += direction * stepBy;
            actor->Update(0.0f);
        }
        GridFrame(scene);
    };
    step(); // warm the caches outside the count
    scene.contacts = 0;
    const uint64_t before = AllocationCount();
    for (auto _ : state)
        step();
    Report(state, scene, AllocationCount() - before);
    const WalkCounts walked = WalkedPerQuery(scene);
    state.counters["buckets_per_query"] = walked.buckets;
    state.counters["walked_per_query"] = walked.objects;
}

void BruteForceBenchmark(benchmark::State& state, Layout layout)
{
    BenchScene scene(layout, static_cast<int>(state.range(0)));
    std::vector<ICollisionComponent*> components(scene.actors.size());
    std::vector<COLLISION::BoundingVolume*> volumes(scene.actors.size());
    BruteForceFrame(scene, components, volumes);
    scene.contacts = 0;
    const uint64_t before = AllocationCount();
    for (auto _ : state)
        BruteForceFrame(scene, components, volumes);
    Report(state, scene, AllocationCount() - before);
}

void BM_ArenaGrid(benchmark::State& state) { GridBenchmark(state, Layout::Arena); }
void BM_ArenaBruteForce(benchmark::State& state) { BruteForceBenchmark(state, Layout::Arena); }
void BM_DensityGrid(benchmark::State& state) { GridBenchmark(state, Layout::GameDensity); }
void BM_DensityBruteForce(benchmark::State& state) { BruteForceBenchmark(state, Layout::GameDensity); }
void BM_DensityInSpaceOrderGrid(benchmark::State& state) { GridBenchmark(state, Layout::GameDensityInSpaceOrder); }
void BM_DensityMovingGrid(benchmark::State& state) { MovingGridBenchmark(state); }

BENCHMARK(BM_ArenaGrid)->Arg(30)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArenaBruteForce)->Arg(30)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DensityGrid)->Arg(300)->Arg(1000)->Arg(3000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMicrosecond);
// All pairs of 30 000 objects take seconds a frame; the ratio is held at 3000.
BENCHMARK(BM_DensityBruteForce)->Arg(300)->Arg(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DensityInSpaceOrderGrid)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DensityMovingGrid)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);

// Prints the usual table and keeps each run's time per frame for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    struct Row {
        double microseconds = 0.0; // wall clock
        double cpuMicroseconds = 0.0;
        double allocsPerQuery = 0.0;
        double contacts = 0.0;
        double walked = 0.0;
    };
    std::map<std::string, std::map<int64_t, Row>> rows; // benchmark -> objects -> row

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median")
                continue; // with repetitions, the median stands for the size
            const std::string name = run.run_name.function_name;
            const int64_t objects = std::stoll(run.run_name.args);
            Row& row = rows[name][objects];
            row.microseconds = run.GetAdjustedRealTime(); // the runs report in microseconds
            row.cpuMicroseconds = run.GetAdjustedCPUTime();
            row.allocsPerQuery = run.counters.at("allocs_per_query");
            row.contacts = run.counters.at("contacts_per_frame");
            const auto walked = run.counters.find("walked_per_query");
            row.walked = walked == run.counters.end() ? 0.0 : static_cast<double>(walked->second);
        }
    }
};

// One scene's table: grid against all pairs where both ran, the grid alone elsewhere.
void PrintScene(SummaryReporter& reporter, const char* title, const std::string& gridName,
                const std::string& bruteName)
{
    std::printf("\n%s: per frame (one query per object), microseconds; brute/grid on wall and CPU time\n", title);
    std::printf("objects  grid wall  grid cpu  cpu/object  walked/query  brute wall  brute cpu  ratio wall  ratio cpu  "
                "grid allocs/query  contacts/frame grid, brute\n");
    for (const auto& [objects, g] : reporter.rows[gridName]) {
        std::printf("%7lld  %9.1f  %8.1f  %10.3f  %12.1f", static_cast<long long>(objects), g.microseconds,
                    g.cpuMicroseconds, g.cpuMicroseconds / static_cast<double>(objects), g.walked);
        const auto found = reporter.rows[bruteName].find(objects);
        if (found == reporter.rows[bruteName].end()) {
            std::printf("  %10s  %9s  %10s  %9s  %17.3f  %.0f, -\n", "-", "-", "-", "-", g.allocsPerQuery, g.contacts);
            continue;
        }
        const SummaryReporter::Row& b = found->second;
        std::printf("  %10.1f  %9.1f  %10.2f  %9.2f  %17.3f  %.0f, %.0f\n", b.microseconds, b.cpuMicroseconds,
                    b.microseconds / g.microseconds, b.cpuMicroseconds / g.cpuMicroseconds, g.allocsPerQuery,
                    g.contacts, b.contacts);
    }
}

// The goals, each against the figure it is held to (CPU time: the machine may be shared).
void PrintGoals(SummaryReporter& reporter)
{
    auto ratio = [&](const char* grid, const char* brute, int64_t objects) {
        const auto g = reporter.rows[grid].find(objects);
        const auto b = reporter.rows[brute].find(objects);
        if (g == reporter.rows[grid].end() || b == reporter.rows[brute].end())
            return -1.0;
        return b->second.cpuMicroseconds / g->second.cpuMicroseconds;
    };
    std::printf("\ngoals (CPU time)\n");
    auto line = [](const char* what, double value, const char* goal, bool met) {
        if (value < 0.0)
            std::printf("  %-58s %10s   goal %-8s  not run\n", what, "-", goal);
        else
            std::printf("  %-58s %10.2f   goal %-8s  %s\n", what, value, goal, met ? "met" : "MISSED");
    };
    const double arena3000 = ratio("BM_ArenaGrid", "BM_ArenaBruteForce", 3000);
    const double arena300 = ratio("BM_ArenaGrid", "BM_ArenaBruteForce", 300);
    const double density3000 = ratio("BM_DensityGrid", "BM_DensityBruteForce", 3000);
    line("arena, 3000 colliders: all pairs / grid", arena3000, ">= 4", arena3000 >= 4.0);
    line("arena, 300 colliders: all pairs / grid", arena300, ">= 2", arena300 >= 2.0);
    line("game density, 3000 colliders: all pairs / grid", density3000, ">= 30", density3000 >= 30.0);

    double lowest = 0.0;
    double highest = 0.0;
    int sizes = 0;
    double allocs = 0.0;
    for (const auto& [objects, g] : reporter.rows["BM_DensityGrid"]) {
        const double perObject = g.cpuMicroseconds / static_cast<double>(objects);
        lowest = sizes == 0 ? perObject : std::min(lowest, perObject);
        highest = sizes == 0 ? perObject : std::max(highest, perObject);
        ++sizes;
    }
    for (const auto& [name, bySize] : reporter.rows)
        for (const auto& [objects, row] : bySize)
            if (name.find("Grid") != std::string::npos) // every grid run, the diagnostic too
                allocs = std::max(allocs, row.allocsPerQuery);
    const double spread = sizes < 2 ? -1.0 : highest / lowest;
    line("game density, cost per object, largest / smallest over sizes", spread, "<= 1.5", spread <= 1.5);
    line("grid heap allocations per query, worst run", allocs, "0", allocs <= 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    PrintScene(reporter, "arena (36 m square)", "BM_ArenaGrid", "BM_ArenaBruteForce");
    PrintScene(reporter, "game density (world grows with the count)", "BM_DensityGrid", "BM_DensityBruteForce");
    PrintScene(reporter, "diagnostic, not a goal: game density, colliders created and queried in space order",
               "BM_DensityInSpaceOrderGrid", "");
    PrintScene(reporter,
               "not a goal: game density with the characters and hand spheres moving 5 cm a frame, moves and "
               "re-filing counted",
               "BM_DensityMovingGrid", "");
    PrintGoals(reporter);
    return 0;
}

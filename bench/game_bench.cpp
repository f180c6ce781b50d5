// Game-side costs over a NullRenderer: one Scene::Update with the whole zombie pool chasing,
// scene construction by phase, and heap allocations per frame in steady play (the goal is zero).
#include "app/AllocationCounter.h"
#include "app/GameClock.h"
#include "tests/support/SceneDriver.h"

#include <benchmark/benchmark.h>
#include <imgui.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A scene in late play: all 24 zombies spawned around the player and chasing him, the player
// walking, turning and (optionally) shooting, kept alive so the chase never stops.
struct ChaseScene {
    SceneDriver driver;
    bool shooting;
    int frame = 0;

    // Without shooting no zombie dies, so all 24 stay in the chase.
    explicit ChaseScene(bool shooting) : shooting(shooting)
    {
        driver.StopSpawning();
        for (int i = 0; i < ZombiePoolSize; ++i) {
            const float angle = static_cast<float>(i) * (6.2831853f / ZombiePoolSize);
            driver.SpawnAt(i, glm::vec3(17.0f + 12.0f * std::cos(angle), 0.0f, 17.0f + 12.0f * std::sin(angle)));
        }
        roundDifficulty = 3;
        driver.Key(SDL_SCANCODE_W, true);
    }

    // One frame of play; returns the wall-clock seconds Scene::Update took.
    double Frame(bool drawUi = false)
    {
        Scene0& scene = driver.Scene();
        PlayerActor& player = driver.Player();
        // Hurt but never dead; with the UI drawn, hurt enough to show the damage border.
        player.health = drawUi ? 75.0f : 100.0f;
        // Turn back and forth and shoot whenever the gun is ready.
        driver.MouseMotion(frame % 120 < 60 ? 8 : -8, 0);
        if (shooting && frame % 30 == 0)
            driver.Click();
        // Walking stays in the middle of the arena.
        const glm::vec3 at = player.Transform().position;
        if (at.x < 8.0f || at.x > 26.0f || at.z < 8.0f || at.z > 26.0f)
            player.Transform().position = glm::vec3(17.0f, 0.0f, 15.0f);
        // Dead zombies come straight back, so the pool stays busy.
        for (ZombieActor* z : scene.zombiePool)
            if (z->available)
                z->Spawn(scene.spawnPoints[frame % SpawnPointCount]);
        const auto start = std::chrono::steady_clock::now();
        scene.Update(SceneDriver::FrameTime);
        const auto end = std::chrono::steady_clock::now();
        scene.Render();
        if (drawUi) {
            // What the renderer does around the scene's UI inside its frame.
            ImGui::NewFrame();
            scene.DrawUI();
            ImGui::Render();
        }
        ++frame;
        return std::chrono::duration<double>(end - start).count();
    }
};

void BM_SceneUpdateFullPool(benchmark::State& state)
{
    ChaseScene chase(false);
    for (int i = 0; i < 300; ++i)
        chase.Frame(); // let the chase settle
    for (auto _ : state)
        state.SetIterationTime(chase.Frame());
    int active = 0;
    for (const ZombieActor* z : chase.driver.Scene().zombiePool)
        active += z->active ? 1 : 0;
    state.counters["activeZombies"] = active;
}
BENCHMARK(BM_SceneUpdateFullPool)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_AllocationsPerFrame(benchmark::State& state)
{
    // A UI context as the renderer keeps one, so the HUD's per-frame calls are counted too. The UI
    // library takes its memory from malloc directly; through operator new it is counted.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* p, void*) { ::operator delete(p); });
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(1280.0f, 720.0f);
    io.DeltaTime = SceneDriver::FrameTime;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    {
        ChaseScene chase(true);
        for (int i = 0; i < 300; ++i)
            chase.Frame(true);
        size_t frames = 0;
        const uint64_t before = AllocationCount();
        for (auto _ : state) {
            chase.Frame(true);
            ++frames;
        }
        const uint64_t allocations = AllocationCount() - before;
        state.counters["allocsPerFrame"] = static_cast<double>(allocations) / static_cast<double>(frames);
        state.counters["allocs"] = static_cast<double>(allocations);
    }
    ImGui::DestroyContext();
}
BENCHMARK(BM_AllocationsPerFrame)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_SceneConstruction(benchmark::State& state)
{
    GameClock::Reset();
    NullRenderer renderer;
    double phases[MaxScenePhases] = {};
    const char* names[MaxScenePhases] = {};
    int phaseCount = 0;
    int64_t runs = 0;
    for (auto _ : state) {
        auto scene = std::make_unique<Scene0>(&renderer);
        phaseCount = scene->constructionPhaseCount;
        for (int i = 0; i < phaseCount; ++i) {
            names[i] = scene->constructionPhases[i].name;
            phases[i] += scene->constructionPhases[i].milliseconds;
        }
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
        ++runs;
    }
    for (int i = 0; i < phaseCount; ++i)
        state.counters[std::string("ms_") + names[i]] = phases[i] / static_cast<double>(runs);
}
BENCHMARK(BM_SceneConstruction)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Sound mixes on OpenAL's null driver: real voices and their costs, without a sound card.
    setenv("ALSOFT_DRIVERS", "null", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

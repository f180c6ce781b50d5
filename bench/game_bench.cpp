// Game-side costs over a NullRenderer: one Scene::Update with the whole zombie pool chasing,
// scene construction by phase, and heap allocations per frame in steady play (the goal is zero).
#include "app/AllocationCounter.h"
#include "app/GameClock.h"
#include "tests/support/ChaseScene.h"

#include <benchmark/benchmark.h>
#include <imgui.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

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

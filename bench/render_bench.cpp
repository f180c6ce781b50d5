// Frame rate of the stand-in scene at 1280x720 through the Vulkan renderer (lavapipe on a machine
// without a GPU), the CPU time of UpdateUniforms plus command recording per frame, and the time
// to construct the scene. Starts its own Xvfb when no display is set. The pack of the working
// directory is used, with the tests' generated stand-ins for what it lacks.
#include <filesystem>
#include <string>

namespace {
// The test-only shaders are compiled next to the run directory (build/test-shaders).
std::string BenchShaderDir()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "test-shaders").string();
}
} // namespace
#define ZORBULON_TEST_SHADER_DIR BenchShaderDir()

#include "game/StandInScene.h"
#include "renderer/GpuContext.h"
#include "renderer/VulkanRenderer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestContent.h"

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Width = 1280;
constexpr int Height = 720;
constexpr float FrameSeconds = 1.0f / 60.0f;

// A private X server for the benchmark's window, when none is given.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        if (std::getenv("DISPLAY"))
            return;
        // The first display number without a server (lock file) of its own.
        for (int number = 90; number < 140; ++number) {
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (std::filesystem::exists(lock))
                continue;
            const std::string display = ":" + std::to_string(number);
            pid = fork();
            if (pid == 0) {
                execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x720x24", "-nolisten", "tcp",
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            // Ready once its socket exists (up to 5 s).
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            for (int i = 0; i < 50 && !std::filesystem::exists(socket); ++i)
                usleep(100000);
            setenv("DISPLAY", display.c_str(), 1);
            return;
        }
    }
    ~PrivateDisplay()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    pid_t pid = -1;
};

struct Rig {
    WindowInfo window;
    std::unique_ptr<VulkanRenderer> renderer;
    std::unique_ptr<StandInScene> scene;
};
Rig* rig = nullptr;

void Frame()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type != SDL_QUIT)
            rig->scene->HandleEvent(&event);
    rig->scene->Update(FrameSeconds);
    rig->scene->Render();
}

void BM_StandInFrame(benchmark::State& state)
{
    for (int i = 0; i < 10; ++i)
        Frame(); // warm: fonts, first uploads
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        Frame();
        const FrameCpuTimes& times = rig->renderer->LastFrameCpuTimes();
        cpuSeconds += times.updateUniforms + times.record;
    }
    vkDeviceWaitIdle(gpu.device);
    state.SetItemsProcessed(state.iterations());
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["uniforms+record_us"] = cpuSeconds / double(state.iterations()) * 1e6;
    state.counters["actors"] = double(rig->scene->actors.size() + rig->scene->transparentActors.size());
}
BENCHMARK(BM_StandInFrame)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

void BM_UpdateUniformsOnly(benchmark::State& state)
{
    for (auto _ : state)
        rig->renderer->UpdateUniforms(rig->scene.get());
}
BENCHMARK(BM_UpdateUniformsOnly)->Unit(benchmark::kMicrosecond);

void BM_StandInSceneConstruction(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        rig->scene.reset();
        rig->renderer->RecreateFrameResources();
        state.ResumeTiming();
        rig->scene = std::make_unique<StandInScene>(rig->renderer.get());
    }
}
BENCHMARK(BM_StandInSceneConstruction)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    PrivateDisplay display;
    const testcontent::Pack real = testcontent::ReadPackInWorkingDirectory();
    TempWorkDir dir;
    testcontent::WritePack(dir.Path(), testcontent::ContentWithFallbacks(real));

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "render_bench: SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    Rig local;
    rig = &local;
    local.window.width = Width;
    local.window.height = Height;
    local.window.sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Width,
                                              Height, SDL_WINDOW_VULKAN);
    if (!local.window.sdlWindow) {
        std::fprintf(stderr, "render_bench: SDL_CreateWindow: %s\n", SDL_GetError());
        return 1;
    }
    local.renderer = std::make_unique<VulkanRenderer>(&local.window);
    local.renderer->Init();
    local.scene = std::make_unique<StandInScene>(local.renderer.get());
    std::printf("device msaa %d, present mode %d, %ux%u\n", int(gpu.msaaSamples), int(gpu.presentMode),
                gpu.swapChainExtent.width, gpu.swapChainExtent.height);

    benchmark::RunSpecifiedBenchmarks();

    local.scene.reset();
    local.renderer.reset();
    SDL_DestroyWindow(local.window.sdlWindow);
    SDL_Quit();
    benchmark::Shutdown();
    return 0;
}

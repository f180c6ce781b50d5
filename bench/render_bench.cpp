// The real game at 1280x720 through the Vulkan renderer (lavapipe where there is no GPU), in the
// window of a private Xvfb that it starts when no display is set. Prints the scene's construction
// at start-up and at restart by phase; then, in steady play (the player standing and looking
// round, zombies spawning and chasing him), frames per second, the CPU time per frame of
// UpdateUniforms plus command recording and of one Scene::Update, and the heap allocations per
// frame counted by the game's allocation operator, renderer, UI and sound included, with the
// backtraces of any it finds; how the recording splits between the driver's vkCmd* calls, the UI
// and our own code, and what a frame records; then where a frame's time goes: the frame rate with
// each part (sky box, each shader's draws, the UI) left out, with the sky box drawn first and last,
// with 4x multisampling and without. A plain program: Google Benchmark's repetitions do not fit a window
// that plays a game. Runs from the directory that holds the pack (the run directory by default).
// ZORBULON_BENCH_QUALITIES=1 runs only the part from the multisampling on;
// ZORBULON_BENCH_UPSCALE=1 only the upscale filters' PSNR, for work on the filters.
#include "app/AllocationCounter.h"
#include "app/GameClock.h"
#include "app/GpuContext.h"
#include "app/VulkanCheck.h"
#include "game/Scene0.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "scene/components/TransformComponent.h"
#include "renderer/AssetRegistry.h"
#include "renderer/PointLightList.h"
#include "renderer/PointLightReach.h"
#include "renderer/VulkanRenderer.h"

#include <SDL2/SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <cxxabi.h>
#include <execinfo.h>
#include <imgui.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int Width = 1280;
constexpr int Height = 720;
constexpr float FrameSeconds = 1.0f / 60.0f;
// Game time played without drawing before the measured frames, so two zombies are out and
// chasing; a third spawns (one every five seconds in round one) while the frames are measured.
constexpr float LeadInSeconds = 12.0f;
constexpr int MeasuredFrames = 200;
constexpr int Restarts = 3;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process, every thread (the rasterizer's included), in milliseconds.
double ProcessCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU time of the calling thread, in milliseconds: what the game's own step costs, without the
// turns the rasterizer's threads take on the same cores.
double ThreadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

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
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

private:
    pid_t pid = -1;
};

// Backtraces of allocations, recorded by the allocation observer into fixed storage (the
// observer must not allocate), printed grouped by call stack afterwards.
namespace traces {
constexpr int Capacity = 1024;
constexpr int Depth = 28;
struct Trace {
    void* frames[Depth];
    int depth;
    std::size_t size;
    bool mainThread;
};
Trace recorded[Capacity];
std::atomic<int> count{0};
pthread_t mainThread;
thread_local bool inside = false;

// Before the observer goes in: the unwinder loaded now, not inside it, and the storage emptied.
void Start()
{
    void* warm[1];
    backtrace(warm, 1);
    mainThread = pthread_self();
    count = 0;
}

void Record(std::size_t size)
{
    if (inside)
        return;
    inside = true;
    const int i = count.fetch_add(1, std::memory_order_relaxed);
    if (i < Capacity) {
        Trace& trace = recorded[i];
        trace.depth = backtrace(trace.frames, Depth);
        trace.size = size;
        trace.mainThread = pthread_equal(pthread_self(), mainThread) != 0;
    }
    inside = false;
}

// "module(mangled+0x12) [0x...]" with the name demangled.
std::string Readable(const char* symbol)
{
    std::string line = symbol;
    const size_t open = line.find('('), plus = line.find('+', open);
    if (open == std::string::npos || plus == std::string::npos || plus == open + 1)
        return line;
    const std::string mangled = line.substr(open + 1, plus - open - 1);
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
    if (status == 0 && demangled)
        line.replace(open + 1, mangled.size(), demangled);
    std::free(demangled);
    return line;
}

// Each distinct call stack (from the caller of operator new on) with how often it allocated.
void Print(int frames)
{
    const int n = std::min(count.load(), Capacity);
    std::map<std::vector<std::string>, std::pair<int, bool>> stacks;
    for (int i = 0; i < n; ++i) {
        const Trace& trace = recorded[i];
        char** symbols = backtrace_symbols(trace.frames, trace.depth);
        std::vector<std::string> lines;
        for (int f = 0; f < trace.depth; ++f)
            lines.push_back(Readable(symbols[f]));
        std::free(symbols);
        // Drop the observer and the allocator: the leading frames of this program without an exported
        // name (operator new itself is often left by a tail call).
        size_t first = 0;
        while (first < lines.size() && (lines[first].find("(+0x") != std::string::npos ||
                                        lines[first].find("operator new") != std::string::npos))
            ++first;
        lines.erase(lines.begin(), lines.begin() + long(first));
        auto& entry = stacks[lines];
        ++entry.first;
        entry.second = trace.mainThread;
    }
    std::printf("  %d allocation(s) traced over %d frame(s), %zu distinct call stack(s):\n", count.load(), frames,
                stacks.size());
    for (const auto& [lines, seen] : stacks) {
        std::printf("  %d x (%s thread)\n", seen.first, seen.second ? "main" : "other");
        for (size_t f = 0; f < lines.size() && f < 14; ++f)
            std::printf("      %s\n", lines[f].c_str());
    }
}
} // namespace traces

struct Statistics {
    double mean = 0, median = 0, max = 0;
};

Statistics Summarise(std::vector<double> values)
{
    Statistics s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    for (double v : values)
        s.mean += v;
    s.mean /= double(values.size());
    s.median = values[values.size() / 2];
    s.max = values.back();
    return s;
}

void PrintStatistics(const char* what, const Statistics& s, const char* unit)
{
    std::printf("  %-34s mean %8.3f  median %8.3f  max %8.3f %s\n", what, s.mean, s.median, s.max, unit);
}

struct Rig {
    WindowInfo window;
    std::unique_ptr<VulkanRenderer> renderer;
    std::unique_ptr<Scene0> scene;
};

struct FrameSample {
    double updateMs = 0;
    double uniformsMs = 0;
    double recordMs = 0;
};

// One frame as the application runs it, with a synthetic mouse motion that turns the player a
// fifth of a degree: he stands and looks round. Keeps him alive, so play never ends; `hurt`
// shows him wounded, so the HUD draws its damage border.
FrameSample Frame(Rig& rig, bool draw = true, bool hurt = false)
{
    SDL_Event look{};
    look.type = SDL_MOUSEMOTION;
    look.motion.xrel = 2;
    SDL_PushEvent(&look);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type != SDL_QUIT)
            rig.scene->HandleEvent(&event);
    }
    rig.scene->player->health = 100.0f;
    FrameSample sample;
    const double start = ThreadCpuMilliseconds();
    rig.scene->Update(FrameSeconds);
    sample.updateMs = ThreadCpuMilliseconds() - start;
    // 18.75 pixels: a border of fractional width is drawn as polygons, the UI's largest form of it.
    if (hurt)
        rig.scene->player->health = 62.5f;
    if (draw) {
        rig.scene->Render();
        const FrameCpuTimes& times = rig.renderer->LastFrameCpuTimes();
        sample.uniformsMs = times.updateUniforms * 1e3;
        sample.recordMs = times.record * 1e3;
    }
    return sample;
}

int ActiveZombies(const Scene0& scene)
{
    return int(std::count_if(std::begin(scene.zombiePool), std::end(scene.zombiePool),
                             [](const ZombieActor* z) { return z->active; }));
}

// Builds a scene and prints its phases, largest first; returns the total in milliseconds. Each
// phase's time is added to `sums` under its name when given.
double BuildScene(Rig& rig, const char* label, std::map<std::string, double>* sums = nullptr)
{
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuMilliseconds();
    rig.scene = std::make_unique<Scene0>(rig.renderer.get());
    rig.window.quality = RenderQuality::High; // the scene applied the default settings; these measure s = 1
    const double total = MillisecondsSince(start);
    const double cpu = ProcessCpuMilliseconds() - cpuStart;
    rig.scene->windowWidth = rig.window.width;
    rig.scene->windowHeight = rig.window.height;
    std::vector<ScenePhaseTime> phases(rig.scene->constructionPhases,
                                       rig.scene->constructionPhases + rig.scene->constructionPhaseCount);
    std::sort(phases.begin(), phases.end(),
              [](const ScenePhaseTime& a, const ScenePhaseTime& b) { return a.milliseconds > b.milliseconds; });
    std::printf("%s: Scene0 constructed in %.1f ms (process CPU %.1f ms); phases, largest first:\n", label, total,
                cpu);
    for (const ScenePhaseTime& phase : phases) {
        std::printf("  %-22s %9.1f ms  %5.1f %%\n", phase.name, phase.milliseconds, 100.0 * phase.milliseconds / total);
        if (sums)
            (*sums)[phase.name] += phase.milliseconds;
    }
    return total;
}

// What splitting the ground would buy: the lights each piece of an n x n split would still loop
// over, found as the renderer finds a draw's list. The ground is the widest actor.
void PrintGroundSplitLights(const Scene0& scene)
{
    const Actor* ground = nullptr;
    const TransformComponent* groundTransform = nullptr;
    for (const Actor* actor : scene.actors) {
        const auto transform = actor->GetComponent<TransformComponent>();
        if (transform && (!groundTransform || transform->scale.x > groundTransform->scale.x)) {
            ground = actor;
            groundTransform = transform.get();
        }
    }
    if (!ground)
        return;
    const float gain = SurfaceLightGain(ground->materialValues.y); // y: roughness
    const glm::vec3 centre = groundTransform->position;
    const glm::vec2 half(groundTransform->scale.x, groundTransform->scale.z); // the plane spans [-1, 1]
    for (int n : {1, 2, 4, 8, 16}) {
        const glm::vec2 piece = 2.0f * half / float(n);
        uint32_t sum = 0, fewest = MaxPointLights;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                const glm::vec3 middle(centre.x - half.x + (float(i) + 0.5f) * piece.x, centre.y,
                                       centre.z - half.y + (float(j) + 0.5f) * piece.y);
                const uint32_t count =
                    PointLightsTouching(scene.pointLights, gain, glm::vec4(middle, 0.5f * glm::length(piece))).count;
                sum += count;
                fewest = std::min(fewest, count);
            }
        std::printf("  the ground split %d x %d (pieces %.0f m across): lights a piece would loop over: mean %.2f, "
                    "fewest %u\n",
                    n, n, double(piece.x), double(sum) / double(n * n), fewest);
    }
}

// What the frame records and how its recording time splits: the driver's side of our vkCmd* calls
// (timed call by call, which adds a little time of its own, hence frames of their own), the UI
// frame (the library's CPU work and its own commands), and the rest, our code.
void MeasureRecordingSplit(Rig& rig)
{
    constexpr int Frames = 60;
    FrameRecordingOptions options = rig.renderer->RecordingOptions();
    options.timeCommands = true;
    rig.renderer->SetRecordingOptions(options);
    std::vector<double> record, driver, ui, ours;
    for (int i = 0; i < Frames; ++i) {
        Frame(rig);
        const FrameCpuTimes& times = rig.renderer->LastFrameCpuTimes();
        record.push_back(times.record * 1e3);
        driver.push_back(times.commands.driverSeconds * 1e3);
        ui.push_back(times.ui * 1e3);
        ours.push_back((times.record - times.ui - times.commands.driverSeconds) * 1e3);
    }
    options.timeCommands = false;
    rig.renderer->SetRecordingOptions(options);
    const CommandCounts& counts = rig.renderer->LastFrameCpuTimes().commands;
    std::printf("\nrecording, %d frames with the driver's calls timed:\n", Frames);
    PrintStatistics("command recording (timed)", Summarise(record), "ms");
    PrintStatistics("  driver, our vkCmd* calls", Summarise(driver), "ms");
    PrintStatistics("  UI frame (library + its commands)", Summarise(ui), "ms");
    PrintStatistics("  our code", Summarise(ours), "ms");
    std::printf("  per frame: %u draws, %u pipeline binds, %u descriptor binds, %u push constants, "
                "%u vertex and %u index buffer binds (the UI's own not counted)\n",
                counts.draws, counts.pipelineBinds, counts.descriptorBinds, counts.pushConstants,
                counts.vertexBufferBinds, counts.indexBufferBinds);
    std::printf("  draw lists built %llu time(s) for this scene\n",
                static_cast<unsigned long long>(rig.renderer->DrawLists().Builds()));
    const SceneDrawLists::PointLightListStats lights = rig.renderer->DrawLists().PointLightStats();
    std::printf("  point lights a draw loops over: mean %.2f, longest %u of %d, over %u draws\n",
                lights.items ? double(lights.lights) / lights.items : 0.0, lights.longest, MaxPointLights,
                lights.items);
    PrintGroundSplitLights(*rig.scene);
}

struct FrameCost {
    double wallMs = 0; // a frame's wall time
    double cpuMs = 0;  // a frame's CPU time over all the process's threads
};

// A frame's wall and CPU time over `frames` frames with the given recording options.
FrameCost MeasureFrames(Rig& rig, const FrameRecordingOptions& options, int frames)
{
    rig.renderer->SetRecordingOptions(options);
    for (int i = 0; i < 3; ++i)
        Frame(rig); // the frames in flight drain, the new choice fills them
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuMilliseconds();
    for (int i = 0; i < frames; ++i)
        Frame(rig);
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    FrameCost cost;
    cost.cpuMs = (ProcessCpuMilliseconds() - cpuStart) / frames;
    cost.wallMs = MillisecondsSince(start) / frames;
    rig.renderer->SetRecordingOptions(FrameRecordingOptions{});
    return cost;
}

// Where a frame's time goes: the frame with each part left out, against the whole frame. On the
// software rasterizer a frame's cost is CPU time over all the process's threads, which other
// work on the machine does not inflate as it does the wall time; both are shown. The runs take
// turns (whole frame, one part left out, ...) over several rounds, so a machine whose load
// changes meanwhile weighs on every part alike.
void MeasureFrameBreakdown(Rig& rig, const char* label)
{
    constexpr int Frames = 10;
    constexpr int Rounds = 3;
    struct Part {
        std::string name;
        FrameRecordingOptions options;
        FrameCost cost; // summed over the rounds
    };
    std::vector<Part> parts;
    const FrameRecordingOptions whole;
    parts.push_back({"whole frame (sky last, opaque front to back)", whole});
    FrameRecordingOptions documented;
    documented.skyBoxLast = false;
    documented.opaqueFrontToBack = false;
    parts.push_back({"whole frame, sky first, opaque in list order", documented});
    FrameRecordingOptions skyFirst;
    skyFirst.skyBoxLast = false;
    parts.push_back({"whole frame, sky first, opaque front to back", skyFirst});
    FrameRecordingOptions listOrder;
    listOrder.opaqueFrontToBack = false;
    parts.push_back({"whole frame, sky last, opaque in list order", listOrder});
    FrameRecordingOptions everyLight;
    everyLight.pointLightLists = false;
    parts.push_back({"whole frame, every point light on every draw", everyLight});
    constexpr size_t WholeFrames = 5; // the parts above: the whole frame, recorded five ways
    FrameRecordingOptions without = whole;
    without.passes = whole.passes & ~FramePassSkyBox;
    parts.push_back({"sky box", without});
    const std::vector<ShaderPass>& passes = rig.renderer->DrawLists().Passes();
    for (size_t i = 0; i < passes.size(); ++i) {
        without.passes = whole.passes & ~FramePassShader(i);
        std::string name = "draws of shader " + std::to_string(i + 1);
        for (const auto& [registered, shader] : assetRegistry->shaders)
            if (shader.get() == passes[i].shader)
                name = registered + (passes[i].sorted ? " (billboards)" : "");
        parts.push_back({name, without});
    }
    without.passes = whole.passes & ~FramePassUi;
    parts.push_back({"UI", without});
    without.passes = 0;
    parts.push_back({"all parts (clear, resolve, present left)", without});

    for (int round = 0; round < Rounds; ++round)
        for (Part& part : parts) {
            const FrameCost cost = MeasureFrames(rig, part.options, Frames);
            part.cost.wallMs += cost.wallMs / Rounds;
            part.cost.cpuMs += cost.cpuMs / Rounds;
        }
    std::printf("\nframe breakdown, %s (%d x %d frames each, taking turns):\n", label, Rounds, Frames);
    std::printf("  %-46s %8s %10s %10s\n", "", "fps", "wall ms", "CPU ms");
    for (size_t i = 0; i < WholeFrames; ++i)
        std::printf("  %-46s %8.2f %10.2f %10.2f\n", parts[i].name.c_str(), 1e3 / parts[i].cost.wallMs,
                    parts[i].cost.wallMs, parts[i].cost.cpuMs);
    const double cpuMs = parts[0].cost.cpuMs;
    std::printf("  %-46s %8.2f %%  (the game's order against the documented one)\n", "CPU time saved",
                100.0 * (parts[1].cost.cpuMs - cpuMs) / parts[1].cost.cpuMs);
    std::printf("  cost of each part in the game's order, CPU ms a frame (whole frame less the frame without it):\n");
    for (size_t i = WholeFrames; i < parts.size(); ++i)
        std::printf("  %-46s %8.2f ms %6.1f %%  (frame without it %.2f CPU ms, %.2f wall ms)\n",
                    parts[i].name.c_str(), cpuMs - parts[i].cost.cpuMs, 100.0 * (cpuMs - parts[i].cost.cpuMs) / cpuMs,
                    parts[i].cost.cpuMs, parts[i].cost.wallMs);
}

// The same breakdown on a renderer without multisampling: a fresh renderer and scene.
void MeasureWithoutMultisampling(Rig& rig)
{
    rig.scene.reset();
    rig.renderer.reset();
    rig.renderer = std::make_unique<VulkanRenderer>(&rig.window, VK_SAMPLE_COUNT_1_BIT);
    rig.renderer->Init();
    rig.scene = std::make_unique<Scene0>(rig.renderer.get());
    rig.window.quality = RenderQuality::High; // the scene applied the default settings; these measure s = 1
    rig.scene->windowWidth = rig.window.width;
    rig.scene->windowHeight = rig.window.height;
    for (int i = 0; i < 30; ++i)
        Frame(rig);
    for (int i = 0; i < int(LeadInSeconds / FrameSeconds); ++i)
        Frame(rig, false);
    MeasureFrameBreakdown(rig, "without multisampling");
}

void MeasureSteadyPlay(Rig& rig)
{
    for (int i = 0; i < 30; ++i)
        Frame(rig); // first frames: the UI font upload, the first use of every pipeline
    for (int i = 0; i < int(LeadInSeconds / FrameSeconds); ++i)
        Frame(rig, false);
    // The UI library grows its draw lists the first time the damage border shows: once a UI context.
    for (int i = 0; i < 10; ++i)
        Frame(rig, true, true);
    const int activeBefore = ActiveZombies(*rig.scene);

    std::vector<double> update, uniforms, record, both;
    for (std::vector<double>* values : {&update, &uniforms, &record, &both})
        values->reserve(MeasuredFrames);
    // A backtrace of every allocation, should there be any: the goal is none, so it costs nothing.
    traces::Start();
    SetAllocationObserver(traces::Record);
    const uint64_t allocationsBefore = AllocationCount();
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuMilliseconds();
    for (int i = 0; i < MeasuredFrames; ++i) {
        const FrameSample s = Frame(rig);
        update.push_back(s.updateMs);
        uniforms.push_back(s.uniformsMs);
        record.push_back(s.recordMs);
        both.push_back(s.uniformsMs + s.recordMs);
    }
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    const double seconds = MillisecondsSince(start) / 1e3;
    const double cpuMs = (ProcessCpuMilliseconds() - cpuStart) / MeasuredFrames;
    const uint64_t allocations = AllocationCount() - allocationsBefore;
    SetAllocationObserver(nullptr);

    std::printf("\nsteady play: %d frames at %dx%d, %d -> %d zombies chasing, %zu actors\n", MeasuredFrames,
                int(gpu.swapChainExtent.width), int(gpu.swapChainExtent.height), activeBefore,
                ActiveZombies(*rig.scene), rig.scene->actors.size() + rig.scene->transparentActors.size());
    std::printf("  frames per second                  %.1f  (%.2f ms a frame)\n", MeasuredFrames / seconds,
                seconds * 1e3 / MeasuredFrames);
    std::printf("  CPU time a frame, all threads      %.2f ms\n", cpuMs);
    PrintStatistics("UpdateUniforms + recording (CPU)", Summarise(both), "ms");
    PrintStatistics("  UpdateUniforms", Summarise(uniforms), "ms");
    PrintStatistics("  command recording", Summarise(record), "ms");
    PrintStatistics("Scene::Update (CPU)", Summarise(update), "ms");
    std::printf("  heap allocations per frame         %.3f  (%llu over %d frames)\n",
                double(allocations) / MeasuredFrames, static_cast<unsigned long long>(allocations), MeasuredFrames);

    if (allocations > 0)
        traces::Print(MeasuredFrames);

    MeasureRecordingSplit(rig);
}

// A fresh renderer and scene on the rig's window, at `quality`, with the given multisampling
// limit and sample shading, played into steady play.
void Rebuild(Rig& rig, RenderQuality quality, VkSampleCountFlagBits samples = VK_SAMPLE_COUNT_64_BIT,
             float minSampleShading = VulkanRenderer::DefaultMinSampleShading)
{
    rig.scene.reset();
    rig.renderer.reset();
    rig.window.quality = quality;
    rig.renderer = std::make_unique<VulkanRenderer>(&rig.window, samples, minSampleShading);
    rig.renderer->Init();
    rig.scene = std::make_unique<Scene0>(rig.renderer.get());
    rig.window.quality = quality; // the scene applied the default settings
    rig.scene->windowWidth = rig.window.width;
    rig.scene->windowHeight = rig.window.height;
    for (int i = 0; i < 30; ++i)
        Frame(rig);
    for (int i = 0; i < int(LeadInSeconds / FrameSeconds); ++i)
        Frame(rig, false);
    // The fresh renderer's UI context grows the background draw list the first time the damage
    // border shows (7 allocations); without this, the first zombie to reach the player does it
    // inside a measured run.
    for (int i = 0; i < 10; ++i)
        Frame(rig, true, true);
}

// What multisampling and sample shading cost: the same frames with 1x and 4x samples, and at 4x
// with and without sample shading. No 2x: lavapipe offers 1x and 4x only, and a count the device
// does not offer is no measurement.
void MeasureSampleCosts(Rig& rig)
{
    constexpr int Frames = 40;
    struct Setting {
        const char* name;
        VkSampleCountFlagBits samples;
        float shading;
    };
    const Setting settings[] = {{"1x", VK_SAMPLE_COUNT_1_BIT, 0.0f},
                                {"4x, sample shading 0.2", VK_SAMPLE_COUNT_4_BIT, 0.2f},
                                {"4x, no sample shading", VK_SAMPLE_COUNT_4_BIT, 0.0f}};
    std::printf("\nmultisampling and sample shading at s = 1, %d frames each:\n", Frames);
    for (const Setting& setting : settings) {
        Rebuild(rig, RenderQuality::High, setting.samples, setting.shading);
        const FrameCost cost = MeasureFrames(rig, FrameRecordingOptions{}, Frames);
        std::printf("  %-36s msaa x%d  %6.2f fps  %7.2f wall ms  %7.2f CPU ms\n", setting.name, int(gpu.msaaSamples),
                    1e3 / cost.wallMs, cost.wallMs, cost.cpuMs);
    }
}

struct QualityRun {
    std::vector<double> frameMs;
    float scale = 1.0f;
    uint64_t allocations = 0;

    // One more turn of the same quality: its frames and allocations, and the scale it ended at.
    void Add(const QualityRun& turn)
    {
        frameMs.insert(frameMs.end(), turn.frameMs.begin(), turn.frameMs.end());
        allocations += turn.allocations;
        scale = turn.scale;
    }
};

// `frames` frames at the rig's quality after `settle` frames, timed frame to frame.
QualityRun PlayQuality(Rig& rig, RenderQuality quality, int settle, int frames)
{
    rig.window.quality = quality;
    for (int i = 0; i < settle; ++i)
        Frame(rig);
    QualityRun run;
    run.frameMs.reserve(size_t(frames));
    traces::Start();
    SetAllocationObserver(traces::Record);
    const uint64_t allocationsBefore = AllocationCount();
    auto last = Clock::now();
    for (int i = 0; i < frames; ++i) {
        Frame(rig);
        const auto now = Clock::now();
        run.frameMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    run.allocations = AllocationCount() - allocationsBefore;
    SetAllocationObserver(nullptr);
    run.scale = rig.renderer->RenderScale();
    if (run.allocations > 0) {
        std::printf("  %s:\n", RenderQualityName(quality));
        traces::Print(frames);
    }
    return run;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void PrintQuality(const char* name, const QualityRun& run, int samples)
{
    double sum = 0.0;
    for (double ms : run.frameMs)
        sum += ms;
    std::printf("  %-22s msaa x%d  %6.2f fps  p50 %6.2f  p95 %6.2f  p99 %6.2f ms  scale %.2f  %.3f allocations a frame\n",
                name, samples, 1e3 * double(run.frameMs.size()) / sum, Percentile(run.frameMs, 0.5),
                Percentile(run.frameMs, 0.95), Percentile(run.frameMs, 0.99), run.scale,
                double(run.allocations) / double(run.frameMs.size()));
}

// The final picture of the frame the rig draws next, the UI left out.
std::vector<uint8_t> ScenePicture(Rig& rig, std::optional<float> scale, UpscaleFilter filter)
{
    FrameRecordingOptions options;
    options.passes &= ~FramePassUi;
    rig.renderer->SetRecordingOptions(options);
    rig.renderer->ForceRenderScale(scale);
    const UpscaleFilter chosen = rig.window.upscaleFilter;
    rig.window.upscaleFilter = filter;
    rig.scene->Render(); // the same game state: no update between the pictures
    rig.renderer->CaptureNextFrame();
    rig.scene->Render();
    std::vector<uint8_t> pixels;
    VkExtent2D extent{};
    if (!rig.renderer->TakeCapture(pixels, extent))
        throw std::runtime_error("no capture");
    rig.renderer->ForceRenderScale(std::nullopt);
    rig.renderer->SetRecordingOptions(FrameRecordingOptions{});
    rig.window.upscaleFilter = chosen;
    return pixels;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double squares = 0.0;
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 4 == 3)
            continue; // alpha
        const double d = double(a[i]) - double(b[i]);
        squares += d * d;
        ++n;
    }
    const double mse = squares / double(n);
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// The scene drawn at 0.5 and 0.75 and upscaled by each filter, against the full-size frame of
// the same game state, at the rig's quality.
void MeasureUpscaleQuality(Rig& rig)
{
    std::printf("\nupscaled scene against the full-size one (UI left out), PSNR in dB:\n");
    const std::vector<uint8_t> full = ScenePicture(rig, 1.0f, UpscaleFilter::Sharpened);
    for (float scale : {0.5f, 0.75f}) {
        const double bilinear = Psnr(full, ScenePicture(rig, scale, UpscaleFilter::Bilinear));
        const double sharpened = Psnr(full, ScenePicture(rig, scale, UpscaleFilter::Sharpened));
        std::printf("  s = %.2f  bilinear %6.2f  edge-directed + sharpening %6.2f\n", scale, bilinear, sharpened);
    }
}

// A new scale and filter every frame: viewports and push constants, nothing allocated. One
// round first: the driver compiles its shader variants (in C++, counted) on their first use.
void MeasureScaleChanges(Rig& rig)
{
    constexpr float ChangingScales[] = {1.0f, 0.5f, 0.75f, 0.55f, 0.9f, 0.6f};
    auto play = [&rig, &ChangingScales](int frames) {
        for (int i = 0; i < frames; ++i) {
            rig.renderer->ForceRenderScale(ChangingScales[i % 6]);
            rig.window.upscaleFilter = i % 4 < 2 ? UpscaleFilter::Sharpened : UpscaleFilter::Bilinear;
            Frame(rig);
        }
    };
    play(12);
    const uint64_t before = AllocationCount();
    play(24);
    rig.renderer->ForceRenderScale(std::nullopt);
    rig.window.upscaleFilter = UpscaleFilter::Device;
    std::printf("  heap allocations over 24 frames that each change the scale and filter: %llu\n",
                static_cast<unsigned long long>(AllocationCount() - before));
}

// The qualities at 1280x720: high on the device's multisampling, then auto and low (which share
// the CPU device's multisampling) taking turns; the upscale's PSNR against the full-size frame;
// and the controller over 30 s of scripted play.
void MeasureQualities(Rig& rig)
{
    constexpr int Rounds = 2;
    constexpr int Frames = 60;
    std::printf("\nqualities at %dx%d, frame to frame wall time, %d rounds of %d frames:\n", Width, Height, Rounds,
                Frames);
    Rebuild(rig, RenderQuality::High);
    const int highSamples = int(gpu.msaaSamples);
    QualityRun high;
    for (int r = 0; r < Rounds; ++r)
        high.Add(PlayQuality(rig, RenderQuality::High, 3, Frames));
    PrintQuality("high", high, highSamples);

    Rebuild(rig, RenderQuality::Auto);
    const int autoSamples = int(gpu.msaaSamples);
    QualityRun automatic, low, lowSharpened;
    for (int r = 0; r < Rounds; ++r) {
        // Auto starts from full size each turn: it settles before it is measured.
        automatic.Add(PlayQuality(rig, RenderQuality::Auto, 60, Frames));
        low.Add(PlayQuality(rig, RenderQuality::Low, 3, Frames));
        // What the edge-adaptive filter and its sharpening cost over the device's filter (bilinear
        // on a CPU device): both run at the window's size whatever the scene's scale.
        rig.window.upscaleFilter = UpscaleFilter::Sharpened;
        lowSharpened.Add(PlayQuality(rig, RenderQuality::Low, 3, Frames));
        rig.window.upscaleFilter = UpscaleFilter::Device;
    }
    PrintQuality("auto", automatic, autoSamples);
    PrintQuality("low", low, autoSamples);
    PrintQuality("low, sharpened upscale", lowSharpened, autoSamples);
    // Where the time of the smallest frame goes: what auto cannot scale away.
    rig.window.quality = RenderQuality::Low;
    MeasureFrameBreakdown(rig, "low (s = 0.5, no multisampling)");

    MeasureScaleChanges(rig);
    MeasureUpscaleQuality(rig);

    // Scripted play: the player looks round while zombies come; every sixth second he is hurt,
    // so the HUD draws the damage border.
    constexpr double PlaySeconds = 30.0;
    std::printf("\nauto over %.0f s of play: second, scale at its end, mean frame ms, frames\n", PlaySeconds);
    rig.window.quality = RenderQuality::Auto;
    const auto start = Clock::now();
    auto last = start;
    int second = 0, frames = 0;
    double sumMs = 0.0;
    while (second < int(PlaySeconds)) {
        Frame(rig, true, second % 6 == 5);
        const auto now = Clock::now();
        sumMs += std::chrono::duration<double, std::milli>(now - last).count();
        ++frames;
        last = now;
        if (std::chrono::duration<double>(now - start).count() >= second + 1) {
            std::printf("  %2d  %.2f  %6.2f  %d\n", second + 1, rig.renderer->RenderScale(), sumMs / frames, frames);
            ++second;
            frames = 0;
            sumMs = 0.0;
        }
    }
}

void MeasureRestarts(Rig& rig)
{
    double teardown = 0, recreate = 0, construction = 0;
    std::map<std::string, double> phaseSums;
    for (int i = 0; i < Restarts; ++i) {
        std::printf("\n");
        auto start = Clock::now();
        rig.scene.reset();
        teardown += MillisecondsSince(start);
        start = Clock::now();
        rig.renderer->RecreateFrameResources();
        recreate += MillisecondsSince(start);
        construction += BuildScene(rig, ("restart " + std::to_string(i + 1)).c_str(), &phaseSums);
        Frame(rig);
    }
    std::printf("\nrestart, mean of %d: %.1f ms = teardown %.1f + RecreateFrameResources %.1f + Scene0 %.1f\n",
                Restarts, (teardown + recreate + construction) / Restarts, teardown / Restarts, recreate / Restarts,
                construction / Restarts);
    std::vector<std::pair<std::string, double>> phases(phaseSums.begin(), phaseSums.end());
    std::sort(phases.begin(), phases.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::printf("  Scene0 phases at restart, mean, largest first:\n");
    for (const auto& [name, sum] : phases)
        std::printf("    %-22s %9.1f ms\n", name.c_str(), sum / Restarts);
}

// The pack is read from the working directory: without one there, use the program's own
// directory, the run directory.
void FindThePack()
{
    if (std::filesystem::exists("Assets.bin"))
        return;
    std::filesystem::current_path(std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

} // namespace

int main()
{
    FindThePack();
    PrivateDisplay display;
    // Sound mixes on OpenAL's null driver: real voices, no sound card needed.
    setenv("ALSOFT_DRIVERS", "null", 0);
    // The UI library takes its memory from malloc directly; through operator new it is counted too.
    ImGui::SetAllocatorFunctions([](size_t size, void*) { return ::operator new(size); },
                                 [](void* p, void*) { ::operator delete(p); });
    GameClock::Reset();

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "render_bench: SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    Rig rig;
    rig.window.width = Width;
    rig.window.height = Height;
    rig.window.sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Width, Height,
                                            SDL_WINDOW_VULKAN);
    if (!rig.window.sdlWindow) {
        std::fprintf(stderr, "render_bench: SDL_CreateWindow: %s\n", SDL_GetError());
        return 1;
    }
    // The sections before the qualities' measure the full-size picture with the device's
    // multisampling, as they always have.
    rig.window.quality = RenderQuality::High;
    const bool upscaleOnly = std::getenv("ZORBULON_BENCH_UPSCALE") != nullptr;
    const bool qualitiesOnly = upscaleOnly || std::getenv("ZORBULON_BENCH_QUALITIES") != nullptr;
    try {
        rig.renderer = std::make_unique<VulkanRenderer>(&rig.window);
        rig.window.backend = rig.renderer->backend;
        rig.renderer->Init();
        VkPhysicalDeviceProperties properties;
        vkGetPhysicalDeviceProperties(gpu.physicalDevice, &properties);
        std::printf("device %s, msaa x%d, present mode %d, %ux%u\n\n", properties.deviceName, int(gpu.msaaSamples),
                    int(gpu.presentMode), gpu.swapChainExtent.width, gpu.swapChainExtent.height);

        BuildScene(rig, "start-up");
        rig.window.quality = RenderQuality::High;
        if (!qualitiesOnly) {
            MeasureSteadyPlay(rig);
            MeasureFrameBreakdown(rig, ("multisampling x" + std::to_string(int(gpu.msaaSamples))).c_str());
            MeasureRestarts(rig);
            MeasureWithoutMultisampling(rig);
        }
        if (upscaleOnly) {
            Rebuild(rig, RenderQuality::Auto);
            MeasureUpscaleQuality(rig);
        } else {
            MeasureSampleCosts(rig);
            MeasureQualities(rig);
        }

        rig.scene.reset();
        rig.renderer.reset();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "render_bench: %s\n", e.what());
        return 1;
    }
    SDL_DestroyWindow(rig.window.sdlWindow);
    SDL_Quit();
    return 0;
}

// The process from the launcher to shutdown: the game window, the renderer, the current scene
// and the frame loop with its clamped frame time, frame cap, restart and quit.
#pragma once

#include <cstdint>
#include <functional>

class Application;
class IRenderer;
class Scene;
struct WindowInfo;

void RunLauncher(Application& app);

class Application {
public:
    using RendererFactory = std::function<IRenderer*(WindowInfo*)>;
    using SceneFactory = std::function<Scene*(IRenderer*)>;
    // Asks for the resolution before the game window opens (the launcher window by default).
    using Launcher = std::function<void(Application&)>;

    Scene* scene = nullptr;
    WindowInfo* window = nullptr;
    IRenderer* renderer = nullptr;
    uint32_t frameCap = 0; // frames per second; 0 = no cap
    bool running = true;
    int32_t width = 1920;
    int32_t height = 1080;

    // Runs the launcher, opens the game window, brings the renderer up and builds the first scene.
    Application(RendererFactory makeRenderer, SceneFactory makeScene, const Launcher& launch = RunLauncher);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The frame loop, until the window is closed or the scene asks to quit.
    void Run();
    void PollEvents();
    // Destroys the current scene (if any), rebuilds the renderer's frame resources, builds a new one.
    void RestartScene();

private:
    void Start(const RendererFactory& makeRenderer);
    void Shutdown();

    SceneFactory makeScene_;
    uint32_t lastTicks_ = 0;
    uint32_t currentTicks_ = 0;
};

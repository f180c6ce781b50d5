// The process from the launcher to shutdown: the game window, the renderer, the current scene
// and the frame loop with its clamped frame time, frame cap, restart and quit.
#pragma once

#include "app/FullscreenToggleKeys.h"
#include "app/ModeSwitchFocus.h"
#include "app/WindowInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class Application;
class IRenderer;
class Scene;
void RunLauncher(Application& app);

class Application {
public:
    using RendererFactory = std::function<std::unique_ptr<IRenderer>(WindowInfo*)>;
    using SceneFactory = std::function<std::unique_ptr<Scene>(IRenderer*)>;
    // Asks for the resolution before the game window opens (the launcher window by default).
    using Launcher = std::function<void(Application&)>;

    // Released scene first, then the renderer it draws through, then the window it presents to:
    // by Shutdown, and by the reverse of this order should anything be left.
    std::unique_ptr<WindowInfo> window;
    std::unique_ptr<IRenderer> renderer;
    std::unique_ptr<Scene> scene;
    uint32_t frameCap = 0; // frames per second; 0 = no cap
    bool running = true;
    // What the game window opens with; the launcher shows and edits them, starting from what the
    // caller set (the last choice). width and height are the windowed size, and fullscreen's mode.
    int32_t width = 1920;
    int32_t height = 1080;
    WindowMode windowMode = WindowMode::Windowed;
    bool vsync = false;
    // A line the launcher shows under its button; empty for none.
    std::string launcherNote;

    // Runs the launcher, opens the game window, brings the renderer up and builds the first scene.
    Application(const RendererFactory& makeRenderer, SceneFactory makeScene, const Launcher& launch = RunLauncher);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The frame loop, until the window is closed or the scene asks to quit.
    void Run();
    // The frame's events: Alt+Enter and F11 switch fullscreen and go no further, a resized window
    // updates the sizes, the rest go to the UI and the scene. Then a window mode changed since
    // the last frame (by those keys or by the scene) is applied.
    void PollEvents();
    // Destroys the current scene (if any), rebuilds the renderer's frame resources, builds a new one.
    void RestartScene();

private:
    void Start(const RendererFactory& makeRenderer);
    void Shutdown();
    void ToggleFullscreen();
    void ApplyWindowMode();
    // The window record's drawable size and the scene's UI size from the window as it is now.
    void UpdateWindowSize();

    SceneFactory makeScene_;
    FullscreenToggleKeys toggleKeys_;
    ModeSwitchFocus modeSwitchFocus_;
    WindowMode appliedMode_ = WindowMode::Windowed;
    // The window's size (in window coordinates) before it last left windowed mode.
    int windowedWidth_ = 0;
    int windowedHeight_ = 0;
    // The size the UI lays out in: window coordinates, which high-DPI displays scale.
    int32_t uiWidth_ = 0;
    int32_t uiHeight_ = 0;
    uint32_t lastTicks_ = 0;
    uint32_t currentTicks_ = 0;
};

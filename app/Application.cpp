#include "app/Application.h"

#include "app/DisplayCheck.h"
#include "app/FrameTiming.h"
#include "app/GpuContext.h"
#include "app/IRenderer.h"
#include "app/Launcher.h"
#include "app/Scene.h"
#include "app/WindowInfo.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_vulkan.h>
#include <imgui_impl_sdl.h>

#include <algorithm>
#include <iostream>
#include <limits>

namespace {

// Window-creation flags of a mode. Borderless covers the desktop at its own mode; fullscreen
// switches the display to the mode closest to the window's size.
Uint32 ModeFlags(WindowMode mode)
{
    switch (mode) {
    case WindowMode::Borderless:
        return SDL_WINDOW_FULLSCREEN_DESKTOP;
    case WindowMode::Fullscreen:
        return SDL_WINDOW_FULLSCREEN;
    case WindowMode::Windowed:
        break;
    }
    return 0;
}

uint16_t WindowRecordSize(int pixels)
{
    return static_cast<uint16_t>(std::clamp(pixels, 0, int(std::numeric_limits<uint16_t>::max())));
}

} // namespace

Application::Application(const RendererFactory& makeRenderer, SceneFactory makeScene, const Launcher& launch)
    : makeScene_(std::move(makeScene))
{
    launch(*this);
    // A constructor that throws never reaches the destructor: a failed start (no window, no
    // device, a missing or damaged pack) releases here what it built, in the shutdown order.
    try {
        Start(makeRenderer);
    } catch (...) {
        Shutdown();
        throw;
    }
}

void Application::Start(const RendererFactory& makeRenderer)
{
    // Checked before anything is built: a game without a display would run invisibly forever.
    ExitUnlessDisplay();
    window = std::make_unique<WindowInfo>();
    renderer = makeRenderer(window.get());
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER);
    ExitOnWindowlessDriver();
    window->backend = renderer->backend;
    window->width = static_cast<uint16_t>(width);
    window->height = static_cast<uint16_t>(height);
    window->mode = windowMode;
    window->vsync = vsync;
    appliedMode_ = windowMode;
    windowedWidth_ = width;
    windowedHeight_ = height;
    uiWidth_ = width;
    uiHeight_ = height;

    const Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | ModeFlags(windowMode) |
                         (window->backend == RendererBackend::Vulkan ? SDL_WINDOW_VULKAN : SDL_WINDOW_OPENGL);
    window->sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                         height, flags);
    if (window->backend == RendererBackend::OpenGL)
        window->glContext = SDL_GL_CreateContext(window->sdlWindow);
    // Fullscreen modes and high-DPI displays give a drawable size other than the one asked for.
    UpdateWindowSize();

    renderer->Init();
    if (renderer->backend == RendererBackend::Vulkan)
        frameCap = FrameCapForPresentMode(gpu.presentMode);
    RestartScene();
}

Application::~Application()
{
    // Normally Run() has shut down already; here only after a failure, where nothing may throw.
    try {
        Shutdown();
    } catch (...) {
    }
}

void Application::RestartScene()
{
    if (scene) {
        scene.reset();
        renderer->RecreateFrameResources();
    }
    scene = makeScene_(renderer.get());
    scene->windowWidth = uiWidth_;
    scene->windowHeight = uiHeight_;
}

void Application::UpdateWindowSize()
{
    if (!window || !window->sdlWindow)
        return;
    int drawableWidth = window->width, drawableHeight = window->height;
    if (window->backend == RendererBackend::Vulkan)
        SDL_Vulkan_GetDrawableSize(window->sdlWindow, &drawableWidth, &drawableHeight);
    else
        SDL_GL_GetDrawableSize(window->sdlWindow, &drawableWidth, &drawableHeight);
    window->width = WindowRecordSize(drawableWidth);
    window->height = WindowRecordSize(drawableHeight);
    // The UI lays out in window coordinates (the UI back end scales them to the drawable).
    SDL_GetWindowSize(window->sdlWindow, &uiWidth_, &uiHeight_);
    if (scene) {
        scene->windowWidth = uiWidth_;
        scene->windowHeight = uiHeight_;
    }
}

void Application::ToggleFullscreen()
{
    window->mode = appliedMode_ == WindowMode::Windowed ? WindowMode::Borderless : WindowMode::Windowed;
    ApplyWindowMode();
}

void Application::ApplyWindowMode()
{
    if (!window || window->mode == appliedMode_)
        return;
    if (!window->sdlWindow) {
        appliedMode_ = window->mode;
        return;
    }
    if (appliedMode_ == WindowMode::Windowed)
        SDL_GetWindowSize(window->sdlWindow, &windowedWidth_, &windowedHeight_);
    if (window->mode == WindowMode::Fullscreen) {
        // The display mode closest to the chosen size.
        SDL_DisplayMode mode{};
        mode.w = width;
        mode.h = height;
        if (SDL_SetWindowDisplayMode(window->sdlWindow, &mode) != 0)
            std::cerr << "Zorbulon: no fullscreen mode for " << width << " x " << height << ": " << SDL_GetError()
                      << std::endl;
    }
    if (SDL_SetWindowFullscreen(window->sdlWindow, ModeFlags(window->mode)) != 0) {
        // Not tried again every frame: the player keeps the mode the window has.
        std::cerr << "Zorbulon: could not change the window mode: " << SDL_GetError() << std::endl;
        window->mode = appliedMode_;
        return;
    }
    appliedMode_ = window->mode;
    modeSwitchFocus_.ModeChanged(SDL_GetTicks());
    if (appliedMode_ == WindowMode::Windowed && windowedWidth_ > 0 && windowedHeight_ > 0)
        SDL_SetWindowSize(window->sdlWindow, windowedWidth_, windowedHeight_);
    UpdateWindowSize();
}

void Application::PollEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        const FullscreenToggleKeys::Action action = toggleKeys_.Filter(event);
        if (action == FullscreenToggleKeys::Action::Toggle)
            ToggleFullscreen();
        if (action != FullscreenToggleKeys::Action::Pass || modeSwitchFocus_.Hold(event, SDL_GetTicks()))
            continue;
        // The UI sees every other event first, so the in-game menus work.
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type == SDL_QUIT) {
            running = false;
            return; // the rest stay queued
        }
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            UpdateWindowSize();
        scene->HandleEvent(&event);
    }
    // A focus lost in a mode switch that did not come back: the player did leave.
    if (modeSwitchFocus_.TakeDue(SDL_GetTicks(), event))
        scene->HandleEvent(&event);
    // A mode the scene's options changed last frame.
    ApplyWindowMode();
}

void Application::Run()
{
    uint32_t budgetMs = FrameBudgetMs(frameCap);
    VkPresentModeKHR presentMode = gpu.presentMode;
    while (running) {
        PollEvents();
        lastTicks_ = currentTicks_;
        currentTicks_ = SDL_GetTicks();
        const float dt = FrameDeltaSeconds(lastTicks_, currentTicks_);
        scene->Update(dt);
        scene->Render();
        // A changed vsync setting rebuilt the swap chain with another present mode: FIFO paces
        // the loop by itself, the others need the cap.
        if (renderer->backend == RendererBackend::Vulkan && gpu.presentMode != presentMode) {
            presentMode = gpu.presentMode;
            frameCap = FrameCapForPresentMode(presentMode);
            budgetMs = FrameBudgetMs(frameCap);
        }

        if (frameCap != 0)
            SDL_Delay(budgetMs == 0 ? 0 : FrameCapDelayMs(budgetMs, currentTicks_, SDL_GetTicks()));

        // A restart wins over quit in the same frame: the fresh scene starts with both flags clear.
        if (scene->restartRequested)
            RestartScene();
        else if (scene->quitRequested)
            running = false;
    }
    Shutdown();
}

void Application::Shutdown()
{
    // The renderer's swap chain and surface go before the window they present to, and SDL goes last.
    scene.reset();
    renderer.reset();
    if (window) {
        if (window->backend == RendererBackend::OpenGL)
            SDL_GL_DeleteContext(window->glContext);
        SDL_DestroyWindow(window->sdlWindow);
        window.reset();
    }
    SDL_Quit();
}

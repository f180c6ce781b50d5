#include "app/Application.h"

#include "app/FrameTiming.h"
#include "app/IRenderer.h"
#include "app/Launcher.h"
#include "app/Scene.h"
#include "app/WindowInfo.h"
#include "renderer/GpuContext.h"

#include <SDL2/SDL.h>
#include <imgui_impl_sdl.h>

Application::Application(RendererFactory makeRenderer, SceneFactory makeScene, const Launcher& launch)
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
    window = new WindowInfo();
    renderer = makeRenderer(window);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER);
    window->backend = renderer->backend;
    window->width = static_cast<uint16_t>(width);
    window->height = static_cast<uint16_t>(height);

    if (window->backend == RendererBackend::Vulkan) {
        window->sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                             window->width, window->height, SDL_WINDOW_VULKAN);
    } else {
        window->sdlWindow = SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                             window->width, window->height, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
        window->glContext = SDL_GL_CreateContext(window->sdlWindow);
    }

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
        // Cleared first: a teardown that throws must not leave a pointer to be deleted again.
        Scene* old = scene;
        scene = nullptr;
        delete old;
        renderer->RecreateFrameResources();
    }
    scene = makeScene_(renderer);
    scene->windowWidth = window->width;
    scene->windowHeight = window->height;
}

void Application::PollEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        // The UI sees every event first, so the in-game menus work.
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type == SDL_QUIT) {
            running = false;
            return; // the rest stay queued
        }
        scene->HandleEvent(&event);
    }
}

void Application::Run()
{
    const uint32_t budgetMs = FrameBudgetMs(frameCap);
    while (running) {
        PollEvents();
        lastTicks_ = currentTicks_;
        currentTicks_ = SDL_GetTicks();
        const float dt = FrameDeltaSeconds(lastTicks_, currentTicks_);
        scene->Update(dt);
        scene->Render();

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
    Scene* old = scene;
    scene = nullptr;
    delete old;
    IRenderer* oldRenderer = renderer;
    renderer = nullptr;
    delete oldRenderer;
    if (window) {
        if (window->backend == RendererBackend::OpenGL)
            SDL_GL_DeleteContext(window->glContext);
        SDL_DestroyWindow(window->sdlWindow);
        window->sdlWindow = nullptr;
        delete window;
        window = nullptr;
    }
    SDL_Quit();
}

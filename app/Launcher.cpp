#include "app/Launcher.h"

#include "app/Application.h"
#include "app/UiSettings.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_impl_sdl.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

constexpr int LauncherWidth = 1280;
constexpr int LauncherHeight = 720;
constexpr Uint32 IdleFrameMilliseconds = 16;

[[noreturn]] void Fail(const char* what)
{
    std::cerr << what << SDL_GetError() << std::endl;
    std::exit(1);
}

} // namespace

void ClampResolution(int& width, int& height)
{
    width = std::clamp(width, MinWindowWidth, MaxWindowSize);
    height = std::clamp(height, MinWindowHeight, MaxWindowSize);
}

LauncherWindow OpenLauncherWindow()
{
    // Game controllers drive the panel too.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0)
        Fail("Failed to initialize SDL: ");
    LauncherWindow launcher;
    launcher.window = SDL_CreateWindow("Choose Resolution", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       LauncherWidth, LauncherHeight, SDL_WINDOW_OPENGL);
    if (!launcher.window)
        Fail("Failed to create SDL window: ");
    launcher.context = SDL_GL_CreateContext(launcher.window);
    if (!launcher.context)
        Fail("Failed to create OpenGL context: ");
    if (SDL_GL_MakeCurrent(launcher.window, launcher.context) != 0)
        Fail("Failed to make OpenGL context current: ");

    // Pace the launcher to the display (or, where vsync is unavailable, to about 60 frames per
    // second) so a window that only waits for input does not spin a core.
    launcher.vsync = SDL_GL_SetSwapInterval(1) == 0;

    ImGui::CreateContext();
    ApplyUiSettings();
    ImGui_ImplSDL2_InitForOpenGL(launcher.window, launcher.context);
    ImGui_ImplOpenGL3_Init("#version 330");
    return launcher;
}

bool DrawLauncherFrame(const LauncherWindow& launcher, int& width, int& height)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type == SDL_QUIT)
            std::exit(0);
    }
    ImGui_ImplSDL2_NewFrame();
    ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    SDL_SetRelativeMouseMode(SDL_FALSE);

    bool startPressed = false;
    // A 300 x 150 panel centred in the 1280 x 720 window, whatever size the window manager gave.
    ImGui::SetNextWindowPos(ImVec2(490, 285), ImGuiCond_Always, ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(300, 150), ImGuiCond_Always);
    ImGui::Begin("Resolution Settings", nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove);
    ImGui::InputInt("Width", &width, 1, 100);
    ImGui::InputInt("Height", &height, 1, 100);
    if (ImGui::Button("Start Game")) {
        ClampResolution(width, height);
        startPressed = true;
    }
    // A pad's A starts at once; the d-pad reaches the fields.
    ImGui::SetItemDefaultFocus();
    ImGui::End();
    ImGui::Render();

    glViewport(0, 0, LauncherWidth, LauncherHeight);
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(launcher.window);
    if (!launcher.vsync)
        SDL_Delay(IdleFrameMilliseconds);
    return startPressed;
}

void CloseLauncherWindow(LauncherWindow& launcher)
{
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_DeleteContext(launcher.context);
    SDL_DestroyWindow(launcher.window);
    launcher = LauncherWindow{};
    // What the closed window still had to say (hidden, closed, left) is not the game's business.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    // SDL stays initialised for the game window: shutting its video down here and bringing it up
    // again at once, right after an OpenGL window, now and then leaves SDL without its X11 driver
    // (it falls back to one without Vulkan, and the game window cannot open). The application's
    // shutdown quits SDL.
}

void RunLauncher(Application& app)
{
    LauncherWindow launcher = OpenLauncherWindow();
    while (!DrawLauncherFrame(launcher, app.width, app.height)) {
    }
    CloseLauncherWindow(launcher);
}

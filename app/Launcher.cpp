#include "app/Launcher.h"

#include "app/Application.h"
#include "app/DisplayCheck.h"
#include "app/UiSettings.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_impl_sdl.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>

namespace {

constexpr int LauncherWidth = 1280;
constexpr int LauncherHeight = 720;
constexpr Uint32 IdleFrameMilliseconds = 16;
// The panel, centred in the launcher window; it fits the longest label beside its combo.
constexpr float PanelWidth = 360.0f;
constexpr float PanelHeight = 170.0f;

constexpr const char* ModeNames[] = {"Windowed", "Borderless fullscreen", "Fullscreen"};

[[noreturn]] void Fail(const char* what)
{
    std::cerr << what << SDL_GetError() << std::endl;
    std::exit(1);
}

// The sizes of every mode of the display the launcher window is on.
std::vector<DisplaySize> DisplayModeSizes(SDL_Window* window)
{
    std::vector<DisplaySize> modes;
    const int display = SDL_GetWindowDisplayIndex(window);
    const int count = display < 0 ? 0 : SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) == 0)
            modes.push_back({mode.w, mode.h});
    }
    return DistinctSizesLargestFirst(std::move(modes));
}

// The combo of display sizes: picking one fills the fields; typed values that match none show
// as "Custom".
void SizeCombo(const LauncherWindow& launcher, int& width, int& height)
{
    const auto current = std::find(launcher.sizes.begin(), launcher.sizes.end(), DisplaySize{width, height});
    const char* preview = current == launcher.sizes.end()
                              ? "Custom"
                              : launcher.sizeLabels[size_t(current - launcher.sizes.begin())].c_str();
    if (!ImGui::BeginCombo("Display size", preview))
        return;
    for (size_t i = 0; i < launcher.sizes.size(); ++i) {
        const bool selected = current == launcher.sizes.begin() + std::ptrdiff_t(i);
        if (ImGui::Selectable(launcher.sizeLabels[i].c_str(), selected)) {
            width = launcher.sizes[i].width;
            height = launcher.sizes[i].height;
        }
        if (selected)
            ImGui::SetItemDefaultFocus();
    }
    ImGui::EndCombo();
}

void ModeCombo(WindowMode& mode)
{
    int index = std::clamp(int(mode), 0, int(std::size(ModeNames)) - 1);
    if (ImGui::Combo("Window", &index, ModeNames, int(std::size(ModeNames))))
        mode = WindowMode(index);
}

} // namespace

void ClampResolution(int& width, int& height)
{
    width = std::clamp(width, MinWindowWidth, MaxWindowSize);
    height = std::clamp(height, MinWindowHeight, MaxWindowSize);
}

LauncherWindow OpenLauncherWindow()
{
    // Without a display the window would open nowhere and wait for a click no one can make.
    ExitUnlessDisplay();
    // Game controllers drive the panel too.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0)
        Fail("Failed to initialize SDL: ");
    ExitOnWindowlessDriver();
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

    launcher.sizes = DisplayModeSizes(launcher.window);
    for (const DisplaySize& size : launcher.sizes)
        launcher.sizeLabels.push_back(std::to_string(size.width) + " x " + std::to_string(size.height));
    return launcher;
}

bool DrawLauncherFrame(const LauncherWindow& launcher, int& width, int& height, WindowMode& mode,
                       const std::string& note)
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
    // The panel centred in the 1280 x 720 window, whatever size the window manager gave.
    ImGui::SetNextWindowPos(ImVec2(LauncherWidth / 2.0f, LauncherHeight / 2.0f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(PanelWidth, PanelHeight), ImGuiCond_Always);
    ImGui::Begin("Resolution Settings", nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove);
    SizeCombo(launcher, width, height);
    ImGui::InputInt("Width", &width, 1, 100);
    ImGui::InputInt("Height", &height, 1, 100);
    ModeCombo(mode);
    if (ImGui::Button("Start Game")) {
        ClampResolution(width, height);
        startPressed = true;
    }
    // A pad's A starts at once; the d-pad reaches the fields above. The button is the last item
    // that takes focus, so a first d-pad press, which only shows the cursor, keeps it there.
    ImGui::SetItemDefaultFocus();
    if (!note.empty())
        ImGui::TextUnformatted(note.c_str());
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
    while (!DrawLauncherFrame(launcher, app.width, app.height, app.windowMode, app.launcherNote)) {
    }
    CloseLauncherWindow(launcher);
}

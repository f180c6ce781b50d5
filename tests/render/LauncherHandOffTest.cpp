// From the launcher's OpenGL window to the game's Vulkan window, as the game does it, on a real X
// server: SDL stays up in between (bringing it down drops the display connection, and an X server
// left without clients resets and refuses the game's new one for a moment), and a game window
// that could not open is reported by the renderer, not met with a crash.
#include "app/Launcher.h"
#include "app/WindowInfo.h"
#include "renderer/VulkanRenderer.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(LauncherHandOff, SdlStaysUpFromTheLauncherToTheGameWindow)
{
    LauncherWindow launcher = OpenLauncherWindow();
    const std::string driver = SDL_GetCurrentVideoDriver();
    ASSERT_EQ(driver, "x11");
    int width = 1280, height = 720;
    WindowMode mode = WindowMode::Borderless;
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_FALSE(DrawLauncherFrame(launcher, width, height, mode, "Best round: 3")); // nobody pressed Start
    EXPECT_EQ(mode, WindowMode::Borderless) << "the launcher did not keep the mode it was given";
    CloseLauncherWindow(launcher);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "the launcher shut SDL's video down";

    // What the application does next, then at its shutdown.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    EXPECT_EQ(SDL_GetCurrentVideoDriver(), driver);
    SDL_Window* game =
        SDL_CreateWindow("Zorbulon", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1280, 720, SDL_WINDOW_VULKAN);
    EXPECT_NE(game, nullptr) << SDL_GetError();
    if (game)
        SDL_DestroyWindow(game);
    SDL_Quit();
}

TEST(LauncherHandOff, AGameWindowThatDidNotOpenIsReported)
{
    WindowInfo window{};
    window.backend = RendererBackend::Vulkan;
    window.width = 1280;
    window.height = 720;
    VulkanRenderer renderer(&window);
    try {
        renderer.Init();
        FAIL() << "Init went on without a window";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "failed to create window");
    }
}

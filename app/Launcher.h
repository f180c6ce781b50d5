// The resolution launcher shown before the game window: an OpenGL window "Choose Resolution"
// with the display's sizes, two integer fields, the window mode and a "Start Game" button.
#pragma once

#include "app/DisplaySizes.h"
#include "app/WindowInfo.h"

#include <SDL2/SDL.h>

#include <string>
#include <vector>

class Application;

// Returns once "Start Game" was pressed, with the application's width, height and window mode
// set; shows its launcherNote. Closing the window ends the process with code 0; a set-up failure
// prints SDL's error and exits with 1, and so does a machine without a display.
void RunLauncher(Application& app);

// RunLauncher's steps: open the window with its UI, draw frames until one returns true (the
// button was pressed), close it. SDL stays initialised after the close, for the game window.
struct LauncherWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool vsync = false;
    // The display's sizes, largest first, and their combo labels ("1920 x 1080").
    std::vector<DisplaySize> sizes;
    std::vector<std::string> sizeLabels;
};
LauncherWindow OpenLauncherWindow();
// One frame of the panel, editing the fields in place; `note` is a line of text shown under the
// button (empty: none).
bool DrawLauncherFrame(const LauncherWindow& launcher, int& width, int& height, WindowMode& mode,
                       const std::string& note = {});
void CloseLauncherWindow(LauncherWindow& launcher);

// The sizes the button accepts: at least 1280 x 720, and no more than a window can be.
void ClampResolution(int& width, int& height);

inline constexpr int MinWindowWidth = 1280;
inline constexpr int MinWindowHeight = 720;
// Larger windows cannot get a swap chain on any device we know, and the window record keeps
// only 16 bits: a typed 65536 would otherwise become a zero-sized window.
inline constexpr int MaxWindowSize = 16384;

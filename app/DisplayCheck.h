// Whether the game can show a window at all. Without a display (as over SSH) SDL falls back to a
// driver without visible windows, and the launcher would wait forever for a click; the game
// says so and exits instead, unless the person chose a video driver themselves.
#pragma once

#include <string>

// Why no window can be shown, starting "no display: ", from DISPLAY, WAYLAND_DISPLAY and the
// chosen video driver (SDL_VIDEODRIVER or its hint); empty when a display or a driver is given.
// Null and empty values both count as unset.
std::string NoDisplayReason(const char* display, const char* waylandDisplay, const char* chosenDriver);

// After SDL_Init: the same message when SDL settled on a driver without visible windows
// ("offscreen", "dummy") that nobody asked for; empty otherwise.
std::string WindowlessDriverReason(const char* currentDriver, const char* chosenDriver);

// Print the reason on standard error and exit with code 1, when there is one. The first is
// called before SDL_Init, the second after it.
void ExitUnlessDisplay();
void ExitOnWindowlessDriver();

#include "app/DisplayCheck.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

bool Given(const char* value)
{
    return value && *value;
}

// The driver asked for: the environment variable, or the hint a program (a test) set.
const char* ChosenDriver()
{
    return SDL_GetHint(SDL_HINT_VIDEODRIVER);
}

[[noreturn]] void ExitWith(const std::string& reason)
{
    std::cerr << reason << std::endl;
    std::exit(1);
}

} // namespace

std::string NoDisplayReason(const char* display, const char* waylandDisplay, const char* chosenDriver)
{
    if (Given(display) || Given(waylandDisplay) || Given(chosenDriver))
        return {};
    return "no display: DISPLAY and WAYLAND_DISPLAY are unset; set SDL_VIDEODRIVER to choose a video driver";
}

std::string WindowlessDriverReason(const char* currentDriver, const char* chosenDriver)
{
    if (Given(chosenDriver) || !currentDriver)
        return {};
    if (std::strcmp(currentDriver, "offscreen") != 0 && std::strcmp(currentDriver, "dummy") != 0)
        return {};
    return std::string("no display: SDL could not reach one and fell back to its \"") + currentDriver +
           "\" video driver; set SDL_VIDEODRIVER to choose a video driver";
}

void ExitUnlessDisplay()
{
    const std::string reason = NoDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), ChosenDriver());
    if (!reason.empty())
        ExitWith(reason);
}

void ExitOnWindowlessDriver()
{
    const std::string reason = WindowlessDriverReason(SDL_GetCurrentVideoDriver(), ChosenDriver());
    if (!reason.empty())
        ExitWith(reason);
}

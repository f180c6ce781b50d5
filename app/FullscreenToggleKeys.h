// Alt+Enter and F11, the keys that switch the game window between windowed and borderless
// fullscreen. They are taken out of the event stream before the UI and the scene see it: the
// Enter of Alt+Enter must not also press a menu's button or reach the game.
#pragma once

#include <SDL2/SDL.h>

class FullscreenToggleKeys {
public:
    enum class Action { Pass, Swallow, Toggle };

    // What to do with an event: Toggle for the key press (repeats are swallowed, not toggled
    // again), Swallow for its release, Pass for everything else.
    Action Filter(const SDL_Event& event);

private:
    // The key that toggled and has not been released yet: its release is swallowed even when
    // Alt was let go first.
    SDL_Scancode held = SDL_SCANCODE_UNKNOWN;
};

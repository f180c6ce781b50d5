#include "app/FullscreenToggleKeys.h"

namespace {

bool IsToggleCombination(const SDL_Keysym& key)
{
    if (key.sym == SDLK_F11)
        return true;
    return (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && (key.mod & KMOD_ALT) != 0;
}

} // namespace

FullscreenToggleKeys::Action FullscreenToggleKeys::Filter(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN) {
        if (event.key.keysym.scancode == held && held != SDL_SCANCODE_UNKNOWN)
            return Action::Swallow; // auto-repeat of the held combination
        if (!IsToggleCombination(event.key.keysym))
            return Action::Pass;
        held = event.key.keysym.scancode;
        return event.key.repeat ? Action::Swallow : Action::Toggle;
    }
    if (event.type == SDL_KEYUP && held != SDL_SCANCODE_UNKNOWN && event.key.keysym.scancode == held) {
        held = SDL_SCANCODE_UNKNOWN;
        return Action::Swallow;
    }
    return Action::Pass;
}

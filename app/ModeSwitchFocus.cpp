#include "app/ModeSwitchFocus.h"

void ModeSwitchFocus::ModeChanged(uint32_t nowTicks)
{
    switched_ = true;
    switchTicks_ = nowTicks;
}

bool ModeSwitchFocus::Hold(const SDL_Event& event, uint32_t nowTicks)
{
    if (event.type != SDL_WINDOWEVENT)
        return false;
    if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        holding_ = false; // it was the switch, not the player
        return false;
    }
    if (event.window.event != SDL_WINDOWEVENT_FOCUS_LOST || !InGrace(nowTicks))
        return false;
    held_ = event;
    holding_ = true;
    return true;
}

bool ModeSwitchFocus::TakeDue(uint32_t nowTicks, SDL_Event& event)
{
    if (!holding_ || InGrace(nowTicks))
        return false;
    holding_ = false;
    event = held_;
    return true;
}

// Window managers take the focus away for a moment while a window changes between windowed and
// fullscreen. The game pauses when it loses the focus, so such a loss is held back for a short
// while after a mode change and dropped if the focus comes back; one that lasts is delivered.
#pragma once

#include <SDL2/SDL_events.h>

#include <cstdint>

class ModeSwitchFocus {
public:
    // Long enough for a window manager's reparenting round trip, short enough that a player who
    // really switched away finds the game paused when they look back.
    static constexpr uint32_t GraceMilliseconds = 1000;

    void ModeChanged(uint32_t nowTicks);
    // True when `event` is held back (a focus loss in the grace period after a mode change).
    bool Hold(const SDL_Event& event, uint32_t nowTicks);
    // The held focus loss, once the grace period ended without the focus coming back.
    bool TakeDue(uint32_t nowTicks, SDL_Event& event);

private:
    bool InGrace(uint32_t nowTicks) const { return switched_ && nowTicks - switchTicks_ < GraceMilliseconds; }

    bool switched_ = false;
    uint32_t switchTicks_ = 0;
    bool holding_ = false;
    SDL_Event held_{};
};

// A game-time point with a started flag: the shape of every gameplay timer.
#pragma once

#include "app/GameClock.h"

struct GameTimer {
    GameClock::TimePoint start{};
    bool started = false;

    void Start()
    {
        start = GameClock::Now();
        started = true;
    }
    void Stop() { started = false; }
    // Fractional seconds since Start().
    float Seconds() const { return SecondsSince(start); }
    // Whole seconds since Start(), as the coarse game timers compare them.
    float WholeSeconds() const { return WholeSecondsSince(start); }
};

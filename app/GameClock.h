// The one source of "now" for game timers. The game reads the steady clock; tests switch
// to a manual clock and advance it by hand, so timed gameplay is deterministic and fast.
#pragma once

#include <chrono>

class GameClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;

    static TimePoint Now();

    // Manual time for tests: Now() returns a fixed time point that only Advance moves.
    static void UseManualTime();
    static void Advance(Duration step);
    static void AdvanceSeconds(double seconds);
    // Back to the steady clock.
    static void UseSteadyClock();
    static bool IsManual();
};

// Seconds from `start` to now, as a float (fractional).
float SecondsSince(GameClock::TimePoint start);
// Seconds from `start` to now truncated to whole seconds, as a float: the game's coarse timers.
float WholeSecondsSince(GameClock::TimePoint start);

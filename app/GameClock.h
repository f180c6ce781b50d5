// The one source of "now" for gameplay timers: game time, which moves only when the running game
// advances it by its frame's clamped dt. A pause, a minimised window or a stall therefore never
// reaches a timer, and tests drive time by hand with the same calls the game makes.
#pragma once

#include <chrono>

class GameClock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    static TimePoint Now();
    static void Advance(Duration step);
    static void AdvanceSeconds(double seconds);
    // Back to the start of game time (tests begin each case here).
    static void Reset();
};

// Seconds from `start` to now, as a float (fractional).
float SecondsSince(GameClock::TimePoint start);
// Seconds from `start` to now truncated to whole seconds, as a float: the game's coarse timers.
float WholeSecondsSince(GameClock::TimePoint start);

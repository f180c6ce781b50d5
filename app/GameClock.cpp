#include "app/GameClock.h"

namespace {
bool manual = false;
// Manual time starts well away from the epoch so that "zero" time points stay in the past.
GameClock::TimePoint manualNow = GameClock::TimePoint{} + std::chrono::hours(1);
} // namespace

GameClock::TimePoint GameClock::Now() { return manual ? manualNow : Clock::now(); }

void GameClock::UseManualTime()
{
    manualNow = Clock::now();
    manual = true;
}

void GameClock::Advance(Duration step) { manualNow += step; }

void GameClock::AdvanceSeconds(double seconds)
{
    Advance(std::chrono::duration_cast<Duration>(std::chrono::duration<double>(seconds)));
}

void GameClock::UseSteadyClock() { manual = false; }

bool GameClock::IsManual() { return manual; }

float SecondsSince(GameClock::TimePoint start)
{
    return std::chrono::duration<float>(GameClock::Now() - start).count();
}

float WholeSecondsSince(GameClock::TimePoint start)
{
    return static_cast<float>(std::chrono::duration_cast<std::chrono::seconds>(GameClock::Now() - start).count());
}

#include "app/GameClock.h"

namespace {
// Game time starts well away from the epoch so that "zero" time points stay in the past.
const GameClock::TimePoint Start = GameClock::TimePoint{} + std::chrono::hours(1);
GameClock::TimePoint now = Start;
} // namespace

GameClock::TimePoint GameClock::Now()
{
    return now;
}

void GameClock::Advance(Duration step)
{
    // Time never runs backwards, whatever a caller passes.
    if (step > Duration::zero())
        now += step;
}

void GameClock::AdvanceSeconds(double seconds)
{
    Advance(std::chrono::duration_cast<Duration>(std::chrono::duration<double>(seconds)));
}

void GameClock::Reset()
{
    now = Start;
}

float SecondsSince(GameClock::TimePoint start)
{
    return std::chrono::duration<float>(GameClock::Now() - start).count();
}

float WholeSecondsSince(GameClock::TimePoint start)
{
    return static_cast<float>(std::chrono::duration_cast<std::chrono::seconds>(GameClock::Now() - start).count());
}

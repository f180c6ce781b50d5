#include "app/PhaseStopwatch.h"

PhaseStopwatch::PhaseStopwatch(ScenePhaseTime* phases, int& count)
    : phases_(phases), count_(count), start_(std::chrono::steady_clock::now())
{}

void PhaseStopwatch::Lap(const char* name)
{
    const auto now = std::chrono::steady_clock::now();
    if (count_ < MaxScenePhases)
        phases_[count_++] = {name, std::chrono::duration<double, std::milli>(now - start_).count()};
    start_ = now;
}

// Load-time profiling: wall-clock time of each step of a construction. Wall clock on purpose:
// game time stands still while a scene is being built.
#pragma once

#include <chrono>

// Wall-clock time of one construction step.
struct ScenePhaseTime {
    const char* name = nullptr;
    double milliseconds = 0.0;
};
inline constexpr int MaxScenePhases = 16;

class PhaseStopwatch {
public:
    // Laps are written into `phases`, counted in `count`, up to MaxScenePhases of them.
    PhaseStopwatch(ScenePhaseTime* phases, int& count);
    // Records the time since the previous lap (or the start) under `name`.
    void Lap(const char* name);

private:
    ScenePhaseTime* phases_;
    int& count_;
    std::chrono::steady_clock::time_point start_;
};

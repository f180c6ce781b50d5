// How fast zombies move, animate and reach at each difficulty, and the process-wide difficulty
// the scene sets at every round change.
#pragma once

#include <cstdint>

struct ZombieTuning {
    float moveFactor;      // pursuit gain per second: the step is proportional to the distance
    float walkAnimSpeed;   // playback speed of the walk or run clip
    float attackAnimSpeed; // playback speed of the swing
    float attackRange;     // Seek turns into Attack below this distance
};

inline constexpr uint8_t MaxRoundDifficulty = 4;

// Difficulties above the table's last row use the last row.
ZombieTuning TuningForDifficulty(uint8_t difficulty);

// 0 to 4, written by the scene when a round starts and read by every zombie's update.
extern uint8_t roundDifficulty;

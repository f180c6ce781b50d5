#include "game/actors/ZombieTuning.h"

#include <algorithm>

uint8_t roundDifficulty = 0;

ZombieTuning TuningForDifficulty(uint8_t difficulty)
{
    static constexpr ZombieTuning table[MaxRoundDifficulty + 1] = {
        {0.25f, 1.3f, 1.0f, 2.0f}, {0.4f, 1.5f, 1.5f, 2.3f}, {1.0f, 1.0f, 2.0f, 2.3f},
        {2.0f, 1.4f, 2.0f, 2.3f},  {3.0f, 1.8f, 2.0f, 2.0f},
    };
    return table[std::min(difficulty, MaxRoundDifficulty)];
}

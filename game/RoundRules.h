// How many zombies a round brings, how hard they are and how fast they come.
#pragma once

#include <cstdint>

struct RoundSettings {
    uint8_t difficulty;  // the zombies' tuning row
    float spawnInterval; // whole seconds between spawns must reach this
};

// 2 x round + 4, at least 1 and at most the pool of 24.
uint32_t ZombiesForRound(uint16_t round);
// Round 0 (after the counter wraps) plays like round 1.
RoundSettings SettingsForRound(uint16_t round);

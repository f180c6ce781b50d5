// What the player has achieved, kept from one run to the next: the best round reached and when.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

struct GameRecords {
    uint32_t bestRound = 0;      // 0: no round reached yet
    std::time_t bestRoundAt = 0; // when it was first reached (seconds since the epoch); 0 unknown

    // Counts `round` if it beats the best; true when it did.
    bool Reach(uint32_t round, std::time_t now)
    {
        if (round <= bestRound)
            return false;
        bestRound = round;
        bestRoundAt = now;
        return true;
    }

    bool operator==(const GameRecords&) const = default;
};

// "Best round: 7 (reached 2026-12-08)" for the launcher; empty before any round was reached.
std::string BestRoundNote(const GameRecords& records);

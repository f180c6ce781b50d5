#include "game/RoundRules.h"

#include <algorithm>

uint32_t ZombiesForRound(uint16_t round)
{
    // The pool holds 24 zombies: no round can ask for more.
    return static_cast<uint32_t>(std::clamp(2 * static_cast<int>(round) + 4, 1, 24));
}

RoundSettings SettingsForRound(uint16_t round)
{
    if (round <= 1)
        return {0, 4.4f};
    if (round == 2)
        return {1, 4.0f};
    if (round <= 5)
        return {2, 3.0f};
    if (round <= 10)
        return {3, 2.8f};
    return {4, 2.4f};
}

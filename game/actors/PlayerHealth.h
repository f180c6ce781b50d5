// The player's health: blows and the puddle's fire take it, and after three quiet seconds it
// climbs back to full.
#pragma once

#include "app/GameClock.h"

#include <glm/glm.hpp>

struct PlayerSounds;

class PlayerHealth {
public:
    explicit PlayerHealth(const PlayerSounds& sounds);

    float& Points() { return points_; }

    // A blow of `amount`; `cry`: he cries out at `position`.
    void Hurt(float amount, bool cry, const glm::vec3& position);
    // Burning from `from` to `to` in game time (nothing when that is empty); the quiet spell
    // starts at its end.
    void Burn(GameClock::TimePoint from, GameClock::TimePoint to);
    // Climbs back for the part of dt past the quiet spell, while he lives.
    void Regenerate(float dt);

private:
    const PlayerSounds& sounds_;
    GameClock::TimePoint hitTime_{}; // the last moment he was hurt
    float points_;
    bool wasHurt_ = false;
};

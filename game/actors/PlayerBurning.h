// The sound of the player burning while he stands in the puddle: once at the first touch of a
// shot's puddle, then every 0.3 s for as long as he stays in it.
#pragma once

#include "app/GameClock.h"

#include <glm/glm.hpp>

struct PlayerSounds;

class PlayerBurning {
public:
    explicit PlayerBurning(const PlayerSounds& sounds);

    const bool& FirstBurnPending() const { return firstBurnPending_; }

    // He stands in fire this frame, at `position`.
    void Touch(const glm::vec3& position);
    // Once a frame while he lives, after the puddle's contacts: repeats the sound while he burns.
    void Tend(const glm::vec3& position);
    // A new shot: its puddle's first touch sounds at once again.
    void Reset();

private:
    const PlayerSounds& sounds_;
    GameClock::TimePoint burnTime_{}; // start of the interval to the next sound
    bool inFire_ = false;
    bool timerRunning_ = false;
    bool firstBurnPending_ = true;
};

#include "game/actors/PlayerBurning.h"

#include "game/SoundManager.h"
#include "game/actors/PlayerSounds.h"

namespace {

constexpr float BurnSoundInterval = 0.3f; // seconds between sounds while in fire

} // namespace

PlayerBurning::PlayerBurning(const PlayerSounds& sounds) : sounds_(sounds) {}

void PlayerBurning::Touch(const glm::vec3& position)
{
    if (firstBurnPending_) {
        sounds_.manager.PlaySound3D(sounds_.burning, position, false);
        firstBurnPending_ = false;
        timerRunning_ = false;
    }
    inFire_ = true;
}

void PlayerBurning::Tend(const glm::vec3& position)
{
    if (inFire_ && !firstBurnPending_) {
        if (!timerRunning_) {
            burnTime_ = GameClock::Now();
            timerRunning_ = true;
        }
        if (SecondsSince(burnTime_) >= BurnSoundInterval) {
            sounds_.manager.PlaySound3D(sounds_.burning, position, false);
            timerRunning_ = false;
        }
    }
    inFire_ = false;
}

void PlayerBurning::Reset()
{
    inFire_ = false;
    timerRunning_ = false;
    firstBurnPending_ = true;
}

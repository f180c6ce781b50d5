#include "game/actors/PlayerBurning.h"

#include "game/SoundManager.h"

namespace {

constexpr float BurnSoundInterval = 0.3f; // seconds between sounds while in fire
constexpr float BurnVolume = 2.0f;        // mixed louder than the default

} // namespace

PlayerBurning::PlayerBurning(SoundManager& sounds) : sounds_(sounds)
{
    sounds_.SetAuthoredVolume("Burning", BurnVolume);
    burning_ = sounds_.Resolve("Burning");
}

void PlayerBurning::Touch(const glm::vec3& position)
{
    if (firstBurnPending_) {
        sounds_.PlaySound3D(burning_, position, false);
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
            sounds_.PlaySound3D(burning_, position, false);
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

#include "game/actors/PlayerFootsteps.h"

#include "game/SoundManager.h"
#include "game/actors/PlayerSounds.h"
#include "scene/components/AnimationComponent.h"

#include <cstdlib>

namespace {

// The walk clip in 25ths of its length: the feet come down at 10/25 (40%) and 20/25 (80%).
constexpr float ClipParts = 25.0f;
constexpr float FirstStep = 10.0f;
constexpr float SecondStep = 20.0f;
constexpr float Wrapped = 3.0f; // ticks: a time this early means the clip started again

} // namespace

PlayerFootsteps::PlayerFootsteps(const PlayerSounds& sounds) : sounds_(sounds) {}

void PlayerFootsteps::Tend(const AnimationComponent& walk, const glm::vec3& position)
{
    const float t = walk.currentTime;
    const float duration = walk.currentAnimation->duration;
    if (duration <= 0.0f)
        return;
    const float f = duration / ClipParts;
    if (t >= FirstStep * f && t < SecondStep * f && !firstPlayed_) {
        sounds_.manager.PlaySound3D(sounds_.firstSteps[std::rand() % 2], position, false);
        firstPlayed_ = true;
    }
    if (t >= SecondStep * f && !secondPlayed_) {
        sounds_.manager.PlaySound3D(sounds_.secondSteps[std::rand() % 2], position, false);
        secondPlayed_ = true;
    }
    // The clip wrapped: the next cycle's steps may sound again.
    if (t <= Wrapped) {
        firstPlayed_ = false;
        secondPlayed_ = false;
    }
}

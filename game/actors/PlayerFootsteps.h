// The player's footsteps: his walk clip puts a foot down at 40% and at 80% of its length, and
// each sounds once a cycle, one of two sounds at random.
#pragma once

#include <glm/glm.hpp>

class AnimationComponent;
struct PlayerSounds;

class PlayerFootsteps {
public:
    explicit PlayerFootsteps(const PlayerSounds& sounds);

    // While he walks: sounds the step `walk`'s clip has reached, at `position`.
    void Tend(const AnimationComponent& walk, const glm::vec3& position);

private:
    const PlayerSounds& sounds_;
    bool firstPlayed_ = false;
    bool secondPlayed_ = false;
};

// Plays one clip at a time on an actor and keeps the 100 final bone matrices the animated
// shader reads.
#pragma once

#include "assets/Component.h"
#include "scene/components/Animation.h"

#include <glm/glm.hpp>

#include <memory>

class AnimationComponent : public Component {
public:
    std::shared_ptr<Animation> currentAnimation;
    glm::mat4 finalBoneMatrices[MaxBones];
    float currentTime = 0.0f; // ticks
    bool loop = true;
    bool finished = false;
    float speed = 1.0f;

    AnimationComponent(std::shared_ptr<Animation> clip, float speed);

    // Always restarts, even when `clip` is already playing.
    void PlayAnimation(std::shared_ptr<Animation> clip, bool loop, float speed);
    // Advances the clock by dt seconds and, unless skipBones, recomputes the bone matrices.
    void Update(bool skipBones, float dt);
};

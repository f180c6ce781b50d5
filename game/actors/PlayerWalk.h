// How the player walks: a direction from his keys and stick turned into a step on the ground,
// settled against the level piece by piece; the clip that goes with it (stand, walk, fall); and
// the bone that bends his upper body with the camera's pitch.
#pragma once

#include "collision/Object.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class Animation;
class AnimationComponent;
class Bone;
class DynamicActor;
class TransformComponent;

class PlayerWalk {
public:
    PlayerWalk(DynamicActor& body, TransformComponent& transform, AnimationComponent& animation);

    // Walks along `direction` for dt at up to `speed` and plays the walk clip; false, and the
    // standing clip, when the direction is nothing.
    bool Step(const glm::vec3& direction, float speed, float dt);
    // Turns him to face the camera's horizontal forward.
    void Face(const glm::vec3& forward);
    // Against the level alone, after every other push: resolved before the frame is drawn, so the
    // view never shows him inside a wall, and no crowd can shove him through one.
    void Settle();
    // The upper body bends with the camera's pitch instead of following the clip.
    void BendWithPitch(float pitchDegrees);
    void Fall();

private:
    void PlayClip(const std::shared_ptr<Animation>& clip, bool loop);

    DynamicActor& body_;
    TransformComponent& transform_;
    AnimationComponent& animation_;
    std::shared_ptr<Animation> idleClip_;
    std::shared_ptr<Animation> walkClip_;
    std::shared_ptr<Animation> deathClip_;
    // Every tag but the level's (ground and scenery), for settling against walls alone.
    std::vector<int32_t> levelOnlyIgnoreTags_{ZombieBodyTag, RayTag, ProjectileTag};
    Bone* pitchBone_ = nullptr; // bone 0 of the current clip
};

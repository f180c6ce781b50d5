#include "game/actors/PlayerWalk.h"

#include "math/MathUtils.h"
#include "renderer/AssetRegistry.h"
#include "scene/actors/DynamicActor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float MaxWalkPiece = 0.2f; // under half the body's radius of 0.45
constexpr float NoLength = 1e-7f;
constexpr int PitchBoneId = 0; // fixed in the character models' skeleton

} // namespace

PlayerWalk::PlayerWalk(DynamicActor& body, TransformComponent& transform, AnimationComponent& animation)
    : body_(body), transform_(transform), animation_(animation)
{
    idleClip_ = assetRegistry->GetAnimation("DrevikIdle");
    walkClip_ = assetRegistry->GetAnimation("DrevikWalk");
    deathClip_ = assetRegistry->GetAnimation("DrevikDeath");
    if (animation_.currentAnimation)
        pitchBone_ = animation_.currentAnimation->FindBone(PitchBoneId);
}

void PlayerWalk::PlayClip(const std::shared_ptr<Animation>& clip, bool loop)
{
    animation_.PlayAnimation(clip, loop, 1.0f);
    pitchBone_ = clip->FindBone(PitchBoneId);
}

bool PlayerWalk::Step(const glm::vec3& direction, float speed, float dt)
{
    // Keys give full speed in any direction; a stick part-way tilted walks slower, and nothing
    // (keys and stick together, a diagonal) walks faster than `speed`.
    const float length = glm::length(direction);
    if (length <= NoLength) {
        if (animation_.currentAnimation != idleClip_)
            PlayClip(idleClip_, true);
        return false;
    }
    const float pace = speed * std::min(1.0f, length);
    const glm::vec3 step(direction.x / length * pace * dt, 0.0f, direction.z / length * pace * dt);
    // In pieces of at most half his radius, each settled against walls and crowds before the
    // next: a long step at a low frame rate would otherwise carry his body into a wall block,
    // where the way out is ambiguous (between two blocks, both ways cancel).
    const int pieces = std::max(1, static_cast<int>(std::ceil(glm::length(step) / MaxWalkPiece)));
    for (int i = 0; i < pieces; ++i) {
        glm::vec3& position = transform_.position;
        position += step / static_cast<float>(pieces);
        position.y = 0.0f;
        Settle();
    }
    if (animation_.currentAnimation != walkClip_)
        PlayClip(walkClip_, true);
    return true;
}

void PlayerWalk::Face(const glm::vec3& forward)
{
    if (glm::length(forward) > NoLength)
        transform_.rotation = LookRotation(forward);
}

void PlayerWalk::Settle()
{
    body_.SettleIgnoring(levelOnlyIgnoreTags_);
}

void PlayerWalk::BendWithPitch(float pitchDegrees)
{
    if (pitchBone_)
        pitchBone_->overrideTransform = Rotate(pitchDegrees, glm::vec3(1.0f, 0.0f, 0.0f));
}

void PlayerWalk::Fall()
{
    if (animation_.currentAnimation != deathClip_)
        PlayClip(deathClip_, false);
}

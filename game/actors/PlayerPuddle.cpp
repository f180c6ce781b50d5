#include "game/actors/PlayerPuddle.h"

#include "collision/CollisionComponent.h"
#include "collision/Cube.h"
#include "collision/HGrid.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerSounds.h"
#include "renderer/AssetRegistry.h"
#include "scene/actors/DynamicActor.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>

namespace {

// A flat burning box.
const glm::vec3 PuddleScale(2.0f, 0.1f, 2.0f);
const glm::vec3 ProjectileColour(1.0f, 0.0f, 0.5f);
constexpr float PuddleFallSpeed = 15.0f;  // units per second
constexpr float PuddleRestHeight = 0.01f; // just above the ground, so it does not flicker with it

GameClock::Duration ToDuration(float seconds)
{
    return std::chrono::duration_cast<GameClock::Duration>(std::chrono::duration<float>(seconds));
}

} // namespace

PlayerPuddle::PlayerPuddle(const PlayerSounds& sounds, CollisionCallback onContact) : sounds_(sounds)
{
    transform_ = std::make_shared<TransformComponent>(glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f), PuddleScale);
    auto box = std::make_shared<CollisionComponent<COLLISION::Cube>>(true, glm::vec3(0.0f), transform_);
    box->volume->halfExtents = PuddleScale;
    box->volume->displayTransform->scale = PuddleScale;
    box_ = box->volume;
    collider_ = box;
    actor_ = std::make_unique<DynamicActor>(assetRegistry->GetMesh("Plane"), nullptr, assetRegistry->GetShader("BillBoardPBRShader"),
                              transform_, box, nullptr);
    actor_->colour = ProjectileColour;
    actor_->materialValues = glm::vec4(0.0f, 0.05f, 1.0f, 0.7f);
    actor_->hidden = true;
    actor_->gridObject = std::make_unique<Object>(ProjectileTag, actor_.get(), std::move(onContact));
    actor_->gridObject->notifyWhenHit = false;
}

GameClock::TimePoint PlayerPuddle::BurningSince() const
{
    return std::max(GameClock::Now() - ToDuration(frameSeconds_), landedAt_);
}

void PlayerPuddle::Start(const glm::vec3& position)
{
    active_ = true;
    transform_->position = position;
    actor_->hidden = false;
    sounds_.manager.PlaySound3D(sounds_.burst, transform_->position, false);
}

void PlayerPuddle::Tend(float dt)
{
    if (!active_)
        return;
    frameSeconds_ = dt;
    glm::vec3& position = transform_->position;
    const GameClock::TimePoint frameStart = GameClock::Now() - ToDuration(dt);
    if (position.y > PuddleRestHeight) {
        const float fall = PuddleFallSpeed * dt;
        if (position.y - fall > PuddleRestHeight) {
            position.y -= fall;
            return;
        }
        // It reaches the ground during this frame and burns from that moment on.
        landedAt_ = frameStart + ToDuration((position.y - PuddleRestHeight) / PuddleFallSpeed);
    } else if (!landed_) {
        landedAt_ = frameStart; // burst on the ground
    }
    position.y = PuddleRestHeight;
    collider_->UpdateVolume();
    HGrid::CheckObjAgainstGrid(actor_->gridObject.get());
    landed_ = true;
    if (!bubblingPlayed_) {
        sounds_.manager.PlaySound3D(sounds_.bubbling, position, false);
        bubblingPlayed_ = true;
    }
}

void PlayerPuddle::Reset()
{
    active_ = false;
    actor_->hidden = true;
    landed_ = false;
    bubblingPlayed_ = false;
}

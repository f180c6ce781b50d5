#include "game/actors/PlayerBubble.h"

#include "collision/CollisionComponent.h"
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "collision/Sphere.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerSounds.h"
#include "renderer/AssetRegistry.h"
#include "scene/actors/DynamicActor.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr float BubbleRadius = 0.3f;
const glm::vec3 ProjectileColour(1.0f, 0.0f, 0.5f);
constexpr float BubbleSpeed = 33.0f; // units per second
constexpr float ShotLifetime = 5.0f; // seconds: one shot at a time, five seconds each
// The flight is swept in steps of half the bubble's radius, so nothing thicker than that slips
// between two steps; the first step that touches a solid is then halved down to a few millimetres,
// which puts the burst at the same point whatever the frame rate.
constexpr float SweepStep = 0.5f * BubbleRadius;
constexpr float ContactPrecision = 0.005f;

} // namespace

PlayerBubble::PlayerBubble(const PlayerSounds& sounds) : sounds_(sounds)
{
    transform_ = std::make_shared<TransformComponent>(glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f),
                                                      glm::vec3(BubbleRadius));
    auto sphere = std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), transform_);
    sphere->volume->radius = BubbleRadius;
    sphere->volume->displayTransform->scale = glm::vec3(BubbleRadius);
    collider_ = sphere;
    actor_ = std::make_unique<DynamicActor>(assetRegistry->GetMesh("Sphere"), nullptr, assetRegistry->GetShader("PBRShader"),
                              transform_, sphere, nullptr);
    actor_->colour = ProjectileColour;
    actor_->materialValues = glm::vec4(0.0f, 0.05f, 1.0f, 1.0f);
    actor_->hidden = true;
    actor_->gridObject =
        std::make_unique<Object>(ProjectileTag, actor_.get(), [this](Object&, Object& found, COLLISION::Collision&) { OnContact(found); });
    // The bubble leaves through the player and never meets its own puddle.
    actor_->gridObject->ignoreTags = {PlayerTag, ProjectileTag};
    actor_->gridObject->notifyWhenHit = false;
}

const glm::vec3& PlayerBubble::Position() const
{
    return transform_->position;
}

GameClock::TimePoint PlayerBubble::ShotEnd() const
{
    return shotTime_ + std::chrono::duration_cast<GameClock::Duration>(std::chrono::duration<float>(ShotLifetime));
}

void PlayerBubble::Fire(const glm::vec3& muzzle, const glm::vec3& direction)
{
    if (active_)
        return;
    transform_->position = muzzle;
    flying_ = true;
    actor_->hidden = false;
    collider_->UpdateVolume();
    velocity_ = direction;
    shotTime_ = GameClock::Now();
    active_ = true;
    sounds_.manager.PlaySound3D(sounds_.gunShot, muzzle, false);
}

void PlayerBubble::Fly(float dt)
{
    if (!flying_)
        return;
    const glm::vec3 from = transform_->position;
    const glm::vec3 to = from + velocity_ * BubbleSpeed * dt;
    const int steps = std::max(1, static_cast<int>(std::ceil(glm::distance(from, to) / SweepStep)));
    float clear = 0.0f; // fraction of the way known to touch nothing
    for (int i = 1; i <= steps; ++i) {
        const float at = static_cast<float>(i) / static_cast<float>(steps);
        if (!TouchesSolid(glm::mix(from, to, at))) {
            clear = at;
            continue;
        }
        // The first contact lies between the last clear step and this one.
        float touching = at;
        while (glm::distance(from, to) * (touching - clear) > ContactPrecision) {
            const float middle = 0.5f * (clear + touching);
            if (TouchesSolid(glm::mix(from, to, middle)))
                touching = middle;
            else
                clear = middle;
        }
        TouchesSolid(glm::mix(from, to, touching)); // leaves the bubble at the burst point
        return;
    }
}

bool PlayerBubble::TouchesSolid(const glm::vec3& position)
{
    transform_->position = position;
    collider_->UpdateVolume();
    flying_ = true;
    actor_->hidden = false;
    burst_ = false;
    HGrid::CheckObjAgainstGrid(actor_->gridObject.get());
    return burst_;
}

void PlayerBubble::OnContact(Object& found)
{
    if (!found.owner)
        throw std::logic_error(NullOwnerMessage);
    ICollisionComponent* collider = found.Collider();
    // Triggers (other projectiles, corpses, hand spheres) let the bubble through.
    if (collider && !collider->Volume()->IsTrigger()) {
        flying_ = false;
        actor_->hidden = true;
        burst_ = true;
    }
}

bool PlayerBubble::TakeBurst()
{
    const bool burst = burst_;
    burst_ = false;
    return burst;
}

bool PlayerBubble::Expired() const
{
    return active_ && SecondsSince(shotTime_) >= ShotLifetime;
}

void PlayerBubble::Reset()
{
    active_ = false;
    actor_->hidden = true;
    flying_ = false;
    burst_ = false;
}

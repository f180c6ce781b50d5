#include "game/actors/PlayerActor.h"

#include "game/SoundManager.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/camera/Camera.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr float CameraSideShift = -0.03f; // the eye sits slightly left of the head bone

} // namespace

PlayerActor::PlayerActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                         std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                         const std::shared_ptr<ICollisionComponent>& collision,
                         std::shared_ptr<AnimationComponent> animation, Camera* camera, Actor* gun)
    : DynamicActor(mesh, std::move(material), std::move(shader), transform, collision, animation), gun(gun),
      camera(camera), transform_(std::move(transform)), animation_(std::move(animation)),
      gunTransform_(gun->GetComponent<TransformComponent>()), sounds_(*soundManager), bones_(*mesh),
      walk_(*this, *transform_, *animation_), footsteps_(sounds_), health_(sounds_), burning_(sounds_),
      puddle_(sounds_, [this](Object&, Object& found, COLLISION::Collision&) { OnPuddleContact(found); }),
      bubble_(sounds_), health(health_.Points()), puddle(puddle_.Actor()), bubble(bubble_.Actor()),
      bubbleParticles(particles_.Particles()), shotActive(bubble_.Active()), bubbleFlying(bubble_.Flying()),
      puddleActive(puddle_.Active()), puddleLanded(puddle_.Landed()), firstBurnPending(burning_.FirstBurnPending()),
      shotTime(bubble_.ShotTime()), bubbleVelocity(bubble_.Velocity())
{
    cameraTarget = std::make_shared<TransformComponent>();
    camera->target = cameraTarget;
}

void PlayerActor::SetBubbleParticles(const PlayerParticles::Actors& particles)
{
    particles_.Set(particles);
}

const glm::vec3& PlayerActor::GunPosition() const
{
    return gunTransform_->position;
}

void PlayerActor::Update(float dt)
{
    DynamicActor::Update(dt);
    const glm::vec3 forward = camera->Forward();
    const glm::vec3 right = camera->Right();
    bool moving = false;
    Walk(forward, right, dt, moving);
    if (!moving)
        walk_.Settle(); // crowding zombies may have shoved him

    camera->offset = right * CameraSideShift;
    walk_.BendWithPitch(camera->pitch);
    bones_.Place(*transform_, animation_->finalBoneMatrices, forward, *cameraTarget, *gunTransform_);

    // The shot: the bubble's flight, its burst into the puddle, the puddle and its bubbles.
    bubble_.Fly(dt);
    if (bubble_.TakeBurst())
        puddle_.Start(bubble_.Position());
    puddle_.Tend(dt);
    particles_.Tend(dt, puddle_.Landed(), puddle_.Box());
    if (!dead)
        burning_.Tend(transform_->position);
    ExpireShot();
    health_.Regenerate(dt);

    if (health <= 0.0f) {
        dead = true;
        gun->hidden = true;
        walk_.Fall();
    }
}

void PlayerActor::Walk(const glm::vec3& forward, const glm::vec3& right, float dt, bool& moving)
{
    if (dead)
        return;
    glm::vec3 d(0.0f);
    if (moveKeys[Forward])
        d += forward;
    if (moveKeys[Left])
        d -= right;
    if (moveKeys[Back])
        d -= forward;
    if (moveKeys[Right])
        d += right;
    d += walkStick.x * right + walkStick.y * forward;

    moving = walk_.Step(d, moveSpeed, dt);
    if (moving)
        footsteps_.Tend(*animation_, transform_->position);
    walk_.Face(forward);
}

void PlayerActor::Shoot()
{
    bubble_.Fire(gunTransform_->position, camera->Forward());
}

void PlayerActor::TakeDamage(bool playSound, float amount)
{
    health_.Hurt(amount, playSound, transform_->position);
}

void PlayerActor::ExpireShot()
{
    if (!bubble_.Expired())
        return;
    bubble_.Reset();
    puddle_.Reset();
    particles_.Reset();
    burning_.Reset();
}

void PlayerActor::OnPuddleContact(Object& found)
{
    if (found.tag == ZombieBodyTag) {
        if (!found.owner)
            throw std::logic_error(NullOwnerMessage);
        if (!found.owner->dead) {
            ++killCount;
            found.owner->dead = true;
        }
    } else if (found.tag == PlayerTag && !dead) {
        // Only the part of this frame in which the puddle lay burning counts: from its landing to
        // the shot's end, so the damage is the same at any frame rate.
        health_.Burn(puddle_.BurningSince(), std::min(GameClock::Now(), bubble_.ShotEnd()));
        burning_.Touch(transform_->position);
    }
}

#include "game/actors/PlayerActor.h"

#include "assets/AssetRegistry.h"
#include "assets/MeshComponent.h"
#include "collision/CollisionComponent.h"
#include "collision/Cube.h"
#include "collision/HGrid.h"
#include "collision/Sphere.h"
#include "game/SoundManager.h"
#include "game/actors/SkeletonBones.h"
#include "math/MathUtils.h"
#include "scene/camera/Camera.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

// The puddle is a flat burning box; the bubble a small sphere.
const glm::vec3 PuddleScale(2.0f, 0.1f, 2.0f);
constexpr float BubbleRadius = 0.3f;
const glm::vec3 ProjectileColour(1.0f, 0.0f, 0.5f);

constexpr float BubbleSpeed = 33.0f;      // units per second
constexpr float PuddleFallSpeed = 15.0f;  // units per second
constexpr float PuddleRestHeight = 0.01f; // just above the ground, so it does not flicker with it
constexpr float ShotLifetime = 5.0f;      // seconds: one shot at a time, five seconds each
constexpr float RegenDelay = 3.0f;        // quiet seconds before health climbs back
constexpr float RegenPerSecond = 30.0f;   // half a point a frame at 60 fps
constexpr float MaxHealth = 100.0f;
constexpr float BurnPerSecond = 12.0f; // a fifth of a point a frame at 60 fps
// The bubble's flight is swept in steps of half its radius, so nothing thicker than that slips
// between two steps; the first step that touches a solid is then halved down to a few millimetres,
// which puts the burst at the same point whatever the frame rate.
constexpr float SweepStep = 0.5f * BubbleRadius;
constexpr float ContactPrecision = 0.005f;
constexpr float MaxWalkPiece = 0.2f;      // under half the body's radius of 0.45
constexpr float BurnSoundInterval = 0.3f; // seconds between "Burning" sounds while in fire
constexpr float CameraSideShift = -0.03f; // the eye sits slightly left of the head bone
constexpr float GunForwardShift = 0.08f;  // the gun rests just in front of the hands
constexpr float NoLength = 1e-7f;

// Fixed skeleton ids of the character models.
constexpr int PitchBoneId = 0;
constexpr int EyeBoneId = 3;
constexpr int LeftHandBoneId = 32;
constexpr int RightHandBoneId = 8;

GameClock::Duration ToDuration(float seconds)
{
    return std::chrono::duration_cast<GameClock::Duration>(std::chrono::duration<float>(seconds));
}

} // namespace

PlayerActor::PlayerActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                         std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                         std::shared_ptr<ICollisionComponent> collision, std::shared_ptr<AnimationComponent> animation,
                         Camera* camera, Actor* gun)
    : DynamicActor(mesh, std::move(material), std::move(shader), transform, std::move(collision), animation), gun(gun),
      camera(camera), transform_(std::move(transform)), animation_(std::move(animation))
{
    cameraTarget = std::make_shared<TransformComponent>();
    camera->target = cameraTarget;
    gunTransform_ = gun->GetComponent<TransformComponent>();

    eyeBoneMatrix = InverseBoneOffset(*mesh, EyeBoneId);
    leftHandBoneMatrix = InverseBoneOffset(*mesh, LeftHandBoneId);
    rightHandBoneMatrix = InverseBoneOffset(*mesh, RightHandBoneId);

    puddleTransform_ =
        std::make_shared<TransformComponent>(glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f), PuddleScale);
    auto puddleBox = std::make_shared<CollisionComponent<COLLISION::Cube>>(true, glm::vec3(0.0f), puddleTransform_);
    puddleBox->volume->halfExtents = PuddleScale;
    puddleBox->volume->displayTransform->scale = PuddleScale;
    puddleVolume_ = puddleBox->volume;
    puddleCollider_ = puddleBox;
    puddle = new DynamicActor(assetRegistry->GetMesh("Plane"), nullptr, assetRegistry->GetShader("BillBoardPBRShader"),
                              puddleTransform_, puddleBox, nullptr);
    puddle->colour = ProjectileColour;
    puddle->materialValues = glm::vec4(0.0f, 0.05f, 1.0f, 0.7f);
    puddle->hidden = true;
    puddle->gridObject = new Object(ProjectileTag, puddle,
                                    [this](Object&, Object& found, COLLISION::Collision&) { OnPuddleContact(found); });
    puddle->gridObject->notifyWhenHit = false;

    bubbleTransform_ = std::make_shared<TransformComponent>(glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f),
                                                            glm::vec3(BubbleRadius));
    auto bubbleSphere =
        std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), bubbleTransform_);
    bubbleSphere->volume->radius = BubbleRadius;
    bubbleSphere->volume->displayTransform->scale = glm::vec3(BubbleRadius);
    bubbleCollider_ = bubbleSphere;
    bubble = new DynamicActor(assetRegistry->GetMesh("Sphere"), nullptr, assetRegistry->GetShader("PBRShader"),
                              bubbleTransform_, bubbleSphere, nullptr);
    bubble->colour = ProjectileColour;
    bubble->materialValues = glm::vec4(0.0f, 0.05f, 1.0f, 1.0f);
    bubble->hidden = true;
    bubble->gridObject = new Object(ProjectileTag, bubble,
                                    [this](Object&, Object& found, COLLISION::Collision&) { OnBubbleContact(found); });
    // The bubble leaves through the player and never meets its own puddle.
    bubble->gridObject->ignoreTags = {PlayerTag, ProjectileTag};
    bubble->gridObject->notifyWhenHit = false;

    soundManager->SetAuthoredVolume("Burning", 2.0f);
    soundManager->SetAuthoredVolume("BulletExplode", 2.0f);

    idleClip_ = assetRegistry->GetAnimation("DrevikIdle");
    walkClip_ = assetRegistry->GetAnimation("DrevikWalk");
    deathClip_ = assetRegistry->GetAnimation("DrevikDeath");
    if (animation_->currentAnimation)
        pitchBone_ = animation_->currentAnimation->FindBone(PitchBoneId);
}

void PlayerActor::SetBubbleParticles(Actor* const (&particles)[BubbleParticleCount])
{
    for (int i = 0; i < BubbleParticleCount; ++i) {
        bubbleParticles[i] = particles[i];
        particleTransforms_[i] = particles[i]->GetComponent<TransformComponent>();
    }
}

const glm::vec3& PlayerActor::GunPosition() const
{
    return gunTransform_->position;
}

void PlayerActor::PlayClip(const std::shared_ptr<Animation>& clip, bool loop)
{
    animation_->PlayAnimation(clip, loop, 1.0f);
    pitchBone_ = clip->FindBone(PitchBoneId);
}

void PlayerActor::Update(float dt)
{
    frameSeconds_ = dt;
    DynamicActor::Update(dt);
    const glm::vec3 forward = camera->Forward();
    const glm::vec3 right = camera->Right();
    bool moving = false;
    Walk(forward, right, dt, moving);
    if (!moving)
        SettleStep(); // crowding zombies may have shoved him

    camera->offset = right * CameraSideShift;
    // The upper body bends with the camera's pitch instead of following the clip.
    if (pitchBone_)
        pitchBone_->overrideTransform = Rotate(camera->pitch, glm::vec3(1.0f, 0.0f, 0.0f));
    PlaceBones(forward);

    if (bubbleFlying)
        FlyBubble(dt);
    if (bubbleBurst)
        Burst();
    if (puddleActive)
        TendPuddle(dt);
    TendParticles(dt);
    if (!dead)
        TendBurnSound();
    ExpireShot();
    Regenerate(dt);

    if (health <= 0.0f) {
        dead = true;
        gun->hidden = true;
        if (animation_->currentAnimation != deathClip_)
            PlayClip(deathClip_, false);
    }
}

void PlayerActor::PlaceBones(const glm::vec3& forward)
{
    const glm::mat4 model = transform_->GetModelMatrix();
    const glm::mat4* finals = animation_->finalBoneMatrices;
    cameraTarget->position = BoneWorldPosition(model, finals[EyeBoneId], eyeBoneMatrix);
    const glm::vec3 left = BoneWorldPosition(model, finals[LeftHandBoneId], leftHandBoneMatrix);
    const glm::vec3 right = BoneWorldPosition(model, finals[RightHandBoneId], rightHandBoneMatrix);
    gunTransform_->position = (left + right) * 0.5f + forward * GunForwardShift;
    // The gun model's muzzle points along -X: a quarter turn about +Y lines it up with the player's front.
    gunTransform_->rotation = transform_->rotation * glm::angleAxis(90.0f * DegToRad, glm::vec3(0.0f, 1.0f, 0.0f));
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

    // Keys give full speed in any direction; a stick part-way tilted walks slower, and nothing
    // (keys and stick together, a diagonal) walks faster than moveSpeed.
    const float length = glm::length(d);
    if (length <= NoLength) {
        moving = false;
        if (animation_->currentAnimation != idleClip_)
            PlayClip(idleClip_, true);
    } else {
        const float speed = moveSpeed * std::min(1.0f, length);
        const glm::vec3 step(d.x / length * speed * dt, 0.0f, d.z / length * speed * dt);
        // In pieces of at most half his radius, each settled against walls and crowds before the
        // next: a long step at a low frame rate would otherwise carry his body into a wall block,
        // where the way out is ambiguous (between two blocks, both ways cancel).
        const int pieces = std::max(1, static_cast<int>(std::ceil(glm::length(step) / MaxWalkPiece)));
        for (int i = 0; i < pieces; ++i) {
            glm::vec3& position = transform_->position;
            position += step / static_cast<float>(pieces);
            position.y = 0.0f;
            SettleStep();
        }
        moving = true;
        if (animation_->currentAnimation != walkClip_)
            PlayClip(walkClip_, true);
        Footsteps();
    }

    if (glm::length(forward) > NoLength)
        transform_->rotation = LookRotation(forward);
}

void PlayerActor::SettleStep()
{
    // Against the level alone, after every other push: resolved before the frame is drawn, so the
    // view never shows him inside a wall, and no crowd can shove him through one.
    SettleIgnoring(levelOnlyIgnoreTags_);
}

void PlayerActor::Footsteps()
{
    const float t = animation_->currentTime;
    const float duration = animation_->currentAnimation->duration;
    if (duration <= 0.0f)
        return;
    // The walk clip puts its feet down at 40% and 80% of its length.
    const float f = duration / 25.0f;
    if (t >= 10.0f * f && t < 20.0f * f && !firstStepPlayed) {
        soundManager->PlaySound3D(std::rand() % 2 == 0 ? "Walk1" : "Walk2", transform_->position, false);
        firstStepPlayed = true;
    }
    if (t >= 20.0f * f && !secondStepPlayed) {
        soundManager->PlaySound3D(std::rand() % 2 == 0 ? "Walk3" : "Walk4", transform_->position, false);
        secondStepPlayed = true;
    }
    // The clip wrapped: the next cycle's steps may sound again.
    if (t <= 3.0f) {
        firstStepPlayed = false;
        secondStepPlayed = false;
    }
}

void PlayerActor::Shoot()
{
    if (shotActive)
        return;
    bubbleTransform_->position = gunTransform_->position;
    bubbleFlying = true;
    bubble->hidden = false;
    bubbleCollider_->UpdateVolume();
    bubbleVelocity = camera->Forward();
    shotTime = GameClock::Now();
    shotActive = true;
    soundManager->PlaySound3D("GunShot", gunTransform_->position, false);
}

void PlayerActor::TakeDamage(bool playSound, float amount)
{
    health -= amount;
    hitTime = GameClock::Now();
    wasHurt = true;
    if (playSound)
        soundManager->PlaySound3D("PlayerHit", transform_->position, false);
}

void PlayerActor::FlyBubble(float dt)
{
    const glm::vec3 from = bubbleTransform_->position;
    const glm::vec3 to = from + bubbleVelocity * BubbleSpeed * dt;
    const int steps = std::max(1, static_cast<int>(std::ceil(glm::distance(from, to) / SweepStep)));
    float clear = 0.0f; // fraction of the way known to touch nothing
    for (int i = 1; i <= steps; ++i) {
        const float at = static_cast<float>(i) / static_cast<float>(steps);
        if (!BubbleTouchesSolid(glm::mix(from, to, at))) {
            clear = at;
            continue;
        }
        // The first contact lies between the last clear step and this one.
        float touching = at;
        while (glm::distance(from, to) * (touching - clear) > ContactPrecision) {
            const float middle = 0.5f * (clear + touching);
            if (BubbleTouchesSolid(glm::mix(from, to, middle)))
                touching = middle;
            else
                clear = middle;
        }
        BubbleTouchesSolid(glm::mix(from, to, touching)); // leaves the bubble at the burst point
        return;
    }
}

bool PlayerActor::BubbleTouchesSolid(const glm::vec3& position)
{
    bubbleTransform_->position = position;
    bubbleCollider_->UpdateVolume();
    bubbleFlying = true;
    bubble->hidden = false;
    bubbleBurst = false;
    HGrid::CheckObjAgainstGrid(bubble->gridObject);
    return bubbleBurst;
}

void PlayerActor::Burst()
{
    puddleActive = true;
    puddleTransform_->position = bubbleTransform_->position;
    puddle->hidden = false;
    bubbleBurst = false;
    soundManager->PlaySound3D("BulletExplode", puddleTransform_->position, false);
}

void PlayerActor::TendPuddle(float dt)
{
    glm::vec3& position = puddleTransform_->position;
    const GameClock::TimePoint frameStart = GameClock::Now() - ToDuration(dt);
    if (position.y > PuddleRestHeight) {
        const float fall = PuddleFallSpeed * dt;
        if (position.y - fall > PuddleRestHeight) {
            position.y -= fall;
            return;
        }
        // It reaches the ground during this frame and burns from that moment on.
        puddleLandedAt_ = frameStart + ToDuration((position.y - PuddleRestHeight) / PuddleFallSpeed);
    } else if (!puddleLanded) {
        puddleLandedAt_ = frameStart; // burst on the ground
    }
    position.y = PuddleRestHeight;
    puddleCollider_->UpdateVolume();
    HGrid::CheckObjAgainstGrid(puddle->gridObject);
    puddleLanded = true;
    if (!bubblingPlayed) {
        soundManager->PlaySound3D("Bubbling", position, false);
        bubblingPlayed = true;
    }
}

void PlayerActor::TendParticles(float dt)
{
    if (!puddleLanded) {
        for (Actor* particle : bubbleParticles)
            if (particle)
                particle->hidden = true;
        return;
    }
    if (!particlesPlaced) {
        const glm::vec3 c = puddleVolume_->centre;
        const glm::vec3 h = puddleVolume_->halfExtents;
        for (int i = 0; i < BubbleParticleCount; ++i) {
            if (!bubbleParticles[i])
                continue;
            bubbleParticles[i]->hidden = false;
            // Draws in a fixed order: x, z, then the rise speed.
            const float x = RandomRange(c.x - h.x, c.x + h.x);
            const float z = RandomRange(c.z - h.z, c.z + h.z);
            particleTransforms_[i]->position = glm::vec3(x, 0.0f, z);
            particleRiseSpeeds[i] = RandomRange(0.2f, 0.6f);
        }
        particlesPlaced = true;
    }
    for (int i = 0; i < BubbleParticleCount; ++i)
        if (particleTransforms_[i])
            particleTransforms_[i]->position.y += dt * particleRiseSpeeds[i];
}

void PlayerActor::TendBurnSound()
{
    if (inFire && !firstBurnPending) {
        if (!burnTimerRunning) {
            burnTime = GameClock::Now();
            burnTimerRunning = true;
        }
        if (SecondsSince(burnTime) >= BurnSoundInterval) {
            soundManager->PlaySound3D("Burning", transform_->position, false);
            burnTimerRunning = false;
        }
    }
    inFire = false;
}

void PlayerActor::ExpireShot()
{
    if (!shotActive || SecondsSince(shotTime) < ShotLifetime)
        return;
    puddleActive = false;
    shotActive = false;
    bubble->hidden = true;
    puddle->hidden = true;
    bubbleFlying = false;
    puddleLanded = false;
    particlesPlaced = false;
    bubbleBurst = false;
    bubblingPlayed = false;
    inFire = false;
    burnTimerRunning = false;
    firstBurnPending = true;
}

void PlayerActor::Regenerate(float dt)
{
    if (!wasHurt || health <= 0.0f)
        return;
    // Only the part of this frame past the quiet spell heals, so the climb starts on time at any
    // frame rate.
    const float healing = std::min(dt, SecondsSince(hitTime) - RegenDelay);
    if (healing > 0.0f)
        health = std::min(health + RegenPerSecond * healing, MaxHealth);
}

void PlayerActor::OnBubbleContact(Object& found)
{
    if (!found.owner)
        throw std::logic_error(NullOwnerMessage);
    auto collider = found.owner->GetComponent<ICollisionComponent>();
    // Triggers (other projectiles, corpses, hand spheres) let the bubble through.
    if (collider && !collider->GetBoundingVolume()->IsTrigger()) {
        bubbleFlying = false;
        bubble->hidden = true;
        bubbleBurst = true;
    }
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
        const GameClock::TimePoint now = GameClock::Now();
        const GameClock::TimePoint from = std::max(now - ToDuration(frameSeconds_), puddleLandedAt_);
        const GameClock::TimePoint to = std::min(now, shotTime + ToDuration(ShotLifetime));
        if (to > from)
            health -= BurnPerSecond * std::chrono::duration<float>(to - from).count();
        hitTime = std::max(from, to); // the last moment he burned
        wasHurt = true;
        if (firstBurnPending) {
            soundManager->PlaySound3D("Burning", transform_->position, false);
            firstBurnPending = false;
            burnTimerRunning = false;
        }
        inFire = true;
    }
}

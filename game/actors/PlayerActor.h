// The character the user steers: walks with W/A/S/D, faces where the camera looks, carries the
// bubble gun, shoots one bubble at a time that bursts into a burning puddle, takes damage,
// regenerates and dies. Each of those is a part that owns its own state; this class builds the
// parts and runs them in one fixed order every frame.
#pragma once

#include "app/GameClock.h"
#include "game/actors/PlayerBones.h"
#include "game/actors/PlayerBubble.h"
#include "game/actors/PlayerBurning.h"
#include "game/actors/PlayerFootsteps.h"
#include "game/actors/PlayerHealth.h"
#include "game/actors/PlayerParticles.h"
#include "game/actors/PlayerPuddle.h"
#include "game/actors/PlayerSounds.h"
#include "game/actors/PlayerWalk.h"
#include "scene/actors/DynamicActor.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>

class AnimationComponent;
class Camera;
class Object;
class TransformComponent;

class PlayerActor : public DynamicActor {
public:
    enum MoveKey { Forward = 0, Left = 1, Back = 2, Right = 3 };

    bool moveKeys[4] = {false, false, false, false}; // W, A, S, D
    glm::vec2 walkStick{0.0f}; // a game controller's walk stick: x right, y forward, length up to 1
    int32_t killCount = 0;
    Actor* gun = nullptr;
    Camera* camera = nullptr;
    std::shared_ptr<TransformComponent> cameraTarget;
    float moveSpeed = 7.0f; // units per second

    PlayerActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                const std::shared_ptr<ICollisionComponent>& collision, std::shared_ptr<AnimationComponent> animation,
                Camera* camera, Actor* gun);

    // Hands over the scene's ten particle actors (shown rising over a landed puddle).
    void SetBubbleParticles(const PlayerParticles::Actors& particles);

    void Update(float dt) override;
    void Walk(const glm::vec3& forward, const glm::vec3& right, float dt, bool& moving);
    void Shoot();
    void TakeDamage(bool playSound, float amount);

    TransformComponent& Transform() const { return *transform_; }
    AnimationComponent& Animator() const { return *animation_; }
    const glm::vec3& GunPosition() const;

private:
    void ExpireShot();
    void OnPuddleContact(Object& found);

    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<AnimationComponent> animation_;
    std::shared_ptr<TransformComponent> gunTransform_;
    PlayerSounds sounds_; // first of the parts: the others take their sounds from it
    PlayerBones bones_;
    PlayerWalk walk_;
    PlayerFootsteps footsteps_;
    PlayerHealth health_;
    PlayerBurning burning_;
    PlayerPuddle puddle_;
    PlayerBubble bubble_;
    PlayerParticles particles_;

public:
    // The parts' state that the scene and the HUD read (and tests set, for health), under the
    // names it had before the parts. Declared after the parts, so each binds to a part built.
    float& health;
    DynamicActor* const puddle; // owned by its part; the scene's lists draw it
    DynamicActor* const bubble; // owned by its part; the scene's lists draw it
    const PlayerParticles::Actors& bubbleParticles;
    const bool& shotActive;
    const bool& bubbleFlying;
    const bool& puddleActive;
    const bool& puddleLanded;
    const bool& firstBurnPending;
    const GameClock::TimePoint& shotTime;
    const glm::vec3& bubbleVelocity; // unit flight direction of the bubble
};

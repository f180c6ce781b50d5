// The character the user steers: walks with W/A/S/D, faces where the camera looks, carries the
// bubble gun, shoots one bubble at a time that bursts into a burning puddle, takes damage,
// regenerates and dies.
#pragma once

#include "app/GameClock.h"
#include "collision/Object.h"
#include "scene/actors/DynamicActor.h"

#include <glm/glm.hpp>

#include <memory>
#include <vector>

class Animation;
class AnimationComponent;
class Bone;
class Camera;
class TransformComponent;
namespace COLLISION {
class Cube;
}

inline constexpr int BubbleParticleCount = 10;

class PlayerActor : public DynamicActor {
public:
    enum MoveKey { Forward = 0, Left = 1, Back = 2, Right = 3 };

    bool moveKeys[4] = {false, false, false, false}; // W, A, S, D
    glm::vec2 walkStick{0.0f}; // a game controller's walk stick: x right, y forward, length up to 1
    int32_t killCount = 0;
    Actor* bubbleParticles[BubbleParticleCount] = {};
    DynamicActor* puddle = nullptr; // owned by the scene's lists
    DynamicActor* bubble = nullptr; // owned by the scene's lists
    Actor* gun = nullptr;
    Camera* camera = nullptr;
    std::shared_ptr<TransformComponent> cameraTarget;
    GameClock::TimePoint shotTime{};
    GameClock::TimePoint hitTime{};
    GameClock::TimePoint burnTime{};
    float moveSpeed = 7.0f; // units per second
    float health = 100.0f;
    bool shotActive = false;
    bool bubbleFlying = false;
    bool puddleLanded = false;
    bool particlesPlaced = false;
    bool bubbleBurst = false;
    bool puddleActive = false;
    bool wasHurt = false;
    bool bubblingPlayed = false;
    bool inFire = false;
    bool burnTimerRunning = false;
    bool firstBurnPending = true;
    bool firstStepPlayed = false;
    bool secondStepPlayed = false;
    glm::vec3 bubbleVelocity{0.0f};
    glm::mat4 eyeBoneMatrix{1.0f};       // inverse offset of bone 3, the camera's anchor
    glm::mat4 leftHandBoneMatrix{1.0f};  // bone 32
    glm::mat4 rightHandBoneMatrix{1.0f}; // bone 8
    float particleRiseSpeeds[BubbleParticleCount] = {};

    PlayerActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                std::shared_ptr<ICollisionComponent> collision, std::shared_ptr<AnimationComponent> animation,
                Camera* camera, Actor* gun);

    // Hands over the scene's ten particle actors (shown rising over a landed puddle).
    void SetBubbleParticles(Actor* const (&particles)[BubbleParticleCount]);

    void Update(float dt) override;
    void Walk(const glm::vec3& forward, const glm::vec3& right, float dt, bool& moving);
    void Shoot();
    void TakeDamage(bool playSound, float amount);

    TransformComponent& Transform() const { return *transform_; }
    AnimationComponent& Animator() const { return *animation_; }
    const glm::vec3& GunPosition() const;

private:
    void PlayClip(const std::shared_ptr<Animation>& clip, bool loop);
    void PlaceBones(const glm::vec3& forward);
    void FlyBubble(float dt);
    // Puts the bubble at `position` and asks the grid whether a solid is there; a solid bursts it.
    bool BubbleTouchesSolid(const glm::vec3& position);
    void Burst();
    void TendPuddle(float dt);
    void TendParticles(float dt);
    void TendBurnSound();
    void ExpireShot();
    void Regenerate(float dt);
    void Footsteps();
    void SettleStep();
    void OnBubbleContact(Object& found);
    void OnPuddleContact(Object& found);

    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<AnimationComponent> animation_;
    std::shared_ptr<TransformComponent> gunTransform_;
    std::shared_ptr<TransformComponent> bubbleTransform_;
    std::shared_ptr<ICollisionComponent> bubbleCollider_;
    std::shared_ptr<TransformComponent> puddleTransform_;
    std::shared_ptr<ICollisionComponent> puddleCollider_;
    std::shared_ptr<COLLISION::Cube> puddleVolume_;
    std::shared_ptr<TransformComponent> particleTransforms_[BubbleParticleCount];
    std::shared_ptr<Animation> idleClip_;
    std::shared_ptr<Animation> walkClip_;
    std::shared_ptr<Animation> deathClip_;
    // Every tag but the level's (ground and scenery), for settling against walls alone.
    std::vector<int32_t> levelOnlyIgnoreTags_{ZombieBodyTag, RayTag, ProjectileTag};
    GameClock::TimePoint puddleLandedAt_{};
    float frameSeconds_ = 0.0f; // this frame's dt, for the puddle's burn (a rate per second)
    Bone* pitchBone_ = nullptr; // bone 0 of the current clip: follows the camera's pitch
};

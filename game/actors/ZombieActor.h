// The enemy: a pooled zombie driven by a four-state machine (Idle, Seek, Attack, Dead) that
// chases the player, swings at him with a hand hitbox and returns to the pool after death.
#pragma once

#include "app/GameTimer.h"
#include "collision/Object.h"
#include "game/SoundId.h"
#include "game/actors/State.h"
#include "game/actors/ZombieTuning.h"
#include "scene/actors/DynamicActor.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <memory>
#include <vector>

class Animation;
class AnimationComponent;
class PlayerActor;
class SphereActor;
class TransformComponent;
namespace COLLISION {
class Capsule;
}

// Every zombie's hand sphere, registered while its zombie lives; empty when a scene ends.
extern std::vector<SphereActor*> zombieAttackSpheres;
// The hand spheres the last CheckAttackSpheresCleared found left behind by their zombies.
extern size_t strayAttackSpheres;
// At a scene's end: reports on stderr ("You forgot to clear something") any hand sphere that
// outlived its zombie, counts them in strayAttackSpheres and forgets them, so the next scene
// starts clean. False when there were any. Never throws: it runs in the scene's destructor.
bool CheckAttackSpheresCleared();

class ZombieActor : public DynamicActor {
public:
    enum StateId : uint8_t { IdleId = 0, SeekId = 1, AttackId = 2, DeadId = 3 };

    bool active = false;    // in play
    bool available = false; // the pool may spawn it
    std::unique_ptr<SphereActor> attackSphere;
    State* currentState = nullptr; // one of the four below
    State idleState{IdleId};
    State seekState{SeekId};
    State attackState{AttackId};
    State deadState{DeadId};
    PlayerActor* player = nullptr;
    float moveFactor = 0.25f;
    float walkAnimSpeed = 1.0f;
    float attackAnimSpeed = 1.0f;
    float attackRange = 0.0f;
    bool hitLanded = false;         // the current swing has hurt the player
    bool attackSoundPlayed = false; // the current swing has decided its sound
    glm::mat4 handBoneMatrix{1.0f}; // inverse offset of bone 36
    GameTimer deathTimer;
    GameTimer groanTimer;
    int32_t groanDelay = 0; // whole seconds

    ZombieActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                std::shared_ptr<ICollisionComponent> collision, std::shared_ptr<AnimationComponent> animation,
                PlayerActor* player);
    ~ZombieActor() override;

    void Update(float dt) override;
    // Brings a pooled zombie into play at `position`.
    void Spawn(const glm::vec3& position);

    TransformComponent& Transform() const { return *transform_; }
    AnimationComponent& Animator() const { return *animation_; }
    COLLISION::Capsule& Capsule() const { return *capsule_; }
    // World position of the striking hand this frame.
    glm::vec3 HandPosition() const;

private:
    void InitStateMachine();
    void TendCorpse();
    void DoIdle();
    void DoSeek(float dt);
    void DoAttack(float dt);
    void DoDead();
    void Groan();
    // Capsule centre minus the player's position, on the ground plane.
    glm::vec3 OffsetFromPlayer() const;
    void FacePlayer(const glm::vec3& offset);
    void KeepOffPlayer();
    // Moves by `by` in short pieces, each settled against the level.
    void MoveSettled(const glm::vec3& by);
    void SettleAgainstLevel();
    void PlayClip(const std::shared_ptr<Animation>& clip, bool loop, float speed);
    void OnHandContact(Object& found);

    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<AnimationComponent> animation_;
    std::shared_ptr<ICollisionComponent> collider_;
    std::shared_ptr<COLLISION::Capsule> capsule_;
    std::shared_ptr<Animation> idleClip_;
    std::shared_ptr<Animation> walkClip_;
    std::shared_ptr<Animation> runClip_;
    std::shared_ptr<Animation> attackClip_;
    std::shared_ptr<Animation> deathClip_;
    float playerRadius_ = 0.0f; // the player's body, which a live zombie never overlaps
    SoundId swingSound_;
    SoundId deathSounds_[2];
    SoundId groanSounds_[3];
    // Every tag but the level's (ground and scenery), for settling against walls alone.
    std::vector<int32_t> levelOnlyIgnoreTags_{PlayerTag, ZombieBodyTag, RayTag, ProjectileTag};
};

#include "game/actors/ZombieActor.h"

#include "assets/MeshComponent.h"
#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "collision/HGrid.h"
#include "collision/ICollisionComponent.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/SkeletonBones.h"
#include "game/actors/SphereActor.h"
#include "game/actors/State.h"
#include "math/MathUtils.h"
#include "renderer/AssetRegistry.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

std::vector<SphereActor*> zombieAttackSpheres;
size_t strayAttackSpheres = 0;

bool CheckAttackSpheresCleared()
{
    strayAttackSpheres = zombieAttackSpheres.size();
    if (strayAttackSpheres == 0)
        return true;
    std::fprintf(stderr, "Zorbulon: You forgot to clear something (%zu hand spheres)\n", strayAttackSpheres);
    zombieAttackSpheres.clear();
    return false;
}

namespace {

constexpr int HandBoneId = 36;
// The capsule: an upright segment of length 1 around 1 m above the feet, radius 0.5.
const glm::vec3 CapsuleOffset(0.0f, 1.0f, 0.0f);
constexpr float CapsuleHalfSegment = 0.5f;
constexpr float CapsuleRadius = 0.5f;
constexpr float HandSphereRadius = 0.2f;
const glm::vec3 HandSphereParking(0.0f, -110.0f, 0.0f); // far below the level until the first swing
const glm::vec3 CorpseParking(0.0f, -1000.0f, 0.0f);
constexpr float CorpseLifetime = 7.0f;  // seconds from death to the pool
constexpr float SwingHitTicks = 3.0f;   // the swing reaches the player after 3 clip ticks
constexpr float ClosestApproach = 1.0f; // an attacking zombie never steps closer than this
constexpr int GroanDelayRange = 40;     // seconds: groans come at random, up to 40 s apart
constexpr float HandDamage = 25.0f;
constexpr float NoLength = 1e-7f;
constexpr float MaxSettlePiece = 0.2f; // under half the capsule's radius

} // namespace

ZombieActor::ZombieActor(const std::shared_ptr<MeshComponent>& mesh, std::shared_ptr<MaterialComponent> material,
                         std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                         std::shared_ptr<ICollisionComponent> collision, std::shared_ptr<AnimationComponent> animation,
                         PlayerActor* player)
    : DynamicActor(mesh, std::move(material), std::move(shader), transform, collision, animation), player(player),
      transform_(std::move(transform)), animation_(std::move(animation)), collider_(std::move(collision))
{
    materialValues = glm::vec4(0.0f, 0.0f, 0.9f, 1.0f);
    handBoneMatrix = InverseBoneOffset(*mesh, HandBoneId);

    capsule_ = std::dynamic_pointer_cast<COLLISION::Capsule>(collider_->GetBoundingVolume());
    if (!capsule_)
        throw std::runtime_error("A zombie needs a capsule collider");
    collider_->SetOffset(CapsuleOffset);
    capsule_->radius = CapsuleRadius;
    const glm::vec3 centre = capsule_->GetCenter();
    capsule_->baseA = capsule_->pointA = centre - glm::vec3(0.0f, CapsuleHalfSegment, 0.0f);
    capsule_->baseB = capsule_->pointB = centre + glm::vec3(0.0f, CapsuleHalfSegment, 0.0f);
    capsule_->SetOrientation(capsule_->orientation);

    if (player)
        if (auto body = player->GetComponent<ICollisionComponent>())
            if (auto playerCapsule = std::dynamic_pointer_cast<COLLISION::Capsule>(body->GetBoundingVolume()))
                playerRadius_ = playerCapsule->radius;

    gridObject = std::make_unique<Object>(ZombieBodyTag, this, nullptr);
    // The player's own query pushes him out of zombies; a zombie's query leaves him alone.
    gridObject->ignoreTags = {PlayerTag};

    idleClip_ = assetRegistry->GetAnimation("ZombieIdle");
    walkClip_ = assetRegistry->GetAnimation("ZombieWalking");
    runClip_ = assetRegistry->GetAnimation("ZombieRun");
    attackClip_ = assetRegistry->GetAnimation("ZombieAttack");
    deathClip_ = assetRegistry->GetAnimation("ZombieDeath");
    swingSound_ = soundManager->Resolve("ZombieAttack2");
    deathSounds_[0] = soundManager->Resolve("ZombieDeath1");
    deathSounds_[1] = soundManager->Resolve("ZombieDeath2");
    const char* const groans[3] = {"ZombieNormal1", "ZombieNormal2", "ZombieNormal3"};
    for (int i = 0; i < 3; ++i)
        groanSounds_[i] = soundManager->Resolve(groans[i]);

    InitStateMachine();

    attackSphere =
        std::make_unique<SphereActor>(HandSphereParking, HandSphereRadius,
                                      [this](Object&, Object& found, COLLISION::Collision&) { OnHandContact(found); });
    attackSphere->gridObject->notifyWhenHit = false;
    attackSphere->hidden = true;
    grid->AddObject(*attackSphere->gridObject);
    zombieAttackSpheres.push_back(attackSphere.get());
}

ZombieActor::~ZombieActor()
{
    std::erase(zombieAttackSpheres, attackSphere.get());
}

void ZombieActor::InitStateMachine()
{
    idleState.AddTransition(
        "IdleToSeek", [this] { return !dead && !player->dead; }, &seekState);
    idleState.AddTransition(
        "IdleToDead", [this] { return dead; }, &deadState);
    seekState.AddTransition(
        "SeekToAttack",
        [this] {
            if (glm::distance(transform_->position, player->Transform().position) >= attackRange)
                return false;
            // A new swing: it may hurt and sound again.
            hitLanded = false;
            attackSoundPlayed = false;
            return true;
        },
        &attackState);
    seekState.AddTransition(
        "SeekToDead", [this] { return dead; }, &deadState);
    seekState.AddTransition(
        "SeekToIdle", [this] { return player->dead; }, &idleState);
    attackState.AddTransition(
        "AttackToSeek", [this] { return animation_->currentAnimation == attackClip_ && animation_->finished; },
        &seekState);
    attackState.AddTransition(
        "AttackToDead", [this] { return dead; }, &deadState);
    attackState.AddTransition(
        "AttackToIdle", [this] { return player->dead; }, &idleState);
    currentState = &idleState;
}

void ZombieActor::Spawn(const glm::vec3& position)
{
    transform_->position = position;
    deathTimer.Stop();
    currentState = &idleState;
    hidden = false;
    dead = false;
    active = true;
    skipCulling = false;
    capsule_->SetTrigger(false);
    groanTimer.Stop();
    hitLanded = false;
    available = false;
    // Its body arrives with it: a bubble flying this frame must meet it here, not at the parking spot.
    UpdateCollider();
    UpdateGridCell();
}

void ZombieActor::Update(float dt)
{
    DynamicActor::Update(dt);
    if (dead)
        TendCorpse();
    if (!active)
        return;

    const ZombieTuning tuning = TuningForDifficulty(roundDifficulty);
    moveFactor = tuning.moveFactor;
    walkAnimSpeed = tuning.walkAnimSpeed;
    attackAnimSpeed = tuning.attackAnimSpeed;
    attackRange = tuning.attackRange;

    // Pushed out of walls and other zombies; the crowd's push is then made in settled pieces.
    const glm::vec3 before = transform_->position;
    HGrid::CheckObjAgainstGrid(gridObject.get());
    const glm::vec3 pushed = transform_->position - before;
    transform_->position = before;
    MoveSettled(pushed);

    if (State* next = currentState->NextState())
        currentState = next;
    switch (currentState->id) {
    case IdleId:
        DoIdle();
        break;
    case SeekId:
        DoSeek(dt);
        break;
    case AttackId:
        DoAttack(dt);
        break;
    case DeadId:
        DoDead();
        break;
    }
    if (!dead) {
        KeepOffPlayer();
        SettleAgainstLevel(); // after the crowd's pushes and the chase too
    }

    if (!dead && !hidden)
        Groan();
}

void ZombieActor::TendCorpse()
{
    if (!deathTimer.started)
        deathTimer.Start();
    if (deathTimer.Seconds() >= CorpseLifetime) {
        skipCulling = false;
        transform_->position = CorpseParking;
        hidden = true;
        available = true;
    }
}

void ZombieActor::PlayClip(const std::shared_ptr<Animation>& clip, bool loop, float speed)
{
    if (animation_->currentAnimation != clip)
        animation_->PlayAnimation(clip, loop, speed);
}

glm::vec3 ZombieActor::OffsetFromPlayer() const
{
    const glm::vec3 d = capsule_->GetCenter() - player->Transform().position;
    return glm::vec3(d.x, 0.0f, d.z);
}

void ZombieActor::FacePlayer(const glm::vec3& offset)
{
    const float length = glm::length(offset);
    if (length > NoLength)
        transform_->rotation = LookRotation(-offset / length);
}

void ZombieActor::KeepOffPlayer()
{
    // The player's query pushes him out of zombies; a zombie shoved onto him by the crowd must also
    // step back off him, or the next push would carry him into the wall behind him.
    const glm::vec3 offset = transform_->position - player->Transform().position; // where it stands now
    const glm::vec3 d(offset.x, 0.0f, offset.z);
    const float reach = CapsuleRadius + playerRadius_;
    const float distance = glm::length(d);
    if (distance >= reach || distance <= NoLength)
        return;
    MoveSettled(d / distance * (reach - distance));
    transform_->position.y = 0.0f;
}

void ZombieActor::MoveSettled(const glm::vec3& by)
{
    // In pieces, each settled against the level: pinned against a wall, one long push would put
    // its centre past the wall's face, where the way out is ambiguous (between two blocks, both
    // ways cancel).
    const float length = glm::length(by);
    if (length <= NoLength)
        return;
    const int pieces = std::max(1, static_cast<int>(std::ceil(length / MaxSettlePiece)));
    for (int i = 0; i < pieces; ++i) {
        transform_->position += by / static_cast<float>(pieces);
        SettleAgainstLevel();
    }
}

void ZombieActor::SettleAgainstLevel()
{
    // Against the level alone, after every other move this frame (the crowd's pushes, the chase,
    // the step back off the player), as the player settles: no frame ends with it inside a wall.
    SettleIgnoring(levelOnlyIgnoreTags_);
}

void ZombieActor::DoIdle()
{
    PlayClip(idleClip_, true, 1.0f);
}

void ZombieActor::DoSeek(float dt)
{
    PlayClip(roundDifficulty <= 1 ? walkClip_ : runClip_, true, walkAnimSpeed);
    const glm::vec3 d = OffsetFromPlayer();
    glm::vec3& position = transform_->position;
    // Proportional to the distance: fast from afar, slow near the player. Closing the gap by an
    // exponential fraction makes the chase the same at every frame rate.
    const float step = ApproachFraction(moveFactor, dt);
    position.x -= d.x * step;
    position.z -= d.z * step;
    position.y = 0.0f;
    FacePlayer(d);
}

void ZombieActor::DoAttack(float dt)
{
    const glm::vec3 d = OffsetFromPlayer();
    glm::vec3& position = transform_->position;
    const float step = ApproachFraction(moveFactor, dt);
    const glm::vec3 candidate(position.x - d.x * step, 0.0f, position.z - d.z * step);
    if (glm::distance(candidate, player->Transform().position) > ClosestApproach)
        position = candidate;
    PlayClip(attackClip_, false, attackAnimSpeed);
    FacePlayer(d);

    if (animation_->currentTime > SwingHitTicks && !hitLanded) {
        // Out of view the animation step skips the bones, which would freeze the hand wherever it
        // last was: a swing from behind must reach exactly as far as one in sight.
        if (!visible)
            animation_->Update(false, 0.0f);
        attackSphere->hidden = false;
        attackSphere->Transform().position = HandPosition();
        attackSphere->Update(dt);
        HGrid::CheckObjAgainstGrid(attackSphere->gridObject.get());
        if (!attackSoundPlayed) {
            if (std::rand() % 2 == 0)
                soundManager->PlaySound3D(swingSound_, transform_->position, false);
            attackSoundPlayed = true;
        }
    }
}

void ZombieActor::DoDead()
{
    skipCulling = true;
    capsule_->SetTrigger(true); // corpses stop blocking
    if (animation_->currentAnimation != deathClip_) {
        soundManager->PlaySound3D(deathSounds_[std::rand() % 2], transform_->position, false);
        animation_->PlayAnimation(deathClip_, false, 1.0f);
    }
    if (animation_->finished)
        active = false;
}

void ZombieActor::Groan()
{
    if (!groanTimer.started) {
        groanTimer.Start();
        groanDelay = std::rand() % GroanDelayRange;
    }
    if (groanTimer.WholeSeconds() > static_cast<float>(groanDelay)) {
        soundManager->PlaySound3D(groanSounds_[std::rand() % 3], transform_->position, false);
        groanTimer.Stop();
        groanDelay = 0;
    }
}

glm::vec3 ZombieActor::HandPosition() const
{
    return BoneWorldPosition(transform_->GetModelMatrix(), animation_->finalBoneMatrices[HandBoneId], handBoneMatrix);
}

void ZombieActor::OnHandContact(Object& found)
{
    if (found.tag != PlayerTag)
        return;
    hitLanded = true;
    player->TakeDamage(true, HandDamage);
}

// Scene0's frame: the player's contacts, camera and listener, every actor's visibility and step,
// rounds and spawning, the light wander; then the back-to-front sort and the hand-off to the renderer.
#include "game/Scene0.h"

#include "app/IRenderer.h"
#include "collision/BoundingVolume.h"
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "game/PlayerProfile.h"
#include "game/RoundRules.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "math/MathUtils.h"
#include "scene/camera/Camera.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace {

constexpr float LightWanderPeriod = 5.0f; // whole seconds must exceed this: a new choice every 6 s
constexpr float LightWanderRate = 2.0f;   // approach rate: e^-2 of the way is left after a second
constexpr float Arrived = 1e-7f;

} // namespace

void Scene0::Update(float dt)
{
    if (paused)
        return;
    // Game time moves only here, so every gameplay timer stands still while the game is paused.
    GameClock::AdvanceSeconds(dt);

    ApplyGamepadSticks(dt);
    HGrid::CheckObjAgainstGrid(player->gridObject.get());
    camera->Update();
    PlaceListener();

    for (const ActorEntry& entry : opaqueEntries_)
        UpdateActor(*entry.actor, entry.volume, dt);
    // In the transparent list's current (last sorted) order.
    for (const SortEntry& entry : sortEntries_)
        UpdateActor(*entry.actor, entry.volume, dt);

    activeZombies = 0;
    for (const ZombieActor* zombie : zombiePool)
        if (zombie->active)
            ++activeZombies;

    if (player->killCount >= 0 && static_cast<uint32_t>(player->killCount) >= zombiesThisRound)
        NextRound();
    if (zombiesSpawned < zombiesThisRound)
        TrySpawnZombie();
    WanderLights(dt);
}

void Scene0::ApplyGamepadSticks(float dt)
{
    // The sticks are held, not pressed: they act for the frame's game time, as the keys do.
    if (!inputEnabled || player->dead) {
        player->walkStick = glm::vec2(0.0f);
        return;
    }
    player->walkStick = gamepad.Walk();
    camera->ApplyStickLook(gamepad.Look(), dt);
}

void Scene0::PlaceListener()
{
    const glm::vec3 look = camera->Forward();
    const glm::vec3 right = camera->Right();
    soundManager->UpdateListener(playerTransform_->position, look, glm::normalize(glm::cross(look, right)));
}

void Scene0::UpdateActor(Actor& actor, COLLISION::BoundingVolume* volume, float dt)
{
    // Only colliding actors whose grid object ignores some tags (the zombie bodies) or that have
    // no grid object are culled; everything else is always drawn.
    if (!volume || (actor.gridObject && actor.gridObject->ignoreTags.empty())) {
        actor.visible = true;
    } else {
        if (volume->shapeType == COLLISION::RayShape || actor.skipCulling)
            actor.visible = true;
        else
            actor.IsInFrustum(camera, volume->GetCenter(), volume->GetBoundingRadius());
    }
    actor.Update(dt);
}

void Scene0::NextRound()
{
    soundManager->PlaySound2D(roundChangeSound_);
    ++round;
    // Kept in memory until the next pause, death or the end of the game: no file is written
    // between two frames of play.
    if (profile_->records.Reach(round, std::time(nullptr)))
        profileDirty_ = true;
    zombiesThisRound = ZombiesForRound(round);
    player->killCount = 0;
    activeZombies = 0;
    zombiesSpawned = 0;
    const RoundSettings settings = SettingsForRound(round);
    roundDifficulty = settings.difficulty;
    spawnInterval = settings.spawnInterval;
}

void Scene0::TrySpawnZombie()
{
    if (!spawnTimer.started)
        spawnTimer.Start();
    if (spawnTimer.WholeSeconds() < spawnInterval)
        return;
    // All busy: the timer keeps running, so the next free zombie comes as soon as it is back.
    ZombieActor* const* free =
        std::find_if(std::begin(zombiePool), std::end(zombiePool), [](const ZombieActor* z) { return z->available; });
    if (free == std::end(zombiePool))
        return;
    (*free)->Spawn(spawnPoints[std::rand() % SpawnPointCount]);
    ++zombiesSpawned;
    spawnTimer.Stop();
}

void Scene0::WanderLights(float dt)
{
    if (!wanderTimer.started)
        wanderTimer.Start();
    if (wanderTimer.WholeSeconds() > LightWanderPeriod) {
        wanderLight = std::rand() % MaxPointLights;
        const float x = RandomRange(1.5f, 32.5f);
        const float y = RandomRange(1.0f, 3.0f);
        const float z = RandomRange(1.5f, 32.0f);
        wanderTarget = glm::vec3(x, y, z);
        const float r = RandomRange(0.1f, 1.0f);
        const float g = RandomRange(0.1f, 1.0f);
        const float b = RandomRange(0.1f, 1.0f);
        const glm::vec4 colour(2.0f * r, 2.0f * g, 2.0f * b, 1.0f);
        pointLights[wanderLight].colour = colour;
        pointLightMarkers[wanderLight]->colour = glm::vec3(colour);
        wanderMoving = true;
        wanderTimer.Stop();
    }
    if (!wanderMoving)
        return;
    PointLight& light = pointLights[wanderLight];
    glm::vec3 position(light.position);
    position += (wanderTarget - position) * ApproachFraction(LightWanderRate, dt);
    light.position = glm::vec4(position, 1.0f);
    pointMarkerTransforms_[wanderLight]->position = position;
    if (glm::distance(position, wanderTarget) <= Arrived) {
        wanderMoving = false;
        wanderLight = 0;
        wanderTarget = glm::vec3(0.0f);
    }
}

void Scene0::Render()
{
    FollowWindowMode();
    SortTransparentActors();
    renderer->DrawFrame(this);
}

void Scene0::SortTransparentActors()
{
    // Back to front, the puddle always first: it lies flat under the bubbles that rise from it.
    const glm::vec3 eye = camera->GetPosition();
    for (SortEntry& entry : sortEntries_)
        entry.key = entry.actor == player->puddle ? std::numeric_limits<float>::infinity()
                                                  : glm::distance(eye, entry.transform->position);
    std::sort(sortEntries_.begin(), sortEntries_.end(),
              [](const SortEntry& a, const SortEntry& b) { return a.key > b.key; });
    for (size_t i = 0; i < sortEntries_.size(); ++i)
        transparentActors[i] = sortEntries_[i].actor;
}

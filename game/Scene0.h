// The one level: a walled 34 x 34 arena at night with grass, wandering lights, a moon, the
// player and a pool of 24 zombies released in rounds. Builds everything at construction, owns
// the actors, runs the rounds and reacts to input.
#pragma once

#include "app/GameTimer.h"
#include "app/PhaseStopwatch.h"
#include "app/Scene.h"
#include "game/Gamepad.h"
#include "game/OptionsPanel.h"
#include "game/SoundId.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Actor;
class AssetRegistry;
class HGrid;
class ImageBatch;
class IRenderer;
class PlayerActor;
class PlayerProfile;
struct GameSettings;
class SoundManager;
class ZombieActor;
class TransformComponent;
namespace COLLISION {
class BoundingVolume;
}

inline constexpr int LevelSize = 18; // cells per side; cell (r, c) stands at x = 2r, z = 2c
inline constexpr int ZombiePoolSize = 24;
inline constexpr int SpawnPointCount = 4;

enum LevelCell : uint8_t { EmptyCell = 1, GrassCell = 2, WallCell = 4 };

class Scene0 : public Scene {
public:
    IRenderer* renderer = nullptr;
    PlayerActor* player = nullptr;
    uint8_t levelMap[LevelSize * LevelSize] = {};
    ZombieActor* zombiePool[ZombiePoolSize] = {};
    GameTimer gameOverTimer; // time of death, for the game-over menu
    bool paused = false;
    glm::vec3 wanderTarget{0.0f};
    int wanderLight = 0;
    bool wanderMoving = false;
    GameTimer wanderTimer;
    GameTimer spawnTimer;
    float spawnInterval = 5.0f; // seconds; set per round
    bool inputEnabled = false;
    glm::vec3 spawnPoints[SpawnPointCount] = {};
    uint16_t activeZombies = 0;
    uint32_t zombiesThisRound = 0;
    uint32_t zombiesSpawned = 0;
    uint16_t round = 0; // 0 before the first round
    Actor* spotLightMarker = nullptr;
    Actor* pointLightMarkers[MaxPointLights] = {};
    Gamepad gamepad;
    ScenePhaseTime constructionPhases[MaxScenePhases];
    int constructionPhaseCount = 0;

    // `profile` holds the player's settings and records and outlives the scene (restarts keep
    // it); without one the scene plays with the defaults and remembers nothing. `seed` decides
    // every random draw of the scene, rand() and RandomGenerator() both: the game passes the
    // clock, so each start and restart differs; tests keep the default and replay exactly.
    explicit Scene0(IRenderer* renderer, PlayerProfile* profile = nullptr, uint32_t seed = 1);
    ~Scene0() override;
    Scene0(const Scene0&) = delete;
    Scene0& operator=(const Scene0&) = delete;

    void Update(float dt) override;
    void HandleEvent(const SDL_Event* event) override;
    void Render() override;
    void DrawUI() override;

    void NextRound();
    void TrySpawnZombie();
    // Opens or closes the pause menu: game time and sound stop with it, held movement keys are
    // dropped, and the mouse is free while paused.
    void SetPaused(bool pause);

    GameSettings& Settings();
    OptionsPanel& Options() { return options_; }
    // Puts the settings into effect: the look, the field of view, the pad, the volumes, and the
    // window's mode and vertical sync (which the application applies).
    void ApplySettings();
    // The best round before this game: the game-over menu says when it was beaten.
    uint32_t BestRoundBefore() const { return bestRoundBefore_; }

private:
    void Build(PhaseStopwatch& stopwatch);
    // Takes `actor` into the scene's keeping before anything else can fail, and returns it for
    // the draw lists and the fields that name it.
    template <class T> T* Own(std::unique_ptr<T> actor);
    // Releases what the scene owns, whatever part of it was built.
    void Teardown();
    // The images of every texture the scene registers, the sky's faces included, decoded at once
    // on every core; null off the Vulkan backend, which makes no images.
    std::unique_ptr<ImageBatch> DecodeImages() const;
    // Registers the 2D textures in their fixed order, from `images` when there are any.
    void LoadTextures(ImageBatch* images);
    void LoadMeshes();
    void LoadAnimations();
    void LoadSounds();
    void CreateShaders();
    void BuildPlayer();
    void BuildZombies();
    void CreateLights();
    void BuildLevel();
    void AddWall(const glm::vec3& position, const glm::vec3& scale, const glm::vec3& colour, const glm::vec4& values);
    void FileInGrid();
    void SizeShaderBuffers();
    void PrepareFrameCaches();

    uint32_t GameWindowId() const;
    void PlaceListener();
    void ApplyGamepadSticks(float dt);
    void UpdateActor(Actor& actor, COLLISION::BoundingVolume* volume, float dt);
    void WanderLights(float dt);
    void SortTransparentActors();
    void DrawGameMenu();
    void DrawOptions();
    void DrawCrosshair();
    void DrawRoundSummary();
    // The key or button of `event` as one of the player's actions (InputAction::Count for none).
    InputAction BoundAction(const SDL_Event& event) const;
    // Takes a window mode the application changed (Alt+Enter) into the settings.
    void FollowWindowMode();
    // Writes what changed to the player's files; never throws.
    void SaveProfile();

    // What the scene owns; the process-wide pointers (grid, soundManager, assetRegistry) and the
    // camera and actor lists only point at these.
    std::unique_ptr<HGrid> grid_;
    std::unique_ptr<SoundManager> sounds_;
    std::unique_ptr<AssetRegistry> registry_;
    std::unique_ptr<Camera> camera_;
    std::vector<std::unique_ptr<Actor>> ownedActors_; // in the order they were made

    PlayerProfile* profile_ = nullptr;
    std::unique_ptr<PlayerProfile> ownProfile_; // without a caller's profile
    OptionsPanel options_;
    uint32_t bestRoundBefore_ = 0;
    bool profileDirty_ = false;

    std::shared_ptr<TransformComponent> playerTransform_;
    SoundId roundChangeSound_;
    std::shared_ptr<TransformComponent> pointMarkerTransforms_[MaxPointLights];
    // Each actor with the parts the frame reads, looked up once at construction, so the frame
    // neither allocates nor searches components. The opaque list keeps its order; the transparent
    // entries are sorted every frame and the list is written back from them.
    struct ActorEntry {
        Actor* actor;
        COLLISION::BoundingVolume* volume; // null without a collision component
    };
    struct SortEntry {
        Actor* actor;
        COLLISION::BoundingVolume* volume;
        TransformComponent* transform;
        float key;
    };
    std::vector<ActorEntry> opaqueEntries_;
    std::vector<SortEntry> sortEntries_;
};

// Scene0 construction (services, assets, shaders, actors, grid filing, buffer sizing) and teardown.
#include "game/Scene0.h"

#include "app/IRenderer.h"
#include "app/PhaseStopwatch.h"
#include "app/WindowInfo.h"
#include "assets/DecodedImageCache.h"
#include "assets/ImageBatch.h"
#include "collision/HGrid.h"
#include "collision/Object.h"
#include "game/PlayerProfile.h"
#include "game/SceneShaders.h"
#include "game/SkyBox.h"
#include "game/SoundManager.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "math/MathUtils.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/camera/Camera.h"

#include <SDL2/SDL.h>
#include <vulkan/vulkan.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The arena as rows of cells: '#' wall, 'g' grass, '.' empty.
constexpr const char* LevelRows[LevelSize] = {
    "##################", "#...g..g...g.g...#", "#.......g......g.#", "#..g.......g....g#", "#.g......g...g...#",
    "#....g..g.g....g.#", "#............g...#", "#....g...g.......#", "#.....g.g..g.....#", "#....g...........#",
    "#g.....g.....g...#", "#.............g..#", "#...g.....g......#", "#.......g.......g#", "#g......g.g....g.#",
    "#................#", "#..g.....g...g...#", "##################",
};

// The 2D textures in registration order, which gives their texture indices.
constexpr VkFormat Colour = VK_FORMAT_R8G8B8A8_SRGB;
constexpr VkFormat Data = VK_FORMAT_R8G8B8A8_UNORM; // normal, specular and alpha maps are not colours
constexpr std::pair<const char*, VkFormat> SceneTextures[] = {
    {"GroundTexture", Colour},    {"GroundNormalTexture", Data}, {"GrassDiffuseTexture", Colour},
    {"GrassNormalTexture", Data}, {"GrassAlphaTexture", Data},   {"MoonTexture", Colour},
    {"DrevikDiff", Colour},       {"DrevikNormal", Data},        {"ZombieDiff", Colour},
    {"ZombieSpec", Data},         {"ZombieNormal", Data},        {"BubblgunDiffuse", Colour},
    {"BubblgunNormal", Data},
};

} // namespace

Scene0::Scene0(IRenderer* renderer, PlayerProfile* profile, uint32_t seed) : renderer(renderer), profile_(profile)
{
    if (!profile_) {
        ownProfile_ = std::make_unique<PlayerProfile>(std::filesystem::path(), std::filesystem::path());
        profile_ = ownProfile_.get();
    }
    bestRoundBefore_ = profile_->records.bestRound;
    PhaseStopwatch stopwatch(constructionPhases, constructionPhaseCount);
    for (int r = 0; r < LevelSize; ++r)
        for (int c = 0; c < LevelSize; ++c) {
            const char cell = LevelRows[r][c];
            levelMap[r * LevelSize + c] = cell == '#' ? WallCell : cell == 'g' ? GrassCell : EmptyCell;
        }
    spawnPoints[0] = glm::vec3(2.9f, 0.0f, 30.8f);
    spawnPoints[1] = glm::vec3(30.5f, 0.0f, 30.5f);
    spawnPoints[2] = glm::vec3(32.1f, 0.0f, 2.7f);
    spawnPoints[3] = glm::vec3(2.8f, 0.0f, 2.7f);

    SDL_SetRelativeMouseMode(SDL_TRUE);
    quitRequested = false;
    restartRequested = false;
    // Once, before anything is drawn: the same seed builds and plays the same scene, whatever ran
    // before it.
    std::srand(seed);
    RandomGenerator().seed(seed);

    // A failure part-way (a missing or damaged asset) releases whatever was built, as the
    // destructor would, before it ends the start.
    try {
        Build(stopwatch);
    } catch (...) {
        try {
            Teardown();
        } catch (...) {
            // The construction failure is the one to report.
        }
        throw;
    }
}

void Scene0::Build(PhaseStopwatch& stopwatch)
{
    grid_ = std::make_unique<HGrid>();
    grid = grid_.get();
    sounds_ = std::make_unique<SoundManager>();
    soundManager = sounds_.get();
    registry_ = std::make_unique<AssetRegistry>(renderer);
    assetRegistry = registry_.get();
    stopwatch.Lap("services");

    const std::unique_ptr<ImageBatch> images = DecodeImages();
    stopwatch.Lap("image decode");
    LoadTextures(images.get());
    stopwatch.Lap("textures");
    LoadMeshes();
    stopwatch.Lap("meshes");
    LoadAnimations();
    stopwatch.Lap("animations");
    LoadSounds();
    stopwatch.Lap("sounds");
    CreateSkyBox(*assetRegistry, images.get());
    stopwatch.Lap("sky box");
    CreateShaders();
    stopwatch.Lap("shader code");

    camera_ = std::make_unique<Camera>(renderer, 0.1f);
    camera = camera_.get();
    BuildPlayer();
    CreateLights();
    BuildZombies();
    BuildLevel();
    stopwatch.Lap("actors");

    FileInGrid();
    stopwatch.Lap("grid");
    // Pipelines are compiled here, once the buffers they bind are sized.
    SizeShaderBuffers();
    stopwatch.Lap("buffers and pipelines");
    PrepareFrameCaches();
    stopwatch.Lap("frame caches");

    ApplySettings();
    roundDifficulty = 0;
    inputEnabled = true;
}

GameSettings& Scene0::Settings()
{
    return profile_->settings;
}

void Scene0::ApplySettings()
{
    const GameSettings& settings = profile_->settings;
    camera->mouseSensitivity = glm::vec2(settings.mouseSensitivityX, settings.mouseSensitivityY);
    camera->invertMouseY = settings.invertMouseY;
    camera->stickDegreesPerSecond = settings.padLookSpeed;
    camera->invertStickY = settings.invertPadY;
    if (camera->fov != settings.fieldOfView)
        camera->SetProjection(settings.fieldOfView, camera->aspect);
    gamepad.deadZone = settings.padDeadZone;
    soundManager->SetVolumes(settings.masterVolume, settings.effectsVolume, settings.voicesVolume);
    if (WindowInfo* window = renderer ? renderer->windowInfo : nullptr) {
        window->mode = settings.windowMode;
        window->vsync = settings.vsync;
        window->quality = settings.quality;
        window->renderScale = settings.renderScale;
        window->upscaleFilter = settings.upscaleFilter;
    }
}

void Scene0::FollowWindowMode()
{
    const WindowInfo* window = renderer ? renderer->windowInfo : nullptr;
    if (window && window->mode != profile_->settings.windowMode) {
        profile_->settings.windowMode = window->mode;
        profileDirty_ = true;
    }
}

void Scene0::SaveProfile()
{
    if (!profileDirty_)
        return;
    profile_->Save();
    profileDirty_ = false;
}

std::unique_ptr<ImageBatch> Scene0::DecodeImages() const
{
    if (!renderer || renderer->backend != RendererBackend::Vulkan)
        return nullptr;
    std::vector<std::string> names;
    for (const auto& [name, format] : SceneTextures)
        names.push_back(name);
    for (const std::string& face : SkyBoxFaceNames())
        names.push_back(face);
    // Kept from scene to scene: a restart decodes only images whose bytes in the pack changed.
    static DecodedImageCache cache;
    return std::make_unique<ImageBatch>(names, 0, &cache);
}

void Scene0::LoadTextures(ImageBatch* images)
{
    for (const auto& [name, format] : SceneTextures) {
        if (images)
            assetRegistry->LoadTexture(name, format, images->Take(name));
        else
            assetRegistry->LoadTexture(name, format);
    }
}

void Scene0::LoadMeshes()
{
    for (const char* mesh :
         {"Cube", "Sphere", "Cylinder", "HalfSphere", "Triangle", "Drevik", "BubbleGun", "Zombie", "Plane", "Grass"})
        assetRegistry->LoadMesh(mesh);
}

void Scene0::LoadAnimations()
{
    const auto drevik = assetRegistry->GetMesh("Drevik");
    for (const char* clip : {"DrevikDeath", "DrevikWalk", "DrevikIdle"})
        assetRegistry->LoadAnimation(clip, drevik);
    const auto zombie = assetRegistry->GetMesh("Zombie");
    for (const char* clip : {"ZombieIdle", "ZombieWalking", "ZombieDeath", "ZombieAttack", "ZombieRun"})
        assetRegistry->LoadAnimation(clip, zombie);
}

void Scene0::LoadSounds()
{
    for (const char* sound : {"GunShot", "Bubbling", "PlayerHit", "ZombieAttack2", "ZombieNormal1", "ZombieNormal2",
                              "ZombieNormal3", "ZombieDeath1", "ZombieDeath2", "RoundChange", "BulletExplode",
                              "Burning", "Walk1", "Walk2", "Walk3", "Walk4"})
        soundManager->LoadSound(sound);
    roundChangeSound_ = soundManager->Resolve("RoundChange");
}

void Scene0::CreateShaders()
{
    CreateSceneShaders(*assetRegistry);
}

void Scene0::FileInGrid()
{
    for (Actor* actor : actors)
        if (actor->gridObject)
            grid->AddObject(*actor->gridObject);
    for (Actor* actor : transparentActors)
        if (actor->gridObject)
            grid->AddObject(*actor->gridObject);
}

void Scene0::SizeShaderBuffers()
{
    // One record per actor that uses a per-object block.
    std::unordered_map<std::string, uint32_t> dynamicCounts;
    std::unordered_map<std::string, uint32_t> storageCounts;
    auto count = [&](const Actor* actor) {
        const auto shader = actor->GetComponent<ShaderComponent>();
        if (!shader)
            return;
        if (shader->hasDynamicBlock)
            ++dynamicCounts[shader->dynamicBlockName];
        if (shader->hasStorageBlock)
            ++storageCounts[shader->storageBlockName];
    };
    for (const Actor* actor : actors)
        count(actor);
    for (const Actor* actor : transparentActors)
        count(actor);
    for (auto& [name, shader] : assetRegistry->shaders)
        shader->Build(dynamicCounts, storageCounts);
}

Scene0::~Scene0()
{
    Teardown();
}

void Scene0::Teardown()
{
    SaveProfile();
    renderer->ReleaseFrameResources();

    soundManager = nullptr;
    sounds_.reset();

    if (registry_)
        registry_->Clear();
    assetRegistry = nullptr;
    registry_.reset();

    camera = nullptr;
    camera_.reset();

    // Newest first: an actor may point at one made before it (a zombie at the player, the player
    // at his gun), never the other way.
    actors.clear();
    transparentActors.clear();
    while (!ownedActors_.empty())
        ownedActors_.pop_back();

    // A hand sphere whose zombie was never destroyed would keep a dangling grid entry: reported
    // after the grid is gone, so the report does not leak it too.
    grid = nullptr;
    grid_.reset();
    CheckAttackSpheresCleared();
}

#include "game/StandInScene.h"

#include "app/IRenderer.h"
#include "assets/AssetRegistry.h"
#include "game/StandInContent.h"
#include "math/MathUtils.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/StaticActor.h"
#include "scene/camera/Camera.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

#include <SDL2/SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float Pi = 3.14159265f;

// Light falloff of the game's lights: full at the source, about a tenth at 12 units.
constexpr float LightConstant = 1.0f;
constexpr float LightLinear = 0.09f;
constexpr float LightQuadratic = 0.032f;

} // namespace

StandInScene::StandInScene(IRenderer* renderer) : renderer(renderer)
{
    registry = new AssetRegistry(renderer);
    assetRegistry = registry;
    LoadStandInAssets(*registry);
    CreateStandInShaders(*registry);

    camera = new Camera(renderer, 0.1f);
    camera->freeMode = true;
    PlaceCamera(0.0f);

    CreateLights();
    BuildActors();
    SizeBuffers();
}

StandInScene::~StandInScene()
{
    renderer->ReleaseFrameResources();
    registry->Clear();
    if (assetRegistry == registry)
        assetRegistry = nullptr;
    delete registry;
    registry = nullptr;
    delete camera;
    camera = nullptr;
    for (Actor* actor : actors)
        delete actor;
    for (Actor* actor : transparentActors)
        delete actor;
    actors.clear();
    transparentActors.clear();
}

void StandInScene::PlaceCamera(float degrees)
{
    const float radians = degrees * Pi / 180.0f;
    camera->position =
        OrbitCentre + glm::vec3(std::sin(radians) * OrbitRadius, OrbitHeight, std::cos(radians) * OrbitRadius);
    const glm::vec3 look = glm::normalize(OrbitCentre - camera->position);
    // The camera looks along (cos p sin y, -sin p, -cos p cos y) for pitch p and yaw y.
    camera->pitch = std::asin(-look.y) * 180.0f / Pi;
    camera->yaw = std::atan2(look.x, -look.z) * 180.0f / Pi;
    camera->UpdateFrustum();
}

Actor* StandInScene::AddActor(const ActorPlan& plan)
{
    if (!registry->meshes.count(plan.mesh))
        return nullptr;
    // A material only when some texture is there: an all-empty one would push a black colour.
    std::shared_ptr<Texture> slots[MaxMaterialTextures];
    bool textured = false;
    for (const auto& [slot, name] : plan.textures)
        if (registry->textures.count(name)) {
            slots[slot] = registry->GetTexture(name);
            textured = true;
        }
    std::shared_ptr<MaterialComponent> material;
    if (textured)
        material = std::make_shared<MaterialComponent>(slots[0], slots[1], slots[2], slots[3], slots[4], slots[5],
                                                       slots[6], slots[7]);
    std::shared_ptr<AnimationComponent> animation;
    if (plan.clip && registry->animations.count(plan.clip))
        animation = std::make_shared<AnimationComponent>(registry->GetAnimation(plan.clip), 1.0f);

    auto* actor = new StaticActor(registry->GetMesh(plan.mesh), material, registry->GetShader(plan.shader, true),
                                  std::make_shared<TransformComponent>(plan.position, plan.rotation, plan.scale),
                                  nullptr, animation);
    actor->colour = plan.colour;
    actor->materialValues = plan.values;
    (plan.transparent ? transparentActors : actors).push_back(actor);
    return actor;
}

void StandInScene::CreateLights()
{
    for (int i = 0; i < MaxPointLights; ++i) {
        const float angle = 2.0f * Pi * float(i) / float(MaxPointLights);
        PointLight& light = pointLights[i];
        light.position = glm::vec4(std::cos(angle) * 6.0f, 1.5f + float(i % 3), std::sin(angle) * 6.0f, 1.0f);
        // Colours spread round the hue circle, twice full strength like the game's lights.
        light.colour =
            glm::vec4(1.0f + std::cos(angle), 1.0f + std::cos(angle + 2.1f), 1.0f + std::cos(angle + 4.2f), 1.0f);
        light.ambient = glm::vec4(0.09f, 0.09f, 0.09f, 0.0f);
        light.specular = glm::vec4(0.5f, 0.5f, 0.5f, 0.0f);
        light.constant = LightConstant;
        light.linear = LightLinear;
        light.quadratic = LightQuadratic;
    }
    spotLight.position = glm::vec4(0.0f, 8.0f, 0.0f, 1.0f);
    spotLight.direction = glm::vec4(0.0f, -1.0f, 0.0f, 1.0f);
    spotLight.colour = glm::vec4(1.5f, 1.4f, 1.2f, 1.0f);
    spotLight.ambient = glm::vec4(0.09f, 0.09f, 0.09f, 0.0f);
    spotLight.specular = glm::vec4(0.5f, 0.5f, 0.5f, 0.0f);
    spotLight.constant = LightConstant;
    spotLight.linear = LightLinear;
    spotLight.quadratic = LightQuadratic;
    spotLight.cutOff = std::cos(20.0f * Pi / 180.0f);
    spotLight.outerCutOff = std::cos(25.0f * Pi / 180.0f);
    // A low moon, so that the orbiting camera passes it.
    directionalLights[0].direction = glm::vec4(1.0f, -0.35f, 0.7f, 0.0f);
    directionalLights[0].colour = glm::vec4(1.0f, 1.0f, 1.0f, 0.0f);
    directionalLights[0].ambient = glm::vec4(0.09f, 0.09f, 0.09f, 0.0f);
    directionalLights[0].specular = glm::vec4(0.5f, 0.5f, 0.5f, 0.0f);
}

void StandInScene::BuildActors()
{
    const glm::vec4 matte{0.0f, 0.8f, 1.0f, 1.0f};
    AddActor({"Plane",
              "PBRShader",
              {{0, "GroundTexture"}, {1, "GroundNormalTexture"}},
              {0, 0, 0},
              {12, 1, 12},
              {1, 1, 1},
              matte});
    AddActor({"Cube", "PBRShader", {}, {-3, 1, -2}, {1, 1, 1}, {0.8f, 0.2f, 0.15f}, {0.1f, 0.5f, 1, 1}});
    AddActor({"Cube", "PBRShader", {}, {3, 1, -2}, {1, 1, 1}, {0.2f, 0.7f, 0.25f}, {0.1f, 0.5f, 1, 1}});
    AddActor({"Cube", "PBRShader", {}, {0, 1, 4}, {1, 1, 1}, {0.2f, 0.3f, 0.8f}, {0.1f, 0.5f, 1, 1}});
    AddActor({"Sphere", "PBRShader", {}, {-4, 1, 3}, {1, 1, 1}, {0.9f, 0.8f, 0.5f}, {0.9f, 0.2f, 1, 1}});
    AddActor({"Sphere", "PBRShader", {}, {4, 1, 3}, {1, 1, 1}, {0.7f, 0.7f, 0.7f}, {0.5f, 0.5f, 1, 1}});
    AddActor({"Sphere", "PBRShader", {}, {0, 1, -5}, {1, 1, 1}, {0.6f, 0.2f, 0.6f}, {0.0f, 0.9f, 1, 1}});
    AddActor({"BubbleGun",
              "PBRShader",
              {{0, "BubblgunDiffuse"}, {1, "BubblgunNormal"}},
              {2, 1.5f, 0},
              {0.09f, 0.09f, 0.09f},
              {1, 1, 1},
              {0.1f, 0.3f, 0.9f, 1.0f}});

    // Light markers show each point light in its own colour.
    for (const PointLight& light : pointLights)
        lightMarkers.push_back(AddActor(
            {"Sphere", "BaseShader", {}, glm::vec3(light.position), {0.2f, 0.2f, 0.2f}, glm::vec3(light.colour)}));
    lightMarkers.erase(std::remove(lightMarkers.begin(), lightMarkers.end(), nullptr), lightMarkers.end());
    // The moon sits where the moonlight comes from, far out (the far plane is at 10000).
    const glm::vec3 moonPosition = -glm::normalize(glm::vec3(directionalLights[0].direction)) * 1000.0f;
    AddActor({"Sphere",
              "BaseShader",
              {{0, "MoonTexture"}, {6, "MoonTexture"}},
              moonPosition,
              {16, 16, 16},
              glm::vec3(directionalLights[0].colour),
              {0, 0.5f, 1, 1},
              glm::angleAxis(Pi / 2.0f, glm::normalize(glm::vec3(0, 1, 1)))});

    // A bind-pose sphere through the skinned path as well, so that it draws even without the
    // character, and with it the storage records are addressed past the first.
    AddActor({"Sphere",
              "AnimPBRShader",
              {},
              {1.5f, 0.7f, -1.0f},
              {0.7f, 0.7f, 0.7f},
              {0.9f, 0.6f, 0.2f},
              {0.8f, 0.3f, 1.0f, 1.0f}});
    AddActor({"Drevik",
              "AnimPBRShader",
              {{0, "DrevikDiff"}, {1, "DrevikNormal"}},
              {0, 0, 0},
              {0.01f, 0.01f, 0.01f},
              {1, 1, 1},
              {0, 0, 0.9f, 1.0f},
              glm::quat(1, 0, 0, 0),
              "DrevikIdle"});

    // A collision volume display; built and sized like the game's, never drawn by the renderer.
    AddActor({"Sphere", "CollisionShader", {}, {0, 1, 0}, {0.3f, 0.3f, 0.3f}, {0, 1, 0}});

    // Grass tufts around the centre and one translucent sphere, blended back to front.
    for (int i = 0; i < 8; ++i) {
        const float angle = 2.0f * Pi * float(i) / 8.0f + 0.3f;
        AddActor({"Grass",
                  "BillBoardPBRShader",
                  {{0, "GrassDiffuseTexture"}, {1, "GrassNormalTexture"}, {7, "GrassAlphaTexture"}},
                  {std::cos(angle) * 2.5f, -0.1f, std::sin(angle) * 2.5f},
                  {0.5f, 0.5f, 0.5f},
                  {1, 1, 1},
                  {0, 0, 1, 1},
                  glm::quat(1, 0, 0, 0),
                  nullptr,
                  true});
    }
    AddActor({"Sphere",
              "BillBoardPBRShader",
              {},
              {-1.5f, 1.2f, 1.5f},
              {0.8f, 0.8f, 0.8f},
              {0.4f, 0.6f, 1.0f},
              {0, 0.1f, 0.9f, 0.6f},
              glm::quat(1, 0, 0, 0),
              nullptr,
              true});
}

void StandInScene::SizeBuffers()
{
    for (const std::vector<Actor*>* list : {&actors, &transparentActors})
        for (Actor* actor : *list)
            if (auto shader = actor->GetComponent<ShaderComponent>()) {
                if (shader->hasDynamicBlock)
                    ++dynamicCounts[shader->dynamicBlockName];
                if (shader->hasStorageBlock)
                    ++storageCounts[shader->storageBlockName];
            }
    for (const std::string& name : registry->shaderNames)
        registry->GetShader(name)->Build(dynamicCounts, storageCounts);
}

void StandInScene::AnimateLights()
{
    // Each light bobs gently; its marker follows.
    for (size_t i = 0; i < lightMarkers.size() && i < size_t(MaxPointLights); ++i) {
        PointLight& light = pointLights[i];
        light.position.y = 2.0f + std::sin(elapsedSeconds * 0.8f + float(i));
        if (auto transform = lightMarkers[i]->GetComponent<TransformComponent>())
            transform->position = glm::vec3(light.position);
    }
}

void StandInScene::Update(float dt)
{
    if (menuOpen)
        return;
    elapsedSeconds += dt;
    orbitDegrees = std::fmod(orbitDegrees + OrbitDegreesPerSecond * dt, 360.0f);
    PlaceCamera(orbitDegrees);
    AnimateLights();
    for (const std::vector<Actor*>* list : {&actors, &transparentActors})
        for (Actor* actor : *list) {
            actor->visible = true; // the stand-in draws everything; culling belongs to the level
            actor->Update(dt);
        }
}

void StandInScene::HandleEvent(const SDL_Event* event)
{
    if (event->type == SDL_KEYDOWN && event->key.keysym.scancode == SDL_SCANCODE_ESCAPE)
        menuOpen = !menuOpen;
}

void StandInScene::Render()
{
    const glm::vec3 eye = camera->GetPosition();
    auto distance = [&eye](const Actor* actor) {
        auto transform = actor->GetComponent<TransformComponent>();
        return transform ? glm::distance(eye, transform->position) : 0.0f;
    };
    // Back to front, so that blending sees what lies behind.
    std::sort(transparentActors.begin(), transparentActors.end(),
              [&distance](const Actor* a, const Actor* b) { return distance(a) > distance(b); });
    renderer->DrawFrame(this);
}

void StandInScene::DrawUI()
{
    // No title bar, resize, move, scrollbar, collapse or background: a caption, not a window.
    constexpr ImGuiWindowFlags CaptionFlags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                              ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                                              ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoBackground;
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f));
    ImGui::Begin("StandInCaption", nullptr, CaptionFlags);
    ImGui::Text("Zorbulon stand-in scene: %d actors", int(actors.size() + transparentActors.size()));
    ImGui::Text("Escape: menu");
    ImGui::End();

    if (!menuOpen)
        return;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const ImVec2 size(300.0f, 150.0f); // the size of the game's own menu
    ImGui::SetNextWindowPos(ImVec2((display.x - size.x) * 0.5f, (display.y - size.y) * 0.5f));
    ImGui::SetNextWindowSize(size);
    ImGui::Begin("Menu", nullptr, ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove);
    if (ImGui::Button("Restart"))
        restartRequested = true;
    if (ImGui::Button("Exit"))
        quitRequested = true;
    ImGui::End();
}

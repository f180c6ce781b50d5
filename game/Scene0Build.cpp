// Scene0's actors: the gun, the player and his bubble particles, the lights with their markers
// and the moon, the zombie pool, the ground, the walls and the grass.
#include "game/Scene0.h"

#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "collision/Capsule.h"
#include "collision/CollisionComponent.h"
#include "collision/Cube.h"
#include "collision/Object.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "math/MathUtils.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/StaticActor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

#include <cmath>
#include <memory>

namespace {

const glm::quat Identity(1.0f, 0.0f, 0.0f, 0.0f);
const glm::vec3 Up(0.0f, 1.0f, 0.0f);
constexpr float CharacterScale = 0.01f; // characters are modelled in centimetres

// Draws in a fixed order (x, then y, then z), so a seeded run is reproducible.
glm::vec3 RandomVec3(float a, float b)
{
    const float x = RandomRange(a, b);
    const float y = RandomRange(a, b);
    const float z = RandomRange(a, b);
    return glm::vec3(x, y, z);
}

// A light's colour: bright enough to carry across the arena.
glm::vec4 RandomLightColour()
{
    return glm::vec4(2.0f * RandomVec3(0.1f, 1.0f), 1.0f);
}

glm::vec3 RandomLightPosition()
{
    const float x = RandomRange(1.5f, 32.5f);
    const float y = RandomRange(1.0f, 3.0f);
    const float z = RandomRange(1.5f, 32.0f);
    return glm::vec3(x, y, z);
}

// An upright capsule for a character standing at the transform: segment from 0.5 to 1.5 above
// the feet (the offset puts its centre 1 m up).
std::shared_ptr<CollisionComponent<COLLISION::Capsule>>
UprightCapsule(bool isTrigger, float radius, const std::shared_ptr<TransformComponent>& transform)
{
    auto capsule =
        std::make_shared<CollisionComponent<COLLISION::Capsule>>(isTrigger, glm::vec3(0.0f, 1.0f, 0.0f), transform);
    auto& volume = *capsule->volume;
    volume.radius = radius;
    const glm::vec3 centre = volume.GetCenter();
    volume.baseA = volume.pointA = centre - glm::vec3(0.0f, 0.5f, 0.0f);
    volume.baseB = volume.pointB = centre + glm::vec3(0.0f, 0.5f, 0.0f);
    volume.SetOrientation(volume.orientation);
    return capsule;
}

std::shared_ptr<MaterialComponent> Material(const char* diffuse, const char* normal)
{
    return std::make_shared<MaterialComponent>(assetRegistry->GetTexture(diffuse), assetRegistry->GetTexture(normal));
}

// A bare Actor (light markers, the moon): mesh, optional material, shader, transform.
std::unique_ptr<Actor> MakeMarker(const char* mesh, std::shared_ptr<MaterialComponent> material,
                                  const glm::vec3& position, const glm::quat& rotation, const glm::vec3& scale,
                                  const glm::vec3& colour)
{
    auto actor = std::make_unique<Actor>();
    actor->AddComponent<MeshComponent>(assetRegistry->GetMesh(mesh));
    if (material)
        actor->AddComponent<MaterialComponent>(std::move(material));
    actor->AddComponent<ShaderComponent>(assetRegistry->GetShader("BaseShader"));
    actor->AddComponent<TransformComponent>(std::make_shared<TransformComponent>(position, rotation, scale));
    actor->colour = colour;
    return actor;
}

} // namespace

template <class T> T* Scene0::Own(std::unique_ptr<T> actor)
{
    T* kept = actor.get();
    ownedActors_.push_back(std::move(actor));
    return kept;
}

void Scene0::BuildPlayer()
{
    // Kept first: the player points at his gun.
    auto gun = Own(std::make_unique<StaticActor>(
        assetRegistry->GetMesh("BubbleGun"), Material("BubblgunDiffuse", "BubblgunNormal"),
        assetRegistry->GetShader("PBRShader"),
        std::make_shared<TransformComponent>(glm::vec3(0.0f, 0.0f, 0.1f), Identity, glm::vec3(0.09f)), nullptr,
        nullptr));
    gun->materialValues = glm::vec4(0.1f, 0.3f, 0.9f, 1.0f);

    auto transform = std::make_shared<TransformComponent>(
        glm::vec3(17.0f, 0.0f, 15.0f), glm::angleAxis(90.0f * DegToRad, Up), glm::vec3(CharacterScale));
    // Solid, so walls stop him and zombies push him; radius 0.45 keeps his feet off the ground box.
    auto capsule = UprightCapsule(false, 0.45f, transform);
    player = Own(std::make_unique<PlayerActor>(
        assetRegistry->GetMesh("Drevik"), Material("DrevikDiff", "DrevikNormal"),
        assetRegistry->GetShader("AnimPBRShader"), transform, capsule,
        std::make_shared<AnimationComponent>(assetRegistry->GetAnimation("DrevikIdle"), 1.0f), camera, gun));
    player->materialValues = glm::vec4(0.0f, 0.0f, 0.9f, 1.0f);
    player->gridObject = std::make_unique<Object>(PlayerTag, player, [](Object&, Object&, COLLISION::Collision&) {});

    actors.push_back(player);
    actors.push_back(player->bubble);
    actors.push_back(gun);

    Actor* particles[BubbleParticleCount];
    for (Actor*& particle : particles) {
        particle = Own(std::make_unique<StaticActor>(
            assetRegistry->GetMesh("Sphere"), nullptr, assetRegistry->GetShader("BillBoardPBRShader"),
            std::make_shared<TransformComponent>(glm::vec3(5.0f, -100.0f, 3.0f), Identity, glm::vec3(0.1f)), nullptr,
            nullptr));
        particle->colour = glm::vec3(0.4f);
        particle->materialValues = glm::vec4(0.0f, 0.1f, 0.9f, 0.6f);
        particle->hidden = true;
        transparentActors.push_back(particle);
    }
    player->SetBubbleParticles(particles);
    transparentActors.push_back(player->puddle);
}

void Scene0::CreateLights()
{
    const glm::vec4 ambient(0.09f, 0.09f, 0.09f, 0.0f);
    const glm::vec4 specular(0.5f, 0.5f, 0.5f, 0.0f);
    // Attenuation for a range of about 50 units.
    constexpr float Constant = 1.0f, Linear = 0.09f, Quadratic = 0.032f;

    for (PointLight& light : pointLights) {
        light.colour = RandomLightColour();
        light.position = glm::vec4(RandomLightPosition(), 1.0f);
        light.ambient = ambient;
        light.specular = specular;
        light.constant = Constant;
        light.linear = Linear;
        light.quadratic = Quadratic;
    }

    spotLight.position = glm::vec4(0.0f, -100.0f, 0.0f, 1.0f);
    spotLight.direction = glm::vec4(0.0f, -1.0f, 0.0f, 1.0f);
    spotLight.colour = RandomLightColour();
    spotLight.ambient = ambient;
    spotLight.specular = specular;
    spotLight.constant = Constant;
    spotLight.linear = Linear;
    spotLight.quadratic = Quadratic;
    spotLight.cutOff = std::cos(30.0f * DegToRad);
    spotLight.outerCutOff = std::cos(35.0f * DegToRad);

    DirectionalLight& moonLight = directionalLights[0];
    moonLight.direction = glm::vec4(1.0f, -1.0f, 0.7f, 0.0f);
    moonLight.colour = glm::vec4(1.0f, 1.0f, 1.0f, 0.0f);
    moonLight.ambient = ambient;
    moonLight.specular = specular;

    for (int i = 0; i < MaxPointLights; ++i) {
        pointLightMarkers[i] = Own(MakeMarker("Sphere", nullptr, glm::vec3(pointLights[i].position), Identity,
                                              glm::vec3(0.2f), glm::vec3(pointLights[i].colour)));
        actors.push_back(pointLightMarkers[i]);
    }
    spotLightMarker = Own(MakeMarker("Cube", nullptr, glm::vec3(spotLight.position), Identity, glm::vec3(0.2f),
                                     glm::vec3(spotLight.colour)));
    actors.push_back(spotLightMarker);

    // The moon hangs far out along the light's source direction; slot 6 makes it glow.
    const auto moonTexture = assetRegistry->GetTexture("MoonTexture");
    auto moonMaterial =
        std::make_shared<MaterialComponent>(moonTexture, nullptr, nullptr, nullptr, nullptr, nullptr, moonTexture);
    const glm::vec3 moonPosition = -glm::normalize(glm::vec3(moonLight.direction)) * 1000.0f;
    const glm::quat moonRotation = glm::angleAxis(90.0f * DegToRad, glm::normalize(glm::vec3(0.0f, 1.0f, 1.0f)));
    actors.push_back(Own(MakeMarker("Sphere", std::move(moonMaterial), moonPosition, moonRotation, glm::vec3(16.0f),
                                    glm::vec3(moonLight.colour))));

    round = 0;
    NextRound();
}

void Scene0::BuildZombies()
{
    const auto mesh = assetRegistry->GetMesh("Zombie");
    const auto shader = assetRegistry->GetShader("AnimPBRShader");
    const auto idle = assetRegistry->GetAnimation("ZombieIdle");
    for (int i = 0; i < ZombiePoolSize; ++i) {
        // Parked far below the level, each on its own spot, until spawned.
        auto transform =
            std::make_shared<TransformComponent>(glm::vec3(0.0f, 1.0f - 1000.0f * static_cast<float>(i), -4.0f),
                                                 glm::angleAxis(-90.0f * DegToRad, Up), glm::vec3(CharacterScale));
        // A trigger while parked; spawning makes it solid.
        auto capsule = std::make_shared<CollisionComponent<COLLISION::Capsule>>(true, glm::vec3(0.0f), transform);
        auto zombie =
            Own(std::make_unique<ZombieActor>(mesh, Material("ZombieDiff", "ZombieNormal"), shader, transform, capsule,
                                              std::make_shared<AnimationComponent>(idle, 1.0f), player));
        zombie->hidden = true;
        zombie->active = false;
        zombie->available = true;
        zombiePool[i] = zombie;
        actors.push_back(zombie);
    }
}

void Scene0::BuildLevel()
{
    auto groundTransform =
        std::make_shared<TransformComponent>(glm::vec3(9.0f, 0.0f, 9.0f), Identity, glm::vec3(36.0f, 1.0f, 36.0f));
    // Solid, so a bubble shot at the floor bursts; flat, so standing capsules never sink into it.
    auto groundBox = std::make_shared<CollisionComponent<COLLISION::Cube>>(false, glm::vec3(0.0f), groundTransform);
    groundBox->volume->halfExtents = glm::vec3(36.0f, 0.0f, 36.0f);
    auto ground = Own(
        std::make_unique<StaticActor>(assetRegistry->GetMesh("Plane"), Material("GroundTexture", "GroundNormalTexture"),
                                      assetRegistry->GetShader("PBRShader"), groundTransform, groundBox, nullptr));
    ground->materialValues = glm::vec4(0.0f, 0.3f, 1.0f, 0.0f);
    ground->gridObject = std::make_unique<Object>(GroundTag, ground, nullptr);
    actors.push_back(ground);

    const auto grassAlpha = assetRegistry->GetTexture("GrassAlphaTexture");
    for (int r = 0; r < LevelSize; ++r)
        for (int c = 0; c < LevelSize; ++c) {
            const glm::vec3 cellPosition(2.0f * static_cast<float>(r), 0.0f, 2.0f * static_cast<float>(c));
            const uint8_t cell = levelMap[r * LevelSize + c];
            if (cell == WallCell) {
                const glm::vec3 colour = RandomVec3(0.1f, 1.0f);
                const glm::vec3 values = RandomVec3(0.01f, 0.9f);
                AddWall(cellPosition, glm::vec3(1.0f), colour, glm::vec4(values, 1.0f));
            } else if (cell == GrassCell) {
                auto material = Material("GrassDiffuseTexture", "GrassNormalTexture");
                material->textureIndices[7] = grassAlpha->textureIndex; // slot 7: the alpha mask
                auto grass = Own(std::make_unique<StaticActor>(
                    assetRegistry->GetMesh("Grass"), material, assetRegistry->GetShader("BillBoardPBRShader"),
                    std::make_shared<TransformComponent>(cellPosition + glm::vec3(0.0f, -0.1f, 0.0f), Identity,
                                                         glm::vec3(0.5f)),
                    nullptr, nullptr));
                grass->materialValues = glm::vec4(0.0f, 0.0f, 1.0f, 1.0f);
                transparentActors.push_back(grass);
            }
        }
}

void Scene0::AddWall(const glm::vec3& position, const glm::vec3& scale, const glm::vec3& colour,
                     const glm::vec4& values)
{
    auto transform = std::make_shared<TransformComponent>(position, Identity, scale);
    // Solid: walls stop the player and the zombies and burst bubbles.
    auto box = std::make_shared<CollisionComponent<COLLISION::Cube>>(false, glm::vec3(0.0f), transform);
    box->volume->halfExtents = scale;
    auto wall = Own(std::make_unique<StaticActor>(assetRegistry->GetMesh("Cube"), nullptr,
                                                  assetRegistry->GetShader("PBRShader"), transform, box, nullptr));
    wall->colour = colour;
    wall->materialValues = values;
    wall->gridObject = std::make_unique<Object>(SceneryTag, wall, nullptr);
    actors.push_back(wall);
}

void Scene0::PrepareFrameCaches()
{
    playerTransform_ = player->GetComponent<TransformComponent>();
    for (int i = 0; i < MaxPointLights; ++i)
        pointMarkerTransforms_[i] = pointLightMarkers[i]->GetComponent<TransformComponent>();
    auto volumeOf = [](const Actor* actor) -> COLLISION::BoundingVolume* {
        const auto collider = actor->GetComponent<ICollisionComponent>();
        return collider ? collider->Volume() : nullptr;
    };
    opaqueEntries_.clear();
    opaqueEntries_.reserve(actors.size());
    for (Actor* actor : actors)
        opaqueEntries_.push_back({actor, volumeOf(actor)});
    sortEntries_.clear();
    sortEntries_.reserve(transparentActors.size());
    for (Actor* actor : transparentActors)
        sortEntries_.push_back({actor, volumeOf(actor), actor->GetComponent<TransformComponent>().get(), 0.0f});
}

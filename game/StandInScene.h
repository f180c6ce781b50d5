// A small scene that exercises every shader until the real level exists: ground, lit cubes and
// spheres, light markers and a textured moon, an animated character, grass and a translucent
// sphere, a collision probe, under the sky box, seen from a slowly orbiting camera. Escape opens a
// menu with "Restart" and "Exit". Builds over any renderer; without Vulkan it makes no GPU object.
#pragma once

#include "app/Scene.h"
#include "renderer/shader/BindingReflection.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <string>
#include <utility>
#include <vector>

class Actor;
class IRenderer;
class AssetRegistry;

class StandInScene : public Scene {
public:
    // Where the camera orbits: around this point, at this distance and height above it.
    static constexpr glm::vec3 OrbitCentre{0.0f, 1.0f, 0.0f};
    static constexpr float OrbitRadius = 14.0f;
    static constexpr float OrbitHeight = 4.0f;
    static constexpr float OrbitDegreesPerSecond = 6.0f;

    IRenderer* renderer = nullptr;
    AssetRegistry* registry = nullptr; // owned; also published as the process-wide registry
    bool menuOpen = false;
    float orbitDegrees = 0.0f;
    float elapsedSeconds = 0.0f;
    // Actors per per-object block, counted when the scene was built: what the buffers hold.
    BlockCounts dynamicCounts;
    BlockCounts storageCounts;

    explicit StandInScene(IRenderer* renderer);
    ~StandInScene() override;
    StandInScene(const StandInScene&) = delete;
    StandInScene& operator=(const StandInScene&) = delete;

    void Update(float dt) override;
    void HandleEvent(const SDL_Event* event) override;
    void Render() override;
    void DrawUI() override;

    // Puts the camera on its orbit at `degrees`, looking at the orbit centre.
    void PlaceCamera(float degrees);

private:
    struct ActorPlan {
        const char* mesh;
        const char* shader;
        std::vector<std::pair<int, const char*>> textures; // material slot, texture name
        glm::vec3 position{0.0f};
        glm::vec3 scale{1.0f};
        glm::vec3 colour{1.0f};
        glm::vec4 values{0.0f, 0.5f, 1.0f, 1.0f}; // metallic, roughness, occlusion, opacity
        glm::quat rotation{1.0f, 0.0f, 0.0f, 0.0f};
        const char* clip = nullptr; // played looping when the pack has it
        bool transparent = false;
    };

    // Null (and nothing added) when the pack lacks the mesh.
    Actor* AddActor(const ActorPlan& plan);
    void CreateLights();
    void BuildActors();
    void SizeBuffers();
    void AnimateLights();

    std::vector<Actor*> lightMarkers;
};

// A level as the main loop and the renderer see it.
#pragma once

#include "app/Lights.h"

#include <cstdint>
#include <vector>

class Actor;
class Camera;
union SDL_Event;

class Scene {
public:
    // Views of what the scene itself owns: the renderer reads them, they own nothing.
    Camera* camera = nullptr;
    std::vector<Actor*> actors;            // opaque, updated and drawn in list order
    std::vector<Actor*> transparentActors; // sorted back to front before every DrawFrame
    PointLight pointLights[MaxPointLights];
    SpotLight spotLight;
    DirectionalLight directionalLights[1];
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    bool quitRequested = false;
    bool restartRequested = false;

    // Never throws: a teardown reports what it finds on stderr.
    virtual ~Scene() = default;
    virtual void Update(float dt) = 0;
    virtual void HandleEvent(const SDL_Event* event) = 0;
    virtual void Render() = 0;
    // Builds the frame's UI; called by the renderer inside the UI frame.
    virtual void DrawUI() = 0;
};

// Drives a Scene0 over a NullRenderer frame by frame on game time from a fixed start, with synthetic SDL
// input, for gameplay tests and benchmarks that need no GPU.
#pragma once

#include "app/GameClock.h"
#include "game/Scene0.h"
#include "game/actors/PlayerActor.h"
#include "game/actors/ZombieActor.h"
#include "math/MathUtils.h"
#include "scene/camera/Camera.h"
#include "scene/components/TransformComponent.h"
#include "tests/support/NullRenderer.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <memory>

class SceneDriver {
public:
    static constexpr float FrameTime = 1.0f / 60.0f;

    NullRenderer renderer;
    std::unique_ptr<Scene0> scene;
    // The player's settings and records the scenes play with; null: the scene's own defaults.
    PlayerProfile* profile = nullptr;

    explicit SceneDriver(unsigned seed = 1, PlayerProfile* playerProfile = nullptr) : profile(playerProfile)
    {
        GameClock::Reset();
        Build(seed);
    }
    ~SceneDriver() { scene.reset(); }
    SceneDriver(const SceneDriver&) = delete;
    SceneDriver& operator=(const SceneDriver&) = delete;

    // What the application does on Restart: the old scene goes first, then a fresh one is built.
    void Rebuild(unsigned seed = 1)
    {
        scene.reset();
        renderer.RecreateFrameResources();
        Build(seed);
    }

    Scene0& Scene() const { return *scene; }
    PlayerActor& Player() const { return *scene->player; }
    ZombieActor& Zombie(int i) const { return *scene->zombiePool[i]; }
    Camera& Cam() const { return *scene->camera; }

    // One frame as the main loop runs it: update (which moves game time while the game runs),
    // then render.
    void Step(float dt = FrameTime)
    {
        scene->Update(dt);
        scene->Render();
    }
    void RunFor(float seconds, float dt = FrameTime)
    {
        const int frames = static_cast<int>(seconds / dt + 0.5f);
        for (int i = 0; i < frames; ++i)
            Step(dt);
    }

    // Rounds stop releasing zombies: tests that place their own zombies call this.
    void StopSpawning() { scene->zombiesSpawned = scene->zombiesThisRound; }
    // Spawns pool zombie i at a point of the test's choosing.
    ZombieActor& SpawnAt(int i, const glm::vec3& position)
    {
        Zombie(i).Spawn(position);
        return Zombie(i);
    }

    // `repeat`: a key-down the keyboard's auto-repeat sends while the key stays held.
    void Key(SDL_Scancode code, bool down, bool repeat = false)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = code;
        e.key.repeat = repeat ? 1 : 0;
        scene->HandleEvent(&e);
    }
    // A window event such as SDL_WINDOWEVENT_FOCUS_LOST or SDL_WINDOWEVENT_MINIMIZED, of the
    // game's window (id 0 over the renderer without a window) or of another.
    void Window(SDL_WindowEventID what, uint32_t windowId = 0)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = static_cast<uint8_t>(what);
        e.window.windowID = windowId;
        scene->HandleEvent(&e);
    }
    void Tap(SDL_Scancode code)
    {
        Key(code, true);
        Key(code, false);
    }
    void MouseMotion(int xrel, int yrel)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.xrel = xrel;
        e.motion.yrel = yrel;
        scene->HandleEvent(&e);
    }
    void Click(uint8_t button = SDL_BUTTON_LEFT)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = button;
        scene->HandleEvent(&e);
    }

    // Turns the camera (and so the player) to look along the horizontal direction at yaw degrees:
    // yaw 0 looks along -Z, -90 along -X.
    void LookAtYaw(float yaw)
    {
        Cam().yaw = yaw;
        Cam().pitch = 0.0f;
    }

private:
    void Build(unsigned seed)
    {
        scene = std::make_unique<Scene0>(&renderer, profile, seed);
        scene->windowWidth = renderer.window.width;
        scene->windowHeight = renderer.window.height;
    }
};

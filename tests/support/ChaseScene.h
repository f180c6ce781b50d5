// A scene in late play for measurements and the steady-frame checks: all 24 zombies chasing the
// player, who walks, turns and shoots, over a NullRenderer.
#pragma once

#include "app/GameClock.h"
#include "tests/support/SceneDriver.h"

#include <imgui.h>

#include <chrono>
#include <cmath>

// A scene in late play: all 24 zombies spawned around the player and chasing him, the player
// walking, turning and (optionally) shooting, kept alive so the chase never stops.
struct ChaseScene {
    SceneDriver driver;
    bool shooting;
    int frame = 0;

    // Without shooting no zombie dies, so all 24 stay in the chase.
    explicit ChaseScene(bool shooting) : shooting(shooting)
    {
        driver.StopSpawning();
        for (int i = 0; i < ZombiePoolSize; ++i) {
            const float angle = static_cast<float>(i) * (6.2831853f / ZombiePoolSize);
            driver.SpawnAt(i, glm::vec3(17.0f + 12.0f * std::cos(angle), 0.0f, 17.0f + 12.0f * std::sin(angle)));
        }
        roundDifficulty = 3;
        driver.Key(SDL_SCANCODE_W, true);
    }

    // One frame of play; returns the wall-clock seconds Scene::Update took.
    double Frame(bool drawUi = false)
    {
        Scene0& scene = driver.Scene();
        PlayerActor& player = driver.Player();
        // Hurt but never dead; with the UI drawn, hurt enough to show the damage border.
        player.health = drawUi ? 75.0f : 100.0f;
        // Turn back and forth and shoot whenever the gun is ready.
        driver.MouseMotion(frame % 120 < 60 ? 8 : -8, 0);
        if (shooting && frame % 30 == 0)
            driver.Click();
        // Walking stays in the middle of the arena.
        const glm::vec3 at = player.Transform().position;
        if (at.x < 8.0f || at.x > 26.0f || at.z < 8.0f || at.z > 26.0f)
            player.Transform().position = glm::vec3(17.0f, 0.0f, 15.0f);
        // Dead zombies come straight back, so the pool stays busy.
        for (ZombieActor* z : scene.zombiePool)
            if (z->available)
                z->Spawn(scene.spawnPoints[frame % SpawnPointCount]);
        const auto start = std::chrono::steady_clock::now();
        scene.Update(SceneDriver::FrameTime);
        const auto end = std::chrono::steady_clock::now();
        scene.Render();
        if (drawUi) {
            // What the renderer does around the scene's UI inside its frame.
            ImGui::NewFrame();
            scene.DrawUI();
            ImGui::Render();
        }
        ++frame;
        return std::chrono::duration<double>(end - start).count();
    }
};

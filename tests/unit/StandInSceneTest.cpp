#include "game/StandInScene.h"
#include "assets/AssetRegistry.h"
#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "scene/actors/Actor.h"
#include "scene/camera/Camera.h"
#include "scene/components/TransformComponent.h"
#include "support/ContentFixture.h"
#include "support/NullRenderer.h"
#include "support/TempDir.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

class StandInSceneOverNull : public ContentFixture {
protected:
    NullRenderer renderer;
};

SDL_Event Escape()
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    return event;
}

} // namespace

TEST_F(StandInSceneOverNull, BuildsEveryActorWithoutAnyGpuObject)
{
    auto scene = std::make_unique<StandInScene>(&renderer);
    EXPECT_EQ(assetRegistry, scene->registry);
    EXPECT_TRUE(scene->registry->shaders.empty()); // shaders are made for Vulkan only
    EXPECT_GE(scene->actors.size(), 10u);
    EXPECT_GE(scene->transparentActors.size(), 8u);
    EXPECT_TRUE(scene->registry->textures.count("SkyBox"));
    for (const auto& [name, texture] : scene->registry->textures) {
        EXPECT_EQ(texture->image, VK_NULL_HANDLE) << name;
        EXPECT_EQ(texture->view, VK_NULL_HANDLE) << name;
    }
    for (const auto& [name, mesh] : scene->registry->meshes)
        EXPECT_EQ(mesh->vertexBuffer, VK_NULL_HANDLE) << name;

    scene.reset();
    EXPECT_EQ(renderer.releases, 1);
    EXPECT_EQ(assetRegistry, nullptr);
}

TEST(StandInSceneWithoutContent, BuildsEmptyWhenThePackHasNothing)
{
    TempWorkDir empty;
    NullRenderer renderer;
    StandInScene scene(&renderer);
    EXPECT_TRUE(scene.actors.empty());
    EXPECT_TRUE(scene.transparentActors.empty());
    EXPECT_EQ(scene.registry->textureCount, 0);
    scene.Render(); // a frame of nothing is still a frame
    EXPECT_EQ(renderer.drawnFrames, 1);
}

TEST_F(StandInSceneOverNull, CameraOrbitsTheCentreAndLooksAtIt)
{
    StandInScene scene(&renderer);
    for (float degrees : {0.0f, 90.0f, 200.0f}) {
        scene.PlaceCamera(degrees);
        const glm::vec3 eye = scene.camera->GetPosition();
        EXPECT_NEAR(
            glm::distance(glm::vec2(eye.x, eye.z), glm::vec2(StandInScene::OrbitCentre.x, StandInScene::OrbitCentre.z)),
            StandInScene::OrbitRadius, 1e-3f);
        const glm::vec3 toCentre = glm::normalize(StandInScene::OrbitCentre - eye);
        const glm::vec3 forward = glm::normalize(scene.camera->Forward());
        EXPECT_GT(glm::dot(forward, toCentre), 0.9999f) << "at " << degrees << " degrees";
    }
}

TEST_F(StandInSceneOverNull, EscapeOpensTheMenuAndHoldsTheOrbit)
{
    StandInScene scene(&renderer);
    scene.Update(1.0f);
    const float before = scene.orbitDegrees;
    EXPECT_NEAR(before, StandInScene::OrbitDegreesPerSecond, 1e-4f);
    const SDL_Event escape = Escape();
    scene.HandleEvent(&escape);
    EXPECT_TRUE(scene.menuOpen);
    scene.Update(1.0f);
    EXPECT_EQ(scene.orbitDegrees, before);
    scene.HandleEvent(&escape);
    EXPECT_FALSE(scene.menuOpen);
    scene.Update(1.0f);
    EXPECT_NEAR(scene.orbitDegrees, 2.0f * StandInScene::OrbitDegreesPerSecond, 1e-4f);
    EXPECT_FALSE(scene.restartRequested || scene.quitRequested);
}

TEST_F(StandInSceneOverNull, RenderSortsTransparentActorsBackToFront)
{
    StandInScene scene(&renderer);
    scene.PlaceCamera(37.0f);
    scene.Render();
    EXPECT_EQ(renderer.drawnFrames, 1);
    const glm::vec3 eye = scene.camera->GetPosition();
    float previous = 1e30f;
    for (Actor* actor : scene.transparentActors) {
        const float distance = glm::distance(eye, actor->GetComponent<TransformComponent>()->position);
        EXPECT_LE(distance, previous);
        previous = distance;
    }
}

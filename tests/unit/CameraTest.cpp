#include "scene/camera/Camera.h"
#include "scene/components/TransformComponent.h"
#include "support/NullRenderer.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>

namespace {

void ExpectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

bool Inside(const Camera& cam, const glm::vec3& p)
{
    for (const FrustumPlane& plane : cam.planes)
        if (glm::dot(plane.normal, p) - plane.distance < 0.0f)
            return false;
    return true;
}

class VulkanBackendRenderer : public NullRenderer {
public:
    VulkanBackendRenderer() { backend = RendererBackend::Vulkan; }
};

} // namespace

TEST(Camera, ProjectionConstantsAndYFlip)
{
    NullRenderer gl(1920, 1080);
    Camera cam(&gl, 0.1f);
    const float f = static_cast<float>(1.0 / std::tan(0.6108651161193848));
    EXPECT_FLOAT_EQ(cam.aspect, 1920.0f / 1080.0f);
    EXPECT_FLOAT_EQ(cam.projection[0][0], f / cam.aspect);
    EXPECT_FLOAT_EQ(cam.projection[1][1], f); // not flipped for a non-Vulkan backend
    EXPECT_EQ(std::bit_cast<uint32_t>(cam.projection[2][2]), 0xBF800086u);
    EXPECT_EQ(std::bit_cast<uint32_t>(cam.projection[3][2]), 0xBE23D760u);
    EXPECT_FLOAT_EQ(cam.projection[2][3], -1.0f);
    EXPECT_FLOAT_EQ(cam.projection[3][3], 0.0f);
    EXPECT_FLOAT_EQ(cam.projection[0][1], 0.0f);
    EXPECT_FLOAT_EQ(cam.projection[3][0], 0.0f);

    VulkanBackendRenderer vk;
    Camera vkCam(&vk, 0.1f);
    EXPECT_FLOAT_EQ(vkCam.projection[1][1], -f);
    EXPECT_NEAR(cam.fov, 70.0f, 0.0f);
    EXPECT_FLOAT_EQ(cam.nearPlane, 0.08f);
    EXPECT_FLOAT_EQ(cam.farPlane, 10000.0f);
}

TEST(Camera, AxesAtRestAndFollowPosition)
{
    NullRenderer r;
    Camera cam(&r, 0.1f);
    ExpectNear(cam.Forward(), {0, 0, -1});
    ExpectNear(cam.Right(), {1, 0, 0});

    cam.target = std::make_shared<TransformComponent>(glm::vec3(1, 2, 3));
    cam.offset = {0, 1, 0};
    ExpectNear(cam.GetPosition(), {1, 3, 3});
    // The view moves the eye to the origin.
    ExpectNear(glm::vec3(cam.GetViewMatrix() * glm::vec4(1, 3, 3, 1)), {0, 0, 0});
    // 90 degrees of yaw (the mouse moved right) looks along +X, and the view puts that ahead.
    cam.yaw = 90.0f;
    ExpectNear(cam.Forward(), {1, 0, 0});
    const glm::vec3 ahead = glm::vec3(1, 3, 3) + 5.0f * cam.Forward();
    const glm::vec3 inView = glm::vec3(cam.GetViewMatrix() * glm::vec4(ahead, 1));
    ExpectNear(inView, {0, 0, -5}, 1e-4f);
}

TEST(Camera, MouseLookClampsPitchOnlyInFollowMode)
{
    NullRenderer r;
    Camera cam(&r, 0.1f);
    cam.ApplyMouseMotion(30, 10000); // 10,000 pixels down
    EXPECT_FLOAT_EQ(cam.pitch, 88.0f);
    EXPECT_FLOAT_EQ(cam.yaw, 3.0f);
    cam.ApplyMouseMotion(0, -20000);
    EXPECT_FLOAT_EQ(cam.pitch, -88.0f);
    cam.freeMode = true;
    cam.ApplyMouseMotion(0, -100);
    EXPECT_FLOAT_EQ(cam.pitch, -98.0f);
}

TEST(Camera, FrustumPlanesSeparateFrontFromBehind)
{
    NullRenderer r;
    Camera cam(&r, 0.1f);
    cam.target = std::make_shared<TransformComponent>(glm::vec3(5, 1, 5));
    for (float yaw : {0.0f, 37.0f, 180.0f, -120.0f}) {
        for (float pitch : {0.0f, 30.0f, -60.0f}) {
            cam.yaw = yaw;
            cam.pitch = pitch;
            cam.UpdateFrustum();
            const glm::vec3 eye = cam.GetPosition();
            EXPECT_TRUE(Inside(cam, eye + 10.0f * cam.Forward())) << yaw << " " << pitch;
            EXPECT_FALSE(Inside(cam, eye - 10.0f * cam.Forward())) << yaw << " " << pitch;
            EXPECT_FALSE(Inside(cam, eye + 0.01f * cam.Forward())); // before the near plane
            EXPECT_FALSE(Inside(cam, eye + 20000.0f * cam.Forward())); // beyond the far plane
            EXPECT_FALSE(Inside(cam, eye + 10.0f * cam.Forward() + 100.0f * cam.Right())); // far to the right
            EXPECT_FALSE(Inside(cam, eye + 10.0f * cam.Forward() - 100.0f * cam.Right()));
        }
    }
    // Every plane normal is unit length.
    for (const FrustumPlane& plane : cam.planes)
        EXPECT_NEAR(glm::length(plane.normal), 1.0f, 1e-5f);
}

TEST(Camera, FreeModeFlightIsPerUpdateAndWAndSCancel)
{
    NullRenderer r;
    Camera cam(&r, 0.5f);
    cam.freeMode = true;
    cam.position = {1, 1, 1};
    // SDL's keyboard state is a plain array; press keys by writing into it.
    Uint8* keys = const_cast<Uint8*>(SDL_GetKeyboardState(nullptr));
    keys[SDL_SCANCODE_W] = 1;
    cam.Update();
    ExpectNear(cam.position, {1, 1, 0.5f});
    keys[SDL_SCANCODE_S] = 1;
    cam.Update();
    ExpectNear(cam.position, {1, 1, 0.5f});
    keys[SDL_SCANCODE_W] = keys[SDL_SCANCODE_S] = 0;
    keys[SDL_SCANCODE_D] = 1;
    cam.Update();
    ExpectNear(cam.position, {1.5f, 1, 0.5f});
    keys[SDL_SCANCODE_D] = 0;
}

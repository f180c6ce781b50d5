#include "scene/camera/Camera.h"

#include "app/IRenderer.h"
#include "math/MathUtils.h"
#include "scene/components/TransformComponent.h"

#include <SDL2/SDL.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// -(far + near) / (far - near) and -2 far near / (far - near) for near 0.08, far 10000, depth -1..1.
const float DepthScale = std::bit_cast<float>(uint32_t{0xBF800086});
const float DepthOffset = std::bit_cast<float>(uint32_t{0xBE23D760});

glm::vec3 RowTimes(const glm::vec4& row, const glm::mat4& m) { return glm::vec3(row * m); }

} // namespace

Camera::Camera(IRenderer* renderer, float speed) : renderer(renderer), speed(speed)
{
    SetProjection(fov, WindowAspect(1280.0f / 720.0f)); // no window yet: the launcher's minimum size
}

float Camera::WindowAspect(float fallback) const
{
    if (renderer && renderer->windowInfo && renderer->windowInfo->height != 0)
        return static_cast<float>(renderer->windowInfo->width) / static_cast<float>(renderer->windowInfo->height);
    return fallback;
}

void Camera::SetProjection(float fovDegrees, float aspectRatio)
{
    fov = fovDegrees;
    aspect = aspectRatio;
    // Half the angle in single-precision radians, then the tangent in double: at 70 degrees this is
    // the projection the game's picture was made with, to the last bit.
    const double halfFov = static_cast<float>(fovDegrees * 0.5f * DegToRad);
    const float f = static_cast<float>(1.0 / std::tan(halfFov));
    projection = glm::mat4(0.0f);
    projection[0][0] = f / aspect;
    projection[1][1] = f;
    projection[2][2] = DepthScale;
    projection[2][3] = -1.0f;
    projection[3][2] = DepthOffset;
    projection[3][3] = 0.0f;
    // Vulkan's clip space has Y pointing down.
    if (renderer && renderer->backend == RendererBackend::Vulkan)
        projection[1][1] = -projection[1][1];
}

glm::mat4 Camera::GetRotationMatrix() const
{
    return Rotate(pitch, glm::vec3(1.0f, 0.0f, 0.0f)) * Rotate(yaw, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::vec3 Camera::Forward() const { return RowTimes(glm::vec4(0.0f, 0.0f, -1.0f, 1.0f), GetRotationMatrix()); }

glm::vec3 Camera::Right() const { return RowTimes(glm::vec4(1.0f, 0.0f, 0.0f, 1.0f), GetRotationMatrix()); }

glm::mat4 Camera::GetViewMatrix() const
{
    const glm::vec3 eye = freeMode ? position : target->position + offset;
    return GetRotationMatrix() * Inverse(glm::translate(glm::mat4(1.0f), eye));
}

glm::vec3 Camera::GetPosition() const { return freeMode ? position : target->position + offset; }

void Camera::Update()
{
    if (freeMode) {
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        const glm::vec3 forward = Forward();
        const glm::vec3 right = Right();
        if (keys[SDL_SCANCODE_W])
            position += speed * forward;
        if (keys[SDL_SCANCODE_S])
            position -= speed * forward;
        if (keys[SDL_SCANCODE_A])
            position -= speed * right;
        if (keys[SDL_SCANCODE_D])
            position += speed * right;
    }
    const float windowAspect = WindowAspect(aspect);
    if (windowAspect != aspect)
        SetProjection(fov, windowAspect);
    UpdateFrustum();
}

void Camera::UpdateFrustum()
{
    const glm::vec3 front = Forward();
    const glm::vec3 right = Right();
    const glm::vec3 up = glm::normalize(glm::cross(right, front));
    const glm::vec3 nf = glm::normalize(front);

    const float halfV = farPlane * std::tan(fov * DegToRad * 0.5f);
    const float halfH = halfV * aspect;
    const glm::vec3 farVector = farPlane * front;
    const glm::vec3 p = GetPosition();

    planes[PlaneNear] = {nf, glm::dot(nf, p + nearPlane * front)};
    planes[PlaneFar] = {-nf, glm::dot(-nf, p + farVector)};
    auto sidePlane = [&p](const glm::vec3& normal) { return FrustumPlane{normal, glm::dot(normal, p)}; };
    planes[PlaneRight] = sidePlane(glm::normalize(glm::cross(farVector - halfH * right, up)));
    planes[PlaneLeft] = sidePlane(glm::normalize(glm::cross(up, farVector + halfH * right)));
    planes[PlaneTop] = sidePlane(glm::normalize(glm::cross(right, farVector - halfV * up)));
    planes[PlaneBottom] = sidePlane(glm::normalize(glm::cross(farVector + halfV * up, right)));
}

void Camera::ApplyStickLook(const glm::vec2& stick, float dt)
{
    const float turn = stickDegreesPerSecond * dt;
    yaw += stick.x * turn;
    pitch += (invertStickY ? -stick.y : stick.y) * turn;
    if (!freeMode)
        pitch = std::clamp(pitch, -MaxFollowPitch, MaxFollowPitch);
}

void Camera::ApplyMouseMotion(int xrel, int yrel)
{
    const float down = static_cast<float>(invertMouseY ? -yrel : yrel);
    pitch += down / 10.0f * mouseSensitivity.y;
    yaw += static_cast<float>(xrel) / 10.0f * mouseSensitivity.x;
    if (!freeMode)
        pitch = std::clamp(pitch, -MaxFollowPitch, MaxFollowPitch);
}

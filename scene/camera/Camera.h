// The frame's view: follow mode (on a target transform plus an offset, turned by the mouse) or
// free flight; projection and six frustum planes.
#pragma once

#include <glm/glm.hpp>

#include <memory>

class IRenderer;
class TransformComponent;

// A point p is inside when dot(normal, p) - distance >= 0.
struct FrustumPlane {
    glm::vec3 normal{0.0f};
    float distance = 0.0f;
};

class Camera {
public:
    enum PlaneIndex { PlaneNear = 0, PlaneFar, PlaneRight, PlaneLeft, PlaneTop, PlaneBottom, PlaneCount };

    std::shared_ptr<TransformComponent> target; // follow mode
    glm::vec3 offset{0.0f};                     // follow mode, added to the target position
    bool freeMode = false;
    FrustumPlane planes[PlaneCount];
    glm::mat4 projection{0.0f};
    IRenderer* renderer = nullptr;
    glm::vec3 position{0.0f}; // free mode
    float yaw = 0.0f;         // degrees, about world Y
    float pitch = 0.0f;       // degrees, about X
    float speed = 0.0f;       // free mode: distance per update per key
    float farPlane = 10000.0f;
    float nearPlane = 0.08f;
    float aspect = 1.0f;
    float fov = 70.0f; // vertical, degrees: a wider window sees more to the sides, not less above

    // The player's look settings: multiples of the mouse's 0.1 degree per pixel, the stick's turn
    // at full tilt, and an upside-down vertical look for each.
    glm::vec2 mouseSensitivity{1.0f, 1.0f};
    bool invertMouseY = false;
    float stickDegreesPerSecond = StickDegreesPerSecond;
    bool invertStickY = false;

    static constexpr float MaxFollowPitch = 88.0f;
    static constexpr float MouseDegreesPerPixel = 0.1f;
    // A game controller's look stick at full tilt turns this fast.
    static constexpr float StickDegreesPerSecond = 150.0f;

    Camera(IRenderer* renderer, float speed);

    glm::mat4 GetViewMatrix() const;
    glm::vec3 GetPosition() const;
    // Rx(pitch) x Ry(yaw): the orientation part of the view.
    glm::mat4 GetRotationMatrix() const;
    // World-space forward and right of the camera (from the rotation matrix).
    glm::vec3 Forward() const;
    glm::vec3 Right() const;

    // The projection for a vertical field of view and the window's current aspect. Update calls it
    // when either changed, so a resized window or a new field of view shows in the next frame.
    void SetProjection(float fovDegrees, float aspectRatio);

    // Free-mode keyboard flight, the projection when the window's size changed, the frustum planes.
    void Update();
    void UpdateFrustum();
    // Mouse look: 0.1 degree per pixel times the sensitivity; pitch clamped to [-88, 88] in follow
    // mode.
    void ApplyMouseMotion(int xrel, int yrel);
    // Stick look over dt seconds: x turns right, y (down, as the mouse) pitches down; clamped as
    // the mouse.
    void ApplyStickLook(const glm::vec2& stick, float dt);

private:
    // The window's aspect from the renderer's window record; `fallback` without a window.
    float WindowAspect(float fallback) const;
};

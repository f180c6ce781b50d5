#include "game/Gamepad.h"

#include <algorithm>

namespace {

float AxisValue(int16_t raw)
{
    return std::clamp(static_cast<float>(raw) / 32767.0f, -1.0f, 1.0f);
}

} // namespace

Gamepad::Gamepad()
{
    // The application brings SDL's controller support up with its video; without it (a scene
    // with no window) there are no controllers. A pad already plugged in is taken at once: a
    // restart's new scene goes on with the pad in the player's hands.
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER))
        return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_IsGameController(i)) {
            Open(i);
            break;
        }
}

Gamepad::~Gamepad()
{
    Close();
}

void Gamepad::Open(int deviceIndex)
{
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return;
    Close();
    controller_ = controller;
    id_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

void Gamepad::Close()
{
    if (controller_)
        SDL_GameControllerClose(controller_);
    controller_ = nullptr;
    id_ = -1;
    walk_ = look_ = glm::vec2(0.0f);
    triggerHeld_ = false;
}

glm::vec2 Gamepad::Shape(const glm::vec2& raw, float deadZone)
{
    const float length = glm::length(raw);
    if (length <= deadZone)
        return glm::vec2(0.0f);
    // Diagonals of a square gate read longer than 1.
    const float shaped = std::min(1.0f, (length - deadZone) / (1.0f - deadZone));
    return raw * (shaped / length);
}

Gamepad::Action Gamepad::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        // The newest pad is the one in the player's hands.
        Open(event.cdevice.which);
        return Action::None;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (event.cdevice.which == id_) {
            Close();
            for (int i = 0; i < SDL_NumJoysticks(); ++i)
                if (SDL_IsGameController(i) && SDL_JoystickGetDeviceInstanceID(i) != event.cdevice.which) {
                    Open(i);
                    break;
                }
        }
        return Action::None;
    default:
        break;
    }
    if (!controller_)
        return Action::None;

    if (event.type == SDL_CONTROLLERAXISMOTION && event.caxis.which == id_) {
        const float value = AxisValue(event.caxis.value);
        switch (event.caxis.axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
            walk_.x = value;
            break;
        case SDL_CONTROLLER_AXIS_LEFTY:
            walk_.y = -value; // SDL's stick y points down; pushed away means forward
            break;
        case SDL_CONTROLLER_AXIS_RIGHTX:
            look_.x = value;
            break;
        case SDL_CONTROLLER_AXIS_RIGHTY:
            look_.y = value;
            break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
            if (!triggerHeld_ && value >= TriggerPull) {
                triggerHeld_ = true;
                return Action::Fire;
            }
            if (triggerHeld_ && value <= TriggerRelease)
                triggerHeld_ = false;
            break;
        default:
            break;
        }
    } else if (event.type == SDL_CONTROLLERBUTTONDOWN && event.cbutton.which == id_ &&
               event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
        return Action::Pause;
    }
    return Action::None;
}

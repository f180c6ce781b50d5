// The player's game controller, beside the keyboard and mouse: SDL's game controller events in,
// the walk and look sticks (with a dead zone) and the fire and pause presses out. Controllers come
// and go while the game runs; the one in use is the last connected, and pulling it out stops him.
#pragma once

#include <SDL2/SDL.h>
#include <glm/glm.hpp>

class Gamepad {
public:
    // What one event asks of the game.
    enum class Action { None, Fire, Pause };

    Gamepad();
    ~Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    Action HandleEvent(const SDL_Event& event);

    // Left stick: x to the right, y forward; length 0 inside the dead zone, 1 at full tilt.
    glm::vec2 Walk() const { return Shape(walk_, deadZone); }
    // Right stick: x to the right, y down (as the mouse moves), shaped like the walk stick.
    glm::vec2 Look() const { return Shape(look_, deadZone); }
    bool Connected() const { return controller_ != nullptr; }

    // Share of a stick's travel that reads as rest: worn sticks rarely centre exactly. The player
    // can widen it for a worn pad or narrow it for a precise one.
    static constexpr float DeadZone = 0.2f;
    float deadZone = DeadZone;
    // The trigger fires once per pull: past this share of its travel, and again only after it
    // has come back under the release share.
    static constexpr float TriggerPull = 0.5f;
    static constexpr float TriggerRelease = 0.3f;

    // A raw stick (each axis in [-1, 1]) with the radial dead zone taken out and the rest of the
    // travel stretched to full length, never longer than 1.
    static glm::vec2 Shape(const glm::vec2& raw, float deadZone = DeadZone);

private:
    void Open(int deviceIndex);
    void Close();

    SDL_GameController* controller_ = nullptr;
    SDL_JoystickID id_ = -1;
    glm::vec2 walk_{0.0f};
    glm::vec2 look_{0.0f};
    bool triggerHeld_ = false;
};

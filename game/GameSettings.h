// What a player sets once and finds again next time: the window, the look, the field of view,
// the volumes, the crosshair and the controls. Plain values with their defaults and limits; the
// settings file reads and writes them, the options panel edits them, the scene applies them.
#pragma once

#include "app/WindowInfo.h"

#include <SDL2/SDL_scancode.h>

#include <cstdint>

// What a binding can be pressed for. The walk actions come first, in PlayerActor's key order.
enum class InputAction : uint8_t { Forward, Left, Back, Right, Fire, Pause, Count };
inline constexpr int InputActionCount = static_cast<int>(InputAction::Count);

// A key by its position (an SDL scancode, so the walk keys sit under the same fingers on any
// layout) or a mouse button (SDL_BUTTON_LEFT...).
struct InputBinding {
    enum class Device : uint8_t { Key, Mouse };
    Device device = Device::Key;
    int code = SDL_SCANCODE_UNKNOWN;

    static constexpr InputBinding Key(SDL_Scancode scancode) { return {Device::Key, scancode}; }
    static constexpr InputBinding Mouse(int button) { return {Device::Mouse, button}; }
    bool operator==(const InputBinding&) const = default;
};

// A setting's range and its value when nothing says otherwise.
struct SettingRange {
    float min;
    float max;
    float fallback;
};

struct GameSettings {
    // Display: the launcher's choice, and the window's mode and vertical sync while playing.
    static constexpr int DefaultWidth = 1920;
    static constexpr int DefaultHeight = 1080;
    int width = DefaultWidth;
    int height = DefaultHeight;
    WindowMode windowMode = WindowMode::Windowed;
    bool vsync = false;
    // The 3D scene's quality and how a scene drawn smaller is brought to the window's size
    // (Device, for each: the renderer's choice for the device).
    RenderQuality quality = RenderQuality::Device;
    UpscaleFilter upscaleFilter = UpscaleFilter::Device;
    // The scene's scale of each axis at High, and the most Auto may draw at (Low is half size).
    static constexpr SettingRange RenderScaleRange{0.5f, 1.0f, 1.0f};
    float renderScale = RenderScaleRange.fallback;

    // Look. Sensitivities multiply the mouse's 0.1 degree per pixel; the pad turns at
    // padLookSpeed degrees per second at full tilt.
    static constexpr SettingRange MouseSensitivityRange{0.1f, 5.0f, 1.0f};
    static constexpr SettingRange PadLookSpeedRange{30.0f, 400.0f, 150.0f};
    static constexpr SettingRange PadDeadZoneRange{0.05f, 0.5f, 0.2f};
    float mouseSensitivityX = MouseSensitivityRange.fallback;
    float mouseSensitivityY = MouseSensitivityRange.fallback;
    bool invertMouseY = false;
    bool invertPadY = false;
    float padLookSpeed = PadLookSpeedRange.fallback;
    float padDeadZone = PadDeadZoneRange.fallback;

    // The vertical field of view in degrees: the horizontal view follows the window's aspect, so
    // a wider window sees more to the sides. 70 is the view the game was made with.
    static constexpr SettingRange FieldOfViewRange{60.0f, 110.0f, 70.0f};
    float fieldOfView = FieldOfViewRange.fallback;

    // Sound, each 0 to 1 (shown and stored as percent): master scales everything; voices are the
    // zombies' and the player's cries, effects the rest.
    static constexpr SettingRange VolumeRange{0.0f, 1.0f, 1.0f};
    float masterVolume = VolumeRange.fallback;
    float effectsVolume = VolumeRange.fallback;
    float voicesVolume = VolumeRange.fallback;

    bool crosshair = true;

    InputBinding bindings[InputActionCount] = {
        InputBinding::Key(SDL_SCANCODE_W),      InputBinding::Key(SDL_SCANCODE_A),
        InputBinding::Key(SDL_SCANCODE_S),      InputBinding::Key(SDL_SCANCODE_D),
        InputBinding::Mouse(1 /* SDL_BUTTON_LEFT */), InputBinding::Key(SDL_SCANCODE_ESCAPE),
    };

    const InputBinding& Binding(InputAction action) const { return bindings[static_cast<int>(action)]; }
    InputBinding& Binding(InputAction action) { return bindings[static_cast<int>(action)]; }

    bool operator==(const GameSettings&) const = default;
};

// The game window record the application fills and the renderer reads.
#pragma once

#include "app/RenderQuality.h"

#include <cstdint>

struct SDL_Window;
typedef void* SDL_GLContext;

enum class RendererBackend : uint8_t { Vulkan = 0, OpenGL = 1 };

// Borderless takes the desktop's size and mode; fullscreen changes the display's mode to the
// window's size.
enum class WindowMode : uint8_t { Windowed = 0, Borderless = 1, Fullscreen = 2 };

struct WindowInfo {
    RendererBackend backend = RendererBackend::Vulkan;
    // The drawable size in pixels (every pixel of a high-DPI display), kept current as the window
    // is resized or changes mode.
    uint16_t width = 0;
    uint16_t height = 0;
    // What the player asked for; the application applies a change before the next frame.
    WindowMode mode = WindowMode::Windowed;
    // Presented in step with the display (FIFO); off, the newest frame replaces a waiting one
    // (mailbox, or immediate) and the loop caps itself.
    bool vsync = false;
    // The 3D scene's quality; a change of scale applies at the next frame, a change of
    // multisampling at the next start. The UI is always drawn at the full size.
    RenderQuality quality = RenderQuality::Device;
    // The player's render scale of each axis, 0.5 to 1: High draws at it, Auto stays under it.
    float renderScale = 1.0f;
    UpscaleFilter upscaleFilter = UpscaleFilter::Device;
    SDL_Window* sdlWindow = nullptr;
    SDL_GLContext glContext = nullptr; // OpenGL backend only
};

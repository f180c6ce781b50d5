// The game window record the application fills and the renderer reads.
#pragma once

#include <cstdint>

struct SDL_Window;
typedef void* SDL_GLContext;

enum class RendererBackend : uint8_t { Vulkan = 0, OpenGL = 1 };

struct WindowInfo {
    RendererBackend backend = RendererBackend::Vulkan;
    uint16_t width = 0;  // the application's width truncated to 16 bits
    uint16_t height = 0;
    SDL_Window* sdlWindow = nullptr;
    SDL_GLContext glContext = nullptr; // OpenGL backend only
};

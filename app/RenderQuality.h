// The player's picture-quality choice and the upscale filter, by value and by the name the
// command line and the settings file use.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// High: the scene at the window's size with the device's multisampling. Auto: the scale follows
// the frame time (2x multisampling on a CPU device). Low: half size, no multisampling. Device:
// no choice made; the renderer starts a CPU device at Auto and any other at High.
enum class RenderQuality : uint8_t { Device = 0, High = 1, Auto = 2, Low = 3 };

// How a scene drawn smaller reaches the window: bilinear, or edge-adaptive then sharpened.
// Device: no choice made; the renderer picks bilinear on a CPU device, where the edge-adaptive
// filter and its sharpening cost about a third of a small frame, and sharpened on any other.
enum class UpscaleFilter : uint8_t { Device = 0, Bilinear = 1, Sharpened = 2 };

const char* RenderQualityName(RenderQuality quality);
// "high", "auto", "low" (and "device" when allowDevice); anything else is no quality.
std::optional<RenderQuality> ParseRenderQuality(std::string_view name, bool allowDevice);

// "bilinear", "sharpened" and "device"; only the first two are read back (no choice is no key).
const char* UpscaleFilterName(UpscaleFilter filter);
std::optional<UpscaleFilter> ParseUpscaleFilter(std::string_view name);

// Pure decisions behind the picture-quality settings: the quality a device starts at, its
// multisampling, its render scale and the frame time the scale controller holds.
#pragma once

#include "app/RenderQuality.h"

#include <vulkan/vulkan.h>

// The player's choice, or without one: Auto on a CPU device (a software rasterizer cannot draw
// every pixel in time), High on any other.
RenderQuality StartQuality(RenderQuality chosen, VkPhysicalDeviceType type);

// High: the device's most (deviceMost). Auto: at most 2x on a CPU device, where each sample is
// paid in CPU time (the most of `supported` under that: lavapipe offers 1x and 4x only, so 1x),
// else as High. Low: none.
VkSampleCountFlagBits QualitySamples(RenderQuality quality, VkPhysicalDeviceType type,
                                     VkSampleCountFlagBits deviceMost, VkSampleCountFlags supported);

// The scale a quality draws at, given the player's render scale: High draws at it, Low at half
// size whatever it says; Auto starts from it and its controller stays under it.
float QualityScale(RenderQuality quality, float chosenScale);

// The texture filtering at a slant: the device's most (deviceMost), except at Auto and Low on a
// CPU device, where 4x keeps the ground crisp into the distance and a 16x footprint costs about a
// fifth of a small frame.
float QualityAnisotropy(RenderQuality quality, VkPhysicalDeviceType type, float deviceMost);

// The player's filter, or without one: bilinear on a CPU device (the edge-adaptive filter and its
// sharpening run at the window's size whatever the scale, a third of a small frame there),
// sharpened on any other.
UpscaleFilter DeviceFilter(UpscaleFilter chosen, VkPhysicalDeviceType type);

// What Auto holds: 30 frames a second on a CPU device, the display's refresh interval on a GPU
// (refreshHz <= 0, unknown, counts as 60 Hz).
double FrameTimeTarget(VkPhysicalDeviceType type, int refreshHz);

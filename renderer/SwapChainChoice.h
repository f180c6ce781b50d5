// Pure decisions of swap-chain creation: surface format, present mode, extent, image count, and
// whether a frame can be drawn at all for the window's current state.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <vector>

// The first B8G8R8A8_UNORM / SRGB_NONLINEAR pair, else the first reported (the list is never
// empty for a chosen device).
VkSurfaceFormatKHR ChooseSurfaceFormat(const std::vector<VkSurfaceFormatKHR>& formats);

// With vsync FIFO (always available, and in step with the display); without, MAILBOX, then
// IMMEDIATE, then FIFO_RELAXED, else FIFO.
VkPresentModeKHR ChoosePresentMode(const std::vector<VkPresentModeKHR>& modes, bool vsync = false);

// The surface's current extent unless it is the "window decides" value 0xFFFFFFFF; then the
// window size clamped to the surface's limits.
VkExtent2D ChooseExtent(const VkSurfaceCapabilitiesKHR& capabilities, uint32_t windowWidth, uint32_t windowHeight);

// minImageCount + 1, lowered to maxImageCount when that is non-zero (0 means no upper bound).
uint32_t ChooseImageCount(const VkSurfaceCapabilitiesKHR& capabilities);

// A minimised, hidden or zero-sized window has nothing to present to: Vulkan rejects a
// swap chain of zero extent, so such frames are skipped until the window comes back.
bool CanPresentTo(bool windowMinimisedOrHidden, VkExtent2D surfaceExtent);

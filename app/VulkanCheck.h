// The one checked-call helper: a Vulkan call that fails throws std::runtime_error carrying the
// system's own message for that call. Results that are allowed (SUBOPTIMAL, OUT_OF_DATE at acquire
// and present) are handled where they happen, not here.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdio>
#include <stdexcept>

inline void VkCheck(VkResult result, const char* message)
{
    if (result != VK_SUCCESS)
        throw std::runtime_error(message);
}

// For teardown, which must not throw: a failure (a lost device has nothing left to wait for) is
// reported on standard error and the teardown goes on releasing what it owns.
inline void VkCheckTeardown(VkResult result, const char* message) noexcept
{
    if (result != VK_SUCCESS)
        std::fprintf(stderr, "Zorbulon: %s (VkResult %d)\n", message, static_cast<int>(result));
}

// The one checked-call helper: a Vulkan call that fails throws std::runtime_error carrying the
// system's own message for that call. Results that are allowed (SUBOPTIMAL, OUT_OF_DATE at acquire
// and present) are handled where they happen, not here.
#pragma once

#include <vulkan/vulkan.h>

#include <stdexcept>

inline void VkCheck(VkResult result, const char* message)
{
    if (result != VK_SUCCESS)
        throw std::runtime_error(message);
}

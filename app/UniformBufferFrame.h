// One frame's copy of a named uniform or storage buffer: persistently mapped host memory.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>

struct UniformBufferFrame {
    VkBuffer buffer = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;
    VkDeviceSize size = 0;
    uint32_t stride = 0; // aligned record size of a dynamic block, 0 otherwise
    void* mapped = nullptr;
};

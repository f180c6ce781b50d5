// Process-wide Vulkan handles and device values, written by the renderer's bring-up and read by
// every GPU-facing part (buffers, images, textures, meshes, shader components).
#pragma once

#include "app/UniformBufferFrame.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

inline constexpr uint32_t MaxFramesInFlight = 2;

struct GpuContext {
    VkInstance instance = VK_NULL_HANDLE;
    VkPhysicalDevice physicalDevice = VK_NULL_HANDLE;
    VkDevice device = VK_NULL_HANDLE;
    VkQueue graphicsQueue = VK_NULL_HANDLE;
    VkCommandPool commandPool = VK_NULL_HANDLE;
    VkRenderPass renderPass = VK_NULL_HANDLE;
    VkFormat swapChainImageFormat = VK_FORMAT_UNDEFINED;
    VkExtent2D swapChainExtent{0, 0};
    VkPresentModeKHR presentMode = VK_PRESENT_MODE_FIFO_KHR;
    VkSampleCountFlagBits msaaSamples = VK_SAMPLE_COUNT_1_BIT;
    float minSampleShading = 0.0f; // 0: sample shading off
    // The most a texture's sampler filters a surface seen at a slant (1: not at all), chosen with
    // the multisampling when the renderer starts.
    float samplerAnisotropy = 1.0f;
    uint32_t minUniformBufferOffsetAlignment = 0;
    // Named per-frame uniform and storage buffers: MaxFramesInFlight records per block name.
    std::unordered_map<std::string, std::vector<UniformBufferFrame>> namedBuffers;
};

// The one context of the process.
extern GpuContext gpu;

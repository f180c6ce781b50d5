// One entry of a shader's binding list: a reflected block, or the texture entry.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <string>
#include <vector>

struct ShaderBinding {
    std::string name; // block name, or texture name for the texture entry
    uint32_t binding = 0;
    VkDescriptorType descriptorType = VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
    uint32_t descriptorCount = 1;
    VkShaderStageFlags stageFlags = 0;
    const VkSampler* immutableSamplers = nullptr; // always null
    const std::vector<std::string>* textures = nullptr; // the registry's texture names, texture entry only
};

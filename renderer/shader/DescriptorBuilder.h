// A shader's descriptor objects from its binding list: the set layout, the pool, and the two
// per-frame sets written once with the named buffers and the textures.
#pragma once

#include "renderer/shader/ShaderBinding.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Texture;

using TextureMap = std::unordered_map<std::string, std::shared_ptr<Texture>>;

struct DescriptorPoolPlan {
    std::vector<VkDescriptorPoolSize> sizes; // one per entry: twice its count (a set per frame)
    uint32_t maxSets = 0;                    // the largest doubled count
};

DescriptorPoolPlan PlanDescriptorPool(const std::vector<ShaderBinding>& bindings);

// The textures of a COMBINED_IMAGE_SAMPLER entry: the one registered under its name, else every
// texture of its name list in list order; neither throws.
std::vector<const Texture*> ResolveTextures(const ShaderBinding& entry, const TextureMap& textures);

// The view a texture contributes as one element of a texture array (sampled as 2D).
VkImageView ArrayElementView(const Texture& texture);

VkDescriptorSetLayout CreateDescriptorSetLayout(const std::vector<ShaderBinding>& bindings);
VkDescriptorPool CreateDescriptorPool(const std::vector<ShaderBinding>& bindings);
std::vector<VkDescriptorSet> AllocateDescriptorSets(VkDescriptorPool pool, VkDescriptorSetLayout layout);
// Frame i's set points at frame i's copy of every named buffer.
void WriteDescriptorSets(const std::vector<VkDescriptorSet>& sets, const std::vector<ShaderBinding>& bindings,
                         const TextureMap& textures);

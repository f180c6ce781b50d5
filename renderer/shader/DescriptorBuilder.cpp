#include "renderer/shader/DescriptorBuilder.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"
#include "assets/Texture.h"

#include <algorithm>
#include <stdexcept>

DescriptorPoolPlan PlanDescriptorPool(const std::vector<ShaderBinding>& bindings)
{
    DescriptorPoolPlan plan;
    for (const ShaderBinding& entry : bindings) {
        const uint32_t doubled = entry.descriptorCount * MaxFramesInFlight;
        if (doubled == 0)
            continue; // an empty texture array reserves nothing (Vulkan rejects zero-sized pool entries)
        plan.sizes.push_back({entry.descriptorType, doubled});
        plan.maxSets = std::max(plan.maxSets, doubled);
    }
    // Whatever the entries, both frames' sets must fit.
    plan.maxSets = std::max(plan.maxSets, MaxFramesInFlight);
    return plan;
}

std::vector<const Texture*> ResolveTextures(const ShaderBinding& entry, const TextureMap& textures)
{
    auto single = textures.find(entry.name);
    if (single != textures.end())
        return {single->second.get()};
    if (entry.textures) {
        std::vector<const Texture*> list;
        for (const std::string& name : *entry.textures) {
            auto found = textures.find(name);
            if (found == textures.end())
                throw std::runtime_error("Cant find Texture");
            list.push_back(found->second.get());
        }
        return list;
    }
    throw std::runtime_error("You have not provided a valid texture name, or a valid array of textures, yet you "
                             "choose VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER");
}

VkImageView ArrayElementView(const Texture& texture)
{
    // A cube map in a 2D array would be a view-type mismatch: it contributes its first face.
    return texture.faceView != VK_NULL_HANDLE ? texture.faceView : texture.view;
}

VkDescriptorSetLayout CreateDescriptorSetLayout(const std::vector<ShaderBinding>& bindings)
{
    std::vector<VkDescriptorSetLayoutBinding> layoutBindings;
    for (const ShaderBinding& entry : bindings)
        layoutBindings.push_back(
            {entry.binding, entry.descriptorType, entry.descriptorCount, entry.stageFlags, entry.immutableSamplers});
    VkDescriptorSetLayoutCreateInfo info{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO};
    info.bindingCount = static_cast<uint32_t>(layoutBindings.size());
    info.pBindings = layoutBindings.data();
    VkDescriptorSetLayout layout;
    VkCheck(vkCreateDescriptorSetLayout(gpu.device, &info, nullptr, &layout),
            "failed to create descriptor set layout!");
    return layout;
}

VkDescriptorPool CreateDescriptorPool(const std::vector<ShaderBinding>& bindings)
{
    const DescriptorPoolPlan plan = PlanDescriptorPool(bindings);
    VkDescriptorPoolCreateInfo info{VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO};
    info.flags = VK_DESCRIPTOR_POOL_CREATE_FREE_DESCRIPTOR_SET_BIT;
    info.maxSets = plan.maxSets;
    info.poolSizeCount = static_cast<uint32_t>(plan.sizes.size());
    info.pPoolSizes = plan.sizes.data();
    VkDescriptorPool pool;
    VkCheck(vkCreateDescriptorPool(gpu.device, &info, nullptr, &pool), "failed to create descriptor pool!");
    return pool;
}

std::vector<VkDescriptorSet> AllocateDescriptorSets(VkDescriptorPool pool, VkDescriptorSetLayout layout)
{
    const std::vector<VkDescriptorSetLayout> layouts(MaxFramesInFlight, layout);
    VkDescriptorSetAllocateInfo info{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO};
    info.descriptorPool = pool;
    info.descriptorSetCount = MaxFramesInFlight;
    info.pSetLayouts = layouts.data();
    std::vector<VkDescriptorSet> sets(MaxFramesInFlight);
    VkCheck(vkAllocateDescriptorSets(gpu.device, &info, sets.data()), "failed to allocate descriptor sets!");
    return sets;
}

namespace {

const UniformBufferFrame& NamedBufferFrame(const std::string& name, uint32_t frame)
{
    auto found = gpu.namedBuffers.find(name);
    if (found == gpu.namedBuffers.end())
        throw std::runtime_error("Uniform name does not exist in uniform manager map, this is weird because the map "
                                 "is populated by reflecting the shader info");
    return found->second[frame];
}

} // namespace

void WriteDescriptorSets(const std::vector<VkDescriptorSet>& sets, const std::vector<ShaderBinding>& bindings,
                         const TextureMap& textures)
{
    // Every texture entry is resolved before any set is written.
    std::vector<std::vector<VkDescriptorImageInfo>> images(bindings.size());
    for (size_t i = 0; i < bindings.size(); ++i) {
        if (bindings[i].descriptorType != VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER)
            continue;
        const std::vector<const Texture*> resolved = ResolveTextures(bindings[i], textures);
        const bool single = textures.count(bindings[i].name) > 0;
        for (const Texture* texture : resolved)
            images[i].push_back({texture->sampler, single ? texture->view : ArrayElementView(*texture),
                                 VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL});
    }

    for (uint32_t frame = 0; frame < sets.size(); ++frame) {
        std::vector<VkDescriptorBufferInfo> buffers(bindings.size());
        std::vector<VkWriteDescriptorSet> writes;
        for (size_t i = 0; i < bindings.size(); ++i) {
            const ShaderBinding& entry = bindings[i];
            VkWriteDescriptorSet write{VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET};
            write.dstSet = sets[frame];
            write.dstBinding = entry.binding;
            write.dstArrayElement = 0;
            write.descriptorType = entry.descriptorType;
            if (entry.descriptorType == VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER) {
                // The layout's count bounds the write: a list that grew after the layout was made
                // (textures registered late) must not overrun the binding.
                write.descriptorCount = std::min<uint32_t>(entry.descriptorCount, uint32_t(images[i].size()));
                write.pImageInfo = images[i].data();
            } else {
                const UniformBufferFrame& buffer = NamedBufferFrame(entry.name, frame);
                const bool dynamic = entry.descriptorType == VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER_DYNAMIC;
                buffers[i] = {buffer.buffer, 0, dynamic ? VkDeviceSize(buffer.stride) : buffer.size};
                write.descriptorCount = 1;
                write.pBufferInfo = &buffers[i];
            }
            if (write.descriptorCount > 0)
                writes.push_back(write);
        }
        vkUpdateDescriptorSets(gpu.device, static_cast<uint32_t>(writes.size()), writes.data(), 0, nullptr);
    }
}

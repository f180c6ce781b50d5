// A shader program as a component: two SPIR-V stages from the pack, reflected into named
// per-frame buffers, with its descriptor sets and pipeline.
#pragma once

#include "assets/Component.h"
#include "renderer/shader/ShaderBinding.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class IRenderer;

enum class PipelineKind : uint8_t { SkyBox = 0, Default = 1, CollisionWireframe = 2 };

class ShaderComponent : public Component {
public:
    bool usesSortedList = false; // draw the scene's transparentActors with this shader
    IRenderer* renderer = nullptr;
    std::vector<char> vertexCode;
    std::vector<char> fragmentCode;
    VkPipelineLayout pipelineLayout = VK_NULL_HANDLE;
    VkPipeline pipeline = VK_NULL_HANDLE;
    VkDescriptorSetLayout descriptorSetLayout = VK_NULL_HANDLE;
    VkDescriptorPool descriptorPool = VK_NULL_HANDLE;
    std::vector<VkDescriptorSet> descriptorSets; // one per frame in flight
    VkVertexInputBindingDescription vertexBinding{};
    ShaderBinding textureBinding;
    std::string dynamicBlockName;
    std::string storageBlockName;
    std::vector<VkVertexInputAttributeDescription> attributes;
    bool hasDynamicBlock = false;
    bool hasStorageBlock = false;
    bool hasPushConstants = false;
    PipelineKind pipelineKind = PipelineKind::Default;
    VkShaderStageFlags pushConstantStages = 0;
    uint32_t pushConstantSize = 0;

    // Loads both stages from the pack and scans their blocks (no GPU work).
    ShaderComponent(IRenderer* renderer, const std::string& vertexAssetName, const std::string& fragmentAssetName,
                    const ShaderBinding& textureBinding, const VkVertexInputBindingDescription& vertexBinding,
                    const std::vector<VkVertexInputAttributeDescription>& attributes, uint32_t pushConstantSize,
                    uint32_t pushConstantStages, PipelineKind pipelineKind);
    ~ShaderComponent() override;
    ShaderComponent(const ShaderComponent&) = delete;
    ShaderComponent& operator=(const ShaderComponent&) = delete;

    // Reflects the blocks into named buffers sized by the actor counts, then builds the layout,
    // pool, pipeline and sets. Does nothing unless the backend is Vulkan.
    void Build(const std::unordered_map<std::string, uint32_t>& dynamicCounts,
               const std::unordered_map<std::string, uint32_t>& storageCounts);

private:
    // Made over a Vulkan backend: the handles are this component's to destroy.
    bool ownsGpuObjects = false;
};

#include "renderer/shader/ShaderComponent.h"

#include "app/GpuContext.h"
#include "app/IRenderer.h"
#include "assets/AssetPack.h"
#include "renderer/shader/ShaderReflection.h"

ShaderComponent::ShaderComponent(IRenderer* renderer, const std::string& vertexAssetName,
                                 const std::string& fragmentAssetName, const ShaderBinding& textureBinding,
                                 const VkVertexInputBindingDescription& vertexBinding,
                                 const std::vector<VkVertexInputAttributeDescription>& attributes,
                                 uint32_t pushConstantSize, uint32_t pushConstantStages, PipelineKind pipelineKind)
    : renderer(renderer), vertexCode(LoadAsset(vertexAssetName.c_str())),
      fragmentCode(LoadAsset(fragmentAssetName.c_str())), vertexBinding(vertexBinding), textureBinding(textureBinding),
      attributes(attributes), pipelineKind(pipelineKind), pushConstantStages(pushConstantStages),
      pushConstantSize(pushConstantSize), ownsGpuObjects(renderer && renderer->backend == RendererBackend::Vulkan)
{
    const PerActorBlocks blocks = ScanPerActorBlocks(ReflectStage(vertexCode), ReflectStage(fragmentCode));
    hasDynamicBlock = blocks.hasDynamicBlock;
    dynamicBlockName = blocks.dynamicBlockName;
    hasStorageBlock = blocks.hasStorageBlock;
    storageBlockName = blocks.storageBlockName;
}

ShaderComponent::~ShaderComponent()
{
    // Not the renderer, which may be gone by now; without the device, the objects went with it.
    if (!ownsGpuObjects || gpu.device == VK_NULL_HANDLE)
        return;
    // The pool frees the sets with it.
    if (descriptorPool != VK_NULL_HANDLE)
        vkDestroyDescriptorPool(gpu.device, descriptorPool, nullptr);
    if (descriptorSetLayout != VK_NULL_HANDLE)
        vkDestroyDescriptorSetLayout(gpu.device, descriptorSetLayout, nullptr);
    if (pipeline != VK_NULL_HANDLE)
        vkDestroyPipeline(gpu.device, pipeline, nullptr);
    if (pipelineLayout != VK_NULL_HANDLE)
        vkDestroyPipelineLayout(gpu.device, pipelineLayout, nullptr);
}

// ShaderComponent::Build: reflection into named buffers and a binding list, then the set layout,
// pool, pipeline and per-frame sets, in that order.
#include "renderer/shader/ShaderComponent.h"

#include "app/GpuContext.h"
#include "app/IRenderer.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/BindingReflection.h"
#include "renderer/shader/DescriptorBuilder.h"
#include "renderer/shader/PipelineBuilder.h"
#include "renderer/shader/ShaderReflection.h"

void ShaderComponent::Build(const std::unordered_map<std::string, uint32_t>& dynamicCounts,
                            const std::unordered_map<std::string, uint32_t>& storageCounts)
{
    if (!renderer || renderer->backend != RendererBackend::Vulkan)
        return;
    if (pipeline != VK_NULL_HANDLE)
        return; // built once: the sets are never rewritten
    hasPushConstants = pushConstantSize > 0;

    ReflectedBindings reflected = ReflectBindings(ReflectStage(vertexCode), ReflectStage(fragmentCode), dynamicCounts,
                                                  storageCounts, gpu.minUniformBufferOffsetAlignment);
    for (const BufferRequest& buffer : reflected.buffers)
        renderer->CreateUniformBuffer(buffer.name, buffer.size, buffer.stride, buffer.storage);
    std::vector<ShaderBinding> bindings = std::move(reflected.bindings);
    bindings.push_back(textureBinding);

    descriptorSetLayout = CreateDescriptorSetLayout(bindings);
    descriptorPool = CreateDescriptorPool(bindings);

    const PipelineRecipe recipe = assetRegistry
                                      ? ChooseRecipe(this, assetRegistry->GetShader("SkyBoxShader", true).get(),
                                                     assetRegistry->GetShader("BillBoardPBRShader", true).get(),
                                                     assetRegistry->GetShader("CollisionShader", true).get())
                                      : PipelineRecipe::Default;
    const PipelinePair pair = CreatePipeline(*this, recipe);
    pipelineLayout = pair.layout;
    pipeline = pair.pipeline;

    descriptorSets = AllocateDescriptorSets(descriptorPool, descriptorSetLayout);
    static const TextureMap noTextures;
    WriteDescriptorSets(descriptorSets, bindings, assetRegistry ? assetRegistry->textures : noTextures);

    vertexCode.clear();
    vertexCode.shrink_to_fit();
    fragmentCode.clear();
    fragmentCode.shrink_to_fit();
}

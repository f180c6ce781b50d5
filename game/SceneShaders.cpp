#include "game/SceneShaders.h"

#include "assets/VertexLayout.h"
#include "renderer/AssetRegistry.h"
#include "renderer/UniformRecords.h"
#include "renderer/shader/ShaderBinding.h"
#include "renderer/shader/ShaderComponent.h"

#include <vulkan/vulkan.h>

#include <vector>

void CreateSceneShaders(AssetRegistry& registry)
{
    // Shader components are made on every backend: without Vulkan they only read and reflect their
    // SPIR-V, and the actors that look them up by name still find them.
    const VkVertexInputBindingDescription vertexBinding = VertexBindingDescription();
    const std::vector<VkVertexInputAttributeDescription> attributes = VertexAttributeDescriptions();

    ShaderBinding sky;
    sky.name = "SkyBox";
    sky.binding = 1;
    sky.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    sky.descriptorCount = 1;
    sky.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;

    // The whole texture registry as one array; the name matches no texture.
    ShaderBinding all;
    all.name = "d";
    all.binding = 1;
    all.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    all.descriptorCount = registry.textureCount;
    all.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
    all.textures = &registry.textureNames;

    // A colour, eight texture indices and the draw's point lights; 128: the wireframe's model
    // matrix and colour.
    constexpr uint32_t MaterialPush = sizeof(PushConstantRecord);
    constexpr uint32_t WireframePush = 128;
    constexpr uint32_t Fragment = VK_SHADER_STAGE_FRAGMENT_BIT;
    constexpr uint32_t VertexAndFragment = VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT;
    registry.CreateShader("SkyBoxShader", sky, vertexBinding, attributes, 0, 0, PipelineKind::SkyBox);
    registry.CreateShader("BaseShader", all, vertexBinding, attributes, MaterialPush, Fragment, PipelineKind::Default);
    registry.CreateShader("PBRShader", all, vertexBinding, attributes, MaterialPush, Fragment, PipelineKind::Default);
    registry.CreateShader("AnimPBRShader", all, vertexBinding, attributes, MaterialPush, Fragment,
                          PipelineKind::Default);
    registry.CreateShader("CollisionShader", all, vertexBinding, attributes, WireframePush, VertexAndFragment,
                          PipelineKind::CollisionWireframe);
    registry.CreateShader("BillBoardPBRShader", all, vertexBinding, attributes, MaterialPush, Fragment,
                          PipelineKind::Default);
    registry.GetShader("BillBoardPBRShader")->usesSortedList = true;
}

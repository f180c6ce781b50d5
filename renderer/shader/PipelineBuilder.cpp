#include "renderer/shader/PipelineBuilder.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"
#include "renderer/shader/ShaderComponent.h"

PipelineRecipe ChooseRecipe(const ShaderComponent* shader, const ShaderComponent* skyBox,
                            const ShaderComponent* billboard, const ShaderComponent* collision)
{
    if (skyBox && shader == skyBox)
        return PipelineRecipe::SkyBox;
    if (billboard && shader == billboard)
        return PipelineRecipe::Billboard;
    if (collision && shader == collision)
        return PipelineRecipe::Wireframe;
    return PipelineRecipe::Default;
}

RecipeState DescribeRecipe(PipelineRecipe recipe)
{
    switch (recipe) {
    case PipelineRecipe::SkyBox:
        // Seen from inside the cube, drawn at the far plane behind everything.
        return {VK_POLYGON_MODE_FILL,
                VK_CULL_MODE_FRONT_BIT,
                true,
                false,
                VK_COMPARE_OP_LESS_OR_EQUAL,
                false,
                "Failed to create pipeline layout",
                "Failed to create graphics pipeline"};
    case PipelineRecipe::Billboard:
        // Blended back to front over the opaque scene, without hiding what lies behind.
        return {VK_POLYGON_MODE_FILL,
                VK_CULL_MODE_BACK_BIT,
                true,
                false,
                VK_COMPARE_OP_LESS_OR_EQUAL,
                true,
                "Failed to create pipeline layout",
                "Failed to create graphics pipeline"};
    case PipelineRecipe::Wireframe:
        return {VK_POLYGON_MODE_LINE,
                VK_CULL_MODE_BACK_BIT,
                true,
                true,
                VK_COMPARE_OP_LESS,
                false,
                "Failed to create pipeline layout",
                "failed to create graphics pipeline!"};
    case PipelineRecipe::Default:
        break;
    }
    return {VK_POLYGON_MODE_FILL,
            VK_CULL_MODE_BACK_BIT,
            true,
            true,
            VK_COMPARE_OP_LESS,
            false,
            "Failed to create pipeline layout",
            "failed to create graphics pipeline!"};
}

VkPipelineRasterizationStateCreateInfo RasterizationState(const RecipeState& state)
{
    VkPipelineRasterizationStateCreateInfo raster{VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO};
    raster.depthClampEnable = VK_FALSE;
    raster.rasterizerDiscardEnable = VK_FALSE;
    raster.polygonMode = state.polygonMode;
    raster.cullMode = state.cullMode;
    raster.frontFace = VK_FRONT_FACE_COUNTER_CLOCKWISE;
    raster.depthBiasEnable = VK_FALSE;
    raster.lineWidth = 1.0f;
    return raster;
}

VkPipelineDepthStencilStateCreateInfo DepthStencilState(const RecipeState& state)
{
    VkPipelineDepthStencilStateCreateInfo depth{VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO};
    depth.depthTestEnable = state.depthTest ? VK_TRUE : VK_FALSE;
    depth.depthWriteEnable = state.depthWrite ? VK_TRUE : VK_FALSE;
    depth.depthCompareOp = state.depthCompare;
    depth.depthBoundsTestEnable = VK_FALSE;
    depth.minDepthBounds = 0.0f;
    depth.maxDepthBounds = 1.0f;
    depth.stencilTestEnable = VK_FALSE;
    return depth;
}

VkPipelineColorBlendAttachmentState BlendAttachmentState(const RecipeState& state)
{
    VkPipelineColorBlendAttachmentState attachment{};
    attachment.colorWriteMask =
        VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT | VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT;
    attachment.blendEnable = state.blend ? VK_TRUE : VK_FALSE;
    attachment.srcColorBlendFactor = state.blend ? VK_BLEND_FACTOR_SRC_ALPHA : VK_BLEND_FACTOR_ONE;
    attachment.dstColorBlendFactor = state.blend ? VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA : VK_BLEND_FACTOR_ZERO;
    attachment.colorBlendOp = VK_BLEND_OP_ADD;
    attachment.srcAlphaBlendFactor = state.blend ? VK_BLEND_FACTOR_SRC_ALPHA : VK_BLEND_FACTOR_ONE;
    attachment.dstAlphaBlendFactor = state.blend ? VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA : VK_BLEND_FACTOR_ZERO;
    attachment.alphaBlendOp = VK_BLEND_OP_ADD;
    return attachment;
}

namespace {

VkShaderModule CreateShaderModule(const std::vector<char>& code)
{
    VkShaderModuleCreateInfo info{VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO};
    info.codeSize = code.size();
    info.pCode = reinterpret_cast<const uint32_t*>(code.data());
    VkShaderModule module;
    VkCheck(vkCreateShaderModule(gpu.device, &info, nullptr, &module), "failed to create shader module");
    return module;
}

VkPipelineLayout CreatePipelineLayout(const ShaderComponent& shader, const char* failure)
{
    const VkPushConstantRange range{shader.pushConstantStages, 0, shader.pushConstantSize};
    VkPipelineLayoutCreateInfo info{VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO};
    info.setLayoutCount = 1;
    info.pSetLayouts = &shader.descriptorSetLayout;
    info.pushConstantRangeCount = shader.pushConstantSize > 0 ? 1 : 0;
    info.pPushConstantRanges = shader.pushConstantSize > 0 ? &range : nullptr;
    VkPipelineLayout layout;
    VkCheck(vkCreatePipelineLayout(gpu.device, &info, nullptr, &layout), failure);
    return layout;
}

} // namespace

PipelinePair CreatePipeline(const ShaderComponent& shader, PipelineRecipe recipe)
{
    const RecipeState state = DescribeRecipe(recipe);
    VkShaderModule vertexModule = CreateShaderModule(shader.vertexCode);
    VkShaderModule fragmentModule = CreateShaderModule(shader.fragmentCode);

    VkPipelineShaderStageCreateInfo stages[2] = {{VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO},
                                                 {VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO}};
    stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
    stages[0].module = vertexModule;
    stages[0].pName = "main";
    stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
    stages[1].module = fragmentModule;
    stages[1].pName = "main";

    VkPipelineVertexInputStateCreateInfo vertexInput{VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO};
    vertexInput.vertexBindingDescriptionCount = 1;
    vertexInput.pVertexBindingDescriptions = &shader.vertexBinding;
    vertexInput.vertexAttributeDescriptionCount = static_cast<uint32_t>(shader.attributes.size());
    vertexInput.pVertexAttributeDescriptions = shader.attributes.data();

    VkPipelineInputAssemblyStateCreateInfo assembly{VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO};
    assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    assembly.primitiveRestartEnable = VK_FALSE;

    VkPipelineViewportStateCreateInfo viewport{VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO};
    viewport.viewportCount = 1;
    viewport.scissorCount = 1;
    const VkDynamicState dynamicStates[] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
    VkPipelineDynamicStateCreateInfo dynamic{VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO};
    dynamic.dynamicStateCount = 2;
    dynamic.pDynamicStates = dynamicStates;

    const VkPipelineRasterizationStateCreateInfo raster = RasterizationState(state);

    VkPipelineMultisampleStateCreateInfo multisample{VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO};
    multisample.rasterizationSamples = gpu.msaaSamples;
    multisample.sampleShadingEnable = gpu.minSampleShading > 0.0f ? VK_TRUE : VK_FALSE;
    multisample.minSampleShading = gpu.minSampleShading;
    multisample.pSampleMask = nullptr;
    multisample.alphaToCoverageEnable = VK_FALSE;
    multisample.alphaToOneEnable = VK_FALSE;

    const VkPipelineColorBlendAttachmentState attachment = BlendAttachmentState(state);
    VkPipelineColorBlendStateCreateInfo blend{VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO};
    blend.logicOpEnable = VK_FALSE;
    blend.attachmentCount = 1;
    blend.pAttachments = &attachment;

    const VkPipelineDepthStencilStateCreateInfo depth = DepthStencilState(state);

    PipelinePair pair;
    pair.layout = CreatePipelineLayout(shader, state.layoutFailure);

    VkGraphicsPipelineCreateInfo info{VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO};
    info.stageCount = 2;
    info.pStages = stages;
    info.pVertexInputState = &vertexInput;
    info.pInputAssemblyState = &assembly;
    info.pViewportState = &viewport;
    info.pRasterizationState = &raster;
    info.pMultisampleState = &multisample;
    info.pDepthStencilState = &depth;
    info.pColorBlendState = &blend;
    info.pDynamicState = &dynamic;
    info.layout = pair.layout;
    info.renderPass = gpu.renderPass;
    info.subpass = 0;
    info.basePipelineHandle = VK_NULL_HANDLE;
    info.basePipelineIndex = -1;
    const VkResult result = vkCreateGraphicsPipelines(gpu.device, VK_NULL_HANDLE, 1, &info, nullptr, &pair.pipeline);

    vkDestroyShaderModule(gpu.device, fragmentModule, nullptr);
    vkDestroyShaderModule(gpu.device, vertexModule, nullptr);
    VkCheck(result, state.pipelineFailure);
    return pair;
}

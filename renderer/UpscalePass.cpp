// The upscale and sharpening passes: their Vulkan objects, created and destroyed side by side,
// and their recording.
#include "renderer/UpscalePass.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"

#include <cstddef>

namespace {

// SPIR-V compiled from shaders/FullScreen.vert, Upscale.frag and Sharpen.frag by the build.
const uint32_t FullScreenVertex[] = {
#include "shaders/FullScreen.vert.inc"
};
const uint32_t UpscaleFragment[] = {
#include "shaders/Upscale.frag.inc"
};
const uint32_t SharpenFragment[] = {
#include "shaders/Sharpen.frag.inc"
};

// Matches the modes of shaders/include/PostRecord.glsl.
constexpr int32_t ModeCopy = 0;
constexpr int32_t ModeBilinear = 1;
constexpr int32_t ModeEdge = 2;
// A quarter of a pixel's difference from its neighbours' mean, on full edges: crisper edges and
// still at least as close to the full-size picture as bilinear (render_bench's PSNR); each
// further step moves the picture away from the full one.
constexpr float Sharpness = 0.25f;

VkShaderModule CreateModule(const uint32_t* words, size_t bytes)
{
    VkShaderModuleCreateInfo info{VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO};
    info.codeSize = bytes;
    info.pCode = words;
    VkShaderModule module = VK_NULL_HANDLE;
    VkCheck(vkCreateShaderModule(gpu.device, &info, nullptr, &module), "failed to create shader module");
    return module;
}

// One colour attachment written whole by a full-screen triangle (so its old contents are never
// loaded), then read by a later pass or presented.
VkRenderPass CreateColourPass(VkFormat format, VkImageLayout finalLayout)
{
    VkAttachmentDescription colour{};
    colour.format = format;
    colour.samples = VK_SAMPLE_COUNT_1_BIT;
    colour.loadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    colour.storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    colour.stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    colour.stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    colour.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    colour.finalLayout = finalLayout;
    const VkAttachmentReference colourRef{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &colourRef;

    // In: the swap-chain image is acquired for the colour output stage, and the intermediate
    // image was read by the previous frame's sharpening. Out: the next pass samples what this
    // one wrote.
    VkSubpassDependency dependencies[2]{};
    dependencies[0].srcSubpass = VK_SUBPASS_EXTERNAL;
    dependencies[0].dstSubpass = 0;
    dependencies[0].srcStageMask =
        VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT | VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT;
    dependencies[0].srcAccessMask = 0;
    dependencies[0].dstStageMask = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    dependencies[0].dstAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_COLOR_ATTACHMENT_READ_BIT;
    dependencies[1].srcSubpass = 0;
    dependencies[1].dstSubpass = VK_SUBPASS_EXTERNAL;
    dependencies[1].srcStageMask = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    dependencies[1].srcAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT;
    dependencies[1].dstStageMask = VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT;
    dependencies[1].dstAccessMask = VK_ACCESS_SHADER_READ_BIT;

    VkRenderPassCreateInfo info{VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO};
    info.attachmentCount = 1;
    info.pAttachments = &colour;
    info.subpassCount = 1;
    info.pSubpasses = &subpass;
    info.dependencyCount = 2;
    info.pDependencies = dependencies;
    VkRenderPass pass = VK_NULL_HANDLE;
    VkCheck(vkCreateRenderPass(gpu.device, &info, nullptr, &pass), "failed to create render pass");
    return pass;
}

VkPipeline CreateFullScreenPipeline(VkPipelineLayout layout, VkRenderPass pass, VkShaderModule vertex,
                                    VkShaderModule fragment)
{
    VkPipelineShaderStageCreateInfo stages[2] = {{VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO},
                                                 {VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO}};
    stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
    stages[0].module = vertex;
    stages[0].pName = "main";
    stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
    stages[1].module = fragment;
    stages[1].pName = "main";
    VkPipelineVertexInputStateCreateInfo vertexInput{VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO};
    VkPipelineInputAssemblyStateCreateInfo assembly{VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO};
    assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    VkPipelineViewportStateCreateInfo viewport{VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO};
    viewport.viewportCount = 1;
    viewport.scissorCount = 1;
    const VkDynamicState dynamicStates[] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
    VkPipelineDynamicStateCreateInfo dynamic{VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO};
    dynamic.dynamicStateCount = 2;
    dynamic.pDynamicStates = dynamicStates;
    VkPipelineRasterizationStateCreateInfo raster{VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO};
    raster.polygonMode = VK_POLYGON_MODE_FILL;
    raster.cullMode = VK_CULL_MODE_NONE;
    raster.lineWidth = 1.0f;
    VkPipelineMultisampleStateCreateInfo multisample{VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO};
    multisample.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;
    VkPipelineColorBlendAttachmentState attachment{};
    attachment.colorWriteMask =
        VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT | VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT;
    VkPipelineColorBlendStateCreateInfo blend{VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO};
    blend.attachmentCount = 1;
    blend.pAttachments = &attachment;
    VkPipelineDepthStencilStateCreateInfo depth{VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO};

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
    info.layout = layout;
    info.renderPass = pass;
    info.subpass = 0;
    VkPipeline pipeline = VK_NULL_HANDLE;
    VkCheck(vkCreateGraphicsPipelines(gpu.device, VK_NULL_HANDLE, 1, &info, nullptr, &pipeline),
            "failed to create graphics pipeline");
    return pipeline;
}

} // namespace

void UpscalePass::Create(VkFormat format)
{
    presentPass = CreateColourPass(format, VK_IMAGE_LAYOUT_PRESENT_SRC_KHR);
    intermediatePass = CreateColourPass(format, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL);

    VkSamplerCreateInfo samplerInfo{VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO};
    samplerInfo.magFilter = VK_FILTER_LINEAR;
    samplerInfo.minFilter = VK_FILTER_LINEAR;
    samplerInfo.mipmapMode = VK_SAMPLER_MIPMAP_MODE_NEAREST;
    samplerInfo.addressModeU = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeV = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeW = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    VkCheck(vkCreateSampler(gpu.device, &samplerInfo, nullptr, &sampler), "failed to create texture sampler!");

    VkDescriptorSetLayoutBinding binding{};
    binding.binding = 0;
    binding.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    binding.descriptorCount = 1;
    binding.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
    VkDescriptorSetLayoutCreateInfo layoutInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO};
    layoutInfo.bindingCount = 1;
    layoutInfo.pBindings = &binding;
    VkCheck(vkCreateDescriptorSetLayout(gpu.device, &layoutInfo, nullptr, &setLayout),
            "failed to create descriptor set layout");

    const VkPushConstantRange push{VK_SHADER_STAGE_FRAGMENT_BIT, 0, sizeof(PostRecord)};
    VkPipelineLayoutCreateInfo pipelineLayoutInfo{VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO};
    pipelineLayoutInfo.setLayoutCount = 1;
    pipelineLayoutInfo.pSetLayouts = &setLayout;
    pipelineLayoutInfo.pushConstantRangeCount = 1;
    pipelineLayoutInfo.pPushConstantRanges = &push;
    VkCheck(vkCreatePipelineLayout(gpu.device, &pipelineLayoutInfo, nullptr, &pipelineLayout),
            "failed to create pipeline layout!");

    // The pipelines are made for the present pass; the intermediate one is compatible with it
    // (one colour attachment of the same format and sample count).
    VkShaderModule vertex = CreateModule(FullScreenVertex, sizeof(FullScreenVertex));
    VkShaderModule upscale = CreateModule(UpscaleFragment, sizeof(UpscaleFragment));
    VkShaderModule sharpen = CreateModule(SharpenFragment, sizeof(SharpenFragment));
    upscalePipeline = CreateFullScreenPipeline(pipelineLayout, presentPass, vertex, upscale);
    sharpenPipeline = CreateFullScreenPipeline(pipelineLayout, presentPass, vertex, sharpen);
    vkDestroyShaderModule(gpu.device, sharpen, nullptr);
    vkDestroyShaderModule(gpu.device, upscale, nullptr);
    vkDestroyShaderModule(gpu.device, vertex, nullptr);

    // Two sets: the scene image, and the upscaled one the sharpening reads.
    const VkDescriptorPoolSize size{VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 2};
    VkDescriptorPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO};
    poolInfo.maxSets = 2;
    poolInfo.poolSizeCount = 1;
    poolInfo.pPoolSizes = &size;
    VkCheck(vkCreateDescriptorPool(gpu.device, &poolInfo, nullptr, &pool), "failed to create descriptor pool!");
    const VkDescriptorSetLayout layouts[] = {setLayout, setLayout};
    VkDescriptorSetAllocateInfo allocate{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO};
    allocate.descriptorPool = pool;
    allocate.descriptorSetCount = 2;
    allocate.pSetLayouts = layouts;
    VkDescriptorSet sets[2];
    VkCheck(vkAllocateDescriptorSets(gpu.device, &allocate, sets), "failed to allocate descriptor sets!");
    sceneSet = sets[0];
    upscaledSet = sets[1];
}

void UpscalePass::Destroy()
{
    if (gpu.device == VK_NULL_HANDLE)
        return;
    if (pool != VK_NULL_HANDLE)
        vkDestroyDescriptorPool(gpu.device, pool, nullptr); // frees the sets with it
    pool = VK_NULL_HANDLE;
    sceneSet = upscaledSet = VK_NULL_HANDLE;
    for (VkPipeline* pipeline : {&upscalePipeline, &sharpenPipeline}) {
        if (*pipeline != VK_NULL_HANDLE)
            vkDestroyPipeline(gpu.device, *pipeline, nullptr);
        *pipeline = VK_NULL_HANDLE;
    }
    if (pipelineLayout != VK_NULL_HANDLE)
        vkDestroyPipelineLayout(gpu.device, pipelineLayout, nullptr);
    pipelineLayout = VK_NULL_HANDLE;
    if (setLayout != VK_NULL_HANDLE)
        vkDestroyDescriptorSetLayout(gpu.device, setLayout, nullptr);
    setLayout = VK_NULL_HANDLE;
    if (sampler != VK_NULL_HANDLE)
        vkDestroySampler(gpu.device, sampler, nullptr);
    sampler = VK_NULL_HANDLE;
    for (VkRenderPass* pass : {&presentPass, &intermediatePass}) {
        if (*pass != VK_NULL_HANDLE)
            vkDestroyRenderPass(gpu.device, *pass, nullptr);
        *pass = VK_NULL_HANDLE;
    }
}

void UpscalePass::BindSources(VkImageView scene, VkImageView upscaled)
{
    const VkDescriptorImageInfo images[2] = {{sampler, scene, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL},
                                             {sampler, upscaled, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL}};
    VkWriteDescriptorSet writes[2]{};
    for (int i = 0; i < 2; ++i) {
        writes[i].sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
        writes[i].dstSet = i == 0 ? sceneSet : upscaledSet;
        writes[i].dstBinding = 0;
        writes[i].descriptorCount = 1;
        writes[i].descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
        writes[i].pImageInfo = &images[i];
    }
    vkUpdateDescriptorSets(gpu.device, 2, writes, 0, nullptr);
}

void UpscalePass::Draw(VkCommandBuffer commandBuffer, VkPipeline pipeline, VkDescriptorSet set,
                       const PostRecord& record, VkExtent2D extent) const
{
    vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipeline);
    vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipelineLayout, 0, 1, &set, 0, nullptr);
    vkCmdPushConstants(commandBuffer, pipelineLayout, VK_SHADER_STAGE_FRAGMENT_BIT, 0, sizeof(record), &record);
    const VkViewport viewport{0.0f, 0.0f, float(extent.width), float(extent.height), 0.0f, 1.0f};
    vkCmdSetViewport(commandBuffer, 0, 1, &viewport);
    const VkRect2D scissor{{0, 0}, extent};
    vkCmdSetScissor(commandBuffer, 0, 1, &scissor);
    vkCmdDraw(commandBuffer, 3, 1, 0, 0);
}

void UpscalePass::Record(VkCommandBuffer commandBuffer, VkFramebuffer intermediate, VkFramebuffer target,
                         VkExtent2D full, VkExtent2D drawn, UpscaleFilter filter) const
{
    const bool scaled = drawn.width != full.width || drawn.height != full.height;
    PostRecord record;
    record.sourceScale = glm::vec2(float(drawn.width) / float(full.width), float(drawn.height) / float(full.height));
    record.sourceSize = glm::vec2(float(full.width), float(full.height));
    record.sourceExtent = glm::vec2(float(drawn.width), float(drawn.height));
    record.mode = !scaled ? ModeCopy : filter == UpscaleFilter::Bilinear ? ModeBilinear : ModeEdge;
    const bool sharpen = scaled && filter == UpscaleFilter::Sharpened;

    VkRenderPassBeginInfo pass{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    pass.renderArea = {{0, 0}, full};
    if (sharpen) {
        pass.renderPass = intermediatePass;
        pass.framebuffer = intermediate;
        vkCmdBeginRenderPass(commandBuffer, &pass, VK_SUBPASS_CONTENTS_INLINE);
        Draw(commandBuffer, upscalePipeline, sceneSet, record, full);
        vkCmdEndRenderPass(commandBuffer);
    }
    pass.renderPass = presentPass;
    pass.framebuffer = target;
    vkCmdBeginRenderPass(commandBuffer, &pass, VK_SUBPASS_CONTENTS_INLINE);
    if (sharpen) {
        PostRecord sharpening;
        sharpening.sourceSize = sharpening.sourceExtent = record.sourceSize;
        sharpening.sharpness = Sharpness;
        Draw(commandBuffer, sharpenPipeline, upscaledSet, sharpening, full);
    } else {
        Draw(commandBuffer, upscalePipeline, sceneSet, record, full);
    }
}

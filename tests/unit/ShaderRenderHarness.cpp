// Offscreen drawing with the pack's programs for the shader tests (see ShaderRenderHarness.h).
#include "ShaderRenderHarness.h"

#include "ShaderContentReflection.h"

#include "renderer/shader/PipelineBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr VkFormat ColourFormat = VK_FORMAT_R8G8B8A8_UNORM; // UNORM like the swap chain
constexpr VkFormat DepthFormat = VK_FORMAT_D32_SFLOAT;

// The game's push-constant ranges: the sky has none, the collision wireframe 128 bytes in
// both stages, every other program 48 bytes in the fragment stage.
VkPushConstantRange PushRangeOf(const std::string& program)
{
    if (program == "SkyBoxShader")
        return {0, 0, 0};
    if (program == "CollisionShader")
        return {VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT, 0, 128};
    return {VK_SHADER_STAGE_FRAGMENT_BIT, 0, 48};
}

VkShaderModule CreateModule(VkDevice device, const std::vector<uint32_t>& words)
{
    VkShaderModuleCreateInfo info{VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO};
    info.codeSize = words.size() * sizeof(uint32_t);
    info.pCode = words.data();
    VkShaderModule module = VK_NULL_HANDLE;
    CheckVk(vkCreateShaderModule(device, &info, nullptr, &module), "vkCreateShaderModule");
    return module;
}

} // namespace

struct ShaderRenderHarness::PreparedDraw {
    std::vector<VulkanTestDevice::Buffer> buffers;
    VulkanTestDevice::Buffer vertices;
    VkDescriptorSetLayout setLayout = VK_NULL_HANDLE;
    VkDescriptorPool pool = VK_NULL_HANDLE;
    VkDescriptorSet set = VK_NULL_HANDLE;
    VkPipelineLayout layout = VK_NULL_HANDLE;
    VkPipeline pipeline = VK_NULL_HANDLE;
    VkPushConstantRange pushRange{};
    std::vector<uint8_t> push;
    uint32_t dynamicBlocks = 0;
    uint32_t vertexCount = 0;
    uint32_t firstInstance = 0;
};

ShaderRenderHarness::ShaderRenderHarness(uint32_t width, uint32_t height) : targetWidth(width), targetHeight(height)
{
    if (!gpu.UnavailableReason().empty())
        return;
    device = gpu.Device();
    CreateTarget();
    VkSamplerCreateInfo samplerInfo{VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO};
    samplerInfo.magFilter = VK_FILTER_NEAREST; // texel-exact expectations
    samplerInfo.minFilter = VK_FILTER_NEAREST;
    samplerInfo.addressModeU = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeV = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeW = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    CheckVk(vkCreateSampler(device, &samplerInfo, nullptr, &sampler), "vkCreateSampler");
    AddTexture(1, 1, {255, 255, 255, 255}, VK_FORMAT_R8G8B8A8_UNORM);
    SetSkyBox(1, {std::vector<uint8_t>{0, 0, 0, 255},
                  {0, 0, 0, 255},
                  {0, 0, 0, 255},
                  {0, 0, 0, 255},
                  {0, 0, 0, 255},
                  {0, 0, 0, 255}});
}

ShaderRenderHarness::~ShaderRenderHarness()
{
    if (!device)
        return;
    vkDeviceWaitIdle(device);
    for (VulkanTestDevice::Image& texture : textures)
        gpu.Destroy(texture);
    gpu.Destroy(skyBox);
    vkDestroySampler(device, sampler, nullptr);
    vkDestroyFramebuffer(device, framebuffer, nullptr);
    vkDestroyRenderPass(device, renderPass, nullptr);
    gpu.Destroy(colourTarget);
    gpu.Destroy(depthTarget);
}

void ShaderRenderHarness::CreateTarget()
{
    colourTarget = gpu.CreateImage(targetWidth, targetHeight, 1, ColourFormat,
                                   VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT,
                                   VK_IMAGE_ASPECT_COLOR_BIT);
    depthTarget = gpu.CreateImage(targetWidth, targetHeight, 1, DepthFormat,
                                  VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT,
                                  VK_IMAGE_ASPECT_DEPTH_BIT);

    VkAttachmentDescription attachments[2]{};
    attachments[0].format = ColourFormat;
    attachments[0].samples = VK_SAMPLE_COUNT_1_BIT;
    attachments[0].loadOp = VK_ATTACHMENT_LOAD_OP_CLEAR;
    attachments[0].storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    attachments[0].stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    attachments[0].stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachments[0].initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    attachments[0].finalLayout = VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
    attachments[1] = attachments[0];
    attachments[1].format = DepthFormat;
    VkAttachmentReference colourRef{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    VkAttachmentReference depthRef{1, VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &colourRef;
    subpass.pDepthStencilAttachment = &depthRef;
    // The copies that read the result back wait for the attachment writes.
    VkSubpassDependency toCopy{};
    toCopy.srcSubpass = 0;
    toCopy.dstSubpass = VK_SUBPASS_EXTERNAL;
    toCopy.srcStageMask = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT | VK_PIPELINE_STAGE_LATE_FRAGMENT_TESTS_BIT;
    toCopy.dstStageMask = VK_PIPELINE_STAGE_TRANSFER_BIT;
    toCopy.srcAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;
    toCopy.dstAccessMask = VK_ACCESS_TRANSFER_READ_BIT;
    VkRenderPassCreateInfo passInfo{VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO};
    passInfo.attachmentCount = 2;
    passInfo.pAttachments = attachments;
    passInfo.subpassCount = 1;
    passInfo.pSubpasses = &subpass;
    passInfo.dependencyCount = 1;
    passInfo.pDependencies = &toCopy;
    CheckVk(vkCreateRenderPass(device, &passInfo, nullptr, &renderPass), "vkCreateRenderPass");

    VkImageView views[2] = {colourTarget.view, depthTarget.view};
    VkFramebufferCreateInfo framebufferInfo{VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO};
    framebufferInfo.renderPass = renderPass;
    framebufferInfo.attachmentCount = 2;
    framebufferInfo.pAttachments = views;
    framebufferInfo.width = targetWidth;
    framebufferInfo.height = targetHeight;
    framebufferInfo.layers = 1;
    CheckVk(vkCreateFramebuffer(device, &framebufferInfo, nullptr, &framebuffer), "vkCreateFramebuffer");
}

int32_t ShaderRenderHarness::AddTexture(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba,
                                        VkFormat format)
{
    VulkanTestDevice::Image texture =
        gpu.CreateImage(width, height, 1, format, VK_IMAGE_USAGE_SAMPLED_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT,
                        VK_IMAGE_ASPECT_COLOR_BIT);
    gpu.UploadImage(texture, width, height, 1, rgba);
    textures.push_back(texture);
    return static_cast<int32_t>(textures.size() - 1);
}

void ShaderRenderHarness::SetSkyBox(uint32_t size, const std::array<std::vector<uint8_t>, 6>& faces)
{
    gpu.Destroy(skyBox);
    skyBox = gpu.CreateImage(size, size, 6, VK_FORMAT_R8G8B8A8_SRGB,
                             VK_IMAGE_USAGE_SAMPLED_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT, VK_IMAGE_ASPECT_COLOR_BIT);
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& face : faces)
        bytes.insert(bytes.end(), face.begin(), face.end());
    gpu.UploadImage(skyBox, size, size, 6, bytes);
}

// Everything one draw needs, built the way the game's shader component builds it.
ShaderRenderHarness::PreparedDraw ShaderRenderHarness::Prepare(const ShaderDraw& draw)
{
    using namespace shader_content;
    PreparedDraw p;
    ProgramReflection program(draw.program);
    const bool sky = draw.program == "SkyBoxShader";

    std::vector<VkDescriptorSetLayoutBinding> bindings;
    std::vector<VkDescriptorBufferInfo> bufferInfos;
    std::vector<VkDescriptorType> bufferTypes;
    std::vector<ProgramBlock> blocks = program.Blocks();
    bufferInfos.reserve(blocks.size());
    for (const ProgramBlock& block : blocks) {
        VkDescriptorType type = block.kind == BlockKind::Storage   ? VK_DESCRIPTOR_TYPE_STORAGE_BUFFER
                                : block.kind == BlockKind::Dynamic ? VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER_DYNAMIC
                                                                   : VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
        VkShaderStageFlags stages =
            (block.inVertex ? VK_SHADER_STAGE_VERTEX_BIT : 0) | (block.inFragment ? VK_SHADER_STAGE_FRAGMENT_BIT : 0);
        bindings.push_back({block.binding, type, 1, stages, nullptr});
        std::vector<uint8_t> bytes(block.size, 0);
        auto given = draw.blocks.find(block.name);
        if (given != draw.blocks.end())
            bytes = given->second;
        if (bytes.size() < block.size)
            throw std::runtime_error(block.name + ": fewer bytes than the declared record");
        VkBufferUsageFlags usage =
            block.kind == BlockKind::Storage ? VK_BUFFER_USAGE_STORAGE_BUFFER_BIT : VK_BUFFER_USAGE_UNIFORM_BUFFER_BIT;
        p.buffers.push_back(gpu.CreateBuffer(bytes.size(), usage, bytes.data()));
        // A dynamic block's range is one record, as in the game.
        bufferInfos.push_back(
            {p.buffers.back().buffer, 0, block.kind == BlockKind::Storage ? VK_WHOLE_SIZE : block.size});
        bufferTypes.push_back(type);
        p.dynamicBlocks += block.kind == BlockKind::Dynamic ? 1 : 0;
    }
    std::vector<VkDescriptorImageInfo> imageInfos;
    if (sky) {
        imageInfos.push_back({sampler, skyBox.view, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL});
    } else {
        for (const VulkanTestDevice::Image& texture : textures)
            imageInfos.push_back({sampler, texture.view, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL});
    }
    bindings.push_back({1, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, static_cast<uint32_t>(imageInfos.size()),
                        VK_SHADER_STAGE_FRAGMENT_BIT, nullptr});

    VkDescriptorSetLayoutCreateInfo setInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO};
    setInfo.bindingCount = static_cast<uint32_t>(bindings.size());
    setInfo.pBindings = bindings.data();
    CheckVk(vkCreateDescriptorSetLayout(device, &setInfo, nullptr, &p.setLayout), "vkCreateDescriptorSetLayout");
    std::vector<VkDescriptorPoolSize> sizes;
    for (const VkDescriptorSetLayoutBinding& b : bindings)
        sizes.push_back({b.descriptorType, b.descriptorCount});
    VkDescriptorPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO};
    poolInfo.maxSets = 1;
    poolInfo.poolSizeCount = static_cast<uint32_t>(sizes.size());
    poolInfo.pPoolSizes = sizes.data();
    CheckVk(vkCreateDescriptorPool(device, &poolInfo, nullptr, &p.pool), "vkCreateDescriptorPool");
    VkDescriptorSetAllocateInfo allocInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO};
    allocInfo.descriptorPool = p.pool;
    allocInfo.descriptorSetCount = 1;
    allocInfo.pSetLayouts = &p.setLayout;
    CheckVk(vkAllocateDescriptorSets(device, &allocInfo, &p.set), "vkAllocateDescriptorSets");
    std::vector<VkWriteDescriptorSet> writes;
    for (size_t i = 0; i < bufferInfos.size(); ++i) {
        VkWriteDescriptorSet write{VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET};
        write.dstSet = p.set;
        write.dstBinding = bindings[i].binding;
        write.descriptorCount = 1;
        write.descriptorType = bufferTypes[i];
        write.pBufferInfo = &bufferInfos[i];
        writes.push_back(write);
    }
    VkWriteDescriptorSet imageWrite{VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET};
    imageWrite.dstSet = p.set;
    imageWrite.dstBinding = 1;
    imageWrite.descriptorCount = static_cast<uint32_t>(imageInfos.size());
    imageWrite.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    imageWrite.pImageInfo = imageInfos.data();
    writes.push_back(imageWrite);
    vkUpdateDescriptorSets(device, static_cast<uint32_t>(writes.size()), writes.data(), 0, nullptr);

    p.pushRange = PushRangeOf(draw.program);
    VkPipelineLayoutCreateInfo layoutInfo{VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO};
    layoutInfo.setLayoutCount = 1;
    layoutInfo.pSetLayouts = &p.setLayout;
    layoutInfo.pushConstantRangeCount = p.pushRange.size > 0 ? 1 : 0;
    layoutInfo.pPushConstantRanges = &p.pushRange;
    CheckVk(vkCreatePipelineLayout(device, &layoutInfo, nullptr, &p.layout), "vkCreatePipelineLayout");
    p.push = draw.pushConstants;
    if (p.push.empty() && p.pushRange.size > 0) {
        p.push.assign(p.pushRange.size, 0);
        if (p.pushRange.size == 48)
            std::fill(p.push.begin() + 16, p.push.end(), uint8_t{0xFF}); // eight -1 slots
    }

    VkShaderModule modules[2] = {CreateModule(device, program.vertex.words),
                                 CreateModule(device, program.fragment.words)};
    VkPipelineShaderStageCreateInfo stages[2]{};
    for (int i = 0; i < 2; ++i) {
        stages[i].sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
        stages[i].stage = i == 0 ? VK_SHADER_STAGE_VERTEX_BIT : VK_SHADER_STAGE_FRAGMENT_BIT;
        stages[i].module = modules[i];
        stages[i].pName = "main";
    }
    VkVertexInputBindingDescription vertexBinding{0, sizeof(Vertex), VK_VERTEX_INPUT_RATE_VERTEX};
    VkVertexInputAttributeDescription attributes[6] = {{0, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, position)},
                                                       {1, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, normal)},
                                                       {2, 0, VK_FORMAT_R32G32_SFLOAT, offsetof(Vertex, texCoords)},
                                                       {3, 0, VK_FORMAT_R32G32B32A32_SINT, offsetof(Vertex, boneIds)},
                                                       {4, 0, VK_FORMAT_R32G32B32A32_SFLOAT, offsetof(Vertex, weights)},
                                                       {5, 0, VK_FORMAT_R32G32B32_SFLOAT, offsetof(Vertex, tangent)}};
    VkPipelineVertexInputStateCreateInfo vertexInput{VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO};
    vertexInput.vertexBindingDescriptionCount = 1;
    vertexInput.pVertexBindingDescriptions = &vertexBinding;
    vertexInput.vertexAttributeDescriptionCount = 6;
    vertexInput.pVertexAttributeDescriptions = attributes;
    VkPipelineInputAssemblyStateCreateInfo assembly{VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO};
    assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    VkPipelineViewportStateCreateInfo viewport{VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO};
    viewport.viewportCount = 1;
    viewport.scissorCount = 1;
    VkDynamicState dynamicStates[2] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
    VkPipelineDynamicStateCreateInfo dynamic{VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO};
    dynamic.dynamicStateCount = 2;
    dynamic.pDynamicStates = dynamicStates;
    // The game's own recipe states (the collision wireframe, which the game never draws, fills
    // here like the default recipe).
    const PipelineRecipe recipe = sky                                    ? PipelineRecipe::SkyBox
                                  : draw.program == "BillBoardPBRShader" ? PipelineRecipe::Billboard
                                                                         : PipelineRecipe::Default;
    const RecipeState state = DescribeRecipe(recipe);
    const VkPipelineRasterizationStateCreateInfo raster = RasterizationState(state);
    VkPipelineMultisampleStateCreateInfo multisample{VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO};
    multisample.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;
    const VkPipelineDepthStencilStateCreateInfo depth = DepthStencilState(state);
    const VkPipelineColorBlendAttachmentState blend = BlendAttachmentState(state);
    VkPipelineColorBlendStateCreateInfo blending{VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO};
    blending.attachmentCount = 1;
    blending.pAttachments = &blend;
    VkGraphicsPipelineCreateInfo pipelineInfo{VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO};
    pipelineInfo.stageCount = 2;
    pipelineInfo.pStages = stages;
    pipelineInfo.pVertexInputState = &vertexInput;
    pipelineInfo.pInputAssemblyState = &assembly;
    pipelineInfo.pViewportState = &viewport;
    pipelineInfo.pRasterizationState = &raster;
    pipelineInfo.pMultisampleState = &multisample;
    pipelineInfo.pDepthStencilState = &depth;
    pipelineInfo.pColorBlendState = &blending;
    pipelineInfo.pDynamicState = &dynamic;
    pipelineInfo.layout = p.layout;
    pipelineInfo.renderPass = renderPass;
    VkResult created = vkCreateGraphicsPipelines(device, VK_NULL_HANDLE, 1, &pipelineInfo, nullptr, &p.pipeline);
    vkDestroyShaderModule(device, modules[0], nullptr);
    vkDestroyShaderModule(device, modules[1], nullptr);
    CheckVk(created, "vkCreateGraphicsPipelines");

    p.vertices = gpu.CreateBuffer(draw.vertices.size() * sizeof(Vertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT,
                                  draw.vertices.data());
    p.vertexCount = static_cast<uint32_t>(draw.vertices.size());
    p.firstInstance = draw.firstInstance;
    return p;
}

void ShaderRenderHarness::Release(PreparedDraw& p)
{
    vkDestroyPipeline(device, p.pipeline, nullptr);
    vkDestroyPipelineLayout(device, p.layout, nullptr);
    vkDestroyDescriptorPool(device, p.pool, nullptr);
    vkDestroyDescriptorSetLayout(device, p.setLayout, nullptr);
    for (VulkanTestDevice::Buffer& b : p.buffers)
        gpu.Destroy(b);
    gpu.Destroy(p.vertices);
}

RenderedFrame ShaderRenderHarness::Render(const std::vector<ShaderDraw>& draws)
{
    std::vector<PreparedDraw> prepared;
    for (const ShaderDraw& draw : draws)
        prepared.push_back(Prepare(draw));
    VulkanTestDevice::Buffer colourOut =
        gpu.CreateBuffer(targetWidth * targetHeight * 4, VK_BUFFER_USAGE_TRANSFER_DST_BIT, nullptr);
    VulkanTestDevice::Buffer depthOut =
        gpu.CreateBuffer(targetWidth * targetHeight * sizeof(float), VK_BUFFER_USAGE_TRANSFER_DST_BIT, nullptr);

    VkCommandBuffer commands = gpu.BeginCommands();
    VkClearValue clears[2];
    clears[0].color = {{0.0f, 0.0f, 0.0f, 1.0f}};
    clears[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo begin{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    begin.renderPass = renderPass;
    begin.framebuffer = framebuffer;
    begin.renderArea = {{0, 0}, {targetWidth, targetHeight}};
    begin.clearValueCount = 2;
    begin.pClearValues = clears;
    vkCmdBeginRenderPass(commands, &begin, VK_SUBPASS_CONTENTS_INLINE);
    VkViewport view{0.0f, 0.0f, static_cast<float>(targetWidth), static_cast<float>(targetHeight), 0.0f, 1.0f};
    VkRect2D scissor{{0, 0}, {targetWidth, targetHeight}};
    vkCmdSetViewport(commands, 0, 1, &view);
    vkCmdSetScissor(commands, 0, 1, &scissor);
    for (const PreparedDraw& p : prepared) {
        vkCmdBindPipeline(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, p.pipeline);
        std::vector<uint32_t> offsets(p.dynamicBlocks, 0);
        vkCmdBindDescriptorSets(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, p.layout, 0, 1, &p.set,
                                static_cast<uint32_t>(offsets.size()), offsets.data());
        if (p.pushRange.size > 0)
            vkCmdPushConstants(commands, p.layout, p.pushRange.stageFlags, 0, p.pushRange.size, p.push.data());
        VkDeviceSize zero = 0;
        vkCmdBindVertexBuffers(commands, 0, 1, &p.vertices.buffer, &zero);
        vkCmdDraw(commands, p.vertexCount, 1, 0, p.firstInstance);
    }
    vkCmdEndRenderPass(commands);
    VkBufferImageCopy copy{};
    copy.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    copy.imageExtent = {targetWidth, targetHeight, 1};
    vkCmdCopyImageToBuffer(commands, colourTarget.image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, colourOut.buffer, 1,
                           &copy);
    copy.imageSubresource.aspectMask = VK_IMAGE_ASPECT_DEPTH_BIT;
    vkCmdCopyImageToBuffer(commands, depthTarget.image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, depthOut.buffer, 1,
                           &copy);
    gpu.SubmitAndWait(commands);

    RenderedFrame frame;
    frame.width = targetWidth;
    frame.height = targetHeight;
    frame.colour.resize(targetWidth * targetHeight * 4);
    frame.depth.resize(targetWidth * targetHeight);
    gpu.ReadBack(colourOut, frame.colour.data(), frame.colour.size());
    gpu.ReadBack(depthOut, frame.depth.data(), frame.depth.size() * sizeof(float));
    gpu.Destroy(colourOut);
    gpu.Destroy(depthOut);
    for (PreparedDraw& p : prepared)
        Release(p);
    return frame;
}

// Offscreen drawing with the pack's programs for the shader tests (see ShaderRenderHarness.h).
#include "ShaderRenderHarness.h"

#include "support/NullRenderer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/IRenderer.h"
#include "app/VulkanCheck.h"
#include "assets/Texture.h"
#include "game/SceneShaders.h"
#include "renderer/AssetRegistry.h"
#include "renderer/NamedBuffers.h"
#include "renderer/UniformRecords.h"
#include "renderer/shader/BindingReflection.h"
#include "renderer/shader/ShaderComponent.h"

#include <algorithm>
#include <set>
#include <stdexcept>

// The renderer the engine's shader components ask for their named buffers. Offscreen there is
// no frame in flight: frame 0's copy is the one drawn with.
class OffscreenRenderer : public IRenderer {
public:
    OffscreenRenderer() { backend = RendererBackend::Vulkan; }
    void Init() override {}
    void RecreateFrameResources() override {}
    void ReleaseFrameResources() override { DestroyNamedBuffers(); }
    void CreateUniformBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage) override
    {
        CreateNamedBuffer(name, size, stride, storage);
    }
    UniformBufferFrame& GetUniformBuffer(const std::string& name) override { return GetUniformBufferFrames(name)[0]; }
    void UpdateUniformBuffer(const std::string& name, const void* data, uint32_t size) override
    {
        UpdateNamedBuffer(name, 0, data, size);
    }
    void DrawFrame(Scene*) override { throw std::logic_error("the shader harness records its own draws"); }
    void UpdateUniforms(Scene*) override {}
};

namespace {

constexpr VkFormat ColourFormat = VK_FORMAT_R8G8B8A8_UNORM; // UNORM like the swap chain
constexpr VkFormat DepthFormat = VK_FORMAT_D32_SFLOAT;
constexpr VkMemoryPropertyFlags HostMemory = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;

// A registry texture around the harness's own image and sampler, for the engine's descriptor
// writer: made over a renderer that is not Vulkan, it loads and frees nothing itself.
std::shared_ptr<Texture> Borrowed(const ShaderRenderHarness::Image& image, VkSampler sampler, uint16_t index)
{
    static NullRenderer noGpu;
    auto texture = std::make_shared<Texture>(&noGpu, "", index, image.format);
    texture->view = image.view;
    texture->faceView = image.faceView;
    texture->sampler = sampler;
    return texture;
}

void Fill(VkDeviceMemory memory, VkDeviceSize size, const void* data)
{
    void* mapped = nullptr;
    VkCheck(vkMapMemory(gpu.device, memory, 0, size, 0, &mapped), "vkMapMemory");
    if (data)
        std::memcpy(mapped, data, static_cast<size_t>(size));
    else
        std::memset(mapped, 0, static_cast<size_t>(size));
    vkUnmapMemory(gpu.device, memory);
}

// One frame's pass over the target: the first draw clears it, later ones load what is there.
// Both leave it ready to be copied out; the dependencies order each pass after the one before
// (and its read-back) even across submissions.
VkRenderPass CreatePass(VkAttachmentLoadOp load)
{
    const VkImageLayout before =
        load == VK_ATTACHMENT_LOAD_OP_CLEAR ? VK_IMAGE_LAYOUT_UNDEFINED : VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
    VkAttachmentDescription attachments[2]{};
    attachments[0].format = ColourFormat;
    attachments[0].samples = VK_SAMPLE_COUNT_1_BIT;
    attachments[0].loadOp = load;
    attachments[0].storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    attachments[0].stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    attachments[0].stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachments[0].initialLayout = before;
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
    const VkPipelineStageFlags attachmentStages = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT |
                                                  VK_PIPELINE_STAGE_EARLY_FRAGMENT_TESTS_BIT |
                                                  VK_PIPELINE_STAGE_LATE_FRAGMENT_TESTS_BIT;
    const VkAccessFlags attachmentWrites =
        VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;
    const VkAccessFlags attachmentAccess =
        attachmentWrites | VK_ACCESS_COLOR_ATTACHMENT_READ_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_READ_BIT;
    VkSubpassDependency dependencies[2]{};
    // After the previous pass's writes and the copies that read the previous frame out.
    dependencies[0].srcSubpass = VK_SUBPASS_EXTERNAL;
    dependencies[0].dstSubpass = 0;
    dependencies[0].srcStageMask = attachmentStages | VK_PIPELINE_STAGE_TRANSFER_BIT;
    dependencies[0].dstStageMask = attachmentStages;
    dependencies[0].srcAccessMask = attachmentWrites;
    dependencies[0].dstAccessMask = attachmentAccess;
    // The copies that read the result back wait for the attachment writes.
    dependencies[1].srcSubpass = 0;
    dependencies[1].dstSubpass = VK_SUBPASS_EXTERNAL;
    dependencies[1].srcStageMask = attachmentStages;
    dependencies[1].dstStageMask = VK_PIPELINE_STAGE_TRANSFER_BIT;
    dependencies[1].srcAccessMask = attachmentWrites;
    dependencies[1].dstAccessMask = VK_ACCESS_TRANSFER_READ_BIT;
    VkRenderPassCreateInfo info{VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO};
    info.attachmentCount = 2;
    info.pAttachments = attachments;
    info.subpassCount = 1;
    info.pSubpasses = &subpass;
    info.dependencyCount = 2;
    info.pDependencies = dependencies;
    VkRenderPass pass = VK_NULL_HANDLE;
    VkCheck(vkCreateRenderPass(gpu.device, &info, nullptr, &pass), "vkCreateRenderPass");
    return pass;
}

// A host-visible buffer of the frame's life: vertices, or a read-back target.
struct HostBuffer {
    VkBuffer buffer = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;

    HostBuffer(VkDeviceSize size, VkBufferUsageFlags usage, const void* data)
    {
        CreateBuffer(size, usage, HostMemory, buffer, memory);
        Fill(memory, size, data);
    }
    ~HostBuffer() { DestroyBuffer(buffer, memory); }
    HostBuffer(const HostBuffer&) = delete;
    HostBuffer& operator=(const HostBuffer&) = delete;
};

// The frame's registry is the scene's for as long as the frame is drawn (the engine picks each
// shader's pipeline recipe through it); its shaders and their named buffers go with the frame.
class FrameRegistry {
public:
    explicit FrameRegistry(IRenderer* renderer) : registry(renderer), previous(assetRegistry)
    {
        assetRegistry = &registry;
    }
    ~FrameRegistry()
    {
        if (gpu.graphicsQueue)
            vkQueueWaitIdle(gpu.graphicsQueue);
        registry.Clear();
        DestroyNamedBuffers();
        assetRegistry = previous;
    }
    FrameRegistry(const FrameRegistry&) = delete;
    FrameRegistry& operator=(const FrameRegistry&) = delete;

    AssetRegistry registry;

private:
    AssetRegistry* previous;
};

// Records of a per-object block in the given bytes, one at least (the size the renderer writes
// per record; a block it does not know counts one).
uint32_t RecordsIn(const std::string& block, size_t bytes)
{
    const uint32_t record = RendererRecordSize(block);
    if (record == 0)
        return 1;
    return std::max<uint32_t>(1, static_cast<uint32_t>((bytes + record - 1) / record));
}

} // namespace

ShaderRenderHarness::ShaderRenderHarness(uint32_t width, uint32_t height)
    : renderer(std::make_unique<OffscreenRenderer>()), targetWidth(width), targetHeight(height)
{
    if (!device.UnavailableReason().empty())
        return;
    CreateTarget();
    VkSamplerCreateInfo samplerInfo{VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO};
    samplerInfo.magFilter = VK_FILTER_NEAREST; // texel-exact expectations
    samplerInfo.minFilter = VK_FILTER_NEAREST;
    samplerInfo.addressModeU = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeV = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    samplerInfo.addressModeW = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    VkCheck(vkCreateSampler(gpu.device, &samplerInfo, nullptr, &sampler), "vkCreateSampler");
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
    if (!gpu.device || !device.UnavailableReason().empty())
        return;
    vkDeviceWaitIdle(gpu.device);
    for (Image& texture : textures)
        Destroy(texture);
    Destroy(skyBox);
    Destroy(colourTarget);
    Destroy(depthTarget);
    vkDestroySampler(gpu.device, sampler, nullptr);
    vkDestroyFramebuffer(gpu.device, framebuffer, nullptr);
    vkDestroyRenderPass(gpu.device, loadPass, nullptr);
    vkDestroyRenderPass(gpu.device, clearPass, nullptr);
    gpu.renderPass = VK_NULL_HANDLE;
}

void ShaderRenderHarness::Destroy(Image& image)
{
    if (image.faceView)
        vkDestroyImageView(gpu.device, image.faceView, nullptr);
    if (image.view)
        vkDestroyImageView(gpu.device, image.view, nullptr);
    if (image.image)
        vkDestroyImage(gpu.device, image.image, nullptr);
    if (image.memory)
        vkFreeMemory(gpu.device, image.memory, nullptr);
    image = {};
}

void ShaderRenderHarness::CreateTarget()
{
    auto attachment = [&](VkFormat format, VkImageUsageFlags usage, VkImageAspectFlags aspect) {
        Image target;
        target.format = format;
        CreateImage(targetWidth, targetHeight, 1, VK_SAMPLE_COUNT_1_BIT, format, VK_IMAGE_TILING_OPTIMAL,
                    usage | VK_IMAGE_USAGE_TRANSFER_SRC_BIT, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, target.image,
                    target.memory);
        target.view = CreateImageView(target.image, format, aspect, VK_IMAGE_VIEW_TYPE_2D, 1, 1);
        return target;
    };
    colourTarget = attachment(ColourFormat, VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT, VK_IMAGE_ASPECT_COLOR_BIT);
    depthTarget = attachment(DepthFormat, VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT, VK_IMAGE_ASPECT_DEPTH_BIT);

    clearPass = CreatePass(VK_ATTACHMENT_LOAD_OP_CLEAR);
    loadPass = CreatePass(VK_ATTACHMENT_LOAD_OP_LOAD);
    // The engine builds every pipeline for the context's render pass.
    gpu.renderPass = clearPass;
    gpu.swapChainExtent = {targetWidth, targetHeight};

    VkImageView views[2] = {colourTarget.view, depthTarget.view};
    VkFramebufferCreateInfo framebufferInfo{VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO};
    framebufferInfo.renderPass = clearPass; // compatible with the load pass too
    framebufferInfo.attachmentCount = 2;
    framebufferInfo.pAttachments = views;
    framebufferInfo.width = targetWidth;
    framebufferInfo.height = targetHeight;
    framebufferInfo.layers = 1;
    VkCheck(vkCreateFramebuffer(gpu.device, &framebufferInfo, nullptr, &framebuffer), "vkCreateFramebuffer");
}

ShaderRenderHarness::Image ShaderRenderHarness::UploadImage(uint32_t width, uint32_t height, uint32_t layers,
                                                            VkFormat format, const std::vector<uint8_t>& bytes)
{
    if (bytes.size() != size_t(width) * height * 4 * layers)
        throw std::invalid_argument("texture bytes do not match its size");
    const bool cube = layers == 6;
    Image image;
    image.format = format;
    HostBuffer staging(bytes.size(), VK_BUFFER_USAGE_TRANSFER_SRC_BIT, bytes.data());
    CreateImage(width, height, 1, VK_SAMPLE_COUNT_1_BIT, format, VK_IMAGE_TILING_OPTIMAL,
                VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT,
                image.image, image.memory, layers, cube ? VK_IMAGE_CREATE_CUBE_COMPATIBLE_BIT : 0);
    TransitionImageLayout(image.image, format, VK_IMAGE_LAYOUT_UNDEFINED, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1,
                          layers);
    CopyBufferToImage(staging.buffer, image.image, width, height, layers);
    TransitionImageLayout(image.image, format, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                          VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL, 1, layers);
    image.view = CreateImageView(image.image, format, VK_IMAGE_ASPECT_COLOR_BIT,
                                 cube ? VK_IMAGE_VIEW_TYPE_CUBE : VK_IMAGE_VIEW_TYPE_2D, 1, layers);
    if (cube)
        image.faceView = CreateImageView(image.image, format, VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_2D, 1, 1);
    return image;
}

int32_t ShaderRenderHarness::AddTexture(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba,
                                        VkFormat format)
{
    textures.push_back(UploadImage(width, height, 1, format, rgba));
    return static_cast<int32_t>(textures.size() - 1);
}

void ShaderRenderHarness::SetSkyBox(uint32_t size, const std::array<std::vector<uint8_t>, 6>& faces)
{
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& face : faces)
        bytes.insert(bytes.end(), face.begin(), face.end());
    Image replacement = UploadImage(size, size, 6, VK_FORMAT_R8G8B8A8_SRGB, bytes);
    Destroy(skyBox);
    skyBox = replacement;
}

void ShaderRenderHarness::SetGameSkyBox(std::vector<std::shared_ptr<const DecodedImage>> faces)
{
    if (faces.size() != 6)
        throw std::invalid_argument("a cube map needs six faces");
    gameSkyFaces = std::move(faces);
}

// One draw in its own submission: the named buffers are the scene's, one per block name, so
// each draw's blocks are written just before it is drawn.
void ShaderRenderHarness::DrawOne(const ShaderDraw& draw, bool first)
{
    const ShaderComponent& shader = *assetRegistry->GetShader(draw.program);
    for (auto& [name, frames] : gpu.namedBuffers) // persistently mapped by the engine
        std::memset(frames[0].mapped, 0, static_cast<size_t>(frames[0].size));
    for (const auto& [name, bytes] : draw.blocks) {
        auto found = gpu.namedBuffers.find(name);
        if (found == gpu.namedBuffers.end())
            throw std::invalid_argument(name + ": no program of the frame declares it");
        const uint32_t record = RendererRecordSize(name);
        if (bytes.size() < record)
            throw std::invalid_argument(name + ": fewer bytes than the renderer's record");
        if (bytes.size() > found->second[0].size)
            throw std::invalid_argument(name + ": more bytes than the block was sized for");
        UpdateNamedBuffer(name, 0, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    std::vector<uint8_t> push = draw.pushConstants;
    if (push.empty() && shader.pushConstantSize > 0) {
        push.assign(shader.pushConstantSize, 0);
        if (shader.pushConstantSize == sizeof(PushConstantRecord)) {
            PushConstantRecord empty{glm::vec4(0.0f), {-1, -1, -1, -1, -1, -1, -1, -1}};
            std::memcpy(push.data(), &empty, sizeof(empty));
        }
    }
    if (push.size() != shader.pushConstantSize)
        throw std::invalid_argument(draw.program + ": push constants of another size than its range");
    HostBuffer vertices(draw.vertices.size() * sizeof(Vertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, draw.vertices.data());

    VkCommandBuffer commands = BeginSingleTimeCommands();
    VkClearValue clears[2];
    clears[0].color = {{0.0f, 0.0f, 0.0f, 1.0f}};
    clears[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo begin{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    begin.renderPass = first ? clearPass : loadPass;
    begin.framebuffer = framebuffer;
    begin.renderArea = {{0, 0}, {targetWidth, targetHeight}};
    begin.clearValueCount = first ? 2 : 0;
    begin.pClearValues = first ? clears : nullptr;
    vkCmdBeginRenderPass(commands, &begin, VK_SUBPASS_CONTENTS_INLINE);
    const VkViewport view{0.0f, 0.0f, static_cast<float>(targetWidth), static_cast<float>(targetHeight), 0.0f, 1.0f};
    const VkRect2D scissor{{0, 0}, {targetWidth, targetHeight}};
    vkCmdSetViewport(commands, 0, 1, &view);
    vkCmdSetScissor(commands, 0, 1, &scissor);
    // Bound as the game binds an actor's draw: frame 0's set, the first record of a dynamic block.
    vkCmdBindPipeline(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, shader.pipeline);
    const uint32_t dynamicOffset = 0;
    vkCmdBindDescriptorSets(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, shader.pipelineLayout, 0, 1,
                            &shader.descriptorSets[0], shader.hasDynamicBlock ? 1 : 0, &dynamicOffset);
    if (!push.empty())
        vkCmdPushConstants(commands, shader.pipelineLayout, shader.pushConstantStages, 0,
                           static_cast<uint32_t>(push.size()), push.data());
    const VkDeviceSize zero = 0;
    vkCmdBindVertexBuffers(commands, 0, 1, &vertices.buffer, &zero);
    vkCmdDraw(commands, static_cast<uint32_t>(draw.vertices.size()), 1, 0, draw.firstInstance);
    vkCmdEndRenderPass(commands);
    EndSingleTimeCommands(commands);
}

RenderedFrame ShaderRenderHarness::Render(const std::vector<ShaderDraw>& draws)
{
    if (draws.empty())
        throw std::invalid_argument("a frame needs a draw");
    // The scene's registry as the game fills it: the 2D textures, then the sky box last, then
    // the scene's shader programs over them.
    FrameRegistry frame(renderer.get());
    AssetRegistry& registry = frame.registry;
    for (const Image& texture : textures)
        registry.RegisterTexture("Texture" + std::to_string(registry.textureCount),
                                 Borrowed(texture, sampler, registry.textureCount));
    if (gameSkyFaces.empty())
        registry.RegisterTexture("SkyBox", Borrowed(skyBox, sampler, registry.textureCount));
    else
        registry.LoadCubeMap("SkyBox", gameSkyFaces);
    CreateSceneShaders(registry);

    // Per-object blocks hold as many records as a draw gives, as a scene sizes them by its actors.
    BlockCounts dynamicCounts, storageCounts;
    std::set<std::string> programs;
    for (const ShaderDraw& draw : draws) {
        const ShaderComponent& shader = *registry.GetShader(draw.program);
        programs.insert(draw.program);
        for (const auto& [name, bytes] : draw.blocks) {
            if (shader.hasDynamicBlock && name == shader.dynamicBlockName)
                dynamicCounts[name] = std::max(dynamicCounts[name], RecordsIn(name, bytes.size()));
            if (shader.hasStorageBlock && name == shader.storageBlockName)
                storageCounts[name] = std::max(storageCounts[name], RecordsIn(name, bytes.size()));
        }
    }
    for (const std::string& program : programs)
        registry.GetShader(program)->Build(dynamicCounts, storageCounts);

    for (size_t i = 0; i < draws.size(); ++i)
        DrawOne(draws[i], i == 0);

    HostBuffer colourOut(VkDeviceSize(targetWidth) * targetHeight * 4, VK_BUFFER_USAGE_TRANSFER_DST_BIT, nullptr);
    HostBuffer depthOut(VkDeviceSize(targetWidth) * targetHeight * sizeof(float), VK_BUFFER_USAGE_TRANSFER_DST_BIT,
                        nullptr);
    VkCommandBuffer commands = BeginSingleTimeCommands();
    VkBufferImageCopy copy{};
    copy.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    copy.imageExtent = {targetWidth, targetHeight, 1};
    vkCmdCopyImageToBuffer(commands, colourTarget.image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, colourOut.buffer, 1,
                           &copy);
    copy.imageSubresource.aspectMask = VK_IMAGE_ASPECT_DEPTH_BIT;
    vkCmdCopyImageToBuffer(commands, depthTarget.image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, depthOut.buffer, 1,
                           &copy);
    EndSingleTimeCommands(commands);

    RenderedFrame result;
    result.width = targetWidth;
    result.height = targetHeight;
    result.colour.resize(size_t(targetWidth) * targetHeight * 4);
    result.depth.resize(size_t(targetWidth) * targetHeight);
    auto readBack = [](const HostBuffer& from, void* to, size_t size) {
        void* mapped = nullptr;
        VkCheck(vkMapMemory(gpu.device, from.memory, 0, size, 0, &mapped), "vkMapMemory");
        std::memcpy(to, mapped, size);
        vkUnmapMemory(gpu.device, from.memory);
    };
    readBack(colourOut, result.colour.data(), result.colour.size());
    readBack(depthOut, result.depth.data(), result.depth.size() * sizeof(float));
    return result;
}

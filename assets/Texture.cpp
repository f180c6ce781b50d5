#include "assets/Texture.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/IRenderer.h"
#include "app/StagingBuffer.h"
#include "app/VulkanCheck.h"
#include "assets/AssetPack.h"
#include "assets/ImageDecoder.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

VkImageMemoryBarrier MipBarrier(VkImage image, uint32_t level, VkImageLayout from, VkImageLayout to,
                                VkAccessFlags srcAccess, VkAccessFlags dstAccess)
{
    VkImageMemoryBarrier barrier{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
    barrier.image = image;
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, level, 1, 0, 1};
    barrier.oldLayout = from;
    barrier.newLayout = to;
    barrier.srcAccessMask = srcAccess;
    barrier.dstAccessMask = dstAccess;
    return barrier;
}

bool SupportsLinearBlits(VkFormat format)
{
    VkFormatProperties properties;
    vkGetPhysicalDeviceFormatProperties(gpu.physicalDevice, format, &properties);
    return (properties.optimalTilingFeatures & VK_FORMAT_FEATURE_SAMPLED_IMAGE_FILTER_LINEAR_BIT) != 0;
}

// Blits each level from the one above it; afterwards every level is SHADER_READ_ONLY_OPTIMAL.
void RecordMipmaps(VkCommandBuffer cmd, VkImage image, int32_t width, int32_t height, uint32_t mipLevels)
{
    int32_t mipW = width, mipH = height;
    for (uint32_t i = 1; i < mipLevels; ++i) {
        VkImageMemoryBarrier toSrc =
            MipBarrier(image, i - 1, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                       VK_ACCESS_TRANSFER_WRITE_BIT, VK_ACCESS_TRANSFER_READ_BIT);
        vkCmdPipelineBarrier(cmd, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT, 0, 0, nullptr, 0,
                             nullptr, 1, &toSrc);

        VkImageBlit blit{};
        blit.srcOffsets[1] = {mipW, mipH, 1};
        blit.srcSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, i - 1, 0, 1};
        blit.dstOffsets[1] = {mipW > 1 ? mipW / 2 : 1, mipH > 1 ? mipH / 2 : 1, 1};
        blit.dstSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, i, 0, 1};
        vkCmdBlitImage(cmd, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1,
                       &blit, VK_FILTER_LINEAR);

        VkImageMemoryBarrier toRead =
            MipBarrier(image, i - 1, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                       VK_ACCESS_TRANSFER_READ_BIT, VK_ACCESS_SHADER_READ_BIT);
        vkCmdPipelineBarrier(cmd, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT, 0, 0, nullptr,
                             0, nullptr, 1, &toRead);
        if (mipW > 1)
            mipW /= 2;
        if (mipH > 1)
            mipH /= 2;
    }
    VkImageMemoryBarrier last =
        MipBarrier(image, mipLevels - 1, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                   VK_ACCESS_TRANSFER_WRITE_BIT, VK_ACCESS_SHADER_READ_BIT);
    vkCmdPipelineBarrier(cmd, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT, 0, 0, nullptr, 0,
                         nullptr, 1, &last);
}

// Records `steps` into one command buffer, submits it and waits: the steps of one upload share a
// single submission. A step that throws frees the command buffer unsubmitted.
template <class Steps> void SubmitOnce(Steps&& steps)
{
    VkCommandBuffer cmd = BeginSingleTimeCommands();
    try {
        steps(cmd);
    } catch (...) {
        // Freed while still recording: ending it first could fail too, and nothing would use it.
        vkFreeCommandBuffers(gpu.device, gpu.commandPool, 1, &cmd);
        throw;
    }
    EndSingleTimeCommands(cmd);
}

// Anisotropic filtering is for 2D textures seen at a slant (the ground, the walls). The sky's cube
// map is seen from its centre, never at a slant, and gains nothing from it; worse, lavapipe sizes
// the footprint of a 2 x 2 pixel quad that straddles two faces from the jump between their
// coordinates, and averages texels from deep inside a face into a dark line down the seam.
VkSampler CreateSampler(bool anisotropic)
{
    anisotropic = anisotropic && gpu.samplerAnisotropy > 1.0f;
    VkSamplerCreateInfo info{VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO};
    info.magFilter = VK_FILTER_LINEAR;
    info.minFilter = VK_FILTER_LINEAR;
    info.mipmapMode = VK_SAMPLER_MIPMAP_MODE_LINEAR;
    info.addressModeU = info.addressModeV = info.addressModeW = VK_SAMPLER_ADDRESS_MODE_REPEAT;
    info.mipLodBias = 0.0f;
    info.anisotropyEnable = anisotropic ? VK_TRUE : VK_FALSE;
    info.maxAnisotropy = anisotropic ? gpu.samplerAnisotropy : 1.0f;
    info.compareEnable = VK_FALSE;
    info.compareOp = VK_COMPARE_OP_ALWAYS;
    info.minLod = 0.0f;
    info.maxLod = 1000.0f;
    info.borderColor = VK_BORDER_COLOR_INT_OPAQUE_BLACK;
    info.unnormalizedCoordinates = VK_FALSE;
    VkSampler sampler = VK_NULL_HANDLE;
    VkCheck(vkCreateSampler(gpu.device, &info, nullptr, &sampler), "failed to create texture sampler!");
    return sampler;
}

bool UsesVulkan(const IRenderer* renderer)
{
    return renderer && renderer->backend == RendererBackend::Vulkan;
}

} // namespace

uint32_t MipLevelCount(uint32_t width, uint32_t height)
{
    const uint32_t largest = width > height ? width : height;
    return largest == 0 ? 1 : static_cast<uint32_t>(std::floor(std::log2(static_cast<double>(largest)))) + 1;
}

std::vector<VkExtent2D> MipChainSizes(uint32_t width, uint32_t height)
{
    std::vector<VkExtent2D> sizes;
    const uint32_t levels = MipLevelCount(width, height);
    for (uint32_t i = 0; i < levels; ++i) {
        sizes.push_back({width, height});
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    return sizes;
}

Texture::Texture(IRenderer* renderer, const std::string& assetName, uint16_t textureIndex, VkFormat format)
    : renderer(renderer), textureIndex(textureIndex), format(format), ownsGpuObjects(UsesVulkan(renderer))
{
    if (UsesVulkan(renderer))
        Create2D(DecodeTextureImage(LoadAsset(assetName.c_str())));
}

Texture::Texture(IRenderer* renderer, const DecodedImage& image, uint16_t textureIndex, VkFormat format)
    : renderer(renderer), textureIndex(textureIndex), format(format), ownsGpuObjects(UsesVulkan(renderer))
{
    if (UsesVulkan(renderer))
        Create2D(image);
}

Texture::Texture(IRenderer* renderer, const std::vector<std::string>& faceAssetNames, uint16_t textureIndex)
    : renderer(renderer), mipLevels(1), textureIndex(textureIndex), format(VK_FORMAT_R8G8B8A8_SRGB),
      ownsGpuObjects(UsesVulkan(renderer))
{
    if (!UsesVulkan(renderer))
        return;
    if (faceAssetNames.size() != 6)
        throw std::runtime_error("a cube map needs six faces");
    std::vector<std::shared_ptr<const DecodedImage>> faces;
    for (const std::string& name : faceAssetNames)
        faces.push_back(std::make_shared<const DecodedImage>(DecodeTextureImage(LoadAsset(name.c_str()))));
    CreateCube(faces);
}

Texture::Texture(IRenderer* renderer, const std::vector<std::shared_ptr<const DecodedImage>>& faces,
                 uint16_t textureIndex)
    : renderer(renderer), mipLevels(1), textureIndex(textureIndex), format(VK_FORMAT_R8G8B8A8_SRGB),
      ownsGpuObjects(UsesVulkan(renderer))
{
    if (!UsesVulkan(renderer))
        return;
    if (faces.size() != 6)
        throw std::runtime_error("a cube map needs six faces");
    CreateCube(faces);
}

void Texture::Create2D(const DecodedImage& decoded)
{
    const uint32_t width = decoded.width;
    const uint32_t height = decoded.height;
    mipLevels = MipLevelCount(width, height);
    const VkDeviceSize imageSize = VkDeviceSize(width) * height * 4;

    StagingBuffer ownStaging; // freed on the way out, whichever way that is
    StagingBuffer& staging = StagingFor(renderer, ownStaging);
    try {
        std::memcpy(staging.Reserve(imageSize), decoded.pixels.get(), static_cast<size_t>(imageSize));

        CreateImage(width, height, mipLevels, VK_SAMPLE_COUNT_1_BIT, format, VK_IMAGE_TILING_OPTIMAL,
                    VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT,
                    VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, image, memory);
        // The layout change, the copy and the whole mip chain go in one submission. A format that
        // cannot be filtered still gets its copy first, then fails.
        const bool linear = SupportsLinearBlits(format);
        SubmitOnce([&](VkCommandBuffer cmd) {
            RecordLayoutTransition(cmd, image, format, VK_IMAGE_LAYOUT_UNDEFINED, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                                   mipLevels, 1);
            RecordCopyBufferToImage(cmd, staging.Buffer(), image, width, height, 1);
            if (linear)
                RecordMipmaps(cmd, image, static_cast<int32_t>(width), static_cast<int32_t>(height), mipLevels);
        });
        if (!linear)
            throw std::runtime_error("texture image format does not support linear blitting!");

        view = CreateImageView(image, format, VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_2D, mipLevels, 1);
        sampler = CreateSampler(true);
    } catch (...) {
        // The destructor of a half-built texture never runs: free here what was made.
        Release();
        throw;
    }
}

void Texture::CreateCube(const std::vector<std::shared_ptr<const DecodedImage>>& faces)
{
    // Faces are copied at fixed offsets: one of another size would overrun the staging buffer.
    for (const auto& face : faces)
        if (face->width != faces.front()->width || face->height != faces.front()->height)
            throw std::runtime_error("cube map faces differ in size");

    const uint32_t width = faces.back()->width;
    const uint32_t height = faces.back()->height;
    const VkDeviceSize layerSize = VkDeviceSize(width) * height * 4;
    const VkDeviceSize imageSize = layerSize * 6;

    StagingBuffer ownStaging;
    StagingBuffer& staging = StagingFor(renderer, ownStaging);
    try {
        auto* layers = static_cast<unsigned char*>(staging.Reserve(imageSize));
        for (size_t i = 0; i < faces.size(); ++i)
            std::memcpy(layers + layerSize * i, faces[i]->pixels.get(), static_cast<size_t>(layerSize));

        CreateImage(width, height, 1, VK_SAMPLE_COUNT_1_BIT, format, VK_IMAGE_TILING_OPTIMAL,
                    VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT,
                    image, memory, 6, VK_IMAGE_CREATE_CUBE_COMPATIBLE_BIT);
        SubmitOnce([&](VkCommandBuffer cmd) {
            RecordLayoutTransition(cmd, image, format, VK_IMAGE_LAYOUT_UNDEFINED, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1,
                                   6);
            RecordCopyBufferToImage(cmd, staging.Buffer(), image, width, height, 6);
            RecordLayoutTransition(cmd, image, format, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                                   VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL, 1, 6);
        });

        view = CreateImageView(image, format, VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_CUBE, 1, 6);
        faceView = CreateImageView(image, format, VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_2D, 1, 1);
        sampler = CreateSampler(false);
    } catch (...) {
        Release();
        throw;
    }
}

Texture::~Texture()
{
    Release();
}

void Texture::Release()
{
    // Not the renderer, which may be gone by now; without the device, the objects went with it.
    if (!ownsGpuObjects || gpu.device == VK_NULL_HANDLE)
        return;
    if (sampler != VK_NULL_HANDLE)
        vkDestroySampler(gpu.device, sampler, nullptr);
    if (faceView != VK_NULL_HANDLE)
        vkDestroyImageView(gpu.device, faceView, nullptr);
    if (view != VK_NULL_HANDLE)
        vkDestroyImageView(gpu.device, view, nullptr);
    if (image != VK_NULL_HANDLE)
        vkDestroyImage(gpu.device, image, nullptr);
    if (memory != VK_NULL_HANDLE)
        vkFreeMemory(gpu.device, memory, nullptr);
    // Safe to run twice: a failed constructor runs it, then nothing else does.
    sampler = VK_NULL_HANDLE;
    faceView = VK_NULL_HANDLE;
    view = VK_NULL_HANDLE;
    image = VK_NULL_HANDLE;
    memory = VK_NULL_HANDLE;
}

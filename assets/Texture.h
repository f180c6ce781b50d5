// A sampled GPU image from the pack: a 2D texture with its mip chain, or the six-face cube map.
#pragma once

#include "assets/ImageDecoder.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IRenderer;

// floor(log2(max(width, height))) + 1.
uint32_t MipLevelCount(uint32_t width, uint32_t height);
// Width and height of every level of a full chain, level 0 first.
std::vector<VkExtent2D> MipChainSizes(uint32_t width, uint32_t height);

class Texture {
public:
    IRenderer* renderer = nullptr;
    VkImage image = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;
    VkImageView view = VK_NULL_HANDLE;
    // Cube maps only: a 2D view of the first face, for texture arrays that sample every
    // registered texture as 2D. Null for 2D textures.
    VkImageView faceView = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
    uint32_t mipLevels = 1;
    uint16_t textureIndex = 0;
    VkFormat format = VK_FORMAT_R8G8B8A8_SRGB;

    // 2D texture. Makes no GPU object unless the backend is Vulkan.
    Texture(IRenderer* renderer, const std::string& assetName, uint16_t textureIndex, VkFormat format);
    // 2D texture from an image decoded beforehand (an ImageBatch's).
    Texture(IRenderer* renderer, const DecodedImage& image, uint16_t textureIndex, VkFormat format);
    // Cube map from six faces in layer order +X, -X, +Y, -Y, +Z, -Z.
    Texture(IRenderer* renderer, const std::vector<std::string>& faceAssetNames, uint16_t textureIndex);
    // Cube map from six faces decoded beforehand, in layer order.
    Texture(IRenderer* renderer, const std::vector<std::shared_ptr<const DecodedImage>>& faces,
            uint16_t textureIndex);
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

private:
    void Create2D(const DecodedImage& image);
    void CreateCube(const std::vector<std::shared_ptr<const DecodedImage>>& faces);
    // Frees the GPU objects made so far; safe to run twice.
    void Release();

    // Made over a Vulkan backend: the handles are this texture's to free. Otherwise they are
    // empty or borrowed.
    bool ownsGpuObjects = false;
};

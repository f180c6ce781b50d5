// A minimal offscreen frame for the shader tests, drawn through the engine's own code: the scene's
// shader programs made as the game makes them (CreateSceneShaders), each built by
// ShaderComponent::Build (reflection, named buffers, descriptor set layout, pool and sets,
// pipeline recipe and pipeline over the vertex layout), on a test device lent to the engine as its
// GpuContext. Only the render target, the command recording and the read-back are the harness's.
// Runs on whatever Vulkan device exists (Mesa's lavapipe on a CPU) and records every
// validation-layer error.
#pragma once

#include "VulkanTestDevice.h"

#include "assets/ImageDecoder.h"
#include "assets/Vertex.h"

#include <glm/glm.hpp>
#include <vulkan/vulkan.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct ShaderDraw {
    std::string program;
    std::vector<Vertex> vertices;
    // Bytes per block name; a block left out is zero-filled (a per-object block holds one record).
    std::map<std::string, std::vector<uint8_t>> blocks;
    std::vector<uint8_t> pushConstants; // empty: colour 0 and every texture slot empty
    uint32_t firstInstance = 0;
};

struct RenderedFrame {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> colour; // RGBA8, top row first
    std::vector<float> depth;

    glm::vec4 Pixel(uint32_t x, uint32_t y) const
    {
        const uint8_t* p = &colour[(y * width + x) * 4];
        return glm::vec4(p[0], p[1], p[2], p[3]) / 255.0f;
    }
    float Depth(uint32_t x, uint32_t y) const { return depth[y * width + x]; }
};

template <class T> std::vector<uint8_t> BytesOf(const T& record)
{
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &record, sizeof(T));
    return bytes;
}

class OffscreenRenderer;

class ShaderRenderHarness {
public:
    // Small enough for a software rasteriser to draw in a blink, large enough to sample regions.
    static constexpr uint32_t DefaultSize = 32;

    explicit ShaderRenderHarness(uint32_t width = DefaultSize, uint32_t height = DefaultSize);
    ~ShaderRenderHarness();
    ShaderRenderHarness(const ShaderRenderHarness&) = delete;
    ShaderRenderHarness& operator=(const ShaderRenderHarness&) = delete;

    // Empty when a device is ready; otherwise why there is none (the tests then skip).
    const std::string& UnavailableReason() const { return device.UnavailableReason(); }

    // A 2D texture in the registry array; returns its index. Index 0 is a white 1x1 texture.
    int32_t AddTexture(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba, VkFormat format);
    // The sky's cube map: six square RGBA8 sRGB faces in the order +X, -X, +Y, -Y, +Z, -Z.
    void SetSkyBox(uint32_t size, const std::array<std::vector<uint8_t>, 6>& faces);
    // The sky as the game loads it instead: the registry's cube map (the engine's image, views and
    // sampler) over six decoded faces in layer order.
    void SetGameSkyBox(std::vector<std::shared_ptr<const DecodedImage>> faces);

    // Clears to (0, 0, 0, 1) and depth 1, then draws in order, each draw with its own blocks.
    RenderedFrame Render(const std::vector<ShaderDraw>& draws);

    const std::vector<std::string>& ValidationErrors() const { return device.ValidationErrors(); }

    struct Image {
        VkImage image = VK_NULL_HANDLE;
        VkDeviceMemory memory = VK_NULL_HANDLE;
        VkImageView view = VK_NULL_HANDLE;
        VkImageView faceView = VK_NULL_HANDLE; // cube maps: the first face as 2D, as the engine's textures
        VkFormat format = VK_FORMAT_UNDEFINED;
    };

private:
    void CreateTarget();
    Image UploadImage(uint32_t width, uint32_t height, uint32_t layers, VkFormat format,
                      const std::vector<uint8_t>& bytes);
    void Destroy(Image& image);
    void DrawOne(const ShaderDraw& draw, bool first);

    VulkanTestDevice device;
    std::unique_ptr<OffscreenRenderer> renderer;
    uint32_t targetWidth;
    uint32_t targetHeight;
    Image colourTarget;
    Image depthTarget;
    VkRenderPass clearPass = VK_NULL_HANDLE; // the first draw of a frame
    VkRenderPass loadPass = VK_NULL_HANDLE;  // every later draw, on top of what is there
    VkFramebuffer framebuffer = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
    std::vector<Image> textures;
    Image skyBox;
    std::vector<std::shared_ptr<const DecodedImage>> gameSkyFaces; // empty: the harness's own sky box
};

// A minimal offscreen Vulkan renderer for the shader tests: it draws vertices with one of the
// pack's programs, laid out the way the game's pipelines are (descriptor set from reflection,
// texture registry at binding 1, push-constant ranges and recipes per program), and reads the
// colour and depth back. Runs on whatever Vulkan device exists (Mesa's lavapipe on a CPU) and
// records every validation-layer error.
#pragma once

#include "VulkanTestDevice.h"

#include "assets/Vertex.h"

#include <glm/glm.hpp>
#include <vulkan/vulkan.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

struct ShaderDraw {
    std::string program;
    std::vector<Vertex> vertices;
    // Bytes per block name; a block left out is zero-filled (a storage block gets one record).
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

class ShaderRenderHarness {
public:
    // Small enough for a software rasteriser to draw in a blink, large enough to sample regions.
    static constexpr uint32_t DefaultSize = 32;

    explicit ShaderRenderHarness(uint32_t width = DefaultSize, uint32_t height = DefaultSize);
    ~ShaderRenderHarness();
    ShaderRenderHarness(const ShaderRenderHarness&) = delete;
    ShaderRenderHarness& operator=(const ShaderRenderHarness&) = delete;

    // Empty when a device is ready; otherwise why there is none (the tests then skip).
    const std::string& UnavailableReason() const { return gpu.UnavailableReason(); }

    // A 2D texture in the registry array; returns its index. Index 0 is a white 1x1 texture.
    int32_t AddTexture(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba, VkFormat format);
    // The sky's cube map: six square RGBA8 sRGB faces in the order +X, -X, +Y, -Y, +Z, -Z.
    void SetSkyBox(uint32_t size, const std::array<std::vector<uint8_t>, 6>& faces);

    // Clears to (0, 0, 0, 1) and depth 1, then draws in order.
    RenderedFrame Render(const std::vector<ShaderDraw>& draws);

    const std::vector<std::string>& ValidationErrors() const { return gpu.ValidationErrors(); }

private:
    struct PreparedDraw;

    void CreateTarget();
    PreparedDraw Prepare(const ShaderDraw& draw);
    void Release(PreparedDraw& prepared);

    VulkanTestDevice gpu;
    VkDevice device = VK_NULL_HANDLE; // null when there is no device
    uint32_t targetWidth;
    uint32_t targetHeight;
    VulkanTestDevice::Image colourTarget;
    VulkanTestDevice::Image depthTarget;
    VkRenderPass renderPass = VK_NULL_HANDLE;
    VkFramebuffer framebuffer = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
    std::vector<VulkanTestDevice::Image> textures;
    VulkanTestDevice::Image skyBox;
};

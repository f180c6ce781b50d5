// The passes after the scene: the scene image brought to the window's size (a copy at full
// scale, bilinear, or edge-adaptive then sharpened) and the render pass the UI is drawn in,
// at the window's full resolution. Owns its render passes, pipelines, sampler and descriptor
// sets; the images it reads and writes belong to the swap-chain set.
#pragma once

#include "app/RenderQuality.h"

#include <glm/glm.hpp>
#include <vulkan/vulkan.h>

#include <cstdint>

// The full-screen passes' push constants (shaders/include/PostRecord.glsl).
struct PostRecord {
    glm::vec2 sourceScale{1.0f};  // source pixels per target pixel
    glm::vec2 sourceSize{1.0f};   // the source image's allocated size
    glm::vec2 sourceExtent{1.0f}; // the part of the source that holds the frame
    float sharpness = 0.0f;
    int32_t mode = 0;
};
static_assert(sizeof(PostRecord) == 32);

class UpscalePass {
public:
    // Render passes, pipelines, sampler and descriptor sets for targets of `format`.
    void Create(VkFormat format);
    // Safe to call twice.
    void Destroy();
    // The images the passes read: the scene (drawn at a scale) and the upscaled scene.
    void BindSources(VkImageView scene, VkImageView upscaled);

    // Into the swap-chain image, which it leaves ready to present; the UI is drawn in it too.
    VkRenderPass PresentPass() const { return presentPass; }
    // Into the full-size intermediate image the sharpening reads.
    VkRenderPass IntermediatePass() const { return intermediatePass; }

    // Records the passes from the scene image, drawn over `drawn` of its `full` size, to
    // `target` (a framebuffer of PresentPass), through `intermediate` when the filter needs it.
    // Leaves the present pass open for the UI: the caller ends it.
    void Record(VkCommandBuffer commandBuffer, VkFramebuffer intermediate, VkFramebuffer target, VkExtent2D full,
                VkExtent2D drawn, UpscaleFilter filter) const;

private:
    void Draw(VkCommandBuffer commandBuffer, VkPipeline pipeline, VkDescriptorSet set, const PostRecord& record,
              VkExtent2D extent) const;

    VkRenderPass presentPass = VK_NULL_HANDLE;
    VkRenderPass intermediatePass = VK_NULL_HANDLE;
    VkDescriptorSetLayout setLayout = VK_NULL_HANDLE;
    VkPipelineLayout pipelineLayout = VK_NULL_HANDLE;
    VkPipeline upscalePipeline = VK_NULL_HANDLE;
    VkPipeline sharpenPipeline = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
    VkDescriptorPool pool = VK_NULL_HANDLE;
    VkDescriptorSet sceneSet = VK_NULL_HANDLE;
    VkDescriptorSet upscaledSet = VK_NULL_HANDLE;
};

// Buffers, images, views, one-time commands and layout transitions on the process-wide device.
// Every buffer and image gets its own allocation bound at offset 0. Failures throw
// std::runtime_error with the system's own message.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>

uint32_t FindMemoryType(uint32_t typeFilter, VkMemoryPropertyFlags properties);

void CreateBuffer(VkDeviceSize size, VkBufferUsageFlags usage, VkMemoryPropertyFlags properties, VkBuffer& buffer,
                  VkDeviceMemory& memory);
// Destroys and frees, then nulls both handles; safe to call twice.
void DestroyBuffer(VkBuffer& buffer, VkDeviceMemory& memory);

void CreateImage(uint32_t width, uint32_t height, uint32_t mipLevels, VkSampleCountFlagBits samples, VkFormat format,
                 VkImageTiling tiling, VkImageUsageFlags usage, VkMemoryPropertyFlags properties, VkImage& image,
                 VkDeviceMemory& memory, uint32_t arrayLayers = 1, VkImageCreateFlags flags = 0);
VkImageView CreateImageView(VkImage image, VkFormat format, VkImageAspectFlags aspect, VkImageViewType viewType,
                            uint32_t mipLevels, uint32_t layerCount);

VkCommandBuffer BeginSingleTimeCommands();
// Submits, waits for the graphics queue to go idle and frees the buffer.
void EndSingleTimeCommands(VkCommandBuffer commandBuffer);

// UNDEFINED -> TRANSFER_DST, UNDEFINED -> DEPTH_STENCIL_ATTACHMENT, TRANSFER_DST -> SHADER_READ_ONLY;
// anything else throws std::invalid_argument "unsupported layout transition!".
void TransitionImageLayout(VkImage image, VkFormat format, VkImageLayout oldLayout, VkImageLayout newLayout,
                           uint32_t mipLevels, uint32_t layerCount);
void CopyBuffer(VkBuffer src, VkBuffer dst, VkDeviceSize size);
void CopyBufferToImage(VkBuffer buffer, VkImage image, uint32_t width, uint32_t height, uint32_t layerCount);
// The same two recorded into a command buffer of the caller's, so that several steps of one upload
// share a single submission and wait.
void RecordLayoutTransition(VkCommandBuffer commandBuffer, VkImage image, VkFormat format, VkImageLayout oldLayout,
                            VkImageLayout newLayout, uint32_t mipLevels, uint32_t layerCount);
void RecordCopyBufferToImage(VkCommandBuffer commandBuffer, VkBuffer buffer, VkImage image, uint32_t width,
                             uint32_t height, uint32_t layerCount);

// The barrier values of one supported transition (pure, testable without a device).
struct LayoutTransition {
    VkAccessFlags srcAccess;
    VkAccessFlags dstAccess;
    VkPipelineStageFlags srcStage;
    VkPipelineStageFlags dstStage;
    VkImageAspectFlags aspect;
};
LayoutTransition DescribeLayoutTransition(VkFormat format, VkImageLayout oldLayout, VkImageLayout newLayout);

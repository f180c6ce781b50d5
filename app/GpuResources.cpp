#include "app/GpuResources.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"

#include <stdexcept>

uint32_t FindMemoryType(uint32_t typeFilter, VkMemoryPropertyFlags properties)
{
    VkPhysicalDeviceMemoryProperties memory;
    vkGetPhysicalDeviceMemoryProperties(gpu.physicalDevice, &memory);
    for (uint32_t i = 0; i < memory.memoryTypeCount; ++i)
        if ((typeFilter & (1u << i)) && (memory.memoryTypes[i].propertyFlags & properties) == properties)
            return i;
    throw std::runtime_error("failed to find suitable memory type");
}

void CreateBuffer(VkDeviceSize size, VkBufferUsageFlags usage, VkMemoryPropertyFlags properties, VkBuffer& buffer,
                  VkDeviceMemory& memory)
{
    VkBufferCreateInfo info{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
    info.size = size;
    info.usage = usage;
    info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    VkCheck(vkCreateBuffer(gpu.device, &info, nullptr, &buffer), "failed to create buffer!");

    VkMemoryRequirements requirements;
    vkGetBufferMemoryRequirements(gpu.device, buffer, &requirements);
    VkMemoryAllocateInfo alloc{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    alloc.allocationSize = requirements.size;
    alloc.memoryTypeIndex = FindMemoryType(requirements.memoryTypeBits, properties);
    // A failure part-way releases what was made, so the caller's handles stay null.
    try {
        VkCheck(vkAllocateMemory(gpu.device, &alloc, nullptr, &memory), "failed to allocate buffer memory!");
        VkCheck(vkBindBufferMemory(gpu.device, buffer, memory, 0), "failed to bind buffer memory!");
    } catch (...) {
        DestroyBuffer(buffer, memory);
        throw;
    }
}

void DestroyBuffer(VkBuffer& buffer, VkDeviceMemory& memory)
{
    if (buffer != VK_NULL_HANDLE)
        vkDestroyBuffer(gpu.device, buffer, nullptr);
    if (memory != VK_NULL_HANDLE)
        vkFreeMemory(gpu.device, memory, nullptr);
    buffer = VK_NULL_HANDLE;
    memory = VK_NULL_HANDLE;
}

void CreateImage(uint32_t width, uint32_t height, uint32_t mipLevels, VkSampleCountFlagBits samples, VkFormat format,
                 VkImageTiling tiling, VkImageUsageFlags usage, VkMemoryPropertyFlags properties, VkImage& image,
                 VkDeviceMemory& memory, uint32_t arrayLayers, VkImageCreateFlags flags)
{
    VkImageCreateInfo info{VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
    info.imageType = VK_IMAGE_TYPE_2D;
    info.extent = {width, height, 1};
    info.mipLevels = mipLevels;
    info.arrayLayers = arrayLayers;
    info.format = format;
    info.tiling = tiling;
    info.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    info.usage = usage;
    info.samples = samples;
    info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    info.flags = flags;
    VkCheck(vkCreateImage(gpu.device, &info, nullptr, &image), "failed to create image!");

    VkMemoryRequirements requirements;
    vkGetImageMemoryRequirements(gpu.device, image, &requirements);
    VkMemoryAllocateInfo alloc{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    alloc.allocationSize = requirements.size;
    alloc.memoryTypeIndex = FindMemoryType(requirements.memoryTypeBits, properties);
    try {
        VkCheck(vkAllocateMemory(gpu.device, &alloc, nullptr, &memory), "failed to allocate image memory!");
        VkCheck(vkBindImageMemory(gpu.device, image, memory, 0), "failed to bind image memory!");
    } catch (...) {
        if (memory != VK_NULL_HANDLE)
            vkFreeMemory(gpu.device, memory, nullptr);
        vkDestroyImage(gpu.device, image, nullptr);
        image = VK_NULL_HANDLE;
        memory = VK_NULL_HANDLE;
        throw;
    }
}

VkImageView CreateImageView(VkImage image, VkFormat format, VkImageAspectFlags aspect, VkImageViewType viewType,
                            uint32_t mipLevels, uint32_t layerCount)
{
    VkImageViewCreateInfo info{VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO};
    info.image = image;
    info.viewType = viewType;
    info.format = format;
    info.components = {VK_COMPONENT_SWIZZLE_IDENTITY, VK_COMPONENT_SWIZZLE_IDENTITY, VK_COMPONENT_SWIZZLE_IDENTITY,
                       VK_COMPONENT_SWIZZLE_IDENTITY};
    info.subresourceRange = {aspect, 0, mipLevels, 0, layerCount};
    VkImageView view;
    VkCheck(vkCreateImageView(gpu.device, &info, nullptr, &view), "failed to create image view!");
    return view;
}

VkCommandBuffer BeginSingleTimeCommands()
{
    VkCommandBufferAllocateInfo alloc{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
    alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    alloc.commandPool = gpu.commandPool;
    alloc.commandBufferCount = 1;
    VkCommandBuffer commandBuffer = VK_NULL_HANDLE;
    VkCheck(vkAllocateCommandBuffers(gpu.device, &alloc, &commandBuffer), "failed to allocate command buffers!");

    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    const VkResult result = vkBeginCommandBuffer(commandBuffer, &begin);
    if (result != VK_SUCCESS)
        vkFreeCommandBuffers(gpu.device, gpu.commandPool, 1, &commandBuffer);
    VkCheck(result, "failed to begin recording command buffer!");
    return commandBuffer;
}

void EndSingleTimeCommands(VkCommandBuffer commandBuffer)
{
    VkSubmitInfo submit{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commandBuffer;
    VkResult result = vkEndCommandBuffer(commandBuffer);
    if (result == VK_SUCCESS)
        result = vkQueueSubmit(gpu.graphicsQueue, 1, &submit, VK_NULL_HANDLE);
    if (result == VK_SUCCESS)
        result = vkQueueWaitIdle(gpu.graphicsQueue);
    // Freed whatever happened: a failed upload must not leave its command buffer behind.
    vkFreeCommandBuffers(gpu.device, gpu.commandPool, 1, &commandBuffer);
    VkCheck(result, "failed to submit one-time command buffer!");
}

LayoutTransition DescribeLayoutTransition(VkFormat format, VkImageLayout oldLayout, VkImageLayout newLayout)
{
    LayoutTransition t{};
    t.aspect = VK_IMAGE_ASPECT_COLOR_BIT;
    if (newLayout == VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL) {
        t.aspect = VK_IMAGE_ASPECT_DEPTH_BIT;
        if (format == VK_FORMAT_D32_SFLOAT_S8_UINT || format == VK_FORMAT_D24_UNORM_S8_UINT)
            t.aspect |= VK_IMAGE_ASPECT_STENCIL_BIT;
    }
    if (oldLayout == VK_IMAGE_LAYOUT_UNDEFINED && newLayout == VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL) {
        t.srcAccess = 0;
        t.dstAccess = VK_ACCESS_TRANSFER_WRITE_BIT;
        t.srcStage = VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT;
        t.dstStage = VK_PIPELINE_STAGE_TRANSFER_BIT;
    } else if (oldLayout == VK_IMAGE_LAYOUT_UNDEFINED &&
               newLayout == VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL) {
        t.srcAccess = 0;
        t.dstAccess = VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_READ_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;
        t.srcStage = VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT;
        t.dstStage = VK_PIPELINE_STAGE_EARLY_FRAGMENT_TESTS_BIT;
    } else if (oldLayout == VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL &&
               newLayout == VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL) {
        t.srcAccess = VK_ACCESS_TRANSFER_WRITE_BIT;
        t.dstAccess = VK_ACCESS_SHADER_READ_BIT;
        t.srcStage = VK_PIPELINE_STAGE_TRANSFER_BIT;
        t.dstStage = VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT;
    } else {
        throw std::invalid_argument("unsupported layout transition!");
    }
    return t;
}

void RecordLayoutTransition(VkCommandBuffer commandBuffer, VkImage image, VkFormat format, VkImageLayout oldLayout,
                            VkImageLayout newLayout, uint32_t mipLevels, uint32_t layerCount)
{
    const LayoutTransition t = DescribeLayoutTransition(format, oldLayout, newLayout);
    VkImageMemoryBarrier barrier{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
    barrier.oldLayout = oldLayout;
    barrier.newLayout = newLayout;
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = image;
    barrier.subresourceRange = {t.aspect, 0, mipLevels, 0, layerCount};
    barrier.srcAccessMask = t.srcAccess;
    barrier.dstAccessMask = t.dstAccess;
    vkCmdPipelineBarrier(commandBuffer, t.srcStage, t.dstStage, 0, 0, nullptr, 0, nullptr, 1, &barrier);
}

void TransitionImageLayout(VkImage image, VkFormat format, VkImageLayout oldLayout, VkImageLayout newLayout,
                           uint32_t mipLevels, uint32_t layerCount)
{
    // Validate before anything is recorded.
    DescribeLayoutTransition(format, oldLayout, newLayout);
    VkCommandBuffer commandBuffer = BeginSingleTimeCommands();
    RecordLayoutTransition(commandBuffer, image, format, oldLayout, newLayout, mipLevels, layerCount);
    EndSingleTimeCommands(commandBuffer);
}

void CopyBuffer(VkBuffer src, VkBuffer dst, VkDeviceSize size)
{
    VkCommandBuffer commandBuffer = BeginSingleTimeCommands();
    VkBufferCopy region{0, 0, size};
    vkCmdCopyBuffer(commandBuffer, src, dst, 1, &region);
    EndSingleTimeCommands(commandBuffer);
}

void RecordCopyBufferToImage(VkCommandBuffer commandBuffer, VkBuffer buffer, VkImage image, uint32_t width,
                             uint32_t height, uint32_t layerCount)
{
    VkBufferImageCopy region{};
    region.bufferOffset = 0;
    region.bufferRowLength = 0;
    region.bufferImageHeight = 0;
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, layerCount};
    region.imageOffset = {0, 0, 0};
    region.imageExtent = {width, height, 1};
    vkCmdCopyBufferToImage(commandBuffer, buffer, image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
}

void CopyBufferToImage(VkBuffer buffer, VkImage image, uint32_t width, uint32_t height, uint32_t layerCount)
{
    VkCommandBuffer commandBuffer = BeginSingleTimeCommands();
    RecordCopyBufferToImage(commandBuffer, buffer, image, width, height, layerCount);
    EndSingleTimeCommands(commandBuffer);
}

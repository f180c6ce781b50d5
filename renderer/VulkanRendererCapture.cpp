// Copies of a frame's final picture into host memory, for measurements and checks: never part
// of a game frame unless asked for, and allocated when asked, not in the frame.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/VulkanCheck.h"

#include <cstring>

namespace {

VkImageMemoryBarrier SwapImageBarrier(VkImage image, VkImageLayout from, VkImageLayout to, VkAccessFlags src,
                                      VkAccessFlags dst)
{
    VkImageMemoryBarrier barrier{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
    barrier.oldLayout = from;
    barrier.newLayout = to;
    barrier.srcAccessMask = src;
    barrier.dstAccessMask = dst;
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = image;
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    return barrier;
}

} // namespace

void VulkanRenderer::CaptureNextFrame()
{
    const VkDeviceSize size = VkDeviceSize(gpu.swapChainExtent.width) * gpu.swapChainExtent.height * 4;
    if (capture.size != size) {
        ReleaseCapture();
        CreateBuffer(size, VK_BUFFER_USAGE_TRANSFER_DST_BIT,
                     VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, capture.buffer,
                     capture.memory);
        capture.size = size;
    }
    capture.requested = true;
    capture.recorded = false;
}

void VulkanRenderer::RecordCapture(VkCommandBuffer commandBuffer, uint32_t imageIndex)
{
    VkImage image = swapChain.images[imageIndex];
    VkImageMemoryBarrier toCopy =
        SwapImageBarrier(image, VK_IMAGE_LAYOUT_PRESENT_SRC_KHR, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                         VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT, VK_ACCESS_TRANSFER_READ_BIT);
    vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT,
                         0, 0, nullptr, 0, nullptr, 1, &toCopy);
    VkBufferImageCopy region{};
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    region.imageExtent = {gpu.swapChainExtent.width, gpu.swapChainExtent.height, 1};
    vkCmdCopyImageToBuffer(commandBuffer, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, capture.buffer, 1, &region);
    VkImageMemoryBarrier toPresent = SwapImageBarrier(image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                                                      VK_IMAGE_LAYOUT_PRESENT_SRC_KHR, VK_ACCESS_TRANSFER_READ_BIT, 0);
    vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_BOTTOM_OF_PIPE_BIT, 0, 0,
                         nullptr, 0, nullptr, 1, &toPresent);
    VkBufferMemoryBarrier toHost{VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER};
    toHost.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    toHost.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
    toHost.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.buffer = capture.buffer;
    toHost.size = VK_WHOLE_SIZE;
    vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_HOST_BIT, 0, 0, nullptr, 1,
                         &toHost, 0, nullptr);
    capture.extent = gpu.swapChainExtent;
    capture.requested = false;
    capture.recorded = true;
}

bool VulkanRenderer::TakeCapture(std::vector<uint8_t>& pixels, VkExtent2D& extent)
{
    if (!capture.recorded)
        return false;
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    void* mapped = nullptr;
    VkCheck(vkMapMemory(gpu.device, capture.memory, 0, capture.size, 0, &mapped), "failed to map the capture");
    pixels.resize(size_t(capture.size));
    std::memcpy(pixels.data(), mapped, pixels.size());
    vkUnmapMemory(gpu.device, capture.memory);
    extent = capture.extent;
    capture.recorded = false;
    return true;
}

void VulkanRenderer::ReleaseCapture()
{
    DestroyBuffer(capture.buffer, capture.memory);
    capture.size = 0;
    capture.recorded = false;
}

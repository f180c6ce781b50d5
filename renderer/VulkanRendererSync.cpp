// Command pool and per-frame command buffers; semaphores and fences.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"

void VulkanRenderer::CreateCommandPool()
{
    // A second call without a release in between must not strand the first pool.
    DestroyCommandPool();
    VkCommandPoolCreateInfo info{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
    info.flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT;
    info.queueFamilyIndex = queueFamilies.graphicsFamily.value();
    VkCheck(vkCreateCommandPool(gpu.device, &info, nullptr, &gpu.commandPool), "failed to create command pool!");
}

void VulkanRenderer::AllocateCommandBuffers()
{
    commandBuffers.assign(MaxFramesInFlight, VK_NULL_HANDLE);
    VkCommandBufferAllocateInfo info{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
    info.commandPool = gpu.commandPool;
    info.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    info.commandBufferCount = MaxFramesInFlight;
    VkCheck(vkAllocateCommandBuffers(gpu.device, &info, commandBuffers.data()), "failed to allocate command buffers!");
}

void VulkanRenderer::DestroyCommandPool()
{
    // The pool frees its command buffers with it.
    if (gpu.commandPool != VK_NULL_HANDLE) {
        VkCheckTeardown(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
        vkDestroyCommandPool(gpu.device, gpu.commandPool, nullptr);
    }
    gpu.commandPool = VK_NULL_HANDLE;
    commandBuffers.clear();
}

void VulkanRenderer::CreateSyncObjects()
{
    VkSemaphoreCreateInfo semaphore{VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO};
    VkFenceCreateInfo fence{VK_STRUCTURE_TYPE_FENCE_CREATE_INFO};
    fence.flags = VK_FENCE_CREATE_SIGNALED_BIT; // the first wait on each slot returns at once
    imageAvailableSemaphores.assign(MaxFramesInFlight, VK_NULL_HANDLE);
    inFlightFences.assign(MaxFramesInFlight, VK_NULL_HANDLE);
    for (uint32_t i = 0; i < MaxFramesInFlight; ++i) {
        VkCheck(vkCreateSemaphore(gpu.device, &semaphore, nullptr, &imageAvailableSemaphores[i]),
                "failed to create semaphores!");
        VkCheck(vkCreateFence(gpu.device, &fence, nullptr, &inFlightFences[i]), "failed to create semaphores!");
    }
    EnsureRenderFinishedSemaphores(swapChain.images.size());
}

void VulkanRenderer::EnsureRenderFinishedSemaphores(size_t imageCount)
{
    // Created before the device exists? Then CreateSyncObjects comes back here.
    if (gpu.device == VK_NULL_HANDLE || imageAvailableSemaphores.empty())
        return;
    // Only ever grown: a semaphore the presentation engine may still wait on is never destroyed
    // while the device lives.
    VkSemaphoreCreateInfo info{VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO};
    while (renderFinishedSemaphores.size() < imageCount) {
        VkSemaphore semaphore;
        VkCheck(vkCreateSemaphore(gpu.device, &info, nullptr, &semaphore), "failed to create semaphores!");
        renderFinishedSemaphores.push_back(semaphore);
    }
}

void VulkanRenderer::DestroySyncObjects()
{
    for (VkSemaphore s : imageAvailableSemaphores)
        vkDestroySemaphore(gpu.device, s, nullptr);
    for (VkSemaphore s : renderFinishedSemaphores)
        vkDestroySemaphore(gpu.device, s, nullptr);
    for (VkFence f : inFlightFences)
        vkDestroyFence(gpu.device, f, nullptr);
    imageAvailableSemaphores.clear();
    renderFinishedSemaphores.clear();
    inFlightFences.clear();
}

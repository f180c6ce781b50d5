#include "app/StagingBuffer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/IRenderer.h"
#include "app/VulkanCheck.h"

void* StagingBuffer::Reserve(VkDeviceSize size)
{
    if (size <= capacity_)
        return mapped_;
    Release();
    try {
        CreateBuffer(size, VK_BUFFER_USAGE_TRANSFER_SRC_BIT,
                     VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, buffer_, memory_);
        VkCheck(vkMapMemory(gpu.device, memory_, 0, VK_WHOLE_SIZE, 0, &mapped_), "Failed to map buffer memory");
    } catch (...) {
        Release();
        throw;
    }
    capacity_ = size;
    return mapped_;
}

void StagingBuffer::Release()
{
    // Freeing the memory unmaps it.
    DestroyBuffer(buffer_, memory_);
    mapped_ = nullptr;
    capacity_ = 0;
}

StagingBuffer& StagingFor(IRenderer* renderer, StagingBuffer& own)
{
    StagingBuffer* shared = renderer->UploadStaging();
    return shared ? *shared : own;
}

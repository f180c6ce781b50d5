#include "renderer/NamedBuffers.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/VulkanCheck.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

void CreateNamedBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage)
{
    if (gpu.namedBuffers.count(name))
        return;
    std::vector<UniformBufferFrame> frames(MaxFramesInFlight);
    for (UniformBufferFrame& frame : frames) {
        CreateBuffer(size, storage ? VK_BUFFER_USAGE_STORAGE_BUFFER_BIT : VK_BUFFER_USAGE_UNIFORM_BUFFER_BIT,
                     VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, frame.buffer,
                     frame.memory);
        frame.size = size;
        frame.stride = stride;
        VkCheck(vkMapMemory(gpu.device, frame.memory, 0, size, 0, &frame.mapped), "Failed to map buffer memory");
    }
    gpu.namedBuffers.emplace(name, std::move(frames));
}

std::vector<UniformBufferFrame>& GetUniformBufferFrames(const std::string& name)
{
    auto found = gpu.namedBuffers.find(name);
    if (found == gpu.namedBuffers.end())
        throw std::runtime_error("Buffer name does not exist in map");
    return found->second;
}

std::vector<UniformBufferFrame>* FindNamedBuffer(const std::string& name)
{
    auto found = gpu.namedBuffers.find(name);
    return found == gpu.namedBuffers.end() ? nullptr : &found->second;
}

void UpdateNamedBuffer(const std::string& name, uint32_t frame, const void* data, uint32_t size)
{
    auto found = gpu.namedBuffers.find(name);
    if (found == gpu.namedBuffers.end())
        throw std::runtime_error("Cant find buffer name in map");
    UniformBufferFrame& target = found->second[frame];
    // More records than the buffer was sized for would run past the mapping: the tail is dropped
    // (and not drawn, see DrawActor) instead of corrupting memory.
    const size_t bytes = std::min<VkDeviceSize>(size, target.size);
    std::memcpy(target.mapped, data, bytes);
}

void DestroyNamedBuffers()
{
    for (auto& [name, frames] : gpu.namedBuffers)
        for (UniformBufferFrame& frame : frames)
            DestroyBuffer(frame.buffer, frame.memory); // freeing the memory unmaps it
    gpu.namedBuffers.clear();
}

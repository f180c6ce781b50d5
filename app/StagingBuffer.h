// A host-visible buffer that uploads copy their bytes through, mapped for as long as it lives.
// The renderer keeps one for every texture and mesh upload of its life and grows it to the
// largest: a staging allocation made fresh for each upload pays the first touch of every one of
// its pages each time (on a software rasterizer 10 ms for a 4 MiB image, sixty times the copy).
// Uploads wait for their own submission, so one buffer serves them all in turn. A texture or mesh
// made without a renderer that keeps one uses a staging buffer of its own, freed when the upload
// is done.
#pragma once

#include <vulkan/vulkan.h>

class IRenderer;

class StagingBuffer {
public:
    StagingBuffer() = default;
    ~StagingBuffer() { Release(); }
    StagingBuffer(const StagingBuffer&) = delete;
    StagingBuffer& operator=(const StagingBuffer&) = delete;

    // Mapped memory for at least `size` bytes, at the start of Buffer(). A buffer smaller than
    // that is replaced by one of the size (what it held is gone); a failure throws and leaves none.
    void* Reserve(VkDeviceSize size);
    VkBuffer Buffer() const { return buffer_; }
    VkDeviceSize Capacity() const { return capacity_; }
    // Frees the buffer; safe to call twice.
    void Release();

private:
    VkBuffer buffer_ = VK_NULL_HANDLE;
    VkDeviceMemory memory_ = VK_NULL_HANDLE;
    void* mapped_ = nullptr;
    VkDeviceSize capacity_ = 0;
};

// The renderer's shared staging buffer, or `own` where the renderer keeps none.
StagingBuffer& StagingFor(IRenderer* renderer, StagingBuffer& own);

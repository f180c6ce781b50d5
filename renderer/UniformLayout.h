// Arithmetic of the per-object blocks: record strides under the device's dynamic-offset
// alignment, record offsets and buffer sizes.
#pragma once

#include <cstdint>

// size rounded up to a multiple of alignment (a power of two); unchanged when alignment is 0.
constexpr uint32_t AlignStride(uint32_t size, uint32_t alignment)
{
    return alignment == 0 ? size : (size + alignment - 1) & ~(alignment - 1);
}

constexpr uint32_t DynamicOffset(uint32_t recordIndex, uint32_t stride)
{
    return recordIndex * stride;
}

// Bytes of a per-object buffer for `count` actors. A shader that no actor uses still gets one
// record: Vulkan rejects zero-sized buffers, and its descriptor sets must point at a real one.
constexpr uint32_t PerObjectBufferSize(uint32_t count, uint32_t recordSize)
{
    return (count == 0 ? 1 : count) * recordSize;
}

// Whether record `index` lies wholly inside a buffer of `bufferSize` bytes.
constexpr bool RecordFits(uint32_t index, uint32_t stride, uint64_t bufferSize)
{
    return uint64_t(index) * stride + stride <= bufferSize;
}

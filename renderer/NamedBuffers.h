// The named per-frame buffer table of the GpuContext: one persistently mapped host buffer per
// frame in flight under each block name.
#pragma once

#include "app/UniformBufferFrame.h"

#include <cstdint>
#include <string>
#include <vector>

// Leaves a name that exists alone; otherwise makes MaxFramesInFlight mapped buffers.
void CreateNamedBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage);
// "Buffer name does not exist in map" for an unknown name.
std::vector<UniformBufferFrame>& GetUniformBufferFrames(const std::string& name);
// The name's buffers, or null. The pointer stays valid until DestroyNamedBuffers.
std::vector<UniformBufferFrame>* FindNamedBuffer(const std::string& name);
// Copies at offset 0 of the frame's buffer, never past its end; "Cant find buffer name in map".
void UpdateNamedBuffer(const std::string& name, uint32_t frame, const void* data, uint32_t size);
// Destroys every buffer and empties the table.
void DestroyNamedBuffers();

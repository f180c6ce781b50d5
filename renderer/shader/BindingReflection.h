// From two reflected stages to a shader's binding list and the named buffers it needs: the
// vertex stage first, a block that both stages declare listed once for both.
#pragma once

#include "renderer/shader/ShaderBinding.h"
#include "renderer/shader/ShaderReflection.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Actors per per-object block name; a name the map lacks counts 0.
using BlockCounts = std::unordered_map<std::string, uint32_t>;

struct BufferRequest {
    std::string name;
    uint32_t size = 0;
    uint32_t stride = 0; // aligned record size of a dynamic block, 0 otherwise
    bool storage = false;
};

struct ReflectedBindings {
    std::vector<ShaderBinding> bindings;
    std::vector<BufferRequest> buffers; // in the order the blocks were first seen
};

// "DYN_" uniform blocks: dynamic, count x aligned stride; other uniform blocks: their declared
// size; storage blocks: count x one record. A per-object block that no actor uses is sized for
// one record, since Vulkan has no zero-sized buffers. Throws when a block the renderer writes
// declares another size than the renderer's record.
ReflectedBindings ReflectBindings(const StageReflection& vertex, const StageReflection& fragment,
                                  const BlockCounts& dynamicCounts, const BlockCounts& storageCounts,
                                  uint32_t alignment);

// The size the renderer writes into a block of this name, or 0 for a block it does not know.
uint32_t RendererRecordSize(const std::string& blockName);

// CPU-only reflection of one SPIR-V stage: its uniform and storage blocks (name = the block's
// struct type name, Binding decoration, declared size) and its push-constant block size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ReflectedBlock {
    std::string name;
    uint32_t binding = 0;
    uint32_t declaredSize = 0; // a storage block counts one record of its trailing runtime array
};

struct StageReflection {
    std::vector<ReflectedBlock> uniformBlocks; // in SPIRV-Cross order
    std::vector<ReflectedBlock> storageBlocks;
    uint32_t pushConstantSize = 0;
};

// Throws std::runtime_error for bytes that are not a valid Vulkan 1.0 SPIR-V module
// ("invalid SPIR-V module: " + the validator's first error; SPIRV-Cross's own errors derive from
// it too).
StageReflection ReflectStage(const std::vector<char>& spirv);

// True for the per-actor dynamic uniform blocks, whose names start with "DYN_".
bool IsDynamicBlockName(const std::string& name);

// The per-actor blocks of a program: at most one dynamic uniform block and one storage block,
// which both stages may declare under the same name.
struct PerActorBlocks {
    bool hasDynamicBlock = false;
    std::string dynamicBlockName;
    bool hasStorageBlock = false;
    std::string storageBlockName;
};

// Examines vertex uniforms, fragment uniforms, vertex storage, fragment storage, in that order.
// Throws "SHADER MUST CONTAIN A MAX OF ONE DYNAMIC BUFFER ONLY" /
// "SHADER MUST CONTAIN A MAX OF ONE STORAGE BUFFER ONLY" for a second, different block.
PerActorBlocks ScanPerActorBlocks(const StageReflection& vertex, const StageReflection& fragment);

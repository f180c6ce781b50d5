// SPIR-V reflection from bytes, without a device: the stage's blocks, then the per-actor scan and
// the binding list built from it as both stages of one program.
#include "renderer/shader/BindingReflection.h"
#include "renderer/shader/ShaderReflection.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<char> spirv(data, data + size);
    StageReflection stage;
    try {
        stage = ReflectStage(spirv);
    } catch (const std::exception&) {
        return 0;
    }
    try {
        ScanPerActorBlocks(stage, stage);
    } catch (const std::exception&) {
    }
    try {
        // A zombie pool's worth of actors per block, and 256, the largest dynamic-offset alignment
        // Vulkan allows a device to ask for.
        const BlockCounts counts = {{"DYN_AnimPBRShader", 24}, {"SSBO_AnimPBRShader", 24}, {"DYN_PBRShader", 24}};
        ReflectBindings(stage, StageReflection{}, counts, counts, 256);
        ReflectBindings(stage, stage, counts, counts, 256);
    } catch (const std::exception&) {
    }
    return 0;
}

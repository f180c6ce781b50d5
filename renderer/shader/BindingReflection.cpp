#include "renderer/shader/BindingReflection.h"

#include "app/Lights.h"
#include "renderer/UniformLayout.h"
#include "renderer/UniformRecords.h"

#include <stdexcept>

uint32_t RendererRecordSize(const std::string& blockName)
{
    static const std::unordered_map<std::string, uint32_t> sizes = {
        {"CameraBuffer", sizeof(CameraRecord)},
        {"PointLightsBuffer", sizeof(PointLight) * MaxPointLights},
        {"SpotLightsBuffer", sizeof(SpotLight)},
        {"DirectionalLightsBuffer", sizeof(DirectionalLight)},
        {"DYN_BaseShader", sizeof(BaseRecord)},
        {"DYN_PBRShader", sizeof(PbrRecord)},
        {"DYN_BillBoardPBRShader", sizeof(PbrRecord)},
        {"DYN_AnimPBRShader", sizeof(AnimRecord)},
        {"SSBO_AnimPBRShader", sizeof(AnimStorageRecord)},
    };
    auto found = sizes.find(blockName);
    return found == sizes.end() ? 0 : found->second;
}

namespace {

uint32_t CountFor(const BlockCounts& counts, const std::string& name)
{
    auto found = counts.find(name);
    return found == counts.end() ? 0 : found->second;
}

void CheckAgainstRenderer(const ReflectedBlock& block)
{
    const uint32_t expected = RendererRecordSize(block.name);
    if (expected != 0 && expected != block.declaredSize)
        throw std::runtime_error("shader block " + block.name + " declares " + std::to_string(block.declaredSize) +
                                 " bytes but the renderer writes " + std::to_string(expected));
}

class BindingListBuilder {
public:
    BindingListBuilder(const BlockCounts& dynamicCounts, const BlockCounts& storageCounts, uint32_t alignment)
        : dynamicCounts(dynamicCounts), storageCounts(storageCounts), alignment(alignment)
    {}

    void AddUniform(const ReflectedBlock& block, VkShaderStageFlags stage)
    {
        if (MergeStage(block.name, stage))
            return;
        CheckAgainstRenderer(block);
        if (IsDynamicBlockName(block.name)) {
            const uint32_t stride = AlignStride(block.declaredSize, alignment);
            Append(block, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER_DYNAMIC, stage);
            result.buffers.push_back(
                {block.name, PerObjectBufferSize(CountFor(dynamicCounts, block.name), stride), stride, false});
        } else {
            Append(block, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, stage);
            result.buffers.push_back({block.name, block.declaredSize, 0, false});
        }
    }

    void AddStorage(const ReflectedBlock& block, VkShaderStageFlags stage)
    {
        if (MergeStage(block.name, stage))
            return;
        CheckAgainstRenderer(block);
        Append(block, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, stage);
        result.buffers.push_back(
            {block.name, PerObjectBufferSize(CountFor(storageCounts, block.name), block.declaredSize), 0, true});
    }

    ReflectedBindings result;

private:
    // A block the other stage already listed gains this stage and nothing else.
    bool MergeStage(const std::string& name, VkShaderStageFlags stage)
    {
        for (ShaderBinding& entry : result.bindings)
            if (entry.name == name) {
                entry.stageFlags |= stage;
                return true;
            }
        return false;
    }

    void Append(const ReflectedBlock& block, VkDescriptorType type, VkShaderStageFlags stage)
    {
        ShaderBinding entry;
        entry.name = block.name;
        entry.binding = block.binding;
        entry.descriptorType = type;
        entry.descriptorCount = 1;
        entry.stageFlags = stage;
        result.bindings.push_back(entry);
    }

    const BlockCounts& dynamicCounts;
    const BlockCounts& storageCounts;
    uint32_t alignment;
};

} // namespace

ReflectedBindings ReflectBindings(const StageReflection& vertex, const StageReflection& fragment,
                                  const BlockCounts& dynamicCounts, const BlockCounts& storageCounts,
                                  uint32_t alignment)
{
    BindingListBuilder builder(dynamicCounts, storageCounts, alignment);
    for (const ReflectedBlock& block : vertex.uniformBlocks)
        builder.AddUniform(block, VK_SHADER_STAGE_VERTEX_BIT);
    for (const ReflectedBlock& block : vertex.storageBlocks)
        builder.AddStorage(block, VK_SHADER_STAGE_VERTEX_BIT);
    for (const ReflectedBlock& block : fragment.uniformBlocks)
        builder.AddUniform(block, VK_SHADER_STAGE_FRAGMENT_BIT);
    for (const ReflectedBlock& block : fragment.storageBlocks)
        builder.AddStorage(block, VK_SHADER_STAGE_FRAGMENT_BIT);
    return builder.result;
}

#include "renderer/shader/ShaderReflection.h"

#include <spirv-tools/libspirv.hpp>
#include <spirv_cross/spirv_cross.hpp>

#include <cstring>
#include <stdexcept>

namespace {

constexpr uint32_t SpirvMagic = 0x07230203;

// SPIRV-Cross trusts its input: a damaged module can make it read out of bounds or ask for
// terabytes before it reports anything. So every module first passes the validator the build runs
// on our shaders (spirv-val's rules, Vulkan 1.0), which also keeps it from the driver.
void Validate(const std::vector<uint32_t>& words)
{
    spvtools::SpirvTools validator(SPV_ENV_VULKAN_1_0);
    std::string firstError;
    validator.SetMessageConsumer(
        [&firstError](spv_message_level_t, const char*, const spv_position_t&, const char* message) {
            if (firstError.empty())
                firstError = message;
        });
    if (!validator.Validate(words))
        throw std::runtime_error("invalid SPIR-V module: " + firstError);
}

std::vector<uint32_t> ToWords(const std::vector<char>& bytes)
{
    if (bytes.size() < 4 || bytes.size() % 4 != 0)
        throw std::runtime_error("invalid SPIR-V module: size is not a whole number of words");
    std::vector<uint32_t> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    if (words[0] != SpirvMagic)
        throw std::runtime_error("invalid SPIR-V module: bad magic number");
    Validate(words);
    return words;
}

ReflectedBlock Describe(const spirv_cross::Compiler& compiler, const spirv_cross::Resource& resource, bool storage)
{
    const spirv_cross::SPIRType& type = compiler.get_type(resource.base_type_id);
    ReflectedBlock block;
    block.name = compiler.get_name(resource.base_type_id);
    block.binding = compiler.get_decoration(resource.id, spv::DecorationBinding);
    block.declaredSize = static_cast<uint32_t>(storage ? compiler.get_declared_struct_size_runtime_array(type, 1)
                                                       : compiler.get_declared_struct_size(type));
    return block;
}

} // namespace

StageReflection ReflectStage(const std::vector<char>& spirv)
{
    spirv_cross::Compiler compiler(ToWords(spirv));
    const spirv_cross::ShaderResources resources = compiler.get_shader_resources();
    StageReflection stage;
    for (const spirv_cross::Resource& r : resources.uniform_buffers)
        stage.uniformBlocks.push_back(Describe(compiler, r, false));
    for (const spirv_cross::Resource& r : resources.storage_buffers)
        stage.storageBlocks.push_back(Describe(compiler, r, true));
    for (const spirv_cross::Resource& r : resources.push_constant_buffers)
        stage.pushConstantSize =
            static_cast<uint32_t>(compiler.get_declared_struct_size(compiler.get_type(r.base_type_id)));
    return stage;
}

bool IsDynamicBlockName(const std::string& name)
{
    return name.compare(0, 4, "DYN_") == 0;
}

namespace {

// A repeat of the same name in the fragment stage is the same block seen from both stages; the
// scan goes on past it so that a later storage block is still found.
void Claim(bool& has, std::string& current, const std::string& name, bool vertexStage, const char* message)
{
    if (has) {
        if (vertexStage || current != name)
            throw std::runtime_error(message);
        return;
    }
    has = true;
    current = name;
}

} // namespace

PerActorBlocks ScanPerActorBlocks(const StageReflection& vertex, const StageReflection& fragment)
{
    static const char* const dynamicMessage = "SHADER MUST CONTAIN A MAX OF ONE DYNAMIC BUFFER ONLY";
    static const char* const storageMessage = "SHADER MUST CONTAIN A MAX OF ONE STORAGE BUFFER ONLY";
    PerActorBlocks blocks;
    for (const ReflectedBlock& b : vertex.uniformBlocks)
        if (IsDynamicBlockName(b.name))
            Claim(blocks.hasDynamicBlock, blocks.dynamicBlockName, b.name, true, dynamicMessage);
    for (const ReflectedBlock& b : fragment.uniformBlocks)
        if (IsDynamicBlockName(b.name))
            Claim(blocks.hasDynamicBlock, blocks.dynamicBlockName, b.name, false, dynamicMessage);
    for (const ReflectedBlock& b : vertex.storageBlocks)
        Claim(blocks.hasStorageBlock, blocks.storageBlockName, b.name, true, storageMessage);
    for (const ReflectedBlock& b : fragment.storageBlocks)
        Claim(blocks.hasStorageBlock, blocks.storageBlockName, b.name, false, storageMessage);
    return blocks;
}

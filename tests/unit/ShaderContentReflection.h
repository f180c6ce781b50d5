// Test-side view of one shader program in the pack: both stages' SPIR-V reflected with
// SPIRV-Cross, and the contract each program must meet.
#pragma once

#include "app/Lights.h"
#include "assets/AssetPack.h"
#include "renderer/UniformRecords.h"

#include <spirv_cross/spirv_cross.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace shader_content {

inline constexpr uint32_t SpirvMagic = 0x07230203;
inline constexpr uint32_t Spirv10 = 0x00010000; // the version a Vulkan 1.0 driver must accept

enum class BlockKind { Uniform, Dynamic, Storage };
enum class TextureKind { None, Array2D, Cube };
enum class Stage { Vertex, Fragment };

// The bytes of a stage asset as SPIR-V words; throws when they cannot be SPIR-V.
inline std::vector<uint32_t> LoadSpirvWords(const std::string& assetName)
{
    std::vector<char> bytes = LoadAsset(assetName.c_str());
    if (bytes.empty() || bytes.size() % sizeof(uint32_t) != 0)
        throw std::runtime_error(assetName + " is not a whole number of SPIR-V words");
    std::vector<uint32_t> words(bytes.size() / sizeof(uint32_t));
    std::memcpy(words.data(), bytes.data(), bytes.size());
    return words;
}

struct CompiledStage {
    std::vector<uint32_t> words;
    std::unique_ptr<spirv_cross::Compiler> compiler;
    spirv_cross::ShaderResources resources;

    explicit CompiledStage(const std::string& assetName) : words(LoadSpirvWords(assetName))
    {
        compiler = std::make_unique<spirv_cross::Compiler>(words);
        resources = compiler->get_shader_resources();
    }
};

// What reflection says about one block, merged over both stages.
struct ProgramBlock {
    std::string name;
    uint32_t set = 0;
    uint32_t binding = 0;
    BlockKind kind = BlockKind::Uniform;
    size_t size = 0; // one record for a storage block
    bool inVertex = false;
    bool inFragment = false;
};

inline bool IsDynamicName(const std::string& name)
{
    return name.rfind("DYN_", 0) == 0;
}

// Declared size as the renderer computes it: a storage block counts one record of its array.
inline size_t DeclaredSize(const spirv_cross::Compiler& compiler, const spirv_cross::Resource& block, BlockKind kind)
{
    const spirv_cross::SPIRType& type = compiler.get_type(block.base_type_id);
    return kind == BlockKind::Storage ? compiler.get_declared_struct_size_runtime_array(type, 1)
                                      : compiler.get_declared_struct_size(type);
}

struct ProgramReflection {
    std::string program;
    CompiledStage vertex;
    CompiledStage fragment;

    explicit ProgramReflection(const std::string& name) : program(name), vertex(name + "vert"), fragment(name + "frag")
    {}

    const CompiledStage& Of(Stage stage) const { return stage == Stage::Vertex ? vertex : fragment; }

    // Every uniform and storage block of both stages, a block seen in both counted once.
    std::vector<ProgramBlock> Blocks() const
    {
        std::vector<ProgramBlock> blocks;
        for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
            const CompiledStage& s = Of(stage);
            auto add = [&](const spirv_cross::Resource& r, bool storage) {
                ProgramBlock block;
                block.name = s.compiler->get_name(r.base_type_id);
                block.set = s.compiler->get_decoration(r.id, spv::DecorationDescriptorSet);
                block.binding = s.compiler->get_decoration(r.id, spv::DecorationBinding);
                block.kind = storage ? BlockKind::Storage
                                     : (IsDynamicName(block.name) ? BlockKind::Dynamic : BlockKind::Uniform);
                block.size = DeclaredSize(*s.compiler, r, block.kind);
                for (ProgramBlock& seen : blocks) {
                    if (seen.name == block.name && seen.binding == block.binding && seen.kind == block.kind &&
                        seen.size == block.size) {
                        (stage == Stage::Vertex ? seen.inVertex : seen.inFragment) = true;
                        return;
                    }
                }
                (stage == Stage::Vertex ? block.inVertex : block.inFragment) = true;
                blocks.push_back(block);
            };
            for (const spirv_cross::Resource& r : s.resources.uniform_buffers)
                add(r, false);
            for (const spirv_cross::Resource& r : s.resources.storage_buffers)
                add(r, true);
        }
        return blocks;
    }
};

// The shader contract of one program.
struct ExpectedBlock {
    std::string name;
    uint32_t binding;
    BlockKind kind;
    size_t size;
};

struct ProgramContract {
    std::string name;
    std::vector<ExpectedBlock> blocks;
    uint32_t pushConstantSize; // 0: no push constants
    bool pushInVertex;         // the pipeline layout's push-constant range covers the vertex stage
    TextureKind texture;
    std::string dynamicBlock; // what the renderer's stage scan must find; empty: none
    std::string storageBlock;
};

// Test names and failure messages show the program, not the record's bytes.
inline void PrintTo(const ProgramContract& contract, std::ostream* out)
{
    *out << contract.name;
}

// The six programs the scene creates, with the blocks the renderer writes by name.
inline std::vector<ProgramContract> ShaderContracts()
{
    const ExpectedBlock camera{"CameraBuffer", 0, BlockKind::Uniform, sizeof(CameraRecord)};
    const ExpectedBlock pointLights{"PointLightsBuffer", 3, BlockKind::Uniform, sizeof(PointLight) * MaxPointLights};
    const ExpectedBlock spotLight{"SpotLightsBuffer", 4, BlockKind::Uniform, sizeof(SpotLight)};
    const ExpectedBlock moonLight{"DirectionalLightsBuffer", 5, BlockKind::Uniform, sizeof(DirectionalLight)};
    const uint32_t materialPush = sizeof(PushConstantRecord);
    return {
        {"SkyBoxShader", {camera}, 0, false, TextureKind::Cube, "", ""},
        {"BaseShader",
         {camera, {"DYN_BaseShader", 2, BlockKind::Dynamic, sizeof(BaseRecord)}},
         materialPush,
         false,
         TextureKind::Array2D,
         "DYN_BaseShader",
         ""},
        {"PBRShader",
         {camera, {"DYN_PBRShader", 2, BlockKind::Dynamic, sizeof(PbrRecord)}, pointLights, spotLight, moonLight},
         materialPush,
         false,
         TextureKind::Array2D,
         "DYN_PBRShader",
         ""},
        {"AnimPBRShader",
         {camera,
          {"DYN_AnimPBRShader", 2, BlockKind::Dynamic, sizeof(AnimRecord)},
          {"SSBO_AnimPBRShader", 6, BlockKind::Storage, sizeof(AnimStorageRecord)},
          pointLights,
          spotLight,
          moonLight},
         materialPush,
         false,
         TextureKind::Array2D,
         "DYN_AnimPBRShader",
         "SSBO_AnimPBRShader"},
        {"CollisionShader", {camera}, sizeof(CollisionPushRecord), true, TextureKind::None, "", ""},
        {"BillBoardPBRShader",
         {camera,
          {"DYN_BillBoardPBRShader", 2, BlockKind::Dynamic, sizeof(PbrRecord)},
          pointLights,
          spotLight,
          moonLight},
         materialPush,
         false,
         TextureKind::Array2D,
         "DYN_BillBoardPBRShader",
         ""},
    };
}

} // namespace shader_content

// The compiled shaders in the pack against the renderer's contract: every stage is Vulkan 1.0
// SPIR-V, and each program declares exactly the blocks, push constants, texture binding and
// vertex inputs that the renderer builds its layouts for and writes its records into.
#include "ShaderContentReflection.h"

#include "assets/VertexLayout.h"
#include "renderer/shader/ShaderReflection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>

using namespace shader_content;

namespace {

std::string Describe(const std::string& name, uint32_t binding, BlockKind kind, size_t size)
{
    static const char* const kinds[] = {"uniform", "dynamic uniform", "storage"};
    std::ostringstream out;
    out << name << " (binding " << binding << ", " << kinds[static_cast<int>(kind)] << ", " << size << " bytes)";
    return out.str();
}

// Both stages as the engine reflects them when it builds a shader component.
struct EngineView {
    StageReflection vertex;
    StageReflection fragment;
};

EngineView ReflectProgram(const std::string& program)
{
    return {ReflectStage(LoadAsset((program + "vert").c_str())), ReflectStage(LoadAsset((program + "frag").c_str()))};
}

std::vector<std::string> StageAssetNames()
{
    std::vector<std::string> names;
    for (const ProgramContract& contract : ShaderContracts()) {
        names.push_back(contract.name + "vert");
        names.push_back(contract.name + "frag");
    }
    return names;
}

// What a shader sees of a vertex attribute format: its numeric type and component count.
struct FormatShape {
    spirv_cross::SPIRType::BaseType base = spirv_cross::SPIRType::Unknown;
    uint32_t components = 0;
};

FormatShape ShapeOf(VkFormat format)
{
    switch (format) {
    case VK_FORMAT_R32_SFLOAT:
        return {spirv_cross::SPIRType::Float, 1};
    case VK_FORMAT_R32G32_SFLOAT:
        return {spirv_cross::SPIRType::Float, 2};
    case VK_FORMAT_R32G32B32_SFLOAT:
        return {spirv_cross::SPIRType::Float, 3};
    case VK_FORMAT_R32G32B32A32_SFLOAT:
        return {spirv_cross::SPIRType::Float, 4};
    case VK_FORMAT_R32G32B32A32_SINT:
        return {spirv_cross::SPIRType::Int, 4};
    default:
        return {}; // a format the shaders have no input type for
    }
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The other stage scan the renderer may implement: one that ends as soon as the fragment stage
// repeats a name the vertex stage declared, so that later blocks go unexamined. The shipped
// shaders must give the same answer under it as under the engine's scan.
PerActorBlocks ScanEndingOnRepeat(const EngineView& p)
{
    PerActorBlocks found;
    bool ended = false;
    auto visit = [&](const std::string& name, bool vertexStage, bool& has, std::string& slot) {
        if (ended)
            return;
        if (!has) {
            has = true;
            slot = name;
        } else if (vertexStage || slot != name) {
            throw std::runtime_error("second per-actor block " + name);
        } else {
            ended = true;
        }
    };
    for (const ReflectedBlock& b : p.vertex.uniformBlocks)
        if (IsDynamicBlockName(b.name))
            visit(b.name, true, found.hasDynamicBlock, found.dynamicBlockName);
    for (const ReflectedBlock& b : p.fragment.uniformBlocks)
        if (IsDynamicBlockName(b.name))
            visit(b.name, false, found.hasDynamicBlock, found.dynamicBlockName);
    for (const ReflectedBlock& b : p.vertex.storageBlocks)
        visit(b.name, true, found.hasStorageBlock, found.storageBlockName);
    for (const ReflectedBlock& b : p.fragment.storageBlocks)
        visit(b.name, false, found.hasStorageBlock, found.storageBlockName);
    return found;
}

} // namespace

class ShaderStageAsset : public ::testing::TestWithParam<std::string> {};

TEST_P(ShaderStageAsset, IsVulkan10SpirvWithOneMainEntryPoint)
{
    const std::string asset = GetParam();
    std::vector<char> bytes;
    ASSERT_NO_THROW(bytes = LoadAsset(asset.c_str())) << asset << " is missing from the pack";
    ASSERT_GE(bytes.size(), 20u) << "shorter than a SPIR-V header";
    ASSERT_EQ(bytes.size() % sizeof(uint32_t), 0u);

    std::optional<CompiledStage> stage;
    ASSERT_NO_THROW(stage.emplace(asset)) << "SPIRV-Cross cannot parse " << asset;
    EXPECT_EQ(stage->words[0], SpirvMagic);
    EXPECT_EQ(stage->words[1], Spirv10);

    const auto entries = stage->compiler->get_entry_points_and_stages();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "main");
    EXPECT_EQ(entries[0].execution_model,
              EndsWith(asset, "vert") ? spv::ExecutionModelVertex : spv::ExecutionModelFragment);

    for (const spirv_cross::Resource& textures : stage->resources.sampled_images)
        EXPECT_EQ(stage->compiler->get_decoration(textures.id, spv::DecorationDescriptorSet), 0u)
            << "the renderer builds one set";
}

INSTANTIATE_TEST_SUITE_P(Pack, ShaderStageAsset, ::testing::ValuesIn(StageAssetNames()),
                         [](const ::testing::TestParamInfo<std::string>& test) { return test.param; });

class ShaderProgramContent : public ::testing::TestWithParam<ProgramContract> {
protected:
    void SetUp() override { ASSERT_NO_THROW(program.emplace(GetParam().name)); }
    std::optional<ProgramReflection> program;
};

TEST_P(ShaderProgramContent, DeclaresExactlyTheContractBlocks)
{
    std::vector<std::string> expected;
    for (const ExpectedBlock& b : GetParam().blocks)
        expected.push_back(Describe(b.name, b.binding, b.kind, b.size));
    // As the engine reflects them: a block both stages declare counts once.
    EngineView engine = ReflectProgram(GetParam().name);
    std::vector<std::string> actual;
    auto add = [&](const ReflectedBlock& b, bool storage) {
        BlockKind kind = storage                      ? BlockKind::Storage
                         : IsDynamicBlockName(b.name) ? BlockKind::Dynamic
                                                      : BlockKind::Uniform;
        std::string described = Describe(b.name, b.binding, kind, b.declaredSize);
        if (std::find(actual.begin(), actual.end(), described) == actual.end())
            actual.push_back(described);
    };
    for (const StageReflection* stage : {&engine.vertex, &engine.fragment}) {
        for (const ReflectedBlock& b : stage->uniformBlocks)
            add(b, false);
        for (const ReflectedBlock& b : stage->storageBlocks)
            add(b, true);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);

    // Every block in set 0, and SPIRV-Cross's resource name (which a renderer may key on) is
    // the block name too.
    for (const ProgramBlock& b : program->Blocks()) {
        EXPECT_EQ(b.set, 0u) << b.name << ": the renderer builds one set";
        for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
            const CompiledStage& s = program->Of(stage);
            for (const auto* list : {&s.resources.uniform_buffers, &s.resources.storage_buffers})
                for (const spirv_cross::Resource& r : *list)
                    if (s.compiler->get_name(r.base_type_id) == b.name) {
                        EXPECT_EQ(r.name, b.name);
                    }
        }
    }
}

TEST_P(ShaderProgramContent, StageScanFindsItsPerActorBlocksEitherWay)
{
    const ProgramContract& c = GetParam();
    EngineView engine = ReflectProgram(c.name);
    PerActorBlocks scans[2];
    ASSERT_NO_THROW(scans[0] = ScanPerActorBlocks(engine.vertex, engine.fragment));
    ASSERT_NO_THROW(scans[1] = ScanEndingOnRepeat(engine));
    for (const PerActorBlocks& scan : scans) {
        EXPECT_EQ(scan.hasDynamicBlock, !c.dynamicBlock.empty());
        EXPECT_EQ(scan.dynamicBlockName, c.dynamicBlock);
        EXPECT_EQ(scan.hasStorageBlock, !c.storageBlock.empty()) << "the animated draw needs the storage block";
        EXPECT_EQ(scan.storageBlockName, c.storageBlock);
    }
}

TEST_P(ShaderProgramContent, PushConstantsFitThePipelineRange)
{
    // The pipeline layout's range covers the fragment stage (and the vertex stage for the
    // wireframe), so a stage outside it must not declare push constants at all.
    const ProgramContract& c = GetParam();
    EngineView engine = ReflectProgram(c.name);
    EXPECT_EQ(engine.fragment.pushConstantSize, c.pushConstantSize);
    EXPECT_EQ(engine.vertex.pushConstantSize, c.pushInVertex ? c.pushConstantSize : 0u);
}

TEST_P(ShaderProgramContent, TextureBindingMatchesTheDescriptorEntry)
{
    const ProgramContract& c = GetParam();
    for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
        const CompiledStage& s = program->Of(stage);
        const spirv_cross::ShaderResources& r = s.resources;
        // Reflection turns only blocks into descriptors; anything else would go unbound.
        EXPECT_TRUE(r.separate_images.empty());
        EXPECT_TRUE(r.separate_samplers.empty());
        EXPECT_TRUE(r.storage_images.empty());
        EXPECT_TRUE(r.subpass_inputs.empty());
        if (stage == Stage::Vertex || c.texture == TextureKind::None) {
            EXPECT_TRUE(r.sampled_images.empty()) << "the texture entry is fragment-only and optional";
            continue;
        }
        ASSERT_EQ(r.sampled_images.size(), 1u);
        const spirv_cross::Resource& textures = r.sampled_images[0];
        EXPECT_EQ(s.compiler->get_decoration(textures.id, spv::DecorationBinding), 1u);
        const spirv_cross::SPIRType& type = s.compiler->get_type(textures.type_id);
        EXPECT_EQ(type.basetype, spirv_cross::SPIRType::SampledImage);
        EXPECT_FALSE(type.image.arrayed);
        if (c.texture == TextureKind::Cube) {
            EXPECT_EQ(type.image.dim, spv::DimCube);
            EXPECT_TRUE(type.array.empty()) << "the sky binds one cube map";
        } else {
            EXPECT_EQ(type.image.dim, spv::Dim2D);
            ASSERT_EQ(type.array.size(), 1u);
            EXPECT_EQ(type.array[0], 0u) << "the registry's size is only known at run time";
            EXPECT_TRUE(type.array_size_literal[0]);
        }
    }
}

TEST_P(ShaderProgramContent, VertexInputsMatchTheEnginesVertexLayout)
{
    // Every input the vertex stage reads is fed by an attribute of the layout all pipelines are
    // built with, of the same numeric type and width.
    const std::vector<VkVertexInputAttributeDescription> layout = VertexAttributeDescriptions();
    const CompiledStage& v = program->vertex;
    bool hasPosition = false;
    for (const spirv_cross::Resource& input : v.resources.stage_inputs) {
        uint32_t location = v.compiler->get_decoration(input.id, spv::DecorationLocation);
        auto fed = std::find_if(layout.begin(), layout.end(),
                                [&](const VkVertexInputAttributeDescription& a) { return a.location == location; });
        ASSERT_NE(fed, layout.end()) << input.name << " at location " << location << " is fed by no attribute";
        const FormatShape shape = ShapeOf(fed->format);
        const spirv_cross::SPIRType& type = v.compiler->get_type(input.type_id);
        EXPECT_EQ(type.basetype, shape.base) << input.name << " at location " << location;
        EXPECT_EQ(type.vecsize, shape.components) << input.name << " at location " << location;
        EXPECT_EQ(type.columns, 1u);
        hasPosition = hasPosition || location == 0;
    }
    EXPECT_TRUE(hasPosition);
}

TEST_P(ShaderProgramContent, FragmentInputsAreWrittenByTheVertexStage)
{
    const CompiledStage& v = program->vertex;
    const CompiledStage& f = program->fragment;
    for (const spirv_cross::Resource& input : f.resources.stage_inputs) {
        uint32_t location = f.compiler->get_decoration(input.id, spv::DecorationLocation);
        const spirv_cross::SPIRType& wanted = f.compiler->get_type(input.type_id);
        auto written =
            std::find_if(v.resources.stage_outputs.begin(), v.resources.stage_outputs.end(),
                         [&](const spirv_cross::Resource& output) {
                             return v.compiler->get_decoration(output.id, spv::DecorationLocation) == location;
                         });
        ASSERT_NE(written, v.resources.stage_outputs.end()) << input.name << " at location " << location;
        const spirv_cross::SPIRType& given = v.compiler->get_type(written->type_id);
        EXPECT_EQ(given.basetype, wanted.basetype) << input.name;
        EXPECT_EQ(given.vecsize, wanted.vecsize) << input.name;
        EXPECT_EQ(given.columns, wanted.columns) << input.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Pack, ShaderProgramContent, ::testing::ValuesIn(ShaderContracts()),
                         [](const ::testing::TestParamInfo<ProgramContract>& test) { return test.param.name; });

TEST(AnimPBRShaderContent, SkinsFromBoneIdsAndWeightsWithTheStorageRecordInTheVertexStage)
{
    ProgramReflection p("AnimPBRShader");
    bool boneIds = false;
    bool weights = false;
    for (const spirv_cross::Resource& input : p.vertex.resources.stage_inputs) {
        uint32_t location = p.vertex.compiler->get_decoration(input.id, spv::DecorationLocation);
        boneIds = boneIds || location == 3;
        weights = weights || location == 4;
    }
    EXPECT_TRUE(boneIds && weights) << "a skinning stage reads both bone ids and weights";
    ASSERT_EQ(p.vertex.resources.storage_buffers.size(), 1u) << "bones are read per vertex";
    EXPECT_TRUE(p.fragment.resources.storage_buffers.empty());
    const spirv_cross::Resource& records = p.vertex.resources.storage_buffers[0];
    // A read-only storage block needs no vertexPipelineStoresAndAtomics feature.
    EXPECT_TRUE(p.vertex.compiler->get_buffer_block_flags(records.id).get(spv::DecorationNonWritable));
}

// Member layouts of the compiled shaders' blocks against the C++ records the renderer copies
// into them byte for byte: a size match alone would miss two swapped members.
#include "ShaderContentReflection.h"

#include <gtest/gtest.h>

#include <cstddef>

using namespace shader_content;

namespace {

struct Member {
    std::string name;
    size_t offset;
};

bool operator==(const Member& a, const Member& b)
{
    return a.name == b.name && a.offset == b.offset;
}

void PrintTo(const Member& m, std::ostream* out)
{
    *out << m.name << "@" << m.offset;
}

// The struct behind a type that may be an array of it.
const spirv_cross::SPIRType& StructOf(const spirv_cross::Compiler& compiler, uint32_t typeId)
{
    return compiler.get_type(compiler.get_type(typeId).self);
}

std::vector<Member> MembersOf(const spirv_cross::Compiler& compiler, const spirv_cross::SPIRType& type)
{
    std::vector<Member> members;
    for (uint32_t i = 0; i < type.member_types.size(); ++i)
        members.push_back({compiler.get_member_name(type.self, i), compiler.type_struct_member_offset(type, i)});
    return members;
}

struct FoundBlock {
    const spirv_cross::Compiler* compiler = nullptr;
    const spirv_cross::SPIRType* type = nullptr;
};

// The block of that name in whichever stage declares it (the first that does).
FoundBlock FindBlock(const ProgramReflection& p, const std::string& name)
{
    for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
        const CompiledStage& s = p.Of(stage);
        for (const auto* list :
             {&s.resources.uniform_buffers, &s.resources.storage_buffers, &s.resources.push_constant_buffers})
            for (const spirv_cross::Resource& r : *list)
                if (s.compiler->get_name(r.base_type_id) == name)
                    return {s.compiler.get(), &s.compiler->get_type(r.base_type_id)};
    }
    return {};
}

const std::vector<Member> PointLightMembers = {
    {"position", offsetof(PointLight, position)},   {"colour", offsetof(PointLight, colour)},
    {"ambient", offsetof(PointLight, ambient)},     {"specular", offsetof(PointLight, specular)},
    {"constant", offsetof(PointLight, constant)},   {"linear", offsetof(PointLight, linear)},
    {"quadratic", offsetof(PointLight, quadratic)}, {"padding", offsetof(PointLight, padding)}};

const std::vector<Member> SpotLightMembers = {{"position", offsetof(SpotLight, position)},
                                              {"direction", offsetof(SpotLight, direction)},
                                              {"colour", offsetof(SpotLight, colour)},
                                              {"ambient", offsetof(SpotLight, ambient)},
                                              {"specular", offsetof(SpotLight, specular)},
                                              {"constant", offsetof(SpotLight, constant)},
                                              {"linear", offsetof(SpotLight, linear)},
                                              {"quadratic", offsetof(SpotLight, quadratic)},
                                              {"cutOff", offsetof(SpotLight, cutOff)},
                                              {"outerCutOff", offsetof(SpotLight, outerCutOff)},
                                              {"padding0", offsetof(SpotLight, padding)},
                                              {"padding1", offsetof(SpotLight, padding) + sizeof(float)},
                                              {"padding2", offsetof(SpotLight, padding) + 2 * sizeof(float)}};

const std::vector<Member> DirectionalLightMembers = {{"direction", offsetof(DirectionalLight, direction)},
                                                     {"colour", offsetof(DirectionalLight, colour)},
                                                     {"ambient", offsetof(DirectionalLight, ambient)},
                                                     {"specular", offsetof(DirectionalLight, specular)}};

const std::vector<Member> PbrMembers = {{"model", offsetof(PbrRecord, model)},
                                        {"normalMatrix", offsetof(PbrRecord, normalMatrix)},
                                        {"colourAndMetallic", offsetof(PbrRecord, colourAndMetallic)},
                                        {"values", offsetof(PbrRecord, values)}};

// Checks the block's one member: an array of `count` structs laid out like the C++ record.
void ExpectArrayOfRecords(const FoundBlock& block, uint32_t count, size_t stride, const std::vector<Member>& members)
{
    ASSERT_NE(block.type, nullptr);
    ASSERT_EQ(block.type->member_types.size(), 1u);
    const spirv_cross::SPIRType& array = block.compiler->get_type(block.type->member_types[0]);
    ASSERT_EQ(array.array.size(), 1u);
    EXPECT_EQ(array.array[0], count);
    EXPECT_EQ(block.compiler->type_struct_member_array_stride(*block.type, 0), stride);
    EXPECT_EQ(MembersOf(*block.compiler, StructOf(*block.compiler, block.type->member_types[0])), members);
}

// Every matrix, however deep, must be column-major with 16-byte columns like glm::mat4.
void ExpectGlmMatrices(const spirv_cross::Compiler& compiler, const spirv_cross::SPIRType& type,
                       const std::string& path)
{
    for (uint32_t i = 0; i < type.member_types.size(); ++i) {
        const spirv_cross::SPIRType& member = compiler.get_type(type.member_types[i]);
        std::string where = path + "." + compiler.get_member_name(type.self, i);
        if (member.basetype == spirv_cross::SPIRType::Struct) {
            ExpectGlmMatrices(compiler, StructOf(compiler, type.member_types[i]), where);
        } else if (member.columns > 1) {
            EXPECT_FALSE(compiler.has_member_decoration(type.self, i, spv::DecorationRowMajor)) << where;
            EXPECT_EQ(compiler.type_struct_member_matrix_stride(type, i), 16u) << where;
        }
    }
}

} // namespace

TEST(ShaderRecordLayout, LightBlocksMatchTheCppLightRecords)
{
    for (const char* program : {"PBRShader", "AnimPBRShader", "BillBoardPBRShader"}) {
        SCOPED_TRACE(program);
        ProgramReflection p(program);
        ExpectArrayOfRecords(FindBlock(p, "PointLightsBuffer"), MaxPointLights, sizeof(PointLight), PointLightMembers);
        ExpectArrayOfRecords(FindBlock(p, "DirectionalLightsBuffer"), 1, sizeof(DirectionalLight),
                             DirectionalLightMembers);
        FoundBlock spot = FindBlock(p, "SpotLightsBuffer");
        ASSERT_NE(spot.type, nullptr);
        ASSERT_EQ(spot.type->member_types.size(), 1u);
        EXPECT_EQ(spot.compiler->type_struct_member_offset(*spot.type, 0), 0u);
        EXPECT_EQ(MembersOf(*spot.compiler, StructOf(*spot.compiler, spot.type->member_types[0])), SpotLightMembers);
    }
}

TEST(ShaderRecordLayout, PerActorBlocksMatchTheRendererRecords)
{
    for (const char* program : {"PBRShader", "BillBoardPBRShader"}) {
        ProgramReflection p(program);
        FoundBlock block = FindBlock(p, std::string("DYN_") + program);
        ASSERT_NE(block.type, nullptr) << program;
        EXPECT_EQ(MembersOf(*block.compiler, *block.type), PbrMembers) << program;
    }

    ProgramReflection base("BaseShader");
    FoundBlock baseBlock = FindBlock(base, "DYN_BaseShader");
    ASSERT_NE(baseBlock.type, nullptr);
    EXPECT_EQ(MembersOf(*baseBlock.compiler, *baseBlock.type),
              (std::vector<Member>{{"model", offsetof(BaseRecord, model)},
                                   {"normalMatrix", offsetof(BaseRecord, normalMatrix)}}));

    ProgramReflection anim("AnimPBRShader");
    FoundBlock animBlock = FindBlock(anim, "DYN_AnimPBRShader");
    ASSERT_NE(animBlock.type, nullptr);
    EXPECT_EQ(MembersOf(*animBlock.compiler, *animBlock.type),
              (std::vector<Member>{{"colourAndMetallic", offsetof(AnimRecord, colourAndMetallic)},
                                   {"values", offsetof(AnimRecord, values)}}));
}

TEST(ShaderRecordLayout, StorageRecordsAreBackToBackBoneRecords)
{
    ProgramReflection anim("AnimPBRShader");
    FoundBlock storage = FindBlock(anim, "SSBO_AnimPBRShader");
    ASSERT_NE(storage.type, nullptr);
    const spirv_cross::Compiler& c = *storage.compiler;
    ASSERT_EQ(storage.type->member_types.size(), 1u);
    // Records follow each other at the C++ size, so the draw's first instance picks the actor's.
    EXPECT_EQ(c.type_struct_member_array_stride(*storage.type, 0), sizeof(AnimStorageRecord));
    EXPECT_EQ(c.get_declared_struct_size_runtime_array(*storage.type, 3) -
                  c.get_declared_struct_size_runtime_array(*storage.type, 2),
              sizeof(AnimStorageRecord));

    const spirv_cross::SPIRType& record = StructOf(c, storage.type->member_types[0]);
    EXPECT_EQ(MembersOf(c, record), (std::vector<Member>{{"model", offsetof(AnimStorageRecord, model)},
                                                         {"normalMatrix", offsetof(AnimStorageRecord, normalMatrix)},
                                                         {"bones", offsetof(AnimStorageRecord, bones)}}));
    const spirv_cross::SPIRType& bones = c.get_type(record.member_types[2]);
    ASSERT_EQ(bones.array.size(), 1u);
    EXPECT_EQ(bones.array[0], static_cast<uint32_t>(MaxBones));
    EXPECT_EQ(c.type_struct_member_array_stride(record, 2), sizeof(glm::mat4));
}

TEST(ShaderRecordLayout, CameraBlockMatchesTheCameraRecordInEveryProgram)
{
    for (const ProgramContract& contract : ShaderContracts()) {
        ProgramReflection p(contract.name);
        FoundBlock camera = FindBlock(p, "CameraBuffer");
        ASSERT_NE(camera.type, nullptr) << contract.name;
        EXPECT_EQ(MembersOf(*camera.compiler, *camera.type),
                  (std::vector<Member>{{"view", offsetof(CameraRecord, view)},
                                       {"projection", offsetof(CameraRecord, projection)},
                                       {"mipBias", offsetof(CameraRecord, mipBias)},
                                       {"pad0", offsetof(CameraRecord, pad)},
                                       {"pad1", offsetof(CameraRecord, pad) + sizeof(float)},
                                       {"pad2", offsetof(CameraRecord, pad) + 2 * sizeof(float)}}))
            << contract.name;
    }
}

TEST(ShaderRecordLayout, PushConstantBlocksMatchThePushedRecords)
{
    for (const char* program : {"BaseShader", "PBRShader", "AnimPBRShader", "BillBoardPBRShader"}) {
        ProgramReflection p(program);
        FoundBlock push = FindBlock(p, "PushConstants");
        ASSERT_NE(push.type, nullptr) << program;
        EXPECT_EQ(
            MembersOf(*push.compiler, *push.type),
            (std::vector<Member>{
                {"colour", offsetof(PushConstantRecord, colour)},
                {"textureIndices", offsetof(PushConstantRecord, textureIndices)},
                {"pointLightCount", offsetof(PushConstantRecord, pointLights) + offsetof(PointLightList, count)},
                {"pointLightIndices", offsetof(PushConstantRecord, pointLights) + offsetof(PointLightList, indices)}}))
            << program;
        const spirv_cross::SPIRType& indices = push.compiler->get_type(push.type->member_types[1]);
        EXPECT_EQ(indices.basetype, spirv_cross::SPIRType::Int) << program << ": -1 marks an empty slot";
        ASSERT_EQ(indices.array.size(), 1u);
        EXPECT_EQ(indices.array[0], static_cast<uint32_t>(MaxMaterialTextures)) << program;
        EXPECT_EQ(push.compiler->type_struct_member_array_stride(*push.type, 1), sizeof(int32_t)) << program;
        const spirv_cross::SPIRType& lights = push.compiler->get_type(push.type->member_types[3]);
        ASSERT_EQ(lights.array.size(), 1u);
        EXPECT_EQ(lights.array[0], static_cast<uint32_t>(PointLightIndexWords)) << program;
        EXPECT_EQ(push.compiler->type_struct_member_array_stride(*push.type, 3), sizeof(uint32_t)) << program;
    }

    ProgramReflection collision("CollisionShader");
    for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
        const CompiledStage& s = collision.Of(stage);
        for (const spirv_cross::Resource& r : s.resources.push_constant_buffers) {
            const spirv_cross::SPIRType& type = s.compiler->get_type(r.base_type_id);
            std::vector<Member> members = MembersOf(*s.compiler, type);
            ASSERT_GE(members.size(), 2u);
            EXPECT_EQ(members[0], (Member{"model", offsetof(CollisionPushRecord, model)}));
            EXPECT_EQ(members[1], (Member{"colour", offsetof(CollisionPushRecord, colour)}));
        }
    }
}

TEST(ShaderRecordLayout, MatricesAreColumnMajorWithSixteenByteColumns)
{
    for (const ProgramContract& contract : ShaderContracts()) {
        ProgramReflection p(contract.name);
        for (Stage stage : {Stage::Vertex, Stage::Fragment}) {
            const CompiledStage& s = p.Of(stage);
            for (const auto* list :
                 {&s.resources.uniform_buffers, &s.resources.storage_buffers, &s.resources.push_constant_buffers})
                for (const spirv_cross::Resource& r : *list)
                    ExpectGlmMatrices(*s.compiler, s.compiler->get_type(r.base_type_id),
                                      contract.name + ":" + s.compiler->get_name(r.base_type_id));
        }
    }
}

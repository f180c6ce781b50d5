#include "assets/Texture.h"
#include "renderer/UniformLayout.h"
#include "renderer/shader/BindingReflection.h"
#include "renderer/shader/DescriptorBuilder.h"
#include "renderer/shader/PipelineBuilder.h"
#include "support/MessageOf.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

ReflectedBlock Block(const std::string& name, uint32_t binding, uint32_t size)
{
    return {name, binding, size};
}

ShaderBinding TextureEntry(const std::string& name, uint32_t count, const std::vector<std::string>* list)
{
    ShaderBinding entry;
    entry.name = name;
    entry.binding = 1;
    entry.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    entry.descriptorCount = count;
    entry.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
    entry.textures = list;
    return entry;
}

} // namespace

TEST(RendererUniformLayout, StridesOffsetsAndSizes)
{
    EXPECT_EQ(AlignStride(160, 256), 256u);
    EXPECT_EQ(AlignStride(256, 256), 256u);
    EXPECT_EQ(AlignStride(32, 64), 64u);
    EXPECT_EQ(AlignStride(128, 0), 128u);                     // no alignment: the record size itself
    EXPECT_EQ(DynamicOffset(2, AlignStride(160, 256)), 512u); // the third PBR actor
    EXPECT_EQ(PerObjectBufferSize(3, 256), 768u);
    EXPECT_EQ(PerObjectBufferSize(0, 256), 256u); // unused shader: one record, never zero
    EXPECT_TRUE(RecordFits(2, 256, 768));
    EXPECT_FALSE(RecordFits(3, 256, 768));
}

TEST(RendererBindingReflection, DynamicBlockInBothStagesIsOneEntryAndOneBuffer)
{
    StageReflection vertex, fragment;
    vertex.uniformBlocks = {Block("CameraBuffer", 0, 144), Block("DYN_PBRShader", 2, 160)};
    fragment.uniformBlocks = {Block("DYN_PBRShader", 2, 160), Block("DirectionalLightsBuffer", 5, 64)};
    const ReflectedBindings r = ReflectBindings(vertex, fragment, {{"DYN_PBRShader", 3}}, {}, 256);

    ASSERT_EQ(r.bindings.size(), 3u);
    EXPECT_EQ(r.bindings[1].name, "DYN_PBRShader");
    EXPECT_EQ(r.bindings[1].descriptorType, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER_DYNAMIC);
    EXPECT_EQ(r.bindings[1].stageFlags, VkShaderStageFlags(VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT));
    EXPECT_EQ(r.bindings[2].stageFlags, VkShaderStageFlags(VK_SHADER_STAGE_FRAGMENT_BIT));
    EXPECT_EQ(r.bindings[0].descriptorType, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER);

    ASSERT_EQ(r.buffers.size(), 3u);
    EXPECT_EQ(r.buffers[0].name, "CameraBuffer");
    EXPECT_EQ(r.buffers[0].size, 144u); // the camera record with the mip bias
    EXPECT_EQ(r.buffers[0].stride, 0u);
    EXPECT_EQ(r.buffers[1].size, 768u); // 3 actors x 160 aligned to 256
    EXPECT_EQ(r.buffers[1].stride, 256u);
    EXPECT_FALSE(r.buffers[1].storage);
}

TEST(RendererBindingReflection, StorageBlockAndUnusedBlocksGetOneRecord)
{
    StageReflection vertex, fragment;
    vertex.storageBlocks = {Block("SSBO_AnimPBRShader", 6, 6528)};
    fragment.uniformBlocks = {Block("DYN_AnimPBRShader", 2, 32)};
    const ReflectedBindings used =
        ReflectBindings(vertex, fragment, {{"DYN_AnimPBRShader", 4}}, {{"SSBO_AnimPBRShader", 4}}, 64);
    ASSERT_EQ(used.buffers.size(), 2u);
    EXPECT_TRUE(used.buffers[0].storage);
    EXPECT_EQ(used.buffers[0].size, 4u * 6528u);
    EXPECT_EQ(used.bindings[0].descriptorType, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER);
    EXPECT_EQ(used.buffers[1].size, 4u * 64u);

    const ReflectedBindings unused = ReflectBindings(vertex, fragment, {}, {}, 64);
    EXPECT_EQ(unused.buffers[0].size, 6528u);
    EXPECT_EQ(unused.buffers[1].size, 64u);
}

TEST(RendererBindingReflection, BlockOfAnotherSizeThanTheRendererWritesFailsLoudly)
{
    StageReflection vertex, fragment;
    vertex.uniformBlocks = {Block("DYN_PBRShader", 2, 144)};
    EXPECT_EQ(MessageOf([&] { ReflectBindings(vertex, fragment, {}, {}, 256); }),
              "shader block DYN_PBRShader declares 144 bytes but the renderer writes 160");
    // A block the renderer does not write is taken as declared.
    vertex.uniformBlocks = {Block("SomethingElse", 7, 44)};
    EXPECT_EQ(ReflectBindings(vertex, fragment, {}, {}, 256).buffers[0].size, 44u);
}

TEST(RendererDescriptorPool, TextureArrayOfFiveDoublesToTenAndSetsFollowTheLargest)
{
    const std::vector<std::string> names = {"a", "b", "c", "d", "e"};
    std::vector<ShaderBinding> bindings(2);
    bindings[0].descriptorType = VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
    bindings[1] = TextureEntry("d", 5, &names);
    const DescriptorPoolPlan plan = PlanDescriptorPool(bindings);
    ASSERT_EQ(plan.sizes.size(), 2u);
    EXPECT_EQ(plan.sizes[1].type, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER);
    EXPECT_EQ(plan.sizes[1].descriptorCount, 10u);
    EXPECT_EQ(plan.maxSets, 10u);

    const DescriptorPoolPlan single = PlanDescriptorPool({bindings[0], TextureEntry("SkyBox", 1, nullptr)});
    EXPECT_EQ(single.maxSets, 2u);
}

TEST(RendererDescriptorTextures, SingleNameThenListThenTheSystemsMessage)
{
    NullRenderer renderer;
    TextureMap textures;
    textures["SkyBox"] = std::make_shared<Texture>(&renderer, "SkyBox", 2, VK_FORMAT_R8G8B8A8_SRGB);
    textures["Ground"] = std::make_shared<Texture>(&renderer, "Ground", 0, VK_FORMAT_R8G8B8A8_SRGB);
    textures["Moon"] = std::make_shared<Texture>(&renderer, "Moon", 1, VK_FORMAT_R8G8B8A8_SRGB);
    const std::vector<std::string> names = {"Ground", "Moon", "SkyBox"};

    const auto single = ResolveTextures(TextureEntry("SkyBox", 1, nullptr), textures);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0], textures["SkyBox"].get());

    const auto array = ResolveTextures(TextureEntry("d", 3, &names), textures);
    ASSERT_EQ(array.size(), 3u);
    for (size_t i = 0; i < array.size(); ++i)
        EXPECT_EQ(array[i]->textureIndex, i); // list position = texture index

    EXPECT_EQ(MessageOf([&] { ResolveTextures(TextureEntry("d", 3, nullptr), textures); }),
              "You have not provided a valid texture name, or a valid array of textures, yet you choose "
              "VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER");
}

TEST(RendererDescriptorTextures, ACubeMapInTheArrayContributesItsFaceView)
{
    NullRenderer renderer;
    Texture flat(&renderer, "Ground", 0, VK_FORMAT_R8G8B8A8_SRGB);
    Texture cube(&renderer, std::vector<std::string>(6, "face"), 1);
    flat.view = reinterpret_cast<VkImageView>(uintptr_t(0x10));
    cube.view = reinterpret_cast<VkImageView>(uintptr_t(0x20));
    cube.faceView = reinterpret_cast<VkImageView>(uintptr_t(0x30));
    EXPECT_EQ(ArrayElementView(flat), flat.view);
    EXPECT_EQ(ArrayElementView(cube), cube.faceView);
    cube.view = cube.faceView = VK_NULL_HANDLE; // the fake handles must not reach a destructor
    flat.view = VK_NULL_HANDLE;
}

TEST(RendererPipelineRecipe, ChosenByIdentityWithTheRegistrysShaders)
{
    const auto* sky = reinterpret_cast<const ShaderComponent*>(uintptr_t(0x100));
    const auto* billboard = reinterpret_cast<const ShaderComponent*>(uintptr_t(0x200));
    const auto* collision = reinterpret_cast<const ShaderComponent*>(uintptr_t(0x300));
    const auto* other = reinterpret_cast<const ShaderComponent*>(uintptr_t(0x400));
    EXPECT_EQ(ChooseRecipe(sky, sky, billboard, collision), PipelineRecipe::SkyBox);
    EXPECT_EQ(ChooseRecipe(billboard, sky, billboard, collision), PipelineRecipe::Billboard);
    EXPECT_EQ(ChooseRecipe(collision, sky, billboard, collision), PipelineRecipe::Wireframe);
    EXPECT_EQ(ChooseRecipe(other, sky, billboard, collision), PipelineRecipe::Default);
    EXPECT_EQ(ChooseRecipe(other, nullptr, nullptr, nullptr), PipelineRecipe::Default);
}

TEST(RendererPipelineRecipe, StatesAndMessagesOfTheRecipes)
{
    const RecipeState sky = DescribeRecipe(PipelineRecipe::SkyBox);
    EXPECT_EQ(sky.cullMode, VkCullModeFlags(VK_CULL_MODE_FRONT_BIT));
    EXPECT_TRUE(sky.depthTest);
    EXPECT_FALSE(sky.depthWrite);
    EXPECT_EQ(sky.depthCompare, VK_COMPARE_OP_LESS_OR_EQUAL);
    EXPECT_FALSE(sky.blend);
    EXPECT_STREQ(sky.pipelineFailure, "Failed to create graphics pipeline");

    const RecipeState billboard = DescribeRecipe(PipelineRecipe::Billboard);
    EXPECT_TRUE(billboard.blend);
    EXPECT_FALSE(billboard.depthWrite);
    EXPECT_EQ(billboard.cullMode, VkCullModeFlags(VK_CULL_MODE_BACK_BIT));

    // The wireframe is the default recipe drawn as lines, with its depth test and write.
    const RecipeState wire = DescribeRecipe(PipelineRecipe::Wireframe);
    const RecipeState solid = DescribeRecipe(PipelineRecipe::Default);
    EXPECT_EQ(wire.polygonMode, VK_POLYGON_MODE_LINE);
    EXPECT_EQ(solid.polygonMode, VK_POLYGON_MODE_FILL);
    for (const RecipeState& s : {wire, solid}) {
        EXPECT_TRUE(s.depthTest);
        EXPECT_TRUE(s.depthWrite);
        EXPECT_EQ(s.depthCompare, VK_COMPARE_OP_LESS);
        EXPECT_STREQ(s.layoutFailure, "Failed to create pipeline layout");
        EXPECT_STREQ(s.pipelineFailure, "failed to create graphics pipeline!");
    }
}

#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "assets/VertexLayout.h"
#include "game/SkyBox.h"
#include "renderer/AssetRegistry.h"
#include "support/MessageOf.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

ShaderBinding TextureArray(AssetRegistry& registry)
{
    ShaderBinding binding;
    binding.name = "d";
    binding.binding = 1;
    binding.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    binding.descriptorCount = registry.textureCount;
    binding.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
    binding.textures = &registry.textureNames;
    return binding;
}

class RegistryWithContent : public ::testing::Test {
protected:
    NullRenderer renderer;
    AssetRegistry registry{&renderer};
};

} // namespace

TEST(Registry, TextureIndicesFollowRegistrationOrder)
{
    NullRenderer renderer;
    AssetRegistry registry(&renderer);
    for (int i = 0; i < 14; ++i)
        registry.LoadTexture("Texture" + std::to_string(i), VK_FORMAT_R8G8B8A8_SRGB);
    EXPECT_EQ(registry.textureCount, 14);
    ASSERT_EQ(registry.textureNames.size(), 14u);
    EXPECT_EQ(registry.textureNames.front(), "Texture0");
    EXPECT_EQ(registry.GetTexture("Texture0")->textureIndex, 0);
    EXPECT_EQ(registry.GetTexture("Texture13")->textureIndex, 13);
    for (size_t i = 0; i < registry.textureNames.size(); ++i)
        EXPECT_EQ(registry.GetTexture(registry.textureNames[i])->textureIndex, i);
    EXPECT_EQ(registry.GetTexture("Texture5")->format, VK_FORMAT_R8G8B8A8_SRGB);
}

TEST(Registry, ReplacingATextureStillAdvancesTheCount)
{
    NullRenderer renderer;
    AssetRegistry registry(&renderer);
    registry.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB);
    registry.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_UNORM);
    EXPECT_EQ(registry.textureCount, 2);
    EXPECT_EQ(registry.textureNames, (std::vector<std::string>{"Ground", "Ground"}));
    EXPECT_EQ(registry.textures.size(), 1u);
    EXPECT_EQ(registry.GetTexture("Ground")->textureIndex, 1); // index 0 is no longer reachable by name
    EXPECT_EQ(registry.GetTexture("Ground")->format, VK_FORMAT_R8G8B8A8_UNORM);
}

TEST(Registry, LookupsOfUnknownNamesThrowTheSystemsMessages)
{
    NullRenderer renderer;
    AssetRegistry registry(&renderer);
    EXPECT_EQ(registry.GetShader("CollisionShader", true), nullptr);
    EXPECT_EQ(MessageOf([&] { registry.GetShader("CollisionShader"); }), "Cant find shaders");
    EXPECT_EQ(MessageOf([&] { registry.GetTexture("Moon"); }), "Cant find Texture");
    EXPECT_EQ(MessageOf([&] { registry.GetMesh("Cube"); }), "Cant find Mesh");
    EXPECT_EQ(MessageOf([&] { registry.GetAnimation("DrevikIdle"); }), "Cant find Animations");
}

TEST(Registry, SkyBoxTakesTheNextIndexAndItsFacesInLayerOrder)
{
    NullRenderer renderer;
    AssetRegistry registry(&renderer);
    for (int i = 0; i < 13; ++i)
        registry.LoadTexture("Texture" + std::to_string(i), VK_FORMAT_R8G8B8A8_SRGB);
    CreateSkyBox(registry);
    EXPECT_EQ(registry.GetTexture("SkyBox")->textureIndex, 13);
    EXPECT_EQ(registry.textureNames.at(13), "SkyBox");
    EXPECT_EQ(registry.textureCount, 14);
    EXPECT_EQ(SkyBoxFaceNames(),
              (std::vector<std::string>{"SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "SkyBoxnz"}));
}

TEST_F(RegistryWithContent, CreateShaderReadsBothStagesAndListsEachNameOnce)
{
    registry.CreateShader("PBRShader", TextureArray(registry), VertexBindingDescription(),
                          VertexAttributeDescriptions(), 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
    registry.CreateShader("BaseShader", TextureArray(registry), VertexBindingDescription(),
                          VertexAttributeDescriptions(), 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
    auto first = registry.GetShader("PBRShader");
    EXPECT_EQ(first->dynamicBlockName, "DYN_PBRShader");
    EXPECT_EQ(first->pushConstantSize, 48u);
    // Built over a renderer without Vulkan: nothing on the GPU.
    first->Build({{"DYN_PBRShader", 1}}, {});
    EXPECT_EQ(first->pipeline, VK_NULL_HANDLE);

    registry.CreateShader("PBRShader", TextureArray(registry), VertexBindingDescription(),
                          VertexAttributeDescriptions(), 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
    EXPECT_NE(registry.GetShader("PBRShader"), first);
    EXPECT_EQ(registry.shaderNames, (std::vector<std::string>{"PBRShader", "BaseShader"}));
    EXPECT_THROW(registry.CreateShader("NoSuchShader", TextureArray(registry), VertexBindingDescription(),
                                       VertexAttributeDescriptions(), 0, 0, PipelineKind::Default),
                 std::runtime_error);
}

TEST_F(RegistryWithContent, MeshesAndClearEmptiesEveryMap)
{
    registry.LoadMesh("Cube");
    registry.LoadMesh("Sphere");
    EXPECT_EQ(registry.GetMesh("Cube")->indices.size() % 3, 0u);
    EXPECT_GE(registry.GetMesh("Cube")->indices.size(), 36u);
    EXPECT_EQ(registry.GetMesh("Cube")->vertexBuffer, VK_NULL_HANDLE);
    registry.LoadTexture("GroundTexture", VK_FORMAT_R8G8B8A8_SRGB);
    auto held = registry.GetMesh("Sphere");
    registry.Clear();
    EXPECT_TRUE(registry.shaders.empty() && registry.textures.empty() && registry.meshes.empty() &&
                registry.animations.empty());
    EXPECT_EQ(held.use_count(), 1); // an actor's share outlives the registry's
}

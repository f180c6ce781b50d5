// Textures kept from one scene's registry to the next: taken again only for the very images they
// were made from, in the same format and at the same texture index; a renderer that keeps none
// gets a new texture every time.
#include "assets/TextureCache.h"
#include "assets/Texture.h"
#include "renderer/AssetRegistry.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class KeepingRenderer : public NullRenderer {
public:
    TextureCache kept;
    TextureCache* KeptTextures() override { return &kept; }
};

std::shared_ptr<const DecodedImage> Image()
{
    auto image = std::make_shared<DecodedImage>();
    image->width = image->height = 1;
    return image;
}

std::vector<std::shared_ptr<const DecodedImage>> Faces()
{
    std::vector<std::shared_ptr<const DecodedImage>> faces;
    for (int i = 0; i < 6; ++i)
        faces.push_back(Image());
    return faces;
}

} // namespace

TEST(TextureCache, ANewSceneTakesTheTextureMadeFromTheSameImageFormatAndIndex)
{
    KeepingRenderer renderer;
    const auto ground = Image();
    const auto moon = Image();
    std::shared_ptr<Texture> firstGround, firstMoon;
    {
        AssetRegistry first(&renderer);
        first.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, ground);
        first.LoadTexture("Moon", VK_FORMAT_R8G8B8A8_UNORM, moon);
        firstGround = first.GetTexture("Ground");
        firstMoon = first.GetTexture("Moon");
    }
    AssetRegistry second(&renderer);
    second.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, ground);
    second.LoadTexture("Moon", VK_FORMAT_R8G8B8A8_UNORM, moon);
    EXPECT_EQ(second.GetTexture("Ground"), firstGround);
    EXPECT_EQ(second.GetTexture("Moon"), firstMoon);
    EXPECT_EQ(second.GetTexture("Moon")->textureIndex, 1);
    EXPECT_EQ(renderer.kept.Size(), 2u);
}

TEST(TextureCache, AnotherImageFormatOrIndexMakesANewTextureAndKeepsThatOne)
{
    KeepingRenderer renderer;
    const auto ground = Image();
    std::shared_ptr<Texture> made;
    {
        AssetRegistry first(&renderer);
        first.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, ground);
        made = first.GetTexture("Ground");
    }
    {
        // The pack's bytes changed: the decoded-image cache hands out a new image, even one with
        // the same pixels.
        AssetRegistry changed(&renderer);
        const auto redecoded = Image();
        changed.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, redecoded);
        EXPECT_NE(changed.GetTexture("Ground"), made);
        made = changed.GetTexture("Ground");
        AssetRegistry again(&renderer);
        again.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, redecoded);
        EXPECT_EQ(again.GetTexture("Ground"), made) << "the texture of the newer image was not kept";
    }
    AssetRegistry otherFormat(&renderer);
    otherFormat.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_UNORM, ground);
    EXPECT_NE(otherFormat.GetTexture("Ground"), made);
    EXPECT_EQ(otherFormat.GetTexture("Ground")->format, VK_FORMAT_R8G8B8A8_UNORM);

    AssetRegistry otherIndex(&renderer);
    otherIndex.LoadTexture("Moon", VK_FORMAT_R8G8B8A8_SRGB, Image());
    otherIndex.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_UNORM, ground);
    EXPECT_NE(otherIndex.GetTexture("Ground"), otherFormat.GetTexture("Ground"));
    EXPECT_EQ(otherIndex.GetTexture("Ground")->textureIndex, 1);
}

TEST(TextureCache, ACubeMapIsKeptUntilOneOfItsFacesChanges)
{
    KeepingRenderer renderer;
    auto faces = Faces();
    std::shared_ptr<Texture> sky;
    {
        AssetRegistry first(&renderer);
        first.LoadCubeMap("SkyBox", faces);
        sky = first.GetTexture("SkyBox");
    }
    {
        AssetRegistry same(&renderer);
        same.LoadCubeMap("SkyBox", faces);
        EXPECT_EQ(same.GetTexture("SkyBox"), sky);
    }
    faces[3] = Image();
    AssetRegistry oneFaceChanged(&renderer);
    oneFaceChanged.LoadCubeMap("SkyBox", faces);
    EXPECT_NE(oneFaceChanged.GetTexture("SkyBox"), sky);
}

TEST(TextureCache, ARendererThatKeepsNothingGetsANewTextureEachTime)
{
    NullRenderer renderer;
    const auto ground = Image();
    AssetRegistry first(&renderer);
    first.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, ground);
    AssetRegistry second(&renderer);
    second.LoadTexture("Ground", VK_FORMAT_R8G8B8A8_SRGB, ground);
    EXPECT_NE(first.GetTexture("Ground"), second.GetTexture("Ground"));
}

#include "assets/Texture.h"
#include "scene/components/MaterialComponent.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Over a non-Vulkan renderer a texture keeps its index and loads nothing.
std::shared_ptr<Texture> MakeTexture(uint16_t index)
{
    static NullRenderer renderer;
    return std::make_shared<Texture>(&renderer, "NotInAnyPack", index, VK_FORMAT_R8G8B8A8_SRGB);
}
} // namespace

TEST(MaterialComponent, EmptySlotsAreFFFFAndIndexZeroIsKept)
{
    MaterialComponent diffuseOnly(MakeTexture(5));
    EXPECT_EQ(diffuseOnly.textureIndices[0], 5);
    for (int i = 1; i < MaxMaterialTextures; ++i)
        EXPECT_EQ(diffuseOnly.textureIndices[i], 0xFFFF);

    MaterialComponent zeroInSlot1(nullptr, MakeTexture(0));
    EXPECT_EQ(zeroInSlot1.textureIndices[0], 0xFFFF);
    EXPECT_EQ(zeroInSlot1.textureIndices[1], 0); // index 0 is a texture, not "empty"
}

TEST(MaterialComponent, RecordConstructorMatchesArgumentConstructor)
{
    MaterialTextures textures;
    textures.slot0 = MakeTexture(4);
    textures.slot6 = MakeTexture(4);
    MaterialComponent moon(textures);
    EXPECT_EQ(moon.textureIndices[0], 4);
    EXPECT_EQ(moon.textureIndices[6], 4);
    EXPECT_EQ(moon.textureIndices[3], 0xFFFF);
}

TEST(MaterialComponent, PushIndicesWidenEmptySlotsToMinusOne)
{
    MaterialComponent m(MakeTexture(2), MakeTexture(3));
    m.textureIndices[7] = 12; // the grass writes its alpha mask straight into slot 7
    const auto pushed = m.PushIndices();
    EXPECT_EQ(pushed[0], 2);
    EXPECT_EQ(pushed[1], 3);
    EXPECT_EQ(pushed[2], -1);
    EXPECT_EQ(pushed[7], 12);
}

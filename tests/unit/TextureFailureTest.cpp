// A texture whose construction fails after its GPU objects were made frees them: its destructor
// never runs. The test device reports, as a failure, whatever is left on it when it goes; its
// validation layer reports a wrong barrier or layout in the one submission of an upload.
#include "VulkanTestDevice.h"
#include "assets/ImageBatch.h"
#include "assets/Texture.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

// The engine's code paths for a Vulkan renderer, on the test device.
class VulkanBackend : public NullRenderer {
public:
    VulkanBackend() { backend = RendererBackend::Vulkan; }
};

} // namespace

TEST(TextureFailure, AFailureAfterTheImageIsMadeFreesItsImageAndBuffers)
{
    std::optional<VulkanTestDevice> device(std::in_place);
    if (!device->UnavailableReason().empty())
        GTEST_SKIP() << device->UnavailableReason();
    VulkanBackend renderer;
    // An integer format: the pixels upload into a new image, then the mip chain cannot be filtered.
    try {
        Texture texture(&renderer, "MoonTexture", 0, VK_FORMAT_R8G8B8A8_UINT);
        FAIL() << "an integer texture got its mip chain";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "texture image format does not support linear blitting!");
    }
    EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
    device.reset(); // any image, memory or buffer left behind fails the test here
}

TEST(TextureFailure, ATextureFromADecodedImageFreesWhatItMadeWhenItsMipChainFails)
{
    std::optional<VulkanTestDevice> device(std::in_place);
    if (!device->UnavailableReason().empty())
        GTEST_SKIP() << device->UnavailableReason();
    VulkanBackend renderer;
    ImageBatch images({"GrassAlphaTexture"});
    const auto image = images.Take("GrassAlphaTexture");
    try {
        Texture texture(&renderer, *image, 0, VK_FORMAT_R8G8B8A8_UINT);
        FAIL() << "an integer texture got its mip chain";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "texture image format does not support linear blitting!");
    }
    EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
    device.reset();
}

TEST(TextureFailure, CubeFacesOfTwoSizesAreRefusedBeforeAnythingIsMade)
{
    std::optional<VulkanTestDevice> device(std::in_place);
    if (!device->UnavailableReason().empty())
        GTEST_SKIP() << device->UnavailableReason();
    VulkanBackend renderer;
    // Five 512 x 512 sky faces and the 1024 x 512 moon.
    ImageBatch images({"SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "MoonTexture"});
    std::vector<std::shared_ptr<const DecodedImage>> faces;
    for (const char* name : {"SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "MoonTexture"})
        faces.push_back(images.Take(name));
    try {
        Texture texture(&renderer, faces, 13);
        FAIL() << "a cube map was made of faces of two sizes";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "cube map faces differ in size");
    }
    EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
    device.reset();
}

TEST(TextureUpload, TexturesFromDecodedImagesAreWholeAndFreedWithTheirOwner)
{
    std::optional<VulkanTestDevice> device(std::in_place);
    if (!device->UnavailableReason().empty())
        GTEST_SKIP() << device->UnavailableReason();
    VulkanBackend renderer;
    {
        ImageBatch images({"MoonTexture", "SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "SkyBoxnz"});
        Texture moon(&renderer, *images.Take("MoonTexture"), 5, VK_FORMAT_R8G8B8A8_SRGB);
        EXPECT_EQ(moon.mipLevels, 11u); // 1024 x 512
        EXPECT_NE(moon.view, VK_NULL_HANDLE);
        EXPECT_NE(moon.sampler, VK_NULL_HANDLE);
        std::vector<std::shared_ptr<const DecodedImage>> faces;
        for (const char* name : {"SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "SkyBoxnz"})
            faces.push_back(images.Take(name));
        Texture sky(&renderer, faces, 13);
        EXPECT_NE(sky.view, VK_NULL_HANDLE);
        EXPECT_NE(sky.faceView, VK_NULL_HANDLE);
    }
    EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
    device.reset();
}

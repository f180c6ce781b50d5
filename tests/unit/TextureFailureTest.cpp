// A texture whose construction fails after its GPU objects were made frees them: its destructor
// never runs. The test device reports, as a failure, whatever is left on it when it goes.
#include "VulkanTestDevice.h"
#include "assets/Texture.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

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

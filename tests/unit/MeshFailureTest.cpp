// A mesh or texture whose GPU upload fails part-way frees what it made: its destructor never runs.
// Each device-memory allocation of the construction fails in turn; the test device reports, as a
// failure, whatever is left on it when it goes.
#include "VulkanAllocationFaults.h"
#include "VulkanTestDevice.h"
#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

class VulkanBackend : public NullRenderer {
public:
    VulkanBackend() { backend = RendererBackend::Vulkan; }
};

// Builds once to count the allocations, then fails each of them in turn on a fresh device.
void FailEveryAllocation(const std::function<void(IRenderer*)>& build)
{
    int allocations = 0;
    {
        std::optional<VulkanTestDevice> device(std::in_place);
        if (!device->UnavailableReason().empty())
            GTEST_SKIP() << device->UnavailableReason();
        VulkanBackend renderer;
        VulkanAllocationFaults::FailAllocation(0);
        build(&renderer);
        allocations = VulkanAllocationFaults::AllocationsSeen();
    }
    ASSERT_GE(allocations, 2) << "the construction makes a staging and a device allocation at least";

    for (int ordinal = 1; ordinal <= allocations; ++ordinal) {
        SCOPED_TRACE("allocation " + std::to_string(ordinal) + " of " + std::to_string(allocations) + " fails");
        std::optional<VulkanTestDevice> device(std::in_place);
        VulkanBackend renderer;
        VulkanAllocationFaults::FailAllocation(ordinal);
        try {
            build(&renderer);
            ADD_FAILURE() << "the construction ignored a failed allocation";
        } catch (const std::runtime_error& e) {
            const std::string message = e.what();
            EXPECT_TRUE(message == "failed to allocate buffer memory!" ||
                        message == "failed to allocate image memory!")
                << message;
        }
        VulkanAllocationFaults::FailAllocation(0);
        EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
        device.reset(); // any buffer, image or memory left behind fails the test here
    }
}

} // namespace

TEST(GpuUploadFailure, AMeshFreesItsBuffersWhicheverAllocationFails)
{
    // The vertex buffer is on the device when the index buffer's allocations fail.
    FailEveryAllocation([](IRenderer* renderer) { MeshComponent mesh(renderer, "Cube"); });
}

TEST(GpuUploadFailure, ATextureFreesItsImageAndBuffersWhicheverAllocationFails)
{
    FailEveryAllocation([](IRenderer* renderer) { Texture texture(renderer, "MoonTexture", 0, VK_FORMAT_R8G8B8A8_SRGB); });
}

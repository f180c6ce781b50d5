// A mesh or texture whose GPU upload fails part-way frees what it made: its destructor never runs.
// Each device-memory allocation of the construction fails in turn, with a staging buffer of its
// own and through a renderer's shared one; the test device reports, as a failure, whatever is left
// on it when it goes. Uploads through a shared staging buffer allocate it only once.
#include "VulkanAllocationFaults.h"
#include "VulkanTestDevice.h"
#include "app/GpuContext.h"
#include "app/StagingBuffer.h"
#include "app/VulkanCheck.h"
#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "assets/VertexLayout.h"
#include "renderer/shader/ShaderComponent.h"
#include "support/NullRenderer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

class VulkanBackend : public NullRenderer {
public:
    VulkanBackend() { backend = RendererBackend::Vulkan; }
};

// A renderer whose uploads share one staging buffer, as the game's does; declared after the
// device, it is gone before the device is.
class SharedStagingBackend : public VulkanBackend {
public:
    StagingBuffer staging;
    StagingBuffer* UploadStaging() override { return &staging; }
};

// Builds once to count the allocations, then fails each of them in turn on a fresh device.
template <class Renderer> void FailEveryAllocation(const std::function<void(IRenderer*)>& build)
{
    int allocations = 0;
    {
        std::optional<VulkanTestDevice> device(std::in_place);
        if (!device->UnavailableReason().empty())
            GTEST_SKIP() << device->UnavailableReason();
        Renderer renderer;
        VulkanAllocationFaults::FailAllocation(0);
        build(&renderer);
        allocations = VulkanAllocationFaults::AllocationsSeen();
    }
    ASSERT_GE(allocations, 2) << "the construction makes a staging and a device allocation at least";

    for (int ordinal = 1; ordinal <= allocations; ++ordinal) {
        SCOPED_TRACE("allocation " + std::to_string(ordinal) + " of " + std::to_string(allocations) + " fails");
        std::optional<VulkanTestDevice> device(std::in_place);
        std::optional<Renderer> renderer(std::in_place);
        VulkanAllocationFaults::FailAllocation(ordinal);
        try {
            build(&*renderer);
            ADD_FAILURE() << "the construction ignored a failed allocation";
        } catch (const std::runtime_error& e) {
            const std::string message = e.what();
            EXPECT_TRUE(message == "failed to allocate buffer memory!" ||
                        message == "failed to allocate image memory!")
                << message;
        }
        VulkanAllocationFaults::FailAllocation(0);
        renderer.reset(); // a shared staging buffer lives as long as its renderer
        EXPECT_TRUE(device->ValidationErrors().empty()) << device->ValidationErrors().front();
        device.reset(); // any buffer, image or memory left behind fails the test here
    }
}

} // namespace

void BuildMesh(IRenderer* renderer)
{
    MeshComponent mesh(renderer, "Cube");
}

void BuildTexture(IRenderer* renderer)
{
    Texture texture(renderer, "MoonTexture", 0, VK_FORMAT_R8G8B8A8_SRGB);
}

TEST(GpuUploadFailure, AMeshFreesItsBuffersWhicheverAllocationFails)
{
    // The vertex buffer is on the device when the index buffer's allocations fail.
    FailEveryAllocation<VulkanBackend>(BuildMesh);
    FailEveryAllocation<SharedStagingBackend>(BuildMesh);
}

TEST(GpuUploadFailure, ATextureFreesItsImageAndBuffersWhicheverAllocationFails)
{
    FailEveryAllocation<VulkanBackend>(BuildTexture);
    FailEveryAllocation<SharedStagingBackend>(BuildTexture);
}

TEST(GpuUpload, UploadsThroughASharedStagingBufferAllocateItOnce)
{
    VulkanTestDevice device;
    if (!device.UnavailableReason().empty())
        GTEST_SKIP() << device.UnavailableReason();
    SharedStagingBackend renderer;
    VulkanAllocationFaults::FailAllocation(0);
    BuildTexture(&renderer);
    EXPECT_EQ(VulkanAllocationFaults::AllocationsSeen(), 2) << "the staging buffer and the image";
    const VkDeviceSize capacity = renderer.staging.Capacity();
    EXPECT_GE(capacity, VkDeviceSize(1024 * 512 * 4)) << "the staging buffer did not stay with the renderer";

    VulkanAllocationFaults::FailAllocation(0);
    BuildTexture(&renderer);
    BuildMesh(&renderer);
    EXPECT_EQ(VulkanAllocationFaults::AllocationsSeen(), 3) << "the image, the vertex and the index buffer";
    EXPECT_EQ(renderer.staging.Capacity(), capacity);
    EXPECT_TRUE(device.ValidationErrors().empty()) << device.ValidationErrors().front();
}

TEST(GpuUpload, AMeshATextureAndAShaderThatOutliveTheirRendererStillFreeTheirObjects)
{
    VulkanTestDevice device;
    if (!device.UnavailableReason().empty())
        GTEST_SKIP() << device.UnavailableReason();
    alignas(VulkanBackend) std::byte storage[sizeof(VulkanBackend)];
    auto* renderer = new (storage) VulkanBackend;
    auto mesh = std::make_unique<MeshComponent>(renderer, "Cube");
    auto texture = std::make_unique<Texture>(renderer, "MoonTexture", 0, VK_FORMAT_R8G8B8A8_SRGB);
    auto shader = std::make_unique<ShaderComponent>(renderer, "BaseShadervert", "BaseShaderfrag", ShaderBinding{},
                                                    VertexBindingDescription(), VertexAttributeDescriptions(), 48,
                                                    VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default);
    // A pool as Build leaves one: the shader owns it from here.
    const VkDescriptorPoolSize size{VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, 1};
    VkDescriptorPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO};
    poolInfo.maxSets = 1;
    poolInfo.poolSizeCount = 1;
    poolInfo.pPoolSizes = &size;
    VkCheck(vkCreateDescriptorPool(gpu.device, &poolInfo, nullptr, &shader->descriptorPool), "vkCreateDescriptorPool");
    renderer->~VulkanBackend();
    // What a freed renderer's memory may hold by now: nothing that reads as a Vulkan back end.
    std::memset(storage, 0xA5, sizeof(storage));
    shader.reset();
    texture.reset();
    mesh.reset(); // anything left behind is reported when the device goes
    EXPECT_TRUE(device.ValidationErrors().empty()) << device.ValidationErrors().front();
}

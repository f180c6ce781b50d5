// The renderer's life: bring-up, scene-to-scene frame resources, tear-down, and the named buffer
// slots of IRenderer.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/VulkanCheck.h"
#include "renderer/NamedBuffers.h"

#include <stdexcept>

VulkanRenderer::VulkanRenderer(WindowInfo* window, VkSampleCountFlagBits sampleLimit, float minSampleShading)
    : sampleLimit(sampleLimit), minSampleShading(minSampleShading)
{
    backend = RendererBackend::Vulkan;
    windowInfo = window;
}

void VulkanRenderer::Init()
{
    CreateInstance();
    CreateSurface();
    PickPhysicalDevice();
    CreateLogicalDevice();
    CreateSwapChain();
    CreateImageViews();
    CreateRenderPass();
    upscale.Create(gpu.swapChainImageFormat);
    CreateCommandPool();
    AllocateCommandBuffers();
    CreateColourTarget();
    CreateDepthTarget();
    CreateSceneTargets();
    CreateFramebuffers();
    CreateSyncObjects();
    InitUi();

    VkPhysicalDeviceProperties properties;
    vkGetPhysicalDeviceProperties(gpu.physicalDevice, &properties);
    gpu.minUniformBufferOffsetAlignment = static_cast<uint32_t>(properties.limits.minUniformBufferOffsetAlignment);
    packer = FrameUniformPacker(gpu.minUniformBufferOffsetAlignment);
}

void VulkanRenderer::RecreateFrameResources()
{
    if (gpu.device == VK_NULL_HANDLE)
        return;
    CreateCommandPool();
    AllocateCommandBuffers();
    RecreateSwapChainSet();
}

void VulkanRenderer::ReleaseFrameResources()
{
    drawLists.Invalidate(); // the scene, its components and the named buffers are going
    if (gpu.device == VK_NULL_HANDLE)
        return;
    VkCheckTeardown(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    DestroyCommandPool();
    DestroyNamedBuffers();
}

VulkanRenderer::~VulkanRenderer()
{
    if (gpu.device != VK_NULL_HANDLE) {
        VkCheckTeardown(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
        keptTextures.Clear();
        ReleaseCapture();
        uploadStaging.Release();
        ShutdownUi();
        DestroySwapChainSet();
        upscale.Destroy();
        DestroySyncObjects();
        if (gpu.renderPass != VK_NULL_HANDLE)
            vkDestroyRenderPass(gpu.device, gpu.renderPass, nullptr);
        if (uiDescriptorPool != VK_NULL_HANDLE)
            vkDestroyDescriptorPool(gpu.device, uiDescriptorPool, nullptr);
        DestroyNamedBuffers();
        // Normally gone with the last scene; a renderer that never saw one still owns it.
        DestroyCommandPool();
        vkDestroyDevice(gpu.device, nullptr);
    } else {
        ShutdownUi();
    }
    if (surface != VK_NULL_HANDLE)
        vkDestroySurfaceKHR(gpu.instance, surface, nullptr);
    if (gpu.instance != VK_NULL_HANDLE)
        vkDestroyInstance(gpu.instance, nullptr);
    // The context is process-wide: a later renderer starts from clean values.
    gpu = GpuContext{};
}

void VulkanRenderer::CreateUniformBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage)
{
    CreateNamedBuffer(name, size, stride, storage);
    drawLists.Invalidate(); // a buffer the lists may have found missing
    // A frame packs at most what the buffer holds: room for that now, not when zombies spawn.
    packer.Reserve(name, size);
}

UniformBufferFrame& VulkanRenderer::GetUniformBuffer(const std::string& name)
{
    auto found = gpu.namedBuffers.find(name);
    if (found == gpu.namedBuffers.end())
        throw std::runtime_error("Uniform name doesnt exist");
    return found->second[currentFrame];
}

void VulkanRenderer::UpdateUniformBuffer(const std::string& name, const void* data, uint32_t size)
{
    UpdateNamedBuffer(name, currentFrame, data, size);
}

std::vector<UniformBufferFrame>& VulkanRenderer::GetUniformBufferFrames(const std::string& name)
{
    return ::GetUniformBufferFrames(name);
}

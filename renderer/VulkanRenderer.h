// The Vulkan implementation of IRenderer: device bring-up against the application's SDL window,
// the swap-chain set, frame synchronisation, the UI back end, the named per-frame buffers and the
// recording of each frame. Its member functions are spread over VulkanRenderer*.cpp by concern.
#pragma once

#include "app/IRenderer.h"
#include "renderer/DeviceSelection.h"
#include "renderer/FrameUniformPacker.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <string>
#include <vector>

class Actor;
class ShaderComponent;

// Everything that is rebuilt with the swap chain.
struct SwapChainResources {
    VkSwapchainKHR swapChain = VK_NULL_HANDLE;
    std::vector<VkImage> images;
    std::vector<VkImageView> imageViews;
    std::vector<VkFramebuffer> framebuffers; // one per image
    VkImage depthImage = VK_NULL_HANDLE;
    VkDeviceMemory depthMemory = VK_NULL_HANDLE;
    VkImageView depthView = VK_NULL_HANDLE;
    VkImage colourImage = VK_NULL_HANDLE; // multisampled target, resolved into the swap-chain image
    VkDeviceMemory colourMemory = VK_NULL_HANDLE;
    VkImageView colourView = VK_NULL_HANDLE;
};

// CPU time of the last drawn frame's two CPU-heavy steps, in seconds.
struct FrameCpuTimes {
    double updateUniforms = 0.0;
    double record = 0.0;
};

class VulkanRenderer : public IRenderer {
public:
    explicit VulkanRenderer(WindowInfo* window);
    ~VulkanRenderer() override;
    VulkanRenderer(const VulkanRenderer&) = delete;
    VulkanRenderer& operator=(const VulkanRenderer&) = delete;

    void Init() override;
    void RecreateFrameResources() override;
    void ReleaseFrameResources() override;
    void CreateUniformBuffer(const std::string& name, uint32_t size, uint32_t stride, bool storage) override;
    UniformBufferFrame& GetUniformBuffer(const std::string& name) override;
    void UpdateUniformBuffer(const std::string& name, const void* data, uint32_t size) override;
    void DrawFrame(Scene* scene) override;
    void NoOp() override {}
    void UpdateUniforms(Scene* scene) override;

    std::vector<UniformBufferFrame>& GetUniformBufferFrames(const std::string& name);

    uint32_t CurrentFrame() const { return currentFrame; }
    const SwapChainResources& SwapChain() const { return swapChain; }
    const FrameCpuTimes& LastFrameCpuTimes() const { return lastFrameCpuTimes; }
    // Frames that were acquired, recorded, submitted and presented.
    uint64_t PresentedFrames() const { return presentedFrames; }
    // Frames not drawn because the window could not be presented to: each waited for the
    // window's next event instead.
    uint64_t WindowWaits() const { return windowWaits; }

private:
    // Instance and surface (VulkanRendererInstance.cpp).
    void CreateInstance();
    void CreateSurface();
    // Physical and logical device (VulkanRendererDevice.cpp).
    void PickPhysicalDevice();
    DeviceCandidate DescribeDevice(VkPhysicalDevice device, QueueFamilyIndices& queues) const;
    void CreateLogicalDevice();
    // Swap-chain set (VulkanRendererSwapChain.cpp).
    void CreateSwapChain();
    void CreateImageViews();
    void CreateColourTarget();
    void CreateDepthTarget();
    void CreateFramebuffers();
    void DestroySwapChainSet();
    // Rebuilds the set; leaves it destroyed (and stale) while the window cannot be presented to.
    void RecreateSwapChainSet();
    bool WindowCanPresent() const;
    // Render pass (VulkanRendererRenderPass.cpp).
    VkFormat FindDepthFormat() const;
    void CreateRenderPass();
    // Command pool, command buffers and synchronisation (VulkanRendererSync.cpp).
    void CreateCommandPool();
    void AllocateCommandBuffers();
    void DestroyCommandPool();
    void CreateSyncObjects();
    void EnsureRenderFinishedSemaphores(size_t imageCount);
    void DestroySyncObjects();
    // UI back end (VulkanRendererUi.cpp).
    void InitUi();
    void EnsureUiFontTexture();
    void RecordUi(VkCommandBuffer commandBuffer, Scene* scene);
    void ShutdownUi();
    // Frame recording (VulkanRendererFrame.cpp).
    void Record(VkCommandBuffer commandBuffer, uint32_t imageIndex, Scene* scene);
    void DrawActors(VkCommandBuffer commandBuffer, const std::vector<Actor*>& actors, ShaderComponent& shader);

    VkQueue presentQueue = VK_NULL_HANDLE;
    VkSurfaceKHR surface = VK_NULL_HANDLE;
    QueueFamilyIndices queueFamilies;
    SwapChainResources swapChain;
    std::vector<VkCommandBuffer> commandBuffers;
    VkDescriptorPool uiDescriptorPool = VK_NULL_HANDLE;
    std::vector<VkSemaphore> imageAvailableSemaphores; // one per frame in flight
    // One per swap-chain image: the presentation engine may still hold the one it waited on
    // when the frame slot comes round again, so a per-frame semaphore could be re-signalled early.
    std::vector<VkSemaphore> renderFinishedSemaphores;
    std::vector<VkFence> inFlightFences;
    uint32_t currentFrame = 0;

    VkFormat depthFormat = VK_FORMAT_UNDEFINED;
    bool swapChainStale = false; // destroyed while the window could not be presented to
    bool uiContextCreated = false;
    bool uiVulkanReady = false;
    FrameUniformPacker packer{0};
    std::vector<const ShaderComponent*> opaqueShaders; // per-frame scratch, keeps its capacity
    FrameCpuTimes lastFrameCpuTimes;
    uint64_t presentedFrames = 0;
    uint64_t windowWaits = 0;
};

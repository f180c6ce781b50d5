// The Vulkan implementation of IRenderer: device bring-up against the application's SDL window,
// the swap-chain set, frame synchronisation, the UI back end, the named per-frame buffers and the
// recording of each frame. Its member functions are spread over VulkanRenderer*.cpp by concern.
#pragma once

#include "app/IRenderer.h"
#include "app/StagingBuffer.h"
#include "assets/TextureCache.h"
#include "renderer/CommandRecorder.h"
#include "renderer/DeviceSelection.h"
#include "renderer/FrameUniformPacker.h"
#include "renderer/RenderScaleController.h"
#include "renderer/SceneDrawLists.h"
#include "renderer/UpscalePass.h"

#include <vulkan/vulkan.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Actor;
class ShaderComponent;

// Everything that is rebuilt with the swap chain.
struct SwapChainResources {
    VkSwapchainKHR swapChain = VK_NULL_HANDLE;
    std::vector<VkImage> images;
    std::vector<VkImageView> imageViews;
    std::vector<VkFramebuffer> framebuffers; // one per image, for the upscale and the UI
    VkImage depthImage = VK_NULL_HANDLE;
    VkDeviceMemory depthMemory = VK_NULL_HANDLE;
    VkImageView depthView = VK_NULL_HANDLE;
    VkImage colourImage = VK_NULL_HANDLE; // multisampled target, resolved into the scene image
    VkDeviceMemory colourMemory = VK_NULL_HANDLE;
    VkImageView colourView = VK_NULL_HANDLE;
    // The 3D scene at the render scale, in the corner of an image of the window's size: a new
    // scale changes the viewport, never an allocation.
    VkImage sceneImage = VK_NULL_HANDLE;
    VkDeviceMemory sceneMemory = VK_NULL_HANDLE;
    VkImageView sceneView = VK_NULL_HANDLE;
    VkFramebuffer sceneFramebuffer = VK_NULL_HANDLE;
    // The scene upscaled to the window's size, before the sharpening.
    VkImage upscaledImage = VK_NULL_HANDLE;
    VkDeviceMemory upscaledMemory = VK_NULL_HANDLE;
    VkImageView upscaledView = VK_NULL_HANDLE;
    VkFramebuffer upscaledFramebuffer = VK_NULL_HANDLE;
};

// CPU time of the recording thread in the last drawn frame's two CPU-heavy steps, in seconds, and
// what it recorded.
struct FrameCpuTimes {
    double updateUniforms = 0.0;
    double record = 0.0;
    double ui = 0.0;         // of `record`: the UI frame, the library's own commands included
    CommandCounts commands; // the frame's own commands (the UI's are not counted)
};

// Parts of a frame, for FrameRecordingOptions::passes.
inline constexpr uint32_t FramePassSkyBox = 1u << 0;
inline constexpr uint32_t FramePassUi = 1u << 1;
// The i-th shader pass, in the registry's creation order (the sky box and wireframe shaders left out).
constexpr uint32_t FramePassShader(size_t index)
{
    return 1u << (2 + index);
}

// How frames are recorded. The defaults are the game's; the rest serves measurement and checks.
struct FrameRecordingOptions {
    // The sky after the opaque passes and before the blended ones: at the far plane it fails the
    // depth test wherever geometry was drawn, so it is shaded only where it shows; the picture is
    // the one of the sky drawn first.
    bool skyBoxLast = true;
    // The opaque passes' actors all together front to back (SceneDrawLists::OrderFrontToBack)
    // rather than pass by pass in list order: the depth test then rejects hidden fragments before
    // they are shaded.
    bool opaqueFrontToBack = true;
    uint32_t passes = ~0u; // the parts recorded; a part left out is not drawn at all
    bool timeCommands = false; // time the driver's side of the frame's own vkCmd* calls
    // Each draw loops only over the point lights whose reach touches it
    // (SceneDrawLists::AssignPointLights); off, every draw takes every light.
    bool pointLightLists = true;
};

class VulkanRenderer : public IRenderer {
public:
    // sampleLimit caps the multisampling the device would be given (its most by default): a
    // measurement of what multisampling costs runs the same frames without it.
    // minSampleShading is the share of samples shaded apart (0: one shade per pixel).
    explicit VulkanRenderer(WindowInfo* window, VkSampleCountFlagBits sampleLimit = VK_SAMPLE_COUNT_64_BIT,
                            float minSampleShading = DefaultMinSampleShading);
    static constexpr float DefaultMinSampleShading = 0.2f;
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
    TextureCache* KeptTextures() override { return &keptTextures; }
    StagingBuffer* UploadStaging() override { return &uploadStaging; }

    std::vector<UniformBufferFrame>& GetUniformBufferFrames(const std::string& name);

    uint32_t CurrentFrame() const { return currentFrame; }
    const SwapChainResources& SwapChain() const { return swapChain; }
    const FrameCpuTimes& LastFrameCpuTimes() const { return lastFrameCpuTimes; }
    void SetRecordingOptions(const FrameRecordingOptions& options) { recordingOptions = options; }
    const FrameRecordingOptions& RecordingOptions() const { return recordingOptions; }
    // The draw lists of the scene last drawn (rebuilt when its lists change).
    const SceneDrawLists& DrawLists() const { return drawLists; }
    // For a change the lists cannot see: a component added to or swapped on an actor in play.
    void InvalidateDrawLists() { drawLists.Invalidate(); }
    // Frames that were acquired, recorded, submitted and presented.
    uint64_t PresentedFrames() const { return presentedFrames; }
    // Frames not drawn because the window could not be presented to: each waited for the
    // window's next event instead.
    uint64_t WindowWaits() const { return windowWaits; }
    // The window record's quality, with "by device" made the device's own.
    RenderQuality EffectiveQuality() const;
    // The 3D scene's scale of each axis in the last recorded frame.
    float RenderScale() const { return renderScale; }
    // For measurements and checks: a fixed scale whatever the quality (none: the quality's).
    void ForceRenderScale(std::optional<float> scale) { forcedScale = scale; }
    const RenderScaleController& ScaleController() const { return scaleController; }
    // For measurements and checks: the next drawn frame's final picture is copied to host
    // memory (allocated here, not in the frame). The pixels are the swap chain's format, rows
    // of width * 4 bytes; TakeCapture waits for the device and answers false without a capture.
    void CaptureNextFrame();
    bool TakeCapture(std::vector<uint8_t>& pixels, VkExtent2D& extent);

private:
    TextureCache keptTextures;   // emptied before the device is destroyed
    StagingBuffer uploadStaging; // released before the device is destroyed

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
    void CreateSceneTargets();
    void CreateFramebuffers();
    void DestroySwapChainSet();
    // Rebuilds the set; leaves it destroyed (and stale) while the window cannot be presented to.
    void RecreateSwapChainSet();
    bool WindowCanPresent() const;
    // The window record's size or vsync differs from what the swap chain was built for.
    bool SwapChainOutdated() const;
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
    // The scale of this frame, from the quality and, at Auto, the time since the last frame.
    void ChooseRenderScale();
    void Record(VkCommandBuffer commandBuffer, uint32_t imageIndex, Scene* scene);
    // What a pass's draws need once its pipeline is bound.
    struct PassState {
        bool drawable = false; // the shader was built
        uint32_t stride = 0;
        VkDeviceSize dynamicCapacity = 0;
        VkDeviceSize storageCapacity = 0;
    };
    void DrawScene(CommandRecorder& recorder);
    void DrawSkyBox(CommandRecorder& recorder);
    PassState BeginPass(CommandRecorder& recorder, const ShaderPass& pass);
    void DrawPass(CommandRecorder& recorder, const ShaderPass& pass);
    void DrawActor(CommandRecorder& recorder, const ShaderPass& pass, const DrawItem& item, const PassState& state);

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
    VkSampleCountFlagBits sampleLimit;
    float minSampleShading;
    VkPhysicalDeviceType deviceType = VK_PHYSICAL_DEVICE_TYPE_OTHER;
    UpscalePass upscale;
    RenderScaleController scaleController{1.0 / 30.0};
    RenderQuality scaledFor = RenderQuality::Device; // the last frame's quality: Auto starts over after another
    float renderScale = 1.0f;
    std::optional<float> forcedScale;
    std::optional<std::chrono::steady_clock::time_point> lastFrameStart; // none after a wait
    void RecordCapture(VkCommandBuffer commandBuffer, uint32_t imageIndex);
    void ReleaseCapture();
    struct Capture {
        VkBuffer buffer = VK_NULL_HANDLE;
        VkDeviceMemory memory = VK_NULL_HANDLE;
        VkDeviceSize size = 0;
        VkExtent2D extent{0, 0};
        bool requested = false;
        bool recorded = false;
    } capture;

    VkFormat depthFormat = VK_FORMAT_UNDEFINED;
    bool swapChainStale = false; // destroyed while the window could not be presented to
    // The window record's values the swap chain was last built from. Compared with the record,
    // not with the extent: a surface may report another extent for a moment while the window
    // manager catches up, and that is left to OUT_OF_DATE and SUBOPTIMAL.
    struct SwapChainInputs {
        uint16_t width = 0;
        uint16_t height = 0;
        bool vsync = false;
    } builtFor;
    bool uiContextCreated = false;
    bool uiVulkanReady = false;
    FrameUniformPacker packer{0};
    SceneDrawLists drawLists;
    FrameRecordingOptions recordingOptions;
    FrameCpuTimes lastFrameCpuTimes;
    uint64_t presentedFrames = 0;
    uint64_t windowWaits = 0;
};

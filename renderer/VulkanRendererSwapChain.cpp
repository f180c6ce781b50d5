// The swap-chain set: swap chain, image views, multisampled colour and depth targets, the scene
// and upscaled images and the framebuffers; its re-creation when the window changes, and its tear-down.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/VulkanCheck.h"
#include "renderer/QualityChoice.h"
#include "renderer/SwapChainChoice.h"

#include <SDL2/SDL.h>

namespace {

VkSurfaceCapabilitiesKHR SurfaceCapabilities(VkSurfaceKHR surface)
{
    VkSurfaceCapabilitiesKHR capabilities{};
    // Unchecked, a lost surface would read as a zero-sized window and be waited on for ever.
    VkCheck(vkGetPhysicalDeviceSurfaceCapabilitiesKHR(gpu.physicalDevice, surface, &capabilities),
            "failed to query the surface's capabilities");
    return capabilities;
}

} // namespace

bool VulkanRenderer::SwapChainOutdated() const
{
    return windowInfo->width != builtFor.width || windowInfo->height != builtFor.height ||
           windowInfo->vsync != builtFor.vsync;
}

bool VulkanRenderer::WindowCanPresent() const
{
    const Uint32 flags = SDL_GetWindowFlags(windowInfo->sdlWindow);
    const bool away = (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    return CanPresentTo(away, ChooseExtent(SurfaceCapabilities(surface), windowInfo->width, windowInfo->height));
}

void VulkanRenderer::CreateSwapChain()
{
    const VkSurfaceCapabilitiesKHR capabilities = SurfaceCapabilities(surface);
    uint32_t formatCount = 0;
    VkCheck(vkGetPhysicalDeviceSurfaceFormatsKHR(gpu.physicalDevice, surface, &formatCount, nullptr),
            "failed to enumerate surface formats");
    std::vector<VkSurfaceFormatKHR> formats(formatCount);
    VkCheck(vkGetPhysicalDeviceSurfaceFormatsKHR(gpu.physicalDevice, surface, &formatCount, formats.data()),
            "failed to enumerate surface formats");
    uint32_t modeCount = 0;
    VkCheck(vkGetPhysicalDeviceSurfacePresentModesKHR(gpu.physicalDevice, surface, &modeCount, nullptr),
            "failed to enumerate present modes");
    std::vector<VkPresentModeKHR> modes(modeCount);
    VkCheck(vkGetPhysicalDeviceSurfacePresentModesKHR(gpu.physicalDevice, surface, &modeCount, modes.data()),
            "failed to enumerate present modes");

    const VkSurfaceFormatKHR format = ChooseSurfaceFormat(formats);
    gpu.presentMode = ChoosePresentMode(modes, windowInfo->vsync);
    const VkExtent2D extent = ChooseExtent(capabilities, windowInfo->width, windowInfo->height);

    VkSwapchainCreateInfoKHR info{VK_STRUCTURE_TYPE_SWAPCHAIN_CREATE_INFO_KHR};
    info.surface = surface;
    info.minImageCount = ChooseImageCount(capabilities);
    info.imageFormat = format.format;
    info.imageColorSpace = format.colorSpace;
    info.imageExtent = extent;
    info.imageArrayLayers = 1;
    // Copies out of the swap-chain image serve the measurements' captures, where the surface allows.
    info.imageUsage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT |
                      (capabilities.supportedUsageFlags & VK_IMAGE_USAGE_TRANSFER_SRC_BIT);
    const uint32_t families[] = {queueFamilies.graphicsFamily.value(), queueFamilies.presentFamily.value()};
    if (families[0] != families[1]) {
        info.imageSharingMode = VK_SHARING_MODE_CONCURRENT;
        info.queueFamilyIndexCount = 2;
        info.pQueueFamilyIndices = families;
    } else {
        info.imageSharingMode = VK_SHARING_MODE_EXCLUSIVE;
    }
    info.preTransform = capabilities.currentTransform;
    info.compositeAlpha = VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR;
    info.presentMode = gpu.presentMode;
    info.clipped = VK_TRUE;
    info.oldSwapchain = VK_NULL_HANDLE;
    VkCheck(vkCreateSwapchainKHR(gpu.device, &info, nullptr, &swapChain.swapChain), "Failed to create swap chain");

    gpu.swapChainImageFormat = format.format;
    gpu.swapChainExtent = extent;
    // The controller holds the refresh interval of the display the window is on.
    SDL_DisplayMode display{};
    const int refreshHz = SDL_GetWindowDisplayMode(windowInfo->sdlWindow, &display) == 0 ? display.refresh_rate : 0;
    scaleController.SetTarget(FrameTimeTarget(deviceType, refreshHz));
    builtFor = {windowInfo->width, windowInfo->height, windowInfo->vsync};
    uint32_t imageCount = 0;
    VkCheck(vkGetSwapchainImagesKHR(gpu.device, swapChain.swapChain, &imageCount, nullptr),
            "failed to get the swap chain's images");
    swapChain.images.resize(imageCount);
    VkCheck(vkGetSwapchainImagesKHR(gpu.device, swapChain.swapChain, &imageCount, swapChain.images.data()),
            "failed to get the swap chain's images");
    EnsureRenderFinishedSemaphores(imageCount);
}

void VulkanRenderer::CreateImageViews()
{
    swapChain.imageViews.clear();
    for (VkImage image : swapChain.images)
        swapChain.imageViews.push_back(
            CreateImageView(image, gpu.swapChainImageFormat, VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_2D, 1, 1));
}

void VulkanRenderer::CreateColourTarget()
{
    if (gpu.msaaSamples == VK_SAMPLE_COUNT_1_BIT)
        return; // the scene image is the colour target
    CreateImage(gpu.swapChainExtent.width, gpu.swapChainExtent.height, 1, gpu.msaaSamples, gpu.swapChainImageFormat,
                VK_IMAGE_TILING_OPTIMAL, VK_IMAGE_USAGE_TRANSIENT_ATTACHMENT_BIT | VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT,
                VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, swapChain.colourImage, swapChain.colourMemory);
    swapChain.colourView = CreateImageView(swapChain.colourImage, gpu.swapChainImageFormat, VK_IMAGE_ASPECT_COLOR_BIT,
                                           VK_IMAGE_VIEW_TYPE_2D, 1, 1);
}

void VulkanRenderer::CreateDepthTarget()
{
    depthFormat = FindDepthFormat();
    CreateImage(gpu.swapChainExtent.width, gpu.swapChainExtent.height, 1, gpu.msaaSamples, depthFormat,
                VK_IMAGE_TILING_OPTIMAL, VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT,
                VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, swapChain.depthImage, swapChain.depthMemory);
    swapChain.depthView =
        CreateImageView(swapChain.depthImage, depthFormat, VK_IMAGE_ASPECT_DEPTH_BIT, VK_IMAGE_VIEW_TYPE_2D, 1, 1);
    TransitionImageLayout(swapChain.depthImage, depthFormat, VK_IMAGE_LAYOUT_UNDEFINED,
                          VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL, 1, 1);
}

void VulkanRenderer::CreateSceneTargets()
{
    // Both at the window's full size, whatever the scale: the scale only moves the viewport.
    const VkImageUsageFlags usage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_SAMPLED_BIT;
    CreateImage(gpu.swapChainExtent.width, gpu.swapChainExtent.height, 1, VK_SAMPLE_COUNT_1_BIT,
                gpu.swapChainImageFormat, VK_IMAGE_TILING_OPTIMAL, usage, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT,
                swapChain.sceneImage, swapChain.sceneMemory);
    swapChain.sceneView = CreateImageView(swapChain.sceneImage, gpu.swapChainImageFormat, VK_IMAGE_ASPECT_COLOR_BIT,
                                          VK_IMAGE_VIEW_TYPE_2D, 1, 1);
    CreateImage(gpu.swapChainExtent.width, gpu.swapChainExtent.height, 1, VK_SAMPLE_COUNT_1_BIT,
                gpu.swapChainImageFormat, VK_IMAGE_TILING_OPTIMAL, usage, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT,
                swapChain.upscaledImage, swapChain.upscaledMemory);
    swapChain.upscaledView = CreateImageView(swapChain.upscaledImage, gpu.swapChainImageFormat,
                                             VK_IMAGE_ASPECT_COLOR_BIT, VK_IMAGE_VIEW_TYPE_2D, 1, 1);
    upscale.BindSources(swapChain.sceneView, swapChain.upscaledView);
}

namespace {

VkFramebuffer CreateFramebuffer(VkRenderPass pass, const VkImageView* attachments, uint32_t count)
{
    VkFramebufferCreateInfo info{VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO};
    info.renderPass = pass;
    info.attachmentCount = count;
    info.pAttachments = attachments;
    info.width = gpu.swapChainExtent.width;
    info.height = gpu.swapChainExtent.height;
    info.layers = 1;
    VkFramebuffer framebuffer;
    VkCheck(vkCreateFramebuffer(gpu.device, &info, nullptr, &framebuffer), "failed to create framebuffer!");
    return framebuffer;
}

} // namespace

void VulkanRenderer::CreateFramebuffers()
{
    if (gpu.msaaSamples == VK_SAMPLE_COUNT_1_BIT) {
        const VkImageView attachments[] = {swapChain.sceneView, swapChain.depthView};
        swapChain.sceneFramebuffer = CreateFramebuffer(gpu.renderPass, attachments, 2);
    } else {
        const VkImageView attachments[] = {swapChain.colourView, swapChain.depthView, swapChain.sceneView};
        swapChain.sceneFramebuffer = CreateFramebuffer(gpu.renderPass, attachments, 3);
    }
    swapChain.upscaledFramebuffer = CreateFramebuffer(upscale.IntermediatePass(), &swapChain.upscaledView, 1);
    swapChain.framebuffers.clear();
    for (VkImageView view : swapChain.imageViews)
        swapChain.framebuffers.push_back(CreateFramebuffer(upscale.PresentPass(), &view, 1));
}

void VulkanRenderer::DestroySwapChainSet()
{
    auto destroyView = [](VkImageView& view) {
        if (view != VK_NULL_HANDLE)
            vkDestroyImageView(gpu.device, view, nullptr);
        view = VK_NULL_HANDLE;
    };
    auto destroyImage = [](VkImage& image, VkDeviceMemory& memory) {
        if (image != VK_NULL_HANDLE)
            vkDestroyImage(gpu.device, image, nullptr);
        if (memory != VK_NULL_HANDLE)
            vkFreeMemory(gpu.device, memory, nullptr);
        image = VK_NULL_HANDLE;
        memory = VK_NULL_HANDLE;
    };
    for (VkFramebuffer* framebuffer : {&swapChain.sceneFramebuffer, &swapChain.upscaledFramebuffer}) {
        if (*framebuffer != VK_NULL_HANDLE)
            vkDestroyFramebuffer(gpu.device, *framebuffer, nullptr);
        *framebuffer = VK_NULL_HANDLE;
    }
    destroyView(swapChain.upscaledView);
    destroyImage(swapChain.upscaledImage, swapChain.upscaledMemory);
    destroyView(swapChain.sceneView);
    destroyImage(swapChain.sceneImage, swapChain.sceneMemory);
    destroyView(swapChain.depthView);
    destroyImage(swapChain.depthImage, swapChain.depthMemory);
    destroyView(swapChain.colourView);
    destroyImage(swapChain.colourImage, swapChain.colourMemory);
    for (VkFramebuffer framebuffer : swapChain.framebuffers)
        vkDestroyFramebuffer(gpu.device, framebuffer, nullptr);
    swapChain.framebuffers.clear();
    for (VkImageView& view : swapChain.imageViews)
        destroyView(view);
    swapChain.imageViews.clear();
    if (swapChain.swapChain != VK_NULL_HANDLE)
        vkDestroySwapchainKHR(gpu.device, swapChain.swapChain, nullptr);
    swapChain.swapChain = VK_NULL_HANDLE;
    swapChain.images.clear();
}

void VulkanRenderer::RecreateSwapChainSet()
{
    VkCheck(vkDeviceWaitIdle(gpu.device), "failed to wait for the device to finish");
    DestroySwapChainSet();
    // Stale until the set is whole again: a step that throws leaves the rebuild to the next frame.
    swapChainStale = true;
    // Vulkan has no swap chain of zero extent: stay without one until the window is back.
    if (!WindowCanPresent())
        return;
    CreateSwapChain();
    CreateImageViews();
    CreateColourTarget();
    CreateDepthTarget();
    CreateSceneTargets();
    CreateFramebuffers();
    swapChainStale = false;
}

#include "renderer/SwapChainChoice.h"

#include <algorithm>

VkSurfaceFormatKHR ChooseSurfaceFormat(const std::vector<VkSurfaceFormatKHR>& formats)
{
    for (const VkSurfaceFormatKHR& f : formats)
        if (f.format == VK_FORMAT_B8G8R8A8_UNORM && f.colorSpace == VK_COLOR_SPACE_SRGB_NONLINEAR_KHR)
            return f;
    return formats.front();
}

VkPresentModeKHR ChoosePresentMode(const std::vector<VkPresentModeKHR>& modes, bool vsync)
{
    if (vsync)
        return VK_PRESENT_MODE_FIFO_KHR;
    for (VkPresentModeKHR preferred :
         {VK_PRESENT_MODE_MAILBOX_KHR, VK_PRESENT_MODE_IMMEDIATE_KHR, VK_PRESENT_MODE_FIFO_RELAXED_KHR})
        if (std::find(modes.begin(), modes.end(), preferred) != modes.end())
            return preferred;
    return VK_PRESENT_MODE_FIFO_KHR;
}

VkExtent2D ChooseExtent(const VkSurfaceCapabilitiesKHR& capabilities, uint32_t windowWidth, uint32_t windowHeight)
{
    // The surface leaves the size to the swap chain.
    constexpr uint32_t WindowDecides = 0xFFFFFFFF;
    if (capabilities.currentExtent.width != WindowDecides)
        return capabilities.currentExtent;
    return {std::clamp(windowWidth, capabilities.minImageExtent.width, capabilities.maxImageExtent.width),
            std::clamp(windowHeight, capabilities.minImageExtent.height, capabilities.maxImageExtent.height)};
}

uint32_t ChooseImageCount(const VkSurfaceCapabilitiesKHR& capabilities)
{
    uint32_t count = capabilities.minImageCount + 1;
    if (capabilities.maxImageCount > 0 && count > capabilities.maxImageCount)
        count = capabilities.maxImageCount;
    return count;
}

bool CanPresentTo(bool windowMinimisedOrHidden, VkExtent2D surfaceExtent)
{
    return !windowMinimisedOrHidden && surfaceExtent.width > 0 && surfaceExtent.height > 0;
}

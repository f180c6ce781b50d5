// Instance and window surface: the extensions SDL asks for, no layers, no chained structures
// (validation is switched on from outside, through the loader's environment).
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_vulkan.h>

#include <stdexcept>
#include <vector>

void VulkanRenderer::CreateInstance()
{
    VkApplicationInfo app{VK_STRUCTURE_TYPE_APPLICATION_INFO};
    app.pApplicationName = "Zorbulon";
    app.applicationVersion = VK_MAKE_VERSION(1, 0, 0);
    app.pEngineName = "Zorbulon";
    app.engineVersion = VK_MAKE_VERSION(1, 0, 0);
    // 1.1: the features-2 query and the descriptor-indexing extension's own dependencies
    // (properties2, maintenance3) are core there; under 1.0 they would need extensions of their own.
    app.apiVersion = VK_API_VERSION_1_1;

    // The application does not check its window: without one SDL has nothing to ask (and some of
    // its video drivers crash when asked), so it is reported here.
    if (!windowInfo || !windowInfo->sdlWindow)
        throw std::runtime_error("failed to create window");
    unsigned int count = 0;
    if (!SDL_Vulkan_GetInstanceExtensions(windowInfo->sdlWindow, &count, nullptr))
        throw std::runtime_error("failed to get required SDL extension count!");
    std::vector<const char*> extensions(count);
    if (!SDL_Vulkan_GetInstanceExtensions(windowInfo->sdlWindow, &count, extensions.data()))
        throw std::runtime_error("failed to get required SDL extensions!");

    VkInstanceCreateInfo info{VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
    info.pApplicationInfo = &app;
    info.enabledExtensionCount = count;
    info.ppEnabledExtensionNames = extensions.data();
    info.enabledLayerCount = 0;
    VkCheck(vkCreateInstance(&info, nullptr, &gpu.instance), "failed to create instance");
}

void VulkanRenderer::CreateSurface()
{
    if (!SDL_Vulkan_CreateSurface(windowInfo->sdlWindow, gpu.instance, &surface))
        throw std::runtime_error("failed to create window");
}

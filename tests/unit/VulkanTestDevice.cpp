// Vulkan device for the drawing tests (see VulkanTestDevice.h).
#include "VulkanTestDevice.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"
#include "renderer/DeviceSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

const char* const ValidationLayer = "VK_LAYER_KHRONOS_validation";

bool HasLayer(const char* name)
{
    uint32_t count = 0;
    vkEnumerateInstanceLayerProperties(&count, nullptr);
    std::vector<VkLayerProperties> layers(count);
    vkEnumerateInstanceLayerProperties(&count, layers.data());
    return std::any_of(layers.begin(), layers.end(),
                       [&](const VkLayerProperties& l) { return std::strcmp(l.layerName, name) == 0; });
}

// The game's own feature list decides, so that a feature the game forgets to require fails here too.
bool HasGameFeatures(VkPhysicalDevice device)
{
    DeviceFeatures available;
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.pNext = &available.indexing;
    vkGetPhysicalDeviceFeatures2(device, &features);
    available.core = features.features;
    return MissingDeviceFeatures(available).empty();
}

} // namespace

VKAPI_ATTR VkBool32 VKAPI_CALL VulkanTestDevice::OnValidationMessage(VkDebugUtilsMessageSeverityFlagBitsEXT severity,
                                                                     VkDebugUtilsMessageTypeFlagsEXT,
                                                                     const VkDebugUtilsMessengerCallbackDataEXT* data,
                                                                     void* user)
{
    if (severity & VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT)
        static_cast<VulkanTestDevice*>(user)->validationErrors.push_back(data->pMessage);
    return VK_FALSE;
}

VulkanTestDevice::VulkanTestDevice()
{
    if (gpu.instance != VK_NULL_HANDLE || gpu.device != VK_NULL_HANDLE) {
        unavailableReason = "the process-wide GPU context already holds a device";
        return;
    }
    ownsContext = true;
    try {
        CreateDevice();
    } catch (const std::exception& e) {
        unavailableReason = e.what();
    }
}

VulkanTestDevice::~VulkanTestDevice()
{
    if (!ownsContext)
        return;
    if (gpu.device) {
        if (vkDeviceWaitIdle(gpu.device) != VK_SUCCESS)
            ADD_FAILURE() << "the test device did not finish its work";
        if (!gpu.namedBuffers.empty())
            ADD_FAILURE() << "named buffers outlive the test device";
        if (gpu.commandPool)
            vkDestroyCommandPool(gpu.device, gpu.commandPool, nullptr);
        // The validation layer names every object still alive when the device goes: a leak.
        const size_t before = validationErrors.size();
        vkDestroyDevice(gpu.device, nullptr);
        for (size_t i = before; i < validationErrors.size(); ++i)
            ADD_FAILURE() << "left on the test device: " << validationErrors[i];
    }
    if (messenger) {
        auto destroy = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(gpu.instance, "vkDestroyDebugUtilsMessengerEXT"));
        destroy(gpu.instance, messenger, nullptr);
    }
    if (gpu.instance)
        vkDestroyInstance(gpu.instance, nullptr);
    gpu = GpuContext{};
}

void VulkanTestDevice::CreateDevice()
{
    VkApplicationInfo app{VK_STRUCTURE_TYPE_APPLICATION_INFO};
    app.pApplicationName = "ShaderRenderHarness";
    app.apiVersion = VK_API_VERSION_1_1;
    VkInstanceCreateInfo instanceInfo{VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
    instanceInfo.pApplicationInfo = &app;
    const bool validate = HasLayer(ValidationLayer);
    const char* extension = VK_EXT_DEBUG_UTILS_EXTENSION_NAME;
    if (validate) {
        instanceInfo.enabledLayerCount = 1;
        instanceInfo.ppEnabledLayerNames = &ValidationLayer;
        instanceInfo.enabledExtensionCount = 1;
        instanceInfo.ppEnabledExtensionNames = &extension;
    }
    VkCheck(vkCreateInstance(&instanceInfo, nullptr, &gpu.instance), "vkCreateInstance");
    if (validate) {
        VkDebugUtilsMessengerCreateInfoEXT messengerInfo{VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT};
        messengerInfo.messageSeverity =
            VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT;
        messengerInfo.messageType =
            VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT;
        messengerInfo.pfnUserCallback = &OnValidationMessage;
        messengerInfo.pUserData = this;
        auto create = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(gpu.instance, "vkCreateDebugUtilsMessengerEXT"));
        if (create)
            VkCheck(create(gpu.instance, &messengerInfo, nullptr, &messenger), "vkCreateDebugUtilsMessengerEXT");
    }

    uint32_t count = 0;
    vkEnumeratePhysicalDevices(gpu.instance, &count, nullptr);
    std::vector<VkPhysicalDevice> devices(count);
    vkEnumeratePhysicalDevices(gpu.instance, &count, devices.data());
    uint32_t queueFamily = 0;
    for (VkPhysicalDevice candidate : devices) {
        if (!HasGameFeatures(candidate))
            continue;
        uint32_t families = 0;
        vkGetPhysicalDeviceQueueFamilyProperties(candidate, &families, nullptr);
        std::vector<VkQueueFamilyProperties> properties(families);
        vkGetPhysicalDeviceQueueFamilyProperties(candidate, &families, properties.data());
        for (uint32_t i = 0; i < families && !gpu.physicalDevice; ++i)
            if (properties[i].queueFlags & VK_QUEUE_GRAPHICS_BIT) {
                gpu.physicalDevice = candidate;
                queueFamily = i;
            }
        if (gpu.physicalDevice)
            break;
    }
    if (!gpu.physicalDevice)
        throw std::runtime_error("no Vulkan device with graphics and the game's features");

    // What the game's device enables, and nothing more: a feature the game uses without enabling
    // it shows up in these tests as a validation error.
    DeviceFeatures required = RequiredDeviceFeatures();
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.features = required.core;
    features.pNext = &required.indexing;
    const float priority = 1.0f;
    VkDeviceQueueCreateInfo queueInfo{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
    queueInfo.queueFamilyIndex = queueFamily;
    queueInfo.queueCount = 1;
    queueInfo.pQueuePriorities = &priority;
    const char* deviceExtension = VK_EXT_DESCRIPTOR_INDEXING_EXTENSION_NAME; // no swap chain: no window
    VkDeviceCreateInfo deviceInfo{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    deviceInfo.pNext = &features;
    deviceInfo.queueCreateInfoCount = 1;
    deviceInfo.pQueueCreateInfos = &queueInfo;
    deviceInfo.enabledExtensionCount = 1;
    deviceInfo.ppEnabledExtensionNames = &deviceExtension;
    VkCheck(vkCreateDevice(gpu.physicalDevice, &deviceInfo, nullptr, &gpu.device), "vkCreateDevice");
    vkGetDeviceQueue(gpu.device, queueFamily, 0, &gpu.graphicsQueue);

    VkCommandPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
    poolInfo.flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT;
    poolInfo.queueFamilyIndex = queueFamily;
    VkCheck(vkCreateCommandPool(gpu.device, &poolInfo, nullptr, &gpu.commandPool), "vkCreateCommandPool");

    VkPhysicalDeviceProperties properties;
    vkGetPhysicalDeviceProperties(gpu.physicalDevice, &properties);
    gpu.minUniformBufferOffsetAlignment = static_cast<uint32_t>(properties.limits.minUniformBufferOffsetAlignment);
    // One sample: the tests read exact texels back (the pipelines take the count from here).
    gpu.msaaSamples = VK_SAMPLE_COUNT_1_BIT;
}

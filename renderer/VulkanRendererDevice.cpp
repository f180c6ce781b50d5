// Physical-device choice (the decisions live in DeviceSelection) and the logical device with its
// queues and enabled features.
#include "renderer/VulkanRenderer.h"

#include "app/GpuContext.h"
#include "app/VulkanCheck.h"
#include "renderer/QualityChoice.h"

#include <algorithm>
#include <stdexcept>

DeviceCandidate VulkanRenderer::DescribeDevice(VkPhysicalDevice device, QueueFamilyIndices& queues) const
{
    DeviceCandidate candidate;
    VkPhysicalDeviceProperties properties;
    vkGetPhysicalDeviceProperties(device, &properties);
    candidate.type = properties.deviceType;
    candidate.maxImageDimension2D = properties.limits.maxImageDimension2D;
    candidate.framebufferColorSampleCounts = properties.limits.framebufferColorSampleCounts;
    candidate.framebufferDepthSampleCounts = properties.limits.framebufferDepthSampleCounts;
    candidate.maxSamplerAnisotropy = properties.limits.maxSamplerAnisotropy;

    candidate.name = properties.deviceName;

    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.pNext = &candidate.features.indexing;
    vkGetPhysicalDeviceFeatures2(device, &features);
    candidate.features.core = features.features;
    candidate.features.indexing.pNext = nullptr;

    uint32_t familyCount = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(device, &familyCount, nullptr);
    std::vector<VkQueueFamilyProperties> families(familyCount);
    vkGetPhysicalDeviceQueueFamilyProperties(device, &familyCount, families.data());
    std::vector<QueueFamilyInfo> infos(familyCount);
    for (uint32_t i = 0; i < familyCount; ++i) {
        VkBool32 present = VK_FALSE;
        VkCheck(vkGetPhysicalDeviceSurfaceSupportKHR(device, i, surface, &present),
                "failed to query a queue family's present support");
        infos[i] = {families[i].queueFlags, present == VK_TRUE};
    }
    queues = FindQueueFamilies(infos);
    candidate.queues = queues;

    uint32_t extensionCount = 0;
    VkCheck(vkEnumerateDeviceExtensionProperties(device, nullptr, &extensionCount, nullptr),
            "failed to enumerate device extensions");
    std::vector<VkExtensionProperties> extensions(extensionCount);
    VkCheck(vkEnumerateDeviceExtensionProperties(device, nullptr, &extensionCount, extensions.data()),
            "failed to enumerate device extensions");
    for (const VkExtensionProperties& e : extensions)
        candidate.extensions.emplace_back(e.extensionName);

    VkCheck(vkGetPhysicalDeviceSurfaceFormatsKHR(device, surface, &candidate.surfaceFormatCount, nullptr),
            "failed to enumerate surface formats");
    VkCheck(vkGetPhysicalDeviceSurfacePresentModesKHR(device, surface, &candidate.presentModeCount, nullptr),
            "failed to enumerate present modes");
    return candidate;
}

void VulkanRenderer::PickPhysicalDevice()
{
    uint32_t count = 0;
    VkCheck(vkEnumeratePhysicalDevices(gpu.instance, &count, nullptr), "failed to enumerate GPUs");
    if (count == 0)
        throw std::runtime_error("No GPUs support vulkan");
    std::vector<VkPhysicalDevice> devices(count);
    VkCheck(vkEnumeratePhysicalDevices(gpu.instance, &count, devices.data()), "failed to enumerate GPUs");

    std::vector<DeviceCandidate> candidates;
    std::vector<QueueFamilyIndices> queues(count);
    for (uint32_t i = 0; i < count; ++i)
        candidates.push_back(DescribeDevice(devices[i], queues[i]));

    const DeviceChoice choice = ChooseDevice(candidates);
    if (!choice.index)
        throw std::runtime_error("failed to find a suitable GPU: " + choice.passedOver);
    gpu.physicalDevice = devices[*choice.index];
    deviceType = candidates[*choice.index].type;
    // The quality the renderer starts at decides the multisampling for the whole run: another
    // count needs other render passes and pipelines. Sample counts are single bits: the smaller
    // flag is the smaller count.
    const VkSampleCountFlags supported = candidates[*choice.index].framebufferColorSampleCounts &
                                         candidates[*choice.index].framebufferDepthSampleCounts;
    gpu.msaaSamples =
        std::min(QualitySamples(windowInfo->quality, deviceType, choice.msaaSamples, supported), sampleLimit);
    gpu.minSampleShading = gpu.msaaSamples == VK_SAMPLE_COUNT_1_BIT ? 0.0f : minSampleShading;
    // The textures' filtering at a slant too: each sampler is made once, with its texture.
    gpu.samplerAnisotropy =
        QualityAnisotropy(windowInfo->quality, deviceType, candidates[*choice.index].maxSamplerAnisotropy);
    queueFamilies = queues[*choice.index];
}

void VulkanRenderer::CreateLogicalDevice()
{
    const std::vector<uint32_t> families = UniqueQueueFamilies(queueFamilies);
    const float priority = 1.0f;
    std::vector<VkDeviceQueueCreateInfo> queueInfos;
    for (uint32_t family : families) {
        VkDeviceQueueCreateInfo queue{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
        queue.queueFamilyIndex = family;
        queue.queueCount = 1;
        queue.pQueuePriorities = &priority;
        queueInfos.push_back(queue);
    }

    // Exactly what the choice required of the device.
    DeviceFeatures required = RequiredDeviceFeatures();
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.features = required.core;
    features.pNext = &required.indexing;

    VkDeviceCreateInfo info{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    info.pNext = &features;
    info.queueCreateInfoCount = static_cast<uint32_t>(queueInfos.size());
    info.pQueueCreateInfos = queueInfos.data();
    info.pEnabledFeatures = nullptr;
    info.enabledExtensionCount = static_cast<uint32_t>(DeviceExtensions.size());
    info.ppEnabledExtensionNames = DeviceExtensions.data();
    info.enabledLayerCount = 0;
    VkCheck(vkCreateDevice(gpu.physicalDevice, &info, nullptr, &gpu.device), "failed to create logical device");

    vkGetDeviceQueue(gpu.device, queueFamilies.graphicsFamily.value(), 0, &gpu.graphicsQueue);
    vkGetDeviceQueue(gpu.device, queueFamilies.presentFamily.value(), 0, &presentQueue);
}

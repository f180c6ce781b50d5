#include "renderer/DeviceSelection.h"

#include <algorithm>

const std::vector<const char*> DeviceExtensions = {VK_KHR_SWAPCHAIN_EXTENSION_NAME,
                                                   VK_EXT_DESCRIPTOR_INDEXING_EXTENSION_NAME};

QueueFamilyIndices FindQueueFamilies(const std::vector<QueueFamilyInfo>& families)
{
    QueueFamilyIndices indices;
    for (uint32_t i = 0; i < families.size(); ++i) {
        if (families[i].flags & VK_QUEUE_GRAPHICS_BIT)
            indices.graphicsFamily = i;
        if (families[i].presentSupported)
            indices.presentFamily = i;
        if (indices.IsComplete())
            break;
    }
    return indices;
}

std::vector<uint32_t> UniqueQueueFamilies(const QueueFamilyIndices& indices)
{
    std::vector<uint32_t> families{indices.graphicsFamily.value(), indices.presentFamily.value()};
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

namespace {

bool SupportsAllExtensions(const std::vector<std::string>& available)
{
    for (const char* required : DeviceExtensions)
        if (std::find(available.begin(), available.end(), required) == available.end())
            return false;
    return true;
}

} // namespace

bool IsDeviceSuitable(const DeviceCandidate& device)
{
    return device.queues.IsComplete() && SupportsAllExtensions(device.extensions) && device.surfaceFormatCount > 0 &&
           device.presentModeCount > 0 && device.fillModeNonSolid && device.samplerAnisotropy &&
           device.descriptorBindingPartiallyBound && device.runtimeDescriptorArray;
}

uint64_t ScoreDevice(const DeviceCandidate& device)
{
    // A discrete GPU outweighs any image-size difference between integrated ones.
    constexpr uint64_t DiscreteBonus = 10000;
    constexpr uint64_t AnisotropyBonus = 100;
    uint64_t score = device.type == VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU ? DiscreteBonus : 0;
    score += device.maxImageDimension2D;
    if (device.samplerAnisotropy)
        score += AnisotropyBonus;
    return score;
}

VkSampleCountFlagBits MaxUsableSampleCount(VkSampleCountFlags colourCounts, VkSampleCountFlags depthCounts)
{
    const VkSampleCountFlags counts = colourCounts & depthCounts;
    for (VkSampleCountFlagBits bit : {VK_SAMPLE_COUNT_64_BIT, VK_SAMPLE_COUNT_32_BIT, VK_SAMPLE_COUNT_16_BIT,
                                      VK_SAMPLE_COUNT_8_BIT, VK_SAMPLE_COUNT_4_BIT, VK_SAMPLE_COUNT_2_BIT})
        if (counts & bit)
            return bit;
    return VK_SAMPLE_COUNT_1_BIT;
}

DeviceChoice ChooseDevice(const std::vector<DeviceCandidate>& devices)
{
    DeviceChoice choice;
    uint64_t best = 0;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (!IsDeviceSuitable(devices[i]))
            continue;
        const uint64_t score = ScoreDevice(devices[i]);
        if (score > best) {
            best = score;
            choice.index = i;
            choice.msaaSamples =
                MaxUsableSampleCount(devices[i].framebufferColorSampleCounts, devices[i].framebufferDepthSampleCounts);
        }
    }
    return choice;
}

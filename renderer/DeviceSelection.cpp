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

struct CoreFeature {
    const char* name;
    VkBool32 VkPhysicalDeviceFeatures::*flag;
};

struct IndexingFeature {
    const char* name;
    VkBool32 VkPhysicalDeviceDescriptorIndexingFeatures::*flag;
};

const CoreFeature CoreFeatures[] = {
    {"fillModeNonSolid", &VkPhysicalDeviceFeatures::fillModeNonSolid},   // the wireframe view's line fill
    {"samplerAnisotropy", &VkPhysicalDeviceFeatures::samplerAnisotropy}, // every texture sampler
    {"sampleRateShading", &VkPhysicalDeviceFeatures::sampleRateShading}, // the multisampled pipelines
    // The material shaders pick their textures from the array by a pushed index.
    {"shaderSampledImageArrayDynamicIndexing", &VkPhysicalDeviceFeatures::shaderSampledImageArrayDynamicIndexing},
};

// The material shaders index one runtime-sized texture array that is never fully written.
const IndexingFeature IndexingFeatures[] = {
    {"runtimeDescriptorArray", &VkPhysicalDeviceDescriptorIndexingFeatures::runtimeDescriptorArray},
    {"descriptorBindingPartiallyBound", &VkPhysicalDeviceDescriptorIndexingFeatures::descriptorBindingPartiallyBound},
};

std::string Joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : separator) + part;
    return joined;
}

} // namespace

DeviceFeatures RequiredDeviceFeatures()
{
    DeviceFeatures features;
    for (const CoreFeature& f : CoreFeatures)
        features.core.*f.flag = VK_TRUE;
    for (const IndexingFeature& f : IndexingFeatures)
        features.indexing.*f.flag = VK_TRUE;
    return features;
}

std::vector<std::string> MissingDeviceFeatures(const DeviceFeatures& available)
{
    std::vector<std::string> missing;
    for (const CoreFeature& f : CoreFeatures)
        if (!(available.core.*f.flag))
            missing.emplace_back(f.name);
    for (const IndexingFeature& f : IndexingFeatures)
        if (!(available.indexing.*f.flag))
            missing.emplace_back(f.name);
    return missing;
}

std::string UnsuitableReason(const DeviceCandidate& device)
{
    std::vector<std::string> reasons;
    if (!device.queues.graphicsFamily)
        reasons.emplace_back("no graphics queue");
    if (!device.queues.presentFamily)
        reasons.emplace_back("no queue that presents to the window");
    std::vector<std::string> extensions;
    for (const char* required : DeviceExtensions)
        if (std::find(device.extensions.begin(), device.extensions.end(), required) == device.extensions.end())
            extensions.emplace_back(required);
    if (!extensions.empty())
        reasons.push_back("lacks the extensions " + Joined(extensions, ", "));
    if (device.surfaceFormatCount == 0)
        reasons.emplace_back("no surface format for the window");
    if (device.presentModeCount == 0)
        reasons.emplace_back("no present mode for the window");
    const std::vector<std::string> features = MissingDeviceFeatures(device.features);
    if (!features.empty())
        reasons.push_back("lacks the features " + Joined(features, ", "));
    return Joined(reasons, ", ");
}

bool IsDeviceSuitable(const DeviceCandidate& device)
{
    return UnsuitableReason(device).empty();
}

uint64_t ScoreDevice(const DeviceCandidate& device)
{
    // A discrete GPU outweighs any image-size difference between integrated ones.
    constexpr uint64_t DiscreteBonus = 10000;
    constexpr uint64_t AnisotropyBonus = 100;
    uint64_t score = device.type == VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU ? DiscreteBonus : 0;
    score += device.maxImageDimension2D;
    if (device.features.core.samplerAnisotropy)
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
        const std::string reason = UnsuitableReason(devices[i]);
        if (!reason.empty()) {
            choice.passedOver += (choice.passedOver.empty() ? "" : "; ") + devices[i].name + ": " + reason;
            continue;
        }
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

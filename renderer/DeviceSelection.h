// Pure decisions of device bring-up: queue families, suitability, scoring, the choice among
// devices and the multisample count. Plain structs in, answers out; the Vulkan queries that fill
// the structs live in the renderer.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The device extensions every chosen GPU must offer, in the order they are enabled.
extern const std::vector<const char*> DeviceExtensions;

struct QueueFamilyIndices {
    std::optional<uint32_t> graphicsFamily;
    std::optional<uint32_t> presentFamily;

    bool IsComplete() const { return graphicsFamily.has_value() && presentFamily.has_value(); }
};

struct QueueFamilyInfo {
    VkQueueFlags flags = 0;
    bool presentSupported = false;
};

// Visits families in index order and stops after the first one at whose end both are set, so a
// later graphics family overwrites an earlier one only while no present family was found.
QueueFamilyIndices FindQueueFamilies(const std::vector<QueueFamilyInfo>& families);

// The distinct families that get one queue each, ascending (one entry when both are equal).
std::vector<uint32_t> UniqueQueueFamilies(const QueueFamilyIndices& indices);

// What the choice needs to know about one physical device.
struct DeviceCandidate {
    VkPhysicalDeviceType type = VK_PHYSICAL_DEVICE_TYPE_OTHER;
    uint32_t maxImageDimension2D = 0;
    VkSampleCountFlags framebufferColorSampleCounts = VK_SAMPLE_COUNT_1_BIT;
    VkSampleCountFlags framebufferDepthSampleCounts = VK_SAMPLE_COUNT_1_BIT;
    bool fillModeNonSolid = false;
    bool samplerAnisotropy = false;
    bool descriptorBindingPartiallyBound = false;
    bool runtimeDescriptorArray = false;
    QueueFamilyIndices queues;
    std::vector<std::string> extensions;
    uint32_t surfaceFormatCount = 0;
    uint32_t presentModeCount = 0;
};

bool IsDeviceSuitable(const DeviceCandidate& device);

// 10000 for a discrete GPU, plus maxImageDimension2D, plus 100 with anisotropic filtering.
uint64_t ScoreDevice(const DeviceCandidate& device);

// Highest of 64..2 present in both masks, else 1.
VkSampleCountFlagBits MaxUsableSampleCount(VkSampleCountFlags colourCounts, VkSampleCountFlags depthCounts);

struct DeviceChoice {
    std::optional<size_t> index; // empty: no suitable device
    VkSampleCountFlagBits msaaSamples = VK_SAMPLE_COUNT_1_BIT;
};

// A suitable device replaces the choice only with a strictly greater score (the best starts at 0),
// so among equal scores the first enumerated wins.
DeviceChoice ChooseDevice(const std::vector<DeviceCandidate>& devices);

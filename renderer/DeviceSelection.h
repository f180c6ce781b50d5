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

// Device features as Vulkan reports and enables them: the core set and the descriptor-indexing
// set chained behind it (pNext of `indexing` stays null).
struct DeviceFeatures {
    VkPhysicalDeviceFeatures core{};
    VkPhysicalDeviceDescriptorIndexingFeatures indexing{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DESCRIPTOR_INDEXING_FEATURES};
};

// The one list of features the game's shaders and pipelines use: a device must offer each to be
// chosen, and the device is created with exactly these (the game's and the tests' alike).
DeviceFeatures RequiredDeviceFeatures();

// The names of the required features `available` lacks, in the list's order; empty when none.
std::vector<std::string> MissingDeviceFeatures(const DeviceFeatures& available);

// What the choice needs to know about one physical device.
struct DeviceCandidate {
    std::string name; // the driver's device name, for the reason a device is passed over
    VkPhysicalDeviceType type = VK_PHYSICAL_DEVICE_TYPE_OTHER;
    uint32_t maxImageDimension2D = 0;
    VkSampleCountFlags framebufferColorSampleCounts = VK_SAMPLE_COUNT_1_BIT;
    VkSampleCountFlags framebufferDepthSampleCounts = VK_SAMPLE_COUNT_1_BIT;
    float maxSamplerAnisotropy = 1.0f;
    DeviceFeatures features;
    QueueFamilyIndices queues;
    std::vector<std::string> extensions;
    uint32_t surfaceFormatCount = 0;
    uint32_t presentModeCount = 0;
};

// Why the device cannot run the game, every shortfall named; empty when it can.
std::string UnsuitableReason(const DeviceCandidate& device);
bool IsDeviceSuitable(const DeviceCandidate& device);

// 10000 for a discrete GPU, plus maxImageDimension2D, plus 100 with anisotropic filtering.
uint64_t ScoreDevice(const DeviceCandidate& device);

// Highest of 64..2 present in both masks, else 1.
VkSampleCountFlagBits MaxUsableSampleCount(VkSampleCountFlags colourCounts, VkSampleCountFlags depthCounts);

struct DeviceChoice {
    std::optional<size_t> index; // empty: no suitable device
    VkSampleCountFlagBits msaaSamples = VK_SAMPLE_COUNT_1_BIT;
    std::string passedOver; // each unsuitable device by name with its reason, "; " between
};

// A suitable device replaces the choice only with a strictly greater score (the best starts at 0),
// so among equal scores the first enumerated wins.
DeviceChoice ChooseDevice(const std::vector<DeviceCandidate>& devices);

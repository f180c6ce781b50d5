// A Vulkan instance and device for the tests that draw, lent to the engine: the first device with
// graphics, runtime descriptor arrays and the features the game enables (Mesa's lavapipe where
// there is no GPU), installed as the process-wide GpuContext so that the engine's own buffer,
// image, descriptor and pipeline code runs on it. The validation layer's errors are collected.
#pragma once

#include <vulkan/vulkan.h>

#include <string>
#include <vector>

class VulkanTestDevice {
public:
    VulkanTestDevice();
    // Waits for the device, destroys it and empties the GpuContext again.
    ~VulkanTestDevice();
    VulkanTestDevice(const VulkanTestDevice&) = delete;
    VulkanTestDevice& operator=(const VulkanTestDevice&) = delete;

    // Empty when the device is ready; otherwise why there is none.
    const std::string& UnavailableReason() const { return unavailableReason; }
    const std::vector<std::string>& ValidationErrors() const { return validationErrors; }

private:
    void CreateDevice();
    static VKAPI_ATTR VkBool32 VKAPI_CALL OnValidationMessage(VkDebugUtilsMessageSeverityFlagBitsEXT severity,
                                                              VkDebugUtilsMessageTypeFlagsEXT types,
                                                              const VkDebugUtilsMessengerCallbackDataEXT* data,
                                                              void* user);

    std::string unavailableReason;
    std::vector<std::string> validationErrors;
    bool ownsContext = false; // the GpuContext was empty and is ours to fill and clear
    VkDebugUtilsMessengerEXT messenger = VK_NULL_HANDLE;
};

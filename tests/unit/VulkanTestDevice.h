// A Vulkan instance and device for the tests that draw: the first device with graphics and
// runtime descriptor arrays (Mesa's lavapipe where there is no GPU), with the validation layer's
// errors collected, and the few buffer, image and command helpers those tests need.
#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

inline void CheckVk(VkResult result, const char* what)
{
    if (result != VK_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
}

class VulkanTestDevice {
public:
    struct Buffer {
        VkBuffer buffer = VK_NULL_HANDLE;
        VkDeviceMemory memory = VK_NULL_HANDLE;
    };
    struct Image {
        VkImage image = VK_NULL_HANDLE;
        VkDeviceMemory memory = VK_NULL_HANDLE;
        VkImageView view = VK_NULL_HANDLE;
    };

    VulkanTestDevice();
    ~VulkanTestDevice();
    VulkanTestDevice(const VulkanTestDevice&) = delete;
    VulkanTestDevice& operator=(const VulkanTestDevice&) = delete;

    // Empty when the device is ready; otherwise why there is none.
    const std::string& UnavailableReason() const { return unavailableReason; }
    const std::vector<std::string>& ValidationErrors() const { return validationErrors; }
    VkDevice Device() const { return device; }

    // Host-visible and coherent, filled with `data` (zeros when null).
    Buffer CreateBuffer(VkDeviceSize size, VkBufferUsageFlags usage, const void* data);
    // Six layers make a cube-compatible image with a cube view.
    Image CreateImage(uint32_t width, uint32_t height, uint32_t layers, VkFormat format, VkImageUsageFlags usage,
                      VkImageAspectFlags aspect);
    // Fills every layer and leaves the image ready for sampling.
    void UploadImage(const Image& image, uint32_t width, uint32_t height, uint32_t layers,
                     const std::vector<uint8_t>& bytes);
    void ReadBack(const Buffer& buffer, void* out, size_t size);
    VkCommandBuffer BeginCommands();
    void SubmitAndWait(VkCommandBuffer commands);
    void Destroy(Buffer& buffer);
    void Destroy(Image& image);

private:
    void CreateDevice();
    uint32_t FindMemory(uint32_t typeBits, VkMemoryPropertyFlags properties) const;
    static VKAPI_ATTR VkBool32 VKAPI_CALL OnValidationMessage(VkDebugUtilsMessageSeverityFlagBitsEXT severity,
                                                              VkDebugUtilsMessageTypeFlagsEXT types,
                                                              const VkDebugUtilsMessengerCallbackDataEXT* data,
                                                              void* user);

    std::string unavailableReason;
    std::vector<std::string> validationErrors;
    VkInstance instance = VK_NULL_HANDLE;
    VkDebugUtilsMessengerEXT messenger = VK_NULL_HANDLE;
    VkPhysicalDevice physicalDevice = VK_NULL_HANDLE;
    VkDevice device = VK_NULL_HANDLE;
    uint32_t queueFamily = 0;
    VkQueue queue = VK_NULL_HANDLE;
    VkCommandPool commandPool = VK_NULL_HANDLE;
};

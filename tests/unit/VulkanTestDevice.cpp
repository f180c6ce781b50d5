// Vulkan device for the drawing tests (see VulkanTestDevice.h).
#include "VulkanTestDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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
    try {
        CreateDevice();
    } catch (const std::exception& e) {
        unavailableReason = e.what();
    }
}

VulkanTestDevice::~VulkanTestDevice()
{
    if (device) {
        if (vkDeviceWaitIdle(device) != VK_SUCCESS)
            ADD_FAILURE() << "the test device did not finish its work";
        vkDestroyCommandPool(device, commandPool, nullptr);
        vkDestroyDevice(device, nullptr);
    }
    if (messenger) {
        auto destroy = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(instance, "vkDestroyDebugUtilsMessengerEXT"));
        destroy(instance, messenger, nullptr);
    }
    if (instance)
        vkDestroyInstance(instance, nullptr);
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
    CheckVk(vkCreateInstance(&instanceInfo, nullptr, &instance), "vkCreateInstance");
    if (validate) {
        VkDebugUtilsMessengerCreateInfoEXT messengerInfo{VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT};
        messengerInfo.messageSeverity =
            VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT;
        messengerInfo.messageType =
            VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT;
        messengerInfo.pfnUserCallback = &OnValidationMessage;
        messengerInfo.pUserData = this;
        auto create = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(instance, "vkCreateDebugUtilsMessengerEXT"));
        if (create)
            CheckVk(create(instance, &messengerInfo, nullptr, &messenger), "vkCreateDebugUtilsMessengerEXT");
    }

    uint32_t count = 0;
    vkEnumeratePhysicalDevices(instance, &count, nullptr);
    std::vector<VkPhysicalDevice> devices(count);
    vkEnumeratePhysicalDevices(instance, &count, devices.data());
    for (VkPhysicalDevice candidate : devices) {
        uint32_t families = 0;
        vkGetPhysicalDeviceQueueFamilyProperties(candidate, &families, nullptr);
        std::vector<VkQueueFamilyProperties> properties(families);
        vkGetPhysicalDeviceQueueFamilyProperties(candidate, &families, properties.data());
        VkPhysicalDeviceDescriptorIndexingFeaturesEXT indexing{
            VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DESCRIPTOR_INDEXING_FEATURES_EXT};
        VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
        features.pNext = &indexing;
        vkGetPhysicalDeviceFeatures2(candidate, &features);
        if (!indexing.runtimeDescriptorArray || !features.features.shaderSampledImageArrayDynamicIndexing)
            continue;
        for (uint32_t i = 0; i < families; ++i) {
            if (properties[i].queueFlags & VK_QUEUE_GRAPHICS_BIT) {
                physicalDevice = candidate;
                queueFamily = i;
                break;
            }
        }
        if (physicalDevice)
            break;
    }
    if (!physicalDevice)
        throw std::runtime_error("no Vulkan device with graphics and runtime descriptor arrays");

    // What the game enables: descriptor indexing for the runtime texture array.
    VkPhysicalDeviceDescriptorIndexingFeaturesEXT indexing{
        VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DESCRIPTOR_INDEXING_FEATURES_EXT};
    indexing.runtimeDescriptorArray = VK_TRUE;
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.pNext = &indexing;
    features.features.shaderSampledImageArrayDynamicIndexing = VK_TRUE;
    const float priority = 1.0f;
    VkDeviceQueueCreateInfo queueInfo{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
    queueInfo.queueFamilyIndex = queueFamily;
    queueInfo.queueCount = 1;
    queueInfo.pQueuePriorities = &priority;
    const char* deviceExtension = VK_EXT_DESCRIPTOR_INDEXING_EXTENSION_NAME;
    VkDeviceCreateInfo deviceInfo{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    deviceInfo.pNext = &features;
    deviceInfo.queueCreateInfoCount = 1;
    deviceInfo.pQueueCreateInfos = &queueInfo;
    deviceInfo.enabledExtensionCount = 1;
    deviceInfo.ppEnabledExtensionNames = &deviceExtension;
    CheckVk(vkCreateDevice(physicalDevice, &deviceInfo, nullptr, &device), "vkCreateDevice");
    vkGetDeviceQueue(device, queueFamily, 0, &queue);

    VkCommandPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
    poolInfo.queueFamilyIndex = queueFamily;
    CheckVk(vkCreateCommandPool(device, &poolInfo, nullptr, &commandPool), "vkCreateCommandPool");
}

uint32_t VulkanTestDevice::FindMemory(uint32_t typeBits, VkMemoryPropertyFlags properties) const
{
    VkPhysicalDeviceMemoryProperties memory;
    vkGetPhysicalDeviceMemoryProperties(physicalDevice, &memory);
    for (uint32_t i = 0; i < memory.memoryTypeCount; ++i)
        if ((typeBits & (1u << i)) && (memory.memoryTypes[i].propertyFlags & properties) == properties)
            return i;
    throw std::runtime_error("no suitable memory type");
}

VulkanTestDevice::Buffer VulkanTestDevice::CreateBuffer(VkDeviceSize size, VkBufferUsageFlags usage, const void* data)
{
    Buffer b;
    VkBufferCreateInfo info{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
    info.size = size;
    info.usage = usage;
    CheckVk(vkCreateBuffer(device, &info, nullptr, &b.buffer), "vkCreateBuffer");
    VkMemoryRequirements needs;
    vkGetBufferMemoryRequirements(device, b.buffer, &needs);
    VkMemoryAllocateInfo alloc{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    alloc.allocationSize = needs.size;
    alloc.memoryTypeIndex =
        FindMemory(needs.memoryTypeBits, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    CheckVk(vkAllocateMemory(device, &alloc, nullptr, &b.memory), "vkAllocateMemory");
    CheckVk(vkBindBufferMemory(device, b.buffer, b.memory, 0), "vkBindBufferMemory");
    void* mapped = nullptr;
    CheckVk(vkMapMemory(device, b.memory, 0, size, 0, &mapped), "vkMapMemory");
    if (data)
        std::memcpy(mapped, data, size);
    else
        std::memset(mapped, 0, size);
    vkUnmapMemory(device, b.memory);
    return b;
}

VulkanTestDevice::Image VulkanTestDevice::CreateImage(uint32_t width, uint32_t height, uint32_t layers, VkFormat format,
                                                      VkImageUsageFlags usage, VkImageAspectFlags aspect)
{
    Image im;
    VkImageCreateInfo info{VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
    info.flags = layers == 6 ? VK_IMAGE_CREATE_CUBE_COMPATIBLE_BIT : 0;
    info.imageType = VK_IMAGE_TYPE_2D;
    info.format = format;
    info.extent = {width, height, 1};
    info.mipLevels = 1;
    info.arrayLayers = layers;
    info.samples = VK_SAMPLE_COUNT_1_BIT;
    info.tiling = VK_IMAGE_TILING_OPTIMAL;
    info.usage = usage;
    info.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    CheckVk(vkCreateImage(device, &info, nullptr, &im.image), "vkCreateImage");
    VkMemoryRequirements needs;
    vkGetImageMemoryRequirements(device, im.image, &needs);
    VkMemoryAllocateInfo alloc{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    alloc.allocationSize = needs.size;
    alloc.memoryTypeIndex = FindMemory(needs.memoryTypeBits, 0);
    CheckVk(vkAllocateMemory(device, &alloc, nullptr, &im.memory), "vkAllocateMemory");
    CheckVk(vkBindImageMemory(device, im.image, im.memory, 0), "vkBindImageMemory");
    VkImageViewCreateInfo viewInfo{VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO};
    viewInfo.image = im.image;
    viewInfo.viewType = layers == 6 ? VK_IMAGE_VIEW_TYPE_CUBE : VK_IMAGE_VIEW_TYPE_2D;
    viewInfo.format = format;
    viewInfo.subresourceRange = {aspect, 0, 1, 0, layers};
    CheckVk(vkCreateImageView(device, &viewInfo, nullptr, &im.view), "vkCreateImageView");
    return im;
}

VkCommandBuffer VulkanTestDevice::BeginCommands()
{
    VkCommandBufferAllocateInfo alloc{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
    alloc.commandPool = commandPool;
    alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    alloc.commandBufferCount = 1;
    VkCommandBuffer commands = VK_NULL_HANDLE;
    CheckVk(vkAllocateCommandBuffers(device, &alloc, &commands), "vkAllocateCommandBuffers");
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    CheckVk(vkBeginCommandBuffer(commands, &begin), "vkBeginCommandBuffer");
    return commands;
}

void VulkanTestDevice::SubmitAndWait(VkCommandBuffer commands)
{
    CheckVk(vkEndCommandBuffer(commands), "vkEndCommandBuffer");
    VkSubmitInfo submit{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commands;
    CheckVk(vkQueueSubmit(queue, 1, &submit, VK_NULL_HANDLE), "vkQueueSubmit");
    CheckVk(vkQueueWaitIdle(queue), "vkQueueWaitIdle");
    vkFreeCommandBuffers(device, commandPool, 1, &commands);
}

void VulkanTestDevice::UploadImage(const Image& image, uint32_t width, uint32_t height, uint32_t layers,
                                   const std::vector<uint8_t>& bytes)
{
    Buffer staging = CreateBuffer(bytes.size(), VK_BUFFER_USAGE_TRANSFER_SRC_BIT, bytes.data());
    VkCommandBuffer commands = BeginCommands();
    VkImageMemoryBarrier barrier{VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = image.image;
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, layers};
    barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    barrier.newLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
    barrier.dstAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    vkCmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT, 0, 0, nullptr, 0,
                         nullptr, 1, &barrier);
    VkBufferImageCopy copy{};
    copy.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, layers};
    copy.imageExtent = {width, height, 1};
    vkCmdCopyBufferToImage(commands, staging.buffer, image.image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &copy);
    barrier.oldLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
    barrier.newLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
    barrier.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    barrier.dstAccessMask = VK_ACCESS_SHADER_READ_BIT;
    vkCmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT, 0, 0, nullptr,
                         0, nullptr, 1, &barrier);
    SubmitAndWait(commands);
    Destroy(staging);
}

void VulkanTestDevice::ReadBack(const Buffer& buffer, void* out, size_t size)
{
    void* mapped = nullptr;
    CheckVk(vkMapMemory(device, buffer.memory, 0, size, 0, &mapped), "vkMapMemory");
    std::memcpy(out, mapped, size);
    vkUnmapMemory(device, buffer.memory);
}

void VulkanTestDevice::Destroy(Buffer& buffer)
{
    vkDestroyBuffer(device, buffer.buffer, nullptr);
    vkFreeMemory(device, buffer.memory, nullptr);
    buffer = {};
}

void VulkanTestDevice::Destroy(Image& image)
{
    vkDestroyImageView(device, image.view, nullptr);
    vkDestroyImage(device, image.image, nullptr);
    vkFreeMemory(device, image.memory, nullptr);
    image = {};
}

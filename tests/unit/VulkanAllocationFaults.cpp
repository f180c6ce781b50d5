#include "VulkanAllocationFaults.h"

#include <vulkan/vulkan.h>

namespace {

int failOrdinal = 0;
int seen = 0;

} // namespace

namespace VulkanAllocationFaults {

void FailAllocation(int ordinal)
{
    failOrdinal = ordinal;
    seen = 0;
}

int AllocationsSeen()
{
    return seen;
}

} // namespace VulkanAllocationFaults

extern "C" VKAPI_ATTR VkResult VKAPI_CALL vkAllocateMemory(VkDevice device, const VkMemoryAllocateInfo* info,
                                                           const VkAllocationCallbacks* allocator,
                                                           VkDeviceMemory* memory)
{
    ++seen;
    if (failOrdinal != 0 && seen == failOrdinal)
        return VK_ERROR_OUT_OF_DEVICE_MEMORY;
    // The device-level entry point of the driver (or the first layer), never this function again.
    const auto next =
        reinterpret_cast<PFN_vkAllocateMemory>(vkGetDeviceProcAddr(device, "vkAllocateMemory"));
    return next(device, info, allocator, memory);
}

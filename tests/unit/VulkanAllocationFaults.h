// Makes one chosen device-memory allocation fail, so that the engine's recovery from an
// out-of-memory part-way through building a GPU resource can be tested. The test binary defines
// vkAllocateMemory itself: the engine's calls link to it ahead of the loader's and it forwards to
// the driver, failing only the allocation that was asked for.
#pragma once

namespace VulkanAllocationFaults {

// The allocation that fails: 1 for the next one, 2 for the one after, ...; 0 fails none.
void FailAllocation(int ordinal);
// Allocations made since FailAllocation, the failed one included.
int AllocationsSeen();

} // namespace VulkanAllocationFaults

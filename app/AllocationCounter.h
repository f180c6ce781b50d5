// What the program's global allocation operator (app/GlobalAllocator.cpp) has counted. Only the
// game executable, the benchmarks and the allocator's own tests link that operator.
#pragma once

#include <cstddef>
#include <cstdint>

// Allocations made through any form of operator new since the process started, on every thread.
uint64_t AllocationCount();
// Allocations not yet released: what a leak makes grow.
int64_t LiveAllocationCount();

// Called with the size of every allocation while set, before the memory is taken; for finding
// where allocations come from. It must not allocate itself. Null switches it off.
using AllocationObserver = void (*)(std::size_t size);
void SetAllocationObserver(AllocationObserver observer);

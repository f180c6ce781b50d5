// The program's global allocation operator: every form of operator new and delete takes memory
// from the C heap and counts each allocation, so benchmarks can hold frames to zero. It is linked
// into executables as an object file: a replacement operator inside a static library is only
// pulled in when something else happens to need that archive member.
#include "app/AllocationCounter.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> allocations{0};
std::atomic<uint64_t> releases{0};
std::atomic<AllocationObserver> observer{nullptr};

void Count(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (AllocationObserver watch = observer.load(std::memory_order_relaxed))
        watch(size);
}

// Null when the heap has no room. A request of zero bytes still gets a pointer of its own.
void* TakeFromHeap(std::size_t size, std::size_t alignment)
{
    if (size == 0)
        size = 1;
    if (alignment <= alignof(std::max_align_t))
        return std::malloc(size);
    // aligned_alloc wants a size that is a whole number of alignments.
    if (size > SIZE_MAX - (alignment - 1))
        return nullptr;
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

// A failed allocation lets the new-handler make room, as the standard forms do, and throws when
// there is no handler: a null pointer from a throwing new would only crash later.
void* Allocate(std::size_t size, std::size_t alignment)
{
    Count(size);
    for (;;) {
        if (void* p = TakeFromHeap(size, alignment))
            return p;
        const std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void* AllocateOrNull(std::size_t size, std::size_t alignment) noexcept
{
    try {
        return Allocate(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void Release(void* p) noexcept
{
    if (!p)
        return;
    releases.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}

constexpr std::size_t Plain = alignof(std::max_align_t);

} // namespace

uint64_t AllocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

int64_t LiveAllocationCount()
{
    // A failed allocation was counted but never returned: it stays in the figure, which only a
    // leak check compares against itself.
    return static_cast<int64_t>(allocations.load(std::memory_order_relaxed)) -
           static_cast<int64_t>(releases.load(std::memory_order_relaxed));
}

void SetAllocationObserver(AllocationObserver watch)
{
    observer.store(watch, std::memory_order_relaxed);
}

// Kept opaque to the optimiser: inlined, it would see malloc paired with delete and warn.
[[gnu::noipa]] void* operator new(std::size_t size)
{
    return Allocate(size, Plain);
}
[[gnu::noipa]] void* operator new[](std::size_t size)
{
    return Allocate(size, Plain);
}
[[gnu::noipa]] void* operator new(std::size_t size, std::align_val_t alignment)
{
    return Allocate(size, static_cast<std::size_t>(alignment));
}
[[gnu::noipa]] void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return Allocate(size, static_cast<std::size_t>(alignment));
}
[[gnu::noipa]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, Plain);
}
[[gnu::noipa]] void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, Plain);
}
[[gnu::noipa]] void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}
[[gnu::noipa]] void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size, static_cast<std::size_t>(alignment));
}

[[gnu::noipa]] void operator delete(void* p) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete(void* p, std::size_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p, std::size_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete(void* p, std::align_val_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p, std::align_val_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(p);
}
[[gnu::noipa]] void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    Release(p);
}

// The program's global allocation operator, in a binary of its own (the shared test binary keeps
// the standard one): every form counts once, honours its alignment, and a failed allocation
// throws from the throwing forms and yields null from the nothrow ones.
#include "app/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

namespace {

// Out of the optimiser's sight, so no allocation below is folded away or its size checked at
// compile time.
void* volatile sink = nullptr;
volatile std::size_t impossibleSize = SIZE_MAX / 2;

void* Keep(void* p)
{
    sink = p;
    return p;
}

uint64_t AllocationsDuring(const std::function<void()>& work)
{
    const uint64_t before = AllocationCount();
    work();
    return AllocationCount() - before;
}

bool AlignedTo(const void* p, std::size_t alignment)
{
    return reinterpret_cast<std::uintptr_t>(p) % alignment == 0;
}

} // namespace

TEST(GlobalAllocator, EveryFormOfNewCountsOnceAndDeleteNever)
{
    const std::align_val_t wide{64};
    const std::vector<std::function<void()>> pairs = {
        [] { ::operator delete(Keep(::operator new(24))); },
        [] { ::operator delete[](Keep(::operator new[](24))); },
        [] { ::operator delete(Keep(::operator new(24, std::nothrow)), std::nothrow); },
        [] { ::operator delete[](Keep(::operator new[](24, std::nothrow)), std::nothrow); },
        [&] { ::operator delete(Keep(::operator new(24, wide)), wide); },
        [&] { ::operator delete[](Keep(::operator new[](24, wide)), wide); },
        [&] { ::operator delete(Keep(::operator new(24, wide, std::nothrow)), wide, std::nothrow); },
        [&] { ::operator delete[](Keep(::operator new[](24, wide, std::nothrow)), wide, std::nothrow); },
        [] { ::operator delete(Keep(::operator new(24)), 24); },
        [&] { ::operator delete(Keep(::operator new(24, wide)), 24, wide); },
    };
    for (size_t i = 0; i < pairs.size(); ++i) {
        const int64_t live = LiveAllocationCount();
        EXPECT_EQ(AllocationsDuring(pairs[i]), 1u) << "pair " << i;
        EXPECT_EQ(LiveAllocationCount(), live) << "every form of delete releases: pair " << i;
    }
    EXPECT_EQ(AllocationsDuring([] { ::operator delete(nullptr); }), 0u);
}

TEST(GlobalAllocator, LiveCountGrowsWithWhatIsKeptAndFallsWithWhatIsReleased)
{
    const int64_t live = LiveAllocationCount();
    std::vector<void*> kept;
    kept.reserve(8);
    const int64_t withVector = LiveAllocationCount();
    EXPECT_EQ(withVector, live + 1);
    for (int i = 0; i < 5; ++i)
        kept.push_back(::operator new(16));
    EXPECT_EQ(LiveAllocationCount(), withVector + 5);
    for (void* p : kept)
        ::operator delete(p);
    EXPECT_EQ(LiveAllocationCount(), withVector);
    ::operator delete(nullptr); // nothing released, nothing counted
    EXPECT_EQ(LiveAllocationCount(), withVector);
}

TEST(GlobalAllocator, OverAlignedRequestsAreAlignedWhateverTheirSize)
{
    for (std::size_t alignment : {32u, 64u, 4096u})
        for (std::size_t size : {std::size_t{1}, alignment - 1, alignment + 1, 3 * alignment + 5}) {
            void* p = ::operator new (size, std::align_val_t{alignment});
            EXPECT_TRUE(AlignedTo(p, alignment)) << size << " bytes at " << alignment;
            static_cast<char*>(p)[size - 1] = 1; // the whole request is usable
            ::operator delete (p, std::align_val_t{alignment});
        }
    struct alignas(128) Block {
        char bytes[200];
    };
    Block* blocks = new Block[3];
    EXPECT_TRUE(AlignedTo(blocks, 128));
    delete[] blocks;
}

TEST(GlobalAllocator, ZeroBytesStillGiveDistinctPointers)
{
    void* a = ::operator new(0);
    void* b = ::operator new(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    ::operator delete(a);
    ::operator delete(b);
}

TEST(GlobalAllocator, FailureThrowsFromThrowingFormsAndIsNullFromNothrowForms)
{
    EXPECT_THROW(Keep(::operator new(impossibleSize)), std::bad_alloc);
    EXPECT_THROW(Keep(::operator new[](impossibleSize)), std::bad_alloc);
    EXPECT_THROW(Keep(::operator new (impossibleSize, std::align_val_t{64})), std::bad_alloc);
    // Rounding up to whole alignments would overflow.
    EXPECT_THROW(Keep(::operator new (impossibleSize * 2 - 7, std::align_val_t{64})), std::bad_alloc);
    EXPECT_EQ(::operator new(impossibleSize, std::nothrow), nullptr);
    EXPECT_EQ(::operator new[](impossibleSize, std::nothrow), nullptr);
    EXPECT_EQ(::operator new (impossibleSize, std::align_val_t{64}, std::nothrow), nullptr);
}

namespace {
int handlerCalls = 0;
void GiveUpAfterOneTry()
{
    ++handlerCalls;
    std::set_new_handler(nullptr);
}
} // namespace

TEST(GlobalAllocator, FailureAsksTheNewHandlerBeforeThrowing)
{
    handlerCalls = 0;
    std::set_new_handler(GiveUpAfterOneTry);
    EXPECT_THROW(Keep(::operator new(impossibleSize)), std::bad_alloc);
    EXPECT_EQ(handlerCalls, 1);
    std::set_new_handler(GiveUpAfterOneTry);
    EXPECT_EQ(::operator new(impossibleSize, std::nothrow), nullptr);
    EXPECT_EQ(handlerCalls, 2);
    std::set_new_handler(nullptr);
}

namespace {
std::size_t observedSizes[4] = {};
int observed = 0;
void Observe(std::size_t size)
{
    if (observed < 4)
        observedSizes[observed] = size;
    ++observed;
}
} // namespace

TEST(GlobalAllocator, ObserverSeesEachSizeUntilSwitchedOff)
{
    observed = 0;
    SetAllocationObserver(Observe);
    ::operator delete(Keep(::operator new(40)));
    ::operator delete[](Keep(::operator new[](7, std::align_val_t{64})), std::align_val_t{64});
    SetAllocationObserver(nullptr);
    ::operator delete(Keep(::operator new(40)));
    ASSERT_EQ(observed, 2);
    EXPECT_EQ(observedSizes[0], 40u);
    EXPECT_EQ(observedSizes[1], 7u);
}

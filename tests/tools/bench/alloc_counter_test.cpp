// The interposed allocator (linked into this test as into lumarq-bench): it counts only while
// switched on, only on the counted thread, and tells our operator new calls from the total.
#include "alloc_counter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

namespace {

// Keeps the compiler from dropping an allocation whose result is unused.
void* volatile sink = nullptr;

}  // namespace

TEST(AllocCounter, CountsOnlyWhileOnAndOnlyOnTheCountedThread)
{
    countAllocationsOfThisThread();
    const AllocationCounts before = allocationCounts();

    sink = malloc(32);
    free(sink);
    EXPECT_EQ(allocationCounts().mallocCalls, before.mallocCalls) << "counted while off";

    // The other thread exists before counting starts and allocates while it is on.
    std::atomic<int> step{0};
    std::thread other([&step] {
        while (step.load() != 1) {
        }
        for (int i = 0; i < 5; ++i) {
            void* block = malloc(16);
            free(block);
            block = ::operator new(16);
            ::operator delete(block);
        }
        step.store(2);
    });
    setAllocationCounting(true);
    step.store(1);
    while (step.load() != 2) {
    }
    sink = malloc(32);
    free(sink);
    sink = calloc(4, 8);
    sink = realloc(sink, 64);
    free(sink);
    setAllocationCounting(false);
    other.join();
    const AllocationCounts after = allocationCounts();
    EXPECT_EQ(after.mallocCalls - before.mallocCalls, 3u);
    EXPECT_EQ(after.newCalls - before.newCalls, 0u);
}

TEST(AllocCounter, OperatorNewFromOurCodeCountsAsOurs)
{
    countAllocationsOfThisThread();
    const AllocationCounts before = allocationCounts();
    setAllocationCounting(true);
    sink = ::operator new(24);
    ::operator delete(sink);
    // A long string is allocated by the C++ library on our behalf: still ours.
    std::string text(200, 'x');
    sink = &text[0];
    // The array, nothrow and aligned forms count once each, as ours.
    int* array = new int[50];
    sink = array;
    delete[] array;
    sink = new (std::nothrow) double(1.0);
    delete static_cast<double*>(sink);
    struct alignas(64) Wide {
        char bytes[64];
    };
    sink = new Wide[2];
    delete[] static_cast<Wide*>(sink);
    setAllocationCounting(false);
    const AllocationCounts after = allocationCounts();
    EXPECT_EQ(after.newCalls - before.newCalls, 5u);
    EXPECT_EQ(after.ourNewCalls - before.ourNewCalls, 5u);
    EXPECT_EQ(after.mallocCalls - before.mallocCalls, 5u);
}

// Heap allocation counts of one thread, from the allocator that the bench executable interposes
// (malloc and friends for everything in the process, operator new for C++ code).
#pragma once
#include <cstdint>

struct AllocationCounts {
    uint64_t mallocCalls = 0;  // malloc, calloc, realloc, aligned allocations: ours and the libraries'
    uint64_t newCalls = 0;     // operator new and new[]: C++ code, ours and the C++ libraries' (LLVM's)
    uint64_t ourNewCalls = 0;  // the part of newCalls made by code in this executable
};

// Makes the calling thread the one whose allocations are counted, and notes where this executable
// and the C++ library lie in memory, to tell our operator new calls from other libraries'.
void countAllocationsOfThisThread();
// Counting happens only while switched on, and only on that thread.
void setAllocationCounting(bool on);
AllocationCounts allocationCounts();

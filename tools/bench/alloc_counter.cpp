// The interposed allocator: defined in the executable, these symbols take precedence over libc's
// for every shared library too, and forward to glibc's own entry points after counting. Linked
// straight into lumarq-bench (not through a library) so the linker always keeps them.
#include "alloc_counter.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

// Static TLS of the executable: reading it never allocates, so malloc may use it.
thread_local bool countedThread = false;
bool counting = false;
AllocationCounts counts;

inline void countMalloc()
{
    if (counting && countedThread) {
        ++counts.mallocCalls;
    }
}

inline void countNew()
{
    if (counting && countedThread) {
        ++counts.newCalls;
    }
}

void* newOrDie(size_t size)
{
    countNew();
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        fputs("lumarq-bench: out of memory\n", stderr);
        abort();
    }
    return block;
}

void* alignedNewOrDie(size_t size, std::align_val_t alignment)
{
    countNew();
    countMalloc();
    void* block = __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (block == nullptr) {
        fputs("lumarq-bench: out of memory\n", stderr);
        abort();
    }
    return block;
}

}  // namespace

void countAllocationsOfThisThread()
{
    countedThread = true;
}

void setAllocationCounting(bool on)
{
    counting = on;
}

AllocationCounts allocationCounts()
{
    return counts;
}

extern "C" {

void* malloc(size_t size)
{
    countMalloc();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    countMalloc();
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size)
{
    countMalloc();
    return __libc_realloc(block, size);
}

void free(void* block)
{
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size)
{
    countMalloc();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size)
{
    countMalloc();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size)
{
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    countMalloc();
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

}  // extern "C"

void* operator new(size_t size)
{
    return newOrDie(size);
}

void* operator new[](size_t size)
{
    return newOrDie(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    countNew();
    return malloc(size == 0 ? 1 : size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    countNew();
    return malloc(size == 0 ? 1 : size);
}

void* operator new(size_t size, std::align_val_t alignment)
{
    return alignedNewOrDie(size, alignment);
}

void* operator new[](size_t size, std::align_val_t alignment)
{
    return alignedNewOrDie(size, alignment);
}

void operator delete(void* block) noexcept
{
    free(block);
}

void operator delete[](void* block) noexcept
{
    free(block);
}

void operator delete(void* block, size_t) noexcept
{
    free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    free(block);
}

void operator delete(void* block, std::align_val_t) noexcept
{
    free(block);
}

void operator delete[](void* block, std::align_val_t) noexcept
{
    free(block);
}

void operator delete(void* block, size_t, std::align_val_t) noexcept
{
    free(block);
}

void operator delete[](void* block, size_t, std::align_val_t) noexcept
{
    free(block);
}

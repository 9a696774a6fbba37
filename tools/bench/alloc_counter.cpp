// The interposed allocator: defined in the executable, these symbols take precedence over libc's
// for every shared library too, and forward to glibc's own entry points after counting. Linked
// straight into lumarq-bench (not through a library) so the linker always keeps them.
#include "alloc_counter.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <link.h>
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

struct AddressRange {
    uintptr_t low = 0;
    uintptr_t high = 0;
    bool contains(const void* address) const
    {
        const uintptr_t a = reinterpret_cast<uintptr_t>(address);
        return a >= low && a < high;
    }
};
AddressRange executableRange;
AddressRange cxxLibraryRange;

// Frames looked at to find who called into the C++ library: deep enough for its string and
// container helpers.
constexpr int callerFrames = 16;

void widenTo(AddressRange& range, const dl_phdr_info* info)
{
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) {
            continue;
        }
        const uintptr_t low = info->dlpi_addr + segment.p_vaddr;
        const uintptr_t high = low + segment.p_memsz;
        range.low = range.low == 0 ? low : (low < range.low ? low : range.low);
        range.high = high > range.high ? high : range.high;
    }
}

int noteObject(dl_phdr_info* info, size_t, void*)
{
    if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') {
        if (executableRange.high == 0) {
            widenTo(executableRange, info);  // the first unnamed object is the executable
        }
    } else if (strstr(info->dlpi_name, "libstdc++") != nullptr) {
        widenTo(cxxLibraryRange, info);
    }
    return 0;
}

// Whether operator new was called by our code: directly, or through the C++ library's own
// helpers (strings, containers) called from our code. Other libraries (e.g. LLVM, compiling a
// shader variant inside the GL driver) are not ours.
bool calledFromOurCode(const void* caller)
{
    if (executableRange.contains(caller)) {
        return true;
    }
    if (!cxxLibraryRange.contains(caller)) {
        return false;
    }
    void* frames[callerFrames];
    const int count = backtrace(frames, callerFrames);
    int i = 0;
    while (i < count && executableRange.contains(frames[i])) {
        ++i;  // the allocator's own frames
    }
    while (i < count && cxxLibraryRange.contains(frames[i])) {
        ++i;
    }
    return i < count && executableRange.contains(frames[i]);
}

inline void countMalloc()
{
    if (counting && countedThread) {
        ++counts.mallocCalls;
    }
}

inline void countNew(const void* caller)
{
    if (counting && countedThread) {
        ++counts.newCalls;
        if (calledFromOurCode(caller)) {
            ++counts.ourNewCalls;
        }
    }
}

void* newOrDie(size_t size, const void* caller)
{
    countNew(caller);
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        fputs("lumarq-bench: out of memory\n", stderr);
        abort();
    }
    return block;
}

void* alignedNewOrDie(size_t size, std::align_val_t alignment, const void* caller)
{
    countNew(caller);
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
    dl_iterate_phdr(noteObject, nullptr);
    // The first backtrace loads the unwinder, which allocates; do it now, before any counting.
    void* frames[callerFrames];
    backtrace(frames, callerFrames);
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

// The C++ library's other forms (arrays, nothrow) call these two, and its operator delete calls
// free(): overriding these two counts every operator new exactly once.
void* operator new(size_t size)
{
    return newOrDie(size, __builtin_return_address(0));
}

void* operator new(size_t size, std::align_val_t alignment)
{
    return alignedNewOrDie(size, alignment, __builtin_return_address(0));
}

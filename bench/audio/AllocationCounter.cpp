#include "bench/audio/AllocationCounter.h"

#include <cerrno>
#include <cstddef>

// The program replaces the C allocator's entry points and forwards them to
// glibc's own, so every allocation of the process passes through here.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

thread_local uint64_t allocations = 0;

bool ValidAlignment(size_t alignment)
{
    return alignment % sizeof(void*) == 0 && (alignment & (alignment - 1)) == 0 && alignment != 0;
}

}  // namespace

extern "C" {

void* malloc(size_t size)
{
    ++allocations;
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size)
{
    ++allocations;
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size)
{
    ++allocations;
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void** block, size_t alignment, size_t size)
{
    if (!ValidAlignment(alignment))
        return EINVAL;
    void* allocated = memalign(alignment, size);
    if (!allocated)
        return ENOMEM;
    *block = allocated;
    return 0;
}

}  // extern "C"

namespace audiobench {

uint64_t AllocationsOnThisThread() { return allocations; }

}  // namespace audiobench

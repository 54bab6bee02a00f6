#pragma once
// Counts heap allocations per thread, so a benchmark can show that a stage
// allocates nothing.

#include <cstdint>

namespace audiobench {

// Allocator calls (malloc, calloc, realloc, the aligned ones) made so far by
// the calling thread; operator new and every library allocate through them.
uint64_t AllocationsOnThisThread();

}  // namespace audiobench

#pragma once
/* The memory of the Vorbis decoder: every block stb_vorbis allocates belongs to
   the stream it is working for, within a budget. Whatever a failed open or a
   close leaves behind goes with the stream, and a damaged setup header cannot
   make it take more than the budget. StbVorbis.c routes the decoder's malloc,
   realloc and free here. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Null when no stream's memory is in scope on this thread or the budget is spent. */
void* OvelVorbisAllocate(size_t size);
void* OvelVorbisReallocate(void* block, size_t size);
void OvelVorbisFree(void* block);

#ifdef __cplusplus
}

namespace ovelaudio {

class VorbisMemory {
public:
    explicit VorbisMemory(size_t budget) : budget_(budget) {}
    ~VorbisMemory();
    VorbisMemory(const VorbisMemory&) = delete;
    VorbisMemory& operator=(const VorbisMemory&) = delete;

    // While it lives, the decoder's allocations on this thread come from memory.
    class Scope {
    public:
        explicit Scope(VorbisMemory& memory);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        VorbisMemory* outer_;
    };

    struct Block;

    void* Allocate(size_t size);
    static void Free(void* payload);

private:
    size_t budget_;
    size_t used_ = 0;
    Block* blocks_ = nullptr;
};

// Blocks of every stream not yet freed: for tests.
size_t VorbisBlocksHeld();

}  // namespace ovelaudio
#endif

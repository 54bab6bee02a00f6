#include "platform/audio/core/VorbisMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace ovelaudio {

// In front of each payload, which keeps malloc's alignment: the header is a
// multiple of 16 bytes.
struct VorbisMemory::Block {
    Block* previous;
    Block* next;
    VorbisMemory* owner;
    size_t size;
};
static_assert(sizeof(VorbisMemory::Block) % 16 == 0, "payloads keep the allocator's alignment");

namespace {

thread_local VorbisMemory* current = nullptr;
std::atomic<size_t> blocksHeld{0};

VorbisMemory::Block* BlockOf(void* payload) { return static_cast<VorbisMemory::Block*>(payload) - 1; }

}  // namespace

VorbisMemory::~VorbisMemory()
{
    while (blocks_)
        Free(blocks_ + 1);
}

VorbisMemory::Scope::Scope(VorbisMemory& memory) : outer_(current) { current = &memory; }
VorbisMemory::Scope::~Scope() { current = outer_; }

// Zeroed: after a failed open the decoder frees pointers it never set.
void* VorbisMemory::Allocate(size_t size)
{
    if (size > budget_ - used_)
        return nullptr;
    auto* block = static_cast<Block*>(std::calloc(1, sizeof(Block) + size));
    if (!block)
        return nullptr;
    *block = {nullptr, blocks_, this, size};
    if (blocks_)
        blocks_->previous = block;
    blocks_ = block;
    used_ += size;
    ++blocksHeld;
    return block + 1;
}

void VorbisMemory::Free(void* payload)
{
    if (!payload)
        return;
    Block* block = BlockOf(payload);
    VorbisMemory& owner = *block->owner;
    if (block->previous)
        block->previous->next = block->next;
    else
        owner.blocks_ = block->next;
    if (block->next)
        block->next->previous = block->previous;
    owner.used_ -= block->size;
    --blocksHeld;
    std::free(block);
}

size_t VorbisBlocksHeld() { return blocksHeld; }

}  // namespace ovelaudio

using ovelaudio::VorbisMemory;

extern "C" void* OvelVorbisAllocate(size_t size)
{
    VorbisMemory* memory = ovelaudio::current;
    return memory ? memory->Allocate(size) : nullptr;
}

extern "C" void* OvelVorbisReallocate(void* block, size_t size)
{
    if (!block)
        return OvelVorbisAllocate(size);
    void* moved = OvelVorbisAllocate(size);
    if (moved) {
        std::memcpy(moved, block, std::min(size, ovelaudio::BlockOf(block)->size));
        VorbisMemory::Free(block);
    }
    return moved;
}

extern "C" void OvelVorbisFree(void* block) { VorbisMemory::Free(block); }

// Large zero-filled blocks straight from the kernel. The pages of such a block cost nothing until
// they are first written, so a block that is written in full is never cleared twice (once by the
// kernel, once by us), and the thread that first writes a part pays for that part. Where the
// kernel offers them, the block is backed by 2 MiB pages: one fault then maps 512 times as much.
#pragma once

#include <cstddef>

namespace winmem {

// A zero-filled block of `bytes` bytes aligned to 4096 bytes at least; null when the kernel
// refuses.
void* AllocatePages(std::size_t bytes);

// Returns a block of AllocatePages with the size it was asked for.
void FreePages(void* block, std::size_t bytes);

}  // namespace winmem

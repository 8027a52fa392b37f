// Large zero-filled blocks whose pages cost nothing until they are first written, so that a block
// written in full is never cleared twice (once by the kernel, once by us) and the thread that
// first writes a part pays for that part; backed by 2 MiB pages where the kernel offers them (one
// fault then maps 512 times as much).
#pragma once

#include <cstddef>

namespace winmem {

// A zero-filled block of `bytes` bytes of its own mapping, aligned to 4096 bytes at least; null
// when the kernel refuses. For memory that stays inside one module.
void* AllocatePages(std::size_t bytes);
// Returns a block of AllocatePages with the size it was asked for.
void FreePages(void* block, std::size_t bytes);

// From this size on the C library maps every block afresh (zero-filled, faulted in on first
// write), so a block it hands out can be backed by 2 MiB pages as well.
constexpr std::size_t kFreshlyMappedBlock = std::size_t{32} << 20;

// Asks for 2 MiB pages over the whole 2 MiB stretches of a block of the C library (a hint:
// without them the block works the same).
void AdviseLargePages(void* block, std::size_t bytes);

}  // namespace winmem

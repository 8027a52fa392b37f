#include "platform/winmem/pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace winmem {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void* AllocatePages(std::size_t bytes) {
    // Mapped with room to spare, then trimmed to a start on a 2 MiB boundary: only such a range
    // can be backed by 2 MiB pages.
    if (bytes == 0 || bytes > SIZE_MAX - kHugePage) return nullptr;
    const std::size_t mapped = bytes + kHugePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    const std::uintptr_t end = start + mapped;
    const std::uintptr_t used = aligned + ((bytes + 4095) & ~std::size_t{4095});
    if (aligned > start) munmap(raw, aligned - start);
    if (end > used) munmap(reinterpret_cast<void*>(used), end - used);
    auto* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, used - aligned, MADV_HUGEPAGE);  // a hint: without it the block still works
#endif
    return block;
}

void FreePages(void* block, std::size_t bytes) {
    if (block != nullptr) munmap(block, (bytes + 4095) & ~std::size_t{4095});
}

void AdviseLargePages(void* block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t huge = kHugePage;
    const std::uintptr_t first = (start + huge - 1) & ~(huge - 1);
    const std::uintptr_t last = (start + bytes) & ~(huge - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace winmem

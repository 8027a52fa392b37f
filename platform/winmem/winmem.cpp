#include "platform/winmem/winmem.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/winmem/pages.h"

namespace {

// Marks a live block; cleared when the block is freed, so a stale or foreign handle is refused
// instead of being written through.
constexpr std::uint32_t kLiveMagic = 0x6D656D47;  // "Gmem"

struct BlockRecord {
    std::uint32_t magic;
    UINT flags;
    UINT lockCount;
    SIZE_T size;
    bool pages;  // the block is a mapping of its own (winmem::AllocatePages)
};

// The data follows the record at an offset that keeps it aligned for any type.
constexpr std::size_t kDataOffset = (sizeof(BlockRecord) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);

// From this size on a block gets a mapping of its own. The C library maps blocks this large
// afresh for every allocation anyway, in 4 KiB pages; smaller ones it serves again from memory
// its heap already holds, which costs no page faults at all.
constexpr std::size_t kPageBlockMinimum = std::size_t{32} << 20;

BlockRecord* RecordOf(HGLOBAL mem) {
    if (mem == nullptr) return nullptr;
    auto* record = static_cast<BlockRecord*>(mem);
    if (record->magic != kLiveMagic) return nullptr;
    return record;
}

unsigned char* DataOf(BlockRecord* record) {
    return reinterpret_cast<unsigned char*>(record) + kDataOffset;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (bytes > SIZE_MAX - kDataOffset) return nullptr;
    const std::size_t total = kDataOffset + bytes;
    // A large block (a picture) is mapped on its own: its pages come zero-filled and are faulted
    // in by whoever writes them first, so GMEM_ZEROINIT costs nothing there.
    const bool pages = total >= kPageBlockMinimum;
    void* raw = pages                     ? winmem::AllocatePages(total)
                : (flags & GMEM_ZEROINIT) ? std::calloc(1, total)
                                          : std::malloc(total);
    if (raw == nullptr) return nullptr;
    auto* record = static_cast<BlockRecord*>(raw);
    record->pages = pages;
    record->magic = kLiveMagic;
    record->flags = flags;
    record->lockCount = 0;
    record->size = bytes;
    return record;
}

LPVOID GlobalLock(HGLOBAL mem) {
    BlockRecord* record = RecordOf(mem);
    if (record == nullptr) return nullptr;
    ++record->lockCount;
    return DataOf(record);
}

BOOL GlobalUnlock(HGLOBAL mem) {
    BlockRecord* record = RecordOf(mem);
    if (record == nullptr || record->lockCount == 0) return FALSE;
    --record->lockCount;
    return record->lockCount != 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem) {
    BlockRecord* record = RecordOf(mem);
    return record == nullptr ? 0 : record->size;
}

UINT GlobalFlags(HGLOBAL mem) {
    BlockRecord* record = RecordOf(mem);
    return record == nullptr ? 0 : (record->lockCount & 0xFF);
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    BlockRecord* record = RecordOf(mem);
    if (record == nullptr) return mem;
    record->magic = 0;
    if (record->pages) {
        winmem::FreePages(record, kDataOffset + record->size);
    } else {
        std::free(record);
    }
    return nullptr;
}

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
};

// The data follows the record at an offset that keeps it aligned for any type.
constexpr std::size_t kDataOffset = (sizeof(BlockRecord) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);

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
    // Every block comes from the C library, so that a host freeing it with an older copy of this
    // code still returns it the same way. A large block (a picture) is mapped afresh by the C
    // library: zero-filled already, so GMEM_ZEROINIT costs nothing there, and backed by 2 MiB
    // pages where the kernel has them.
    void* raw = (flags & GMEM_ZEROINIT) ? std::calloc(1, total) : std::malloc(total);
    if (raw == nullptr) return nullptr;
    if (total >= winmem::kFreshlyMappedBlock) winmem::AdviseLargePages(raw, total);
    auto* record = static_cast<BlockRecord*>(raw);
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
    std::free(record);
    return nullptr;
}

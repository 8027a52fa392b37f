#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "plugin/jpeg_decoder.h"

namespace vantor {

namespace {

// A value in kibibytes from /proc/meminfo, or 0 when the line is missing.
std::uint64_t MemInfoBytes(const char* key) {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (f == nullptr) return 0;
    char line[256];
    std::uint64_t result = 0;
    const std::size_t keyLength = std::strlen(key);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            unsigned long long kib = 0;
            if (std::sscanf(line + keyLength + 1, "%llu", &kib) == 1) result = kib * 1024ull;
            break;
        }
    }
    std::fclose(f);
    return result;
}

// A number from a control-group file, or UINT64_MAX for "max" or a missing file.
std::uint64_t CgroupValue(const char* path) {
    std::FILE* f = std::fopen(path, "r");
    if (f == nullptr) return UINT64_MAX;
    unsigned long long value = 0;
    const bool read = std::fscanf(f, "%llu", &value) == 1;
    std::fclose(f);
    return read ? value : UINT64_MAX;
}

}  // namespace

std::uint64_t AvailableMemoryBytes() {
    std::uint64_t available = MemInfoBytes("MemAvailable");
    if (available == 0) available = MemInfoBytes("MemFree");
    if (available == 0) {
        const long pages = sysconf(_SC_AVPHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGESIZE);
        if (pages > 0 && pageSize > 0) {
            available = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
        }
    }
    const std::uint64_t limit = CgroupValue("/sys/fs/cgroup/memory.max");
    if (limit != UINT64_MAX) {
        const std::uint64_t used = CgroupValue("/sys/fs/cgroup/memory.current");
        const std::uint64_t headroom = (used == UINT64_MAX || used >= limit) ? 0 : limit - used;
        if (headroom < available) available = headroom;
    }
    // A 32-bit process cannot address more than its pointers reach, whatever the machine has.
    if (sizeof(void*) < 8 && available > SIZE_MAX) available = SIZE_MAX;
    return available;
}

}  // namespace vantor

// The picture size a JPEG input declares, for targets that leave large pictures out: such
// inputs only spend the fuzzer's time on allocating, filling and comparing large buffers. The
// cap is the target's, never the reader's; the readers still refuse what they cannot hold.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzsupport {

// Targets skip inputs that declare more pixels than this.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 20;

// The largest width x height among the frame headers (SOF0-SOF15) found anywhere in the bytes.
// Every position is looked at, not only the segments a reader would walk to, so an input is
// skipped whenever any reader might take a large frame from it.
inline std::uint64_t DeclaredPixels(const std::uint8_t* data, std::size_t size) {
    std::uint64_t largest = 0;
    for (std::size_t i = 0; i + 8 < size; ++i) {
        if (data[i] != 0xFF) continue;
        const std::uint8_t m = data[i + 1];
        const bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (!frame) continue;
        const std::uint64_t height = std::uint64_t{data[i + 5]} << 8 | data[i + 6];
        const std::uint64_t width = std::uint64_t{data[i + 7]} << 8 | data[i + 8];
        if (height * width > largest) largest = height * width;
    }
    return largest;
}

}  // namespace fuzzsupport

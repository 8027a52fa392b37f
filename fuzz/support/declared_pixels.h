// The picture size a JPEG input declares, for targets that keep large pictures out: such inputs
// only spend the fuzzer's time on allocating, filling, decoding and comparing large buffers.
// The cap is the target's, never the reader's; the readers still refuse what they cannot hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace fuzzsupport {

// Targets skip inputs that declare more pixels than this.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 20;

// Calls `frame(offset)` for every place in the bytes that looks like a frame header (SOF0-SOF15
// with its height at offset + 5 and its width at offset + 7). Every position is looked at, not
// only the segments a reader would walk to, so no reader can take a frame the scan missed.
template <typename Visit>
void ForEachFrameHeader(const std::uint8_t* data, std::size_t size, Visit frame) {
    for (std::size_t i = 0; i + 8 < size; ++i) {
        if (data[i] != 0xFF) continue;
        const std::uint8_t m = data[i + 1];
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) frame(i);
    }
}

inline std::uint64_t HeightAt(const std::uint8_t* header) {
    return std::uint64_t{header[5]} << 8 | header[6];
}
inline std::uint64_t WidthAt(const std::uint8_t* header) {
    return std::uint64_t{header[7]} << 8 | header[8];
}

// The largest width x height among the frame headers, for a target that skips such inputs.
inline std::uint64_t DeclaredPixels(const std::uint8_t* data, std::size_t size) {
    std::uint64_t largest = 0;
    ForEachFrameHeader(data, size, [&](std::size_t i) {
        const std::uint64_t pixels = HeightAt(data + i) * WidthAt(data + i);
        if (pixels > largest) largest = pixels;
    });
    return largest;
}

// Makes every frame header declaring more than `cap` pixels declare fewer lines, so that it holds
// no more than `cap` (or one line, when a line alone is longer); the rest of the input stays as it
// was. A target that does this keeps real-world pictures as seeds (their tables, segments and
// entropy-coded data) without decoding their whole frames on every run.
inline void ShortenFrames(std::uint8_t* data, std::size_t size, std::uint64_t cap) {
    ForEachFrameHeader(data, size, [&](std::size_t i) {
        const std::uint64_t width = WidthAt(data + i);
        if (HeightAt(data + i) * width <= cap) return;
        const std::uint64_t height = std::max<std::uint64_t>(1, cap / width);
        data[i + 5] = static_cast<std::uint8_t>(height >> 8);
        data[i + 6] = static_cast<std::uint8_t>(height);
    });
}

}  // namespace fuzzsupport

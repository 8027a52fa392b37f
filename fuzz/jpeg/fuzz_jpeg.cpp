// Feeds arbitrary bytes to the plug-in's JPEG decoder as a file, and builds the bitmap of every
// three-component picture it accepts, as the read entry does. Each input is decoded as the read
// entry decodes (fast path: lookup-table Huffman decoding, vector transform, planes at each
// component's own resolution, colour conversion while the bitmap is built), with the default
// threads, on one thread and with two helper threads (these two decode an interleaved scan
// straight into the bitmap, row by row), and on the reference path (bit-serial tree walk, scalar
// transform and conversion, full-size planes); all must agree on the result, the reason of a
// failure, the bitmap and every plane sample.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/declared_pixels.h"
#include "tests/plugin/path_compare.h"

namespace {
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Frames may declare up to 65535 x 65535 samples, and every sample is decoded twice and
    // compared. The target's copy of the input declares at most 256 x 256 pixels per frame
    // (fewer lines, same width), so that whole real-world pictures serve as seeds at the speed
    // of small ones. A memory limit of 4 MiB still refuses the widest frames (a line of 65535
    // pixels padded to 32 lines in five components), so that refusal stays exercised.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzzsupport::ShortenFrames(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size(),
                               kMaxPixels);
    const std::string difference = plugintest::BitmapPathDifference(bytes, std::uint64_t{4} << 20);
    if (!difference.empty()) {
        std::fprintf(stderr, "fast and reference paths disagree: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}

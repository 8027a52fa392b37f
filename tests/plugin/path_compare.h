// Comparison of the fast decode path with the reference path, shared by the tests and the jpeg
// fuzz target: the result, the reason of a failure, the frame, the planes and the bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "plugin/jpeg_decoder.h"
#include "plugin/planes.h"

// The comparison is harness, not decoder: in a fuzzing build its loops over every sample would
// feed the fuzzer's coverage tracing with comparisons that tell it nothing about the input.
#if defined(__clang__)
#define PATH_COMPARE_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define PATH_COMPARE_UNTRACED
#endif

namespace plugintest {

// Row r of plane p as the full-size plane has it.
PATH_COMPARE_UNTRACED inline const std::string& FullRow(const vantor::ImageInfo& info, int p,
                                                        std::size_t r, std::string* row) {
    row->resize(info.paddedWidth);
    const std::uint32_t rx = info.repeatX[p];
    const std::uint8_t* source = info.planes[p] + r / info.repeatY[p] * (info.paddedWidth / rx);
    for (std::size_t c = 0, k = 0; c < info.paddedWidth; ++source) {
        for (k = 0; k < rx; ++k) (*row)[c++] = static_cast<char>(*source);
    }
    return *row;
}

// Whether two decoders ended alike: the same result, reason and frame, and the same sample at
// every position of every plane (planes kept at a component's own resolution are read as the
// full-size plane). Empty when they did, else what differs.
PATH_COMPARE_UNTRACED inline std::string DifferenceBetween(const vantor::JpegDecoder& a,
                                                           int resultA,
                                                           const vantor::JpegDecoder& b,
                                                           int resultB) {
    if (resultA != resultB) return "results differ";
    if (a.LastError() != b.LastError()) return "reasons differ";
    const vantor::ImageInfo x = a.GetInfo(), y = b.GetInfo();
    if (x.componentCount != y.componentCount || x.paddedWidth != y.paddedWidth ||
        x.paddedHeight != y.paddedHeight || x.width != y.width || x.height != y.height) {
        return "frames differ";
    }
    for (int p = 0; p < vantor::kMaxPlanes; ++p) {
        if ((x.planes[p] == nullptr) != (y.planes[p] == nullptr)) return "planes differ";
        if (x.planes[p] == nullptr) continue;
        if (x.repeatX[p] == 1 && x.repeatY[p] == 1 && y.repeatX[p] == 1 && y.repeatY[p] == 1) {
            const std::size_t bytes = static_cast<std::size_t>(x.paddedWidth) * x.paddedHeight;
            if (std::memcmp(x.planes[p], y.planes[p], bytes) != 0) {
                return "plane " + std::to_string(p) + " differs";
            }
            continue;
        }
        std::string rowX, rowY;
        for (std::size_t r = 0; r < x.paddedHeight; ++r) {
            if (FullRow(x, p, r, &rowX) != FullRow(y, p, r, &rowY)) {
                return "plane " + std::to_string(p) + " differs";
            }
        }
    }
    return {};
}

// The bitmap a decoder hands out, as the read entry takes it; empty when it makes none.
inline std::string BitmapOf(vantor::JpegDecoder& decoder) {
    HGLOBAL h = decoder.TakeBitmap();
    if (h == nullptr) return {};
    const auto* p = static_cast<const char*>(GlobalLock(h));
    std::string bytes(p, GlobalSize(h));
    GlobalUnlock(h);
    GlobalUnlock(h);
    GlobalFree(h);
    return bytes;
}

// Decodes `bytes` as the read entry does (fast path, planes read only through the bitmap), with
// the default threads, on the calling thread alone and with two helper threads (the last two
// decode an interleaved scan straight into the bitmap, whatever its size), and on the reference
// path, with the same
// memory limit. Empty when they end alike: the same result, reason and frame; for a decoded
// three-component picture the same bitmap, otherwise the same planes (no colour conversion has
// run then on either path).
inline std::string BitmapPathDifference(const std::string& bytes, std::uint64_t memoryLimit = 0) {
    vantor::JpegDecoder reference;
    reference.SetDecodePath(vantor::DecodePath::kReference);
    reference.SetMemoryLimit(memoryLimit);
    std::istringstream b(bytes);
    const int referenceResult = reference.Open(b, vantor::kIntegerTransform);
    for (const int threads : {0, 1, 3}) {
        vantor::JpegDecoder fast;
        fast.SetBitmapOutput(true);
        fast.SetThreads(threads);
        fast.SetMemoryLimit(memoryLimit);
        std::istringstream a(bytes);
        const int fastResult = fast.Open(a, vantor::kIntegerTransform);
        const std::string on = " (threads " + std::to_string(threads) + ")";
        if (fastResult != referenceResult) return "results differ" + on;
        if (fast.LastError() != reference.LastError()) return "reasons differ" + on;
        if ((fastResult == 1) != (fast.LastError() == vantor::DecodeError::kNone)) {
            return "a result without its reason" + on;
        }
        if (fastResult == 1 && reference.GetInfo().componentCount == 3) {
            if (fast.GetInfo().componentCount != 3) return "frames differ" + on;
            if (BitmapOf(fast) != BitmapOf(reference)) return "bitmaps differ" + on;
            continue;
        }
        const std::string difference =
            DifferenceBetween(fast, fastResult, reference, referenceResult);
        if (!difference.empty()) return difference + on;
    }
    return {};
}

}  // namespace plugintest

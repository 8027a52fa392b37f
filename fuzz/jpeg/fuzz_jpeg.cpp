// Feeds arbitrary bytes to the plug-in's JPEG decoder as a file, and builds the bitmap of every
// three-component picture it accepts, as the read entry does. Each input is decoded twice: with
// the memoised walk steps and strictly bit by bit; the two must agree on the outcome and on
// every plane byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "plugin/jpeg_decoder.h"
#include "plugin/planes.h"

namespace {

int DecodeOnce(const std::string& bytes, bool walkSteps, vantor::JpegDecoder& decoder) {
    std::istringstream in(bytes);
    // Frames may declare up to 65535 x 65535 samples; a small limit keeps every run quick while
    // exercising the refusal of larger ones.
    decoder.SetMemoryLimit(std::uint64_t{24} << 20);
    decoder.SetWalkSteps(walkSteps);
    return decoder.Open(in, vantor::kIntegerTransform);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vantor::JpegDecoder fast, reference;
    const int fastResult = DecodeOnce(bytes, true, fast);
    const int referenceResult = DecodeOnce(bytes, false, reference);
    if (fastResult != referenceResult) std::abort();

    const vantor::ImageInfo a = fast.GetInfo(), b = reference.GetInfo();
    if (a.componentCount != b.componentCount) std::abort();
    const std::size_t planeBytes = static_cast<std::size_t>(a.paddedWidth) * a.paddedHeight;
    for (int p = 0; p < vantor::kMaxPlanes; ++p) {
        if ((a.planes[p] == nullptr) != (b.planes[p] == nullptr)) std::abort();
        if (a.planes[p] != nullptr && std::memcmp(a.planes[p], b.planes[p], planeBytes) != 0) {
            std::abort();
        }
    }

    if (fastResult == 1 && a.componentCount == 3) {
        HGLOBAL bitmap = vantor::BuildBitmap(a);
        if (bitmap != nullptr) {
            GlobalUnlock(bitmap);
            GlobalFree(bitmap);
        }
    }
    fast.Release();
    reference.Release();
    return 0;
}

// Feeds arbitrary bytes to the plug-in's JPEG decoder as a file, and builds the bitmap of every
// three-component picture it accepts, as the read entry does.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "plugin/jpeg_decoder.h"
#include "plugin/planes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    vantor::JpegDecoder decoder;
    // Frames may declare up to 65535 x 65535 samples; a small limit keeps every run quick while
    // exercising the refusal of larger ones.
    decoder.SetMemoryLimit(std::uint64_t{24} << 20);
    if (decoder.Open(in, vantor::kIntegerTransform) == 1) {
        const vantor::ImageInfo info = decoder.GetInfo();
        if (info.componentCount == 3) {
            HGLOBAL bitmap = vantor::BuildBitmap(info);
            if (bitmap != nullptr) {
                GlobalUnlock(bitmap);
                GlobalFree(bitmap);
            }
        }
    }
    decoder.Release();
    return 0;
}

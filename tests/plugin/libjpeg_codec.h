// libjpeg as the reference: test pictures compressed with its encoder, and its own decode to
// raw YCbCr (integer transform, sample replication, no smoothing) turned into the bitmap the
// plug-in is expected to return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plugintest {

using Pixels = std::vector<std::uint8_t>;

// A deterministic picture with smooth shading, fine texture, hard edges and noise, RGB rows.
Pixels PhotoLikePicture(int width, int height, std::uint32_t seed);

struct EncodeOptions {
    int width = 16;
    int height = 16;
    int h[3] = {1, 1, 1};  // sampling factors of Y, Cb, Cr
    int v[3] = {1, 1, 1};
    int quality = 75;
    int restartInterval = 0;  // in units; 0 for none
    bool optimizeCoding = false;
    bool separateScans = false;  // one scan per component instead of one interleaved scan
};

std::vector<std::uint8_t> EncodeJpeg(const Pixels& rgb, const EncodeOptions& options);

// What libjpeg made of a file besides its pixels.
struct ReferenceNotes {
    int warnings = 0;    // corrupt-data and other warnings during the decode
    bool ycbcr = false;  // libjpeg took the file's colour space for YCbCr
    int components = 0;  // components of the frame
};

// libjpeg's decode to YCbCr with the integer transform and no fancy upsampling, followed by the
// 16.16 colour conversion: the packed bottom-up BGR bitmap (40-byte header first). Empty when
// libjpeg refuses the data.
std::vector<std::uint8_t> ReferenceBitmap(const std::vector<std::uint8_t>& jpeg,
                                          ReferenceNotes* notes = nullptr);

// libjpeg's ordinary decode to RGB rows; returns false on error.
bool DecodeRgb(const std::vector<std::uint8_t>& jpeg, Pixels* rgb, int* width, int* height);

}  // namespace plugintest

// A GIF89a writer: global and local colour tables, graphic control extensions (disposal,
// transparency, delay), interlaced images, comments and the looping application extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/raster.h"

namespace assetgen {

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;      // width * height palette indices, top-down
    std::vector<Rgba> local_palette;  // empty: use the global table
    bool interlaced = false;
    int delay = 10;        // hundredths of a second
    int disposal = 1;      // 0..3
    int transparent = -1;  // palette index, or -1 for none
    bool control = true;   // write a graphic control extension
};

struct GifFile {
    int width = 0, height = 0;
    std::vector<Rgba> global_palette;  // may be empty
    int background = 0;
    int loops = 0;        // -1: no application extension; 0: forever
    std::string comment;  // written when not empty
    std::vector<GifFrame> frames;
};

std::vector<uint8_t> EncodeGif(const GifFile& gif);
// LZW-compressed image data (minimum code size byte, sub-blocks, terminator).
std::vector<uint8_t> EncodeLzw(const std::vector<uint8_t>& indices, int min_code_size);

// Colour reduction for frames drawn in full colour: a median-cut palette of at most
// `colours` entries, and the mapping of an image onto a palette.
std::vector<Rgba> MedianCut(const std::vector<Rgba>& pixels, int colours);
std::vector<uint8_t> MapToPalette(const Image& img, const std::vector<Rgba>& palette);

}  // namespace assetgen

// Writers for the file formats the game reads: device-independent bitmaps, icons and
// cursors, 8-bit WAVE, JPEG (through libjpeg) and PNG (for contact sheets to look at).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/raster.h"

namespace assetgen {

using Bytes = std::vector<uint8_t>;

// A complete 24-bit .bmp file: bottom-up rows, blue-green-red, padded to 4 bytes.
Bytes EncodeBmp24(const Image& img);
// A complete 8-bit .bmp file with a colour table of palette.size() entries.
Bytes EncodeBmp8(int w, int h, const std::vector<Rgba>& palette, const std::vector<uint8_t>& index);
// A complete .ico (hotspot < 0) or .cur file holding one 32 x 32 32-bit image with its AND mask.
// A pixel whose alpha is below 128 is transparent in the mask.
Bytes EncodeIconOrCursor(const Image& img, int hotspot_x = -1, int hotspot_y = -1);
// A complete RIFF WAVE file, mono 8-bit unsigned PCM.
Bytes EncodeWave8(const std::vector<uint8_t>& samples, int rate);
// Baseline JPEG at the given quality.
Bytes EncodeJpeg(const Image& img, int quality);
// PNG with alpha.
Bytes EncodePng(const Image& img);

void PutLe16(Bytes& b, unsigned v);
void PutLe32(Bytes& b, uint32_t v);
void PutBe16(Bytes& b, unsigned v);
void PutBe32(Bytes& b, uint32_t v);

bool WriteFile(const std::string& path, const Bytes& data);
bool WriteText(const std::string& path, const std::string& text);
bool MakeDirs(const std::string& path);

}  // namespace assetgen

// Sample planes and colour output: block placement with replication of subsampled components,
// the YCbCr to RGB conversion and the packed 24-bit bitmap handed to the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winmem/winmem.h"

namespace vantor {

struct ImageInfo;

// Where the blocks of one scan component go in its plane.
struct BlockLayout {
    std::uint8_t* plane = nullptr;
    std::uint32_t paddedWidth = 0;
    // Blocks are grouped in units of unitWidth x unitHeight blocks in raster order inside the
    // unit; the units run unitsAcross per row, unitsDown rows. A scan of one component has
    // 1 x 1 units, one per block of the component.
    std::uint32_t unitWidth = 0;
    std::uint32_t unitHeight = 0;
    std::uint32_t unitsAcross = 0;
    std::uint32_t unitsDown = 0;
    // Plane samples covered by one unit across and down (8 x Hmax x 8 x Vmax for interleaved
    // scans), and the replication of each sample.
    std::uint32_t unitPixelWidth = 0;
    std::uint32_t unitPixelHeight = 0;
    std::uint32_t repeatX = 1;
    std::uint32_t repeatY = 1;
};

// Writes block number `n` of a scan component into its plane; a block past the last unit row is
// dropped.
void PlaceBlock(const BlockLayout& layout, std::uint32_t n, const std::uint8_t* samples);

// In place, over `count` samples: (Y, Cb, Cr) in planes 0, 1, 2 become (R, G, B), 16.16 fixed
// point, shifts rounding toward minus infinity.
void ConvertYCbCrToRgb(std::uint8_t* p0, std::uint8_t* p1, std::uint8_t* p2, std::size_t count);

// One bitmap row from Y, Cb and Cr rows of `width` samples: the conversion of ConvertYCbCrToRgb
// written as blue, green, red triples.
using RowConversion = void (*)(const std::uint8_t* y, const std::uint8_t* cb,
                               const std::uint8_t* cr, std::uint8_t* bgr, std::size_t width);
void ConvertRowToBgr(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,
                     std::uint8_t* bgr, std::size_t width);

// The AVX2 version, or null when this build or processor lacks it.
RowConversion VectorRowToBgr();

#if defined(__x86_64__) || defined(__i386__)
void ConvertRowToBgrAvx2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr,
                         std::uint8_t* bgr, std::size_t width);
#endif

// A row of `width` samples from `row`, each sample repeated `repeat` times: `row` itself for 1,
// else `scratch`, filled.
const std::uint8_t* ExpandRow(const std::uint8_t* row, std::uint32_t repeat, std::uint32_t width,
                              std::uint8_t* scratch);

// Row length of a 24-bit bitmap: 3 bytes per pixel rounded up to a multiple of 4.
std::uint64_t BitmapStride(std::uint32_t width);

// Bytes of the packed bitmap: 40-byte header plus stride x height.
std::uint64_t BitmapBytes(std::uint32_t width, std::uint32_t height);

// Allocates a bitmap of the picture's size in movable global memory, writes its header, clears
// the padding at the end of each row and returns it locked once, with `pixels` on its first
// stored row; null when the memory cannot be had. The caller writes every pixel.
HGLOBAL AllocateBitmap(std::uint32_t width, std::uint32_t height, std::uint8_t** pixels);

// Builds the bottom-up BGR bitmap of the visible part of planes 0 (R), 1 (G) and 2 (B) in
// movable global memory (padding cleared) and returns it locked once; null when the memory
// cannot be had. Planes that still hold Y, Cb and Cr, or that hold a subsampled component at its
// own resolution (ImageInfo::ycbcr, repeatX, repeatY), are converted and replicated on the way,
// with the same bytes as a result.
HGLOBAL BuildBitmap(const ImageInfo& info);

}  // namespace vantor

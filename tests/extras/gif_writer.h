// A small GIF encoder for the tests: builds files block by block, with a real LZW encoder for
// well-formed images and a raw code packer for deliberately broken ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

// LZW codes for `pixels` with the given minimum code size, starting with a clear code and ending
// with the end code. `clearWhenFull` false keeps coding with 12-bit codes once the table is full
// instead of sending a clear code.
struct Code {
    unsigned value;
    int bits;
};
std::vector<Code> LzwCodes(const std::vector<std::uint8_t>& pixels, int minCodeSize,
                           bool clearWhenFull = true);
// Packs codes least significant bit first.
Bytes PackCodes(const std::vector<Code>& codes);
// Gives each code value the width giflib reads it with: it counts every code read since the
// last clear code (the clear code included) and widens once that count passes the width's range.
std::vector<Code> GiflibWidths(const std::vector<unsigned>& values, int minCodeSize);
// Codes of minimum code size 2 in which each code defines the next entry as the newest one plus
// its own first byte, so that every code names the longest string in the table; once the table
// is full, its last entry (about 4,000 bytes long) again and again for about `bytes` of data;
// then the end code. A decoder that walks each string it is named costs 4,000 steps a code.
std::vector<unsigned> LongestStringCodes(std::size_t bytes);
// Splits bytes into data sub-blocks of at most `blockSize` bytes and adds the terminator.
Bytes SubBlocks(const Bytes& bytes, std::size_t blockSize = 255);

struct Image {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<Rgb> localTable;       // empty: use the global table
    std::vector<std::uint8_t> pixels;  // width x height indexes, rows top to bottom
    int minCodeSize = 0;               // 0: from the table size (at least 2)
    bool clearWhenFull = true;
};

class GifWriter {
  public:
    GifWriter(int screenWidth, int screenHeight, std::vector<Rgb> globalTable = {},
              const char* signature = "GIF89a");

    GifWriter& GraphicControl(int disposal, bool transparent, int transparentIndex, int delay);
    GifWriter& Comment(const std::string& text);
    GifWriter& Loop(int count);  // application extension of the usual looping kind
    GifWriter& PlainText(const std::string& text);
    GifWriter& AddImage(const Image& image);
    // An image descriptor (and local table) followed by the given LZW bytes as they are.
    GifWriter& AddRawImage(const Image& image, int minCodeSize, const Bytes& lzwBlocks);
    GifWriter& Raw(const Bytes& bytes);
    GifWriter& Trailer();

    const Bytes& bytes() const { return bytes_; }

  private:
    void Descriptor(const Image& image);
    Bytes bytes_;
};

// Colour table of `count` entries (a power of two) with distinct, deterministic colours.
std::vector<Rgb> Palette(int count, unsigned seed = 1);
// Deterministic pseudo-random pixel indexes below `colours`.
std::vector<std::uint8_t> Noise(int width, int height, int colours, unsigned seed);

}  // namespace giftest

// The variable-length LZW code of GIF image data: the code reader over data sub-blocks, the row
// writer that places pixels (with the four interlace passes) and the decoder between them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gif {

struct Frame;

// Reads codes least significant bit first across a chain of data sub-blocks. When the chain ends
// (a zero length, or a length that would pass the end of the data) it supplies bytes of 0xFF
// without moving, so a truncated stream still yields codes and the decoder decides what to do.
class CodeReader {
  public:
    CodeReader(const std::uint8_t* data, std::size_t size, std::size_t start)
        : data_(data), size_(size), pos_(start) {}

    unsigned ReadCode(int bits) {
        while (bitCount_ < bits) {
            bitBuffer_ |= std::uint32_t(ReadByte()) << bitCount_;
            bitCount_ += 8;
        }
        const unsigned code = bitBuffer_ & ((1u << bits) - 1);
        bitBuffer_ >>= bits;
        bitCount_ -= bits;
        return code;
    }

    bool Exhausted() const { return exhausted_; }
    // Where the reader stands: the next unread byte of the current sub-block, or the length
    // byte that ended the chain.
    std::size_t Position() const { return pos_; }
    std::size_t BytesLeftInBlock() const { return blockLeft_; }

  private:
    std::uint8_t ReadByte() {
        if (exhausted_) return 0xFF;
        if (blockLeft_ == 0) {
            if (pos_ >= size_ || data_[pos_] == 0 || size_ - pos_ - 1 < data_[pos_]) {
                exhausted_ = true;
                return 0xFF;
            }
            blockLeft_ = data_[pos_++];
        }
        --blockLeft_;
        return data_[pos_++];
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_;
    std::size_t blockLeft_ = 0;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool exhausted_ = false;
};

// Places decoded pixels into the frame's rows left to right, row by row in file order or by the
// four interlace passes (rows 0, 8, 16, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...). Pixels beyond the
// frame's last row, or outside the part of the frame on the screen, are dropped.
class RowWriter {
  public:
    RowWriter(Frame& frame, bool interlaced);

    void Put(std::uint8_t index) {
        if (done_) return;
        if (row_ < visibleHeight_ && x_ < visibleWidth_) rowStart_[x_] = index;
        if (++x_ == width_) NextRow();
    }
    // Every row of the frame has been filled.
    bool Done() const { return done_; }

  private:
    void NextRow();
    void SelectRow();

    std::uint8_t* pixels_;
    std::uint8_t* rowStart_ = nullptr;
    int stride_, width_, height_, visibleWidth_, visibleHeight_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
    int x_ = 0;
    bool done_ = false;
};

// The string table: 4096 entries of a suffix byte and a prefix code, and room to reverse a string.
struct LzwTable {
    std::uint8_t suffix[4096];
    std::uint16_t prefix[4096];
    std::uint8_t first[4096];  // the first byte of each entry's string
    std::uint8_t stack[4096 + 1];
    // Prefix links followed while writing strings out, over the table's life: the decoding
    // work, which stays within the pixels written plus one string per frame.
    std::size_t steps = 0;
};

// Decodes one image's LZW data into `rows`. Returns true when the image ended well: at its end
// code, or, when the data ran out before the end code, with every row filled. Returns false when
// the frame is to be dropped: a minimum code size outside 1 to 8, a code naming an entry not yet
// defined, a prefix chain that does not reach a root, or data that ran out long before the rows
// were filled.
bool DecodeLzw(int minCodeSize, CodeReader& reader, RowWriter& rows, LzwTable& table);

}  // namespace gif

#include "game/extras/gif_lzw.h"

#include "game/extras/gif_decoder.h"

namespace gif {
namespace {

constexpr int kMaxCodeSize = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeSize;
constexpr int kPassStart[4] = {0, 4, 2, 1};
constexpr int kPassStep[4] = {8, 8, 4, 2};
// Once the data has run out, the decoder reads at most this many codes of supplied 0xFF bytes
// while waiting for the rows to fill; a frame still unfilled after that is dropped.
constexpr int kMaxCodesPastEnd = 4096;

}  // namespace

RowWriter::RowWriter(Frame& frame, bool interlaced)
    : pixels_(frame.pixels.data()),
      stride_(frame.stride),
      width_(frame.width),
      height_(frame.height),
      visibleWidth_(frame.visibleWidth),
      visibleHeight_(frame.visibleHeight),
      interlaced_(interlaced) {
    done_ = width_ == 0 || height_ == 0;
    SelectRow();
}

void RowWriter::SelectRow() {
    rowStart_ = row_ < visibleHeight_ && visibleWidth_ > 0 ? pixels_ + std::size_t(row_) * stride_
                                                           : nullptr;
}

void RowWriter::NextRow() {
    x_ = 0;
    if (!interlaced_) {
        ++row_;
    } else {
        row_ += kPassStep[pass_];
        // A pass whose first row lies beyond the height is skipped.
        while (row_ >= height_ && pass_ < 3) {
            ++pass_;
            row_ = kPassStart[pass_];
        }
    }
    if (row_ >= height_) done_ = true;
    SelectRow();
}

bool DecodeLzw(int minCodeSize, CodeReader& reader, RowWriter& rows, LzwTable& table) {
    // Pixel indexes are bytes, so roots never exceed 256 (code size 8).
    if (minCodeSize < 1 || minCodeSize > 8) return false;
    const unsigned clearCode = 1u << minCodeSize;
    const unsigned endCode = clearCode + 1;
    int codeSize = minCodeSize + 1;
    unsigned nextFree = clearCode + 2;
    bool havePrevious = false;  // no previous code at the start and after a clear code
    unsigned previous = 0;
    int codesPastEnd = 0;
    for (unsigned root = 0; root < clearCode; ++root) table.first[root] = std::uint8_t(root);

    // Writes the string of `code` first byte first; false when its prefix chain does not come
    // down to a root. Once every row is full nothing more is written: the rest of the data is
    // only read through, a code at a time, for its end code or a bad code.
    auto emit = [&](unsigned code) -> bool {
        if (rows.Done()) return true;
        std::size_t length = 0;
        while (code >= clearCode) {
            if (code < clearCode + 2 || length >= kTableSize) return false;
            ++table.steps;
            table.stack[length++] = table.suffix[code];
            const unsigned prefix = table.prefix[code];
            if (prefix >= code) return false;
            code = prefix;
        }
        table.stack[length++] = std::uint8_t(code);
        for (std::size_t i = length; i-- > 0;) rows.Put(table.stack[i]);
        return true;
    };
    // A new entry: the string of `prefix` followed by `suffix`.
    auto add = [&](unsigned prefix, std::uint8_t suffix) {
        if (nextFree >= kTableSize) return;  // full: no entries until the next clear code
        table.prefix[nextFree] = std::uint16_t(prefix);
        table.suffix[nextFree] = suffix;
        table.first[nextFree] = table.first[prefix];
        ++nextFree;
    };

    for (;;) {
        const unsigned code = reader.ReadCode(codeSize);
        if (reader.Exhausted()) {
            // The data ran out before the end code: the frame stands if its rows are full.
            if (rows.Done()) return true;
            if (++codesPastEnd > kMaxCodesPastEnd) return false;
        }
        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            nextFree = clearCode + 2;
            havePrevious = false;
            continue;
        }
        if (code == endCode) return true;
        if (!havePrevious) {
            // The first code of a table must be a root: it is one pixel.
            if (code >= clearCode) return false;
            rows.Put(std::uint8_t(code));
        } else if (code < nextFree) {
            add(previous, table.first[code]);
            if (!emit(code)) return false;
        } else if (code == nextFree && nextFree < kTableSize) {
            // The code being defined right now: the previous string followed by its own first
            // byte.
            add(previous, table.first[previous]);
            if (!emit(code)) return false;
        } else {
            return false;  // names an entry that does not exist yet
        }
        previous = code;
        havePrevious = true;
        // The codes widen once the next free entry no longer fits their width. With a minimum
        // code size of 1 the first free entry (4) already needs three bits, so the widening
        // comes right after the first code of a table; that is how giflib and the encoders that
        // write such files count.
        if (nextFree >= (1u << codeSize) && codeSize < kMaxCodeSize) ++codeSize;
    }
}

}  // namespace gif

// Decoding of the entropy-coded data of one scan: the refilled input window, the bit-serial
// walk of the code trees with the byte-stuffing rules of ITU T.81, additional bits, the block
// loop with restarts, dequantisation, the inverse transform and block placement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "plugin/block_sink.h"
#include "plugin/fast_huffman.h"
#include "plugin/huffman_tree.h"
#include "plugin/idct.h"
#include "plugin/jpeg_decoder.h"
#include "plugin/planes.h"

namespace vantor {

// One component of a scan, ready to decode.
struct ScanComponent {
    const HuffNode* dcTree = nullptr;
    const HuffNode* acTree = nullptr;
    const std::uint32_t* quant = nullptr;  // 64 entries, zig-zag order
    std::uint32_t blocksPerUnit = 0;       // 0: the component gets no blocks
    BlockLayout layout;
};

constexpr int kMaxScanComponents = 4;

// The bits of entropy-coded data read ahead into a 64-bit buffer, most significant first, with
// the stuffed 00 after each FF dropped. Where the data stops (a marker, the end of the file or
// of the window) zero bits follow; a block that reaches within a byte of that point is handed to
// the exact byte-wise reader instead, which knows what a marker there means.
struct BitBuffer {
    std::uint64_t bits = 0;  // unread bits at the top; the bits below them are 0
    int count = 0;           // unread bits in `bits`
    std::size_t next = 0;    // window index of the next byte to load
    // Bits loaded since the reader was placed on the byte-wise cursor, counted from the start of
    // that cursor's byte, and where the real data stopped in the same count (-1 while it goes on).
    std::int64_t loaded = 0;
    std::int64_t stop = -1;
};

class ScanDecoder {
  public:
    ScanDecoder(std::istream& in, InverseTransform transform, DecodePath path);

    // Decodes until a marker other than RSTn or the end of the data. Returns 1 with the stream
    // standing on that marker, or 0 when the stream went bad or the data ran dry in a code.
    int Run(const ScanComponent* components, int count);

    // Hands the blocks to `sink` instead of transforming and placing them.
    void SetSink(BlockSink* sink) { sink_ = sink; }

    // Whether a 0 from Run came from the stream reporting an error.
    bool ReadFailed() const { return bad_; }

  private:
    enum class Step { kBlockDone, kMarkerSearch, kFail };
    enum class Search { kRestart, kEndOfScan, kFail };

    // The table-driven path, falling back to the byte-wise one for the rest.
    void PlaceReader();
    void SyncCursor();
    bool FastBlock(const ScanComponent& component, const FastHuffman& dc, const FastHuffman& ac,
                   std::int32_t* predictor, std::int16_t* natural);

    int Peek(std::size_t i);
    void Fill();
    void ScheduledRefill();
    int Unit(std::size_t* length);
    void Advance(std::size_t length);
    bool DataExhausted();

    int DecodeSymbol(const HuffNode* root, std::uint8_t* symbol);
    bool ReceiveBits(int count, std::uint32_t* value);
    Step DecodeBlock(const ScanComponent& component, std::int32_t* predictor,
                     std::uint32_t* blockCounter);
    Search FindMarker();

    std::istream& in_;
    InverseTransform transform_;
    DecodePath path_;
    BlockSink* sink_ = nullptr;
    const ScanComponent* components_ = nullptr;  // of the scan being run
    std::size_t refillBytes_;
    std::vector<std::uint8_t> window_;
    std::size_t pos_ = 0;   // index of the current byte
    std::size_t left_ = 0;  // unread bytes from the current one on
    int bit_ = 0;           // bits of the current byte already used, most significant first
    bool eof_ = false;
    bool bad_ = false;
    BitBuffer reader_;
    std::size_t readerStart_ = 0;  // window index of the cursor byte the reader started on
};

// Additional bits as ITU T.81 F.2.2.1 extends them: a value with its top bit clear is negative.
inline std::int32_t ExtendReceived(std::uint32_t value, int count) {
    if (count == 0) return 0;
    if ((value >> (count - 1)) & 1u) return static_cast<std::int32_t>(value);
    return static_cast<std::int32_t>(value - ((1u << count) - 1u));
}

}  // namespace vantor

// Decoding of the entropy-coded data of one scan: the refilled input window, the bit-serial
// walk of the code trees with the byte-stuffing rules of ITU T.81, additional bits, the block
// loop with restarts, dequantisation, the inverse transform and block placement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "plugin/huffman_tree.h"
#include "plugin/idct.h"
#include "plugin/planes.h"

namespace vantor {

// One component of a scan, ready to decode.
struct ScanComponent {
    const HuffNode* dcTree = nullptr;
    const HuffNode* acTree = nullptr;
    // Memoised walk steps of the two trees; null to walk bit by bit.
    WalkStep* dcSteps = nullptr;
    WalkStep* acSteps = nullptr;
    std::uint32_t dcGeneration = 0;
    std::uint32_t acGeneration = 0;
    const std::uint32_t* quant = nullptr;  // 64 entries, zig-zag order
    std::uint32_t blocksPerUnit = 0;       // 0: the component gets no blocks
    BlockLayout layout;
};

constexpr int kMaxScanComponents = 4;

class ScanDecoder {
  public:
    ScanDecoder(std::istream& in, InverseTransform transform);

    // Decodes until a marker other than RSTn or the end of the data. Returns 1 with the stream
    // standing on that marker, or 0 when the stream went bad or the data ran dry in a code.
    int Run(const ScanComponent* components, int count);

  private:
    enum class Step { kBlockDone, kMarkerSearch, kFail };
    enum class Search { kRestart, kEndOfScan, kFail };

    int Peek(std::size_t i);
    void Fill();
    void ScheduledRefill();
    int Unit(std::size_t* length);
    void Advance(std::size_t length);
    bool DataExhausted();

    int DecodeSymbol(const HuffNode* root, WalkStep* steps, std::uint32_t generation,
                     std::uint8_t* symbol);
    bool ReceiveBits(int count, std::uint32_t* value);
    Step DecodeBlock(const ScanComponent& component, std::int32_t* predictor,
                     std::uint32_t* blockCounter);
    Search FindMarker();

    std::istream& in_;
    InverseTransform transform_;
    std::vector<std::uint8_t> window_;
    std::size_t pos_ = 0;   // index of the current byte
    std::size_t left_ = 0;  // unread bytes from the current one on
    int bit_ = 0;           // bits of the current byte already used, most significant first
    bool eof_ = false;
    bool bad_ = false;
};

// Additional bits as ITU T.81 F.2.2.1 extends them: a value with its top bit clear is negative.
std::int32_t ExtendReceived(std::uint32_t value, int count);

}  // namespace vantor

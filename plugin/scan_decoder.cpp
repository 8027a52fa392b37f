#include "plugin/scan_decoder.h"

#include <cstring>

namespace vantor {

namespace {

constexpr std::size_t kRefillBytes = 100;
constexpr std::size_t kRefillThreshold = 30;
constexpr int kEndOfData = -1;

}  // namespace

std::int32_t ExtendReceived(std::uint32_t value, int count) {
    if (count == 0) return 0;
    if ((value >> (count - 1)) & 1u) return static_cast<std::int32_t>(value);
    return static_cast<std::int32_t>(value - ((1u << count) - 1u));
}

ScanDecoder::ScanDecoder(std::istream& in, InverseTransform transform)
    : in_(in), transform_(transform), window_(2 * kRefillBytes + 2) {}

void ScanDecoder::Fill() {
    if (eof_ || bad_) return;
    if (pos_ != 0 && left_ != 0) std::memmove(window_.data(), window_.data() + pos_, left_);
    pos_ = 0;
    if (window_.size() < left_ + kRefillBytes + 2) window_.resize(left_ + kRefillBytes + 2);
    in_.read(reinterpret_cast<char*>(window_.data() + left_), kRefillBytes);
    const std::streamsize got = in_.gcount();
    left_ += static_cast<std::size_t>(got);
    if (in_.bad()) {
        bad_ = true;
    } else if (in_.eof() || in_.fail()) {
        // The end of the file: no refill after this, and the stream is made usable again so
        // that the unread bytes can be given back at the end of the scan.
        eof_ = true;
        in_.clear();
    }
}

void ScanDecoder::ScheduledRefill() {
    if (left_ <= kRefillThreshold && !eof_) Fill();
}

// The byte i places after the current one, or kEndOfData past the end of the data.
inline int ScanDecoder::Peek(std::size_t i) {
    while (i >= left_ && !eof_ && !bad_) Fill();
    return i < left_ ? window_[pos_ + i] : kEndOfData;
}

// The data byte at the cursor, or kEndOfData when a marker or the end of the data stands there.
// Inside entropy-coded data FF is followed by 00, which is dropped together with any further FF
// bytes before it; FF followed by anything else is a marker. `length` receives the bytes the
// data byte takes in the file.
inline int ScanDecoder::Unit(std::size_t* length) {
    const int first = Peek(0);
    if (first != 0xFF) {
        *length = 1;
        return first;
    }
    std::size_t j = 1;
    int next;
    while ((next = Peek(j)) == 0xFF) ++j;
    if (next != 0x00) return kEndOfData;
    *length = j + 1;
    return 0xFF;
}

inline void ScanDecoder::Advance(std::size_t length) {
    pos_ += length;
    left_ -= length;
    bit_ = 0;
}

bool ScanDecoder::DataExhausted() { return Peek(0) == kEndOfData && !bad_; }

// The bit-serial walk of a code tree. Returns 1 with the symbol, or 0 when a marker, the end
// of the data or a broken code (which discards the rest of its byte) stopped it. With `steps`,
// every stretch of the walk that starts at the root is taken from the memoised outcome of the
// same walk over the rest of that byte.
int ScanDecoder::DecodeSymbol(const HuffNode* root, WalkStep* steps, std::uint32_t generation,
                              std::uint8_t* symbol) {
    std::size_t length = 0;
    int value = Unit(&length);
    if (value == kEndOfData) return 0;
    unsigned byte = (static_cast<unsigned>(value) << bit_) & 0xFFu;
    int used = bit_;
    const HuffNode* node = root;
    for (;;) {
        if (steps != nullptr && node == root) {
            WalkStep& step = steps[used * 256 + value];
            if (step.stamp != generation) {
                step = WalkByte(root, static_cast<unsigned>(value), used);
                step.stamp = generation;
            }
            if (step.kind == WalkStep::kLeaf) {
                *symbol = step.symbol;
                if (step.used == 8) {
                    Advance(length);
                } else {
                    bit_ = step.used;
                }
                return 1;
            }
            if (step.kind == WalkStep::kInner) node = step.node;
            // Absent branch or inner node at the end of the byte: go on with the next byte.
            Advance(length);
            value = Unit(&length);
            if (value == kEndOfData) return 0;
            byte = static_cast<unsigned>(value);
            used = 0;
            continue;
        }
        const HuffNode* next = (byte & 0x80u) ? node->one : node->zero;
        byte = (byte << 1) & 0xFFu;
        ++used;
        if (next == nullptr) {
            // No code continues this way: drop the rest of the byte and start again at the
            // root. The 1-bits that pad the data before a marker lead to the marker this way.
            Advance(length);
            value = Unit(&length);
            if (value == kEndOfData) return 0;
            byte = static_cast<unsigned>(value);
            used = 0;
            node = root;
            continue;
        }
        if (next->leaf) {
            *symbol = next->symbol;
            if (used == 8) {
                Advance(length);
            } else {
                bit_ = used;
            }
            return 1;
        }
        node = next;
        if (used == 8) {
            Advance(length);
            value = Unit(&length);
            if (value == kEndOfData) return 0;
            byte = static_cast<unsigned>(value);
            used = 0;
        }
    }
}

// Reads `count` (0 to 16) additional bits. Returns false when a marker or the end of the data
// comes before the value is complete; a marker right after a complete value is left for the
// next read.
bool ScanDecoder::ReceiveBits(int count, std::uint32_t* value) {
    std::uint32_t bits = 0;
    int needed = count;
    while (needed > 0) {
        std::size_t length = 0;
        const int byte = Unit(&length);
        if (byte == kEndOfData) return false;
        const int available = 8 - bit_;
        const std::uint32_t unread = static_cast<std::uint32_t>(byte) & (0xFFu >> bit_);
        if (needed >= available) {
            bits = (bits << available) | unread;
            needed -= available;
            Advance(length);
        } else {
            bits = (bits << needed) | (unread >> (available - needed));
            bit_ += needed;
            needed = 0;
        }
    }
    *value = bits;
    return true;
}

ScanDecoder::Step ScanDecoder::DecodeBlock(const ScanComponent& component, std::int32_t* predictor,
                                           std::uint32_t* blockCounter) {
    // Room for 16 coefficients past the end: a run may overshoot before it is detected.
    std::int32_t coefficients[64 + 16] = {};
    std::uint8_t symbol = 0;
    std::uint32_t bits = 0;

    ScheduledRefill();
    int found = DecodeSymbol(component.dcTree, component.dcSteps, component.dcGeneration, &symbol);
    if (bad_ || DataExhausted()) return Step::kFail;
    if (!found) return Step::kMarkerSearch;
    // A difference of more than 16 bits lies outside any 8-bit baseline stream.
    if (symbol > 16) return Step::kMarkerSearch;
    if (!ReceiveBits(symbol, &bits)) return Step::kMarkerSearch;
    *predictor =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(*predictor) +
                                  static_cast<std::uint32_t>(ExtendReceived(bits, symbol)));
    coefficients[0] = *predictor;

    int k = 1;
    while (k < 64) {
        ScheduledRefill();
        found = DecodeSymbol(component.acTree, component.acSteps, component.acGeneration, &symbol);
        if (bad_ || DataExhausted()) return Step::kFail;
        if (!found) return Step::kMarkerSearch;
        if (symbol == 0x00) break;  // end of block
        if (symbol == 0xF0) {       // sixteen zeros
            k += 16;
            continue;
        }
        const int run = symbol >> 4;
        const int size = symbol & 0x0F;
        k += run;
        if (size > 0) {
            if (!ReceiveBits(size, &bits)) return Step::kMarkerSearch;
            coefficients[k] = ExtendReceived(bits, size);
            ++k;
        }
    }
    if (k > 64) return Step::kMarkerSearch;  // the runs overran the block

    std::int16_t natural[64];
    for (int j = 0; j < 64; ++j) {
        const std::uint32_t product =
            static_cast<std::uint32_t>(coefficients[j]) * component.quant[j];
        natural[kZigZag[j]] = static_cast<std::int16_t>(static_cast<std::uint16_t>(product));
    }
    std::uint8_t samples[64];
    transform_(natural, samples);
    PlaceBlock(component.layout, *blockCounter, samples);
    ++*blockCounter;
    return Step::kBlockDone;
}

// Passes bytes up to the next marker. RSTn is consumed and lets the scan go on; any other
// marker (or the end of the data) ends the scan with the cursor on it.
ScanDecoder::Search ScanDecoder::FindMarker() {
    for (;;) {
        ScheduledRefill();
        if (bad_) return Search::kFail;
        const int current = Peek(0);
        if (current == kEndOfData) return bad_ ? Search::kFail : Search::kEndOfScan;
        const int next = Peek(1);
        if (current == 0xFF && next != kEndOfData && next != 0x00 && next != 0xFF) {
            if (next >= 0xD0 && next <= 0xD7) {
                pos_ += 2;
                left_ -= 2;
                bit_ = 0;
                return Search::kRestart;
            }
            return Search::kEndOfScan;
        }
        Advance(1);
        if (Peek(0) == kEndOfData) return bad_ ? Search::kFail : Search::kEndOfScan;
    }
}

int ScanDecoder::Run(const ScanComponent* components, int count) {
    std::int32_t predictors[kMaxScanComponents] = {};
    std::uint32_t blockCounters[kMaxScanComponents] = {};
    bool anyBlocks = false;
    for (int i = 0; i < count; ++i) anyBlocks = anyBlocks || components[i].blocksPerUnit > 0;

    for (;;) {
        Step step = anyBlocks ? Step::kBlockDone : Step::kMarkerSearch;
        for (int i = 0; i < count && step == Step::kBlockDone; ++i) {
            for (std::uint32_t b = 0; b < components[i].blocksPerUnit; ++b) {
                step = DecodeBlock(components[i], &predictors[i], &blockCounters[i]);
                if (step != Step::kBlockDone) break;
            }
        }
        if (step == Step::kFail) return 0;
        if (step == Step::kBlockDone) continue;

        const Search found = FindMarker();
        if (found == Search::kFail) return 0;
        if (found == Search::kRestart) {
            for (auto& p : predictors) p = 0;
            continue;
        }
        // Give the unread bytes back so that the stream stands on the marker.
        if (left_ != 0) in_.seekg(-static_cast<std::streamoff>(left_), std::ios::cur);
        return 1;
    }
}

}  // namespace vantor

#include "plugin/scan_decoder.h"

#include <cstring>
#include <memory>

#include "plugin/markers.h"

namespace vantor {

namespace {

constexpr std::size_t kRefillBytes = 100;
constexpr std::size_t kRefillThreshold = 30;
constexpr int kEndOfData = -1;
// The fast path reads the file in larger pieces and keeps at least kReadAhead bytes in the
// window before each block, so that a block meets the window's end only in data padded with
// thousands of FF bytes. A window of two such pieces stays below the size from which the C
// library maps every allocation afresh, so that small pictures do not pay for its page faults.
constexpr std::size_t kFastRefillBytes = 32 * 1024;
constexpr std::size_t kReadAhead = 4096;

// Whether any of the eight bytes of `word` is FF.
inline bool HasFfByte(std::uint64_t word) {
    const std::uint64_t inverted = ~word;
    return ((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) != 0;
}

inline std::uint64_t LoadBigEndian(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return __builtin_bswap64(word);
}

// Fills `r` to more than 56 bits from the window bytes before `end`, dropping the stuffed 00
// after each FF. At a marker or the end of the window the data stops and zero bits follow.
inline void Load(BitBuffer& r, const std::uint8_t* window, std::size_t end) {
    while (r.count <= 56) {
        if (r.stop >= 0) {
            r.loaded += 64 - r.count;
            r.count = 64;
            return;
        }
        if (end - r.next >= 8) {
            const std::uint64_t word = LoadBigEndian(window + r.next);
            if (!HasFfByte(word)) {
                const int take = (64 - r.count) >> 3;
                const std::uint64_t kept = take == 8 ? word : word & (~0ull << (64 - 8 * take));
                r.bits |= kept >> r.count;
                r.next += static_cast<std::size_t>(take);
                r.count += 8 * take;
                r.loaded += 8 * take;
                continue;
            }
        }
        if (r.next >= end) {
            r.stop = r.loaded;
            continue;
        }
        const std::uint8_t byte = window[r.next];
        if (byte == 0xFF) {
            std::size_t j = r.next + 1;
            while (j < end && window[j] == 0xFF) ++j;
            if (j >= end || window[j] != 0x00) {
                r.stop = r.loaded;
                continue;
            }
            r.next = j + 1;
        } else {
            ++r.next;
        }
        r.bits |= static_cast<std::uint64_t>(byte) << (56 - r.count);
        r.count += 8;
        r.loaded += 8;
    }
}

inline void Consume(BitBuffer& r, int n) {
    r.bits <<= n;
    r.count -= n;
}

// A code that the lookahead does not resolve, walked bit by bit from the root: a code longer
// than the lookahead, or false for bits that no code begins with.
inline bool WalkLongCode(const HuffNode* root, const BitBuffer& r, std::uint32_t* symbol,
                         int* length) {
    const HuffNode* node = root;
    std::uint64_t bits = r.bits;
    for (int depth = 1; depth <= kMaxCodeLength; ++depth) {
        node = (bits >> 63) ? node->one : node->zero;
        bits <<= 1;
        if (node == nullptr) return false;
        if (node->leaf) {
            // A leaf within the lookahead would have had its entry.
            if (depth <= kLookaheadBits) return false;
            *symbol = node->symbol;
            *length = depth;
            return true;
        }
    }
    return false;
}

inline std::int16_t Dequantise(std::uint32_t coefficient, std::uint32_t quant) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(coefficient * quant));
}

}  // namespace

ScanDecoder::ScanDecoder(std::istream& in, InverseTransform transform, DecodePath path)
    : in_(in),
      transform_(transform),
      path_(path),
      refillBytes_(path == DecodePath::kFast ? kFastRefillBytes : kRefillBytes),
      window_(2 * refillBytes_ + 2) {}

void ScanDecoder::Fill() {
    if (eof_ || bad_) return;
    if (pos_ != 0 && left_ != 0) std::memmove(window_.data(), window_.data() + pos_, left_);
    pos_ = 0;
    if (window_.size() < left_ + refillBytes_ + 2) window_.resize(left_ + refillBytes_ + 2);
    in_.read(reinterpret_cast<char*>(window_.data() + left_),
             static_cast<std::streamsize>(refillBytes_));
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
// of the data or a broken code (which discards the rest of its byte) stopped it.
int ScanDecoder::DecodeSymbol(const HuffNode* root, std::uint8_t* symbol) {
    std::size_t length = 0;
    int value = Unit(&length);
    if (value == kEndOfData) return 0;
    unsigned byte = (static_cast<unsigned>(value) << bit_) & 0xFFu;
    int used = bit_;
    const HuffNode* node = root;
    for (;;) {
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
    int found = DecodeSymbol(component.dcTree, &symbol);
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
        found = DecodeSymbol(component.acTree, &symbol);
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
    if (sink_ != nullptr) {
        const int index = static_cast<int>(&component - components_);
        if (std::int16_t* target = sink_->Target(index, *blockCounter)) {
            std::memcpy(target, natural, sizeof natural);
        } else {
            sink_->Put(index, *blockCounter, natural);
        }
    } else {
        std::uint8_t samples[64];
        transform_(natural, samples);
        PlaceBlock(component.layout, *blockCounter, samples);
    }
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
            if (marker::IsRestart(next)) {
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

// Places the fast reader on the byte-wise cursor.
void ScanDecoder::PlaceReader() {
    reader_ = BitBuffer{};
    reader_.next = pos_;
    readerStart_ = pos_;
    Load(reader_, window_.data(), pos_ + left_);
    Consume(reader_, bit_);
}

// Moves the byte-wise cursor to where the fast reader stands: past the data bytes whose bits it
// consumed, every stuffed FF 00 (or FF FF ... 00) counting as one byte.
void ScanDecoder::SyncCursor() {
    const std::uint8_t* window = window_.data();
    std::int64_t bits = reader_.loaded - reader_.count;
    std::size_t pos = readerStart_;
    while (bits >= 8) {
        const auto bytes = static_cast<std::size_t>(bits / 8);
        const void* ff = std::memchr(window + pos, 0xFF, bytes);
        if (ff == nullptr) {
            pos += bytes;
            bits -= 8 * static_cast<std::int64_t>(bytes);
            break;
        }
        const auto plain =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(ff) - (window + pos));
        pos += plain + 1;
        while (window[pos] == 0xFF) ++pos;
        ++pos;  // the stuffed 00
        bits -= 8 * static_cast<std::int64_t>(plain + 1);
    }
    left_ -= pos - pos_;
    pos_ = pos;
    bit_ = static_cast<int>(bits);
}

// One block by the lookup tables, into `natural` (dequantised, zeros elsewhere). Returns false,
// changing neither the reader nor the predictor, when the block needs the exact reader: a code
// that no table entry resolves (an absent branch), a DC count above 16, a run past the last
// coefficient, or data that reaches within a byte of a marker or the end of the data.
bool ScanDecoder::FastBlock(const ScanComponent& component, const FastHuffman& dc,
                            const FastHuffman& ac, std::int32_t* predictor, std::int16_t* natural) {
    BitBuffer r = reader_;
    const std::uint8_t* window = window_.data();
    const std::size_t end = pos_ + left_;
    const std::uint32_t* quant = component.quant;

    if (r.count < 32) Load(r, window, end);
    std::uint32_t entry = dc.Entry(static_cast<std::uint32_t>(r.bits >> (64 - kLookaheadBits)));
    std::uint32_t symbol = (entry >> 8) & 0xFF;
    int length = static_cast<int>(entry & kEntryLength);
    if (length == 0 && !WalkLongCode(dc.Root(), r, &symbol, &length)) return false;
    Consume(r, length);
    if (symbol > 16) return false;
    std::uint32_t difference = 0;
    if (symbol > 0) {
        const auto bits = static_cast<std::uint32_t>(r.bits >> (64 - symbol));
        Consume(r, static_cast<int>(symbol));
        difference = static_cast<std::uint32_t>(ExtendReceived(bits, static_cast<int>(symbol)));
    }
    const std::uint32_t dcValue = static_cast<std::uint32_t>(*predictor) + difference;
    natural[0] = Dequantise(dcValue, quant[0]);

    int k = 1;
    while (k < 64) {
        if (r.count < 32) Load(r, window, end);
        const auto lookahead = static_cast<std::uint32_t>(r.bits >> (64 - kLookaheadBits));
        entry = ac.Entry(lookahead);
        if (entry & kEntryFolded) {
            // Symbol and additional bits in one: the value is ready.
            k += (entry >> 12) & 0x0F;
            if (k > 63) return false;
            // The shift takes its count modulo 64, which leaves the length alone.
            r.bits <<= entry & 63;
            r.count -= static_cast<int>(entry & kEntryLength);
            const auto value = static_cast<std::int16_t>(entry >> 16);
            natural[kZigZag[k]] = Dequantise(static_cast<std::uint32_t>(value), quant[k]);
            ++k;
            continue;
        }
        symbol = (entry >> 8) & 0xFF;
        length = static_cast<int>(entry & kEntryLength);
        if (length == 0 && !WalkLongCode(ac.Root(), r, &symbol, &length)) {
            return false;
        }
        Consume(r, length);
        if (symbol == 0x00) break;
        if (symbol == 0xF0) {
            k += 16;
            continue;
        }
        k += static_cast<int>(symbol >> 4);
        const int size = static_cast<int>(symbol & 0x0F);
        if (size > 0) {
            if (k > 63) return false;
            const auto bits = static_cast<std::uint32_t>(r.bits >> (64 - size));
            Consume(r, size);
            natural[kZigZag[k]] =
                Dequantise(static_cast<std::uint32_t>(ExtendReceived(bits, size)), quant[k]);
            ++k;
        }
    }
    if (k > 64) return false;
    if (r.stop >= 0 && r.loaded - r.count + 8 > r.stop) return false;
    *predictor = static_cast<std::int32_t>(dcValue);
    reader_ = r;
    return true;
}

int ScanDecoder::Run(const ScanComponent* components, int count) {
    std::int32_t predictors[kMaxScanComponents] = {};
    std::uint32_t blockCounters[kMaxScanComponents] = {};
    bool anyBlocks = false;
    for (int i = 0; i < count; ++i) anyBlocks = anyBlocks || components[i].blocksPerUnit > 0;

    // The fast path: lookup tables per scan component, and a reader that stands wherever the
    // exact one last left the cursor.
    const bool fast = path_ == DecodePath::kFast;
    // Components that share a code tree (the two chroma components, as a rule) share its table.
    // Left uninitialised: Build fills each one it uses.
    std::unique_ptr<FastHuffman[]> tables(fast ? new FastHuffman[2 * count] : nullptr);
    const FastHuffman* dcTables[kMaxScanComponents] = {};
    const FastHuffman* acTables[kMaxScanComponents] = {};
    std::size_t built = 0;
    for (int i = 0; fast && i < count; ++i) {
        for (const bool ac : {false, true}) {
            const HuffNode* tree = ac ? components[i].acTree : components[i].dcTree;
            const FastHuffman** table = ac ? &acTables[i] : &dcTables[i];
            for (int j = 0; j < i && *table == nullptr; ++j) {
                if (tree == (ac ? components[j].acTree : components[j].dcTree)) {
                    *table = ac ? acTables[j] : dcTables[j];
                }
            }
            if (*table != nullptr) continue;
            tables[built].Build(tree, ac);
            *table = &tables[built++];
        }
    }
    bool readerPlaced = false;
    alignas(32) std::int16_t natural[64] = {};
    alignas(32) std::uint8_t samples[64];

    components_ = components;
    for (;;) {
        if (sink_ != nullptr) sink_->Progress(blockCounters);
        Step step = anyBlocks ? Step::kBlockDone : Step::kMarkerSearch;
        for (int i = 0; i < count && step == Step::kBlockDone; ++i) {
            const ScanComponent& component = components[i];
            for (std::uint32_t b = 0; b < component.blocksPerUnit; ++b) {
                if (fast) {
                    if (!readerPlaced) {
                        PlaceReader();
                        readerPlaced = true;
                    } else if (!eof_ && pos_ + left_ - reader_.next < kReadAhead) {
                        SyncCursor();
                        Fill();
                        PlaceReader();
                    }
                    // A sink takes the coefficients where it keeps them.
                    std::int16_t* target = natural;
                    if (sink_ != nullptr) {
                        if (std::int16_t* kept = sink_->Target(i, blockCounters[i])) target = kept;
                    }
                    if (FastBlock(component, *dcTables[i], *acTables[i], &predictors[i], target)) {
                        if (target == natural) {
                            if (sink_ != nullptr) {
                                sink_->Put(i, blockCounters[i], natural);
                            } else {
                                transform_(natural, samples);
                                PlaceBlock(component.layout, blockCounters[i], samples);
                            }
                            std::memset(natural, 0, sizeof natural);
                        }
                        ++blockCounters[i];
                        continue;
                    }
                    // The exact reader takes this block from where it begins.
                    std::memset(target, 0, sizeof natural);
                    SyncCursor();
                    readerPlaced = false;
                }
                step = DecodeBlock(component, &predictors[i], &blockCounters[i]);
                if (step != Step::kBlockDone) break;
            }
        }
        if (step == Step::kFail) {
            if (sink_ != nullptr) sink_->Progress(blockCounters);
            return 0;
        }
        if (step == Step::kBlockDone) continue;

        const Search found = FindMarker();
        if (found != Search::kRestart && sink_ != nullptr) sink_->Progress(blockCounters);
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

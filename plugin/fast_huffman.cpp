#include "plugin/fast_huffman.h"

#include "plugin/scan_decoder.h"

namespace vantor {

void FastHuffman::Build(const HuffNode* root, bool ac) {
    for (std::uint32_t v = 0; v < (1u << kLookaheadBits); ++v) {
        entries_[v] = 0;
        longCodes_[v] = nullptr;
        const HuffNode* node = root;
        for (int depth = 1; depth <= kLookaheadBits; ++depth) {
            const HuffNode* next = ((v >> (kLookaheadBits - depth)) & 1u) ? node->one : node->zero;
            if (next == nullptr) break;  // an absent branch: the exact reader deals with it
            if (next->leaf) {
                std::uint32_t entry = next->symbol | static_cast<std::uint32_t>(depth) << 8;
                const int size = next->symbol & 0x0F;
                if (ac && size > 0 && depth + size <= kLookaheadBits) {
                    const std::uint32_t extra =
                        (v >> (kLookaheadBits - depth - size)) & ((1u << size) - 1u);
                    const auto value = static_cast<std::uint16_t>(ExtendReceived(extra, size));
                    entry |= static_cast<std::uint32_t>(depth + size) << 12 |
                             static_cast<std::uint32_t>(value) << 16;
                }
                entries_[v] = entry;
                break;
            }
            node = next;
            if (depth == kLookaheadBits) longCodes_[v] = node;
        }
    }
}

}  // namespace vantor

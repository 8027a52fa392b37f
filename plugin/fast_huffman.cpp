#include "plugin/fast_huffman.h"

#include "plugin/scan_decoder.h"

namespace vantor {

// One walk over the tree down to the lookahead depth that writes every entry once: a leaf at
// depth d fills the 2^(kLookaheadBits - d) entries whose first d bits are its code; entries under
// an absent branch or an inner node at the full depth (a longer code) get 0.
void FastHuffman::Build(const HuffNode* root, bool ac) {
    root_ = root;
    struct Pending {
        const HuffNode* node;
        int depth;
        std::uint32_t code;
    };
    // Inner nodes whose children are still to be looked at: at most one per depth and branch.
    Pending stack[2 * kLookaheadBits + 2];
    int top = 0;
    stack[top++] = {root, 0, 0};
    while (top > 0) {
        const Pending p = stack[--top];
        for (std::uint32_t bit = 0; bit < 2; ++bit) {
            const HuffNode* next = bit != 0 ? p.node->one : p.node->zero;
            const int depth = p.depth + 1;
            const std::uint32_t code = p.code << 1 | bit;
            if (next != nullptr && !next->leaf && depth < kLookaheadBits) {
                stack[top++] = {next, depth, code};
                continue;
            }
            const std::uint32_t first = code << (kLookaheadBits - depth);
            const std::uint32_t end = first + (1u << (kLookaheadBits - depth));
            if (next == nullptr || !next->leaf) {
                for (std::uint32_t v = first; v < end; ++v) entries_[v] = 0;
                continue;
            }
            const std::uint32_t entry =
                static_cast<std::uint32_t>(depth) | static_cast<std::uint32_t>(next->symbol) << 8;
            const int size = next->symbol & 0x0F;
            if (ac && size > 0 && depth + size <= kLookaheadBits) {
                // The additional bits follow the code: each value fills the entries that begin
                // with the code and then its bits.
                const std::uint32_t span = 1u << (kLookaheadBits - depth - size);
                const std::uint32_t folded = static_cast<std::uint32_t>(depth + size) |
                                             kEntryFolded |
                                             static_cast<std::uint32_t>(next->symbol) << 8;
                std::uint32_t v = first;
                for (std::uint32_t extra = 0; extra < (1u << size); ++extra) {
                    const auto value = static_cast<std::uint16_t>(ExtendReceived(extra, size));
                    const std::uint32_t full = folded | static_cast<std::uint32_t>(value) << 16;
                    for (std::uint32_t n = 0; n < span; ++n) entries_[v++] = full;
                }
            } else {
                for (std::uint32_t v = first; v < end; ++v) entries_[v] = entry;
            }
        }
    }
}

}  // namespace vantor

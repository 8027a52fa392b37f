// Huffman code trees of a JPEG decoder: one binary tree per table class and number, the bit 0 of
// a code leading to the 0-branch. Symbols are inserted at the leftmost free position of their
// code length, which gives the canonical code assignment of ITU T.81 Annex C when they arrive in
// the order of the DHT segment.
#pragma once

#include <cstdint>

namespace vantor {

struct HuffNode {
    HuffNode* zero = nullptr;  // child reached by a 0 bit; owned
    HuffNode* one = nullptr;   // child reached by a 1 bit; owned
    std::uint32_t leaf = 0;    // 1 for a leaf, 0 for an inner node
    std::uint8_t symbol = 0;   // meaningful in leaves
    // Bit d-1 is set when no free position is left at depth d below this node. It lets an
    // insertion decide at once whether a subtree can take a symbol, so that a table whose
    // symbols find no place costs a few steps per symbol instead of a walk over the whole tree.
    std::uint16_t fullAtDepth = 0;
};

constexpr int kMaxCodeLength = 16;

// Places `symbol` at the leftmost free position `depth` (1 to 16) levels below `root`, creating
// inner nodes on the way. Returns false, changing nothing, when no position is free.
bool InsertSymbol(HuffNode* root, int depth, std::uint8_t symbol);

// Frees every node below `root`, children before parents, and empties the root.
void FreeTree(HuffNode* root);

}  // namespace vantor

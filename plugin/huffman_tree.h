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

// What the bit-serial walk does with the rest of one byte when it starts at a tree's root with
// `used` bits of that byte already taken: it finds a leaf, meets an absent branch (the rest of
// the byte is dropped), or runs out of bits at an inner node. Filled on first use and stamped
// with the tree's generation, so that a redefined tree never meets stale entries.
struct WalkStep {
    enum Kind : std::uint8_t { kLeaf, kAbsent, kInner };
    const HuffNode* node = nullptr;  // kInner: where the walk goes on with the next byte
    std::uint32_t stamp = 0;         // generation of the tree this entry describes; 0: unused
    Kind kind = kAbsent;
    std::uint8_t used = 0;    // kLeaf: bits of the byte used, the code's last bit included
    std::uint8_t symbol = 0;  // kLeaf
};

// Entries per tree: one per bit offset (0 to 7) and byte value.
constexpr int kWalkStepsPerTree = 8 * 256;

// The walk from `root` over the byte `value` from bit `offset` on (0 = most significant).
WalkStep WalkByte(const HuffNode* root, unsigned value, int offset);

}  // namespace vantor

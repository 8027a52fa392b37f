// Lookup tables over a Huffman code tree: the next 9 bits of the data give the symbol and its
// code length at once, and for AC symbols whose additional bits fit in the same 9 bits, the
// coefficient value too. Built from the tree itself, so that it decodes exactly the codes the
// tree walk decodes; codes longer than 9 bits continue the walk from the node the table names.
#pragma once

#include <cstdint>

#include "plugin/huffman_tree.h"

namespace vantor {

constexpr int kLookaheadBits = 9;

class FastHuffman {
  public:
    // `ac`: fold the additional bits of AC symbols into the entries where they fit.
    void Build(const HuffNode* root, bool ac);

    // Entry layout: symbol in bits 0-7, code length in bits 8-11 (0: no code of at most 9 bits
    // starts here), code plus additional bits length in bits 12-15 (0: value not folded in),
    // the extended coefficient value in bits 16-31.
    std::uint32_t Entry(std::uint32_t lookahead) const { return entries_[lookahead]; }
    // Where the walk goes on after 9 bits for a longer code; null where no code continues.
    const HuffNode* LongCode(std::uint32_t lookahead) const { return longCodes_[lookahead]; }

  private:
    std::uint32_t entries_[1 << kLookaheadBits];
    const HuffNode* longCodes_[1 << kLookaheadBits];
};

}  // namespace vantor

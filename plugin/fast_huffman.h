// Lookup tables over a Huffman code tree: the next 11 bits of the data give the symbol and its
// code length at once, and for AC symbols whose additional bits fit in the same 11 bits, the
// coefficient value too. Built from the tree itself, so that it decodes exactly the codes the
// tree walk decodes; codes longer than 11 bits are walked in the tree from its root.
#pragma once

#include <cstdint>

#include "plugin/huffman_tree.h"

namespace vantor {

constexpr int kLookaheadBits = 11;

class FastHuffman {
  public:
    // `ac`: fold the additional bits of AC symbols into the entries where they fit.
    void Build(const HuffNode* root, bool ac);

    // Entry layout: symbol in bits 0-7, code length in bits 8-11 (0: no code of at most
    // kLookaheadBits bits starts here), code plus additional bits length in bits 12-15 (0: value
    // not folded in), the extended coefficient value in bits 16-31.
    std::uint32_t Entry(std::uint32_t lookahead) const { return entries_[lookahead]; }
    // The tree the table was built from, for the codes the table does not resolve.
    const HuffNode* Root() const { return root_; }

  private:
    std::uint32_t entries_[1 << kLookaheadBits];
    const HuffNode* root_ = nullptr;
};

}  // namespace vantor

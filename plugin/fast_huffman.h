// Lookup tables over a Huffman code tree: the next 11 bits of the data give the symbol and its
// code length at once, and for AC symbols whose additional bits fit in the same 11 bits, the
// coefficient value too. Built from the tree itself, so that it decodes exactly the codes the
// tree walk decodes; codes longer than 11 bits are walked in the tree from its root.
#pragma once

#include <cstdint>

#include "plugin/huffman_tree.h"

namespace vantor {

constexpr int kLookaheadBits = 11;
constexpr std::uint32_t kEntryLength = 0x3F;
constexpr std::uint32_t kEntryFolded = 0x80;

class FastHuffman {
  public:
    // `ac`: fold the additional bits of AC symbols into the entries where they fit.
    void Build(const HuffNode* root, bool ac);

    // Entry layout: in bits 0-5 the bits to consume at once (0: no code of at most
    // kLookaheadBits bits starts here), so that a shift by the whole entry (whose count the
    // processor takes modulo 64) consumes them; bit 7 set when the additional bits of an AC
    // symbol are folded in, the bits to consume then counting both; the symbol in bits 8-15;
    // the extended coefficient value of a folded entry in bits 16-31.
    std::uint32_t Entry(std::uint32_t lookahead) const { return entries_[lookahead]; }
    // The tree the table was built from, for the codes the table does not resolve.
    const HuffNode* Root() const { return root_; }

  private:
    std::uint32_t entries_[1 << kLookaheadBits];
    const HuffNode* root_ = nullptr;
};

}  // namespace vantor

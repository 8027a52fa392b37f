// The code tree against the canonical assignment of ITU T.81 Annex C, written out here the way
// the standard's flow charts give it: codes counted upwards within a length and shifted left
// between lengths. Tables that fit and tables with more codes than a length has room for.
#include "plugin/huffman_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using vantor::HuffNode;

struct Code {
    int length = 0;
    std::uint32_t bits = 0;
};

// The codes a symbol stream of the given lengths (in DHT order) gets; a symbol with no code
// left at its length gets none.
std::vector<Code> CanonicalCodes(const std::vector<int>& lengths) {
    std::vector<Code> codes;
    std::uint64_t next = 0;
    int length = 1;
    for (int wanted : lengths) {
        for (; length < wanted; ++length) next <<= 1;
        if (next < (std::uint64_t{1} << wanted)) {
            codes.push_back({wanted, static_cast<std::uint32_t>(next++)});
        } else {
            codes.push_back({});
        }
    }
    return codes;
}

// Every leaf of the tree, as code -> symbol, keyed by length and bits.
void CollectLeaves(const HuffNode* node, int depth, std::uint32_t bits,
                   std::map<std::pair<int, std::uint32_t>, int>* leaves) {
    if (node == nullptr) return;
    if (node->leaf) {
        (*leaves)[{depth, bits}] = node->symbol;
        return;
    }
    CollectLeaves(node->zero, depth + 1, bits << 1, leaves);
    CollectLeaves(node->one, depth + 1, bits << 1 | 1u, leaves);
}

TEST(HuffmanTree, SymbolsTakeTheirCanonicalCodesAndThoseWithoutRoomAreRefused) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        // Lengths ascending, as a DHT segment lists them; some tables overfill a length.
        std::vector<int> lengths;
        const int symbols = 1 + static_cast<int>(random() % 256);
        const int spread = 1 + static_cast<int>(random() % vantor::kMaxCodeLength);
        for (int i = 0; i < symbols; ++i)
            lengths.push_back(1 + static_cast<int>(random() % spread));
        std::sort(lengths.begin(), lengths.end());

        const std::vector<Code> expected = CanonicalCodes(lengths);
        HuffNode root;
        std::map<std::pair<int, std::uint32_t>, int> wanted;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            const auto symbol = static_cast<std::uint8_t>(i);
            const bool placed = vantor::InsertSymbol(&root, lengths[i], symbol);
            ASSERT_EQ(placed, expected[i].length != 0) << "trial " << trial << " symbol " << i;
            if (placed) wanted[{expected[i].length, expected[i].bits}] = symbol;
        }
        std::map<std::pair<int, std::uint32_t>, int> leaves;
        CollectLeaves(&root, 0, 0, &leaves);
        EXPECT_EQ(leaves, wanted) << "trial " << trial;
        vantor::FreeTree(&root);
    }
}

TEST(HuffmanTree, LengthsOutsideOneToSixteenAreRefused) {
    HuffNode root;
    EXPECT_FALSE(vantor::InsertSymbol(&root, 0, 1));
    EXPECT_FALSE(vantor::InsertSymbol(&root, vantor::kMaxCodeLength + 1, 1));
    EXPECT_EQ(root.zero, nullptr);
    EXPECT_EQ(root.one, nullptr);
    // A full tree at length 1 refuses everything deeper too.
    EXPECT_TRUE(vantor::InsertSymbol(&root, 1, 1));
    EXPECT_TRUE(vantor::InsertSymbol(&root, 1, 2));
    for (int length = 1; length <= vantor::kMaxCodeLength; ++length) {
        EXPECT_FALSE(vantor::InsertSymbol(&root, length, 3)) << length;
    }
    vantor::FreeTree(&root);
}

}  // namespace

#include "plugin/huffman_tree.h"

#include <initializer_list>

namespace vantor {
namespace {

// The depths (bit d - 1 for depth d, counted from the parent) at which the branch `child` of a
// node leaves no free position: none for an empty branch, where a chain can still be created;
// every depth for a leaf, which takes the position itself and has nothing below it; for an
// inner node its own position, and below that the depths at which the node itself is full.
std::uint16_t BlockedDepths(const HuffNode* child) {
    if (child == nullptr) return 0;
    if (child->leaf) return 0xFFFF;
    return static_cast<std::uint16_t>(1u | (static_cast<unsigned>(child->fullAtDepth) << 1));
}

// A node is full at a depth when both branches are.
void UpdateFullness(HuffNode* node) {
    node->fullAtDepth = BlockedDepths(node->zero) & BlockedDepths(node->one);
}

bool HasPlace(const HuffNode* node, int depth) {
    return ((node->fullAtDepth >> (depth - 1)) & 1u) == 0;
}

HuffNode* NewLeaf(std::uint8_t symbol) {
    auto* leaf = new HuffNode;
    leaf->leaf = 1;
    leaf->symbol = symbol;
    return leaf;
}

// Inserts below `node`, which is known to have a free position at `depth`.
void InsertWithPlace(HuffNode* node, int depth, std::uint8_t symbol) {
    if (depth == 1) {
        if (node->zero == nullptr) {
            node->zero = NewLeaf(symbol);
        } else {
            node->one = NewLeaf(symbol);
        }
    } else if (node->zero == nullptr) {
        node->zero = new HuffNode;
        InsertWithPlace(node->zero, depth - 1, symbol);
    } else if (!node->zero->leaf && HasPlace(node->zero, depth - 1)) {
        InsertWithPlace(node->zero, depth - 1, symbol);
    } else {
        if (node->one == nullptr) node->one = new HuffNode;
        InsertWithPlace(node->one, depth - 1, symbol);
    }
    UpdateFullness(node);
}

}  // namespace

bool InsertSymbol(HuffNode* root, int depth, std::uint8_t symbol) {
    if (depth < 1 || depth > kMaxCodeLength) return false;
    if (!HasPlace(root, depth)) return false;
    InsertWithPlace(root, depth, symbol);
    return true;
}

void FreeTree(HuffNode* root) {
    if (root == nullptr) return;
    for (HuffNode** branch : {&root->zero, &root->one}) {
        if (*branch != nullptr) {
            FreeTree(*branch);
            delete *branch;
            *branch = nullptr;
        }
    }
    root->fullAtDepth = 0;
}

}  // namespace vantor

#include "plugin/huffman_tree.h"

#include <initializer_list>

namespace vantor {
namespace {

// Whether the branch `child` of a node leaves no free position `depth` levels below that node.
bool BranchBlocks(const HuffNode* child, int depth) {
    if (depth == 1) return child != nullptr;  // any occupant takes the position itself
    if (child == nullptr) return false;       // a chain can be created there
    if (child->leaf) return true;             // nothing hangs below a leaf
    return (child->fullAtDepth >> (depth - 2)) & 1u;
}

void UpdateFullness(HuffNode* node) {
    std::uint16_t mask = 0;
    for (int depth = 1; depth <= kMaxCodeLength; ++depth) {
        if (BranchBlocks(node->zero, depth) && BranchBlocks(node->one, depth)) {
            mask = static_cast<std::uint16_t>(mask | (1u << (depth - 1)));
        }
    }
    node->fullAtDepth = mask;
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

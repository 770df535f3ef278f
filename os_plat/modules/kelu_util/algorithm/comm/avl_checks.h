// SPDX-License-Identifier: MIT
// Private to the library: the caller contracts of the AVL operations that a
// checked build (KELU_ASSERTIONS) tests before anything is written. Each test
// reads links only, never calls the comparison, and follows the links it is
// given, whatever they hold, as the operation itself would.
#ifndef KELU_AVL_CHECKS_H
#define KELU_AVL_CHECKS_H

#include <cstdint>

#include "avl_internal.h"
#include "kelu_util_avl.h"

namespace kelu::avl {

// The greatest height of an AVL tree whose count fits in 64 bits: the
// sparsest tree of height h + 1 has one node more than the sparsest trees of
// heights h and h - 1 together.
constexpr uint32_t maxHeight() {
    uint64_t lower = 0;  // nodes of the sparsest tree one level lower
    uint64_t nodes = 1;  // nodes of the sparsest tree of `height`
    uint32_t height = 1;
    while (nodes <= UINT64_MAX - lower - 1) {
        const uint64_t taller = nodes + lower + 1;
        lower = nodes;
        nodes = taller;
        ++height;
    }
    return height;
}
inline constexpr uint32_t kMaxHeight = maxHeight();

// Whether `node` is linked in `tree`: every parent up its chain holds the
// node below it in the slot that node's childIndex names, and the top of the
// chain is the tree's root. A chain longer than any tree is high, a cycle
// included, is no tree's.
inline bool isLinkedIn(const AvlTree *tree, const AvlNode *node) {
    for (uint32_t level = 0; level < kMaxHeight; ++level) {
        const AvlNode *const parent = node->parent;
        if (parent == nullptr) {
            return node == tree->root;
        }
        if (node->childIndex > AVL_RIGHT || parent->child[node->childIndex] != node) {
            return false;
        }
        node = parent;
    }
    return false;
}

// Whether `position` names an empty child slot of a node linked in `tree`, or
// (0 or 1) the root slot of an empty tree: what findAvlNode() stores on a
// miss, as long as the tree has not changed since.
inline bool namesEmptySlot(const AvlTree *tree, AvlIndex position) {
    const AvlNode *const node = positionNode(position);
    if (node == nullptr) {
        return tree->root == nullptr;
    }
    return isLinkedIn(tree, node) && node->child[positionSide(position)] == nullptr;
}

inline bool isDirection(uint32_t direction) {
    return direction == AVL_LEFT || direction == AVL_RIGHT;
}

// A position carries the side in bit 0 of a node's address.
inline bool isEven(const AvlNode *node) {
    return (reinterpret_cast<uintptr_t>(node) & 1u) == 0;
}

}  // namespace kelu::avl

#endif  // KELU_AVL_CHECKS_H

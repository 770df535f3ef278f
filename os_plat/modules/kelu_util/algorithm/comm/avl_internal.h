// SPDX-License-Identifier: MIT
// Private to the library: what the AVL operations share beyond the public
// header. Not installed; the library's own tests include it to reach the
// internal steps directly.
#ifndef KELU_AVL_INTERNAL_H
#define KELU_AVL_INTERNAL_H

#include <cstddef>
#include <cstdint>

#include "kelu/avl_algorithms.hpp"
#include "kelu_util_avl.h"

namespace kelu::avl {

// The read-only node algorithms and positions, shared with the typed C++
// interface: one copy of each.
using avl_algorithms::outermost;
using avl_algorithms::positionNode;
using avl_algorithms::positionOf;
using avl_algorithms::positionSide;
using avl_algorithms::step;

// The change of a node's balance when its subtree on `side` grows by one
// level: -1 for AVL_LEFT, +1 for AVL_RIGHT (insertion adds it, removal
// subtracts it). Computed rather than loaded from a table: in the upward
// passes it sits on the dependency chain that every mispredicted branch
// waits for.
constexpr int32_t avlChildToBalance(uint32_t side) {
    return static_cast<int32_t>(side << 1) - 1;
}

// Side for v + 1, v in {-1, 0, +1}: the side a search descends to for a
// comparison result, and the side a removal takes the replacement from for a
// balance (the left one when balanced).
inline constexpr uint32_t avlBalanceToChild[3] = {AVL_LEFT, AVL_LEFT, AVL_RIGHT};

// An element's link record lies nodeOffset bytes inside it.
inline AvlNode *nodeOf(const AvlTree *tree, void *element) {
    return reinterpret_cast<AvlNode *>(static_cast<char *>(element) + tree->nodeOffset);
}

inline void *elementOf(const AvlTree *tree, AvlNode *node) {
    return reinterpret_cast<char *>(node) - tree->nodeOffset;
}

// The link that holds a node whose parent is `parent` at `index`: the parent's
// child slot, or the tree's root when there is no parent.
inline AvlNode *&slotOf(AvlTree *tree, AvlNode *parent, uint32_t index) {
    return parent != nullptr ? parent->child[index] : tree->root;
}

// The rebalancing step with its argument checks: a null tree or node is
// logged and answered with AVL_ERR_PARAM; otherwise rotateAt(). Not exported.
uint32_t rotationAvlNode(AvlTree *tree, AvlNode *node, int32_t balance);

static_assert(sizeof(AvlNode) == 32 && alignof(AvlNode) == 8);
static_assert(offsetof(AvlNode, child) == 0 && offsetof(AvlNode, parent) == 16);
static_assert(offsetof(AvlNode, childIndex) == 24 && offsetof(AvlNode, balance) == 28);
static_assert(sizeof(AvlTree) == 32 && alignof(AvlTree) == 8);
static_assert(offsetof(AvlTree, root) == 0 && offsetof(AvlTree, compare) == 8);
static_assert(offsetof(AvlTree, nodeOffset) == 16 && offsetof(AvlTree, userValue) == 20);
static_assert(offsetof(AvlTree, nodeNum) == 24);
static_assert(sizeof(AvlIndex) == 8);
// A position keeps the side in bit 0 of a node address.
static_assert(alignof(AvlNode) >= 2);
static_assert(sizeof(AvlSvcOp) == 11 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, createAvl) == 0 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, destroyAvl) == 1 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, insertAvlNode) == 2 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, findAvlNode) == 3 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, findAvlNearestNode) == 4 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, addAvlNode) == 5 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, removeAvlNode) == 6 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, insertAvlNodeSpecified) == 7 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, getAvlFirstNode) == 8 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, getAvlLastNode) == 9 * sizeof(void *));
static_assert(offsetof(AvlSvcOp, getAvlNodeNum) == 10 * sizeof(void *));

}  // namespace kelu::avl

#endif  // KELU_AVL_INTERNAL_H

// SPDX-License-Identifier: MIT
// Private to the library: the rebalancing step shared by insertion and
// removal. It makes no log call (the checked entry point, rotationAvlNode,
// does), so it can be inlined into both upward passes.
#ifndef KELU_AVL_ROTATION_H
#define KELU_AVL_ROTATION_H

#include <cstdint>

#include "avl_internal.h"
#include "kelu_util_avl.h"

namespace kelu::avl {

// Hangs `subtree` (possibly null) in parent->child[side], linking it back.
inline void adopt(AvlNode *parent, uint32_t side, AvlNode *subtree) {
    parent->child[side] = subtree;
    if (subtree != nullptr) {
        subtree->parent = parent;
        subtree->childIndex = side;
    }
}

// Restores balance at `node`, whose balance would become `wouldBe` (+2 or -2);
// node->balance still holds its previous value and is not read. One rotation
// around the heavy child C when C leans to the heavy side or is balanced,
// otherwise a double rotation through C's inner child G. The new top of the
// subtree takes node's place under its parent (or as the root).
//
// Returns 1 when the subtree is one level lower than it was with the
// imbalance, 0 when its height is unchanged (only when C was balanced).
//
/*        N                 C                 N                  G
 *       / \               / \               / \               /   \
 *      a   C      ->     N   c             a   C      ->     N     C
 *         / \           / \                   / \           / \   / \
 *        b   c         a   b                 G   d         a  g1 g2  d
 *                                           / \
 *                                         g1   g2
 * (drawn for the right-heavy case; the left-heavy case is its mirror image,
 * obtained by swapping the heavy side and the light side) */
inline uint32_t rotateAt(AvlTree *tree, AvlNode *node, int32_t wouldBe) {
    const uint32_t heavy = wouldBe >= 0 ? AVL_RIGHT : AVL_LEFT;
    const uint32_t light = 1u - heavy;
    const int32_t unit = wouldBe >> 1;  // +1 or -1: the balance of a node leaning to `heavy`

    AvlNode *const parent = node->parent;
    const uint32_t index = node->childIndex;
    AvlNode *const child = node->child[heavy];
    const int32_t childBalance = child->balance;

    AvlNode *top;
    uint32_t lowered;
    if (childBalance != -unit) {
        adopt(node, heavy, child->child[light]);
        child->child[light] = node;
        node->parent = child;
        node->childIndex = light;
        child->balance = childBalance - unit;
        node->balance = unit - childBalance;
        top = child;
        lowered = childBalance == unit ? 1u : 0u;
    } else {
        AvlNode *const grand = child->child[light];
        const int32_t grandBalance = grand->balance;
        adopt(child, light, grand->child[heavy]);
        adopt(node, heavy, grand->child[light]);
        grand->child[heavy] = child;
        child->parent = grand;
        grand->child[light] = node;
        node->parent = grand;
        node->childIndex = light;
        child->balance = grandBalance == -unit ? unit : 0;
        node->balance = grandBalance == unit ? -unit : 0;
        grand->balance = 0;
        top = grand;
        lowered = 1u;
    }
    top->parent = parent;
    top->childIndex = index;
    slotOf(tree, parent, index) = top;
    return lowered;
}

}  // namespace kelu::avl

#endif  // KELU_AVL_ROTATION_H

// SPDX-License-Identifier: MIT
///
/// @file kelu/avl_algorithms.hpp
///
/// The read-only node algorithms of the AVL tree under their C++ names:
/// search by a comparison, the in-order step, the outermost node of a
/// subtree, the descents to a bound and to the range of equal elements, a
/// post-order visit, and the positions that a search reports. Each is the inline C
/// function of kelu_util_avl_inline.h, the one copy that the library's
/// findAvlNode(), walkAvlNode(), findAvlNearestNode() and getAvlFirstNode() /
/// getAvlLastNode() compile too; kelu::avl_set and kelu::avl_multiset call
/// them with their typed, inlined comparison. Changing a tree is left to the exported C operations.
#ifndef KELU_AVL_ALGORITHMS_HPP
#define KELU_AVL_ALGORITHMS_HPP

#include <cstdint>
#include <type_traits>
#include <utility>

#include "kelu_util_avl.h"
#include "kelu_util_avl_inline.h"

namespace kelu::avl_algorithms {

/// positionOf(), positionNode(), positionSide()
/// A position names an empty child slot: the node's address with the side in
/// bit 0 (an AvlNode is at least 2-aligned). positionNode() is null for the
/// root slot of an empty tree, position 0 or 1. @{
inline AvlIndex positionOf(AvlNode *node, uint32_t side) {
    return avlPositionOf(node, side);
}
inline AvlNode *positionNode(AvlIndex position) {
    return avlPositionNode(position);
}
inline uint32_t positionSide(AvlIndex position) {
    return avlPositionSide(position);
}
/// @}

/// outermost()
/// The node reached from `node` (non-null) by following child[side] while it
/// is non-null: the smallest node of the subtree for AVL_LEFT, the largest for
/// AVL_RIGHT. O(height).
inline AvlNode *outermost(AvlNode *node, uint32_t side) {
    return avlNodeOutermost(node, side);
}

/// step()
/// The in-order neighbour of `node` (non-null, linked): the successor in
/// direction AVL_RIGHT, the predecessor in direction AVL_LEFT, or null at that
/// end. O(height), and O(1) amortised over a full walk.
inline AvlNode *step(AvlNode *node, uint32_t direction) {
    return avlNodeStep(node, direction);
}

/// search()
/// Descends from `root` calling compare(node) exactly once for each node on
/// the path, where compare returns how the key sorts against the node's
/// element: -1 before it, 0 equal, +1 after it. Returns the node whose element
/// equals the key, leaving `position` unwritten. Otherwise returns null and
/// sets `position` to the empty slot where the key belongs, or to 0 when the
/// tree is empty or compare returned anything but -1, 0 or +1. O(height).
/// avlNodeSearch() calls `compare` through a constant function pointer, which
/// the compiler turns into an inlined call.
template <typename Compare>
inline AvlNode *search(AvlNode *root, Compare &&compare, AvlIndex &position) {
    using Function = std::remove_reference_t<Compare>;
    return avlNodeSearch(
        root,
        [](const void *context, const AvlNode *node) -> int32_t {
            return (*static_cast<const Function *>(context))(const_cast<AvlNode *>(node));
        },
        &compare, &position);
}

/// Where descend() ends: an empty child slot and its neighbours in order.
struct Slot {
    AvlIndex position;  ///< The empty child slot reached, as a position.
    AvlNode *previous;  ///< The node just before the slot in order, or null.
    AvlNode *next;      ///< The node just after the slot in order, or null.
};

/// descend()
/// Descends from `root` to an empty child slot, going left at each node for
/// which goLeft(node) is true and right otherwise, calling it exactly once
/// per node on the path. Returns the slot's position (0 for an empty tree)
/// and the nodes just before and after the slot in order (null at an end).
/// With goLeft(node) = "the key sorts before the node's element", `next` is
/// the upper bound and the slot lies after every element equal to the key;
/// with "the key does not sort after it", `next` is the lower bound and the
/// slot lies before them all. O(height).
template <typename GoLeft>
inline Slot descend(AvlNode *root, GoLeft &&goLeft) {
    Slot slot{0, nullptr, nullptr};
    for (AvlNode *node = root; node != nullptr;) {
        if (goLeft(node)) {
            slot = {positionOf(node, AVL_LEFT), slot.previous, node};
            node = node->child[AVL_LEFT];
        } else {
            slot = {positionOf(node, AVL_RIGHT), node, slot.next};
            node = node->child[AVL_RIGHT];
        }
    }
    return slot;
}

/// equalRange()
/// The first node whose element equals the key and the first node after all
/// such elements (the same node, or null at the end, when none equals it),
/// where order(node) says how the key sorts against the node's element: -1
/// before it, 0 equal, +1 after it. A search down to the first equal node,
/// then the lower bound below its left child and the upper bound below its
/// right child: order is called once per node on those paths. O(height).
template <typename Order>
inline std::pair<AvlNode *, AvlNode *> equalRange(AvlNode *root, Order &&order) {
    AvlNode *after = nullptr;
    for (AvlNode *node = root; node != nullptr;) {
        const int32_t result = order(node);
        if (result < 0) {
            after = node;
            node = node->child[AVL_LEFT];
        } else if (result > 0) {
            node = node->child[AVL_RIGHT];
        } else {
            AvlNode *first =
                descend(node->child[AVL_LEFT], [&order](AvlNode *n) { return order(n) <= 0; }).next;
            AvlNode *last =
                descend(node->child[AVL_RIGHT], [&order](AvlNode *n) { return order(n) < 0; }).next;
            return {first != nullptr ? first : node, last != nullptr ? last : after};
        }
    }
    return {after, after};
}

/// forEachPostOrder()
/// Calls visit(node) for every node of the subtree at `root` (null: none),
/// each after both of its subtrees. The walk reads what it needs of a node
/// before visiting it and never returns to it, so visit may overwrite or
/// free the node it is given. O(n), no recursion.
template <typename Visit>
inline void forEachPostOrder(AvlNode *root, Visit &&visit) {
    // The first node of the subtree at `node` in post-order: its leftmost leaf.
    auto first = [](AvlNode *node) {
        while (node != nullptr &&
               (node->child[AVL_LEFT] != nullptr || node->child[AVL_RIGHT] != nullptr)) {
            node =
                node->child[AVL_LEFT] != nullptr ? node->child[AVL_LEFT] : node->child[AVL_RIGHT];
        }
        return node;
    };
    for (AvlNode *node = first(root); node != nullptr;) {
        AvlNode *const parent = node->parent;
        AvlNode *const next = parent != nullptr && parent->child[AVL_LEFT] == node &&
                                      parent->child[AVL_RIGHT] != nullptr
                                  ? first(parent->child[AVL_RIGHT])
                                  : parent;
        visit(node);
        node = node == root ? nullptr : next;
    }
}

}  // namespace kelu::avl_algorithms

#endif  // KELU_AVL_ALGORITHMS_HPP

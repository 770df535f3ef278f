// SPDX-License-Identifier: MIT
///
/// @file kelu/avl_algorithms.hpp
///
/// The read-only node algorithms of the AVL tree under their C++ names:
/// search by a comparison, the in-order step, the outermost node of a
/// subtree, and the positions that a search reports. Each is the inline C
/// function of kelu_util_avl_inline.h, the one copy that the library's
/// findAvlNode(), walkAvlNode(), findAvlNearestNode() and getAvlFirstNode() /
/// getAvlLastNode() compile too; kelu::avl_set calls search() with its typed,
/// inlined comparison. Changing a tree is left to the exported C operations.
#ifndef KELU_AVL_ALGORITHMS_HPP
#define KELU_AVL_ALGORITHMS_HPP

#include <cstdint>
#include <type_traits>

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

}  // namespace kelu::avl_algorithms

#endif  // KELU_AVL_ALGORITHMS_HPP

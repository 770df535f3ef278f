// SPDX-License-Identifier: MIT
//
// File: kelu/avl_algorithms.hpp
//
// The read-only node algorithms of the AVL tree: search by a comparison, the
// descents to a bound and to the range of equal elements, the in-order step,
// the outermost node of a subtree, a post-order visit, and the positions
// that a search reports. They only read the public AvlNode layout of
// kelu_util_avl.h and write nothing, so they can be inlined into any caller
// together with its comparison. They are the library's own: findAvlNode()
// is search() instantiated with the tree's C callback, and walkAvlNode(),
// findAvlNearestNode() and getAvlFirstNode() / getAvlLastNode() are step()
// and outermost(); kelu::avl_set and kelu::avl_multiset instantiate them
// with their typed, inlined comparison. Changing a tree is left to the
// exported C operations.
#ifndef KELU_AVL_ALGORITHMS_HPP
#define KELU_AVL_ALGORITHMS_HPP

#include <cstdint>
#include <utility>

#include "kelu_util_avl.h"

namespace kelu::avl_algorithms {

// positionOf(), positionNode(), positionSide()
// A position names an empty child slot: the node's address with the side in
// bit 0 (an AvlNode is at least 2-aligned). positionNode() is null for the
// root slot of an empty tree, position 0 or 1.
inline AvlIndex positionOf(AvlNode *node, uint32_t side) {
    return static_cast<AvlIndex>(reinterpret_cast<uintptr_t>(node)) | side;
}

inline AvlNode *positionNode(AvlIndex position) {
    return reinterpret_cast<AvlNode *>(static_cast<uintptr_t>(position & ~AvlIndex{1}));
}

inline uint32_t positionSide(AvlIndex position) {
    return static_cast<uint32_t>(position & 1u);
}

// outermost()
// The node reached from `node` (non-null) by following child[side] while it
// is non-null: the smallest node of the subtree for AVL_LEFT, the largest for
// AVL_RIGHT. O(height).
inline AvlNode *outermost(AvlNode *node, uint32_t side) {
    while (node->child[side] != nullptr) {
        node = node->child[side];
    }
    return node;
}

// step()
// The in-order neighbour of `node` (non-null, linked): the successor in
// direction AVL_RIGHT, the predecessor in direction AVL_LEFT, or null at that
// end. Follows links only; the climb tests the parent's child pointer, never
// childIndex. O(height), and O(1) amortised over a full walk. Inlined with a
// constant direction, it is as specialised as a step written for that side.
inline AvlNode *step(AvlNode *node, uint32_t direction) {
    AvlNode *next = node->child[direction];
    if (next != nullptr) {
        return outermost(next, 1u - direction);
    }
    for (AvlNode *parent = node->parent; parent != nullptr; parent = parent->parent) {
        if (parent->child[direction] != node) {
            return parent;
        }
        node = parent;
    }
    return nullptr;
}

// search()
// Descends from `root` calling compare(node) exactly once for each node on
// the path, where compare returns how the key sorts against the node's
// element: -1 before it, 0 equal, +1 after it. Returns the node whose element
// equals the key, leaving `position` unwritten. Otherwise returns null and
// sets `position` to the empty slot where the key belongs (the last node
// visited, the key's side in bit 0), or to 0 when the tree is empty or
// compare returned anything but -1, 0 or +1. O(height).
//
// The side is chosen by a branch, not computed from the result: the
// processor then predicts the way down and starts on the next node's
// comparison before this one has returned, instead of waiting for the whole
// result -> child load -> key load chain at every level. Each side has its
// own step down, so that a compiler that sees an inlined comparison does not
// turn the choice back into a computed index (a conditional move).
template <typename Compare>
inline AvlNode *search(AvlNode *root, Compare &&compare, AvlIndex &position) {
    AvlNode *node = root;
    AvlIndex found = 0;
    // One step down on a side known where it is called; false once the
    // search ends at the empty slot on that side.
    auto down = [&node, &found](uint32_t side) {
        AvlNode *next = node->child[side];
        if (next == nullptr) {
            found = positionOf(node, side);
            return false;
        }
        node = next;
        return true;
    };
    if (node != nullptr) {
        for (;;) {
            const int32_t result = compare(node);
            if (result == -1) {
                if (!down(AVL_LEFT)) {
                    break;
                }
            } else if (result == 1) {
                if (!down(AVL_RIGHT)) {
                    break;
                }
            } else if (result == 0) {
                return node;
            } else {
                break;  // outside -1..+1: no element, position 0
            }
        }
    }
    position = found;
    return nullptr;
}

// Slot, descend()
// Descends from `root` to an empty child slot, going left at each node for
// which goLeft(node) is true and right otherwise, calling it exactly once
// per node on the path. Returns the slot's position (0 for an empty tree)
// and the nodes just before and after the slot in order (null at an end).
// With goLeft(node) = "the key sorts before the node's element", `next` is
// the upper bound and the slot lies after every element equal to the key;
// with "the key does not sort after it", `next` is the lower bound and the
// slot lies before them all. O(height).
struct Slot {
    AvlIndex position;
    AvlNode *previous;
    AvlNode *next;
};

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

// equalRange()
// The first node whose element equals the key and the first node after all
// such elements (the same node, or null at the end, when none equals it),
// where order(node) says how the key sorts against the node's element: -1
// before it, 0 equal, +1 after it. A search down to the first equal node,
// then the lower bound below its left child and the upper bound below its
// right child: order is called once per node on those paths. O(height).
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

// forEachPostOrder()
// Calls visit(node) for every node of the subtree at `root` (null: none),
// each after both of its subtrees. The walk reads what it needs of a node
// before visiting it and never returns to it, so visit may overwrite or
// free the node it is given. O(n), no recursion.
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

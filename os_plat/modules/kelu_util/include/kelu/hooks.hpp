// SPDX-License-Identifier: MIT
///
/// @file kelu/hooks.hpp
///
/// Whether a link record is linked, told in O(1), and hook types that keep it
/// true. The C library writes every field of a node it links and nothing into
/// a node it unlinks from a tree; it poisons a node it unlinks from a list.
/// So a record reads as unlinked when:
///   AvlNode:  parent is null and childIndex is 0. A linked node other than
///             the root has a parent; checked containers give the root
///             childIndex 1 (the library never reads the root's childIndex,
///             and every later root inherits it), and zero every node they
///             unlink. A zeroed record (`AvlNode hook{};`) is unlinked.
///   ListNode: both links null (`ListNode hook{};`), or both the poison
///             values the C operations leave in a node they unlink.
/// A record that was never zeroed holds whatever its memory held and usually
/// reads as linked. Only checked containers keep AvlNode records in these
/// states: an unchecked one, or C code, leaves stale links in what it unlinks.
#ifndef KELU_HOOKS_HPP
#define KELU_HOOKS_HPP

#include <type_traits>

#include "kelu/avl_algorithms.hpp"
#include "kelu/checked.hpp"
#include "kelu_util_avl.h"
#include "kelu_util_list.h"

namespace kelu {
namespace detail {

inline bool linked(const AvlNode &node) noexcept {
    return node.parent != nullptr || node.childIndex != 0;
}

inline bool linked(const ListNode &node) noexcept {
    const bool zero = node.next == nullptr && node.prev == nullptr;
    const bool poisoned = node.next == LIST_POISON_NEXT && node.prev == LIST_POISON_PREV;
    return !zero && !poisoned;
}

/// Linked, and both neighbours name it: true for a node in a ring, false for
/// a copy of one or a node already unlinked. O(1).
inline bool in_ring(const ListNode &node) noexcept {
    return linked(node) && node.next->prev == &node && node.prev->next == &node;
}

/// Zeroes every node of a tree that no descriptor holds any more. O(n).
inline void unlink_all(AvlNode *root) noexcept {
    avl_algorithms::forEachPostOrder(root, [](AvlNode *node) { *node = AvlNode{}; });
}

/// The body of avl_hook and list_hook, written once for both kinds of node.
template <typename Hook, typename Node, bool Checked>
struct hook : Node {
    /// Unlinked; a copy is unlinked too, and assigning changes no link. @{
    hook() noexcept : Node{} {}
    hook(const hook &) noexcept : Node{} {}
    hook &operator=(const hook &) noexcept { return *this; }
    /// @}
    ~hook() {
        if constexpr (Checked) {
            if (linked(static_cast<const Node &>(*this))) {
                check_failed<Hook>(std::is_same_v<Node, AvlNode> ? "~avl_hook" : "~list_hook",
                                   failure::hook_destroyed);
            }
        }
    }
};

}  // namespace detail

/// avl_hook<Checked>, list_hook<Checked>
/// An AvlNode / ListNode that is constructed unlinked and copied as unlinked
/// (a copy of a linked element is a new, unlinked element; assigning one
/// changes no hook), usable wherever the plain record is: the containers take
/// `&T::member` of either. In checked mode, destroying one while it is linked
/// stops the program with a message.
template <bool Checked = checked_by_default>
struct avl_hook : detail::hook<avl_hook<Checked>, AvlNode, Checked> {};

/// list_hook<Checked>
/// The same for a ListNode, in a counter_list or a spin_lock_list.
template <bool Checked = checked_by_default>
struct list_hook : detail::hook<list_hook<Checked>, ListNode, Checked> {};

}  // namespace kelu

#endif  // KELU_HOOKS_HPP

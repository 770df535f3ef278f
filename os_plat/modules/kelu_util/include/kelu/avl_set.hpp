// SPDX-License-Identifier: MIT
//
// File: kelu/avl_set.hpp
//
// kelu::avl_set and kelu::avl_multiset: typed, intrusive ordered containers
// over the library's AVL tree, the interface of std::set / std::multiset and
// Boost.Intrusive's avl_set / avl_multiset for elements that embed an
// AvlNode (or a kelu::avl_hook). The containers link and unlink elements and
// never allocate, copy or free one. Reading the tree runs inline with the
// comparison inlined; every change is one or more calls of the exported C
// operations, so the tree has exactly the shapes and log records of the C
// interface, and the descriptor is at all times a valid AvlTree that C code
// may be handed (native_handle()). kelu/avl_container.hpp holds the one
// implementation and documents every operation.
//
// Checked mode (kelu/checked.hpp; on unless NDEBUG, or as KELU_CHECKED or
// the last template argument says): before anything is written, inserting
// an element whose hook is linked, and erasing an element or iterator (or
// inserting next to one) that is not linked in this container, a copy of a
// linked element included, stop the program with a message naming the
// container type and the operation. Each check is O(1) for an insertion and
// O(log n) for a removal (the parents are followed up to this tree's root);
// erasing zeroes the hook (a few stores); clear() and destruction zero every
// hook, O(n), so the elements can be linked again. A plain AvlNode must start
// zeroed (`AvlNode hook{};`), or be a kelu::avl_hook. C code that inserts
// into an empty shared tree links a root that reads as unlinked.
#ifndef KELU_AVL_SET_HPP
#define KELU_AVL_SET_HPP

#include <compare>
#include <functional>

#include "kelu/avl_container.hpp"
#include "kelu/checked.hpp"
#include "kelu/hooks.hpp"
#include "kelu/three_way.hpp"

namespace kelu {

// avl_set<T, &T::member, Compare, Key, Checked>
// The elements of type T linked through `member`, ordered by
// Compare(Key(a), Key(b)); equal keys are not admitted twice: insert()
// returns the iterator to the element that has the key and whether the
// element went in. Key is the element itself by default, or a member with
// kelu::member_key<&T::id>. Compare is a three-way comparison (<=>, a
// comparison category, a signed difference), or a less-than predicate such
// as std::less<>; stateless, or with state given to the constructor.
template <typename T, auto Member, typename Compare = std::compare_three_way,
          typename Key = std::identity, bool Checked = checked_by_default>
class avl_set : public detail::avl_tree<avl_set<T, Member, Compare, Key, Checked>, T, Member,
                                        Compare, Key, Checked, false> {
  public:
    using detail::avl_tree<avl_set, T, Member, Compare, Key, Checked, false>::avl_tree;
};

// avl_multiset<T, &T::member, Compare, Key, Checked>
// As avl_set, but equal keys are admitted, kept in insertion order: insert()
// links an element after the equal ones and returns its iterator; find()
// returns the first of the equal elements, erase(key) erases them all.
template <typename T, auto Member, typename Compare = std::compare_three_way,
          typename Key = std::identity, bool Checked = checked_by_default>
class avl_multiset : public detail::avl_tree<avl_multiset<T, Member, Compare, Key, Checked>, T,
                                             Member, Compare, Key, Checked, true> {
  public:
    using detail::avl_tree<avl_multiset, T, Member, Compare, Key, Checked, true>::avl_tree;
};

}  // namespace kelu

#endif  // KELU_AVL_SET_HPP

// SPDX-License-Identifier: MIT
///
/// @file kelu/avl_set.hpp
///
/// kelu::avl_set: a typed, intrusive ordered set over the library's AVL tree.
/// Elements embed an AvlNode; the set links and unlinks them and never
/// allocates, copies or frees one. Reading the tree (find, the bounds, begin,
/// iteration) runs inline with the comparison inlined; every change (insert,
/// erase, clear) is one call of the exported C operation, so the tree has
/// exactly the shapes and log records of the C interface, and the descriptor
/// is at all times a valid AvlTree that C code may be handed.
///
/// Like the C tree, a set takes no lock: the caller serialises every change
/// against all other use, while reads may run concurrently. A linked element
/// must stay at its address and must not be destroyed until it is erased, or
/// the set is cleared or destroyed (which forget their elements untouched).
#ifndef KELU_AVL_SET_HPP
#define KELU_AVL_SET_HPP

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <type_traits>
#include <utility>

#include "kelu/avl_algorithms.hpp"
#include "kelu/member_hook.hpp"
#include "kelu/three_way.hpp"
#include "kelu_util_avl.h"

namespace kelu {

/// avl_set<T, &T::member, Compare, Key>
/// Orders the elements of type T linked through their AvlNode `member` by
/// Compare applied to their keys: Key(element), the element itself by
/// default. Compare is a stateless function object returning a three-way
/// result (see three_way_result); lookups accept any key type K that
/// Compare can compare with an element's key, Compare(k, Key(element)).
/// Equal keys are not admitted twice. Non-copyable: elements point at the
/// nodes of one another, never at the set, but a set owns its membership.
template <typename T, auto Member, typename Compare = std::compare_three_way,
          typename Key = std::identity>
class avl_set {
    using hook = detail::member_hook<T, Member, AvlNode>;
    static_assert(sizeof(hook) > 0);  // checks Member where the container is named

  public:
    /// The standard container types; key_type is what Key returns, without
    /// reference or const. @{
    using value_type = T;
    using key_type = std::remove_cvref_t<std::invoke_result_t<const Key &, const T &>>;
    using key_compare = Compare;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T &;
    using const_reference = const T &;
    /// @}

    static_assert(std::is_empty_v<Compare> && std::is_default_constructible_v<Compare>,
                  "kelu::avl_set: Compare must be a stateless, default-constructible function "
                  "object, because the tree's C comparison constructs its own");
    static_assert(compares_with<Compare, key_type, key_type>,
                  "kelu::avl_set: Compare cannot compare the keys of two elements: it must "
                  "take (key, key) and return std::strong_ordering, std::weak_ordering, "
                  "std::partial_ordering or a signed integer");

    /// Bidirectional iterators in ascending order. end() is one past the
    /// largest element; --end() is the largest. An iterator stays valid
    /// while its element is linked; erasing an element invalidates only the
    /// iterators to it.
    template <bool Const>
    class basic_iterator {
      public:
        /// The standard iterator types. @{
        using iterator_concept = std::bidirectional_iterator_tag;
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = std::conditional_t<Const, const T &, T &>;
        using pointer = std::conditional_t<Const, const T *, T *>;
        /// @}

        /// A singular iterator; an iterator converts to a const_iterator. @{
        basic_iterator() = default;
        basic_iterator(const basic_iterator<!Const> &other) noexcept requires Const
            : node_(other.node_),
              tree_(other.tree_) {}
        /// @}

        /// The element. @{
        reference operator*() const noexcept { return *hook::element_of(node_); }
        pointer operator->() const noexcept { return hook::element_of(node_); }
        /// @}

        /// O(height); O(1) amortised over a full walk. @{
        basic_iterator &operator++() noexcept {
            node_ = avl_algorithms::step(node_, AVL_RIGHT);
            return *this;
        }
        basic_iterator &operator--() noexcept {
            node_ = node_ != nullptr ? avl_algorithms::step(node_, AVL_LEFT)
                                     : avl_algorithms::outermost(tree_->root, AVL_RIGHT);
            return *this;
        }
        basic_iterator operator++(int) noexcept {
            basic_iterator old = *this;
            ++*this;
            return old;
        }
        basic_iterator operator--(int) noexcept {
            basic_iterator old = *this;
            --*this;
            return old;
        }
        /// @}

        /// Whether both name the same element, or both are end().
        friend bool operator==(const basic_iterator &a, const basic_iterator &b) noexcept {
            return a.node_ == b.node_;
        }

      private:
        friend class avl_set;
        friend class basic_iterator<!Const>;
        basic_iterator(AvlNode *node, AvlTree *tree) noexcept : node_(node), tree_(tree) {}

        AvlNode *node_ = nullptr;  // null for end()
        AvlTree *tree_ = nullptr;  // for --end()
    };
    /// The iterator, and the one that gives const elements. @{
    using iterator = basic_iterator<false>;
    using const_iterator = basic_iterator<true>;
    /// @}

    /// An empty set. O(1).
    avl_set() noexcept {
        (void)createAvl(&tree_, &c_compare, 0, static_cast<uint32_t>(hook::offset()));
    }
    avl_set(const avl_set &) = delete;
    avl_set &operator=(const avl_set &) = delete;

    /// insert()
    /// Links `element` unless an element with an equal key is linked; returns
    /// the iterator to the element that has the key, and whether it was
    /// inserted. What addAvlNode() does: one inlined search, then
    /// insertAvlNode() at the position found. O(log n).
    std::pair<iterator, bool> insert(T &element) {
        AvlIndex position = 0;  // a miss writes it; GCC cannot always see that
        if (AvlNode *equal = search(Key{}(std::as_const(element)), position)) {
            return {make(equal), false};
        }
        (void)insertAvlNode(&tree_, &element, position);
        return {make(hook::hook_of(element)), true};
    }

    /// insert_before(), insert_after()
    /// Links `element` as the immediate predecessor / successor of `here`, a
    /// linked element, without comparing (insertAvlNodeSpecified()).
    /// Requires: that place is right for the element's key, or later
    /// searches go astray. Returns the iterator to `element`. O(log n). @{
    iterator insert_before(T &here, T &element) { return insert_next_to(here, element, AVL_LEFT); }
    iterator insert_after(T &here, T &element) { return insert_next_to(here, element, AVL_RIGHT); }
    /// @}

    /// erase()
    /// Unlinks a linked element (removeAvlNode()); the iterator form returns
    /// the iterator to its successor. The element itself is not written.
    /// O(log n). @{
    void erase(T &element) noexcept { removeAvlNode(&tree_, &element); }
    iterator erase(const_iterator position) noexcept {
        AvlNode *next = avl_algorithms::step(position.node_, AVL_RIGHT);
        removeAvlNode(&tree_, hook::element_of(position.node_));
        return make(next);
    }
    /// @}

    /// clear()
    /// Forgets every element at once without touching any (destroyAvl()).
    /// O(1).
    void clear() noexcept { (void)destroyAvl(&tree_); }

    /// find(), contains(), lower_bound(), upper_bound()
    /// The element whose key equals `key`; the first element whose key is not
    /// before / is after `key`; end() when there is none. Compare is called
    /// once per node on one root-to-leaf path. O(log n). @{
    template <typename K>
    iterator find(const K &key) {
        return make(find_node(key));
    }
    template <typename K>
    const_iterator find(const K &key) const {
        return make(find_node(key));
    }
    template <typename K>
    bool contains(const K &key) const {
        return find_node(key) != nullptr;
    }
    template <typename K>
    iterator lower_bound(const K &key) {
        return make(bound_node<false>(key));
    }
    template <typename K>
    const_iterator lower_bound(const K &key) const {
        return make(bound_node<false>(key));
    }
    template <typename K>
    iterator upper_bound(const K &key) {
        return make(bound_node<true>(key));
    }
    template <typename K>
    const_iterator upper_bound(const K &key) const {
        return make(bound_node<true>(key));
    }
    /// @}

    /// The smallest / largest element. Requires: the set is not empty.
    /// O(log n). @{
    T &front() { return *hook::element_of(avl_algorithms::outermost(tree_.root, AVL_LEFT)); }
    const T &front() const { return const_cast<avl_set *>(this)->front(); }
    T &back() { return *hook::element_of(avl_algorithms::outermost(tree_.root, AVL_RIGHT)); }
    const T &back() const { return const_cast<avl_set *>(this)->back(); }
    /// @}

    /// The number of elements, and whether it is 0. O(1). @{
    size_type size() const noexcept { return static_cast<size_type>(tree_.nodeNum); }
    bool empty() const noexcept { return tree_.nodeNum == 0; }
    /// @}

    /// begin() is O(log n), the others O(1). @{
    iterator begin() noexcept { return make(first()); }
    const_iterator begin() const noexcept { return make(first()); }
    iterator end() noexcept { return make(nullptr); }
    const_iterator end() const noexcept { return make(nullptr); }
    /// @}

    /// The iterator to `element`, which must be linked in this set. O(1).
    iterator iterator_to(T &element) noexcept { return make(hook::hook_of(element)); }

    /// The C descriptor, for C code that shares the tree. Its comparison
    /// takes an element as the key, as addAvlNode() passes it.
    AvlTree *native_handle() noexcept { return &tree_; }

  private:
    // The C comparison: Compare on the keys of two elements, folded.
    static int32_t c_compare(void *key, void *element) {
        const T &a = *static_cast<const T *>(key);
        const T &b = *static_cast<const T *>(element);
        return sign_of(Compare{}(Key{}(a), Key{}(b)));
    }

    template <typename K>
    AvlNode *search(const K &key, AvlIndex &position) const {
        static_assert(compares_with<Compare, K, key_type>,
                      "kelu::avl_set: Compare cannot compare this lookup key with the key of "
                      "an element: Compare(key, Key(element)) must be a three-way comparison");
        return avl_algorithms::search(
            tree_.root,
            [&key](AvlNode *node) {
                return sign_of(Compare{}(key, Key{}(std::as_const(*hook::element_of(node)))));
            },
            position);
    }

    template <typename K>
    AvlNode *find_node(const K &key) const {
        AvlIndex position;
        return search(key, position);
    }

    // On a miss, the element after the key is the nearest one on the right
    // of the position.
    template <bool after_equal, typename K>
    AvlNode *bound_node(const K &key) const {
        AvlIndex position = 0;  // as in insert()
        if (AvlNode *equal = search(key, position)) {
            return after_equal ? avl_algorithms::step(equal, AVL_RIGHT) : equal;
        }
        return avlNodeNearest(position, AVL_RIGHT);
    }

    AvlNode *first() const noexcept {
        return tree_.root != nullptr ? avl_algorithms::outermost(tree_.root, AVL_LEFT) : nullptr;
    }

    iterator insert_next_to(T &here, T &element, uint32_t side) {
        (void)insertAvlNodeSpecified(&tree_, &element, &here, side);
        return make(hook::hook_of(element));
    }

    iterator make(AvlNode *node) noexcept { return iterator(node, &tree_); }
    const_iterator make(AvlNode *node) const noexcept {
        return const_iterator(node, const_cast<AvlTree *>(&tree_));
    }

    AvlTree tree_;
};

}  // namespace kelu

#endif  // KELU_AVL_SET_HPP

// SPDX-License-Identifier: MIT
///
/// @file kelu/avl_container.hpp
///
/// The one implementation of kelu::avl_set and kelu::avl_multiset
/// (kelu/avl_set.hpp), which differ only in whether equal keys are admitted.
/// Reading the tree (lookups, bounds, iteration) runs inline through the
/// algorithms of kelu/avl_algorithms.hpp with the comparison inlined; every
/// change is one or more calls of the exported C operations (insertAvlNode,
/// insertAvlNodeSpecified, removeAvlNode, destroyAvl), so the tree has exactly
/// the shapes and log records of the C interface. Nothing here allocates.
#ifndef KELU_AVL_CONTAINER_HPP
#define KELU_AVL_CONTAINER_HPP

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <type_traits>
#include <utility>

#include "kelu/avl_algorithms.hpp"
#include "kelu/checked.hpp"
#include "kelu/hooks.hpp"
#include "kelu/member_hook.hpp"
#include "kelu/three_way.hpp"
#include "kelu_util_avl.h"

namespace kelu::detail {

/// The tree descriptor of a container. In checked mode, destroying it leaves
/// every element it still holds unlinked (O(n)); otherwise it is a plain
/// AvlTree, destroyed for nothing. @{
template <bool Checked>
struct avl_descriptor : AvlTree {};
template <>
struct avl_descriptor<true> : AvlTree {
    avl_descriptor() = default;
    avl_descriptor(const avl_descriptor &) = delete;
    avl_descriptor &operator=(const avl_descriptor &) = delete;
    ~avl_descriptor() { unlink_all(root); }
};
/// @}

/// avl_tree<Derived, T, Member, Compare, Key, Checked, Multi>
/// Orders the elements of type T linked through their AvlNode `Member` by
/// Compare applied to their keys, Key(element). Compare is a three-way
/// comparison (see three_way_result) or a less-than predicate returning bool
/// (std::less<>, a lambda), stateless or with state given to the
/// constructor; lookups accept any key type K that Compare can compare with
/// an element's key (and, for a less-than predicate, the other way round).
/// Multi: equal keys are admitted, each after the equal ones already linked.
///
/// The set takes no lock: the caller serialises every change against all
/// other use, while reads may run concurrently. A linked element stays at its
/// address and is not destroyed until it is unlinked; elements point at one
/// another, never at the set, so a set moves and swaps in O(1).
template <typename Derived, typename T, auto Member, typename Compare, typename Key, bool Checked,
          bool Multi>
class avl_tree {
    using hook = member_hook<T, Member, AvlNode>;
    static_assert(hook::is_hook);  // checks Member where the container is named

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
    using pointer = T *;
    using const_pointer = const T *;
    /// @}

    static_assert(orders<Compare, key_type, key_type>,
                  "kelu::avl_set, kelu::avl_multiset: Compare cannot compare the keys of two "
                  "elements: it must take (key, key) and return std::strong_ordering, "
                  "std::weak_ordering, std::partial_ordering or a signed integer, or be a "
                  "less-than predicate returning bool");

    /// Bidirectional iterators in ascending order. end() is one past the
    /// largest element; --end() is the largest. An iterator stays valid
    /// while its element is linked in this set; erasing an element
    /// invalidates only the iterators to it, and moving or swapping a set
    /// only its end().
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

        /// A singular iterator, to be assigned before use; a const iterator
        /// also from an iterator. @{
        basic_iterator() = default;
        basic_iterator(const basic_iterator<!Const> &other) noexcept requires Const
            : node_(other.node_),
              tree_(other.tree_) {}
        /// @}

        /// The element. Requires: not end(). @{
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

        /// Whether both name the same element, or both end().
        friend bool operator==(const basic_iterator &a, const basic_iterator &b) noexcept {
            return a.node_ == b.node_;
        }

      private:
        friend class avl_tree;
        friend class basic_iterator<!Const>;
        basic_iterator(AvlNode *node, const AvlTree *tree) noexcept : node_(node), tree_(tree) {}

        AvlNode *node_ = nullptr;        // null for end()
        const AvlTree *tree_ = nullptr;  // for --end()
    };
    /// The iterators, forward and reverse, mutable and const. @{
    using iterator = basic_iterator<false>;
    using const_iterator = basic_iterator<true>;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;
    /// @}

    /// An empty set, with a default-constructed or the given comparison. O(1). @{
    avl_tree() noexcept requires std::default_initializable<Compare> : compare_() { create(); }
    explicit avl_tree(const Compare &compare) noexcept : compare_(compare) { create(); }
    /// @}

    /// Moving takes every element over in O(1), leaving `other` empty;
    /// assigning first clears this set (see clear()). Not copyable: an
    /// element is linked in one set through one hook. @{
    avl_tree(avl_tree &&other) noexcept : compare_(std::move(other.compare_)) {
        create();
        take(other);
    }
    avl_tree &operator=(avl_tree &&other) noexcept {
        if (this != &other) {
            clear();
            compare_ = std::move(other.compare_);
            take(other);
        }
        return *this;
    }
    avl_tree(const avl_tree &) = delete;
    avl_tree &operator=(const avl_tree &) = delete;
    /// @}

    /// Exchanges the elements and comparisons of two sets. O(1). @{
    void swap(Derived &other) noexcept {
        avl_tree &that = other;
        using std::swap;
        swap(compare_, that.compare_);
        swap(tree_.root, that.tree_.root);
        swap(tree_.nodeNum, that.tree_.nodeNum);
    }
    friend void swap(Derived &a, Derived &b) noexcept { a.swap(b); }
    /// @}

    /// insert()
    /// Links `element`. A set refuses it when an element with an equal key is
    /// linked, and returns the iterator to the element that has the key and
    /// whether it was inserted; a multiset links it after every equal element
    /// and returns its iterator. An inlined search (a multiset's, or a
    /// less-than predicate's, descends to the slot after the equal elements,
    /// one call per node plus one for a set), then insertAvlNode() at the
    /// position found. O(log n).
    auto insert(T &element) {
        require_unlinked(element, "insert");
        const auto &key = key_of(element);
        if constexpr (Multi) {
            return link(element, descend_before(key).position);
        } else {
            AvlIndex position = 0;
            AvlNode *equal = find_unique(key, position);
            return equal != nullptr ? std::pair(make(equal), false)
                                    : std::pair(link(element, position), true);
        }
    }

    /// With a hint: linked right before `hint` when that place is right for
    /// its key (between the neighbours, which an equal key may be for a
    /// multiset), costing two comparisons and one step; otherwise as
    /// insert(element). Returns the iterator to the element that has the
    /// key. Amortised O(1) with a right hint, else O(log n).
    iterator insert(const_iterator hint, T &element) {
        require_unlinked(element, "insert");
        AvlNode *const next = hint.node_;
        if constexpr (Checked) {
            if (next != nullptr && !holds(next)) {
                check_failed<Derived>("insert", failure::avl_not_here);
            }
        }
        AvlNode *const previous = next != nullptr ? avl_algorithms::step(next, AVL_LEFT) : last();
        const auto &key = key_of(element);
        const bool fits = Multi ? (previous == nullptr || !sorts_before(key, previous)) &&
                                      (next == nullptr || !sorts_after(key, next))
                                : (previous == nullptr || sorts_after(key, previous)) &&
                                      (next == nullptr || sorts_before(key, next));
        if (!fits) {
            if constexpr (Multi) {
                return insert(element);
            } else {
                return insert(element).first;
            }
        }
        return next != nullptr ? place(element, next, AVL_LEFT)
                               : place(element, previous, AVL_RIGHT);
    }

    /// Each element of [first, last) in turn, as insert(element).
    template <std::input_iterator It, std::sentinel_for<It> Sentinel>
    requires std::convertible_to<std::iter_reference_t<It>, T &> void insert(It first,
                                                                             Sentinel last) {
        for (; first != last; ++first) {
            insert(static_cast<T &>(*first));
        }
    }

    /// insert_before(), insert_after()
    /// Links `element` as the immediate predecessor / successor of `here`, a
    /// linked element, without comparing (insertAvlNodeSpecified()).
    /// Requires: that place is right for the element's key, or later
    /// searches go astray. Returns the iterator to `element`. O(log n). @{
    iterator insert_before(T &here, T &element) {
        require_unlinked(element, "insert_before");
        require_held(hook::hook_of(here), "insert_before");
        return place(element, hook::hook_of(here), AVL_LEFT);
    }
    iterator insert_after(T &here, T &element) {
        require_unlinked(element, "insert_after");
        require_held(hook::hook_of(here), "insert_after");
        return place(element, hook::hook_of(here), AVL_RIGHT);
    }
    /// @}

    /// erase(), erase_and_dispose()
    /// Unlink one linked element (removeAvlNode() each), given itself or its
    /// iterator; the elements of [first, last); or every element whose key
    /// equals `key`, returning how many. The iterator forms return the
    /// iterator after the last one erased. The _and_dispose forms then hand
    /// each element's address to disposer (which may free it), after it is
    /// unlinked. Unchecked, the element is not written; checked, its hook is
    /// zeroed. O(log n) each. @{
    void erase(T &element) noexcept {
        AvlNode *node = hook::hook_of(element);
        require_held(node, "erase");
        unlink(node);
    }
    iterator erase(const_iterator position) noexcept {
        return erase_and_dispose(position, [](T *) {});
    }
    iterator erase(const_iterator first, const_iterator last) noexcept {
        return erase_and_dispose(first, last, [](T *) {});
    }
    template <not_convertible_to<const_iterator> K>
    size_type erase(const K &key) noexcept {
        return erase_and_dispose(key, [](T *) {});
    }
    template <typename Disposer>
    iterator erase_and_dispose(const_iterator position, Disposer disposer) noexcept {
        AvlNode *const node = position.node_;
        require_held(node, "erase");
        AvlNode *const next = avl_algorithms::step(node, AVL_RIGHT);
        unlink(node);
        disposer(hook::element_of(node));
        return make(next);
    }
    template <typename Disposer>
    iterator erase_and_dispose(const_iterator first, const_iterator last,
                               Disposer disposer) noexcept {
        while (first != last) {
            first = erase_and_dispose(first, disposer);
        }
        return make(last.node_);
    }
    template <not_convertible_to<const_iterator> K, typename Disposer>
    size_type erase_and_dispose(const K &key, Disposer disposer) noexcept {
        // A set's one element: found by the search, which a three-way
        // comparison ends at the equal key.
        auto [first, last] = Multi ? equal_nodes(key) : std::pair(find_node(key), nullptr);
        size_type erased = 0;
        for (; first != last && first != nullptr; ++erased) {
            AvlNode *const next = Multi ? avl_algorithms::step(first, AVL_RIGHT) : nullptr;
            unlink(first);
            disposer(hook::element_of(first));
            first = next;
        }
        return erased;
    }
    /// @}

    /// clear(), clear_and_dispose()
    /// Unlink every element at once (destroyAvl()); clear_and_dispose() then
    /// hands each element to disposer, every element after those of its
    /// subtrees (O(n)). Unchecked, clear() touches no element (O(1)); checked,
    /// it zeroes every hook (O(n)), as destroying a checked set does. @{
    void clear() noexcept {
        if constexpr (Checked) {
            clear_and_dispose([](T *) {});
        } else {
            (void)destroyAvl(&tree_);
        }
    }
    template <typename Disposer>
    void clear_and_dispose(Disposer disposer) noexcept {
        AvlNode *const root = tree_.root;
        (void)destroyAvl(&tree_);
        avl_algorithms::forEachPostOrder(root, [&disposer](AvlNode *node) {
            if constexpr (Checked) {
                *node = AvlNode{};
            }
            disposer(hook::element_of(node));
        });
    }
    /// @}

    /// find(), contains(), count(), lower_bound(), upper_bound(), equal_range()
    /// The element whose key equals `key` (a multiset's first one); whether
    /// there is one; how many; the first element whose key is not before /
    /// is after `key`; both of those. end() stands for none. Compare is
    /// called once per node on a root-to-leaf path (a three-way set's find(),
    /// equal_range() and erase(key) stop at the equal key), plus once where a
    /// less-than predicate or a multiset descends to a bound and must tell
    /// equal from greater; a multiset's equal_range() and count() descend
    /// from the first equal key to both bounds. O(log n), and count()
    /// O(log n + count). @{
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
    size_type count(const K &key) const {
        if constexpr (Multi) {
            auto [first, last] = equal_nodes(key);
            size_type n = 0;
            for (; first != last; first = avl_algorithms::step(first, AVL_RIGHT)) {
                ++n;
            }
            return n;
        } else {
            return contains(key) ? 1 : 0;
        }
    }
    template <typename K>
    iterator lower_bound(const K &key) {
        return make(lower_node(key));
    }
    template <typename K>
    const_iterator lower_bound(const K &key) const {
        return make(lower_node(key));
    }
    template <typename K>
    iterator upper_bound(const K &key) {
        return make(descend_before(key).next);
    }
    template <typename K>
    const_iterator upper_bound(const K &key) const {
        return make(descend_before(key).next);
    }
    template <typename K>
    std::pair<iterator, iterator> equal_range(const K &key) {
        const auto [first, last] = equal_nodes(key);
        return {make(first), make(last)};
    }
    template <typename K>
    std::pair<const_iterator, const_iterator> equal_range(const K &key) const {
        const auto [first, last] = equal_nodes(key);
        return {make(first), make(last)};
    }
    /// @}

    /// The smallest / largest element. Requires: the set is not empty.
    /// O(log n). @{
    T &front() noexcept {
        return *hook::element_of(avl_algorithms::outermost(tree_.root, AVL_LEFT));
    }
    const T &front() const noexcept { return const_cast<avl_tree *>(this)->front(); }
    T &back() noexcept {
        return *hook::element_of(avl_algorithms::outermost(tree_.root, AVL_RIGHT));
    }
    const T &back() const noexcept { return const_cast<avl_tree *>(this)->back(); }
    /// @}

    /// O(1). @{
    size_type size() const noexcept { return static_cast<size_type>(tree_.nodeNum); }
    bool empty() const noexcept { return tree_.nodeNum == 0; }
    /// @}

    /// begin() and rend() are O(log n), the others O(1). @{
    iterator begin() noexcept { return make(first()); }
    const_iterator begin() const noexcept { return make(first()); }
    const_iterator cbegin() const noexcept { return begin(); }
    iterator end() noexcept { return make(nullptr); }
    const_iterator end() const noexcept { return make(nullptr); }
    const_iterator cend() const noexcept { return end(); }
    reverse_iterator rbegin() noexcept { return reverse_iterator(end()); }
    const_reverse_iterator rbegin() const noexcept { return const_reverse_iterator(end()); }
    const_reverse_iterator crbegin() const noexcept { return rbegin(); }
    reverse_iterator rend() noexcept { return reverse_iterator(begin()); }
    const_reverse_iterator rend() const noexcept { return const_reverse_iterator(begin()); }
    const_reverse_iterator crend() const noexcept { return rend(); }
    /// @}

    /// The iterator to `element`, which must be linked in this set. O(1). @{
    iterator iterator_to(T &element) noexcept { return make(hook::hook_of(element)); }
    const_iterator iterator_to(const T &element) const noexcept {
        return make(const_cast<AvlNode *>(hook::hook_of(element)));
    }
    /// @}

    /// A copy of the comparison. O(1).
    key_compare key_comp() const { return compare_; }

    /// The C descriptor, for C code that shares the tree. Its C comparison
    /// takes an element as the key, as addAvlNode() passes it, and is
    /// generated from Compare, which it default-constructs: so it exists only
    /// for a stateless Compare, and native_handle() does not compile for one
    /// with state. (Such a set gives the descriptor a comparison that answers
    /// 2, outside the contract: a C search that reached it anyway would find
    /// nothing, and addAvlNode() would refuse.)
    AvlTree *native_handle() noexcept {
        static_assert(c_comparable,
                      "kelu::avl_set, kelu::avl_multiset: native_handle() needs the tree's C "
                      "comparison, which default-constructs Compare; a Compare with state has "
                      "none, and C code could not search the tree");
        return &tree_;
    }

  private:
    static constexpr bool c_comparable =
        std::is_empty_v<Compare> && std::is_default_constructible_v<Compare>;

    static int32_t c_compare(void *key, void *element) {
        if constexpr (c_comparable) {
            return detail::order(Compare{}, key_of(*static_cast<const T *>(key)),
                                 key_of(*static_cast<const T *>(element)));
        } else {
            return 2;
        }
    }

    void create() noexcept {
        (void)createAvl(&tree_, &c_compare, 0, static_cast<uint32_t>(hook::offset()));
    }

    void take(avl_tree &other) noexcept {
        tree_.root = other.tree_.root;
        tree_.nodeNum = other.tree_.nodeNum;
        (void)destroyAvl(&other.tree_);
    }

    static decltype(auto) key_of(const T &element) { return Key{}(element); }
    static decltype(auto) key_of(AvlNode *node) {
        return key_of(std::as_const(*hook::element_of(node)));
    }

    /// How a lookup key sorts against the key of node's element. @{
    template <typename K>
    static constexpr void require_lookup_key() {
        static_assert(orders<Compare, K, key_type>,
                      "kelu::avl_set, kelu::avl_multiset: Compare cannot compare this lookup key "
                      "with the key of an element: Compare(key, Key(element)) must be a three-way "
                      "comparison, or Compare a less-than predicate taking them both ways");
    }
    template <typename K>
    int32_t order_of(const K &key, AvlNode *node) const {
        require_lookup_key<K>();
        return detail::order(compare_, key, key_of(node));
    }
    template <typename K>
    bool sorts_before(const K &key, AvlNode *node) const {
        require_lookup_key<K>();
        return detail::before(compare_, key, key_of(node));
    }
    template <typename K>
    bool sorts_after(const K &key, AvlNode *node) const {
        require_lookup_key<K>();
        return detail::after(compare_, key, key_of(node));
    }
    /// @}

    /// The slot after every element equal to `key`, and its neighbours. @{
    template <typename K>
    avl_algorithms::Slot descend_before(const K &key) const {
        return avl_algorithms::descend(tree_.root,
                                       [&](AvlNode *node) { return sorts_before(key, node); });
    }
    template <typename K>
    AvlNode *lower_node(const K &key) const {
        return avl_algorithms::descend(tree_.root,
                                       [&](AvlNode *node) { return !sorts_after(key, node); })
            .next;
    }
    /// @}

    /// A set's element equal to `key`, or null with `position` set to the
    /// slot for the key: a three-way search stops at the equal key; a
    /// less-than predicate descends to the slot, then tests the last element
    /// before it.
    template <typename K>
    AvlNode *find_unique(const K &key, AvlIndex &position) const {
        if constexpr (compares_with<Compare, K, key_type>) {
            return avl_algorithms::search(
                tree_.root, [&](AvlNode *node) { return order_of(key, node); }, position);
        } else {
            const avl_algorithms::Slot slot = descend_before(key);
            position = slot.position;
            return slot.previous != nullptr && !sorts_after(key, slot.previous) ? slot.previous
                                                                                : nullptr;
        }
    }

    template <typename K>
    AvlNode *find_node(const K &key) const {
        if constexpr (Multi) {
            AvlNode *first = lower_node(key);
            return first != nullptr && !sorts_before(key, first) ? first : nullptr;
        } else {
            AvlIndex position = 0;
            return find_unique(key, position);
        }
    }

    template <typename K>
    std::pair<AvlNode *, AvlNode *> equal_nodes(const K &key) const {
        if constexpr (Multi) {
            return avl_algorithms::equalRange(tree_.root,
                                              [&](AvlNode *node) { return order_of(key, node); });
        } else if constexpr (compares_with<Compare, K, key_type>) {
            // The search ends at the equal key, or at the slot for it, next
            // to the first element after it.
            AvlIndex position = 0;
            if (AvlNode *equal = find_unique(key, position)) {
                return {equal, avl_algorithms::step(equal, AVL_RIGHT)};
            }
            AvlNode *node = avl_algorithms::positionNode(position);
            if (node != nullptr && avl_algorithms::positionSide(position) == AVL_RIGHT) {
                node = avl_algorithms::step(node, AVL_RIGHT);
            }
            return {node, node};
        } else {
            const avl_algorithms::Slot slot = descend_before(key);
            const bool hit = slot.previous != nullptr && !sorts_after(key, slot.previous);
            return {hit ? slot.previous : slot.next, slot.next};
        }
    }

    AvlNode *first() const noexcept {
        return tree_.root != nullptr ? avl_algorithms::outermost(tree_.root, AVL_LEFT) : nullptr;
    }
    AvlNode *last() const noexcept {
        return tree_.root != nullptr ? avl_algorithms::outermost(tree_.root, AVL_RIGHT) : nullptr;
    }

    /// Links `element` at `position` (0 in an empty tree). Checked, the root
    /// of a tree is linked at position 1: the library never reads the root's
    /// childIndex, which then marks it linked (kelu/hooks.hpp).
    iterator link(T &element, AvlIndex position) noexcept {
        if constexpr (Checked) {
            if (tree_.root == nullptr) {
                position = avl_algorithms::positionOf(nullptr, AVL_RIGHT);
            }
        }
        (void)insertAvlNode(&tree_, &element, position);
        return make(hook::hook_of(element));
    }

    /// Links `element` right next to `here` on `side`; here is null only when
    /// the tree is empty.
    iterator place(T &element, AvlNode *here, uint32_t side) noexcept {
        if (here == nullptr) {
            return link(element, 0);
        }
        (void)insertAvlNodeSpecified(&tree_, &element, hook::element_of(here), side);
        return make(hook::hook_of(element));
    }

    void unlink(AvlNode *node) noexcept {
        removeAvlNode(&tree_, hook::element_of(node));
        if constexpr (Checked) {
            *node = AvlNode{};
        }
    }

    /// Whether `node` is linked in this tree: each parent up to the root
    /// names it as its child, and the top is this tree's root. O(log n).
    bool holds(const AvlNode *node) const noexcept {
        if (node == nullptr) {
            return false;
        }
        for (; node->parent != nullptr; node = node->parent) {
            if (node->childIndex > AVL_RIGHT || node->parent->child[node->childIndex] != node) {
                return false;
            }
        }
        return node == tree_.root;
    }

    void require_unlinked(T &element, const char *operation) const noexcept {
        if constexpr (Checked) {
            if (linked(*hook::hook_of(element))) {
                check_failed<Derived>(operation, failure::avl_linked);
            }
        }
    }
    void require_held(const AvlNode *node, const char *operation) const noexcept {
        if constexpr (Checked) {
            if (!holds(node)) {
                check_failed<Derived>(operation, failure::avl_not_here);
            }
        }
    }

    iterator make(AvlNode *node) noexcept { return iterator(node, &tree_); }
    const_iterator make(AvlNode *node) const noexcept { return const_iterator(node, &tree_); }

    [[no_unique_address]] Compare compare_;
    avl_descriptor<Checked> tree_;
};

}  // namespace kelu::detail

#endif  // KELU_AVL_CONTAINER_HPP

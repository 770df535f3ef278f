// SPDX-License-Identifier: MIT
///
/// @file kelu/list.hpp
///
/// kelu::counter_list and kelu::spin_lock_list: typed, intrusive counted lists
/// over the library's CounterList and SpinLockList, for elements that embed a
/// ListNode (or a kelu::list_hook). Every change is one or more calls of the
/// exported C operations (so the ring, the count and the poison values are
/// the C interface's), and iteration reads the links inline. Neither list
/// allocates, copies or frees an element; a linked element stays at its
/// address until it is unlinked. Every operation is O(1) unless it says
/// otherwise.
///
/// The C operations link only at the two ends of a list, so insert(position,
/// element) and splice() take position begin() or end(); any other position
/// is taken as end() (checked mode stops instead).
///
/// Checked mode (kelu/checked.hpp; on unless NDEBUG, or as KELU_CHECKED or
/// the last template argument says): before anything is written, linking an
/// element whose hook is linked, unlinking one that is not linked in a list
/// (a copy of a linked element, one already unlinked, or end()), a position
/// other than begin() or end(), and splicing a list into itself stop the
/// program with a message naming the list type and the operation; each check
/// is O(1). Whether an element is in this list rather than in another list of
/// the same kind cannot be told in O(1) and is not checked. clear() and
/// destroying a checked list unlink every element (O(n)), leaving each hook
/// poisoned, which reads as unlinked. A plain ListNode must start zeroed
/// (`ListNode hook{};`), or be a kelu::list_hook.
#ifndef KELU_LIST_HPP
#define KELU_LIST_HPP

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <utility>

#include "kelu/checked.hpp"
#include "kelu/hooks.hpp"
#include "kelu/member_hook.hpp"
#include "kelu_util_list.h"
#include "vemo_spinlock.h"

namespace kelu {
namespace detail {

/// Bidirectional iterator over a ring whose head is its own sentinel: end()
/// is the head seen as a ListNode, as the C operations see it.
template <typename T, typename Hook, bool Const>
class list_iterator {
  public:
    using iterator_concept = std::bidirectional_iterator_tag;
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using reference = std::conditional_t<Const, const T &, T &>;
    using pointer = std::conditional_t<Const, const T *, T *>;

    list_iterator() = default;
    explicit list_iterator(ListNode *node) noexcept : node_(node) {}
    list_iterator(const list_iterator<T, Hook, !Const> &other) noexcept requires Const
        : node_(other.node()) {}

    reference operator*() const noexcept { return *Hook::element_of(node_); }
    pointer operator->() const noexcept { return Hook::element_of(node_); }
    list_iterator &operator++() noexcept {
        node_ = node_->next;
        return *this;
    }
    list_iterator &operator--() noexcept {
        node_ = node_->prev;
        return *this;
    }
    list_iterator operator++(int) noexcept {
        list_iterator old = *this;
        node_ = node_->next;
        return old;
    }
    list_iterator operator--(int) noexcept {
        list_iterator old = *this;
        node_ = node_->prev;
        return old;
    }
    friend bool operator==(list_iterator a, list_iterator b) noexcept { return a.node_ == b.node_; }

    ListNode *node() const noexcept { return node_; }

  private:
    ListNode *node_ = nullptr;
};

template <typename Head>
ListNode *sentinel_of(const Head &head) noexcept {
    return reinterpret_cast<ListNode *>(const_cast<Head *>(&head));
}

/// The C operations that take no lock, for each kind of head. A CounterList
/// has no operation that cuts the back node: it is unlinked as any node is. @{
template <typename Head>
struct list_calls;
template <>
struct list_calls<CounterList> {
    static void add(ListNode *node, CounterList *head) noexcept { counterListAdd(node, head); }
    static void add_tail(ListNode *node, CounterList *head) noexcept {
        counterListAddTail(node, head);
    }
    static void del(ListNode *node, CounterList *head) noexcept { counterListDel(node, head); }
    static ListNode *cut_first(CounterList *head) noexcept { return counterListCutFirstNode(head); }
    static ListNode *cut_last(CounterList *head) noexcept {
        ListNode *node = head->count != 0 ? head->prev : nullptr;
        if (node != nullptr) {
            counterListDel(node, head);
        }
        return node;
    }
};
template <>
struct list_calls<SpinLockList> {
    static void add(ListNode *node, SpinLockList *head) noexcept {
        spinLockListAddNoLock(node, head);
    }
    static void add_tail(ListNode *node, SpinLockList *head) noexcept {
        spinLockListAddTailNoLock(node, head);
    }
    static void del(ListNode *node, SpinLockList *head) noexcept {
        spinLockListDelNoLock(node, head);
    }
    static ListNode *cut_first(SpinLockList *head) noexcept {
        return spinLockListCutFirstNodeNoLock(head);
    }
    static ListNode *cut_last(SpinLockList *head) noexcept {
        return spinLockListCutLastNodeNoLock(head);
    }
};
/// @}

template <typename Container, bool Checked>
void require_list_unlinked(const ListNode *node, const char *operation) noexcept {
    if constexpr (Checked) {
        if (linked(*node)) {
            check_failed<Container>(operation, failure::list_linked);
        }
    }
}

/// list_body<Derived, T, Member, Head, Checked>
/// The operations of a list whose caller holds any lock it needs: all of
/// counter_list's, and those of spin_lock_list's guard. Derived gives its
/// head through head().
template <typename Derived, typename T, auto Member, typename Head, bool Checked>
class list_body {
    using hook = member_hook<T, Member, ListNode>;
    static_assert(hook::is_hook);  // checks Member where the container is named
    using calls = list_calls<Head>;

  public:
    /// The standard container types; the iterators are bidirectional, front
    /// to back, and stay valid while their element is linked. @{
    using value_type = T;
    using size_type = std::size_t;
    using reference = T &;
    using const_reference = const T &;
    using iterator = list_iterator<T, hook, false>;
    using const_iterator = list_iterator<T, hook, true>;
    /// @}

    /// The first element, and the head past the last one. O(1). @{
    iterator begin() noexcept { return iterator(head().next); }
    const_iterator begin() const noexcept { return const_iterator(head().next); }
    const_iterator cbegin() const noexcept { return begin(); }
    iterator end() noexcept { return iterator(sentinel_of(head())); }
    const_iterator end() const noexcept { return const_iterator(sentinel_of(head())); }
    const_iterator cend() const noexcept { return end(); }
    /// @}

    /// The count the C operations keep. O(1). @{
    size_type size() const noexcept { return head().count; }
    bool empty() const noexcept { return head().count == 0; }
    /// @}

    /// The first / last element. Requires: the list is not empty. @{
    T &front() noexcept { return *begin(); }
    const T &front() const noexcept { return *begin(); }
    T &back() noexcept { return *--end(); }
    const T &back() const noexcept { return *--end(); }
    /// @}

    /// push_front(), push_back(), insert()
    /// Link `element`, which is in no list through this hook, at the front /
    /// back; insert() at `position`, begin() or end(), returning its iterator. @{
    void push_front(T &element) noexcept { link(element, true, "push_front"); }
    void push_back(T &element) noexcept { link(element, false, "push_back"); }
    iterator insert(const_iterator position, T &element) noexcept {
        link(element, at_front(position, "insert"), "insert");
        return iterator_to(element);
    }
    /// @}

    /// pop_front(), pop_back()
    /// The first / last element, unlinked; null when the list is empty. @{
    T *pop_front() noexcept { return element_or_null(calls::cut_first(&head())); }
    T *pop_back() noexcept { return element_or_null(calls::cut_last(&head())); }
    /// @}

    /// erase()
    /// Unlinks `element`, which is linked in this list; the iterator form
    /// returns the iterator to the element after it. @{
    void erase(T &element) noexcept { unlink(hook::hook_of(element), "erase"); }
    iterator erase(const_iterator position) noexcept {
        ListNode *const next = position.node()->next;
        unlink(position.node(), "erase");
        return iterator(next);
    }
    /// @}

    /// clear()
    /// Unlinks every element. A counter_list with checked mode off forgets
    /// them at once (counterListInit(), O(1)); otherwise each is cut and
    /// poisoned in turn, O(n).
    void clear() noexcept {
        if constexpr (!Checked && std::is_same_v<Head, CounterList>) {
            counterListInit(&head());
        } else {
            while (calls::cut_first(&head()) != nullptr) {
            }
        }
    }

    /// splice()
    /// Moves the element at `element` of `other` (possibly this list), or
    /// every element of `other` (another list) in their order, to `position`
    /// of this list, begin() or end(): each is unlinked from `other` and
    /// linked here by the C operations, so the whole list costs O(size). @{
    void splice(const_iterator position, Derived &other, const_iterator element) noexcept {
        const bool front = at_front(position, "splice");
        T &moved = const_cast<T &>(*element);
        other.erase(element);
        link(moved, front, "splice");
    }
    void splice(const_iterator position, Derived &other) noexcept {
        if constexpr (Checked) {
            if (&other == this) {
                check_failed<Derived>("splice", failure::list_into_itself);
            }
        }
        const bool front = at_front(position, "splice");
        for (size_type n = other.size(); n > 0; --n) {  // itself, unchecked: left as it is
            link(*(front ? other.pop_back() : other.pop_front()), front, "splice");
        }
    }
    /// @}

    /// The iterator to `element`, which must be linked in this list. @{
    iterator iterator_to(T &element) noexcept { return iterator(hook::hook_of(element)); }
    const_iterator iterator_to(const T &element) const noexcept {
        return const_iterator(const_cast<ListNode *>(hook::hook_of(element)));
    }
    /// @}

  private:
    Head &head() noexcept { return static_cast<Derived *>(this)->head_ref(); }
    const Head &head() const noexcept { return static_cast<const Derived *>(this)->head_ref(); }

    static T *element_or_null(ListNode *node) noexcept {
        return node != nullptr ? hook::element_of(node) : nullptr;
    }

    void link(T &element, bool front, const char *operation) noexcept {
        ListNode *const node = hook::hook_of(element);
        require_list_unlinked<Derived, Checked>(node, operation);
        front ? calls::add(node, &head()) : calls::add_tail(node, &head());
    }

    void unlink(ListNode *node, const char *operation) noexcept {
        if constexpr (Checked) {
            if (node == sentinel_of(head()) || !in_ring(*node)) {
                check_failed<Derived>(operation, failure::list_not_linked);
            }
        }
        calls::del(node, &head());
    }

    bool at_front(const_iterator position, const char *operation) const noexcept {
        if constexpr (Checked) {
            if (position != begin() && position != end()) {
                check_failed<Derived>(operation, failure::list_at_end_only);
            }
        }
        return position == begin();
    }
};

/// The head of a counter_list; checked, destroying it unlinks every element. @{
template <bool Checked>
struct counter_head : CounterList {};
template <>
struct counter_head<true> : CounterList {
    counter_head() = default;
    counter_head(const counter_head &) = delete;
    counter_head &operator=(const counter_head &) = delete;
    ~counter_head() {
        while (counterListCutFirstNode(this) != nullptr) {
        }
    }
};
/// @}

}  // namespace detail

/// counter_list<T, &T::member, Checked>
/// An unlocked counted list of T linked through `member`: the operations of
/// detail::list_body above. Every use of one list is serialised by the
/// caller. Moving takes the elements over in O(1) by pointing the first and
/// last element at the new head (the only links not written by the C
/// operations); the list moved from is left empty, and a list assigned to is
/// cleared first. Not copyable.
template <typename T, auto Member, bool Checked = checked_by_default>
class counter_list
    : public detail::list_body<counter_list<T, Member, Checked>, T, Member, CounterList, Checked> {
  public:
    /// An empty list (counterListInit()), or one that takes `other`'s
    /// elements. @{
    counter_list() noexcept { counterListInit(&head_); }
    counter_list(counter_list &&other) noexcept {
        counterListInit(&head_);
        take(other);
    }
    counter_list &operator=(counter_list &&other) noexcept {
        if (this != &other) {
            this->clear();
            take(other);
        }
        return *this;
    }
    counter_list(const counter_list &) = delete;
    counter_list &operator=(const counter_list &) = delete;
    /// @}

    /// Exchanges the elements of two lists. O(1). @{
    void swap(counter_list &other) noexcept {
        counter_list held(std::move(other));
        other = std::move(*this);
        *this = std::move(held);
    }
    friend void swap(counter_list &a, counter_list &b) noexcept { a.swap(b); }
    /// @}

    /// The C head, for C code that shares the list.
    CounterList *native_handle() noexcept { return &head_; }

  private:
    friend class detail::list_body<counter_list, T, Member, CounterList, Checked>;
    CounterList &head_ref() noexcept { return head_; }
    const CounterList &head_ref() const noexcept { return head_; }

    void take(counter_list &other) noexcept {
        if (other.head_.count == 0) {
            return;
        }
        head_.next = other.head_.next;
        head_.prev = other.head_.prev;
        head_.count = other.head_.count;
        head_.next->prev = head_.prev->next = detail::sentinel_of(head_);
        counterListInit(&other.head_);
    }

    detail::counter_head<Checked> head_;
};

/// spin_lock_list<T, &T::member, Checked>
/// A counted list of T that any number of threads share: each operation
/// takes and releases the list's platform spin lock once. To do several
/// operations, or to iterate, under one hold of the lock, take a guard with
/// lock(). Not copyable or movable: other threads reach it by its address.
template <typename T, auto Member, bool Checked = checked_by_default>
class spin_lock_list {
    using hook = detail::member_hook<T, Member, ListNode>;
    static_assert(hook::is_hook);  // checks Member where the container is named

  public:
    /// The standard container types; iteration goes through a guard(). @{
    using value_type = T;
    using size_type = std::size_t;
    using iterator = detail::list_iterator<T, hook, false>;
    using const_iterator = detail::list_iterator<T, hook, true>;
    /// @}

    // Set-up and tear-down take no lock: no other thread may reach the list
    // yet / any more. Destroying a list that still holds elements leaves
    // them linked and logs "list sum is not 0, when destroy"; checked, it
    // first unlinks them all (O(n)).
    spin_lock_list() noexcept { spinLockListInit(&head_); }
    ~spin_lock_list() {
        if constexpr (Checked) {
            while (spinLockListCutFirstNodeNoLock(&head_) != nullptr) {
            }
        }
        spinLockListDestroy(&head_);
    }
    spin_lock_list(const spin_lock_list &) = delete;
    spin_lock_list &operator=(const spin_lock_list &) = delete;

    /// Each of these holds the lock for its own few loads and stores.
    /// Requires: the calling thread does not hold the lock (no live guard). @{
    void push_front(T &element) noexcept {
        detail::require_list_unlinked<spin_lock_list, Checked>(hook::hook_of(element),
                                                               "push_front");
        spinLockListAdd(hook::hook_of(element), &head_);
    }
    void push_back(T &element) noexcept {
        detail::require_list_unlinked<spin_lock_list, Checked>(hook::hook_of(element), "push_back");
        spinLockListAddTail(hook::hook_of(element), &head_);
    }
    T *pop_front() noexcept { return element_or_null(spinLockListCutFirstNode(&head_)); }
    T *pop_back() noexcept { return element_or_null(spinLockListCutLastNode(&head_)); }
    /// @}
    /// Requires: `element` is linked in this list, and no other thread
    /// unlinks it. Checked, the element's neighbours are checked under the
    /// lock, which erase() then takes through a guard (so the platform is
    /// told erase()'s own name) instead of through spinLockListDel().
    void erase(T &element) noexcept {
        if constexpr (Checked) {
            lock().erase(element);
        } else {
            spinLockListDel(hook::hook_of(element), &head_);
        }
    }

    /// The count at the moment of reading, without the lock: other threads
    /// may change it right after. Hold a guard for a count that stays true.
    /// The library keeps the count as a relaxed atomic, so reading it here
    /// beside locked writers is no data race, and costs one load. @{
    size_type size() const noexcept { return __atomic_load_n(&head_.count, __ATOMIC_RELAXED); }
    bool empty() const noexcept { return size() == 0; }
    /// @}

    /// Holds the list's lock from construction to destruction, through the
    /// platform's do_vemo_spinlock_lock() / _unlock(), which are told the
    /// function and line that called lock(). While it lives, it offers every
    /// operation of a counter_list on this list without further locking
    /// (detail::list_body), its splices taking the guard of another list.
    class guard : public detail::list_body<guard, T, Member, SpinLockList, Checked> {
      public:
        guard(const guard &) = delete;
        guard &operator=(const guard &) = delete;
        ~guard() { (void)do_vemo_spinlock_unlock(&list_.head_.lock, function_, line_); }

      private:
        friend class spin_lock_list;
        friend class detail::list_body<guard, T, Member, SpinLockList, Checked>;
        guard(spin_lock_list &list, const char *function, uint32_t line) noexcept
            : list_(list), function_(function), line_(line) {
            (void)do_vemo_spinlock_lock(&list_.head_.lock, function_, line_);
        }
        SpinLockList &head_ref() noexcept { return list_.head_; }
        const SpinLockList &head_ref() const noexcept { return list_.head_; }

        spin_lock_list &list_;
        const char *function_;
        uint32_t line_;
    };

    /// Takes the lock; it is released when the guard is destroyed. Spins
    /// while another thread holds it. Requires: this thread does not hold it.
    [[nodiscard]] guard lock(const char *function = __builtin_FUNCTION(),
                             uint32_t line = __builtin_LINE()) noexcept {
        return guard(*this, function, line);
    }

    /// The C head, for C code that shares the list.
    SpinLockList *native_handle() noexcept { return &head_; }

  private:
    static T *element_or_null(ListNode *node) noexcept {
        return node != nullptr ? hook::element_of(node) : nullptr;
    }

    SpinLockList head_;
};

}  // namespace kelu

#endif  // KELU_LIST_HPP

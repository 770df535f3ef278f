// SPDX-License-Identifier: MIT
///
/// @file kelu/list.hpp
///
/// kelu::counter_list and kelu::spin_lock_list: typed, intrusive counted lists
/// over the library's CounterList and SpinLockList. Elements embed a
/// ListNode; every change is one call of the exported C operation (so the
/// ring, the count and the poison values are the C interface's), and
/// iteration reads the links inline. Neither list allocates, copies or frees
/// an element; a linked element stays at its address until it is unlinked.
/// Every operation is O(1).
#ifndef KELU_LIST_HPP
#define KELU_LIST_HPP

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>

#include "kelu/member_hook.hpp"
#include "kelu_util_list.h"
#include "vemo_spinlock.h"

namespace kelu {
namespace detail {

// Bidirectional iterator over a ring whose head is its own sentinel: end()
// is the head seen as a ListNode, as the C operations see it.
template <typename T, typename Hook>
class list_iterator {
  public:
    using iterator_concept = std::bidirectional_iterator_tag;
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;

    list_iterator() = default;
    explicit list_iterator(ListNode *node) noexcept : node_(node) {}

    T &operator*() const noexcept { return *Hook::element_of(node_); }
    T *operator->() const noexcept { return Hook::element_of(node_); }
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

template <typename Hook>
auto *element_or_null(ListNode *node) noexcept {
    return node != nullptr ? Hook::element_of(node) : nullptr;
}

template <typename Head>
ListNode *sentinel_of(Head &head) noexcept {
    return reinterpret_cast<ListNode *>(&head);
}

}  // namespace detail

/// counter_list<T, &T::member>
/// An unlocked counted list of T linked through their ListNode `member`.
/// Every use of one list is serialised by the caller. Not copyable or
/// movable: the ring points at the head.
template <typename T, auto Member>
class counter_list {
    using hook = detail::member_hook<T, Member, ListNode>;
    static_assert(sizeof(hook) > 0);  // checks Member where the container is named

  public:
    /// The standard container types; the iterators are bidirectional. @{
    using value_type = T;
    using size_type = std::size_t;
    using iterator = detail::list_iterator<T, hook>;
    /// @}

    /// An empty list.
    counter_list() noexcept { counterListInit(&head_); }
    counter_list(const counter_list &) = delete;
    counter_list &operator=(const counter_list &) = delete;

    /// Requires: `element` is in no list through `member`. @{
    void push_front(T &element) noexcept { counterListAdd(hook::hook_of(element), &head_); }
    void push_back(T &element) noexcept { counterListAddTail(hook::hook_of(element), &head_); }
    /// @}

    /// The front element, unlinked; null when the list is empty.
    T *pop_front() noexcept {
        return detail::element_or_null<hook>(counterListCutFirstNode(&head_));
    }

    /// Unlinks `element`, which is linked in this list; the iterator form
    /// returns the iterator to the element after it. @{
    void erase(T &element) noexcept { counterListDel(hook::hook_of(element), &head_); }
    iterator erase(iterator position) noexcept {
        ListNode *next = position.node()->next;
        counterListDel(position.node(), &head_);
        return iterator(next);
    }
    /// @}

    /// The number of elements, and whether it is 0. @{
    size_type size() const noexcept { return head_.count; }
    bool empty() const noexcept { return head_.count == 0; }
    /// @}

    /// The front element, and one past the back one. @{
    iterator begin() noexcept { return iterator(head_.next); }
    iterator end() noexcept { return iterator(detail::sentinel_of(head_)); }
    /// @}

    /// The C head, for C code that shares the list.
    CounterList *native_handle() noexcept { return &head_; }

  private:
    CounterList head_;
};

/// spin_lock_list<T, &T::member>
/// A counted list of T that any number of threads share: each operation
/// takes and releases the list's platform spin lock once. To do several
/// operations, or to iterate, under one hold of the lock, take a guard with
/// lock(). Not copyable or movable: the ring points at the head.
template <typename T, auto Member>
class spin_lock_list {
    using hook = detail::member_hook<T, Member, ListNode>;
    static_assert(sizeof(hook) > 0);  // checks Member where the container is named

  public:
    /// The standard container types; the iterators are bidirectional. @{
    using value_type = T;
    using size_type = std::size_t;
    using iterator = detail::list_iterator<T, hook>;
    /// @}

    /// Set-up and tear-down take no lock: no other thread may reach the list
    /// yet / any more. Destroying a list that still holds elements leaves
    /// them linked and logs "list sum is not 0, when destroy". @{
    spin_lock_list() noexcept { spinLockListInit(&head_); }
    ~spin_lock_list() { spinLockListDestroy(&head_); }
    /// @}
    spin_lock_list(const spin_lock_list &) = delete;
    spin_lock_list &operator=(const spin_lock_list &) = delete;

    /// Each of these holds the lock for its own few loads and stores.
    /// Requires: the calling thread does not hold the lock (no live guard). @{
    void push_front(T &element) noexcept { spinLockListAdd(hook::hook_of(element), &head_); }
    void push_back(T &element) noexcept { spinLockListAddTail(hook::hook_of(element), &head_); }
    T *pop_front() noexcept {
        return detail::element_or_null<hook>(spinLockListCutFirstNode(&head_));
    }
    T *pop_back() noexcept {
        return detail::element_or_null<hook>(spinLockListCutLastNode(&head_));
    }
    /// @}
    /// Requires: `element` is linked in this list, and no other thread
    /// unlinks it.
    void erase(T &element) noexcept { spinLockListDel(hook::hook_of(element), &head_); }

    /// The count at the moment of reading, without the lock: other threads
    /// may change it right after. Hold a guard for a count that stays true.
    /// The library keeps the count as a relaxed atomic, so reading it here
    /// beside locked writers is no data race, and costs one load. @{
    size_type size() const noexcept { return __atomic_load_n(&head_.count, __ATOMIC_RELAXED); }
    bool empty() const noexcept { return size() == 0; }
    /// @}

    /// Holds the list's lock from construction to destruction, through the
    /// platform's do_vemo_spinlock_lock() / _unlock(), which are told the
    /// function and line that called lock(). While it lives, it offers the
    /// list's operations without further locking, and iteration.
    class guard {
      public:
        guard(const guard &) = delete;
        guard &operator=(const guard &) = delete;
        /// Releases the lock.
        ~guard() { (void)do_vemo_spinlock_unlock(&list_.head_.lock, function_, line_); }

        /// The list's operations of the same name, under the lock this
        /// guard holds. @{
        void push_front(T &element) noexcept {
            spinLockListAddNoLock(hook::hook_of(element), &list_.head_);
        }
        void push_back(T &element) noexcept {
            spinLockListAddTailNoLock(hook::hook_of(element), &list_.head_);
        }
        T *pop_front() noexcept {
            return detail::element_or_null<hook>(spinLockListCutFirstNodeNoLock(&list_.head_));
        }
        T *pop_back() noexcept {
            return detail::element_or_null<hook>(spinLockListCutLastNodeNoLock(&list_.head_));
        }
        void erase(T &element) noexcept {
            spinLockListDelNoLock(hook::hook_of(element), &list_.head_);
        }
        size_type size() const noexcept { return list_.head_.count; }
        bool empty() const noexcept { return list_.head_.count == 0; }
        iterator begin() noexcept { return iterator(list_.head_.next); }
        iterator end() noexcept { return iterator(detail::sentinel_of(list_.head_)); }
        /// @}

      private:
        friend class spin_lock_list;
        guard(spin_lock_list &list, const char *function, uint32_t line) noexcept
            : list_(list), function_(function), line_(line) {
            (void)do_vemo_spinlock_lock(&list_.head_.lock, function_, line_);
        }

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
    SpinLockList head_;
};

}  // namespace kelu

#endif  // KELU_LIST_HPP

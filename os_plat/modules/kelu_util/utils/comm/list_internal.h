// SPDX-License-Identifier: MIT
// Private to the library: the list steps that both kinds of head share. Not
// installed. Every step is forced inline, so an exported operation is one
// straight sequence of loads and stores with no call in it (and a locked
// operation calls nothing between its lock and its unlock), in every build.
//
// The steps act on the shared prefix of the heads, seen as a CounterList,
// and on the head's own address seen as a ListNode: the ring's sentinel.
// Every load and store of a head field or a link goes through load() and
// store(), volatile accesses: the compiler neither reorders, merges nor drops
// them, so the machine performs each step's accesses one by one in the order
// written, which is the order a reader of a half-linked ring observes; nor
// can it assume that the head, written as a CounterList, and the sentinel,
// written as a ListNode, are different memory.
#ifndef KELU_LIST_INTERNAL_H
#define KELU_LIST_INTERNAL_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "kelu_util_list.h"

namespace kelu::list {

static_assert(sizeof(ListNode) == 16 && alignof(ListNode) == 8);
static_assert(offsetof(ListNode, next) == 0 && offsetof(ListNode, prev) == 8);
static_assert(sizeof(CounterList) == 24 && alignof(CounterList) == 8);
static_assert(offsetof(CounterList, next) == 0 && offsetof(CounterList, prev) == 8);
static_assert(offsetof(CounterList, count) == 16);
static_assert(sizeof(SpinLockList) == 48 && alignof(SpinLockList) == 8);
static_assert(offsetof(SpinLockList, lock) == 24);
// A SpinLockList begins with a CounterList: the unlocked steps serve both.
static_assert(offsetof(SpinLockList, next) == offsetof(CounterList, next));
static_assert(offsetof(SpinLockList, prev) == offsetof(CounterList, prev));
static_assert(offsetof(SpinLockList, count) == offsetof(CounterList, count));
// A head's links sit where a ListNode's do, so the head is its ring's sentinel.
static_assert(offsetof(CounterList, next) == offsetof(ListNode, next));
static_assert(offsetof(CounterList, prev) == offsetof(ListNode, prev));
static_assert(sizeof(bool) == 1);

#define KELU_LIST_STEP [[gnu::always_inline]] inline

// The accesses the steps make: volatile loads and stores, one by one. Tests
// instantiate the steps with an access policy of their own that records the
// sequence, to check it against the order the operations guarantee.
struct VolatileAccess {
    template <typename T>
    KELU_LIST_STEP static T load(T &field) {
        return *static_cast<volatile T *>(&field);
    }
    template <typename T>
    KELU_LIST_STEP static void store(T &field, std::type_identity_t<T> value) {
        *static_cast<volatile T *>(&field) = value;
    }
};

KELU_LIST_STEP CounterList *prefixOf(SpinLockList *list) {
    return reinterpret_cast<CounterList *>(list);
}

KELU_LIST_STEP ListNode *sentinelOf(CounterList *head) {
    return reinterpret_cast<ListNode *>(head);
}

template <typename Access = VolatileAccess>
KELU_LIST_STEP void makeEmpty(CounterList *head) {
    Access::store(head->next, sentinelOf(head));
    Access::store(head->prev, sentinelOf(head));
}

// The two links are not mirror images of each other: each keeps its own
// order of stores (the one a reader of the half-linked ring sees), so they
// stay two functions rather than one parameterised by the end.
template <typename Access = VolatileAccess>
KELU_LIST_STEP void linkFront(ListNode *node, CounterList *head) {
    ListNode *first = Access::load(head->next);  // the head itself when the list is empty
    Access::store(first->prev, node);
    Access::store(node->prev, sentinelOf(head));
    Access::store(node->next, first);
    Access::store(head->count, Access::load(head->count) + 1);
    Access::store(head->next, node);
}

template <typename Access = VolatileAccess>
KELU_LIST_STEP void linkBack(ListNode *node, CounterList *head) {
    ListNode *last = Access::load(head->prev);  // the head itself when the list is empty
    Access::store(head->prev, node);
    Access::store(node->next, sentinelOf(head));
    Access::store(node->prev, last);
    Access::store(last->next, node);
    Access::store(head->count, Access::load(head->count) + 1);
}

// Joins the node's neighbours as its own links name them; trusts that the
// node is linked in `head`. Poisons prev before next, where a cut poisons
// next first: both orders are part of what the operations guarantee.
template <typename Access = VolatileAccess>
KELU_LIST_STEP void unlink(ListNode *node, CounterList *head) {
    ListNode *successor = Access::load(node->next);
    ListNode *predecessor = Access::load(node->prev);
    Access::store(successor->prev, predecessor);
    Access::store(predecessor->next, successor);
    Access::store(node->prev, LIST_POISON_PREV);
    Access::store(node->next, LIST_POISON_NEXT);
    Access::store(head->count, Access::load(head->count) - 1);
}

enum class End { Front, Back };

// Unlinks the node at `end` and returns it, or returns null, writing
// nothing, when `count` is 0. Emptiness is judged by `count` alone.
template <End end, typename Access = VolatileAccess>
KELU_LIST_STEP ListNode *cut(CounterList *head) {
    uint32_t count = Access::load(head->count);
    if (count == 0) {
        return nullptr;
    }
    ListNode *node = Access::load(end == End::Front ? head->next : head->prev);
    ListNode *successor = Access::load(node->next);
    ListNode *predecessor = Access::load(node->prev);
    Access::store(successor->prev, predecessor);
    Access::store(predecessor->next, successor);
    Access::store(node->next, LIST_POISON_NEXT);
    Access::store(node->prev, LIST_POISON_PREV);
    Access::store(head->count, count - 1);
    return node;
}

#undef KELU_LIST_STEP

}  // namespace kelu::list

#endif  // KELU_LIST_INTERNAL_H

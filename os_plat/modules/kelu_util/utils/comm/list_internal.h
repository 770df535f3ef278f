// SPDX-License-Identifier: MIT
// Private to the library: the list steps that both kinds of head share. Not
// installed. Every step is forced inline, so an exported operation is one
// straight sequence of loads and stores with no call in it (and a locked
// operation calls nothing between its lock and its unlock), in every build.
//
// The steps act on the shared prefix of the heads, seen as a CounterList,
// and on the head's own address seen as a ListNode: the ring's sentinel.
// Every load and store of a head field or a link goes through load() and
// store() (loadCount() and storeCount() for the count), volatile accesses:
// the compiler neither reorders, merges nor drops them, so the machine
// performs each step's accesses one by one in the order written, which is
// the order a reader of a half-linked ring observes; nor can it assume that
// the head, written as a CounterList, and the sentinel, written as a
// ListNode, are different memory.
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

template <typename T>
KELU_LIST_STEP T load(T &field) {
    return *static_cast<volatile T *>(&field);
}

template <typename T>
KELU_LIST_STEP void store(T &field, std::type_identity_t<T> value) {
    *static_cast<volatile T *>(&field) = value;
}

// The count is read and written as a relaxed atomic: the same single move
// instruction as a volatile access, but a reader that looks at the count
// without the lock (a snapshot of a list's size) is no data race.
KELU_LIST_STEP uint32_t loadCount(CounterList *head) {
    return __atomic_load_n(static_cast<volatile uint32_t *>(&head->count), __ATOMIC_RELAXED);
}

KELU_LIST_STEP void storeCount(CounterList *head, uint32_t count) {
    __atomic_store_n(static_cast<volatile uint32_t *>(&head->count), count, __ATOMIC_RELAXED);
}

KELU_LIST_STEP CounterList *prefixOf(SpinLockList *list) {
    return reinterpret_cast<CounterList *>(list);
}

KELU_LIST_STEP ListNode *sentinelOf(CounterList *head) {
    return reinterpret_cast<ListNode *>(head);
}

KELU_LIST_STEP void makeEmpty(CounterList *head) {
    store(head->next, sentinelOf(head));
    store(head->prev, sentinelOf(head));
}

// The two links are not mirror images of each other: each keeps its own
// order of stores (the one a reader of the half-linked ring sees), so they
// stay two functions rather than one parameterised by the end.
KELU_LIST_STEP void linkFront(ListNode *node, CounterList *head) {
    ListNode *first = load(head->next);  // the head itself when the list is empty
    store(first->prev, node);
    store(node->prev, sentinelOf(head));
    store(node->next, first);
    storeCount(head, loadCount(head) + 1);
    store(head->next, node);
}

KELU_LIST_STEP void linkBack(ListNode *node, CounterList *head) {
    ListNode *last = load(head->prev);  // the head itself when the list is empty
    store(head->prev, node);
    store(node->next, sentinelOf(head));
    store(node->prev, last);
    store(last->next, node);
    storeCount(head, loadCount(head) + 1);
}

// Joins the node's neighbours to each other, as its own links name them.
KELU_LIST_STEP void bridge(ListNode *node) {
    ListNode *successor = load(node->next);
    ListNode *predecessor = load(node->prev);
    store(successor->prev, predecessor);
    store(predecessor->next, successor);
}

// Takes the node out of the ring; trusts that it is linked in `head`.
// Poisons prev before next, where a cut poisons next first: both orders
// are part of what the operations guarantee.
KELU_LIST_STEP void unlink(ListNode *node, CounterList *head) {
    bridge(node);
    store(node->prev, LIST_POISON_PREV);
    store(node->next, LIST_POISON_NEXT);
    storeCount(head, loadCount(head) - 1);
}

enum class End { Front, Back };

// Unlinks the node at `end` and returns it, or returns null, writing
// nothing, when `count` is 0. Emptiness is judged by `count` alone.
template <End end>
KELU_LIST_STEP ListNode *cut(CounterList *head) {
    uint32_t count = loadCount(head);
    if (count == 0) {
        return nullptr;
    }
    ListNode *node = load(end == End::Front ? head->next : head->prev);
    bridge(node);
    store(node->next, LIST_POISON_NEXT);
    store(node->prev, LIST_POISON_PREV);
    storeCount(head, count - 1);
    return node;
}

#undef KELU_LIST_STEP

}  // namespace kelu::list

#endif  // KELU_LIST_INTERNAL_H

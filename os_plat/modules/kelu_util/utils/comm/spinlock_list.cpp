// SPDX-License-Identifier: MIT
// The counted lists' exported operations: the unlocked ones on either kind of
// head, and the SpinLockList's set-up, tear-down and locked operations. Each
// locked operation is its unlocked step between one lock and one unlock call
// on the head's own lock, both naming the operation.
#include "kelu_util_list.h"

#include "kelu_platform_calls.h"
#include "list_checks.h"
#include "list_internal.h"

using namespace kelu::list;

namespace {

constexpr uint32_t kCodeDestroyNotEmpty = 0;

// The contracts a checked build tests, each before the operation writes
// anything. `held` is the list's lock when the test runs under it: it is
// released before a broken contract is logged. Forced inline, as the steps
// are, so that a locked operation calls nothing but the platform.
#define KELU_LIST_CHECK [[gnu::always_inline]] inline

// Called by the checks alone, which an unchecked build discards.
[[maybe_unused]] KELU_LIST_CHECK void releaseIfHeld(SpinLock *held, const char *function) {
    if (held != nullptr) {
        KELU_UNLOCK(held, function);
    }
}

KELU_LIST_CHECK void requireLinkable(const char *function, ListNode *node, CounterList *head,
                                     SpinLock *held = nullptr) {
    KELU_REQUIRE_RELEASING(isLinkable(node, head), function,
                           "Node is null or already in this list.", releaseIfHeld(held, function));
}

KELU_LIST_CHECK void requireLinked(const char *function, ListNode *node, CounterList *head,
                                   SpinLock *held = nullptr) {
    KELU_REQUIRE_RELEASING(isLinkedIn(node, head), function, "Node is not linked in this list.",
                           releaseIfHeld(held, function));
}

KELU_LIST_CHECK void requireCountTrue(const char *function, CounterList *head,
                                      SpinLock *held = nullptr) {
    KELU_REQUIRE_RELEASING(isCountTrue(head), function, "Count is not 0 but the list is empty.",
                           releaseIfHeld(held, function));
}

#undef KELU_LIST_CHECK

}  // namespace

extern "C" {

void counterListInit(CounterList *list) {
    makeEmpty(list);
    storeCount(list, 0);
}

bool counterListEmpty(CounterList *list) {
    return loadCount(list) == 0;
}

void counterListAdd(ListNode *node, CounterList *list) {
    requireLinkable("counterListAdd", node, list);
    linkFront(node, list);
}

void counterListAddTail(ListNode *node, CounterList *list) {
    requireLinkable("counterListAddTail", node, list);
    linkBack(node, list);
}

void counterListDel(ListNode *node, CounterList *list) {
    requireLinked("counterListDel", node, list);
    unlink(node, list);
}

ListNode *counterListCutFirstNode(CounterList *list) {
    requireCountTrue("counterListCutFirstNode", list);
    return cut<End::Front>(list);
}

void spinLockListAddNoLock(ListNode *node, SpinLockList *list) {
    requireLinkable("spinLockListAddNoLock", node, prefixOf(list));
    linkFront(node, prefixOf(list));
}

void spinLockListAddTailNoLock(ListNode *node, SpinLockList *list) {
    requireLinkable("spinLockListAddTailNoLock", node, prefixOf(list));
    linkBack(node, prefixOf(list));
}

void spinLockListDelNoLock(ListNode *node, SpinLockList *list) {
    requireLinked("spinLockListDelNoLock", node, prefixOf(list));
    unlink(node, prefixOf(list));
}

ListNode *spinLockListCutFirstNodeNoLock(SpinLockList *list) {
    requireCountTrue("spinLockListCutFirstNodeNoLock", prefixOf(list));
    return cut<End::Front>(prefixOf(list));
}

ListNode *spinLockListCutLastNodeNoLock(SpinLockList *list) {
    requireCountTrue("spinLockListCutLastNodeNoLock", prefixOf(list));
    return cut<End::Back>(prefixOf(list));
}

void spinLockListInit(SpinLockList *list) {
    makeEmpty(prefixOf(list));
    storeCount(prefixOf(list), 0);
    store(list->lock.lockWord, 0);
    store(list->lock.magic, SPINLOCK_MAGIC);
    store(list->lock.ownerCpu, -1);
    store(list->lock.owner, -1);
}

// Reads and rewrites the head unguarded: no other thread may use it by now.
void spinLockListDestroy(SpinLockList *list) {
    if (loadCount(prefixOf(list)) != 0) {
        KELU_LOG(LOG_LVL_ERR, "spinLockListDestroy", kCodeDestroyNotEmpty,
                 "list sum is not 0, when destroy");
        return;
    }
    makeEmpty(prefixOf(list));
}

void spinLockListAdd(ListNode *node, SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListAdd");
    requireLinkable("spinLockListAdd", node, prefixOf(list), &list->lock);
    linkFront(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListAdd");
}

void spinLockListAddTail(ListNode *node, SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListAddTail");
    requireLinkable("spinLockListAddTail", node, prefixOf(list), &list->lock);
    linkBack(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListAddTail");
}

void spinLockListDel(ListNode *node, SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListDel");
    requireLinked("spinLockListDel", node, prefixOf(list), &list->lock);
    unlink(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListDel");
}

// Both paths of a cut, the empty one included, unlock exactly once.
ListNode *spinLockListCutFirstNode(SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListCutFirstNode");
    requireCountTrue("spinLockListCutFirstNode", prefixOf(list), &list->lock);
    ListNode *node = cut<End::Front>(prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListCutFirstNode");
    return node;
}

ListNode *spinLockListCutLastNode(SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListCutLastNode");
    requireCountTrue("spinLockListCutLastNode", prefixOf(list), &list->lock);
    ListNode *node = cut<End::Back>(prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListCutLastNode");
    return node;
}

}  // extern "C"

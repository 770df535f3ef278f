// SPDX-License-Identifier: MIT
// The counted lists' exported operations: the unlocked ones on either kind of
// head, and the SpinLockList's set-up, tear-down and locked operations. Each
// locked operation is its unlocked step between one lock and one unlock call
// on the head's own lock, both naming the operation.
#include "kelu_util_list.h"

#include "kelu_platform_calls.h"
#include "list_internal.h"

using namespace kelu::list;

namespace {

constexpr uint32_t kCodeDestroyNotEmpty = 0;

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
    linkFront(node, list);
}

void counterListAddTail(ListNode *node, CounterList *list) {
    linkBack(node, list);
}

void counterListDel(ListNode *node, CounterList *list) {
    unlink(node, list);
}

ListNode *counterListCutFirstNode(CounterList *list) {
    return cut<End::Front>(list);
}

void spinLockListAddNoLock(ListNode *node, SpinLockList *list) {
    linkFront(node, prefixOf(list));
}

void spinLockListAddTailNoLock(ListNode *node, SpinLockList *list) {
    linkBack(node, prefixOf(list));
}

void spinLockListDelNoLock(ListNode *node, SpinLockList *list) {
    unlink(node, prefixOf(list));
}

ListNode *spinLockListCutFirstNodeNoLock(SpinLockList *list) {
    return cut<End::Front>(prefixOf(list));
}

ListNode *spinLockListCutLastNodeNoLock(SpinLockList *list) {
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
    linkFront(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListAdd");
}

void spinLockListAddTail(ListNode *node, SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListAddTail");
    linkBack(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListAddTail");
}

void spinLockListDel(ListNode *node, SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListDel");
    unlink(node, prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListDel");
}

// Both paths of a cut, the empty one included, unlock exactly once.
ListNode *spinLockListCutFirstNode(SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListCutFirstNode");
    ListNode *node = cut<End::Front>(prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListCutFirstNode");
    return node;
}

ListNode *spinLockListCutLastNode(SpinLockList *list) {
    KELU_LOCK(&list->lock, "spinLockListCutLastNode");
    ListNode *node = cut<End::Back>(prefixOf(list));
    KELU_UNLOCK(&list->lock, "spinLockListCutLastNode");
    return node;
}

}  // extern "C"

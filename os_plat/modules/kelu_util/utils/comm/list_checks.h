// SPDX-License-Identifier: MIT
// Private to the library: the caller contracts of the list operations that a
// checked build (KELU_ASSERTIONS) tests before anything is written. They read
// the head and walk its ring, never the links of the node they are given,
// which hold anything while it is in no list. Only reads: under a list's lock
// they run like the operation's own steps, forced inline as those are.
#ifndef KELU_LIST_CHECKS_H
#define KELU_LIST_CHECKS_H

#include <cstdint>

#include "kelu_util_list.h"
#include "list_internal.h"

namespace kelu::list {

// Whether `node` is one of the nodes of head's ring, looked for from the
// front over at most `count` nodes, so a ring that never returns to the head
// cannot hang it.
[[gnu::always_inline]] inline bool isLinkedIn(const ListNode *node, CounterList *head) {
    const ListNode *const sentinel = sentinelOf(head);
    const ListNode *at = head->next;
    for (uint32_t left = head->count; left != 0 && at != sentinel; --left, at = at->next) {
        if (at == node) {
            return true;
        }
    }
    return false;
}

// Whether `node` may be linked into head's list: it is a node, and neither
// one of the list's nor the head itself.
[[gnu::always_inline]] inline bool isLinkable(const ListNode *node, CounterList *head) {
    return node != nullptr && node != sentinelOf(head) && !isLinkedIn(node, head);
}

// Whether a cut finds a node wherever `count` says there is one: with a
// non-zero count and an empty ring it would cut the head out of itself.
[[gnu::always_inline]] inline bool isCountTrue(CounterList *head) {
    return head->count == 0 || (head->next != sentinelOf(head) && head->prev != sentinelOf(head));
}

}  // namespace kelu::list

#endif  // KELU_LIST_CHECKS_H

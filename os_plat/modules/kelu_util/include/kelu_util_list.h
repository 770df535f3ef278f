/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_list.h
 *
 * Intrusive, counted, circular doubly linked lists. Each element embeds a
 * ListNode; a head keeps the ring's two ends and the number of linked nodes,
 * and stands in the ring itself as its sentinel. Two kinds of head share one
 * layout prefix (next, prev, count): a CounterList has nothing more, a
 * SpinLockList adds the platform spin lock that its locked operations take.
 * The operations without a lock (counterList*, spinLockList*NoLock) serve
 * both kinds alike and never touch `lock`.
 *
 * Every operation runs in constant time, allocates and frees nothing, and
 * trusts its pointers: it tests nothing but `count`. Caller contracts the
 * library does not check: pointers are valid and non-null; a node is linked
 * only when it is in no list, and unlinked only from the list it is in; a
 * linked node stays at its address; `count` is never changed by hand.
 * An unlocked operation must not overlap any other use of the same list; on
 * a SpinLockList that other threads use, its caller holds `lock` (taken with
 * do_vemo_spinlock_lock) around it.
 *
 * A checked build (the library configured with KELU_ASSERTIONS, for
 * development) tests on entry to each operation, before it writes anything,
 * the contracts that the ring can show: a node to link is not null, not the
 * head and not already in the list; a node to unlink is in the list; a cut
 * finds a node wherever `count` says there is one. It walks the ring from
 * the head, at most `count` nodes, so linking and unlinking cost O(count);
 * it never reads the links of the node it is given. A broken contract is
 * logged once (level 3, code 1567, the operation's name), then the process
 * aborts; a locked operation tests under its lock and releases it before
 * the record (that of a NoLock operation is written while its caller still
 * holds the lock it took). A null head is not tested: every operation faults
 * at its first access to it, before writing anything.
 */
#ifndef KELU_UTIL_LIST_H
#define KELU_UTIL_LIST_H

#include <stdbool.h>
#include <stdint.h>

#include "kelu_util_export.h"
#include "vemo_spinlock.h"

KELU_BEGIN_DECLS

/** The link record embedded in each element (16 bytes). Written only by the
 * list operations; the caller may read it. */
typedef struct ListNode {
    struct ListNode *next; /**< following node; the head when this node is the last */
    struct ListNode *prev; /**< preceding node; the head when this node is the first */
} ListNode;

/** The links an unlinked node carries until it is linked again: whole
 * pointers, all higher bits zero. Nothing reads them; they make a stale use
 * of a removed node fault at a recognisable address. @{ */
#ifdef __cplusplus
#define LIST_POISON_NEXT (reinterpret_cast<ListNode *>(static_cast<uintptr_t>(0x00100100u)))
#define LIST_POISON_PREV (reinterpret_cast<ListNode *>(static_cast<uintptr_t>(0x00200200u)))
#else
#define LIST_POISON_NEXT ((ListNode *)(uintptr_t)0x00100100u)
#define LIST_POISON_PREV ((ListNode *)(uintptr_t)0x00200200u)
#endif
/** @} */

/** Head of an unlocked counted list (24 bytes). The caller may read every
 * field; only the list operations write them. An empty list's head holds its
 * own address in next and prev. */
typedef struct CounterList {
    ListNode *next; /**< front node, or the head itself */
    ListNode *prev; /**< back node, or the head itself */
    uint32_t count; /**< number of linked nodes */
} CounterList;

/** Head of a lock-protected counted list (48 bytes): a CounterList's fields,
 * then the spin lock that guards them and the links of every linked node. */
typedef struct SpinLockList {
    ListNode *next; /**< front node, or the head itself */
    ListNode *prev; /**< back node, or the head itself */
    uint32_t count; /**< number of linked nodes */
    SpinLock lock;  /**< guards the fields above and the links of every linked node */
} SpinLockList;

/** counterListInit()
 * Makes `list` empty, whatever it held before. */
KELU_API void counterListInit(CounterList *list);

/** counterListEmpty()
 * True exactly when `count` is 0; reads no link. */
KELU_API bool counterListEmpty(CounterList *list);

/** counterListAdd(), counterListAddTail()
 * Requires: `node` is in no list. Effects: links it at the front / back and
 * counts it; the node's old links are overwritten unread. @{ */
KELU_API void counterListAdd(ListNode *node, CounterList *list);
KELU_API void counterListAddTail(ListNode *node, CounterList *list);
/** @} */

/** counterListDel()
 * Requires: `node` is linked in `list`. Effects: joins its two neighbours,
 * poisons its links and lowers `count` by one. */
KELU_API void counterListDel(ListNode *node, CounterList *list);

/** counterListCutFirstNode()
 * Unlinks and returns the front node, poisoned; returns null and changes
 * nothing when `count` is 0. */
KELU_API ListNode *counterListCutFirstNode(CounterList *list);

/** spinLockListAddNoLock(), spinLockListAddTailNoLock(), spinLockListDelNoLock(),
 * spinLockListCutFirstNodeNoLock()
 * As counterListAdd(), counterListAddTail(), counterListDel() and
 * counterListCutFirstNode(), on a SpinLockList, without taking `lock`. @{ */
KELU_API void spinLockListAddNoLock(ListNode *node, SpinLockList *list);
KELU_API void spinLockListAddTailNoLock(ListNode *node, SpinLockList *list);
KELU_API void spinLockListDelNoLock(ListNode *node, SpinLockList *list);
KELU_API ListNode *spinLockListCutFirstNodeNoLock(SpinLockList *list);
/** @} */

/** spinLockListCutLastNodeNoLock()
 * Unlinks and returns the back node, poisoned, without taking `lock`;
 * returns null and changes nothing when `count` is 0. */
KELU_API ListNode *spinLockListCutLastNodeNoLock(SpinLockList *list);

/** spinLockListInit()
 * Makes `list` empty and writes its lock's unlocked state (lockWord 0,
 * magic SPINLOCK_MAGIC, ownerCpu and owner -1). Takes no lock: finish it
 * before another thread can reach the list. */
KELU_API void spinLockListInit(SpinLockList *list);

/** spinLockListDestroy()
 * On an empty list, points both links back at the head and writes nothing
 * else. On a non-empty one, logs "list sum is not 0, when destroy" and
 * changes nothing. Takes no lock: no other thread may use the list. */
KELU_API void spinLockListDestroy(SpinLockList *list);

/** spinLockListAdd(), spinLockListAddTail(), spinLockListDel(),
 * spinLockListCutFirstNode(), spinLockListCutLastNode()
 * The NoLock operation of the same name, performed while holding `lock`:
 * one lock and one unlock call on every path, nothing else called between.
 * Requires: the caller does not hold `lock`; for spinLockListDel(), no other
 * thread unlinks the same node. A cut node belongs to its caller alone. @{ */
KELU_API void spinLockListAdd(ListNode *node, SpinLockList *list);
KELU_API void spinLockListAddTail(ListNode *node, SpinLockList *list);
KELU_API void spinLockListDel(ListNode *node, SpinLockList *list);
KELU_API ListNode *spinLockListCutFirstNode(SpinLockList *list);
KELU_API ListNode *spinLockListCutLastNode(SpinLockList *list);
/** @} */

KELU_END_DECLS

#endif /* KELU_UTIL_LIST_H */

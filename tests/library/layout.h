/* SPDX-License-Identifier: MIT */
/* Every record whose layout is part of the library's binary interface, and
 * every field of each, as one list that a C and a C++ translation unit both
 * expand: the two compilers must see the same sizes, alignments and offsets,
 * which the library pins where it is built. */
#ifndef KELU_TESTS_LAYOUT_H
#define KELU_TESTS_LAYOUT_H

#include <stdbool.h>
#include <stddef.h>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"

/* clang-format off */
#define KELU_LAYOUT(RECORD, FIELD)                                                                 \
    RECORD(bool) RECORD(AvlIndex)                                                                  \
    RECORD(SpinLock) FIELD(SpinLock, lockWord) FIELD(SpinLock, magic)                              \
        FIELD(SpinLock, ownerCpu) FIELD(SpinLock, owner)                                           \
    RECORD(ListNode) FIELD(ListNode, next) FIELD(ListNode, prev)                                   \
    RECORD(CounterList) FIELD(CounterList, next) FIELD(CounterList, prev)                          \
        FIELD(CounterList, count)                                                                  \
    RECORD(SpinLockList) FIELD(SpinLockList, next) FIELD(SpinLockList, prev)                       \
        FIELD(SpinLockList, count) FIELD(SpinLockList, lock)                                       \
    RECORD(AvlNode) FIELD(AvlNode, child) FIELD(AvlNode, parent) FIELD(AvlNode, childIndex)        \
        FIELD(AvlNode, balance)                                                                    \
    RECORD(AvlTree) FIELD(AvlTree, root) FIELD(AvlTree, compare) FIELD(AvlTree, nodeOffset)        \
        FIELD(AvlTree, userValue) FIELD(AvlTree, nodeNum)                                          \
    RECORD(AvlSvcOp) FIELD(AvlSvcOp, createAvl) FIELD(AvlSvcOp, destroyAvl)                        \
        FIELD(AvlSvcOp, insertAvlNode) FIELD(AvlSvcOp, findAvlNode)                                \
        FIELD(AvlSvcOp, findAvlNearestNode) FIELD(AvlSvcOp, addAvlNode)                            \
        FIELD(AvlSvcOp, removeAvlNode) FIELD(AvlSvcOp, insertAvlNodeSpecified)                     \
        FIELD(AvlSvcOp, getAvlFirstNode) FIELD(AvlSvcOp, getAvlLastNode)                           \
        FIELD(AvlSvcOp, getAvlNodeNum)                                                             \
    RECORD(CrcVersionMarker) FIELD(CrcVersionMarker, serial) FIELD(CrcVersionMarker, version)      \
        FIELD(CrcVersionMarker, core)
/* clang-format on */

#define KELU_LAYOUT_FIELD(T, f) offsetof(T, f), sizeof(((T *)0)->f),

#ifdef __cplusplus
extern "C" const size_t keluLayoutSeenByC[];
#endif

#endif /* KELU_TESTS_LAYOUT_H */

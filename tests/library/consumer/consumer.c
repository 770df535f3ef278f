/* SPDX-License-Identifier: MIT */
/* A consumer of every public C header, compiled (never run) under a
 * consumer's strictest warnings, as errors, in every C standard and at every
 * optimisation level of CMakeLists.txt beside it. */
#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_export.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "kelu_util_version.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

#if KELU_UTIL_VERSION < 10000 || KELU_UTIL_VERSION_MAJOR < 1
#error "the version header must be usable in #if"
#endif

uintptr_t useMacros(ListNode *node);
uintptr_t useMacros(ListNode *node) {
    const bool poisoned = node->next == LIST_POISON_NEXT || node->prev == LIST_POISON_PREV;
    return (uintptr_t)poisoned + AVL_LEFT + AVL_RIGHT + AVL_ERR_PARAM + SPINLOCK_MAGIC +
           UTIL_LOG_MODULE_ID + LOG_LVL_ERR + LOG_LVL_DBG + sizeof KELU_UTIL_VERSION_STRING;
}

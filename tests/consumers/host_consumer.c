/* SPDX-License-Identifier: MIT */
/*
 * A host process for a library built with KELU_PLATFORM=host: the program
 * itself provides qxlog and the spin lock, and the library's calls must land
 * here. Exits non-zero on the first wrong answer.
 */
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_module.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

static unsigned logCalls, lockCalls, unlockCalls;
static uint32_t lastModule, lastLevel;

int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
              const char *function, uint32_t code, const char *format, ...) {
    (void)file, (void)line, (void)function, (void)code, (void)format;
    ++logCalls;
    lastModule = moduleId;
    lastLevel = level;
    return 0;
}

uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    (void)lock, (void)function, (void)line;
    ++lockCalls;
    return 0;
}

uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    (void)lock, (void)function, (void)line;
    ++unlockCalls;
    return 0;
}

int main(void) {
    if (getAvlNodeNum(NULL) != AVL_ERR_PARAM || logCalls != 1 || lastModule != UTIL_LOG_MODULE_ID ||
        lastLevel != LOG_LVL_ERR) {
        fprintf(stderr, "host consumer: the library's log call did not reach the host\n");
        return 1;
    }
    if (UTIL_ModuleInit() != 0 || lockCalls != 1 || unlockCalls != 1) {
        fprintf(stderr, "host consumer: the library's lock calls did not reach the host\n");
        return 1;
    }
    UTIL_ModuleFInit();
    puts("host consumer: ok");
    return 0;
}

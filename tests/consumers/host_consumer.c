/* SPDX-License-Identifier: MIT */
/* A host process for a library built with KELU_PLATFORM=host: it is the
 * platform. It defines the three platform functions and nothing else the
 * library might need, so it links (run.sh forbids undefined names in shared
 * objects) only when the library leaves no other name unresolved. The
 * library's log and lock calls must land here; exits non-zero when they do
 * not. */
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_module.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

static unsigned logCalls, lockCalls, unlockCalls;

int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
              const char *function, uint32_t code, const char *format, ...) {
    (void)file, (void)line, (void)function, (void)code, (void)format;
    logCalls += moduleId == UTIL_LOG_MODULE_ID && level == LOG_LVL_ERR;
    return 0;
}

uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    return (void)lock, (void)function, (void)line, ++lockCalls, 0;
}

uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    return (void)lock, (void)function, (void)line, ++unlockCalls, 0;
}

int main(void) {
    const int ok = getAvlNodeNum(NULL) == AVL_ERR_PARAM && logCalls == 1 &&
                   UTIL_ModuleInit() == 0 && lockCalls == 1 && unlockCalls == 1;
    puts(ok ? "host consumer: ok" : "host consumer: the library's calls did not reach the host");
    return ok ? 0 : 1;
}

/* SPDX-License-Identifier: MIT */
/*
 * Built with KELU_PLATFORM=host only, and never run: a program that defines
 * the three platform functions and nothing else the library might need. It
 * links only when the library leaves no other name unresolved, which is how
 * the build allows exactly these three to stay undefined.
 */
#include "kelu_util_module.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
              const char *function, uint32_t code, const char *format, ...) {
    (void)moduleId, (void)level, (void)file, (void)line, (void)function, (void)code, (void)format;
    return 0;
}

uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    (void)lock, (void)function, (void)line;
    return 0;
}

uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    (void)lock, (void)function, (void)line;
    return 0;
}

int main(void) {
    return (int)UTIL_ModuleInit();
}

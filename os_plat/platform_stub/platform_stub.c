/* SPDX-License-Identifier: MIT */
/*
 * A stand-in for the platform services that libkelu_util calls: the log
 * function qxlog() and the spin lock do_vemo_spinlock_lock()/_unlock().
 * It lets the library load, run and be tested on a machine without the
 * platform. It is not part of the library.
 *
 * Log: one line per record on stderr, "[kelu L<level>] <file>:<line> <function>
 * (module <id>, code <code>): <message>". Records above the level threshold
 * are dropped; the threshold is KELU_PLATFORM_LOG_LEVEL (default 3, errors
 * only), read once.
 *
 * Lock: test-and-test-and-set on lockWord (0 free, 1 held) with a pause while
 * waiting; acquire on taking, release on freeing. The holder's thread id and
 * processor are recorded in owner/ownerCpu. An all-zero SpinLock is free.
 */
#define _GNU_SOURCE
#include <sched.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "qxlog.h"
#include "vemo_spinlock.h"

#define STUB_API __attribute__((visibility("default")))

static int logThreshold(void) {
    static int threshold = -1; /* benign race: every thread computes the same value */
    int value = __atomic_load_n(&threshold, __ATOMIC_RELAXED);
    if (value < 0) {
        const char *setting = getenv("KELU_PLATFORM_LOG_LEVEL");
        value = setting != NULL && *setting != '\0' ? atoi(setting) : (int)LOG_LVL_ERR;
        __atomic_store_n(&threshold, value, __ATOMIC_RELAXED);
    }
    return value;
}

STUB_API int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
                       const char *function, uint32_t code, const char *format, ...) {
    if ((int)level > logThreshold()) {
        return 0;
    }
    char message[512];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    /* One fprintf per record keeps concurrent records on separate lines. */
    return fprintf(stderr, "[kelu L%u] %s:%u %s (module %u, code %u): %s\n", level, file, line,
                   function, moduleId, code, message) < 0
               ? -1
               : 0;
}

enum { kMaxBackoffPauses = 64 };

/* The calling thread's id, asked of the kernel once per thread: a system call
 * per acquisition would cost far more than the critical sections it guards. */
static int64_t currentThreadId(void) {
    static __thread int64_t threadId;
    if (threadId == 0) {
        threadId = (int64_t)syscall(SYS_gettid);
    }
    return threadId;
}

STUB_API uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    (void)function;
    (void)line;
    /* A waiter backs off exponentially between looks at the word: the holder
     * then keeps the cache line across its short critical sections instead
     * of trading it with the waiters at every acquisition. */
    unsigned backoff = 1;
    while (__atomic_exchange_n(&lock->lockWord, 1, __ATOMIC_ACQUIRE) != 0) {
        do {
            for (unsigned i = 0; i < backoff; ++i) {
                __builtin_ia32_pause();
            }
            if (backoff < kMaxBackoffPauses) {
                backoff *= 2;
            }
        } while (__atomic_load_n(&lock->lockWord, __ATOMIC_RELAXED) != 0);
    }
    lock->owner = currentThreadId();
    lock->ownerCpu = sched_getcpu();
    return 0;
}

STUB_API uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    (void)function;
    (void)line;
    lock->owner = -1;
    lock->ownerCpu = -1;
    __atomic_store_n(&lock->lockWord, 0, __ATOMIC_RELEASE);
    return 0;
}

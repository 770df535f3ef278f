/*
 * For the benchmark only: the platform stand-in's spin lock (the same
 * test-and-test-and-set on lockWord, the same owner bookkeeping) with the
 * holder's thread id cached per thread instead of asked of the kernel on
 * every acquisition. Linked into kelu_bench_list_fast_lock, whose own
 * definitions take precedence over the stand-in's. On a machine where a
 * system call costs about a microsecond, the stand-in's gettid() would
 * otherwise be all that the locked benchmarks measure.
 */
#define _GNU_SOURCE
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "vemo_spinlock.h"

static __thread int64_t t_threadId;

uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    (void)function;
    (void)line;
    for (;;) {
        if (__atomic_exchange_n(&lock->lockWord, 1, __ATOMIC_ACQUIRE) == 0) {
            break;
        }
        while (__atomic_load_n(&lock->lockWord, __ATOMIC_RELAXED) != 0) {
            __builtin_ia32_pause();
        }
    }
    if (t_threadId == 0) {
        t_threadId = (int64_t)syscall(SYS_gettid);
    }
    lock->owner = t_threadId;
    lock->ownerCpu = sched_getcpu();
    return 0;
}

uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    (void)function;
    (void)line;
    lock->owner = -1;
    lock->ownerCpu = -1;
    __atomic_store_n(&lock->lockWord, 0, __ATOMIC_RELEASE);
    return 0;
}

/* SPDX-License-Identifier: MIT */
/**
 * @file vemo_spinlock.h
 *
 * The platform's spin lock, as libkelu_util uses it. The platform's
 * OS-abstraction library provides the two functions; libkelu_util only calls
 * them and writes the unlocked state into the locks it initialises.
 *
 * Layout (part of the binary interface, 24 bytes):
 *   lockWord  64-bit  the lock state proper
 *   magic     32-bit  validity marker, SPINLOCK_MAGIC once initialised
 *   ownerCpu  32-bit  processor of the holder, -1 when free
 *   owner     64-bit  identity of the holder, -1 when free
 * An all-zero SpinLock is also a valid, unlocked lock.
 */
#ifndef VEMO_SPINLOCK_H
#define VEMO_SPINLOCK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SPINLOCK_MAGIC 0xDEAD4EADu /**< validity marker of an initialised lock */

/** The lock (24 bytes), laid out as above. */
typedef struct SpinLock {
    uint64_t lockWord; /**< the lock state proper */
    uint32_t magic;    /**< validity marker, SPINLOCK_MAGIC once initialised */
    int32_t ownerCpu;  /**< processor of the holder, -1 when free */
    int64_t owner;     /**< identity of the holder, -1 when free */
} SpinLock;

/** do_vemo_spinlock_lock()
 * Returns only once the calling thread holds `lock`, excluding every other
 * holder of the same object across threads. `function` and `line` name the
 * caller for the platform's diagnostics. */
uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line);

/** do_vemo_spinlock_unlock()
 * Releases `lock`, taken earlier by the same thread. */
uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line);

#ifdef __cplusplus
}
#endif

#endif /* VEMO_SPINLOCK_H */

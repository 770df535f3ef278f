// SPDX-License-Identifier: MIT
// Private to the library: the one way its sources call the platform.
//
// Every log record carries the base name of the calling source file (with its
// extension, computed at compile time) and the line of the call; every lock
// call carries the line of the call. Call sites therefore use these macros
// rather than the platform functions themselves.
#ifndef KELU_PLATFORM_CALLS_H
#define KELU_PLATFORM_CALLS_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "qxlog.h"
#include "vemo_spinlock.h"

#if defined(__FILE_NAME__)
#define KELU_SOURCE_FILE __FILE_NAME__
#else
#error "the compiler must provide __FILE_NAME__ (GCC 12 or Clang 9 and later)"
#endif

// One log record. `message` is a string literal with no conversions: it is
// passed as the format itself, and no further argument follows it.
#define KELU_LOG(level, function, code, message)                                              \
    ((void)qxlog(UTIL_LOG_MODULE_ID, (level), KELU_SOURCE_FILE, __LINE__, (function), (code), \
                 message))

// The lock object the library embeds in its own records and initialises.
static_assert(sizeof(SpinLock) == 24 && alignof(SpinLock) == 8);
static_assert(offsetof(SpinLock, lockWord) == 0 && offsetof(SpinLock, magic) == 8);
static_assert(offsetof(SpinLock, ownerCpu) == 12 && offsetof(SpinLock, owner) == 16);

#define KELU_LOCK(lock, function) ((void)do_vemo_spinlock_lock((lock), (function), __LINE__))
#define KELU_UNLOCK(lock, function) ((void)do_vemo_spinlock_unlock((lock), (function), __LINE__))

// Caller contracts. A library configured with KELU_ASSERTIONS checks, on
// entry to an operation and before it writes anything, the contracts that its
// headers state and the C interface cannot report; a broken one is logged and
// the process aborts. Without it the checks are discarded at compile time.
#ifndef KELU_ASSERTIONS
#define KELU_ASSERTIONS 0
#endif

namespace kelu {
inline constexpr bool kCheckContracts = KELU_ASSERTIONS != 0;
// The code of a broken contract's record; no other record uses it.
inline constexpr uint32_t kCodeContractBroken = 1567;
}  // namespace kelu

// In a checked build, unless `holds`: runs `release` (the unlock of a lock
// the check ran under, or nothing), writes one record that names `function`
// with `message` saying what is wrong, and aborts.
#define KELU_REQUIRE_RELEASING(holds, function, message, release)                      \
    do {                                                                               \
        if constexpr (kelu::kCheckContracts) {                                         \
            if (!(holds)) [[unlikely]] {                                               \
                release;                                                               \
                KELU_LOG(LOG_LVL_ERR, (function), kelu::kCodeContractBroken, message); \
                std::abort();                                                          \
            }                                                                          \
        }                                                                              \
    } while (false)
#define KELU_REQUIRE(holds, function, message) \
    KELU_REQUIRE_RELEASING(holds, function, message, (void)0)

#endif  // KELU_PLATFORM_CALLS_H

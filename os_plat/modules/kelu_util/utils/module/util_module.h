// SPDX-License-Identifier: MIT
// Private to the library: the module state, visible to the library's own
// tests. Both live in zero-filled static storage and need no constructor.
#ifndef KELU_UTIL_MODULE_STATE_H
#define KELU_UTIL_MODULE_STATE_H

#include <stdint.h>

#include "vemo_spinlock.h"

extern "C" {
// 1 while the module is up, 0 otherwise; read and written only under g_utilLock.
extern uint32_t g_utilInitFlag;
// Left all-zero (a valid unlocked lock) and never initialised explicitly.
extern SpinLock g_utilLock;
}

#endif  // KELU_UTIL_MODULE_STATE_H

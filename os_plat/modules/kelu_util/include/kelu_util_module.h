/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_module.h
 *
 * Bringing the libkelu_util module up and down. The state is one flag, kept
 * under a platform spin lock; no other operation of the library reads it.
 * Any number of threads may call these at once.
 */
#ifndef KELU_UTIL_MODULE_H
#define KELU_UTIL_MODULE_H

#include <stdint.h>

#include "kelu_util_export.h"

KELU_BEGIN_DECLS

/** util_init()
 * Marks the module up; idempotent. Takes and releases the module lock once.
 * Returns 0 on every path. */
KELU_API uint32_t util_init(void);

/** util_finit()
 * Marks the module down; idempotent, and not reference counted: one call
 * undoes any number of util_init() calls. Takes and releases the module lock
 * once. */
KELU_API void util_finit(void);

/** UTIL_ModuleInit()
 * The host's entry point: util_init(), returning its result (always 0). */
KELU_API uint32_t UTIL_ModuleInit(void);

/** UTIL_ModuleFInit()
 * The host's exit point: util_finit(). */
KELU_API void UTIL_ModuleFInit(void);

KELU_END_DECLS

#endif /* KELU_UTIL_MODULE_H */

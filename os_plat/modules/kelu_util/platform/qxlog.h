/* SPDX-License-Identifier: MIT */
/**
 * @file qxlog.h
 *
 * The platform's logging function and the constants libkelu_util passes to
 * it. The platform's logging library provides qxlog(); libkelu_util only
 * calls it, never while holding a lock, and ignores its result.
 */
#ifndef QXLOG_H
#define QXLOG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define UTIL_LOG_MODULE_ID 381u /**< first argument of every log call of the library */
#define LOG_LVL_ERR 3u          /**< rejected arguments, failed operations, misuse */
#define LOG_LVL_DBG 7u          /**< routine progress notes of the AVL tree */

/** qxlog()
 * Emits one record: module, level, source file base name, line, function
 * name, code, then a printf-style message. */
int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
              const char *function, uint32_t code, const char *format, ...)
#if defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 7, 8)))
#endif
    ;

#ifdef __cplusplus
}
#endif

#endif /* QXLOG_H */

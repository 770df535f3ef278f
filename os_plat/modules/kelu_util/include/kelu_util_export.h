/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_export.h
 *
 * Visibility and linkage macros shared by every public header of libkelu_util.
 * The library is built with hidden visibility; only declarations marked
 * KELU_API are exported, and only under their plain C names. Through this
 * header every public header also brings in the version numbers
 * (kelu_util_version.h).
 */
#ifndef KELU_UTIL_EXPORT_H
#define KELU_UTIL_EXPORT_H

#include "kelu_util_version.h"

#if defined(__GNUC__) || defined(__clang__)
#define KELU_API __attribute__((visibility("default")))
#else
#define KELU_API
#endif

#ifdef __cplusplus
#define KELU_BEGIN_DECLS extern "C" {
#define KELU_END_DECLS }
#else
#define KELU_BEGIN_DECLS
#define KELU_END_DECLS
#endif

#endif /* KELU_UTIL_EXPORT_H */
